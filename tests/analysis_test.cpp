#include "analysis/AnalysisCsv.h"
#include "experiments/Experiments.h"
#include "experiments/Experiments.h"
#include "model/MotorModel.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

using namespace analysis;

// Values from a step on, given to the measurements as a trace's points.
struct SampledPoints {
    std::vector<double> values;
    Step first;
    operator TracePoints() const { return {values, static_cast<std::size_t>(first)}; }
};

SampledPoints Sampled(Step first, Step count, const std::function<double(double)>& y)
{
    SampledPoints points{{}, first};
    for (Step s = 0; s < count; ++s)
        points.values.push_back(y(static_cast<double>(s)));
    return points;
}

SampledPoints Listed(const std::vector<double>& ys)
{
    return Sampled(0, static_cast<Step>(ys.size()),
                   [&](double s) { return ys[static_cast<std::size_t>(s)]; });
}

Step Ceil(long double steps) { return static_cast<Step>(std::ceil(steps)); }

class FirstOrderRise : public testing::TestWithParam<std::pair<double, Step>> {};

// y = 1 - exp(-s / tau) reaches r >= 0.1 at tau ln(10/9), r >= 0.632 at
// tau ln(1/0.368), about one time constant, and r >= 0.9 at tau ln 10, ln 9
// time constants after the first, and leaves the 2% band at tau ln 50; the
// steps are the first whole steps past these, and the time constant counts
// the step that reached it. No tau in the table puts one within rounding of
// a whole step.
TEST_P(FirstOrderRise, TakesLn9TimeConstantsToRise)
{
    const auto [tau, start] = GetParam();
    const Step length = Ceil(40 * tau);
    const auto points = Sampled(start, length, [&](double s) { return 1 - std::exp(-s / tau); });
    const StepCharacteristics c = CharacterizeStep(points, {start, start + length - 1}, 0);
    ASSERT_EQ(c.final, 1.0) << "the signal must settle to the last bit";
    const long double t = tau;
    EXPECT_EQ(c.riseSteps, Ceil(t * std::log(10.0L)) - Ceil(t * std::log(10.0L / 9)));
    EXPECT_LT(std::fabs(static_cast<double>(*c.riseSteps) - tau * std::log(9.0)), 1.0);
    EXPECT_EQ(c.settlingSteps, Ceil(t * std::log(50.0L)));
    EXPECT_EQ(c.timeConstantSteps, Ceil(t * -std::log(0.368L)) + 1);
    EXPECT_EQ(Bits(*c.overshootPercent), Bits(0.0));
    EXPECT_EQ(Bits(*c.undershootPercent), Bits(0.0)) << "-0 would read as \"-0\"";
}

INSTANTIATE_TEST_SUITE_P(TimeConstantsAndStarts, FirstOrderRise,
                         testing::Values(std::pair{3.3, 0}, std::pair{7.5, 1000}, std::pair{40.0, 0},
                                         std::pair{123.4, 17}, std::pair{250.0, 1000}));

struct SecondOrder {
    double zeta;
    double initial;
    double amplitude; // negative for a falling step
};

class SecondOrderStep : public testing::TestWithParam<SecondOrder> {};

// The underdamped unit response 1 - exp(-zeta wn t) (cos wd t + zeta /
// sqrt(1 - zeta^2) sin wd t) peaks at t = pi / wd, here step 100, at 1 +
// exp(-zeta pi / sqrt(1 - zeta^2)). The samples are rounded to a few units
// in the last place, which the percentage scales by 100.
TEST_P(SecondOrderStep, OvershootFollowsTheDampingRatio)
{
    const auto [zeta, initial, amplitude] = GetParam();
    const double damped = std::sqrt(1 - zeta * zeta);
    const double wd = std::numbers::pi / 100;
    const auto points = Sampled(0, 20000, [&](double t) {
        return initial + amplitude * (1 - std::exp(-zeta * wd / damped * t) *
                                              (std::cos(wd * t) + zeta / damped * std::sin(wd * t)));
    });
    const StepCharacteristics c = CharacterizeStep(points, {0, 19999}, initial);
    ASSERT_EQ(c.final, initial + amplitude);
    EXPECT_NEAR(*c.overshootPercent, 100 * std::exp(-zeta * std::numbers::pi / damped), 1e-11);
    EXPECT_EQ(amplitude > 0 ? c.peakStep : c.troughStep, 100);
    EXPECT_EQ(*c.undershootPercent, 0.0);
}

INSTANTIATE_TEST_SUITE_P(DampingRatios, SecondOrderStep,
                         testing::Values(SecondOrder{0.2, 0, 1}, SecondOrder{0.7, 0, 1}, SecondOrder{0.3, 5, -2},
                                         SecondOrder{0.6, -1, -0.5}));

