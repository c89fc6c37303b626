// The parameters command in process: the experiment file it writes reads
// back to the library's estimate, and a plate it cannot take is refused with
// what was wrong and what is allowed.

#include "cli/CommandLine.h"
#include "cli/NameplateTexts.h"
#include "experiments/ExperimentFile.h"
#include "lab/Nameplate.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome RunParameters(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "parameters");
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::RunCommandLine(arguments, out, err);
    return {status, out.str(), err.str()};
}

const char* const kRated = "power=7500,voltage=400,connection=star,frequency=50,speed=1440,current=14.8,cos_phi=0.84";

const lab::Nameplate kPlate{.power = 7500, .voltage = 400, .connection = lab::Connection::Star, .frequency = 50,
                            .speed = 1440, .current = 14.8, .cosPhi = 0.84, .efficiency = 0.875,
                            .polePairs = std::nullopt, .breakdownRatio = 2.7, .startingTorqueRatio = std::nullopt,
                            .startingCurrentRatio = std::nullopt};

// The file on standard output is the library's machine over the settings
// given, to the last bit, headed by the plate's figures; the table goes to
// standard error.
TEST(ParametersCommand, WritesTheLibrarysMachine)
{
    const Outcome outcome = RunParameters({"--rated", kRated, "--rated", "efficiency=0.875,mk=2.7", "--set", "model.J=0.05"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const lab::NameplateEstimate estimate = lab::EstimateFromNameplate(kPlate);
    Settings given;
    given.model.J = 0.05;
    EXPECT_EQ(ExperimentFile::Parse(outcome.out, "out", Settings{}), estimate.ApplyTo(given));
    EXPECT_EQ(outcome.out.rfind(cli::NameplateComment(kPlate, estimate), 0), 0u);
    EXPECT_EQ(outcome.err, cli::FiguresTable(estimate));
}

struct RefusedCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* problem;
};

const RefusedCase kRefused[] = {
    {"UnknownFigure", {"--rated", std::string(kRated) + ",efficiency=0.9,torque=50"},
     "--rated has no figure 'torque'; the figures are power, voltage, connection, frequency, speed, current, "
     "cos_phi, efficiency, pole_pairs, mk, mst, ist"},
    {"MissingFigure", {"--rated", kRated},
     "--rated needs efficiency; a plate gives power, voltage, connection, frequency, speed, current, cos_phi "
     "and efficiency"},
    {"RepeatedFigure", {"--rated", std::string(kRated) + ",efficiency=0.9,power=7000"},
     "--rated gives power twice"},
    {"NotANumber", {"--rated", std::string(kRated) + ",efficiency=high"},
     "--rated efficiency needs a finite number, not 'high'"},
    {"Connection", {"--rated", "power=7500,voltage=400,connection=zigzag"},
     "--rated connection needs star or delta, not 'zigzag'"},
    {"EfficiencyAboveOne", {"--rated", std::string(kRated) + ",efficiency=1.2"},
     "efficiency must be a finite number above 0 and at most 1, not 1.2"},
    {"NoNameValue", {"--rated", "power"}, "option '--rated' needs NAME=VALUE[,NAME=VALUE...], not 'power'"},
    {"TableAndFileOnStandardOutput", {"--rated", std::string(kRated) + ",efficiency=0.9", "--csv", "-"},
     "--csv - needs --output FILE: the experiment file goes to standard output"},
};

class ParametersRefused : public testing::TestWithParam<RefusedCase> {};

TEST_P(ParametersRefused, NamesWhatWasWrongAndWhatIsAllowed)
{
    const Outcome outcome = RunParameters(GetParam().arguments);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.out, "");
    EXPECT_EQ(outcome.err,
              "motormodel-cli: " + std::string(GetParam().problem) + "\nTry 'motormodel-cli --help'.\n");
}

INSTANTIATE_TEST_SUITE_P(Plates, ParametersRefused, testing::ValuesIn(kRefused),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
