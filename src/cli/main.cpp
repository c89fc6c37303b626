// motormodel-cli: runs one experiment without a window and prints its
// results, for scripting and checking.

#include "analysis/AnalysisCsv.h"
#include "analysis/SignalStatistics.h"
#include "analysis/StepCharacteristics.h"
#include "experiments/Experiments.h"
#include "experiments/RecordingHost.h"
#include "model/MotorModel.h"
#include "plot/Trace.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"
#include "toolkit/Random.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kExitConversionOrOverflow = 1;
constexpr int kExitUsage = 2;
constexpr int kExitRefused = 3;

constexpr std::string_view kAlertText = "Некорректно введенное значение Мс<30";

constexpr std::string_view kUsage =
    "Usage: motormodel-cli step LOAD [--csv FILE] [--metrics FILE] [--stats FILE [--from A] [--to B]]\n"
    "       motormodel-cli gauss [--seed N] [--csv FILE] [--stats FILE [--from A] [--to B]]\n"
    "       motormodel-cli uniform [--seed N] [--csv FILE] [--stats FILE [--from A] [--to B]]\n"
    "\n"
    "Simulates the induction motor for 2000 steps.\n"
    "  step LOAD    step response to the whole-number load LOAD (refused above 30);\n"
    "               prints the largest Md and Omega\n"
    "  gauss        load drawn at every step from a normal distribution (15, 3)\n"
    "  uniform      load drawn at every step from 1001 values between 12 and 18\n"
    "  --seed N     seed of the random source (0 to 4294967295); without it the\n"
    "               uniform source is seeded from the clock and the Gaussian one not at all\n"
    "  --csv FILE   write the run's Md and Omega as CSV (step,Md,Omega); - is standard output\n"
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
    "\n"
    "Exit status: 0 done, 1 the load is not an integer or the run overflowed,\n"
    "2 usage error, 3 load refused.\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class Command { Step, Gauss, Uniform };

