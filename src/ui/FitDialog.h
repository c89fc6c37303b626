#pragma once

#include "experiments/Settings.h"
#include "lab/Fit.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class BackgroundWork;
class ParametersWindow;
class QCheckBox;

namespace Ui {
class FitDialog;
}

// "Подбор параметров": the settings to fit, chosen among those the model's
// kind allows, fitted on a worker to the measured data with progress and a
// stop; then each value with its standard error, their correlation, and
// the residual on the chart. "Применить" puts the fitted settings in force,
// "Отменить" brings back those they replaced, and "Сохранить опыт…" writes
// them to an experiment file with comments naming their standard errors
// and the data.
class FitDialog : public QDialog {
    Q_OBJECT

public:
    // The measured data must outlive the dialog; request gives the step
    // response as the window would make it now, without the settings to fit.
    FitDialog(const lab::Measured& measured, std::function<lab::FitRequest()> request, ParametersWindow& parameters,
              QWidget* parent);
    ~FitDialog() override;

    // Chooses whether the setting is fitted, as the user would.
    void Choose(const std::string& setting, bool fitted);
    std::vector<std::string> Chosen() const;
    // "Подобрать": starts the fit on the worker.
    void Fit();
    BackgroundWork& Work() const { return *work_; }
    const std::optional<lab::FitResult>& Result() const { return result_; }
    void Apply();
    void Undo();
    // Writes the fitted settings into the experiment file at path, keeping
    // what it holds besides.
    void Save(const std::string& path);

signals:
    // A fit ended: its residual goes on the chart.
    void Fitted(const lab::FitResult& result);

protected:
    void changeEvent(QEvent* event) override;

private:
    void AddChoices();
    void ShowResult();
    void SaveWithDialog();

    std::unique_ptr<Ui::FitDialog> ui_;
    const lab::Measured& measured_;
    std::function<lab::FitRequest()> request_;
    ParametersWindow& parameters_;
    BackgroundWork* work_;
    std::vector<std::pair<std::string, QCheckBox*>> choices_;
    std::optional<lab::FitResult> result_;
    // The settings the last "Применить" replaced.
    std::optional<Settings> before_;
};
