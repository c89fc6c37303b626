#pragma once

#include "chart/ChartTools.h"
#include "experiments/ExperimentHost.h"
#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "model/MotorModel.h"
#include "plot/Trace.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class FamilyWindow;
struct FamilyRequest;
class MeasurementsWindow;
class MechanicalWindow;
class ParametersWindow;
class QPushButton;

namespace Ui {
class TForm1;
}

// The main window: the chart, the command buttons, the load box and the
// result labels. It owns the model and the six traces and is the host
// through which the runs reach its controls.
class TForm1 : public QWidget, public ExperimentHost {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    const Settings& SettingsInForce() const override { return settings_; }
    std::string LoadText() const override;
    void SetProgress(int position) override;
    Trace& Series(int n) override;
    void SetMdMaxText(const std::string& text) override;
    void SetOmegaMaxText(const std::string& text) override;
    void ShowAlert() override;

    const MotorModel& Model() const { return model_; }
    const ChartTools& Tools() const { return chartTools_; }
    MeasurementsWindow& Measurements() const { return *measurements_; }
    MechanicalWindow& Mechanical() const { return *mechanical_; }
    ParametersWindow& Parameters() const { return *parameters_; }
    FamilyWindow& Family() const { return *family_; }

    // Opens an experiment file: its settings are put in force and its load,
    // if it gives one, goes into the load box. Raises SettingsError and then
    // changes nothing.
    void OpenExperiment(const std::string& path);

    // Makes the requested family with the settings in force, each member on
    // a model of its own, and pins each member's two traces named by its
    // value, "Omega (Mc=20)". The live traces, labels and model stay as they
    // are. Values the settings do not allow, loads above the limit and runs
    // that fail are left out, and one SettingsError lists them all with why
    // once the others are pinned. A family of more values than half the
    // pins kept is refused whole before any run.
    void PinFamily(const FamilyRequest& request);

private:
    // Command handlers, one per button; an error they raise is shown to
    // the user and the window carries on.
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void BindCommand(QPushButton& button, void (TForm1::*handler)());
    // The chart takes what the window has beyond its designed size; the
    // column of controls on its right moves with the right edge, and the
    // progress bar stays under the chart.
    void AnchorControls();
    // The chart's menu items that need the window: the measurements and
    // mechanical characteristic windows and the pinning of runs.
    void AddChartCommands();
    // The tool bar above the chart and its keys.
    void BindToolBar();
    // Shows a tool window, beside this one the first time.
    void ShowBeside(QWidget& toolWindow);
    // Takes the parameters window's settings and says in the caption
    // whether they differ from the defaults.
    void TakeSettings();
    // Notes the settings a run starts with.
    void StartRun(RunKind kind);
    // Pins a copy of each trace that holds points, named with its run.
    void PinTraces();
    std::string RunName(int series) const;
    // The settings the run that fills SeriesN was last made with.
    const Settings& RanWith(int series) const;

    std::unique_ptr<Ui::TForm1> ui_;
    ChartTraces series_ = MakeTraces();
    ChartTools chartTools_{};
    MotorModel model_{};
    Settings settings_;
    // The load of the step response the step traces hold, once it ran
    // without an error, and the schedule it ran on.
    std::optional<std::int32_t> stepLoad_;
    LoadSchedule stepSchedule_ = StepLoadSchedule(settings_);
    // The settings each run was last made with, in kRuns' order.
    std::array<Settings, kRuns.size()> ranWith_{};
    // The step size of the step response on the chart and of the last run,
    // for times in seconds.
    double stepRunDt_ = settings_.model.dt;
    // A window of its own, owned as a child.
    MeasurementsWindow* measurements_ = nullptr;
    MechanicalWindow* mechanical_ = nullptr;
    ParametersWindow* parameters_ = nullptr;
    FamilyWindow* family_ = nullptr;
};

extern TForm1* Form1;
