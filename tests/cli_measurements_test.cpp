// The batch tool's measurements, times and static characteristic, against
// the definitions applied by hand to runs made here.

#include "analysis/MechanicalCharacteristic.h"
#include "experiments/Experiments.h"
#include "model/MotorModel.h"
#include "toolkit/Conversions.h"

#include "CliProcess.h"
#include "ExactValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

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

} // namespace
