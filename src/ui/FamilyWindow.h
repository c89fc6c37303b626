#pragma once

#include "experiments/Runs.h"

#include <QWidget>

#include <memory>
#include <string>

namespace Ui {
class FamilyWindow;
}

// What a family is made of: the setting swept, its values as the user
// wrote them, and the run.
struct FamilyChoice {
    std::string setting;
    std::string values;
    RunKind kind;
};

// The window "Семейство кривых": the setting, chosen by name (the load
// step.load first), the list of values, and the run. "Построить", or Enter
// in the values, asks for the family; the main window makes and pins it.
// Closing it only hides it.
class FamilyWindow : public QWidget {
    Q_OBJECT

public:
    explicit FamilyWindow(QWidget* parent = nullptr);
    ~FamilyWindow() override;

    FamilyChoice Request() const;
    // Fills the fields, as the user would.
    void SetRequest(const FamilyChoice& request);

signals:
    void Requested();

protected:
    // Shows the form's texts again in the language now in force.
    void changeEvent(QEvent* event) override;

private:
    std::unique_ptr<Ui::FamilyWindow> ui_;
};
