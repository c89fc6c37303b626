#include "cli/Options.h"

#include "cli/Parameters.h"
#include "cli/Texts.h"
#include "experiments/Family.h"
#include "lab/Fit.h"
#include "experiments/Runs.h"
#include "experiments/SettingsTable.h"
#include "plot/Trace.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <system_error>
#include <type_traits>

namespace cli {

namespace {

// What an option's value must be.
enum class ValueKind { Path, NameValue, NameValues, Seed, Step, Finite, Locale, Mapping, Names };

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
                       Command::Characteristic, Command::Fit, Command::Parameters};
constexpr auto kMeasured = {Command::Step, Command::Gauss, Command::Uniform, Command::Fit};
constexpr auto kRunsAndCharacteristic = {Command::Step, Command::Gauss, Command::Uniform, Command::Characteristic};
// The seeds run.seed allows.
const std::string kSeedValues = cli::AllowedText(SettingSpecOf("run.seed").allowed);
const std::array<OptionSpec, 20> kOptions{{
    {"--settings", kAll, ValueKind::Path, "a file name"},
    {"--set", kAll, ValueKind::NameValue, "NAME=VALUE"},
    {"--seed", {Command::Gauss, Command::Uniform, Command::Fit}, ValueKind::Seed, kSeedValues},
    {"--csv", {Command::Step, Command::Gauss, Command::Uniform, Command::Characteristic, Command::Session,
               Command::Parameters}, ValueKind::Path, "a file name (- for standard output)"},
    {"--metrics", {Command::Step}, ValueKind::Path, "a file name (- for standard output)"},
    {"--stats", kRunCommands, ValueKind::Path, "a file name (- for standard output)", false},
    {"--json", kRunsAndCharacteristic, ValueKind::Path, "a file name (- for standard output)", false},
    {"--from", kRunCommands, ValueKind::Step, "a step number", false},
    {"--to", kRunCommands, ValueKind::Step, "a step number", false},
    {"--load", {Command::Characteristic}, ValueKind::Finite, "a finite number"},
    {"--locale", {Command::Step, Command::Gauss, Command::Uniform, Command::Characteristic, Command::Session, Command::Fit,
                  Command::Parameters}, ValueKind::Locale, "ru"},
    {"--session", kRunCommands, ValueKind::Path, "a file name (- for standard output)"},
    {"--measured", kRunCommands, ValueKind::Path, "a CSV file of measured data", false},
    {"--map", kMeasured, ValueKind::Mapping, "COLUMN=t, COLUMN=Md, COLUMN=Omega, COLUMN=Is or COLUMN=ia", false},
    {"--compare", kRunCommands, ValueKind::Path, "a file name (- for standard output)", false},
    {"--fit", {Command::Fit}, ValueKind::Names, "settings' names separated by commas"},
    {"--rated", {Command::Parameters}, ValueKind::NameValues, "NAME=VALUE[,NAME=VALUE...]"},
    {"-o,--output", {Command::Fit, Command::Parameters}, ValueKind::Path, "a file name (- for standard output)"},
    // fit's report is a CSV of the values; the others' the window's report.
    {"--report", {Command::Fit}, ValueKind::Path, "a file name (- for standard output)"},
    {"--report", {Command::Step, Command::Gauss, Command::Uniform, Command::Session}, ValueKind::Path,
     "a file name ending in .pdf or .odt", false},
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

bool ValueAllowed(ValueKind kind, std::string_view text)
{
    switch (kind) {
    case ValueKind::NameValue:
        return SplitNameValue(text).has_value();
    case ValueKind::NameValues:
        return SplitNameValues(text).has_value();
    case ValueKind::Seed:
        return ReadNumber<std::uint32_t>(text).has_value();
    case ValueKind::Step:
        return ReadNumber<analysis::Step>(text).has_value();
    case ValueKind::Finite:
        return ReadNumber<double>(text).has_value();
    case ValueKind::Locale:
        return text == "ru";
    case ValueKind::Mapping:
        return lab::ParseMapping(text).has_value();
    case ValueKind::Names:
        return !text.empty() && !text.starts_with(',') && !text.ends_with(',') && text.find(",,") == text.npos;
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
            return ValueAllowed(option.kind, text) ? std::string()
                                              : "needs " + std::string(option.value) + ", not '" + text + "'";
        },
        std::string(option.value));
}

// A file as the system finds it, whichever way its path is written.
std::filesystem::path FileIdentity(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error).lexically_normal();
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(absolute, error);
    return error ? absolute : resolved;
}

// Takes the file for the option, unless an earlier option took it.
void ClaimFile(std::string_view option, const std::string& path, Options& options)
{
    const std::filesystem::path file = FileIdentity(path);
    for (const auto& [other, earlier] : options.files)
        if (earlier == file)
            throw UsageError("options '" + std::string(other) + "' and '" + std::string(option) +
                             "' name the same file '" + path + "'");
    options.files.emplace_back(option, file);
}

// Two outputs interleaved on standard output would make neither readable,
// and of two written to one file only the last would be left, so each needs
// a place of its own. A device such as /dev/null takes any number.
OutputSink Output(std::string_view option, const std::string& path, Options& options, std::ostream& out)
{
    OutputSink sink{path, out};
    if (sink.IsStandardOutput()) {
        if (options.standardOutputTaken)
            throw UsageError("at most one option may write to standard output");
        options.standardOutputTaken = true;
        return sink;
    }
    std::error_code error;
    if (!std::filesystem::is_character_file(path, error))
        ClaimFile(option, path, options);
    return sink;
}

// The report's file: a PDF or an ODT by its suffix, a file of its own, and
// written only where the tool was built with the window's painting.
std::filesystem::path ReportPath(const std::string& path, Options& options)
{
    if (!options.reportWriter)
        throw UsageError("this motormodel-cli was built without the window's libraries and writes no report");
    std::string suffix = std::filesystem::path(path).extension().string();
    std::ranges::transform(suffix, suffix.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (suffix != ".pdf" && suffix != ".odt")
        throw UsageError("option '--report' takes a file name ending in .pdf or .odt, not '" + path + "'");
    ClaimFile("--report", path, options);
    return path;
}

// One value of an option, in the order given; ValueCheck has passed it.
void TakeOption(const OptionSpec& option, Command command, const std::string& value, Options& options,
                std::ostream& out)
{
    const std::string_view name = option.name;
    if (name == "--settings")
        options.settingsFiles.push_back(value);
    else if (name == "--set")
        options.sets.push_back(*SplitNameValue(value));
    else if (name == "--seed")
        options.seed = ReadNumber<std::uint32_t>(value);
    else if (name == "--csv")
        options.csv = Output(name, value, options, out);
    else if (name == "--metrics")
        options.metrics = Output(name, value, options, out);
    else if (name == "--stats")
        options.stats = Output(name, value, options, out);
    else if (name == "--json")
        options.json = Output(name, value, options, out);
    else if (name == "--session")
        options.sessionOut = Output(name, value, options, out);
    else if (name == "--rated") {
        auto figures = *SplitNameValues(value);
        options.rated.insert(options.rated.end(), figures.begin(), figures.end());
    }
    else if (name == "--load")
        options.heldLoad = ReadNumber<double>(value);
    else if (name == "--locale")
        options.style = kRussianCsv;
    else if (name == "--from")
        options.from = ReadNumber<analysis::Step>(value);
    else if (name == "--measured")
        options.measuredPath = value;
    else if (name == "--map")
        options.mappings.push_back(*lab::ParseMapping(value));
    else if (name == "--compare")
        options.compare = Output(name, value, options, out);
    else if (name == "--fit")
        for (std::size_t from = 0; from <= value.size();) {
            const std::size_t comma = std::min(value.find(',', from), value.size());
            options.fit.push_back(value.substr(from, comma - from));
            from = comma + 1;
        }
    else if (name == "-o,--output")
        options.fitted = Output("--output", value, options, out);
    else if (name == "--report" && command == Command::Fit)
        options.fitReport = Output(name, value, options, out);
    else if (name == "--report")
        options.report = ReportPath(value, options);
    else
        options.to = ReadNumber<analysis::Step>(value);
}

// fit MEASURED RUN [LOAD]: the data, and the run fitted to it.
void AddFitArguments(CLI::App& app, Options& options)
{
    app.add_option_function<std::string>("MEASURED", [&options](const std::string& path) {
           options.measuredPath = path;
       })->required();
    app.add_option_function<std::string>("RUN", [&options](const std::string& run) {
           const auto known =
               std::find_if(kCommands.begin(), kCommands.end(), [&](const auto& c) { return c.first == run; });
           if (known == kCommands.end() ||
               std::find(kRunCommands.begin(), kRunCommands.end(), known->second) == kRunCommands.end())
               throw UsageError("fit needs a RUN of step, gauss or uniform, not '" + run + "'");
           options.fitRun = known->second;
       })->required();
    app.add_option_function<std::string>("LOAD", [&options](const std::string& load) { options.load = load; });
}

// A command and the options that apply to it. Each option takes its value
// as it is parsed, so repeated options and outputs count in the order given.
void AddCommand(CLI::App& parent, std::string_view name, Command command, Options& options, std::ostream& out,
                bool inSweep)
{
    CLI::App& app = *parent.add_subcommand(std::string(name));
    app.parse_complete_callback([&options, command] { options.command = command; });
    if (command == Command::Step)
        app.add_option_function<std::string>("LOAD", [&options](const std::string& load) { options.load = load; });
    if (command == Command::Session)
        app.add_option_function<std::string>("SESSION", [&options](const std::string& path) {
               options.sessionPath = path;
           })->required();
    if (command == Command::Fit)
        AddFitArguments(app, options);
    for (const OptionSpec& option : kOptions) {
        if (std::find(option.commands.begin(), option.commands.end(), command) == option.commands.end() ||
            (inSweep && !option.inSweep))
            continue;
        app.add_option_function<std::string>(
               std::string(option.name),
               [&options, &option, command, &out](const std::string& value) {
                   TakeOption(option, command, value, options, out);
               })
            ->check(ValueCheck(option))
            ->trigger_on_parse();
    }
    if (std::find(kRunCommands.begin(), kRunCommands.end(), command) != kRunCommands.end())
        app.add_flag_callback("--time", [&options] { options.time = true; });
}

} // namespace

std::string_view CommandName(Command command)
{
    return std::find_if(kCommands.begin(), kCommands.end(), [command](const auto& entry) {
               return entry.second == command;
           })->first;
}

void AddCommands(CLI::App& app, Options& options, std::ostream& out)
{
    for (const auto& [name, command] : kCommands)
        AddCommand(app, name, command, options, out, false);

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
            AddCommand(sweep, name, command, options, out, true);
}

std::optional<std::pair<std::string, std::string>> SplitNameValue(std::string_view text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos || equals == 0)
        return std::nullopt;
    return std::pair{std::string(text.substr(0, equals)), std::string(text.substr(equals + 1))};
}

