// The main window's sessions, and the files it opens from the command line,
// the desktop and drops.

#include "ui/Unit1.h"

#include "chart/ChartPins.h"
#include "chart/FileDialogs.h"
#include "chart/TraceChart.h"
#include "experiments/TomlFile.h"
#include "session/Session.h"
#include "ui/Application.h"
#include "ui/ChartUpdateOnExit.h"
#include "ui/LabBench.h"
#include "ui/ParametersWindow.h"
#include "ui_Unit1.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>

#include <optional>
#include <vector>

namespace {

QString SessionFilters()
{
    return TForm1::tr("Сеансы (*.toml);;Все файлы (*)");
}

} // namespace

void TForm1::OpenExperiment(const std::string& path)
{
    parameters_->Open(path);
}

void TForm1::OpenFile(const std::string& path)
{
    if (LabBench::IsMeasuredFile(QString::fromStdString(path)))
        return lab_->Open(path);
    if (IsSessionText(ReadBoundedFile(path)))
        OpenSession(path);
    else
        OpenExperiment(path);
}

Session TForm1::CurrentSession() const
{
    const ChartViewState& view = ui_->Chart1->View();
    const ShownTraces& traces = view.Traces();
    auto shown = [&traces](const Trace& trace) { return traces.IsShown(traces.IndexOf(trace).value()); };
    Session session{.settings = settings_, .loadText = LoadText(), .sources = sources_};
    for (const RunDefinition& run : kRuns)
        if (const std::optional<RunRecipe>& recipe = recipes_[static_cast<std::size_t>(run.kind)]) {
            SessionRun& kept = session.runs.emplace_back(SessionRun{*recipe});
            for (Quantity quantity : QuantitiesOf(recipe->settings))
                kept.shown[static_cast<std::size_t>(quantity)] = shown(Series(run.kind, quantity));
        }
    // A run's pins are pinned one after the other and go oldest first, so
    // those of one run stay together.
    std::optional<std::uint64_t> run;
    for (const PinnedTrace& pin : chartTools_.pins->Pinned()) {
        if (pin.of.run != run)
            session.pins.push_back({pin.recipe, pin.origin.family, {}});
        run = pin.of.run;
        session.pins.back().traces.push_back(
            {pin.of.quantity, pin.trace.Title(), pin.trace.LineColour(), shown(pin.trace)});
    }
    session.units = view.Units();
    if (view.IsZoomed())
        session.zoom = view.Ranges();
    session.report = report_;
    session.measured = lab_->Kept();
    return session;
}

void TForm1::WriteSession(const std::string& path)
{
    SaveSession(path, CurrentSession(), MOTORMODEL_VERSION);
    pinsInSession_ = chartTools_.pins->Revision();
}

void TForm1::OpenSession(const std::string& path)
{
    const Session session = LoadSession(path);
    ShowSession(session);
    pinsInSession_ = chartTools_.pins->Revision();
}

void TForm1::ShowSession(const Session& session)
{
    ShowSession(session, RunSession(session));
}

void TForm1::ShowSession(const Session& session, SessionResults results)
{
    const ChartUpdateOnExit update(*ui_->Chart1);
    Button2Click();
    for (RunResult& run : results.runs)
        TakeRun(run);
    // After the runs, which set the load they ran with: the box and the
    // settings come back as they were saved, typed and not yet run.
    parameters_->ShowKept(session.settings);
    ui_->Edit1->setText(QString::fromStdString(session.loadText));
    ChartViewState& view = ui_->Chart1->View();
    for (const SessionRun& run : session.runs)
        for (Quantity quantity : QuantitiesOf(run.recipe.settings))
            view.SetTraceShown(view.Traces().IndexOf(Series(run.recipe.kind, quantity)).value(),
                               run.shown[static_cast<std::size_t>(quantity)]);
    for (std::size_t i = 0; i < session.pins.size(); ++i) {
        const SessionPin& pin = session.pins[i];
        std::vector<PinnedAgain> traces;
        for (const SessionPinTrace& trace : pin.traces)
            traces.push_back({&results.pins[i].Of(trace.quantity), trace.quantity, trace.heading, trace.colour});
        chartTools_.pins->RepinRun(traces, results.pins[i].Origin(pin.family), pin.recipe);
        // The run's pins are the chart's last traces.
        const int first = view.Traces().Count() - static_cast<int>(pin.traces.size());
        for (std::size_t t = 0; t < pin.traces.size(); ++t)
            view.SetTraceShown(first + static_cast<int>(t), pin.traces[t].shown);
    }
    sources_ = session.sources;
    report_ = session.report;
    view.SetTimeInSeconds(session.units.seconds);
    view.SetAxisTitles(session.units.titles);
    view.SetReportStyle(session.units.report);
    view.SetSecondsPerStep(session.units.secondsPerStep);
    // Measured data that cannot be shown again is told, and the rest of the
    // session stays open. Before the zoom, which its points would not move.
    if (session.measured)
        RunCommand([&] { lab_->Restore(*session.measured); });
    else
        lab_->Close();
    if (session.zoom)
        view.MoveTo(*session.zoom, HistoryStep::New);
    else
        view.ResetZoom();
}

bool TForm1::SaveSessionWithDialog()
{
    bool saved = false;
    RunCommand([&] {
        const QString path =
            AskSavePath(this, tr("Сохранить сеанс"), sessionFolder_, SessionFilters(), QStringLiteral("toml"));
        if (path.isEmpty())
            return;
        WriteSession(path.toStdString());
        saved = true;
    });
    return saved;
}

void TForm1::OpenDropped(const std::string& path)
{
    // Measured data goes over the runs and replaces nothing the user made.
    if (LabBench::IsMeasuredFile(QString::fromStdString(path)))
        return lab_->Open(path);
    const bool session = IsSessionText(ReadBoundedFile(path));
    if (MayDiscard(session ? AtStake::ExperimentAndPins : AtStake::Experiment))
        OpenFile(path);
}

void TForm1::OpenSessionWithDialog()
{
    RunCommand([this] {
        // A session replaces the experiment and the pins alike.
        if (!MayDiscard(AtStake::ExperimentAndPins))
            return;
        const QString path =
            QFileDialog::getOpenFileName(this, tr("Открыть сеанс"), sessionFolder_, SessionFilters(), nullptr,
                                         FileDialogOptions());
        if (path.isEmpty())
            return;
        sessionFolder_ = QFileInfo(path).absolutePath();
        OpenSession(path.toStdString());
    });
}
