// motormodel-cli: runs one experiment without a window and prints its
// results, for scripting and checking.

#include "analysis/AnalysisCsv.h"
#include "analysis/MechanicalCharacteristic.h"
#include "analysis/SignalStatistics.h"
#include "analysis/StepCharacteristics.h"
#include "cli/DqCommands.h"
#include "cli/Texts.h"
#include "experiments/ExperimentFile.h"
#include "experiments/Experiments.h"
#include "experiments/Family.h"
#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "experiments/SettingsTable.h"
#include "model/MotorModel.h"
#include "plot/CsvTable.h"
#include "plot/Trace.h"
#include "session/Session.h"
#include "toolkit/AtomicFile.h"
#include "toolkit/Conversions.h"
#include "toolkit/Cores.h"
#include "toolkit/Exception.h"

#include <unistd.h>

#include <CLI/CLI.hpp>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <csignal>
#include <exception>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitRefused = 3;

// Laid out for help2man, which writes the man page from it: an option or a
// command and its text on one line, or the text on the next at column 24;
// continuations at the same column; "Options:", "Settings:", "*Exit
// status*" and "Examples:" start the page's sections. Each {NAME} is that
// setting's default, and the settings' section comes from their table.
constexpr std::string_view kHelp =
    "Usage: motormodel-cli step [LOAD] [--csv FILE] [--metrics FILE] [--stats FILE [--from A] [--to B]]\n"
    "  or:  motormodel-cli gauss [--seed N] [--csv FILE] [--stats FILE [--from A] [--to B]]\n"
    "  or:  motormodel-cli uniform [--seed N] [--csv FILE] [--stats FILE [--from A] [--to B]]\n"
    "  or:  motormodel-cli settings\n"
    "  or:  motormodel-cli characteristic [--csv FILE] [--load L]\n"
    "  or:  motormodel-cli sweep NAME=VALUES RUN [--csv FILE] [--metrics FILE]\n"
    "  or:  motormodel-cli session SESSION [--csv FILE]\n"
    "Simulates the induction motor for run.steps steps ({run.steps} by default). Every\n"
    "command but session also takes [--settings FILE]... [--set NAME=VALUE]...,\n"
    "every command that writes CSV [--locale ru], and every run and sweep [--time]\n"
    "and [--session FILE]\n"
    "\n"
    "Commands:\n"
    "  step [LOAD]           step response to the whole-number load LOAD (refused\n"
    "                        above run.limit, {run.limit} by default); prints the largest Md\n"
    "                        and Omega. LOAD may be left out when the settings give\n"
    "                        step.load\n"
    "  gauss                 load drawn at every step from a normal distribution\n"
    "                        ({gauss.mean}, {gauss.sd})\n"
    "  uniform               load drawn at every step from {uniform.levels} values between {uniform.low}\n"
    "                        and {uniform.high}\n"
    "  settings              print the settings in force as a complete experiment\n"
    "                        file\n"
    "  characteristic        the motor's static characteristic as CSV (Omega,Md,K)\n"
    "                        at 1001 speeds from -w0/p to 1.5 w0/p, to standard\n"
    "                        output unless --csv names a file; speeds without a\n"
    "                        rest point have no row. The d-q model's, from its\n"
    "                        equivalent circuit, is Omega,Md,slip,Is,cos_phi, and\n"
    "                        its breakdown point goes to standard error:\n"
    "                        \"Breakdown point: Omega X Md Y slip S\"\n"
    "  sweep NAME=VALUES RUN\n"
    "                        one RUN (step [LOAD], gauss or uniform, with their\n"
    "                        options) per value of the setting NAME; VALUES is a\n"
    "                        list (0,10,20,30) or A:B:STEP (0:30:10). LOAD is left\n"
    "                        out when NAME is step.load. --csv (standard output by\n"
    "                        default) writes NAME,step,Md,Omega and --metrics\n"
    "                        NAME,trace,segment,..., one block per value. A value\n"
    "                        that is not allowed or whose run fails is reported\n"
    "                        and the others go on; the exit status is the largest\n"
    "                        of the runs'\n"
    "  session SESSION       the chart of a session the window saved, made again\n"
    "                        from its recipes: --csv (standard output by default)\n"
    "                        writes the CSV the window exports of it, its shown\n"
    "                        traces as step[,t],TRACE...; the settings options\n"
    "                        do not apply, the session holds its own. A session\n"
    "                        cut short or with lines lost is refused\n"
    "\n"
    "Options:\n"
    "  --settings FILE       read settings from the experiment file FILE (TOML)\n"
    "  --set NAME=VALUE      set one setting, as a file writes it: --set\n"
    "                        model.J=0.0344, --set step.profile=ramp (a text may\n"
    "                        leave out its quotes). The defaults apply first, then\n"
    "                        every --settings, then every --set, each in the order\n"
    "                        given\n"
    "  --seed N              seed of the random sources ({seed.min} to {seed.max}), over\n"
    "                        run.seed; without either the uniform source is seeded\n"
    "                        from the clock and the Gaussian one not at all\n"
    "  --csv FILE            write the run's Md and Omega as CSV (step,Md,Omega),\n"
    "                        and the d-q model's currents after them\n"
    "                        (step,Md,Omega,Is,ia);\n"
    "                        FILE is replaced only once the whole CSV is written.\n"
    "                        With - the CSV goes to standard output and the\n"
    "                        largest Md and Omega to standard error\n"
    "  --metrics FILE        write the step characteristics of Md and Omega (and of\n"
    "                        the d-q model's Is and ia) as CSV,\n"
    "                        a row for each segment: run-up from the start to the\n"
    "                        first step where the load changes, on while the load\n"
    "                        acts (steps step.on to step.off - 1, {step.on}-{load.last} by\n"
    "                        default) and off after it is removed (to the run's\n"
    "                        end); a load of nothing changes nowhere. Each row:\n"
    "                        initial and final value, peak, trough and their steps,\n"
    "                        rise steps (10% to 90%), settling steps (into 2%),\n"
    "                        overshoot and undershoot in %, the time constant t63\n"
    "                        (steps to 63.2% of the change), the value at the\n"
    "                        segment's end, the model's rest for the segment's\n"
    "                        load and whether the end settled within 2% of it. If\n"
    "                        not, or if the change is within 2% of the segment's\n"
    "                        swing, final, rise, settling, overshoot, undershoot\n"
    "                        and t63 are empty\n"
    "  --stats FILE          write the statistics of Md and Omega (and of the d-q\n"
    "                        model's Is and ia) as CSV: count,\n"
    "                        min, max and their steps, mean, rms and standard\n"
    "                        deviation\n"
    "  --from A, --to B      the steps the statistics cover, both included (the\n"
    "                        whole run by default)\n"
    "  --time                add times in seconds: a column t after step in --csv,\n"
    "                        the state at step i being at (i + 1) dt, and the\n"
    "                        characteristics' times in --metrics\n"
    "  --locale ru           write every CSV for a spreadsheet in the Russian\n"
    "                        locale: fields separated by ; and a decimal comma,\n"
    "                        each such number quoted\n"
    "  --session FILE        write the session the window would save after the run,\n"
    "                        or after pinning a sweep's members (at most 24), for\n"
    "                        the window to open\n"
    "  --load L              (characteristic) also give the operating point under\n"
    "                        the load L, or step.load, on standard error:\n"
    "                        \"Operating point: Omega X Md Y\"\n"
    "  --help                print this text\n"
    "  --version             print the program's name and version\n"
    "\n"
    "{settings}\n"
    "FILE - is standard output. At most one option writes to standard output, and\n"
    "no two name the same file. CSV numbers read back exactly; an empty cell is a\n"
    "value left undefined, such as the rise of a signal that ends where it\n"
    "started. A refused or failed run writes no characteristics and no statistics.\n"
    "\n"
    "*Exit status*\n"
    "  0  done\n"
    "  1  the load is not an integer, the run overflowed or an output could not be\n"
    "     written (\"motormodel-cli: write error: REASON\" for standard output,\n"
    "     \"motormodel-cli: cannot write 'FILE': REASON\" for a file)\n"
    "  2  usage error, named on one line, or a setting or experiment file that is\n"
    "     not allowed\n"
    "  3  load refused\n"
    "\n"
    "Examples:\n"
    "The step response to a load of 10, with its points and characteristics\n"
    "  $ motormodel-cli step 10 --csv run.csv --metrics metrics.csv\n"
    "\n"
    "Statistics of a repeatable Gaussian run over its second half\n"
    "  $ motormodel-cli gauss --seed 7 --stats - --from 1000 --to 1999\n"
    "\n"
    "An experiment file with twice the inertia, then a run from it\n"
    "  $ motormodel-cli settings --set model.J=0.0344 > lab1.toml\n"
    "  $ motormodel-cli step 10 --settings lab1.toml --csv -\n"
    "\n"
    "A family of step responses, one block per load\n"
    "  $ motormodel-cli sweep step.load=0:30:10 step --csv loads.csv\n"
    "\n"
    "The static characteristic and the operating point under a load of 10\n"
    "  $ motormodel-cli characteristic --load 10 --csv curve.csv\n"
    "\n"
    "The chart of a session saved by the window, as CSV\n"
    "  $ motormodel-cli session lab1.session.toml --csv chart.csv\n";

