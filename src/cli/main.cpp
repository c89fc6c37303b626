// motormodel-cli: runs one experiment without a window and prints its
// results, for scripting and checking.

#include "analysis/AnalysisCsv.h"
#include "analysis/SignalStatistics.h"
#include "analysis/StepCharacteristics.h"
#include "experiments/ExperimentFile.h"
#include "experiments/Experiments.h"
#include "experiments/RecordingHost.h"
#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "model/MotorModel.h"
#include "plot/CsvTable.h"
#include "plot/Trace.h"
#include "toolkit/AtomicFile.h"
#include "toolkit/Exception.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <initializer_list>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitRefused = 3;

constexpr std::string_view kAlertText = "Некорректно введенное значение Мс<30";

constexpr std::string_view kUsage =
    "Usage: motormodel-cli step [LOAD] [--csv FILE] [--metrics FILE] [--stats FILE [--from A] [--to B]]\n"
    "  or:  motormodel-cli gauss [--seed N] [--csv FILE] [--stats FILE [--from A] [--to B]]\n"
    "  or:  motormodel-cli uniform [--seed N] [--csv FILE] [--stats FILE [--from A] [--to B]]\n"
    "  or:  motormodel-cli settings\n"
    "Every command also takes [--settings FILE]... [--set NAME=VALUE]...\n"
    "\n"
    "Simulates the induction motor for run.steps steps (2000 by default).\n"
    "  step LOAD    step response to the whole-number load LOAD (refused above\n"
    "               run.limit, 30 by default); prints the largest Md and Omega. LOAD may\n"
    "               be left out when the settings give step.load\n"
    "  gauss        load drawn at every step from a normal distribution (15, 3)\n"
    "  uniform      load drawn at every step from 1001 values between 12 and 18\n"
    "  settings     print the settings in force as a complete experiment file\n"
    "  --settings FILE\n"
    "               read settings from the experiment file FILE (TOML)\n"
    "  --set NAME=VALUE\n"
    "               set one setting, as a file writes it: --set model.J=0.0344,\n"
    "               --set step.profile=ramp (a text may leave out its quotes)\n"
    "               The defaults apply first, then every --settings, then every --set,\n"
    "               each in the order given\n"
    "  --seed N     seed of the random sources (0 to 4294967295), over run.seed; without\n"
    "               either the uniform source is seeded from the clock and the Gaussian\n"
    "               one not at all\n"
    "  --csv FILE   write the run's Md and Omega as CSV (step,Md,Omega); FILE is\n"
    "               replaced only once the whole CSV is written. With - the CSV goes\n"
    "               to standard output and the largest Md and Omega to standard error\n"
    "  --metrics FILE\n"
    "               write the step characteristics of Md and Omega as CSV, one row each\n"
    "               while the load is on (steps step.on to step.off - 1, 0-999 by\n"
    "               default) and after it is removed (to the run's end): initial and\n"
    "               final value, peak, trough and their steps, rise steps (10% to 90%),\n"
    "               settling steps (into 2%), overshoot and undershoot in %\n"
    "  --stats FILE write the statistics of Md and Omega as CSV: count, min, max and their\n"
    "               steps, mean, rms and standard deviation\n"
    "  --from A, --to B\n"
    "               the steps the statistics cover, both included (the whole run by\n"
    "               default)\n"
    "               CSV numbers read back exactly; an empty cell is a value left undefined,\n"
    "               such as the rise of a signal that ends where it started. A refused or\n"
    "               failed run writes no characteristics and no statistics\n"
    "  --help       print this text\n"
    "  --version    print the program's name and version\n"
    "\n"
    "At most one option writes to standard output.\n"
    "Exit status: 0 done, 1 the load is not an integer, the run overflowed or an\n"
    "output could not be written (\"motormodel-cli: write error: REASON\" for\n"
    "standard output, \"motormodel-cli: cannot write 'FILE': REASON\" for a file),\n"
    "2 usage error or a setting or experiment file that is not allowed, 3 load refused.\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Where one of the tool's outputs goes: standard output for "-", otherwise a
// file that is replaced only once its text is complete. Every write is
// checked, so a lost output is reported, never taken for success.
class OutputSink {
public:
    explicit OutputSink(std::string path) : path_(std::move(path)) {}

    static OutputSink StandardOutput() { return OutputSink("-"); }

    bool IsStandardOutput() const { return path_ == "-"; }

    void Write(std::string_view text) const
    {
        if (IsStandardOutput())
            toolkit::WriteAll(STDOUT_FILENO, text, "write error");
        else
            toolkit::ReplaceFile(path_, text);
    }

private:
    std::string path_;
};

enum class Command { Step, Gauss, Uniform, Settings };

struct Options {
    Command command = Command::Step;
    std::optional<std::string> load;
    std::optional<std::uint32_t> seed;
    std::vector<std::string> settingsFiles;
    std::vector<std::pair<std::string, std::string>> sets;
    std::optional<OutputSink> csv;
    std::optional<OutputSink> metrics;
    std::optional<OutputSink> stats;
    std::optional<analysis::Step> from;
    std::optional<analysis::Step> to;
    // An option writes to standard output, which then holds its format alone.
    bool standardOutputTaken = false;
    bool help = false;
    bool version = false;
};

