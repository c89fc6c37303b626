#include "cli/Commands.h"

#include "analysis/AnalysisCsv.h"
#include "analysis/SignalStatistics.h"
#include "analysis/StepCharacteristics.h"
#include "cli/Characteristic.h"
#include "cli/JsonReport.h"
#include "cli/Lab.h"
#include "cli/Parameters.h"
#include "cli/Texts.h"
#include "experiments/ExperimentFile.h"
#include "experiments/Runs.h"
#include "lab/Comparison.h"
#include "lab/Measured.h"
#include "plot/CsvTable.h"
#include "plot/Trace.h"
#include "session/KeptMeasured.h"
#include "session/Session.h"
#include "toolkit/Conversions.h"

#include <exception>
#include <filesystem>
#include <optional>
#include <string_view>
#include <utility>

namespace cli {

namespace {

// The run's points as the chart exports them, headed "step,Md,Omega", or
// "step,t,Md,Omega" with --time, and ",Is,ia" after them for the d-q model.
void WriteRunCsv(const RunResult& run, const Options& options, const CsvWrite& write)
{
    const ShownTraces traces = RunTraces(run);
    WriteCsvTable(traces, traces.ShownIndices(), options.style, TimeStep(run, options), write);
}

void ReportMaxima(const RunResult& run, const Options& options, const Streams& streams)
{
    using toolkit::FloatToStr;
    const std::string text = "Max M " + FloatToStr(run.mdMax) + "\nMax Omega " + FloatToStr(run.omegaMax) + '\n';
    if (options.standardOutputTaken)
        streams.err << text;
    else
        WriteStandardOutput(streams.out, text);
}

// Each quantity's statistics over the steps --from and --to give; with
// measured data, each measured quantity's after them, and the extremes'
// times in every row.
std::vector<analysis::StatisticsRow> StatisticsRows(const Options& options, const RunResult& run)
{
    const analysis::StepRange range = StatisticsRange(options, run.settings);
    const double dt = run.settings.model.dt;
    const std::optional<double> times = options.measured ? std::optional(dt) : std::nullopt;
    std::vector<analysis::StatisticsRow> rows;
    for (const Quantity quantity : run.Quantities()) {
        const auto statistics = analysis::ComputeStatistics(run.Of(quantity).Points(), range);
        rows.push_back({std::string(QuantityName(quantity)), analysis::FiguresOf(range, statistics, times)});
    }
    if (!options.measured)
        return rows;
    const lab::Measured& measured = *options.measured;
    for (const Quantity quantity : measured.Quantities()) {
        const auto statistics = analysis::ComputeSampleStatistics(measured.times, measured.Of(quantity), range, dt);
        rows.push_back({MeasuredColumnName(QuantityName(quantity)), analysis::FiguresOf(range, statistics)});
    }
    return rows;
}

// The run's document before its measurements.
RunReport ReportOf(const Options& options, const RunResult& run)
{
    return {.command = CommandName(options.command),
            .settings = run.settings,
            .refused = run.outcome == RunOutcome::Refused,
            .load = run.load,
            .maxima = std::nullopt,
            .metrics = std::nullopt,
            .statistics = std::nullopt};
}

// What a run that went to its end measures, each measured once for every
// output that gives it.
void WriteMeasurements(const Options& options, const RunResult& run)
{
    const bool stepResponse = options.command == Command::Step;
    std::vector<analysis::CharacteristicsRow> characteristics;
    if (stepResponse && (options.metrics || options.json))
        characteristics = analysis::CharacterizeStepResponse(run);
    std::vector<analysis::StatisticsRow> statistics;
    if (options.stats || options.json)
        statistics = StatisticsRows(options, run);
    if (options.metrics)
        options.metrics->Write(analysis::CharacteristicsCsv(characteristics, options.style, TimeStep(run, options)));
    if (options.stats)
        options.stats->Write(analysis::StatisticsCsv(statistics, options.style, options.measured.has_value()));
    std::optional<lab::Comparison> comparison;
    if (options.measured)
        comparison = lab::Compare(run, *options.measured);
    if (options.compare)
        options.compare->Write(ComparisonCsv(*comparison, options.style));
    if (options.json) {
        RunReport report = ReportOf(options, run);
        report.comparison = comparison ? &*comparison : nullptr;
        if (stepResponse) {
            report.maxima = Maxima{run.mdMax, run.omegaMax};
            report.metrics = characteristics;
        }
        report.statistics = statistics;
        options.json->Write(RunJson(report));
    }
}

// The single run of step, gauss or uniform.
int RunOne(const Options& options, const Settings& settings, const Streams& streams)
{
    WarnOfUnstableStep(settings, streams.err);
    RunResult run = RunExperiment(
        {KindOfRun(options.command), settings, LoadText(options, settings), SourcesOf(settings)});
    if (run.outcome == RunOutcome::Failed)
        std::rethrow_exception(run.error);
    const bool refused = run.outcome == RunOutcome::Refused;
    if (options.command == Command::Step) {
        if (refused)
            streams.err << RefusedLoadText(settings.run.limit) << '\n';
        ReportMaxima(run, options, streams);
    }
    if (options.csv)
        options.csv->Stream([&](const CsvWrite& write) { WriteRunCsv(run, options, write); });
    if (options.sessionOut)
        WriteSession(options, SessionOf(options, run));
    // A refused run has no points to measure, and empty tables would pass
    // for measurements.
    if (!refused)
        WriteMeasurements(options, run);
    else if (options.json)
        options.json->Write(RunJson(ReportOf(options, run)));
    // Last, as it takes the run's points: what the window shows after it.
    if (options.report) {
        Session session = SessionOf(options, run);
        SessionResults results;
        results.runs.push_back(std::move(run));
        options.reportWriter(session, std::move(results), *options.report);
    }
    return refused ? kExitRefused : 0;
}

} // namespace

std::optional<double> TimeStep(const RunResult& run, const Options& options)
{
    return options.time ? std::optional(run.settings.model.dt) : std::nullopt;
}

ShownTraces RunTraces(const RunResult& run)
{
    ShownTraces traces;
    for (Quantity quantity : run.Quantities())
        traces.Add(run.Of(quantity), std::string(QuantityName(quantity)));
    return traces;
}

std::string MetricsText(const RunResult& run, const Options& options)
{
    return analysis::CharacteristicsCsv(analysis::CharacterizeStepResponse(run), options.style,
                                        TimeStep(run, options));
}

Session SessionOf(const Options& options, const Settings& settings, const RandomSources& next,
                  std::vector<SessionRun> runs, std::vector<SessionPin> pins)
{
    return {.settings = settings,
            .loadText = options.load.value_or(settings.step.load ? std::to_string(*settings.step.load) : ""),
            .sources = next,
            .runs = std::move(runs),
            .pins = std::move(pins),
            .units = {.secondsPerStep = settings.model.dt},
            .measured = options.measured ? std::optional(KeptOf(*options.measured, options.mappings)) : std::nullopt};
}

Session SessionOf(const Options& options, const RunResult& run)
{
    return SessionOf(options, run.settings, run.sources, {{run.Recipe(), {true, true}}}, {});
}

void WriteSession(const Options& options, Session session)
{
    // The data file named as a session in that folder names it; on standard
    // output, wherever it goes, by its whole path.
    if (session.measured) {
        std::string& file = session.measured->file;
        file = options.sessionOut->IsStandardOutput() ? std::filesystem::absolute(file).lexically_normal().string()
                                                      : FileInSession(file, options.sessionOut->Path());
    }
    options.sessionOut->Write(SessionText(session, MOTORMODEL_VERSION));
}

void WriteSessionOf(const Options& options, const Settings& settings, const RandomSources& next,
                    std::vector<SessionRun> runs, std::vector<SessionPin> pins)
{
    WriteSession(options, SessionOf(options, settings, next, std::move(runs), std::move(pins)));
}

std::string LoadText(const Options& options, const Settings& settings)
{
    return options.load.value_or(std::to_string(settings.step.load.value_or(0)));
}

RunKind KindOfRun(Command command)
{
    switch (command) {
    case Command::Gauss:
        return RunKind::Gauss;
    case Command::Uniform:
        return RunKind::Uniform;
    case Command::Step:
    // Not experiments: RunCommand sees to them before any run.
    case Command::Settings:
    case Command::Characteristic:
    case Command::Session:
    case Command::Fit:
    case Command::Parameters:
        break;
    }
    return RunKind::Step;
}

namespace {

// The session's measured data read again, as the window opens it: where
// its file cannot be read or is not the one the session was saved with,
// the window opens the session without it, and so does this, warning.
std::optional<lab::Measured> MeasuredOfSession(const Session& session, std::ostream& err)
{
    if (!session.measured)
        return std::nullopt;
    try {
        return ReadKept(*session.measured).measured;
    } catch (const KeptMeasuredError& error) {
        err << "motormodel-cli: warning: the measured data left out: " << KeptMeasuredErrorText(error.Cause()) << '\n';
    }
    return std::nullopt;
}

} // namespace

void WarnOfUnstableStep(const Settings& settings, std::ostream& err, const std::string& member)
{
    if (const auto warning = UnstableStep(settings))
        err << "motormodel-cli: warning: " << member << ErrorText(*warning) << '\n';
}

int RunCommand(const Options& options, const Settings& settings, const Streams& streams)
{
    if (options.sweepName)
        return RunSweep(options, settings, streams);
    switch (options.command) {
    case Command::Session: {
        SessionResults results = RunSession(*options.session);
        // With a report, the points go out only where asked for; the
        // measured data's beside them, as the window's chart exports them.
        if (options.csv || !options.report) {
            const std::optional<lab::Measured> measured = MeasuredOfSession(*options.session, streams.err);
            options.csv.value_or(OutputSink::StandardOutput(streams.out)).Stream([&](const CsvWrite& write) {
                const auto table = [&](const CsvWrite& to) {
                    WriteSessionCsv(*options.session, results, options.style, to);
                };
                if (measured)
                    WriteCsvWithSamples(lab::CsvSamplesOf(*measured), options.style, write, table);
                else
                    table(write);
            });
        }
        if (options.report)
            options.reportWriter(*options.session, std::move(results), *options.report);
        return 0;
    }
    case Command::Settings:
        WriteStandardOutput(streams.out, ExperimentFile::Text(settings));
        return 0;
    case Command::Characteristic:
        return RunCharacteristic(options, settings, streams);
    case Command::Fit:
        return RunFit(options, settings, streams);
    case Command::Parameters:
        return RunParameters(options, settings, streams);
    case Command::Step:
    case Command::Gauss:
    case Command::Uniform:
        break;
    }
    return RunOne(options, settings, streams);
}

} // namespace cli
