// Runs motormodel-cli as a process and checks what it prints and returns.

#include "analysis/MechanicalCharacteristic.h"
#include "experiments/Experiments.h"
#include "experiments/Experiments.h"
#include "experiments/SettingsTable.h"
#include "model/MotorModel.h"
#include "toolkit/Conversions.h"

#include "CliProcess.h"
#include "ExactValues.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {


struct Case {
    const char* arguments;
    int status;
    const char* out;      // whole standard output, or nullptr to skip
    const char* err;      // whole standard error of a run that succeeds, else a part of it
};

void PrintTo(const Case& c, std::ostream* out) { *out << '"' << c.arguments << '"'; }

class CliRun : public testing::TestWithParam<Case> {};

TEST_P(CliRun, StatusAndOutput)
{
    const Case& c = GetParam();
    const Outcome outcome = RunCli(c.arguments);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    if (c.out) {
        EXPECT_EQ(outcome.out, c.out);
    }
    // A stray message on success is a fault of its own.
    if (c.status == 0)
        EXPECT_EQ(outcome.err, c.err);
    else
        EXPECT_NE(outcome.err.find(c.err), std::string::npos) << outcome.err;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliRun,
    testing::Values(
        Case{"step 10", 0, "Max M 24.615899217041328\nMax Omega 157.06422059784802\n", ""},
        Case{"step -5", 0, "Max M 23.808949536036444\nMax Omega 190.43232313270283\n", ""},
        Case{"step 31", 3, "Max M 0\nMax Omega 0\n", "Invalid load: Mc must not exceed 30"},
        Case{"step abc", 1, "", "motormodel-cli: 'abc' is not a valid integer value\n"},
        Case{"step ''", 1, "", "motormodel-cli: '' is not a valid integer value\n"},
        Case{"step -1000", 1, "", "motormodel-cli: Floating point overflow\n"},
        Case{"--help", 0, nullptr, ""},
        Case{"--version", 0, "motormodel-cli " MOTORMODEL_VERSION "\n", ""},
        Case{"step 10 --csv /dev/null --metrics /dev/null --stats /dev/null", 0,
             "Max M 24.615899217041328\nMax Omega 157.06422059784802\n", ""},
        Case{"step 31 --metrics -", 3, "", "Invalid load"},
        Case{"step -1000 --stats -", 1, "", "Floating point overflow"},
        Case{"characteristic --load 100 --csv /dev/null", 0, "",
             "Operating point: none between Omega -157.07500000000002 and 235.61250000000004\n"},
        // Sweeps: refused, failed and disallowed values are reported, the
        // others go on, and the status is the largest of the runs'.
        Case{"sweep step.load=10,40,20,50 step --csv /dev/null", 3, "", "Invalid load: Mc must not exceed 30: Mc=40, Mc=50\n"},
        Case{"sweep step.load=-1000,10 step --csv /dev/null", 1, "",
             "motormodel-cli: step.load=-1000: Floating point overflow\n"},
        Case{"sweep step.load=-1000,40 step --csv /dev/null", 3, "", "Floating point overflow\nInvalid load"},
        Case{"sweep model.J=-1,0.0172 step 10 --csv /dev/null", 2, "", "motormodel-cli: model.J must be a number above 0, not -1\n"},
        Case{"sweep model.J=0.0172 step 40 --csv /dev/null", 3, "", "exceed 30: J=0.0172\n"},
        Case{"sweep model.j=1 step 10", 2, "", "there is no setting 'model.j'; did you mean 'model.J'?"},
        // Settings: a typed load wins over step.load, which stands in for it.
        Case{"step --set step.load=10", 0, "Max M 24.615899217041328\nMax Omega 157.06422059784802\n", ""},
        Case{"step 10 --set step.load=20", 0, "Max M 24.615899217041328\nMax Omega 157.06422059784802\n", ""},
        Case{"step --set step.load=-5", 0, "Max M 23.808949536036444\nMax Omega 190.43232313270283\n", ""},
        Case{"step 10 --set run.limit=5", 3, "Max M 0\nMax Omega 0\n", "Invalid load: Mc must not exceed 5\n"},
        Case{"step --set model.J=-1", 2, "", "motormodel-cli: model.J must be a number above 0, not -1\n"},
        Case{"step 10 --set model.j=1", 2, "", "there is no setting 'model.j'; did you mean 'model.J'?"},
        Case{"step 10 --settings missing.toml --csv out.csv", 2, "", "cannot read 'missing.toml': No such file or directory"},
        // A step past the stable one is warned of before the run, which goes
        // ahead; a step short of it runs without a word.
        Case{"step 10 --set model.dt=0.003", 1, "",
             "motormodel-cli: warning: model.dt is 0.003, past 0.0029285373229349034, the largest step at which "
             "forward Euler keeps the model's rest stable: the run cannot settle and is likely to overflow\n"
             "motormodel-cli: Floating point overflow\n"},
        Case{"step 10 --set model.dt=0.002", 0, "Max M 31.964033720930235\nMax Omega 157.0749984151096\n", ""},
        Case{"sweep model.dt=0.001,0.003 step 10 --csv /dev/null", 1, "",
             "motormodel-cli: warning: model.dt=0.003: model.dt is 0.003, past 0.0029285373229349034"},
        Case{"step 10 --set model.p=2.5", 2, "", "model.p must be a whole number of at least 1, not 2.5"},
        Case{"session missing.toml", 2, "", "motormodel-cli: cannot read 'missing.toml': No such file or directory\n"},
        Case{"settings --set step.profile=sine", 2, "",
             "step.profile must be one of \"step\", \"ramp\", \"fan\", \"periodic\", not \"sine\""}));