struct HandCase {
    const char* name;
    std::vector<double> ys; // at steps 0, 1, ...
    StepRange segment;
    StepCharacteristics expected; // its initial value is the step's
};

void PrintTo(const HandCase& c, std::ostream* out) { *out << c.name; }

class HandWorkedStep : public testing::TestWithParam<HandCase> {};

TEST_P(HandWorkedStep, MatchesTheDefinitions)
{
    const HandCase& h = GetParam();
    EXPECT_EQ(CharacterizeStep(Listed(h.ys), h.segment, h.expected.initial, h.expected.rest), h.expected);
}

constexpr std::nullopt_t kUndefined = std::nullopt;

// Expected: initial, final, delta; peak and its step, trough and its step;
// rise, settling, overshoot, undershoot, time constant; the rest given and
// whether the end settled at it.
INSTANTIATE_TEST_SUITE_P(
    Signals, HandWorkedStep,
    testing::Values(
        HandCase{"constant, no step", {2, 2, 2}, {0, 2},
                 {2, 2, 0, 2, 0, 2, 0, kUndefined, kUndefined, kUndefined, kUndefined}},
        HandCase{"constant after a step", {2, 2, 2}, {0, 2}, {0, 2, 2, 2, 0, 2, 0, 0, 0, 0.0, 0.0, 1}},
        HandCase{"single point", {3}, {0, 0}, {1, 3, 2, 3, 0, 3, 0, 0, 0, 0.0, 0.0, 1}},
        HandCase{"falling step", {10, 6, 2, 1, 1}, {0, 4}, {10, 1, -9, 10, 0, 1, 3, 2, 3, 0.0, 0.0, 3}},
        HandCase{"pulse that returns: no threshold reached", {0, 5, 0}, {0, 2},
                 {0, 0, 0, 5, 1, 0, 0, kUndefined, kUndefined, kUndefined, kUndefined}},
        HandCase{"dips, then overshoots", {0, -0.25, 0.5, 1.25, 1}, {0, 4},
                 {0, 1, 1, 1.25, 3, -0.25, 1, 1, 4, 25.0, 25.0, 4}},
        HandCase{"ends 14 % past its rest: not settled, no settling time", {0, 8, 11, 11.4}, {0, 3},
                 {0, 11.4, 11.4, 11.4, 3, 0, 0, 1, kUndefined, 0.0, 0.0, 2, 10, false}},
        HandCase{"ends within 2 % of its rest", {0, 8, 10.1, 10.1}, {0, 3},
                 {0, 10.1, 10.1, 10.1, 2, 0, 0, 1, 2, 0.0, 0.0, 2, 10, true}},
        HandCase{"a rest at the start: within 2 % of the departure", {0, 4, 0.05}, {0, 2},
                 {0, 0.05, 0.05, 4, 1, 0, 0, 0, 2, 7900.0, 0.0, 2, 0, true}},
        HandCase{"a rest at the start: past 2 % of the departure", {0, 4, 0.1}, {0, 2},
                 {0, 0.1, 0.1, 4, 1, 0, 0, 0, kUndefined, 3900.0, 0.0, 2, 0, false}}));

TEST(StepCharacteristics, NeedPointsAndAWholeRun)
{
    EXPECT_THROW(CharacterizeStep(Listed({1, 2}), {5, 9}, 0), std::invalid_argument);
    const RunResult overflowed = RunExperiment({RunKind::Step, {}, "-1000", {}});
    EXPECT_EQ(overflowed.outcome, RunOutcome::Failed) << "the run overflows part way";
    EXPECT_THROW(CharacterizeStepResponse(overflowed), std::invalid_argument);
}

// A pin holds one trace of a run: its rows are that trace's rows of the
// run's, whatever the schedule.
TEST(StepCharacteristics, OfOneTraceAreItsRowsOfTheWholeRun)
{
    for (const auto& [on, off] : {std::pair<std::int64_t, std::int64_t>{0, 1000}, {300, 2000}, {500, 1500}}) {
        Settings settings;
        settings.step.on = on;
        settings.step.off = off;
        const RunResult run = RunExperiment({RunKind::Step, settings, "20", {}});
        const LoadSchedule schedule = StepLoadSchedule(settings);
        const StepResponseRests rests = RestsOf(run.Origin());
        std::vector<analysis::CharacteristicsRow> rows =
            CharacterizeStepTrace(run.Of(Quantity::Md), Quantity::Md, schedule, rests);
        const std::vector<analysis::CharacteristicsRow> omega =
            CharacterizeStepTrace(run.Of(Quantity::Omega), Quantity::Omega, schedule, rests);
        rows.insert(rows.end(), omega.begin(), omega.end());
        const std::vector<analysis::CharacteristicsRow> whole = CharacterizeStepResponse(run);
        ASSERT_EQ(rows.size(), whole.size());
        EXPECT_EQ(rows.size(), off < 2000 ? 4u : 2u) << "a segment each while the load acts and after";
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_TRUE(rows[i].quantity == whole[i].quantity && rows[i].segment == whole[i].segment &&
                        rows[i].values == whole[i].values)
                << on << ".." << off << " row " << i;
    }
}

