#pragma once

#include "chart/ChartTools.h"
#include "experiments/Experiments.h"
#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "model/MotorModel.h"
#include "plot/Trace.h"
#include "session/Session.h"

#include <QFont>
#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class BackgroundWork;
struct FamilyResult;
struct ReportContents;
class FamilyWindow;
class LabBench;
class ManualWindow;
struct FamilyChoice;
class MeasurementsWindow;
class MechanicalWindow;
class ParametersWindow;
class QMenu;
class QPushButton;

namespace Ui {
class TForm1;
}

// The main window: the chart, the command buttons, the load box and the
// result labels. It owns the model, the six traces and the random sources;
// each run is made from the settings in force and shown here once made.
class TForm1 : public QWidget {
    Q_OBJECT

public:
    // Runs of more steps than this, and every family, are made on a worker
    // while the window stays free; shorter runs take a few milliseconds at
    // most and are made and shown within their click.
    static constexpr std::int64_t kStepsInClick = 100'000;

    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Series1 ... Series6: the run's trace of the quantity; its current's
    // trace, empty unless it ran a d-q machine.
    const Trace& Series(RunKind kind, Quantity quantity) const;
    const MotorModel& Model() const { return model_; }
    const Settings& SettingsInForce() const { return settings_; }
    // The run or family being made on a worker, if any.
    BackgroundWork& Work() const { return *work_; }
    const ChartTools& Tools() const { return chartTools_; }
    MeasurementsWindow& Measurements() const { return *measurements_; }
    MechanicalWindow& Mechanical() const { return *mechanical_; }
    ParametersWindow& Parameters() const { return *parameters_; }
    FamilyWindow& Family() const { return *family_; }
    // The measured data over the runs, and the fit of the settings to it.
    LabBench& Lab() const { return *lab_; }
    ManualWindow& Manual() const { return *manual_; }

    // Opens an experiment file: its settings are put in force and its load,
    // if it gives one, goes into the load box. Raises SettingsError and then
    // changes nothing.
    void OpenExperiment(const std::string& path);
    // Opens a CSV as measured data, and another file as a session if it is
    // one (see IsSessionText), else as an experiment file, as the command
    // line and the desktop give files.
    void OpenFile(const std::string& path);

    // Makes the chosen family on a worker with the settings in force, each
    // member on a model of its own, and once it is made pins each member's
    // two traces named by its value, "Omega (Mc=20)". The live traces,
    // labels and model stay as they are. Values the settings do not allow,
    // loads above the limit and runs that fail are left out, and one
    // SettingsError lists them all with why once the others are pinned. A
    // family of more values than half the pins kept is refused whole before
    // any run.
    void PinFamily(const FamilyChoice& choice);

    // What closing the window or replacing the experiment would lose.
    enum class AtStake { Experiment, ExperimentAndPins };
    // Asks "Сохранить / Сохранить сеанс… / Не сохранять / Отмена" when what
    // is at stake holds unsaved changes (the session is offered for pins),
    // and saves if told to; whether to go on.
    bool MayDiscard(AtStake atStake);

