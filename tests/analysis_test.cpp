#include "analysis/AnalysisCsv.h"
#include "experiments/ExperimentFile.h"
#include "experiments/Experiments.h"
#include "model/MotorModel.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <algorithm>
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
        HandCase{"ends 14 % past its rest: not settled, no figures of a change ended", {0, 8, 11, 11.4}, {0, 3},
                 {0, 11.4, 11.4, 11.4, 3, 0, 0, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, 10, false}},
        HandCase{"ends within 2 % of its rest", {0, 8, 10.1, 10.1}, {0, 3},
                 {0, 10.1, 10.1, 10.1, 2, 0, 0, 1, 2, 0.0, 0.0, 2, 10, true}},
        HandCase{"a rest at the start: settled, but a change within 2 % of the swing", {0, 4, 0.05}, {0, 2},
                 {0, 0.05, 0.05, 4, 1, 0, 0, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, 0, true}},
        HandCase{"a rest at the start: past 2 % of the departure", {0, 4, 0.1}, {0, 2},
                 {0, 0.1, 0.1, 4, 1, 0, 0, kUndefined, kUndefined, kUndefined, kUndefined, kUndefined, 0, false}},
        HandCase{"a change just past 2 % of the swing, no rest to judge by", {0, 4, 0.1}, {0, 2},
                 {0, 0.1, 0.1, 4, 1, 0, 0, 0, 2, 3900.0, 0.0, 2}}));

TEST(StepCharacteristics, NeedPointsAndAWholeRun)
{
    EXPECT_THROW(CharacterizeStep(Listed({1, 2}), {5, 9}, 0), std::invalid_argument);
    const RunResult overflowed = RunExperiment({RunKind::Step, {}, "-1000", {}});
    EXPECT_EQ(overflowed.outcome, RunOutcome::Failed) << "the run overflows part way";
    EXPECT_THROW(CharacterizeStepResponse(overflowed), std::invalid_argument);
}

struct SegmentCase {
    LoadSchedule schedule;
    bool loadActs;
    std::vector<SegmentSteps> expected;
};

// A segment starts at each step where the load changes; before the first
// lies the run-up, and a load of nothing changes nowhere.
TEST(StepSegments, StartWhereTheLoadChanges)
{
    const SegmentCase cases[] = {
        {{0, 1000, 2000}, true, {{Segment::On, {0, 999}}, {Segment::Off, {1000, 1999}}}},
        {{500, 1500, 2000}, true, {{Segment::RunUp, {0, 499}}, {Segment::On, {500, 1499}}, {Segment::Off, {1500, 1999}}}},
        {{300, 2000, 2000}, true, {{Segment::RunUp, {0, 299}}, {Segment::On, {300, 1999}}}},
        {{0, 0, 2000}, true, {{Segment::RunUp, {0, 1999}}}},
        {{1000, 1000, 2000}, true, {{Segment::RunUp, {0, 1999}}}},
        {{0, 1000, 2000}, false, {{Segment::RunUp, {0, 1999}}}},
    };
    for (const SegmentCase& c : cases)
        EXPECT_EQ(StepSegments(c.schedule, c.loadActs), c.expected) << c.schedule.on << ".." << c.schedule.off;
}

struct RunCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> sets;
    const char* load;
    Quantity quantity;
    Segment segment;
    bool settled;
    bool measured; // rise, t63, settling, overshoot and undershoot defined
};

