// The batch tool's library in process: the same words and statuses as the
// tool, however often it runs in one process, and its JSON's numbers.

#include "cli/CommandLine.h"
#include "cli/Json.h"

#include "CliProcess.h"
#include "ExactValues.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

Outcome RunInProcess(const std::vector<std::string>& arguments)
{
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::RunCommandLine(arguments, out, err);
    return {status, out.str(), err.str()};
}

std::vector<std::string> Words(const std::string& line)
{
    std::istringstream words(line);
    return {std::istream_iterator<std::string>(words), std::istream_iterator<std::string>()};
}

class CliInProcess : public testing::TestWithParam<const char*> {};

// Each command line in process gives what the tool gives as a process,
// byte for byte and with its status, and the same again on a second call:
// nothing of one call is left over for the next.
TEST_P(CliInProcess, GivesWhatTheToolGivesEveryTime)
{
    const Outcome tool = RunCli(GetParam());
    for (int call = 0; call < 2; ++call) {
        const Outcome library = RunInProcess(Words(GetParam()));
        EXPECT_EQ(library.status, tool.status) << "call " << call;
        EXPECT_EQ(library.out, tool.out) << "call " << call;
        EXPECT_EQ(library.err, tool.err) << "call " << call;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliInProcess,
    testing::Values(
        "--version", "--help", "", "settings --set model.J=0.0344", "step 10", "step 31", "step abc", "step -1000",
        "step 10 --seed 3", "gauss --csv - --csv -", "step --set model.J=-1", "step 10 --json - --metrics -",
        "step 10 --set run.steps=300 --json - --stats /dev/null", "step 31 --json -",
        "gauss --seed 7 --stats - --from 1000 --to 1999", "uniform --seed 3 --set run.steps=50 --csv - --time --locale ru",
        "step 10 --set run.steps=500 --set step.off=250 --metrics - --time", "characteristic --load 10 --json -",
        "characteristic --load 100 --csv /dev/null", "characteristic --set run.steps=5",
        "sweep step.load=0,40 step --set run.steps=200 --csv -", "sweep model.dt=0.001,0.003 step 10 --csv /dev/null",
        "sweep model.J=0.0172,0.0344 gauss --seed 2 --set run.steps=100 --json -"));

// A standard output that fails is reported as the tool reports one, and
// the status says the output was lost.
TEST(CliInProcess, AFailedStandardOutputIsReported)
{
    std::ostream broken(nullptr);
    std::ostringstream err;
    EXPECT_EQ(cli::RunCommandLine(Words("step 10"), broken, err), 1);
    EXPECT_TRUE(err.str().starts_with("motormodel-cli: write error: ")) << err.str();
}

// The shortest text of each double reads back as that double; what JSON
// cannot hold is null.
TEST(JsonWriter, NumbersReadBackToTheBit)
{
    const double values[] = {0,
                             -0.0,
                             0.1,
                             0.1 + 0.2,
                             1.0 / 3,
                             kStep10Md,
                             kStep10Omega,
                             314.15000000000003,
                             1e300,
                             -1.5e-7,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::denorm_min(),
                             9007199254740993.0};
    for (const double value : values) {
        const std::string text = cli::JsonWriter().Number(value).Text();
        double read = 1;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size() - 1, read);
        EXPECT_EQ(error, std::errc{}) << text;
        EXPECT_EQ(end, text.data() + text.size() - 1) << text;
        EXPECT_EQ(Bits(read), Bits(value)) << text;
    }
    for (const double value : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity()})
        EXPECT_EQ(cli::JsonWriter().Number(value).Text(), "null\n");
}

// Texts are quoted with what would end or break them escaped.
TEST(JsonWriter, EscapesQuotesBackslashesAndControlCharacters)
{
    struct Escape {
        std::string text;
        std::string json;
    };
    const Escape escapes[] = {{"Md", "\"Md\""},
                              {"a\"b", "\"a\\\"b\""},
                              {"C:\\runs", "\"C:\\\\runs\""},
                              {"line\nnext\t\x01", "\"line\\u000anext\\u0009\\u0001\""},
                              {"Ω", "\"Ω\""}};
    for (const Escape& escape : escapes)
        EXPECT_EQ(cli::JsonWriter().String(escape.text).Text(), escape.json + '\n');
}

} // namespace
