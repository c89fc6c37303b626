// motormodel-cli: runs one experiment without a window and prints its
// results, for scripting and checking.

#include "analysis/AnalysisCsv.h"
#include "analysis/MechanicalCharacteristic.h"
#include "analysis/SignalStatistics.h"
#include "analysis/StepCharacteristics.h"
#include "experiments/Experiments.h"
#include "experiments/RecordingHost.h"
#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "model/MotorModel.h"
#include "plot/CsvTable.h"
#include "plot/Trace.h"
#include "toolkit/AtomicFile.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"

#include <unistd.h>

#include <array>
#include <charconv>
#include <cmath>
#include <csignal>
#include <cstdint>
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
    "Usage: motormodel-cli step LOAD [--csv FILE] [--metrics FILE] [--stats FILE [--from A] [--to B]]\n"
    "  or:  motormodel-cli gauss [--seed N] [--csv FILE] [--stats FILE [--from A] [--to B]]\n"
    "  or:  motormodel-cli uniform [--seed N] [--csv FILE] [--stats FILE [--from A] [--to B]]\n"
    "  or:  motormodel-cli characteristic [--csv FILE] [--load L]\n"
    "\n"
    "Simulates the induction motor for 2000 steps.\n"
    "  step LOAD    step response to the whole-number load LOAD (refused above 30);\n"
    "               prints the largest Md and Omega\n"
    "  gauss        load drawn at every step from a normal distribution (15, 3)\n"
    "  uniform      load drawn at every step from 1001 values between 12 and 18\n"
    "  characteristic\n"
    "               the motor's static characteristic as CSV (Omega,Md,K) at 1001\n"
    "               speeds from -w0/p to 1.5 w0/p, to standard output unless --csv\n"
    "               names a file; speeds without a rest point have no row\n"
    "  --load L     (characteristic) also give the operating point under the load L\n"
    "               on standard error: \"Operating point: Omega X Md Y\"\n"
    "  --seed N     seed of the random source (0 to 4294967295); without it the\n"
    "               uniform source is seeded from the clock and the Gaussian one not at all\n"
    "  --csv FILE   write the run's Md and Omega as CSV (step,Md,Omega); FILE is\n"
    "               replaced only once the whole CSV is written. With - the CSV goes\n"
    "               to standard output and the largest Md and Omega to standard error\n"
    "  --metrics FILE\n"
    "               write the step characteristics of Md and Omega as CSV, one row each\n"
    "               while the load is on (steps 0-999) and after it is removed (1000-1999):\n"
    "               initial and final value, peak, trough and their steps, rise steps\n"
    "               (10% to 90%), settling steps (into 2%), overshoot and undershoot in %\n"
    "  --stats FILE write the statistics of Md and Omega as CSV: count, min, max and their\n"
    "               steps, mean, rms and standard deviation\n"
    "  --from A, --to B\n"
    "               the steps the statistics cover, both included (0 to 1999, the whole\n"
    "               run by default)\n"
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
    "2 usage error, 3 load refused.\n";

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

enum class Command { Step, Gauss, Uniform, Characteristic };

struct Options {
    Command command = Command::Step;
    std::string load;
    std::optional<std::uint32_t> seed;
    std::optional<OutputSink> csv;
    std::optional<OutputSink> metrics;
    std::optional<OutputSink> stats;
    std::optional<analysis::Step> from;
    std::optional<analysis::Step> to;
    std::optional<double> heldLoad; // characteristic's --load
    // An option writes to standard output, which then holds its format alone.
    bool standardOutputTaken = false;
    bool help = false;
    bool version = false;
};