// A usage error is one line that names the problem, then where to look, as
// GNU tools give it; nothing runs and nothing is written.
struct UsageCase {
    const char* arguments;
    const char* problem; // the first line after "motormodel-cli: "
};

void PrintTo(const UsageCase& c, std::ostream* out) { *out << '"' << c.arguments << '"'; }

class CliUsage : public testing::TestWithParam<UsageCase> {};

TEST_P(CliUsage, NamesTheProblemOnOneLine)
{
    const Outcome outcome = RunCli(GetParam().arguments);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err, "motormodel-cli: " + std::string(GetParam().problem) + "\nTry 'motormodel-cli --help'.\n");
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CliUsage,
    testing::Values(
        UsageCase{"", "no command given"},
        UsageCase{"--csv -", "no command given"},
        UsageCase{"--bogus", "unknown option '--bogus'"},
        UsageCase{"bogus", "unknown command 'bogus'"},
        UsageCase{"step", "step needs a LOAD, or step.load in the settings"},
        UsageCase{"step 10 11", "unexpected argument '11'"},
        UsageCase{"step 10 --bogus", "unknown option '--bogus'"},
        UsageCase{"step 10 --version", "unknown option '--version'"},
        // Every option that takes a value says so in the same words when it
        // has none.
        UsageCase{"gauss --seed", "option '--seed' needs a value"},
        UsageCase{"uniform --from", "option '--from' needs a value"},
        UsageCase{"uniform --to", "option '--to' needs a value"},
        UsageCase{"uniform --csv", "option '--csv' needs a value"},
        UsageCase{"step 10 --metrics", "option '--metrics' needs a value"},
        UsageCase{"uniform --stats", "option '--stats' needs a value"},
        UsageCase{"uniform --settings", "option '--settings' needs a value"},
        UsageCase{"uniform --set", "option '--set' needs a value"},
        UsageCase{"characteristic --load", "option '--load' needs a value"},
        // A value of the wrong form.
        UsageCase{"gauss --seed x", "option '--seed' needs a whole number from 0 to 4294967295, not 'x'"},
        UsageCase{"uniform --seed -1", "option '--seed' needs a whole number from 0 to 4294967295, not '-1'"},
        UsageCase{"uniform --seed 4294967296", "option '--seed' needs a whole number from 0 to 4294967295, not '4294967296'"},
        UsageCase{"step 10 --stats - --from 1.5", "option '--from' needs a step number, not '1.5'"},
        UsageCase{"characteristic --load inf", "option '--load' needs a finite number, not 'inf'"},
        UsageCase{"step 10 --set model.J", "option '--set' needs NAME=VALUE, not 'model.J'"},
        // An option of another command.
        UsageCase{"step 10 --seed 3", "option '--seed' does not apply to 'step'"},
        UsageCase{"gauss --metrics -", "option '--metrics' does not apply to 'gauss'"},
        UsageCase{"characteristic --seed 1", "option '--seed' does not apply to 'characteristic'"},
        UsageCase{"step 10 --load 3", "option '--load' does not apply to 'step'"},
        UsageCase{"settings --csv -", "option '--csv' does not apply to 'settings'"},
        UsageCase{"sweep model.J=1 step 10 --stats -", "option '--stats' does not apply to 'sweep step'"},
        // Outputs: standard output once, and each file once, however its
        // path is written; a device takes any number (see CliRun).
        UsageCase{"gauss --csv - --csv -", "at most one option may write to standard output"},
        UsageCase{"step 10 --metrics - --stats -", "at most one option may write to standard output"},
        UsageCase{"step 10 --csv a.csv --metrics a.csv", "options '--csv' and '--metrics' name the same file 'a.csv'"},
        UsageCase{"gauss --csv a.csv --csv a.csv", "options '--csv' and '--csv' name the same file 'a.csv'"},
        UsageCase{"gauss --stats a.csv --csv ./b/../a.csv", "options '--stats' and '--csv' name the same file './b/../a.csv'"},
        UsageCase{"step 10 --metrics /tmp/m.csv --stats //tmp/./m.csv", "options '--metrics' and '--stats' name the same file '//tmp/./m.csv'"},
        // Steps of the statistics.
        UsageCase{"step 10 --from 3", "--from and --to need --stats or --json"},
        UsageCase{"step 10 --stats - --to 2000", "steps 0 to 2000 are not a range within the run's 0 to 1999"},
        UsageCase{"step 10 --stats - --from -1", "steps -1 to 1999 are not a range within the run's 0 to 1999"},
        UsageCase{"step 10 --stats - --from 6 --to 5", "steps 6 to 5 are not a range within the run's 0 to 1999"},
        UsageCase{"step 10 --set run.steps=99 --stats - --to 99", "steps 0 to 99 are not a range within the run's 0 to 98"},
        // Sweeps.
        UsageCase{"sweep", "sweep needs NAME=VALUES and a run: step, gauss or uniform"},
        UsageCase{"sweep step", "sweep needs NAME=VALUES, not 'step'"},
        UsageCase{"sweep model.J=1", "sweep needs NAME=VALUES and a run: step, gauss or uniform"},
        UsageCase{"sweep model.J step 10", "sweep needs NAME=VALUES, not 'model.J'"},
        UsageCase{"sweep model.J=1 settings", "unknown run 'settings'"},
        UsageCase{"sweep step.load=10 step 5", "a sweep of step.load takes its loads from VALUES: leave out LOAD"},
        // Times and dialects.
        UsageCase{"step 10 --time", "--time needs --csv or --metrics"},
        UsageCase{"gauss --stats - --time", "--time needs --csv or --metrics"},
        UsageCase{"characteristic --time", "option '--time' does not apply to 'characteristic'"},
        UsageCase{"step 10 --csv - --locale en", "option '--locale' needs ru, not 'en'"},
        UsageCase{"settings --locale ru", "option '--locale' does not apply to 'settings'"},
        // Sessions hold their own settings.
        UsageCase{"session", "session needs the SESSION file to read"},
        UsageCase{"session s.toml --set model.J=1", "option '--set' does not apply to 'session'"}));