    // The window as a session: the settings in force, the load box, the
    // random sources, the recipe of each run on the chart and of each pin,
    // which traces are hidden, and the view's units and zoom.
    Session CurrentSession() const;
    // Writes CurrentSession() to the file, whole or not at all. The pins it
    // holds are no longer lost by closing.
    void WriteSession(const std::string& path);
    // Reads a session and shows it as it was saved, its runs made again;
    // what the chart held before goes. Raises SettingsError, naming the
    // file, and then changes nothing.
    void OpenSession(const std::string& path);
    // Opens a file dropped on the window as the menu's item for its kind
    // would: measured data, a session or an experiment, asking first about
    // what it would replace.
    void OpenDropped(const std::string& path);
    // Shows the session as it was saved, its runs made again; what the
    // chart held before goes; with its runs' results, as they were made.
    void ShowSession(const Session& session);
    void ShowSession(const Session& session, SessionResults results);
    // What the report holds (see ReportDocument.h) now: the experiment's
    // file, the step response's maxima, the notes, the chart and, if asked,
    // the mechanical characteristic, both in the style for reports at the
    // size of a report's page, the settings in force and the measurements'
    // tables.
    ReportContents ReportNow(bool withCharacteristic);
    // Writes the report with the characteristic while its window is open,
    // within the call.
    void WriteReport(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    // Shows every text again in the language now in force.
    void changeEvent(QEvent* event) override;

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
    // mechanical characteristic windows, the pinning of runs and the
    // machines that came with the program.
    void AddChartCommands();
    // "Язык / Language": the languages to choose, the choice remembered.
    void AddLanguageMenu(QMenu& menu);
    // The labels beside the controls are as wide as their texts.
    void FitLabels();
    // The caption: the program, and the experiment's file or whether its
    // settings are unsaved.
    void ShowCaption();
    // The tool bar above the chart and its keys.
    void BindToolBar();
    // Shows a tool window, beside this one the first time.
    void ShowBeside(QWidget& toolWindow);
    // Takes the parameters window's settings, shows a load they change in
    // the load box, and says in the caption whether they are saved.
    void TakeSettings();
    // A load typed that reads as one is the experiment's.
    void TakeTypedLoad();
    // Makes the run of the kind with the settings in force and the load
    // typed, within the click or on a worker.
    void Run(RunKind kind);
    // Shows a run that was made: its traces, and for a step response its
    // maxima, the alert for a refused load and the error of a failed run.
    void ShowRun(RunResult run);
    // Takes a made run's traces, state and, for a step response, maxima;
    // telling of a refused load or a failure is ShowRun's.
    void TakeRun(RunResult& run);
    // Whether a session was written.
    bool SaveSessionWithDialog();
    void OpenSessionWithDialog();
    // Asks for the notes, the pages' orientation and the file, then writes
    // the report on a worker.
    void WriteReportWithDialog();
    void PinMembers(const FamilyResult& family);
    // The progress bar follows long work, and goes back to where it was
    // when the work is stopped.
    void FollowWork();
    // Pins a copy of each run's traces that hold points, named with its run.
    void PinTraces();
    std::string RunName(RunKind kind) const;
    // The settings the run's traces were made with; the defaults before it ran.
    Settings RanWith(RunKind kind) const;
    std::string LoadText() const;
    void SetProgress(int position);
    void ShowAlert(std::int64_t limit);
    Trace& SeriesOf(RunKind kind, Quantity quantity);
    // Offers the run's currents on the chart, or takes them off it.
    void OfferCurrents(RunKind kind, bool offered);
    std::array<QWidget*, 4> ToolWindowsOf() const;

    std::unique_ptr<Ui::TForm1> ui_;
    // The form's own font, for the desktop's to be fitted against in every
    // language.
    QFont designedFont_;
    ChartTraces series_ = MakeTraces();
    ChartTraces currents_ = MakeTraces(kCurrentDefinitions);
    ChartTools chartTools_{};
    MotorModel model_{};
    RandomSources sources_;
    // The storage each run's traces last held, for its next run.
    std::array<std::optional<std::array<Trace, 2>>, kRuns.size()> spare_{};
    Settings settings_;
    // The load of the step response the step traces hold, once it ran
    // without an error.
    std::optional<std::int32_t> stepLoad_;
    // What made each run's traces on the chart, in kRuns' order: none
    // before its first run and after the chart is cleared.
    std::array<std::optional<RunRecipe>, kRuns.size()> recipes_{};
    // Where the last session was opened or saved, and the last report.
    QString sessionFolder_;
    QString reportFolder_;
    // The report's notes and orientation, kept in the session.
    SessionReport report_;
    // The pins' revision when a session was last saved or opened.
    std::uint64_t pinsInSession_ = 0;
    // A window of its own, owned as a child.
    MeasurementsWindow* measurements_ = nullptr;
    MechanicalWindow* mechanical_ = nullptr;
    ParametersWindow* parameters_ = nullptr;
    FamilyWindow* family_ = nullptr;
    LabBench* lab_ = nullptr;
    ManualWindow* manual_ = nullptr;
    BackgroundWork* work_ = nullptr;
    // Where the progress bar was when the work in progress started.
    int progressBefore_ = 0;
};

extern TForm1* Form1;
