// The batch tool's d-q runs against the model's own runs, in process, and
// its d-q static characteristic against the machine's circuit.

#include "CliProcess.h"
#include "ExactValues.h"

#include "analysis/DqCharacteristic.h"
#include "experiments/Experiments.h"
#include "experiments/ExperimentFile.h"
#include "toolkit/Conversions.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

std::string Example(const char* name)
{
    return std::string(MOTORMODEL_EXAMPLES) + "/" + name;
}

// The CSV's rows as numbers, after its heading, which it checks.
std::vector<std::vector<double>> Rows(const std::string& csv, const std::string& heading)
{
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, heading);
    std::vector<std::vector<double>> rows;
    while (std::getline(lines, line)) {
        std::vector<double>& row = rows.emplace_back();
        for (std::size_t at = 0; at <= line.size();) {
            const std::size_t end = std::min(line.find(',', at), line.size());
            double value = 0;
            EXPECT_EQ(std::from_chars(line.data() + at, line.data() + end, value).ec, std::errc{}) << line;
            row.push_back(value);
            at = end + 1;
        }
    }
    return rows;
}

// A machine file's step response, shortened, under a load typed or the
// file's, with the profile given.
struct DqRunCase {
    const char* file;
    const char* load; // empty for the file's
    const char* steps;
    const char* profile;
};

void PrintTo(const DqRunCase& c, std::ostream* out) { *out << c.file << ' ' << c.load << ' ' << c.profile; }

class DqCli : public testing::TestWithParam<DqRunCase> {};

// The batch tool's CSV of a machine file's step response holds, step by
// step, the bits of the d-q run the file's settings describe, made by the
// model's own run; its largest Md and Omega are the run's.
TEST_P(DqCli, CsvHoldsTheModelsRunBitForBit)
{
    const auto& [file, load, steps, profile] = GetParam();
    const Outcome outcome = RunCli("step " + std::string(load) + " --settings " + Example(file) + " --set run.steps=" +
                                   steps + " --set step.profile=" + profile + " --csv - --time");
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    Settings settings = ExperimentFile::Load(Example(file), {});
    SetSettingText(settings, "run.steps", steps);
    SetSettingText(settings, "step.profile", profile);
    const std::string loadText = *load ? load : std::to_string(settings.step.load.value_or(0));
    const RunResult run = RunExperiment({RunKind::Step, settings, loadText, {}});
    ASSERT_EQ(run.outcome, RunOutcome::Done);
    const std::vector<std::vector<double>> rows = Rows(outcome.out, "step,t,Md,Omega,Is,ia");
    ASSERT_EQ(rows.size(), run.Of(Quantity::Md).Size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 6u);
        ASSERT_EQ(rows[i][0], static_cast<double>(i));
        std::size_t column = 2;
        for (const Quantity quantity : kDqQuantities)
            ASSERT_EQ(Bits(rows[i][column++]), Bits(run.Of(quantity).Values()[i])) << QuantityName(quantity) << " at " << i;
    }
    const auto largest = [&](Quantity quantity) {
        const std::span<const double> values = run.Of(quantity).Values();
        return toolkit::FloatToStr(std::max(0.0, *std::max_element(values.begin(), values.end())));
    };
    EXPECT_EQ(outcome.err, "Max M " + largest(Quantity::Md) + "\nMax Omega " + largest(Quantity::Omega) + '\n');
}

INSTANTIATE_TEST_SUITE_P(Machines, DqCli,
                         testing::Values(DqRunCase{"modelica-squirrel-cage.toml", "", "15000", "fan"},
                                         DqRunCase{"krause-3hp.toml", "5", "3000", "step"},
                                         DqRunCase{"krause-3hp.toml", "5", "3000", "ramp"}));

// Statistics and step characteristics cover every quantity the run has,
// in the quantities' order, and name them.
TEST(DqCliMeasurements, CoverEveryQuantity)
{
    const Outcome stats = RunCli("gauss --seed 4 --set model.kind=dq --stats -");
    ASSERT_EQ(stats.status, 0) << stats.err;
    std::istringstream lines(stats.out);
    std::string line;
    std::vector<std::string> names;
    for (std::getline(lines, line); std::getline(lines, line);)
        names.push_back(line.substr(0, line.find(',')));
    EXPECT_EQ(names, (std::vector<std::string>{"Md", "Omega", "Is", "ia"}));
    const Outcome metrics = RunCli("step 10 --set model.kind=dq --metrics -");
    ASSERT_EQ(metrics.status, 0) << metrics.err;
    for (const char* row : {"\nMd,on,", "\nOmega,on,", "\nIs,on,", "\nia,on,", "\nMd,off,", "\nia,off,"})
        EXPECT_NE(metrics.out.find(row), std::string::npos) << row;
}