// A saved experiment pins no default that follows another setting: its
// run can be shortened later, and step.off goes on following run.steps.
TEST(Cli, SavedSettingsCanBeShortened)
{
    const std::filesystem::path folder = TestFolder();
    const Outcome saved = RunCli("settings");
    ASSERT_EQ(saved.status, 0);
    EXPECT_EQ(saved.out.find("off ="), std::string::npos) << saved.out;
    std::ofstream(folder / "a.toml") << saved.out;
    const Outcome shortened = RunCli("step 10 --settings " + (folder / "a.toml").string() + " --set run.steps=500.0");
    EXPECT_EQ(shortened.status, 0) << shortened.err;
}

// A session from a newer program is refused with its format, a damaged one
// with its line, before anything is written.
TEST(Cli, SessionOfANewerFormatOrDamagedIsRefused)
{
    const std::filesystem::path folder = TestFolder();
    for (const auto& [text, message] :
         {std::pair{"format = 3\nfuture = true\n", ":1:10: a session of format 3 is from a newer version; this one "
                                                     "reads format 2\n"},
          std::pair{"format = 1\nversion = \"1.0\n", ":2:15: Error while parsing string: unescaped control "
                                                               "characters other than TAB (U+0009) are explicitly "
                                                               "prohibited\n"}}) {
        std::ofstream(folder / "s.toml") << text;
        const Outcome outcome = RunCli("session " + (folder / "s.toml").string() + " --csv " + (folder / "c.csv").string());
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.err, "motormodel-cli: " + (folder / "s.toml").string() + message);
        EXPECT_FALSE(std::filesystem::exists(folder / "c.csv"));
    }
}