// The options that take a value, the commands they apply to and what their
// value is, for the messages.
struct OptionSpec {
    std::string_view name;
    std::initializer_list<Command> commands;
    std::string_view value;
};

constexpr auto kRunCommands = {Command::Step, Command::Gauss, Command::Uniform};
constexpr auto kAll = {Command::Step, Command::Gauss, Command::Uniform, Command::Settings};
const std::array<OptionSpec, 8> kOptions{{
    {"--settings", kAll, "a file name"},
    {"--set", kAll, "NAME=VALUE"},
    {"--seed", {Command::Gauss, Command::Uniform}, "a whole number from 0 to 4294967295"},
    {"--csv", kRunCommands, "a file name (- for standard output)"},
    {"--metrics", {Command::Step}, "a file name (- for standard output)"},
    {"--stats", kRunCommands, "a file name (- for standard output)"},
    {"--from", kRunCommands, "a step number"},
    {"--to", kRunCommands, "a step number"},
}};

[[noreturn]] void RejectValue(const OptionSpec& option, std::string_view value)
{
    throw UsageError("option '" + std::string(option.name) + "' needs " + std::string(option.value) + ", not '" +
                     std::string(value) + "'");
}

template <typename Number>
Number ParseNumber(const OptionSpec& option, std::string_view text)
{
    Number number{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        RejectValue(option, text);
    return number;
}

analysis::StepRange StatisticsRange(const Options& options, const Settings& settings)
{
    return {options.from.value_or(0), options.to.value_or(settings.run.steps - 1)};
}

// What the settings decide: the statistics' steps lie within the run, and
// a step response has a load.
void CheckAgainstSettings(const Options& options, const Settings& settings)
{
    if ((options.from || options.to) && !options.stats)
        throw UsageError("--from and --to need --stats");
    const analysis::StepRange range = StatisticsRange(options, settings);
    const analysis::Step last = settings.run.steps - 1;
    if (range.first < 0 || range.last > last || range.first > range.last)
        throw UsageError("steps " + std::to_string(range.first) + " to " + std::to_string(range.last) +
                         " are not a range within the run's 0 to " + std::to_string(last));
    if (options.command == Command::Step && !options.load && !settings.step.load)
        throw UsageError("step needs a LOAD, or step.load in the settings");
}

// Two outputs interleaved on standard output would make neither readable,
// so only one option may have it.
OutputSink Output(const std::string& path, Options& options)
{
    OutputSink sink{path};
    if (sink.IsStandardOutput()) {
        if (options.standardOutputTaken)
            throw UsageError("at most one option may write to standard output");
        options.standardOutputTaken = true;
    }
    return sink;
}

void TakeOption(const OptionSpec& option, const std::string& value, Options& options)
{
    const std::string_view name = option.name;
    if (name == "--settings") {
        options.settingsFiles.push_back(value);
    } else if (name == "--set") {
        const std::size_t equals = value.find('=');
        if (equals == std::string::npos || equals == 0)
            RejectValue(option, value);
        options.sets.emplace_back(value.substr(0, equals), value.substr(equals + 1));
    } else if (name == "--seed") {
        options.seed = ParseNumber<std::uint32_t>(option, value);
    } else if (name == "--csv") {
        options.csv = Output(value, options);
    } else if (name == "--metrics") {
        options.metrics = Output(value, options);
    } else if (name == "--stats") {
        options.stats = Output(value, options);
    } else if (name == "--from") {
        options.from = ParseNumber<analysis::Step>(option, value);
    } else {
        options.to = ParseNumber<analysis::Step>(option, value);
    }
}

Options ParseArguments(const std::vector<std::string_view>& args)
{
    Options options;
    if (!args.empty() && args[0] == "--help") {
        options.help = true;
        return options;
    }
    if (!args.empty() && args[0] == "--version") {
        options.version = true;
        return options;
    }
    if (args.empty())
        throw UsageError("no command given");

    constexpr std::array<std::pair<std::string_view, Command>, 4> kCommands{{
        {"step", Command::Step}, {"gauss", Command::Gauss}, {"uniform", Command::Uniform},
        {"settings", Command::Settings}}};
    const auto command = std::find_if(kCommands.begin(), kCommands.end(), [&](const auto& c) { return c.first == args[0]; });
    if (command == kCommands.end())
        throw UsageError("unknown command '" + std::string(args[0]) + "'");
    options.command = command->second;

    for (std::size_t next = 1; next < args.size(); ++next) {
        const std::string_view arg = args[next];
        if (arg == "--help") {
            options.help = true;
            continue;
        }
        // Only options start with "--", so a load of -5 is a load.
        if (!arg.starts_with("--")) {
            if (options.command != Command::Step || options.load)
                throw UsageError("unexpected argument '" + std::string(arg) + "'");
            options.load = std::string(arg);
            continue;
        }
        const auto option = std::find_if(kOptions.begin(), kOptions.end(), [&](const OptionSpec& o) { return o.name == arg; });
        if (option == kOptions.end())
            throw UsageError("unknown option '" + std::string(arg) + "'");
        if (std::find(option->commands.begin(), option->commands.end(), options.command) == option->commands.end())
            throw UsageError("option '" + std::string(arg) + "' does not apply to '" + std::string(command->first) + "'");
        if (++next == args.size())
            throw UsageError("option '" + std::string(arg) + "' needs a value");
        TakeOption(*option, std::string(args[next]), options);
    }
    return options;
}

// The defaults, then every file, then every --set and --seed, each in the
// order given; checked whole.
Settings SettingsInForce(const Options& options)
{
    Settings settings;
    for (const std::string& path : options.settingsFiles)
        settings = ExperimentFile::Load(path, settings);
    for (const auto& [name, value] : options.sets)
        SetSettingText(settings, name, value);
    if (options.seed)
        settings.run.seed = *options.seed;
    CheckSettings(settings);
    return settings;
}

// The run's points as the chart exports them, headed "step,Md,Omega".
std::string CsvText(const Trace& md, const Trace& omega)
{
    ShownTraces traces;
    traces.Add(md, "Md");
    traces.Add(omega, "Omega");
    return CsvTable(traces);
}

void ReportMaxima(const RecordingHost& host, const Options& options)
{
    const std::string text = "Max M " + host.MdMaxText() + "\nMax Omega " + host.OmegaMaxText() + '\n';
    if (options.standardOutputTaken)
        std::cerr << text;
    else
        OutputSink::StandardOutput().Write(text);
}

void WriteMeasurements(const Options& options, const Settings& settings, const Trace& md, const Trace& omega)
{
    if (options.metrics)
        options.metrics->Write(
            analysis::CharacteristicsCsv(analysis::CharacterizeStepResponse(md, omega, StepLoadSchedule(settings))));
    if (options.stats) {
        const analysis::StepRange range = StatisticsRange(options, settings);
        auto row = [&](const Trace& trace) {
            return analysis::StatisticsRow{trace.Title(), range,
                                           analysis::ComputeStatistics(trace.Points(), range)};
        };
        const std::array rows{row(md), row(omega)};
        options.stats->Write(analysis::StatisticsCsv(rows));
    }
}

int Run(const Options& options, const Settings& settings)
{
    if (options.command == Command::Settings) {
        OutputSink::StandardOutput().Write(ExperimentFile::Text(settings));
        return 0;
    }
    // A typed load wins over the settings' one.
    RecordingHost host(options.load.value_or(std::to_string(settings.step.load.value_or(0))), settings);
    MotorModel model{};
    RunKind kind = RunKind::Step;
    switch (options.command) {
    case Command::Step:
        RunStepResponse(model, host);
        break;
    case Command::Gauss:
        RunGaussianLoad(model, host);
        kind = RunKind::Gauss;
        break;
    case Command::Uniform:
        // Without a seed of its own the run draws from the clock's.
        if (!settings.run.seed)
            SeedUniformSource();
        RunUniformLoad(model, host);
        kind = RunKind::Uniform;
        break;
    case Command::Settings:
        break;
    }

    if (options.command == Command::Step) {
        if (host.AlertCount() > 0)
            std::cerr << kAlertText << '\n';
        ReportMaxima(host, options);
    }
    const Trace& md = host.Series(RunOf(kind).mdSeries);
    const Trace& omega = host.Series(RunOf(kind).omegaSeries);
    if (options.csv)
        options.csv->Write(CsvText(md, omega));
    // A refused run has no points to measure, and empty tables would pass
    // for measurements.
    if (host.AlertCount() > 0)
        return kExitRefused;
    WriteMeasurements(options, settings, md, omega);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    // Past a file-size limit, a write then fails with EFBIG and is reported
    // like any other failed write, instead of the signal killing the tool.
    std::signal(SIGXFSZ, SIG_IGN);

    const std::vector<std::string_view> args(argv + 1, argv + argc);
    Options options;
    Settings settings;
    try {
        options = ParseArguments(args);
        if (!options.help && !options.version) {
            settings = SettingsInForce(options);
            CheckAgainstSettings(options, settings);
        }
    } catch (const UsageError& error) {
        std::cerr << "motormodel-cli: " << error.what() << "\n\n" << kUsage;
        return kExitUsage;
    } catch (const SettingsError& error) {
        std::cerr << "motormodel-cli: " << error.what() << '\n';
        return kExitUsage;
    }
    try {
        if (options.help) {
            OutputSink::StandardOutput().Write(kUsage);
            return 0;
        }
        if (options.version) {
            OutputSink::StandardOutput().Write("motormodel-cli " MOTORMODEL_VERSION "\n");
            return 0;
        }
        return Run(options, settings);
    } catch (const toolkit::Exception& error) {
        std::cerr << error.what() << '\n';
        return kExitFailed;
    } catch (const std::exception& error) {
        std::cerr << "motormodel-cli: " << error.what() << '\n';
        return kExitFailed;
    }
}
