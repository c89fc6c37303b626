// The batch tool's CSV outputs: every step in round-trip form, seeded runs,
// sweeps, the Russian dialect, and failed writes that keep the old file.

#include "CliProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

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