// The help with the defaults and the settings' section filled in.
std::string HelpText()
{
    const Settings defaults;
    const Allowed& seeds = SettingSpecOf("run.seed").allowed;
    std::vector<std::pair<std::string, std::string>> fills{
        {"{settings}", cli::SettingsHelp()},
        {"{seed.min}", seeds.min.value},
        {"{seed.max}", seeds.max.value},
        {"{load.last}", std::to_string(defaults.LoadOff() - 1)},
    };
    for (std::string_view name : SettingNames())
        if (const std::optional<SettingValue> value = GetSetting(defaults, name))
            fills.emplace_back("{" + std::string(name) + "}", ShownText(*value));
    std::string help(kHelp);
    for (const auto& [key, text] : fills)
        if (const std::size_t at = help.find(key); at != std::string::npos)
            help.replace(at, key.size(), text);
    return help;
}

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

    // Writes what make gives its writer piece by piece; a file is replaced
    // only once make has ended.
    template <typename Make>
    void Stream(const Make& make) const
    {
        if (IsStandardOutput()) {
            make([](std::string_view piece) { toolkit::WriteAll(STDOUT_FILENO, piece, "write error"); });
            return;
        }
        toolkit::FileReplacement file(path_);
        make([&file](std::string_view piece) { file.Write(piece); });
        file.Commit();
    }