std::optional<std::vector<std::pair<std::string, std::string>>> SplitNameValues(std::string_view text)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        auto nameValue = SplitNameValue(text.substr(start, comma - start));
        if (!nameValue)
            return std::nullopt;
        pairs.push_back(std::move(*nameValue));
        start = comma + 1;
    }
    return pairs;
}

analysis::StepRange StatisticsRange(const Options& options, const Settings& settings)
{
    return {options.from.value_or(0), options.to.value_or(settings.run.steps - 1)};
}

namespace {

// What measured data asks of the other options.
void CheckMeasuredOptions(const Options& options, const Settings& settings)
{
    if (options.command == Command::Fit) {
        if (options.fit.empty())
            throw UsageError("fit needs --fit NAME[,NAME]..., of " + FittableText(settings.Kind()));
        if (options.fitRun == Command::Step && !options.load && !settings.step.load)
            throw UsageError("fit step needs a LOAD, or step.load in the settings");
        if (options.load && options.fitRun != Command::Step)
            throw UsageError("fit takes a LOAD for step only");
        return;
    }
    if (!options.mappings.empty() && !options.measuredPath)
        throw UsageError("--map needs --measured");
    if (options.measuredPath && !options.compare && !options.stats && !options.json && !options.sessionOut &&
        !options.report)
        throw UsageError("--measured needs --compare, --stats, --json, --session or --report");
    if (options.compare && !options.measuredPath)
        throw UsageError("--compare needs --measured");
}

} // namespace

void CheckAgainstSettings(const Options& options, const Settings& settings)
{
    if ((options.from || options.to) && !options.stats && !options.json)
        throw UsageError("--from and --to need --stats or --json");
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
    if (options.command == Command::Parameters) {
        if (options.csv && options.csv->IsStandardOutput() && !options.fitted)
            throw UsageError("--csv - needs --output FILE: the experiment file goes to standard output");
        NameplateFrom(options.rated);
    }
    if (options.command == Command::Step && !options.load && !settings.step.load && !sweepsLoad)
        throw UsageError("step needs a LOAD, or step.load in the settings");
    CheckMeasuredOptions(options, settings);
}

} // namespace cli
