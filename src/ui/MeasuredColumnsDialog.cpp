#include "ui/MeasuredColumnsDialog.h"

#include "ui_MeasuredColumnsDialog.h"

#include <QComboBox>
#include <QTableWidgetItem>

#include <array>

namespace {

// The roles offered, in the list's order after "nothing": the time, then
// the quantities as the tables list them.
std::array<lab::ColumnRole, 1 + kDqQuantities.size()> Roles()
{
    return {lab::ColumnRole{}, lab::ColumnRole{Quantity::Md}, lab::ColumnRole{Quantity::Omega},
            lab::ColumnRole{Quantity::Is}, lab::ColumnRole{Quantity::ia}};
}

// The list's place of the role; 0 is nothing.
int ChoicePlace(const std::optional<lab::ColumnRole>& role)
{
    const auto roles = Roles();
    for (std::size_t i = 0; i < roles.size(); ++i)
        if (role == roles[i])
            return static_cast<int>(i) + 1;
    return 0;
}

} // namespace

MeasuredColumnsDialog::MeasuredColumnsDialog(const std::vector<std::string>& columns, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::MeasuredColumnsDialog>()), columns_(columns)
{
    ui_->setupUi(this);
    QTableWidget& table = *ui_->ColumnsTable;
    table.setRowCount(static_cast<int>(columns_.size()));
    for (int row = 0; row < table.rowCount(); ++row) {
        const std::string& column = columns_[static_cast<std::size_t>(row)];
        auto* heading = new QTableWidgetItem(QString::fromStdString(column));
        heading->setFlags(Qt::ItemIsEnabled);
        table.setItem(row, 0, heading);
        auto* choice = new QComboBox(&table);
        choice->addItem(tr("— не брать"));
        for (const lab::ColumnRole& role : Roles())
            choice->addItem(role.quantity ? QString::fromUtf8(RoleName(role).data(), static_cast<qsizetype>(RoleName(role).size()))
                                          : tr("t — время, с"));
        choice->setCurrentIndex(ChoicePlace(lab::GuessedRole(column)));
        table.setCellWidget(row, 1, choice);
    }
    table.resizeColumnToContents(0);
}

MeasuredColumnsDialog::~MeasuredColumnsDialog() = default;

QComboBox& MeasuredColumnsDialog::ChoiceOf(int column) const
{
    return *static_cast<QComboBox*>(ui_->ColumnsTable->cellWidget(column, 1));
}

void MeasuredColumnsDialog::Choose(int column, std::optional<lab::ColumnRole> role)
{
    ChoiceOf(column).setCurrentIndex(ChoicePlace(role));
}

std::vector<lab::ColumnMapping> MeasuredColumnsDialog::Mappings() const
{
    std::vector<lab::ColumnMapping> mappings;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const int place = ChoiceOf(static_cast<int>(i)).currentIndex();
        if (place > 0)
            mappings.push_back({columns_[i], Roles()[static_cast<std::size_t>(place - 1)]});
    }
    return mappings;
}