private:
    std::string path_;
};

// A usage error as GNU tools give it: what was wrong, and where to look.
std::string UsageMessage(std::string_view problem)
{
    return "motormodel-cli: " + std::string(problem) + "\nTry 'motormodel-cli --help'.\n";
}

enum class Command { Step, Gauss, Uniform, Settings, Characteristic, Session };

constexpr std::array<std::pair<std::string_view, Command>, 6> kCommands{{
    {"step", Command::Step}, {"gauss", Command::Gauss}, {"uniform", Command::Uniform},
    {"settings", Command::Settings}, {"characteristic", Command::Characteristic}, {"session", Command::Session}}};

struct Options {
    Command command = Command::Step;
    std::optional<std::string> load;
    std::optional<std::uint32_t> seed;
    std::vector<std::string> settingsFiles;
    std::vector<std::pair<std::string, std::string>> sets;
    std::optional<OutputSink> csv;
    std::optional<OutputSink> metrics;
    std::optional<OutputSink> stats;
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
    // The session command's file, and the session once the command line
    // has passed.
    std::optional<std::string> sessionPath;
    std::optional<Session> session;
    // An option writes to standard output, which then holds its format alone.
    bool standardOutputTaken = false;
    // The files written so far, each with the option that names it.
    std::vector<std::pair<std::string_view, std::filesystem::path>> files;
};

// What an option's value must be.
enum class ValueKind { Path, NameValue, Seed, Step, Finite, Locale };

// The options that take a value, the commands they apply to and what their
// value is, for the messages.
struct OptionSpec {
    std::string_view name;
    std::initializer_list<Command> commands;
    ValueKind kind;
    std::string_view value;
    bool inSweep = true; // a sweep's run takes it too
};

constexpr auto kRunCommands = {Command::Step, Command::Gauss, Command::Uniform};
constexpr auto kAll = {Command::Step, Command::Gauss, Command::Uniform, Command::Settings,
                       Command::Characteristic};
// The seeds run.seed allows.
const std::string kSeedValues = cli::AllowedText(SettingSpecOf("run.seed").allowed);
const std::array<OptionSpec, 11> kOptions{{
    {"--settings", kAll, ValueKind::Path, "a file name"},
    {"--set", kAll, ValueKind::NameValue, "NAME=VALUE"},
    {"--seed", {Command::Gauss, Command::Uniform}, ValueKind::Seed, kSeedValues},
    {"--csv", {Command::Step, Command::Gauss, Command::Uniform, Command::Characteristic, Command::Session}, ValueKind::Path,
     "a file name (- for standard output)"},
    {"--metrics", {Command::Step}, ValueKind::Path, "a file name (- for standard output)"},
    {"--stats", kRunCommands, ValueKind::Path, "a file name (- for standard output)", false},
    {"--from", kRunCommands, ValueKind::Step, "a step number", false},
    {"--to", kRunCommands, ValueKind::Step, "a step number", false},
    {"--load", {Command::Characteristic}, ValueKind::Finite, "a finite number"},
    {"--locale", {Command::Step, Command::Gauss, Command::Uniform, Command::Characteristic, Command::Session},
     ValueKind::Locale, "ru"},
    {"--session", kRunCommands, ValueKind::Path, "a file name (- for standard output)"},
}};