struct Options {
    Command command = Command::Step;
    std::string load;
    std::optional<std::uint32_t> seed;
    std::optional<std::string> csvPath;
    std::optional<std::string> metricsPath;
    std::optional<std::string> statsPath;
    std::optional<analysis::Step> from;
    std::optional<analysis::Step> to;
    bool help = false;
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

analysis::StepRange StatisticsRange(const Options& options)
{
    return {options.from.value_or(0), options.to.value_or(kRunLength - 1)};
}

void CheckStatisticsRange(const Options& options)
{
    if ((options.from || options.to) && !options.statsPath)
        throw UsageError("--from and --to need --stats");
    const analysis::StepRange range = StatisticsRange(options);
    if (range.first < 0 || range.last >= kRunLength || range.first > range.last)
        throw UsageError("steps " + std::to_string(range.first) + " to " + std::to_string(range.last) +
                         " are not a range within the run's 0 to " + std::to_string(kRunLength - 1));
}

Options ParseArguments(const std::vector<std::string_view>& args)
{
    Options options;
    if (!args.empty() && args[0] == "--help") {
        options.help = true;
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
    } else {
        throw UsageError("unknown command '" + std::string(args[0]) + "'");
    }

    for (; next < args.size(); ++next) {
        const std::string_view arg = args[next];
        const bool hasValue = next + 1 < args.size();
        if (arg == "--help") {
            options.help = true;
        } else if (arg == "--csv" && hasValue) {
            options.csvPath = std::string(args[++next]);
        } else if (arg == "--seed" && hasValue && options.command != Command::Step) {
            options.seed = ParseNumber<std::uint32_t>(args[++next], "seed");
        } else if (arg == "--metrics" && hasValue && options.command == Command::Step) {
            options.metricsPath = std::string(args[++next]);
        } else if (arg == "--stats" && hasValue) {
            options.statsPath = std::string(args[++next]);
        } else if (arg == "--from" && hasValue) {
            options.from = ParseNumber<analysis::Step>(args[++next], "step");
        } else if (arg == "--to" && hasValue) {
            options.to = ParseNumber<analysis::Step>(args[++next], "step");
        } else {
            throw UsageError("unexpected argument '" + std::string(arg) + "'");
        }
    }
    CheckStatisticsRange(options);
    return options;
}

void WriteCsv(std::ostream& out, const Trace& md, const Trace& omega)
{
    out << "step,Md,Omega\n";
    const auto& mdPoints = md.Points();
    const auto& omegaPoints = omega.Points();
    for (std::size_t i = 0; i < mdPoints.size() && i < omegaPoints.size(); ++i) {
        out << toolkit::FloatToStr(mdPoints[i].x) << ',' << toolkit::FloatToStr(mdPoints[i].y) << ','
            << toolkit::FloatToStr(omegaPoints[i].y) << '\n';
    }
}

// Runs write on the file at path, or on standard output for "-".
void WriteTo(const std::string& path, const std::function<void(std::ostream&)>& write)
{
    if (path == "-") {
        write(std::cout);
        return;
    }
    std::ofstream file(path);
    write(file);
    if (!file.flush())
        throw std::runtime_error("cannot write '" + path + "'");
}

void WriteMeasurements(const Options& options, const Trace& md, const Trace& omega)
{
    if (options.metricsPath) {
        const auto rows = analysis::CharacterizeStepResponse(md, omega);
        const std::string csv = analysis::CharacteristicsCsv(rows);
        WriteTo(*options.metricsPath, [&](std::ostream& out) { out << csv; });
    }
    if (options.statsPath) {
        const analysis::StepRange range = StatisticsRange(options);
        auto row = [&](const Trace& trace) {
            return analysis::StatisticsRow{trace.Title(), range,
                                           analysis::ComputeStatistics(trace.Points(), range)};
        };
        const std::array rows{row(md), row(omega)};
        const std::string csv = analysis::StatisticsCsv(rows);
        WriteTo(*options.statsPath, [&](std::ostream& out) { out << csv; });
    }
}

int Run(const Options& options)
{
    RecordingHost host(options.load);
    MotorModel model{};
    int mdSeries = 5;
    switch (options.command) {
    case Command::Step:
        RunStepResponse(model, host);
        break;
    case Command::Gauss:
        if (options.seed)
            toolkit::SeedRandG(*options.seed);
        RunGaussianLoad(model, host);
        mdSeries = 1;
        break;
    case Command::Uniform:
        if (options.seed)
            runtime::srand(*options.seed);
        else
            SeedUniformSource();
        RunUniformLoad(model, host);
        mdSeries = 3;
        break;
    }

    if (options.command == Command::Step) {
        if (host.AlertCount() > 0)
            std::cerr << kAlertText << '\n';
        std::cout << "Max M " << host.MdMaxText() << "\nMax Omega " << host.OmegaMaxText() << '\n';
    }
    const Trace& md = host.Series(mdSeries);
    const Trace& omega = host.Series(mdSeries + 1);
    if (options.csvPath)
        WriteTo(*options.csvPath, [&](std::ostream& out) { WriteCsv(out, md, omega); });
    // A refused run has no points to measure, and empty tables would pass
    // for measurements.
    if (host.AlertCount() > 0)
        return kExitRefused;
    WriteMeasurements(options, md, omega);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    Options options;
    try {
        options = ParseArguments(args);
    } catch (const UsageError& error) {
        std::cerr << "motormodel-cli: " << error.what() << "\n\n" << kUsage;
        return kExitUsage;
    }
    if (options.help) {
        std::cout << kUsage;
        return 0;
    }
    try {
        return Run(options);
    } catch (const toolkit::Exception& error) {
        std::cerr << error.what() << '\n';
        return kExitConversionOrOverflow;
    } catch (const std::exception& error) {
        std::cerr << "motormodel-cli: " << error.what() << '\n';
        return kExitConversionOrOverflow;
    }
}