// A load above run.limit is refused for the d-q model as for the other.
TEST(DqCliMeasurements, RefusesALoadAboveTheLimit)
{
    const Outcome outcome = RunCli("step 31 --set model.kind=dq --stats -");
    EXPECT_EQ(outcome.status, 3);
    EXPECT_EQ(outcome.out, "");
    EXPECT_NE(outcome.err.find("Invalid load: Mc must not exceed 30"), std::string::npos) << outcome.err;
}

// The Modelica machine's curve: its breakdown torque is the largest of the
// motoring side's, each row's slip is its speed's, and its fan meets it at
// the documented nominal point within the 0.1 % the documentation gives.
TEST(DqCliCharacteristic, BreakdownAndNominalPointOfTheModelicaMachine)
{
    const Outcome outcome = RunCli("characteristic --settings " + Example("modelica-squirrel-cage.toml"));
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const std::vector<std::vector<double>> rows = Rows(outcome.out, "Omega,Md,slip,Is,cos_phi");
    ASSERT_EQ(rows.size(), 1001u);
    const double synchronous = std::numbers::pi * 50;
    double largest = 0;
    for (const std::vector<double>& row : rows) {
        EXPECT_NEAR(row[2], 1 - row[0] / synchronous, 1e-15) << row[0];
        if (row[2] > 0 && row[2] <= 1)
            largest = std::max(largest, row[1]);
    }
    double Omega = 0, Md = 0, slip = 0, speed = 0, torque = 0;
    ASSERT_EQ(std::sscanf(outcome.err.c_str(), "Breakdown point: Omega %lf Md %lf slip %lf\nOperating point: Omega %lf Md %lf",
                          &Omega, &Md, &slip, &speed, &torque),
              5)
        << outcome.err;
    EXPECT_GE(Md, largest);
    // The curve's 1001 speeds lie 0.4 rad/s apart; near its peak the
    // torque is flat to 1e-4 over that.
    EXPECT_LT(Md - largest, 1e-4 * Md);
    EXPECT_EQ(Omega, (1 - slip) * synchronous);
    const double nominal = machines::kModelica.nominalRpm * std::numbers::pi / 30;
    EXPECT_NEAR(speed, nominal, 1e-3 * nominal);
    EXPECT_NEAR(torque, machines::kModelica.nominalMd, 1e-3 * machines::kModelica.nominalMd);
}

// A setting of the other model is refused on the command line as in a
// file, whichever --set names model.kind.
TEST(DqCliSettings, AnotherModelsSettingIsRefused)
{
    struct Refusal {
        const char* arguments;
        int status;
        const char* err;
    };
    for (const auto& [arguments, status, err] : {
             Refusal{"settings --set model.U=230", 2,
                  "motormodel-cli: model.U is a setting of the d-q model, not of the three-state model that "
                  "model.kind \"three-state\" chooses\n"},
             Refusal{"settings --set model.kind=dq --set model.Mk=25.25", 2,
                  "motormodel-cli: model.Mk is a setting of the three-state model, not of the d-q model that "
                  "model.kind \"dq\" chooses\n"},
             Refusal{"settings --set model.U=230 --set model.kind=dq", 0, ""},
             Refusal{"sweep model.Rs=0.1,0.2 step 10 --csv /dev/null", 2,
                  "motormodel-cli: model.Rs is a setting of the d-q model"},
             Refusal{"sweep model.kind=three-state,dq step 10", 2,
                     "motormodel-cli: a sweep cannot change model.kind"},
         }) {
        const Outcome outcome = RunCli(arguments);
        EXPECT_EQ(outcome.status, status) << arguments;
        EXPECT_EQ(outcome.err.substr(0, std::string_view(err).size()), err) << arguments;
    }
}

// The settings of a d-q model print as a file that names the model and
// holds its settings and the shared ones, not the three-state model's, and
// reads back to the same settings.
TEST(DqCliSettings, PrintAsAFileThatReadsBack)
{
    const Outcome outcome = RunCli("settings --settings " + Example("krause-2250hp.toml"));
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.out.find("kind = \"dq\"\n"), std::string::npos);
    EXPECT_EQ(outcome.out.find("Mk ="), std::string::npos);
    EXPECT_EQ(outcome.out.find("sk ="), std::string::npos);
    EXPECT_EQ(ExperimentFile::Parse(outcome.out, "printed.toml", {}),
              ExperimentFile::Load(Example("krause-2250hp.toml"), {}));
}

} // namespace