// The whole text as a number, or nothing; a double must be finite.
template <typename Number>
std::optional<Number> ReadNumber(std::string_view text)
{
    Number number{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    if constexpr (std::is_floating_point_v<Number>) {
        if (!std::isfinite(number))
            return std::nullopt;
    }
    return number;
}

// NAME=VALUE split at its first "=", or nothing without a NAME.
std::optional<std::pair<std::string, std::string>> SplitNameValue(std::string_view text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return std::nullopt;
    return std::pair{std::string(text.substr(0, equals)), std::string(text.substr(equals + 1))};
}

bool Allowed(ValueKind kind, std::string_view text)
{
    switch (kind) {
    case ValueKind::NameValue:
        return SplitNameValue(text).has_value();
    case ValueKind::Seed:
        return ReadNumber<std::uint32_t>(text).has_value();
    case ValueKind::Step:
        return ReadNumber<analysis::Step>(text).has_value();
    case ValueKind::Finite:
        return ReadNumber<double>(text).has_value();
    case ValueKind::Locale:
        return text == "ru";
    case ValueKind::Path:
        break;
    }
    return true;
}

// CLI11 puts the option's name in front of this text: "--seed: needs ...".
CLI::Validator ValueCheck(const OptionSpec& option)
{
    return CLI::Validator(
        [&option](std::string& text) {
            return Allowed(option.kind, text) ? std::string()
                                              : "needs " + std::string(option.value) + ", not '" + text + "'";
        },
        std::string(option.value));
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
    if (options.time && !options.csv && !options.metrics && !options.sweepName)
        throw UsageError("--time needs --csv or --metrics");
    const analysis::StepRange range = StatisticsRange(options, settings);
    const analysis::Step last = settings.run.steps - 1;
    if (range.first < 0 || range.last > last || range.first > range.last)
        throw UsageError("steps " + std::to_string(range.first) + " to " + std::to_string(range.last) +
                         " are not a range within the run's 0 to " + std::to_string(last));
    // The two models' runs have tables of different columns.
    if (options.sweepName == "model.kind")
        throw UsageError("a sweep cannot change model.kind: the two models' tables differ; sweep each model alone");
    const bool sweepsLoad = options.sweepName == "step.load";
    if (sweepsLoad && options.load)
        throw UsageError("a sweep of step.load takes its loads from VALUES: leave out LOAD");
    if (options.sessionOut && options.sweepValues.size() > kMostPins / kQuantities.size())
        throw UsageError("--session holds a sweep of at most " + std::to_string(kMostPins / kQuantities.size()) +
                         " values, two pins each, as the window does");
    if (options.command == Command::Step && !options.load && !settings.step.load && !sweepsLoad)
        throw UsageError("step needs a LOAD, or step.load in the settings");
}

// A file as the system finds it, whichever way its path is written.
std::filesystem::path FileIdentity(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error).lexically_normal();
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(absolute, error);
    return error ? absolute : resolved;
}

// Two outputs interleaved on standard output would make neither readable,
// and of two written to one file only the last would be left, so each needs
// a place of its own. A device such as /dev/null takes any number.
OutputSink Output(std::string_view option, const std::string& path, Options& options)
{
    OutputSink sink{path};
    if (sink.IsStandardOutput()) {
        if (options.standardOutputTaken)
            throw UsageError("at most one option may write to standard output");
        options.standardOutputTaken = true;
        return sink;
    }
    std::error_code error;
    if (std::filesystem::is_character_file(path, error))
        return sink;
    const std::filesystem::path file = FileIdentity(path);
    for (const auto& [other, earlier] : options.files)
        if (earlier == file)
            throw UsageError("options '" + std::string(other) + "' and '" + std::string(option) +
                             "' name the same file '" + path + "'");
    options.files.emplace_back(option, file);
    return sink;
}

// One value of an option, in the order given; ValueCheck has passed it.
void TakeOption(const OptionSpec& option, const std::string& value, Options& options)
{
    const std::string_view name = option.name;
    if (name == "--settings")
        options.settingsFiles.push_back(value);
    else if (name == "--set")
        options.sets.push_back(*SplitNameValue(value));
    else if (name == "--seed")
        options.seed = ReadNumber<std::uint32_t>(value);
    else if (name == "--csv")
        options.csv = Output(name, value, options);
    else if (name == "--metrics")
        options.metrics = Output(name, value, options);
    else if (name == "--stats")
        options.stats = Output(name, value, options);
    else if (name == "--session")
        options.sessionOut = Output(name, value, options);
    else if (name == "--load")
        options.heldLoad = ReadNumber<double>(value);
    else if (name == "--locale")
        options.style = kRussianCsv;
    else if (name == "--from")
        options.from = ReadNumber<analysis::Step>(value);
    else
        options.to = ReadNumber<analysis::Step>(value);
}

