// Runs motormodel-cli as a process and checks what it prints and returns
// for each command line, and how it names a usage error.

#include "CliProcess.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

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

} // namespace