// Expected: count, min and its step, max and its step, mean, rms, std.
TEST(Statistics, MatchTheDefinitions)
{
    EXPECT_EQ(ComputeStatistics(Listed({9, 9, -1, 7, 9}), {2, 3}),
              (SignalStatistics{2, -1, 2, 7, 3, 3, 5, 4}));
    EXPECT_EQ(ComputeStatistics(Listed({2, 1, 1, 2}), {0, 3}),
              (SignalStatistics{4, 1, 1, 2, 0, 1.5, std::sqrt(2.5), 0.5}));
    // 2^53 + 1 is exact in extended precision; summed in double the ones are
    // lost and the mean is 0. The sums of squares drop them either way.
    EXPECT_EQ(ComputeStatistics(Listed({0x1p53, 1, 1, -0x1p53}), {0, 3}),
              (SignalStatistics{4, -0x1p53, 3, 0x1p53, 0, 0.5, std::sqrt(0x1p105), std::sqrt(0x1p105)}));
    EXPECT_EQ(ComputeStatistics(Listed({1, 2}), {3, 9}), std::nullopt);
}

TEST(StepRange, WholeStepsWithinTheShownStepsReachNoFartherThanDoublesCountSteps)
{
    using analysis::StepRange;
    EXPECT_EQ(analysis::WholeStepsWithin({0, 1999}), (StepRange{0, 1999}));
    EXPECT_EQ(analysis::WholeStepsWithin({100.5, 300.2}), (StepRange{101, 300}));
    EXPECT_EQ(analysis::WholeStepsWithin({1975.2, 1975.8}), std::nullopt);
    EXPECT_EQ(analysis::WholeStepsWithin({-1e249, 1e249}), (StepRange{-(std::int64_t{1} << 53), std::int64_t{1} << 53}));
}

TEST(AnalysisCsv, UndefinedValuesAreEmptyCells)
{
    const std::vector<CharacteristicsRow> constant{{Quantity::Md, Segment::On, CharacterizeStep(Listed({2, 2}), {0, 1}, 2)}};
    EXPECT_EQ(CharacteristicsCsv(constant).substr(CharacteristicsCsv({}).size()), "Md,on,2,2,2,0,2,0,,,,,,2,,\n");
    const std::vector<StatisticsRow> noPoints{{"Md", {5, 6}, std::nullopt}};
    EXPECT_EQ(StatisticsCsv(noPoints).substr(StatisticsCsv({}).size()), "Md,5,6,0,,,,,,,\n");
}

// A segment that has not settled leaves its final value and settling time
// empty and gives its end; times of states count the step that made them,
// lengths do not. The Russian style changes separators and marks alone.
TEST(AnalysisCsv, AnUnsettledSegmentGivesItsEndAndTimesFollowTheSteps)
{
    const std::vector<CharacteristicsRow> rows{
        {Quantity::Omega, Segment::Off, CharacterizeStep(Listed({0, 8, 11, 11.5}), {0, 3}, 0, 10)},
        {Quantity::Md, Segment::On, CharacterizeStep(Listed({0, 8, 10.1, 10.1}), {0, 3}, 0, 10)}};
    auto body = [&rows](CsvStyle style) {
        const std::string csv = CharacteristicsCsv(rows, style, 0.001);
        return csv.substr(csv.find('\n') + 1);
    };
    EXPECT_EQ(body(kPlainCsv), "Omega,off,0,,11.5,3,0,0,1,,0,0,2,11.5,10,no,0.004,0.001,0.001,,0.002\n"
                               "Md,on,0,10.1,10.1,2,0,0,1,2,0,0,2,10.1,10,yes,0.003,0.001,0.001,0.002,0.002\n");
    EXPECT_EQ(body(kRussianCsv), "Omega;off;0;;11,5;3;0;0;1;;0;0;2;11,5;10;no;0,004;0,001;0,001;;0,002\n"
                                 "Md;on;0;10,1;10,1;2;0;0;1;2;0;0;2;10,1;10;yes;0,003;0,001;0,001;0,002;0,002\n");
    EXPECT_EQ(CharacteristicsCsv({}, kRussianCsv, 0.001).find(','), std::string::npos);
}

} // namespace
