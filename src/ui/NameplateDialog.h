#pragma once

#include "experiments/Settings.h"
#include "lab/Nameplate.h"

#include <QDialog>

#include <memory>
#include <optional>

class ParametersWindow;
class QWidget;

namespace Ui {
class NameplateDialog;
}

// "Параметры по паспорту": the rating plate's and the catalogue's figures,
// the d-q machine's parameters estimated from them, and for each figure
// its target, the fitted circuit's value and how far apart they are.
// "Применить" puts the estimated machine in force in the parameters
// window; "Отменить" brings back the settings it replaced.
class NameplateDialog : public QDialog {
    Q_OBJECT

public:
    explicit NameplateDialog(ParametersWindow& parameters);
    ~NameplateDialog() override;

    // The plate as the fields give it. Raises toolkit::Exception naming a
    // field that does not read as a number.
    lab::Nameplate Plate() const;
    // Fills the fields, as the user would.
    void SetPlate(const lab::Nameplate& plate);
    // "Рассчитать": estimates the machine and shows its figures. Raises
    // toolkit::Exception naming a figure no machine could have.
    void Estimate();
    const std::optional<lab::NameplateEstimate>& Estimated() const { return estimate_; }
    void Apply();
    void Undo();

protected:
    void changeEvent(QEvent* event) override;

private:
    void ShowEstimate();
    QWidget& FieldOf(lab::NameplateField field) const;

    std::unique_ptr<Ui::NameplateDialog> ui_;
    ParametersWindow& parameters_;
    std::optional<lab::NameplateEstimate> estimate_;
    // The settings the last "Применить" replaced.
    std::optional<Settings> before_;
};
