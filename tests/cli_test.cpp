// Runs motormodel-cli as a process and checks what it prints and returns.

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

// Named after the running test: CTest runs the cases as parallel processes
// that share the temporary folder.
std::filesystem::path CaptureFile(const char* stream)
{
    const testing::TestInfo& test = *testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("cli_") + test.test_suite_name() + "." + test.name() + "." + stream + ".txt";
    std::replace(name.begin(), name.end(), '/', '_');
    return std::filesystem::path(testing::TempDir()) / name;
}

std::string ReadAndRemove(const std::filesystem::path& path)
{
    std::string text = ReadFile(path);
    std::filesystem::remove(path);
    return text;
}

Outcome RunCli(const std::string& arguments)
{
    const auto out = CaptureFile("out");
    const auto err = CaptureFile("err");
    const std::string command =
        std::string(MOTORMODEL_CLI) + " " + arguments + " >" + out.string() + " 2>" + err.string();
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAndRemove(out), ReadAndRemove(err)};
}

struct Case {
    const char* arguments;
    int status;
    const char* out;      // whole standard output, or nullptr to skip
    const char* errPart;  // text standard error must contain
    bool exact = false;   // the output holds exact results of the model
};

void PrintTo(const Case& c, std::ostream* out) { *out << '"' << c.arguments << '"'; }

class CliRun : public testing::TestWithParam<Case> {};

TEST_P(CliRun, StatusAndOutput)
{
    const Case& c = GetParam();
    if (c.exact) {
        SKIP_UNLESS_X87_EXTENDED();
    }
    const Outcome outcome = RunCli(c.arguments);
    EXPECT_EQ(outcome.status, c.status) << outcome.err;
    if (c.out) {
        EXPECT_EQ(outcome.out, c.out);
    }
    EXPECT_NE(outcome.err.find(c.errPart), std::string::npos) << outcome.err;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliRun,
    testing::Values(
        Case{"step 10", 0, "Max M 24.615899217041328\nMax Omega 157.06422059784802\n", "", true},
        Case{"step -5", 0, "Max M 23.808949536036444\nMax Omega 190.43232313270283\n", "", true},
        Case{"step 31", 3, "Max M 0\nMax Omega 0\n", "Некорректно введенное значение Мс<30"},
        Case{"step abc", 1, "", "'abc' is not a valid integer value"},
        Case{"step ''", 1, "", "'' is not a valid integer value"},
        Case{"step -1000", 1, "", "Floating point overflow", true},
        Case{"--help", 0, nullptr, ""},
        Case{"", 2, "", "Usage:"},
        Case{"bogus", 2, "", "unknown command"},
        Case{"step", 2, "", "Usage:"},
        Case{"step 10 --seed 3", 2, "", "unexpected argument"},
        Case{"gauss --seed x", 2, "", "invalid seed"},
        Case{"uniform --seed -1", 2, "", "invalid seed"},
        Case{"gauss --csv", 2, "", "unexpected argument"}));

TEST(Cli, HelpPrintsUsage)
{
    EXPECT_NE(RunCli("--help").out.find("Usage: motormodel-cli step LOAD"), std::string::npos);
}

TEST(Cli, CsvHoldsEveryStepInRoundTripForm)
{
    SKIP_UNLESS_X87_EXTENDED();
    const Outcome outcome = RunCli("step 10 --csv -");
    ASSERT_EQ(outcome.status, 0);
    std::istringstream lines(outcome.out);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "Max M 24.615899217041328");
    std::getline(lines, line);
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
            EXPECT_EQ(RunCli(std::string(command) + " --seed " + seed + " --csv " + path.string()).status, 0);
            return ReadFile(path);
        };
        const std::string first = csv("42");
        EXPECT_EQ(first.rfind("step,Md,Omega\n0,0,", 0), 0u) << command;
        EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 2001) << command;
        EXPECT_EQ(first, csv("42")) << command;
        EXPECT_NE(first, csv("43")) << command;
    }
}

} // namespace