// A command and the options that apply to it. Each option takes its value
// as it is parsed, so repeated options and outputs count in the order given.
void AddCommand(CLI::App& parent, std::string_view name, Command command, Options& options, bool inSweep)
{
    CLI::App& app = *parent.add_subcommand(std::string(name));
    app.parse_complete_callback([&options, command] { options.command = command; });
    if (command == Command::Step)
        app.add_option_function<std::string>("LOAD", [&options](const std::string& load) { options.load = load; });
    if (command == Command::Session)
        app.add_option_function<std::string>("SESSION", [&options](const std::string& path) {
               options.sessionPath = path;
           })->required();
    for (const OptionSpec& option : kOptions) {
        if (std::find(option.commands.begin(), option.commands.end(), command) == option.commands.end() ||
            (inSweep && !option.inSweep))
            continue;
        app.add_option_function<std::string>(
               std::string(option.name),
               [&options, &option](const std::string& value) { TakeOption(option, value, options); })
            ->check(ValueCheck(option))
            ->trigger_on_parse();
    }
    if (std::find(kRunCommands.begin(), kRunCommands.end(), command) != kRunCommands.end())
        app.add_flag_callback("--time", [&options] { options.time = true; });
}

// The commands the tool knows, as the line names them, "sweep step".
std::string CommandOf(const CLI::App& app)
{
    std::string command;
    for (const CLI::App* at = &app; !at->get_subcommands().empty();) {
        at = at->get_subcommands().front();
        command += (command.empty() ? "" : " ") + at->get_name();
    }
    return command;
}

bool KnownOption(const CLI::App& app, const std::string& name)
{
    const auto commands = app.get_subcommands([](const CLI::App*) { return true; });
    return std::any_of(commands.begin(), commands.end(),
                       [&name](const CLI::App* command) { return command->get_option_no_throw(name) != nullptr; });
}

// What CLI11 found wrong, in this tool's words. An option's own errors start
// with its name, as "--seed: ..."; the others follow from the commands
// parsed and the arguments left over.
std::string Problem(const CLI::App& app, const CLI::Error& error)
{
    const std::string text = error.what();
    const std::string name = text.substr(0, text.find(": "));
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error))
        return "option '" + name + "' needs a value";
    if (dynamic_cast<const CLI::ValidationError*>(&error))
        return "option '" + name + "' " + text.substr(name.size() + 2);
    const std::string command = CommandOf(app);
    const std::vector<std::string> extras = app.remaining(true);
    if (extras.empty()) {
        if (command.empty())
            return "no command given";
        if (dynamic_cast<const CLI::RequiredError*>(&error))
            return command == "session" ? "session needs the SESSION file to read"
                                        : "sweep needs NAME=VALUES and a run: step, gauss or uniform";
        return text;
    }
    const std::string& extra = extras.front();
    // Only options start with "--", so a load of -5 is a load.
    if (!extra.starts_with("--")) {
        if (command.empty())
            return "unknown command '" + extra + "'";
        if (command == "sweep")
            return "unknown run '" + extra + "'";
        return "unexpected argument '" + extra + "'";
    }
    if (!KnownOption(app, extra.substr(0, extra.find('='))))
        return "unknown option '" + extra + "'";
    if (command.empty())
        return "no command given";
    return "option '" + extra + "' does not apply to '" + command + "'";
}

// The command line as CLI11 parses it into options: the commands, their
// options, --help and --version.
void DescribeCommandLine(CLI::App& app, Options& options)
{
    // Before the commands are added: they take these over.
    app.set_help_flag("--help", "print this text");
    app.formatter_fn([](const CLI::App*, const std::string&, CLI::AppFormatMode) { return HelpText(); });
    app.failure_message([](const CLI::App* parsed, const CLI::Error& error) {
        return UsageMessage(Problem(*parsed, error));
    });
    app.set_version_flag("--version", "motormodel-cli " MOTORMODEL_VERSION);
    app.require_subcommand(1);
    for (const auto& [name, command] : kCommands)
        AddCommand(app, name, command, options, false);

    // A sweep names its setting and values, then its run as it is written
    // alone, with the run's options and arguments.
    CLI::App& sweep = *app.add_subcommand("sweep");
    sweep.require_subcommand(1);
    sweep.add_option_function<std::string>("FAMILY", [&options](const std::string& family) {
        const auto nameValues = SplitNameValue(family);
        if (!nameValues)
            throw UsageError("sweep needs NAME=VALUES, not '" + family + "'");
        GetSetting(Settings{}, nameValues->first);
        options.sweepName = nameValues->first;
        options.sweepValues = ParseFamilyValues(nameValues->second);
    })->required();
    for (const auto& [name, command] : kCommands)
        if (std::find(kRunCommands.begin(), kRunCommands.end(), command) != kRunCommands.end())
            AddCommand(sweep, name, command, options, true);
}

