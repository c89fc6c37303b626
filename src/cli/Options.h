#pragma once

#include "analysis/StepRange.h"
#include "cli/Output.h"
#include "experiments/Settings.h"
#include "lab/Measured.h"
#include "plot/CsvTable.h"
#include "session/Session.h"

#include <functional>

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace CLI {
class App;
}

// The batch tool's command line: its commands, their options, and what the
// line asks for once parsed.
namespace cli {

// Writes the window's report of the session, whose runs are made, to the
// file, with the mechanical characteristic's page.
using ReportWriter = std::function<void(const Session& session, SessionResults results, const std::filesystem::path& file)>;

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class Command { Step, Gauss, Uniform, Settings, Characteristic, Session, Fit, Parameters };

inline constexpr std::array<std::pair<std::string_view, Command>, 8> kCommands{{
    {"step", Command::Step}, {"gauss", Command::Gauss}, {"uniform", Command::Uniform},
    {"settings", Command::Settings}, {"characteristic", Command::Characteristic}, {"session", Command::Session},
    {"fit", Command::Fit}, {"parameters", Command::Parameters}}};

// The command's name on the line, "step".
std::string_view CommandName(Command command);

struct Options {
    Command command = Command::Step;
    std::optional<std::string> load;
    std::optional<std::uint32_t> seed;
    std::vector<std::string> settingsFiles;
    std::vector<std::pair<std::string, std::string>> sets;
    std::optional<OutputSink> csv;
    std::optional<OutputSink> metrics;
    std::optional<OutputSink> stats;
    // --json: the run's or the characteristic's results as one document.
    std::optional<OutputSink> json;
    // --session: the session the window would save after the run or sweep.
    std::optional<OutputSink> sessionOut;
    std::optional<analysis::Step> from;
    std::optional<analysis::Step> to;
    std::optional<double> heldLoad; // characteristic's --load
    // --time: seconds beside the steps.
    bool time = false;
    // --locale: the CSV dialect of every output.
    CsvStyle style = kPlainCsv;
    // A sweep runs the command once per value of the setting.
    std::optional<std::string> sweepName;
    std::vector<std::string> sweepValues;
    // --report: the window's report of the run or the session, written by
    // reportWriter, which a tool built without the window has not.
    std::optional<std::filesystem::path> report;
    ReportWriter reportWriter;
    // The session command's file, and the session once the command line
    // has passed.
    std::optional<std::string> sessionPath;
    std::optional<Session> session;
    // --measured and its --map: the measured data a run is compared with,
    // or a fit fitted to; read once the command line has passed.
    std::optional<std::string> measuredPath;
    std::vector<lab::ColumnMapping> mappings;
    std::optional<lab::Measured> measured;
    // --compare: the run's comparison with the measured data.
    std::optional<OutputSink> compare;
    // fit: the settings fitted, the run they are fitted by, and where the
    // fitted experiment file (-o) and the values' CSV (--report) go.
    std::vector<std::string> fit;
    Command fitRun = Command::Step;
    std::optional<OutputSink> fitted;
    std::optional<OutputSink> fitReport;
    // The parameters command's --rated figures, NAME=VALUE in the order
    // given; its experiment file goes to -o as fit's does.
    std::vector<std::pair<std::string, std::string>> rated;
    // An option writes to standard output, which then holds its format alone.
    bool standardOutputTaken = false;
    // The files written so far, each with the option that names it.
    std::vector<std::pair<std::string_view, std::filesystem::path>> files;
};

// The commands and the options that apply to each, for CLI11 to parse into
// options; outputs named "-" go to out.
void AddCommands(CLI::App& app, Options& options, std::ostream& out);

// NAME=VALUE split at its first "=", or nothing without a NAME.
std::optional<std::pair<std::string, std::string>> SplitNameValue(std::string_view text);

// NAME=VALUE,NAME=VALUE... split at its commas, or nothing where an item
// has no NAME.
std::optional<std::vector<std::pair<std::string, std::string>>> SplitNameValues(std::string_view text);

// The steps the statistics cover: --from to --to, the whole run by default.
analysis::StepRange StatisticsRange(const Options& options, const Settings& settings);

// What the settings decide: the statistics' steps lie within the run, and
// a step response has a load. Raises UsageError.
void CheckAgainstSettings(const Options& options, const Settings& settings);

} // namespace cli
