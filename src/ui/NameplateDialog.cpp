#include "ui/NameplateDialog.h"

#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"
#include "ui/Application.h"
#include "ui/MeasurementCells.h"
#include "ui/ParametersWindow.h"
#include "ui_NameplateDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <charconv>
#include <cmath>
#include <string>

namespace {

// A field's text as a number, with a decimal point or comma; none when
// empty. Raises toolkit::Exception when it is not a finite number.
std::optional<double> NumberIn(const QLineEdit& field, const QString& name)
{
    std::string text = field.text().trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toStdString();
    if (text.empty())
        return std::nullopt;
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
        throw toolkit::Exception(NameplateDialog::tr("%1: '%2' — не число").arg(name, field.text()).toStdString());
    return value;
}

QString FigureName(const lab::FigureFit& fit)
{
    QString name;
    switch (fit.figure) {
    case lab::Figure::RatedTorque:
        name = NameplateDialog::tr("Номинальный момент, Н·м");
        break;
    case lab::Figure::RatedCurrent:
        name = NameplateDialog::tr("Номинальный ток, А");
        break;
    case lab::Figure::PowerFactor:
        name = QStringLiteral("cos φ");
        break;
    case lab::Figure::Efficiency:
        name = NameplateDialog::tr("КПД");
        break;
    case lab::Figure::BreakdownRatio:
        name = QStringLiteral("Mk/Mn");
        break;
    case lab::Figure::StartingTorqueRatio:
        name = QStringLiteral("Mst/Mn");
        break;
    case lab::Figure::StartingCurrentRatio:
        name = QStringLiteral("Ist/In");
        break;
    }
    return fit.assumed ? NameplateDialog::tr("%1 (принято)").arg(name) : name;
}

QString RuleText(const lab::NameplateProblem& problem)
{
    switch (problem.rule) {
    case lab::NameplateRule::Above:
        return NameplateDialog::tr("нужно конечное число больше %1").arg(ShownNumber(problem.limit));
    case lab::NameplateRule::AboveZeroAtMostOne:
        return NameplateDialog::tr("нужно число больше 0 и не больше 1");
    case lab::NameplateRule::WholeAtLeastOne:
        return NameplateDialog::tr("нужно целое число не меньше 1");
    case lab::NameplateRule::BelowSynchronous:
        return NameplateDialog::tr("нужна частота вращения ниже синхронной, %1 об/мин").arg(ShownNumber(problem.limit));
    case lab::NameplateRule::AtMostInput:
        return NameplateDialog::tr("мощность больше потребляемой √3·U·I·cos φ = %1 Вт: КПД был бы больше 1")
            .arg(ShownNumber(problem.limit));
    }
    return {};
}

} // namespace

NameplateDialog::NameplateDialog(ParametersWindow& parameters)
    : QDialog(&parameters), ui_(std::make_unique<Ui::NameplateDialog>()), parameters_(parameters)
{
    ui_->setupUi(this);
    ui_->FiguresTable->setColumnCount(4);
    ShowEstimate();
    connect(ui_->EstimateButton, &QPushButton::clicked, this, [this] { RunCommand([this] { Estimate(); }); });
    connect(ui_->ApplyButton, &QPushButton::clicked, this, &NameplateDialog::Apply);
    connect(ui_->UndoButton, &QPushButton::clicked, this, &NameplateDialog::Undo);
}

NameplateDialog::~NameplateDialog() = default;

QWidget& NameplateDialog::FieldOf(lab::NameplateField field) const
{
    switch (field) {
    case lab::NameplateField::Power:
        return *ui_->PowerEdit;
    case lab::NameplateField::Voltage:
        return *ui_->VoltageEdit;
    case lab::NameplateField::Connection:
        return *ui_->ConnectionBox;
    case lab::NameplateField::Frequency:
        return *ui_->FrequencyEdit;
    case lab::NameplateField::Speed:
        return *ui_->SpeedEdit;
    case lab::NameplateField::Current:
        return *ui_->CurrentEdit;
    case lab::NameplateField::CosPhi:
        return *ui_->CosPhiEdit;
    case lab::NameplateField::Efficiency:
        return *ui_->EfficiencyEdit;
    case lab::NameplateField::PolePairs:
        return *ui_->PolePairsEdit;
    case lab::NameplateField::BreakdownRatio:
        return *ui_->BreakdownEdit;
    case lab::NameplateField::StartingTorqueRatio:
        return *ui_->StartingTorqueEdit;
    case lab::NameplateField::StartingCurrentRatio:
        break;
    }
    return *ui_->StartingCurrentEdit;
}