// The step size that times in seconds take, with --time.
std::optional<double> TimeStep(const RunResult& run, const Options& options)
{
    return options.time ? std::optional(run.settings.model.dt) : std::nullopt;
}

// The defaults, then every file, then every --set and --seed, each in the
// order given; checked whole.
Settings SettingsInForce(const Options& options)
{
    Settings settings;
    WrittenValues written;
    for (const std::string& path : options.settingsFiles)
        settings = ExperimentFile::Load(path, settings, &written);
    std::vector<std::string> set;
    for (const auto& [name, value] : options.sets) {
        SetSettingText(settings, name, value);
        written.Forget(name);
        set.push_back(name);
    }
    // Judged once every --set has passed, so that model.kind may come last.
    if (auto problem = OtherKindProblem(settings, set))
        throw SettingsError(*problem);
    if (options.seed) {
        settings.run.seed = *options.seed;
        written.Forget("run.seed");
    }
    try {
        CheckSettings(settings);
    } catch (const SettingsError& error) {
        throw written.Placed(error);
    }
    return settings;
}

// A run's traces as the chart shows them, headed by their quantities: "Md"
// and "Omega", and the d-q machine's currents "Is" and "ia" after them.
ShownTraces RunTraces(const RunResult& run)
{
    ShownTraces traces;
    for (Quantity quantity : run.Quantities())
        traces.Add(run.Of(quantity), std::string(QuantityName(quantity)));
    return traces;
}

// The run's points as the chart exports them, headed "step,Md,Omega", or
// "step,t,Md,Omega" with --time, and ",Is,ia" after them for the d-q model.
void WriteRunCsv(const RunResult& run, const Options& options, const CsvWrite& write)
{
    const ShownTraces traces = RunTraces(run);
    WriteCsvTable(traces, traces.ShownIndices(), options.style, TimeStep(run, options), write);
}

// The run's characteristics with the tool's options.
std::string MetricsText(const RunResult& run, const Options& options)
{
    return analysis::CharacteristicsCsv(analysis::CharacterizeStepResponse(run), options.style,
                                        TimeStep(run, options));
}

void ReportMaxima(const RunResult& run, const Options& options)
{
    using toolkit::FloatToStr;
    const std::string text = "Max M " + FloatToStr(run.mdMax) + "\nMax Omega " + FloatToStr(run.omegaMax) + '\n';
    if (options.standardOutputTaken)
        std::cerr << text;
    else
        OutputSink::StandardOutput().Write(text);
}

void WriteMeasurements(const Options& options, const RunResult& run)
{
    if (options.metrics)
        options.metrics->Write(MetricsText(run, options));
    if (options.stats) {
        const analysis::StepRange range = StatisticsRange(options, run.settings);
        auto row = [&](Quantity quantity) {
            return analysis::StatisticsRow{std::string(QuantityName(quantity)), range,
                                           analysis::ComputeStatistics(run.Of(quantity).Points(), range)};
        };
        std::vector<analysis::StatisticsRow> rows;
        for (const Quantity quantity : run.Quantities())
            rows.push_back(row(quantity));
        options.stats->Write(analysis::StatisticsCsv(rows, options.style));
    }
}

// The session the window would save after making the runs or pinning the
// family's members, in a window that had none before.
void WriteSessionOf(const Options& options, const Settings& settings, const RandomSources& next,
                    std::vector<SessionRun> runs, std::vector<SessionPin> pins)
{
    Session session{.settings = settings,
                    .loadText = options.load.value_or(settings.step.load ? std::to_string(*settings.step.load) : ""),
                    .sources = next,
                    .runs = std::move(runs),
                    .pins = std::move(pins),
                    .units = {.secondsPerStep = settings.model.dt}};
    options.sessionOut->Write(SessionText(session, MOTORMODEL_VERSION));
}

// The step response's load: a typed load wins over the settings' one.
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
    // Not experiments: Run and main see to them before any run.
    case Command::Settings:
    case Command::Characteristic:
    case Command::Session:
        break;
    }
    return RunKind::Step;
}

// A number's text in front of a table's row, its decimal point the style's
// mark, quoted where that makes it hold a separator, as a decimal comma is.
std::string RowLead(std::string value, CsvStyle style)
{
    std::replace(value.begin(), value.end(), '.', style.decimalMark);
    std::string lead;
    AppendCsvText(lead, value, style);
    return lead + style.separator;
}

// A table's rows after its heading row, each led by lead.
std::string RowsWithLead(const std::string& table, const std::string& lead)
{
    std::string rows;
    for (std::size_t start = table.find('\n') + 1; start < table.size();) {
        const std::size_t end = table.find('\n', start) + 1;
        rows.append(lead).append(table, start, end - start);
        start = end;
    }
    return rows;
}

