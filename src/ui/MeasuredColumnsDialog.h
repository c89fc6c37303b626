#pragma once

#include "lab/Measured.h"

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

class QComboBox;

namespace Ui {
class MeasuredColumnsDialog;
}

// "Столбцы измерений": each heading of a measured file beside what it holds,
// the time t, one of the model's quantities or nothing, chosen from a list.
// Headings the program names itself are chosen already.
class MeasuredColumnsDialog : public QDialog {
    Q_OBJECT

public:
    MeasuredColumnsDialog(const std::vector<std::string>& columns, QWidget* parent = nullptr);
    ~MeasuredColumnsDialog() override;

    // What each column holds, as the user chose; columns that hold nothing
    // are left out.
    std::vector<lab::ColumnMapping> Mappings() const;
    // Chooses for the column what it holds: the time or a quantity, or
    // nothing; as the user would.
    void Choose(int column, std::optional<lab::ColumnRole> role);

private:
    QComboBox& ChoiceOf(int column) const;

    std::unique_ptr<Ui::MeasuredColumnsDialog> ui_;
    std::vector<std::string> columns_;
};