// The settings in force are the defaults, then every file, then every --set,
// each in the order given, wherever they stand on the command line.
TEST(Cli, SettingsApplyInOrderAndPrintAsAFileThatReadsBack)
{
    const auto dir = TestFolder();
    std::ofstream(dir / "a.toml") << "[model]\nJ = 1\nMk = 20\n";
    std::ofstream(dir / "b.toml") << "[model]\nJ = 2\n";
    const std::string files = " --settings " + (dir / "a.toml").string() + " --settings " + (dir / "b.toml").string();
    const Outcome layered = RunCli("settings --set model.sk=0.5" + files);
    ASSERT_EQ(layered.status, 0) << layered.err;
    EXPECT_EQ(layered.err, "");
    for (const char* line : {"\nJ = 2.0\n", "\nMk = 20.0\n", "\nsk = 0.5\n", "\nsteps = 2000\n"})
        EXPECT_NE(layered.out.find(line), std::string::npos) << line;

    // A value refused once the settings are complete is placed in the file
    // that gave it, as the file wrote it; a --set over it is not a file's.
    std::ofstream(dir / "c.toml") << "# heavier\n[model]\nJ = -2.50\n";
    const std::string three = files + " --settings " + (dir / "c.toml").string();
    EXPECT_NE(RunCli("settings" + three).err.find((dir / "c.toml").string() + ":3:5: model.J must be a number above 0, not -2.50"),
              std::string::npos);
    EXPECT_NE(RunCli("settings --set model.J=-3" + three).err.find("motormodel-cli: model.J must be a number above 0, not -3\n"),
              std::string::npos);

    // The defaults written out and read back make the default run exactly.
    std::ofstream(dir / "defaults.toml") << RunCli("settings").out;
    EXPECT_EQ(RunCli("step 10 --csv - --settings " + (dir / "defaults.toml").string()).out, RunCli("step 10 --csv -").out);
}

// A shorter run is the start of a longer one: with run.steps = 3 the load is
// on for all three steps, as it is for the first three of the default run.
TEST(Cli, RunStepsSetsTheRowsOfEveryOutput)
{
    const std::string whole = RunCli("step 10 --csv -").out;
    const Outcome shorter = RunCli("step 10 --set run.steps=3 --csv -");
    ASSERT_EQ(shorter.status, 0);
    std::size_t end = 0;
    for (int line = 0; line < 4; ++line)
        end = whole.find('\n', end) + 1;
    EXPECT_EQ(shorter.out, whole.substr(0, end));
    const Outcome stats = RunCli("gauss --seed 1 --set run.steps=3000 --stats -");
    EXPECT_NE(stats.out.find("Md,0,2999,3000,"), std::string::npos) << stats.out;
}

// The help's settings section, made from the settings table: an entry per
// setting with its default and what it allows, in lines help2man lays out.
TEST(Cli, HelpGivesEverySettingWithItsDefaultAndLimits)
{
    const std::string help = RunCli("--help").out;
    const std::size_t section = help.find("\nSettings:\n");
    ASSERT_NE(section, std::string::npos);
    const std::string continuation = "\n" + std::string(24, ' ');
    for (const SettingSpec& spec : SettingsTable()) {
        SCOPED_TRACE(spec.name);
        const std::size_t start = help.find("\n  " + std::string(spec.name) + ' ', section);
        ASSERT_NE(start, std::string::npos);
        std::size_t end = help.find('\n', start + 1);
        while (help.compare(end, continuation.size(), continuation) == 0)
            end = help.find('\n', end + 1);
        std::string entry = help.substr(start, end - start);
        for (std::size_t at; (at = entry.find(continuation)) != std::string::npos;)
            entry.replace(at, continuation.size(), " ");
        const std::string shownDefault = spec.defaultValue ? ShownText(*spec.defaultValue) : "unset";
        EXPECT_NE(entry.find("; default " + shownDefault), std::string::npos) << entry;
        for (const Bound& bound : {spec.allowed.min, spec.allowed.max})
            EXPECT_NE(entry.find(bound.setting + (bound.setting.empty() ? "" : " (") + bound.value), std::string::npos)
                << entry;
        for (const std::string& choice : spec.allowed.choices)
            EXPECT_NE(entry.find('"' + choice + '"'), std::string::npos) << entry;
    }
    std::istringstream lines(help.substr(section, help.find("\n\n", section) - section));
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(line.size(), 80u) << line;
}

TEST(Cli, CsvHoldsEveryStepInRoundTripForm)
{
    const Outcome outcome = RunCli("step 10 --csv -");
    ASSERT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.err, "Max M 24.615899217041328\nMax Omega 157.06422059784802\n");
    std::istringstream lines(outcome.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "step,Md,Omega");
    std::getline(lines, line);
    EXPECT_EQ(line, "0,0,-0.5813953488372093");
    int rows = 1;
    std::string last;
    while (std::getline(lines, line)) {
        last = line;
        ++rows;
    }
    EXPECT_EQ(rows, 2000);
    EXPECT_EQ(last, "1999,0.0016147666059876053,157.06422059784802");
}