// Says before a run whose step is past the stable one that it will not
// settle; the run goes ahead. A family member's warning starts with its
// setting and value.
void WarnOfUnstableStep(const Settings& settings, const std::string& member = {})
{
    if (const auto warning = UnstableStep(settings))
        std::cerr << "motormodel-cli: warning: " << member << cli::ErrorText(*warning) << '\n';
}

// The heading row of a table with the name in front.
std::string HeadingWithName(const std::string& table, const std::string& name, CsvStyle style)
{
    return name + style.separator + table.substr(0, table.find('\n') + 1);
}

// The tables' headings as the options make them, for any run: a heading
// row depends on whether times are given, not on their step.
std::string PointsHeading(const Options& options, const Settings& settings)
{
    const RunResult none{.kind = RunKind::Step, .settings = settings, .traces = {Trace({}, {}), Trace({}, {})}, .sources = {}};
    const ShownTraces traces = RunTraces(none);
    return CsvHeading(traces, traces.ShownIndices(), options.style, options.time);
}

std::string MetricsHeading(const Options& options)
{
    const std::optional<double> anyStep = options.time ? std::optional(1.0) : std::nullopt;
    return analysis::CharacteristicsCsv({}, options.style, anyStep);
}

// The sweep's members a few at a time, on every core, each given to take in
// the values' order as it is made and dropped after, so a sweep of many long
// runs holds only as many as there are cores.
template <typename Take>
RandomSources RunSweepMembers(const Options& options, const Settings& settings, const Take& take)
{
    const std::vector<std::string>& values = options.sweepValues;
    const std::size_t atOnce = Cores();
    // Each member forks the sources in the values' order, so members made a
    // few at a time are the bits of one family of them all.
    RandomSources sources = SourcesOf(settings);
    for (std::size_t first = 0; first < values.size(); first += atOnce) {
        const auto begin = values.begin() + static_cast<std::ptrdiff_t>(first);
        FamilyResult family = RunFamily({.base = settings,
                                         .setting = *options.sweepName,
                                         .values = {begin, begin + static_cast<std::ptrdiff_t>(
                                                                       std::min(atOnce, values.size() - first))},
                                         .kind = KindOfRun(options.command),
                                         .loadText = LoadText(options, settings),
                                         .sources = std::move(sources)});
        sources = std::move(family.sources);
        for (const FamilyMember& member : family.members)
            take(member);
    }
    return sources;
}

// One run per value, on every core. A value the settings refuse, or whose
// run fails, is reported and the others go on; refused loads are listed
// once at the end, as one alert would list them. The points are written as
// the members are made; a file is replaced once the sweep has ended.
int RunSweep(const Options& options, const Settings& settings)
{
    const std::string& name = *options.sweepName;
    const CsvStyle style = options.style;
    std::string metrics = HeadingWithName(MetricsHeading(options), name, style);
    std::vector<std::string> refused;
    std::vector<SessionPin> pins;
    RandomSources next;
    int status = 0;
    for (const std::string& value : options.sweepValues) {
        try {
            WarnOfUnstableStep(FamilyMemberSettings(settings, name, value), name + '=' + value + ": ");
        } catch (const SettingsError&) {
            // Reported with the family's outcome below.
        }
    }
    auto sweep = [&](const CsvWrite* points) {
        if (points)
            (*points)(HeadingWithName(PointsHeading(options, settings), name, style));
        next = RunSweepMembers(options, settings, [&](const FamilyMember& member) {
            const std::string& value = member.place.value;
            switch (member.outcome) {
            case MemberOutcome::NotAllowed:
                std::cerr << "motormodel-cli: " << cli::ErrorText(*member.error) << '\n';
                status = std::max(status, kExitUsage);
                return;
            case MemberOutcome::Failed:
                std::cerr << "motormodel-cli: " << name << '=' << value << ": " << cli::ErrorText(*member.error)
                          << '\n';
                status = std::max(status, kExitFailed);
                return;
            case MemberOutcome::Refused:
                refused.push_back(FamilyMemberLabel(name, value));
                status = std::max(status, kExitRefused);
                return;
            case MemberOutcome::Ran:
                break;
            }
            if (options.sessionOut)
                AddMemberPin(pins, member);
            const std::string lead = RowLead(value, style);
            if (points) {
                const ShownTraces traces = RunTraces(*member.run);
                WriteCsvRows(traces, traces.ShownIndices(), style, TimeStep(*member.run, options), lead, *points);
            }
            if (options.metrics)
                metrics += RowsWithLead(MetricsText(*member.run, options), lead);
        });
    };
    if (options.csv || !options.metrics)
        options.csv.value_or(OutputSink::StandardOutput()).Stream([&](const CsvWrite& write) { sweep(&write); });
    else
        sweep(nullptr);
    if (!refused.empty()) {
        std::string list;
        for (const std::string& label : refused)
            list += (list.empty() ? "" : ", ") + label;
        std::cerr << cli::RefusedLoadText(settings.run.limit) << ": " << list << '\n';
    }
    if (options.metrics)
        options.metrics->Write(metrics);
    if (options.sessionOut)
        WriteSessionOf(options, settings, next, {}, std::move(pins));
    return status;
}

