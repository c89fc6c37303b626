// motormodel-cli: runs one experiment without a window and prints its
// results, for scripting and checking.

#include "experiments/Experiments.h"
#include "experiments/RecordingHost.h"
#include "model/MotorModel.h"
#include "plot/Trace.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"
#include "toolkit/Random.h"

#include <charconv>
#include <cstdint>
#include <fstream>
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
    "Usage: motormodel-cli step LOAD [--csv FILE]\n"
    "  or:  motormodel-cli gauss [--seed N] [--csv FILE]\n"
    "  or:  motormodel-cli uniform [--seed N] [--csv FILE]\n"
    "\n"
    "Simulates the induction motor for 2000 steps.\n"
    "  step LOAD    step response to the whole-number load LOAD (refused above 30);\n"
    "               prints the largest Md and Omega\n"
    "  gauss        load drawn at every step from a normal distribution (15, 3)\n"
    "  uniform      load drawn at every step from 1001 values between 12 and 18\n"
    "  --seed N     seed of the random source (0 to 4294967295); without it the\n"
    "               uniform source is seeded from the clock and the Gaussian one not at all\n"
    "  --csv FILE   write the run's Md and Omega as CSV (step,Md,Omega); - is standard output\n"
    "  --help       print this text\n"
    "  --version    print the program's name and version\n"
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
    bool help = false;
    bool version = false;
};

std::uint32_t ParseSeed(std::string_view text)
{
    std::uint32_t seed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        throw UsageError("invalid seed '" + std::string(text) + "'");
    return seed;
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
            options.seed = ParseSeed(args[++next]);
        } else {
            throw UsageError("unexpected argument '" + std::string(arg) + "'");
        }
    }
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

void WriteCsv(const std::string& path, const Trace& md, const Trace& omega)
{
    if (path == "-") {
        WriteCsv(std::cout, md, omega);
        return;
    }
    std::ofstream file(path);
    WriteCsv(file, md, omega);
    if (!file.flush())
        throw std::runtime_error("cannot write '" + path + "'");
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
    if (options.csvPath)
        WriteCsv(*options.csvPath, host.Series(mdSeries), host.Series(mdSeries + 1));
    return host.AlertCount() > 0 ? kExitRefused : 0;
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
    if (options.version) {
        std::cout << "motormodel-cli " << MOTORMODEL_VERSION << '\n';
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