TEST(Cli, SeededRandomRunsRepeatAndDifferBySeed)
{
    const auto dir = std::filesystem::path(testing::TempDir());
    for (const char* command : {"gauss", "uniform"}) {
        auto csv = [&](const char* seed) {
            const auto path = dir / (std::string(command) + seed + ".csv");
            const Outcome outcome = RunCli(std::string(command) + " --seed " + seed + " --csv " + path.string());
            EXPECT_EQ(outcome.status, 0);
            EXPECT_EQ(outcome.err, "");
            return ReadFile(path);
        };
        const std::string first = csv("42");
        EXPECT_EQ(first.rfind("step,Md,Omega\n0,0,", 0), 0u) << command;
        EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 2001) << command;
        EXPECT_EQ(first, csv("42")) << command;
        EXPECT_NE(first, csv("43")) << command;
    }
}

// A fault while writing. Each case runs in a directory of its own, "@" in
// its texts, that holds an earlier run's file beforehand.
struct Fault {
    const char* name;
    const char* prefix;
    const char* arguments;
    const char* redirect;
    int status;
    const char* err;      // whole standard error
    bool replacesOldRun;  // else the earlier run's file must stay byte for byte
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

constexpr const char* kOldRunName = "прогон 1.csv";
constexpr const char* kOldRun = "step,Md,Omega\n0,0,0\n";

std::string WithDir(std::string text, const std::string& dir)
{
    for (auto at = text.find('@'); at != std::string::npos; at = text.find('@', at + dir.size()))
        text.replace(at, 1, dir);
    return text;
}

std::set<std::string> Entries(const std::filesystem::path& dir)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

class CliFault : public testing::TestWithParam<Fault> {};

TEST_P(CliFault, ReportsAndKeepsTheOldFile)
{
    const Fault& fault = GetParam();
    const auto dir = std::filesystem::path(testing::TempDir()) / "cli_faults" / fault.name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir / kOldRunName) << kOldRun;

    const Outcome outcome = RunCliIn(dir, fault.prefix, WithDir(fault.arguments, dir), fault.redirect);