// The static curve over its range, and where the step response's load,
// --load or step.load, crosses it.
int RunCharacteristic(const Options& options, const Settings& settings)
{
    std::optional<double> load = options.heldLoad;
    if (!load && settings.step.load)
        load = static_cast<double>(*settings.step.load);
    const OutputSink csv = options.csv.value_or(OutputSink::StandardOutput());
    if (settings.Kind() == ModelKind::Dq) {
        const cli::CharacteristicText text = cli::DqCharacteristicText(settings, load, options.style);
        csv.Write(text.csv);
        std::cerr << text.points;
        return 0;
    }
    const analysis::StaticCharacteristic motor(settings.model);
    const analysis::SpeedRange range = motor.Range();
    csv.Write(analysis::StaticCurveCsv(motor.Curve(range, 1000), options.style));
    if (load) {
        using toolkit::FloatToStr;
        if (const auto point = analysis::OperatingPoint(motor, analysis::LoadCharacteristic::Of(settings.step, *load)))
            std::cerr << "Operating point: Omega " << FloatToStr(point->Omega) << " Md " << FloatToStr(point->Md)
                      << '\n';
        else
            std::cerr << "Operating point: none between Omega " << FloatToStr(range.from) << " and "
                      << FloatToStr(range.from + range.span) << '\n';
    }
    return 0;
}

int Run(const Options& options, const Settings& settings)
{
    if (options.command == Command::Session) {
        const SessionResults results = RunSession(*options.session);
        options.csv.value_or(OutputSink::StandardOutput()).Stream([&](const CsvWrite& write) {
            WriteSessionCsv(*options.session, results, options.style, write);
        });
        return 0;
    }
    if (options.command == Command::Settings) {
        OutputSink::StandardOutput().Write(ExperimentFile::Text(settings));
        return 0;
    }
    if (options.command == Command::Characteristic)
        return RunCharacteristic(options, settings);
    WarnOfUnstableStep(settings);
    const RunResult run = RunExperiment(
        {KindOfRun(options.command), settings, LoadText(options, settings), SourcesOf(settings)});
    if (run.outcome == RunOutcome::Failed)
        std::rethrow_exception(run.error);
    const bool refused = run.outcome == RunOutcome::Refused;
    if (options.command == Command::Step) {
        if (refused)
            std::cerr << cli::RefusedLoadText(settings.run.limit) << '\n';
        ReportMaxima(run, options);
    }
    if (options.csv)
        options.csv->Stream([&](const CsvWrite& write) { WriteRunCsv(run, options, write); });
    if (options.sessionOut)
        WriteSessionOf(options, run.settings, run.sources, {{run.Recipe(), {true, true}}}, {});
    // A refused run has no points to measure, and empty tables would pass
    // for measurements.
    if (refused)
        return kExitRefused;
    WriteMeasurements(options, run);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    // Past a file-size limit, a write then fails with EFBIG and is reported
    // like any other failed write, instead of the signal killing the tool.
    std::signal(SIGXFSZ, SIG_IGN);

    Options options;
    Settings settings;
    CLI::App app;
    std::ostringstream requested; // the text of --help or --version
    try {
        DescribeCommandLine(app, options);
        app.parse(argc, argv);
        settings = SettingsInForce(options);
        CheckAgainstSettings(options, settings);
        if (options.sessionPath)
            options.session = LoadSession(*options.sessionPath);
    } catch (const CLI::ParseError& error) {
        // --help and --version end the parsing too, with status 0.
        if (app.exit(error, requested, std::cerr) != 0)
            return kExitUsage;
    } catch (const UsageError& error) {
        std::cerr << UsageMessage(error.what());
        return kExitUsage;
    } catch (const SettingsError& error) {
        std::cerr << "motormodel-cli: " << cli::ErrorText(error.Cause()) << '\n';
        return kExitUsage;
    }
    try {
        if (!requested.view().empty()) {
            OutputSink::StandardOutput().Write(requested.view());
            return 0;
        }
        return options.sweepName ? RunSweep(options, settings) : Run(options, settings);
    } catch (const toolkit::Exception& error) {
        std::cerr << "motormodel-cli: " << error.what() << '\n';
        return kExitFailed;
    } catch (const std::exception& error) {
        std::cerr << "motormodel-cli: " << error.what() << '\n';
        return kExitFailed;
    }
}
