#include "cli/CommandLine.h"

#include "cli/Commands.h"
#include "cli/Help.h"
#include "cli/Options.h"
#include "cli/Texts.h"
#include "experiments/ExperimentFile.h"
#include "experiments/Problem.h"
#include "experiments/Settings.h"
#include "lab/Measured.h"
#include "session/Session.h"
#include "toolkit/Exception.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <exception>
#include <sstream>
#include <string_view>
#include <vector>

namespace cli {

namespace {

// A usage error as GNU tools give it: what was wrong, and where to look.
std::string UsageMessage(std::string_view problem)
{
    return "motormodel-cli: " + std::string(problem) + "\nTry 'motormodel-cli --help'.\n";
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
void DescribeCommandLine(CLI::App& app, Options& options, std::ostream& out)
{
    // Before the commands are added: they take these over.
    app.set_help_flag("--help", "print this text");
    app.formatter_fn([](const CLI::App*, const std::string&, CLI::AppFormatMode) { return HelpText(); });
    app.failure_message([](const CLI::App* parsed, const CLI::Error& error) {
        return UsageMessage(Problem(*parsed, error));
    });
    app.set_version_flag("--version", "motormodel-cli " MOTORMODEL_VERSION);
    app.require_subcommand(1);
    AddCommands(app, options, out);
}

// The defaults, then every file, then every --set and --seed, each in the
// order given; checked whole.
Settings SettingsFromLine(const Options& options)
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

} // namespace

int RunCommandLine(std::span<const std::string> arguments, std::ostream& out, std::ostream& err,
                   const ReportWriter& report)
{
    Options options;
    options.reportWriter = report;
    Settings settings;
    CLI::App app;
    std::ostringstream requested; // the text of --help or --version
    try {
        DescribeCommandLine(app, options, out);
        // CLI11 takes the arguments last first.
        app.parse(std::vector<std::string>(arguments.rbegin(), arguments.rend()));
        settings = SettingsFromLine(options);
        CheckAgainstSettings(options, settings);
        if (options.sessionPath)
            options.session = LoadSession(*options.sessionPath);
        if (options.measuredPath)
            options.measured = lab::ReadMeasured(*options.measuredPath, options.mappings);
    } catch (const CLI::ParseError& error) {
        // --help and --version end the parsing too, with status 0.
        if (app.exit(error, requested, err) != 0)
            return kExitUsage;
    } catch (const UsageError& error) {
        err << UsageMessage(error.what());
        return kExitUsage;
    } catch (const SettingsError& error) {
        err << "motormodel-cli: " << ErrorText(error.Cause()) << '\n';
        return kExitUsage;
    } catch (const lab::MeasuredError& error) {
        err << "motormodel-cli: " << MeasuredErrorText(error.Cause()) << '\n';
        return kExitUsage;
    }
    try {
        if (!requested.view().empty()) {
            WriteStandardOutput(out, requested.view());
            return 0;
        }
        return RunCommand(options, settings, {out, err});
    } catch (const std::exception& error) {
        err << "motormodel-cli: " << error.what() << '\n';
        return kExitFailed;
    }
}

} // namespace cli