    EXPECT_EQ(outcome.status, fault.status);
    EXPECT_EQ(outcome.err, WithDir(fault.err, dir));
    EXPECT_EQ(Entries(dir), (std::set<std::string>{kOldRunName, "cli_out.txt", "cli_err.txt"}));
    const std::string oldRun = ReadFile(dir / kOldRunName);
    if (fault.replacesOldRun) {
        EXPECT_EQ(oldRun.rfind("step,Md,Omega\n0,0,", 0), 0u);
        EXPECT_EQ(std::count(oldRun.begin(), oldRun.end(), '\n'), 2001);
    } else {
        EXPECT_EQ(oldRun, kOldRun);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Writes, CliFault,
    testing::Values(
        Fault{"stdout_full", "", "step 10", ">/dev/full", 1,
              "motormodel-cli: write error: No space left on device\n", false},
        Fault{"csv_on_stdout_full", "", "gauss --csv -", ">/dev/full", 1,
              "motormodel-cli: write error: No space left on device\n", false},
        Fault{"csv_to_dev_full", "", "gauss --csv /dev/full", "", 1,
              "motormodel-cli: cannot write '/dev/full': No space left on device\n", false},
        Fault{"missing_directory", "", "gauss --csv @/missing/run.csv", "", 1,
              "motormodel-cli: cannot write '@/missing/run.csv': No such file or directory\n", false},
        Fault{"directory_as_file", "", "gauss --csv @", "", 1, "motormodel-cli: cannot write '@': Is a directory\n",
              false},
        Fault{"cyrillic_path_with_spaces", "", "gauss --csv '@/прогон 1.csv'", "", 0, "", true},
        Fault{"size_limit_cuts_overwrite", "ulimit -f 8; ", "gauss --csv '@/прогон 1.csv'", "", 1,
              "motormodel-cli: cannot write '@/прогон 1.csv': File too large\n", false},
        Fault{"sweep_size_limit_cuts_overwrite", "ulimit -f 8; ", "sweep step.load=0,10,20 step --csv '@/прогон 1.csv'",
              "", 1, "motormodel-cli: cannot write '@/прогон 1.csv': File too large\n", false},
        Fault{"stdout_closed", "", "step 10", ">&-", 1, "motormodel-cli: write error: Bad file descriptor\n", false},
        Fault{"stderr_full", "", "gauss --csv @/missing/run.csv", "2>/dev/full", 1, "", false},
        Fault{"stderr_closed", "", "gauss --csv @/missing/run.csv", "2>&-", 1, "", false}),
    [](const testing::TestParamInfo<Fault>& test) { return std::string(test.param.name); });


std::string Number(double value) { return toolkit::FloatToStr(value); }

// The values of the quantity in the step response to the load, run here as
// the tool runs it.
std::vector<double> StepResponseValues(const char* load, Quantity quantity, const Settings& settings = {})
{
    const RunResult run = RunExperiment({RunKind::Step, settings, load, {}});
    std::vector<double> values;
    for (const TracePoint& point : run.Of(quantity).Points())
        values.push_back(point.y);
    return values;
}

// The definitions applied by hand to y from s0 to s1 after a step from y0,
// for a signal that does not end where it started and a rest apart from y0.
// r(s1) is exactly 1, so the extremes of r can start from it.
std::string CharacteristicsByHand(const std::string& row, const std::vector<double>& values, int s0, int s1,
                                  double y0, double rest)
{
    auto y = [&values](int s) { return values.at(static_cast<std::size_t>(s)); };
    const double final = y(s1);
    const double delta = final - y0;
    int peak = s0, trough = s0, t10 = -1, t63 = -1, t90 = -1, settled = s0;
    double rMax = 1, rMin = 1;
    for (int s = s0; s <= s1; ++s) {
        const double r = (y(s) - y0) / delta;
        peak = y(s) > y(peak) ? s : peak;
        trough = y(s) < y(trough) ? s : trough;
        t10 = t10 < 0 && r >= 0.1 ? s : t10;
        t63 = t63 < 0 && r >= 0.632 ? s : t63;
        t90 = t90 < 0 && r >= 0.9 ? s : t90;
        settled = std::fabs(y(s) - final) > 0.02 * std::fabs(delta) ? s + 1 : settled;
        rMax = std::max(rMax, r);
        rMin = std::min(rMin, r);
    }
    const bool atRest = std::fabs(final - rest) <= 0.02 * std::fabs(rest - y0);
    return row + ',' + Number(y0) + ',' + (atRest ? Number(final) : "") + ',' + Number(y(peak)) + ',' +
           std::to_string(peak) + ',' + Number(y(trough)) + ',' + std::to_string(trough) + ',' +
           std::to_string(t90 - t10) + ',' + (atRest ? std::to_string(settled - s0) : "") + ',' +
           Number((rMax - 1) * 100) + ',' + Number(rMin < 0 ? -rMin * 100 : 0) + ',' +
           std::to_string(t63 + 1 - s0) + ',' + Number(final) + ',' + Number(rest) + ',' + (atRest ? "yes" : "no") +
           '\n';
}

TEST(Cli, MeasurementsOfLoad10FollowFromItsTrajectory)
{
    const std::string metrics = (std::filesystem::path(testing::TempDir()) / "step10-metrics.csv").string();
    const Outcome outcome = RunCli("step 10 --metrics " + metrics + " --stats - --from 999 --to 999");
    ASSERT_EQ(outcome.status, 0);
    const std::vector<double> md = StepResponseValues("10", Quantity::Md);
    const std::vector<double> omega = StepResponseValues("10", Quantity::Omega);
    ASSERT_EQ(omega.size(), 2000u);
    // Standard output holds the statistics, so the Max lines, and nothing
    // else, go to standard error.
    EXPECT_EQ(outcome.err, "Max M " + Number(*std::max_element(md.begin(), md.end())) + "\nMax Omega " +
                               Number(*std::max_element(omega.begin(), omega.end())) + '\n');
    // At rest the model turns at the operating point under the load, and
    // at the synchronous speed with no torque once it is removed.
    const MotorParameters motor;
    EXPECT_EQ(ReadFile(metrics), "trace,segment,initial,final,peak,peak_step,trough,trough_step,rise_steps,"
                                 "settling_steps,overshoot_percent,undershoot_percent,t63_steps,end,rest,settled\n" +
                                     CharacteristicsByHand("Md,on", md, 0, 999, 0, 10) +
                                     CharacteristicsByHand("Md,off", md, 1000, 1999, md[999], 0) +
                                     CharacteristicsByHand("Omega,on", omega, 0, 999, 0, kOperatingOmega10) +
                                     CharacteristicsByHand("Omega,off", omega, 1000, 1999, omega[999],
                                                           motor.w0 / motor.p));
    // Over one step every statistic is that step's value, its size or 0.
    auto oneStep = [](const std::string& trace, double y) {
        const std::string v = Number(y);
        return trace + ",999,999,1," + v + ",999," + v + ",999," + v + ',' + Number(std::fabs(y)) + ",0\n";
    };
    EXPECT_EQ(outcome.out.substr(outcome.out.find("trace")),
              "trace,from,to,count,min,min_step,max,max_step,mean,rms,std\n" + oneStep("Md", md[999]) +
                  oneStep("Omega", omega[999]));
    EXPECT_NE(ReadFile(metrics).find("Md,on,0,10.001646151080376,24.615899217041328,6,"), std::string::npos)
        << "the largest Md comes early, while the load is on";
}

// A segment's rest is the model's, however far the run is from it: with
// twice the inertia Md is still well above the load when it is removed.
TEST(Cli, ASegmentThatEndsAwayFromItsRestHasNoFinalValueOrSettlingTime)
{
    const Outcome outcome = RunCli("step 10 --set model.J=0.0688 --metrics -");
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::string mdOn = outcome.out.substr(outcome.out.find("\nMd,on,") + 1);
    Settings settings;
    settings.model.J = 0.0688;
    const std::vector<double> md = StepResponseValues("10", Quantity::Md, settings);
    EXPECT_GT(md[999], 11) << "Md ends the loaded segment near 11.4";
    EXPECT_TRUE(mdOn.starts_with("Md,on,0,,")) << mdOn;
    EXPECT_NE(mdOn.find(',' + Number(md[999]) + ",10,no\n"), std::string::npos) << mdOn;
}

// The times are those of the states, step i at (i + 1) dt, and lengths of
// steps are the steps times dt, each the double nearest the decimal.
TEST(Cli, TimeAddsSecondsToThePointsAndTheCharacteristics)
{
    const Outcome points = RunCli("step 10 --csv - --time");
    ASSERT_EQ(points.status, 0) << points.err;
    EXPECT_TRUE(points.out.starts_with("step,t,Md,Omega\n0,0.001,")) << points.out.substr(0, 40);
    for (const char* row : {"\n349,0.35,", "\n999,1,", "\n1999,2,"})
        EXPECT_NE(points.out.find(row), std::string::npos) << row;

    const Outcome metrics = RunCli("step 10 --metrics - --time");
    ASSERT_EQ(metrics.status, 0) << metrics.err;
    EXPECT_NE(metrics.out.find(",settled,peak_seconds,trough_seconds,rise_seconds,settling_seconds,t63_seconds\n"),
              std::string::npos);
    // Md is still 0 after the first step and jumps in the second: its
    // trough is the first state, at 1 ms, it rises in no steps, covers
    // 63.2 % of its change in two, and peaks at step 6, at 7 ms.
    const std::string mdOn = metrics.out.substr(metrics.out.find("\nMd,on,") + 1);
    EXPECT_NE(mdOn.find(",yes,0.007,0.001,0,"), std::string::npos) << mdOn.substr(0, mdOn.find('\n'));
    EXPECT_NE(mdOn.find(",0.002\n"), std::string::npos) << mdOn.substr(0, mdOn.find('\n'));
}

// The Russian dialect is the plain one with ";" between fields and a
// decimal comma, the same digits in every output; the headings change
// only their separators (a setting's name keeps its dot).
TEST(Cli, TheRussianLocaleWritesEveryCsvWithSemicolonsAndDecimalCommas)
{
    // A field with a decimal comma is quoted.
    auto russian = [](const std::string& text, bool heading) {
        std::string out;
        std::string field;
        auto endField = [&] {
            if (!heading && field.find('.') != std::string::npos) {
                std::replace(field.begin(), field.end(), '.', ',');
                field = '"' + field + '"';
            }
            out += std::exchange(field, {});
        };
        for (char c : text) {
            if (c != ',' && c != '\n') {
                field += c;
                continue;
            }
            endField();
            out += c == ',' ? ';' : c;
        }
        endField();
        return out;
    };
    for (const char* arguments : {"step 10 --csv -", "step 10 --metrics - --time", "gauss --seed 7 --stats -",
                                  "uniform --seed 3 --csv - --time", "characteristic --csv -",
                                  "sweep step.load=10,20 step --csv -", "sweep model.J=0.0172,0.0344 step 10 --metrics -"}) {
        const Outcome plain = RunCli(arguments);
        const Outcome ru = RunCli(std::string(arguments) + " --locale ru");
        ASSERT_EQ(plain.status, 0) << arguments << ": " << plain.err;
        ASSERT_EQ(ru.status, 0) << arguments << ": " << ru.err;
        const std::size_t body = plain.out.find('\n') + 1;
        EXPECT_EQ(ru.out.substr(0, body), russian(plain.out.substr(0, body), true)) << arguments;
        EXPECT_EQ(ru.out.substr(body), russian(plain.out.substr(body), false)) << arguments;
    }
}

// The rows are the curve at the speeds -w0/p + k (2.5 w0/p) / 1000, every
// number exact, and the operating point is the one the curve gives.
struct CharacteristicCase {
    const char* arguments;
    MotorParameters model;
    std::optional<analysis::LoadCharacteristic> load; // of the operating point, if any
};

void PrintTo(const CharacteristicCase& c, std::ostream* out) { *out << '"' << c.arguments << '"'; }

class CliCharacteristic : public testing::TestWithParam<CharacteristicCase> {};

// The rows are the curve at the speeds -w0/p + k (2.5 w0/p) / 1000 that have
// a rest point, every number exact, for the settings in force; the operating
// point is the curve's for the step response's load and profile.
TEST_P(CliCharacteristic, WritesTheCurveAtItsSpeedsAndTheOperatingPoint)
{
    const CharacteristicCase& c = GetParam();
    const Outcome outcome = RunCli(c.arguments);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const analysis::StaticCharacteristic motor(c.model);
    const double synchronous = c.model.w0 / c.model.p;
    std::string expected = "Omega,Md,K\n";
    for (int k = 0; k <= 1000; ++k) {
        const double Omega = -synchronous + k * (2.5 * synchronous) / 1000;
        if (const std::optional<analysis::StaticPoint> point = motor.At(Omega))
            expected += Number(Omega) + ',' + Number(point->Md) + ',' + Number(point->K) + '\n';
    }
    EXPECT_EQ(outcome.out, expected);
    std::string operating;
    if (c.load) {
        const auto point = analysis::OperatingPoint(motor, *c.load);
        ASSERT_TRUE(point.has_value());
        operating = "Operating point: Omega " + Number(point->Omega) + " Md " + Number(point->Md) + "\n";
    }
    EXPECT_EQ(outcome.err, operating);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, CliCharacteristic,
    testing::Values(
        CharacteristicCase{"characteristic --load 10", {}, {{10}}},
        CharacteristicCase{"characteristic --set step.load=30 --load -5", {}, {{-5}}},
        CharacteristicCase{"characteristic --set step.profile=fan --set step.k=0.0005 --load 2", {}, {{2, 0.0005}}},
        CharacteristicCase{"characteristic --set step.profile=periodic --set step.amplitude=3 --set step.load=10",
                           {}, {{10, 0, 3}}},
        // Without a rest point at the slowest speeds: fewer rows.
        CharacteristicCase{"characteristic --set model.Mk=252.5", {.Mk = 252.5}, std::nullopt}));

struct SweepCase {
    const char* sweep;
    const char* name;
    std::vector<std::string> values;
    const char* single; // the run of one value, "@" standing for it
};

void PrintTo(const SweepCase& c, std::ostream* out) { *out << '"' << c.sweep << '"'; }

class CliSweep : public testing::TestWithParam<SweepCase> {};

// A sweep's blocks are the single runs' tables, each row after the heading
// with its value in front, in the order of the values.
TEST_P(CliSweep, HoldsOneBlockPerValueAsTheSingleRunsWriteThem)
{
    const SweepCase& c = GetParam();
    const Outcome sweep = RunCli(c.sweep);
    ASSERT_EQ(sweep.status, 0) << sweep.err;
    EXPECT_EQ(sweep.err, "");
    std::string expected;
    for (const std::string& value : c.values) {
        std::string single = c.single;
        std::istringstream lines(RunCli(single.replace(single.find('@'), 1, value)).out);
        std::string line;
        std::getline(lines, line);
        if (expected.empty())
            expected = std::string(c.name) + ',' + line + '\n';
        while (std::getline(lines, line))
            expected += value + ',' + line + '\n';
    }
    EXPECT_EQ(sweep.out, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CliSweep,
    testing::Values(
        SweepCase{"sweep step.load=0:30:10 step", "step.load", {"0", "10", "20", "30"}, "step @ --csv -"},
        SweepCase{"sweep model.J=0.0172,0.0344 step 10 --metrics -", "model.J", {"0.0172", "0.0344"},
                  "step 10 --set model.J=@ --metrics -"},
        SweepCase{"sweep step.profile=ramp,fan step 10 --set step.ramp=100 --set step.k=0.0005", "step.profile",
                  {"ramp", "fan"}, "step 10 --set step.profile=@ --set step.ramp=100 --set step.k=0.0005 --csv -"},
        SweepCase{"sweep gauss.sd=1:3:2 gauss --seed 5", "gauss.sd", {"1", "3"}, "gauss --seed 5 --set gauss.sd=@ --csv -"}));

} // namespace