lab::Nameplate NameplateDialog::Plate() const
{
    lab::Nameplate plate;
    plate.connection = ui_->ConnectionBox->currentIndex() == 1 ? lab::Connection::Delta : lab::Connection::Star;
    auto read = [this](lab::NameplateField field) {
        const auto* label = qobject_cast<QLabel*>(ui_->FieldsLayout->labelForField(&FieldOf(field)));
        return NumberIn(static_cast<QLineEdit&>(FieldOf(field)), label ? label->text() : QString());
    };
    // A figure the plate must give counts as 0 while empty, which the
    // estimate refuses by name.
    plate.power = read(lab::NameplateField::Power).value_or(0);
    plate.voltage = read(lab::NameplateField::Voltage).value_or(0);
    plate.frequency = read(lab::NameplateField::Frequency).value_or(0);
    plate.speed = read(lab::NameplateField::Speed).value_or(0);
    plate.current = read(lab::NameplateField::Current).value_or(0);
    plate.cosPhi = read(lab::NameplateField::CosPhi).value_or(0);
    plate.efficiency = read(lab::NameplateField::Efficiency).value_or(0);
    plate.polePairs = read(lab::NameplateField::PolePairs);
    plate.breakdownRatio = read(lab::NameplateField::BreakdownRatio);
    plate.startingTorqueRatio = read(lab::NameplateField::StartingTorqueRatio);
    plate.startingCurrentRatio = read(lab::NameplateField::StartingCurrentRatio);
    return plate;
}

void NameplateDialog::SetPlate(const lab::Nameplate& plate)
{
    ui_->ConnectionBox->setCurrentIndex(plate.connection == lab::Connection::Delta ? 1 : 0);
    auto write = [this](lab::NameplateField field, std::optional<double> value) {
        static_cast<QLineEdit&>(FieldOf(field)).setText(value ? QString::fromStdString(toolkit::FloatToStr(*value))
                                                              : QString());
    };
    write(lab::NameplateField::Power, plate.power);
    write(lab::NameplateField::Voltage, plate.voltage);
    write(lab::NameplateField::Frequency, plate.frequency);
    write(lab::NameplateField::Speed, plate.speed);
    write(lab::NameplateField::Current, plate.current);
    write(lab::NameplateField::CosPhi, plate.cosPhi);
    write(lab::NameplateField::Efficiency, plate.efficiency);
    write(lab::NameplateField::PolePairs, plate.polePairs);
    write(lab::NameplateField::BreakdownRatio, plate.breakdownRatio);
    write(lab::NameplateField::StartingTorqueRatio, plate.startingTorqueRatio);
    write(lab::NameplateField::StartingCurrentRatio, plate.startingCurrentRatio);
}

void NameplateDialog::Estimate()
{
    estimate_.reset();
    ShowEstimate();
    const lab::Nameplate plate = Plate();
    try {
        estimate_ = lab::EstimateFromNameplate(plate);
    } catch (const lab::NameplateError& error) {
        const lab::NameplateProblem& problem = error.Cause();
        FieldOf(problem.field).setFocus();
        const auto* label = qobject_cast<QLabel*>(ui_->FieldsLayout->labelForField(&FieldOf(problem.field)));
        throw toolkit::Exception(
            tr("%1: %2, а не %3").arg(label ? label->text() : QString(), RuleText(problem), ShownNumber(problem.value)).toStdString());
    }
    ShowEstimate();
}

void NameplateDialog::ShowEstimate()
{
    QTableWidget& table = *ui_->FiguresTable;
    table.setHorizontalHeaderLabels({tr("Величина"), tr("По паспорту"), tr("У схемы"), tr("Отклонение, %")});
    ui_->ApplyButton->setEnabled(estimate_.has_value());
    if (!estimate_) {
        ui_->ResultLabel->clear();
        table.setRowCount(0);
        return;
    }
    const DqParameters& m = estimate_->machine;
    ui_->ResultLabel->setText(tr("Rs = %1 Ом, Rr = %2 Ом, Lls = Llr = %3 Гн, Lm = %4 Гн; итераций: %5%6")
                                  .arg(ShownNumber(m.Rs), ShownNumber(m.Rr), ShownNumber(m.Lls), ShownNumber(m.Lm))
                                  .arg(estimate_->iterations)
                                  .arg(estimate_->converged ? QString() : tr(" (не сошлось)")));
    table.setRowCount(static_cast<int>(estimate_->figures.size()));
    for (int row = 0; row < table.rowCount(); ++row) {
        const lab::FigureFit& fit = estimate_->figures[static_cast<std::size_t>(row)];
        const QStringList cells{FigureName(fit), ShownNumber(fit.target), ShownNumber(fit.fitted), ShownNumber(fit.DeviationPercent())};
        for (int column = 0; column < cells.size(); ++column)
            table.setItem(row, column, new QTableWidgetItem(cells[column]));
    }
    table.resizeColumnsToContents();
}

void NameplateDialog::Apply()
{
    if (!estimate_)
        return;
    before_ = parameters_.InForce();
    parameters_.ShowSettings(estimate_->ApplyTo(*before_));
    ui_->UndoButton->setEnabled(true);
}

void NameplateDialog::Undo()
{
    if (!before_)
        return;
    parameters_.ShowSettings(*std::exchange(before_, std::nullopt));
    ui_->UndoButton->setEnabled(false);
}

void NameplateDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui_->retranslateUi(this);
        ShowEstimate();
    }
    QDialog::changeEvent(event);
}