// The figures of a change that ended, on real runs: a pin's rows are its
// trace's rows of the whole run, and a figure is given only where the
// segment settled and changed by more than its swing's 2 % band.
TEST(StepCharacteristics, OfRealRunsAreGivenWhereTheChangeEnded)
{
    const RunCase cases[] = {
        {"default step of 10", {}, "10", Quantity::Omega, Segment::On, true, true},
        {"twice the inertia: not settled while the load acts", {{"model.J", "0.0688"}}, "10", Quantity::Omega,
         Segment::On, false, false},
        {"no load at all: Md returns to its start", {{"step.off", "0"}}, "10", Quantity::Md, Segment::RunUp, true, false},
        {"no load at all: Omega runs up", {{"step.on", "1000"}, {"step.off", "1000"}}, "10", Quantity::Omega,
         Segment::RunUp, true, true},
        {"a load of 0 is no change", {}, "0", Quantity::Omega, Segment::RunUp, true, true},
    };
    for (const RunCase& c : cases) {
        Settings settings;
        for (const auto& [name, value] : c.sets)
            SetSettingText(settings, name, value);
        const RunResult run = RunExperiment({RunKind::Step, settings, c.load, {}});
        const std::vector<CharacteristicsRow> whole = CharacterizeStepResponse(run);
        const std::vector<CharacteristicsRow> ofTrace = CharacterizeStepTrace(run.Of(c.quantity), c.quantity, run.Origin());
        const auto row = std::ranges::find_if(whole, [&](const CharacteristicsRow& r) {
            return r.quantity == c.quantity && r.segment == c.segment;
        });
        ASSERT_NE(row, whole.end()) << c.name;
        EXPECT_EQ(std::ranges::count(whole, c.quantity, &CharacteristicsRow::quantity), ofTrace.size()) << c.name;
        EXPECT_TRUE(std::ranges::any_of(ofTrace, [&](const CharacteristicsRow& r) {
            return r.segment == row->segment && r.values == row->values;
        })) << c.name;
        EXPECT_EQ(row->values.settled, c.settled) << c.name;
        const StepCharacteristics& v = row->values;
        for (bool defined : {v.riseSteps.has_value(), v.timeConstantSteps.has_value(), v.settlingSteps.has_value(),
                             v.overshootPercent.has_value(), v.undershootPercent.has_value()})
            EXPECT_EQ(defined, c.measured) << c.name;
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

// Samples at their own times, dt = 1 ms, so step k is taken at (k + 1) ms;
// each counts once whatever the spacing, and an empty one not at all.
// Expected: count, min and its time, max and its time, mean, rms, std.
TEST(SampleStatistics, MatchTheDefinitions)
{
    constexpr double dt = 0.001;
    const double empty = std::nan("");
    struct Case {
        const char* name;
        std::vector<double> seconds;
        std::vector<double> values;
        StepRange range;
        std::optional<SampleStatistics> expected;
    };
    const std::vector<Case> cases{
        {"unevenly spaced, an empty one passed over", {0.001, 0.002, 0.0035, 0.004, 0.0041}, {9, empty, -1, 7, 9},
         {1, 3}, SampleStatistics{2, -1, 0.0035, 7, 0.004, 3, 5, 4}},
        {"the first of equal extremes", {0.001, 0.002, 0.003, 0.004}, {2, 1, 1, 2}, {0, 3},
         SampleStatistics{4, 1, 0.002, 2, 0.001, 1.5, std::sqrt(2.5), 0.5}},
        // 1.001 s read back as a step is an ulp short of step 1000.
        {"taken at the time of the range's only step", {1.0, 1.001, 1.002}, {1, 2, 3}, {1000, 1000},
         SampleStatistics{1, 2, 1.001, 2, 1.001, 2, 2, 0}},
        {"none taken in the range", {0.001, 0.002}, {1, 2}, {3, 9}, std::nullopt},
        {"only empty ones in the range", {0.001, 0.002, 0.003}, {1, empty, 2}, {1, 1}, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ComputeSampleStatistics(c.seconds, c.values, c.range, dt), c.expected) << c.name;
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
    const std::vector<CharacteristicsRow> constant{{Quantity::Md, Segment::RunUp, CharacterizeStep(Listed({2, 2}), {0, 1}, 2)}};
    EXPECT_EQ(CharacteristicsCsv(constant).substr(CharacteristicsCsv({}).size()), "Md,run-up,2,2,2,0,2,0,,,,,,2,,\n");
    const std::vector<StatisticsRow> noPoints{{"Md", FiguresOf(StepRange{5, 6}, std::optional<SignalStatistics>())}};
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
    EXPECT_EQ(body(kPlainCsv), "Omega,off,0,,11.5,3,0,0,,,,,,11.5,10,no,0.004,0.001,,,\n"
                               "Md,on,0,10.1,10.1,2,0,0,1,2,0,0,2,10.1,10,yes,0.003,0.001,0.001,0.002,0.002\n");
    EXPECT_EQ(body(kRussianCsv),
              "Omega;off;0;;\"11,5\";3;0;0;;;;;;\"11,5\";10;no;\"0,004\";\"0,001\";;;\n"
              "Md;on;0;\"10,1\";\"10,1\";2;0;0;1;2;0;0;2;\"10,1\";10;yes;\"0,003\";\"0,001\";\"0,001\";\"0,002\";\"0,002\"\n");
    EXPECT_EQ(CharacteristicsCsv({}, kRussianCsv, 0.001).find(','), std::string::npos);
}

} // namespace