template <typename Number>
Number ParseNumber(std::string_view text, const std::string& what)
{
    Number number{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        throw UsageError("invalid " + what + " '" + std::string(text) + "'");
    return number;
}

double ParseLoad(std::string_view text)
{
    const auto load = ParseNumber<double>(text, "load");
    if (!std::isfinite(load))
        throw UsageError("invalid load '" + std::string(text) + "': a finite number is needed");
    return load;
}

analysis::StepRange StatisticsRange(const Options& options, const Settings& settings)
{
    return {options.from.value_or(0), options.to.value_or(settings.run.steps - 1)};
}

void CheckStatisticsRange(const Options& options, const Settings& settings)
{
    if ((options.from || options.to) && !options.stats)
        throw UsageError("--from and --to need --stats");
    const analysis::StepRange range = StatisticsRange(options, settings);
    const analysis::Step last = settings.run.steps - 1;
    if (range.first < 0 || range.last > last || range.first > range.last)
        throw UsageError("steps " + std::to_string(range.first) + " to " + std::to_string(range.last) +
                         " are not a range within the run's 0 to " + std::to_string(last));
}

// Reads the file name after the output option at args[next] and moves next
// past it. Two outputs interleaved on standard output would make neither
// readable, so only one option may have it.
OutputSink ParseOutput(const std::vector<std::string_view>& args, std::size_t& next, Options& options)
{
    const std::string option(args[next]);
    if (++next == args.size())
        throw UsageError("option '" + option + "' needs a file name (- for standard output)");
    OutputSink sink{std::string(args[next])};
    if (sink.IsStandardOutput()) {
        if (options.standardOutputTaken)
            throw UsageError("at most one option may write to standard output");
        options.standardOutputTaken = true;
    }
    return sink;
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

    std::size_t next = 1;
    if (args[0] == "step") {
        // The load is taken as it stands, so "-5" is a load, not an option.
        if (args.size() < 2)
            throw UsageError("step needs a LOAD");
        options.command = Command::Step;
        options.load = args[1];
        next = 2;
    } else if (args[0] == "gauss") {
        options.command = Command::Gauss;
    } else if (args[0] == "uniform") {
        options.command = Command::Uniform;
    } else if (args[0] == "characteristic") {
        options.command = Command::Characteristic;
    } else {
        throw UsageError("unknown command '" + std::string(args[0]) + "'");
    }

    for (; next < args.size(); ++next) {
        const std::string_view arg = args[next];
        const bool hasValue = next + 1 < args.size();
        if (arg == "--help") {
            options.help = true;
        } else if (arg == "--csv") {
            options.csv = ParseOutput(args, next, options);
        } else if (arg == "--load" && hasValue && options.command == Command::Characteristic) {
            options.heldLoad = ParseLoad(args[++next]);
        } else if (arg == "--seed" && hasValue && options.command != Command::Step &&
                   options.command != Command::Characteristic) {
            options.seed = ParseNumber<std::uint32_t>(args[++next], "seed");
        } else if (arg == "--metrics" && options.command == Command::Step) {
            options.metrics = ParseOutput(args, next, options);
        } else if (arg == "--stats" && options.command != Command::Characteristic) {
            options.stats = ParseOutput(args, next, options);
        } else if (arg == "--from" && hasValue) {
            options.from = ParseNumber<analysis::Step>(args[++next], "step");
        } else if (arg == "--to" && hasValue) {
            options.to = ParseNumber<analysis::Step>(args[++next], "step");
        } else {
            throw UsageError("unexpected argument '" + std::string(arg) + "'");
        }
    }
    CheckStatisticsRange(options, Settings{});
    return options;
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

// The static curve over its range, and where the held load crosses it.
int RunCharacteristic(const Options& options)
{
    const Settings settings;
    const analysis::StaticCharacteristic motor(settings.model);
    const analysis::SpeedRange range = motor.Range();
    const OutputSink csv = options.csv.value_or(OutputSink::StandardOutput());
    csv.Write(analysis::StaticCurveCsv(motor.Curve(range, 1000)));
    if (options.heldLoad) {
        using toolkit::FloatToStr;
        if (const auto point = analysis::OperatingPoint(
                motor, analysis::LoadCharacteristic::Of(settings.step, *options.heldLoad)))
            std::cerr << "Operating point: Omega " << FloatToStr(point->Omega) << " Md "
                      << FloatToStr(point->Md) << '\n';
        else
            std::cerr << "Operating point: none between Omega " << FloatToStr(range.from) << " and "
                      << FloatToStr(range.from + range.span) << '\n';
    }
    return 0;
}

int Run(const Options& options)
{
    Settings settings;
    if (options.seed)
        settings.run.seed = *options.seed;
    RecordingHost host(options.load, settings);
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
    case Command::Characteristic:
        return RunCharacteristic(options);
    case Command::Uniform:
        // Without a seed of its own the run draws from the clock's.
        if (!settings.run.seed)
            SeedUniformSource();
        RunUniformLoad(model, host);
        kind = RunKind::Uniform;
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
    try {
        options = ParseArguments(args);
    } catch (const UsageError& error) {
        std::cerr << "motormodel-cli: " << error.what() << "\n\n" << kUsage;
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
        return Run(options);
    } catch (const toolkit::Exception& error) {
        std::cerr << error.what() << '\n';
        return kExitFailed;
    } catch (const std::exception& error) {
        std::cerr << "motormodel-cli: " << error.what() << '\n';
        return kExitFailed;
    }
}
