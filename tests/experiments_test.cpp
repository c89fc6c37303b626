#include "experiments/Experiments.h"
#include "model/MotorModel.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

namespace {

RunResult Step(const std::string& load, const Settings& settings = {})
{
    return RunExperiment({RunKind::Step, settings, load, {}});
}

// Both traces hold one point per step from 0, as many as given.
void ExpectSteps(const RunResult& run, std::size_t count)
{
    for (Quantity quantity : kQuantities) {
        const auto& points = run.Of(quantity).Points();
        ASSERT_EQ(points.size(), count) << QuantityName(quantity);
        for (std::size_t i = 0; i < count; ++i)
            ASSERT_EQ(points[i].x, static_cast<double>(i));
    }
}

class StepResponseMaxima : public testing::TestWithParam<StepMaxima> {};

TEST_P(StepResponseMaxima, AreExactAndTheRunIsComplete)
{
    const RunResult run = Step(std::string(GetParam().load));
    EXPECT_EQ(run.outcome, RunOutcome::Done);
    EXPECT_EQ(toolkit::FloatToStr(run.mdMax), GetParam().md);
    EXPECT_EQ(toolkit::FloatToStr(run.omegaMax), GetParam().omega);
    ExpectSteps(run, 2000);
}

INSTANTIATE_TEST_SUITE_P(Loads, StepResponseMaxima, testing::ValuesIn(kStepMaxima));

TEST(StepResponse, PointsCarryTheirColoursAndStartAtRest)
{
    const RunResult run = Step("20");
    const TracePoint firstMd = run.Of(Quantity::Md).Points().front();
    const TracePoint firstOmega = run.Of(Quantity::Omega).Points().front();
    EXPECT_EQ(firstMd.y, 0.0);
    EXPECT_EQ(run.Of(Quantity::Md).PointColour(), clYellow);
    EXPECT_EQ(firstOmega.y, -20 * 0.001 / 0.0172);
    EXPECT_EQ(run.Of(Quantity::Omega).PointColour(), clGray);
    EXPECT_EQ(run.Of(Quantity::Md).LineColour(), clFuchsia);
    EXPECT_EQ(run.Of(Quantity::Omega).LineColour(), clOrange);
    // With Mc = 30 the motor turns backwards by the time the load goes.
    const RunResult loadOf30 = Step("30");
    const auto& omega = loadOf30.Of(Quantity::Omega).Points();
    EXPECT_LT(omega[999].y, -24.0);
    EXPECT_GT(omega[999].y, -24.2);
}

TEST(StepResponse, RefusedLoadMakesNoStepAndHasZeroMaxima)
{
    const RunResult run = Step("31");
    EXPECT_EQ(run.outcome, RunOutcome::Refused);
    EXPECT_EQ(run.load, 31);
    EXPECT_EQ(toolkit::FloatToStr(run.mdMax), "0");
    EXPECT_EQ(toolkit::FloatToStr(run.omegaMax), "0");
    ExpectSteps(run, 0);
    EXPECT_EQ(run.model.K, 0.0) << "the model is reset before the load is checked";
    EXPECT_EQ(run.model.KPrev, 2 * 25.25);
}

class StepResponseBadText : public testing::TestWithParam<std::string> {};

TEST_P(StepResponseBadText, FailsBeforeAnyStep)
{
    const RunResult run = Step(GetParam());
    EXPECT_EQ(run.outcome, RunOutcome::Failed);
    EXPECT_THROW(std::rethrow_exception(run.error), toolkit::EConvertError);
    EXPECT_FALSE(run.load);
    ExpectSteps(run, 0);
}

INSTANTIATE_TEST_SUITE_P(Texts, StepResponseBadText, testing::Values("", "abc", "2.5", "2147483648", "1e3"));

struct Overflow {
    std::int32_t load;
    std::size_t pointsKept;
};

void PrintTo(const Overflow& o, std::ostream* out) { *out << "load " << o.load; }

class StepResponseOverflow : public testing::TestWithParam<Overflow> {};

TEST_P(StepResponseOverflow, StopsAtTheFirstValueADoubleCannotHold)
{
    const RunResult run = Step(std::to_string(GetParam().load));
    EXPECT_EQ(run.outcome, RunOutcome::Failed);
    EXPECT_THROW(std::rethrow_exception(run.error), toolkit::EOverflow);
    ExpectSteps(run, GetParam().pointsKept);
    for (Quantity quantity : kQuantities)
        for (const TracePoint& point : run.Of(quantity).Points())
            ASSERT_TRUE(std::isfinite(point.y));
}

INSTANTIATE_TEST_SUITE_P(FarNegativeLoads, StepResponseOverflow,
                         testing::Values(Overflow{-579, 306}, Overflow{-600, 223}, Overflow{-700, 116},
                                         Overflow{-1000, 56}, Overflow{INT32_MIN, 9}));

TEST(StepResponse, LargestLoadThatStaysFiniteRunsToTheEnd)
{
    const RunResult run = Step("-578");
    EXPECT_EQ(run.outcome, RunOutcome::Done);
    ExpectSteps(run, 2000);
    for (Quantity quantity : kQuantities)
        for (const TracePoint& point : run.Of(quantity).Points())
            ASSERT_TRUE(std::isfinite(point.y));
}

TEST(StepResponse, NeitherDrawsNorDependsOnTheRandomSources)
{
    RandomSources drawn;
    GaussianLoad(drawn.normal);
    UniformLoad(drawn.integer);
    const RunResult fresh = Step("-5");
    const RunResult afterDraws = RunExperiment({RunKind::Step, {}, "-5", drawn});
    for (Quantity quantity : kQuantities)
        for (std::size_t i = 0; i < 2000; ++i)
            ASSERT_EQ(fresh.Of(quantity).Points()[i].y, afterDraws.Of(quantity).Points()[i].y);
    RandomSources back = afterDraws.sources;
    EXPECT_EQ(UniformLoad(drawn.integer), UniformLoad(back.integer)) << "the sources come back as they went";
}

struct RandomRun {
    RunKind kind;
    Colour mdColour;
    Colour omegaColour;
};

void PrintTo(const RandomRun& r, std::ostream* out) { *out << RunOf(r.kind).name; }

class RandomLoadRun : public testing::TestWithParam<RandomRun> {};

TEST_P(RandomLoadRun, FollowsTheLoadsWithTheRunsColours)
{
    const RandomRun& random = GetParam();
    const RunResult run = RunExperiment({random.kind, {}, "", {}});
    EXPECT_EQ(run.outcome, RunOutcome::Done);
    ExpectSteps(run, 2000);
    EXPECT_EQ(run.Of(Quantity::Md).PointColour(), random.mdColour);
    EXPECT_EQ(run.Of(Quantity::Omega).PointColour(), random.omegaColour);

    // Loads between 12 and 18, or about 15 on average: Md settles near the
    // load and Omega well below synchronous speed.
    const auto& md = run.Of(Quantity::Md).Points();
    const auto& omega = run.Of(Quantity::Omega).Points();
    EXPECT_EQ(md[0].y, 0.0);
    EXPECT_GT(md.back().y, 12.0);
    EXPECT_LT(md.back().y, 18.0);
    EXPECT_LT(omega[2].y, -1.0);
    EXPECT_GT(omega.back().y, 40.0);
    EXPECT_LT(omega.back().y, 70.0);
}

// Successive runs continue the sources' sequence, so a run handed the
// sources a run gave back draws anew, and the same sources draw the same.
TEST_P(RandomLoadRun, SuccessiveRunsContinueTheSequence)
{
    const RunKind kind = GetParam().kind;
    const RunResult first = RunExperiment({kind, {}, "", {}});
    const RunResult again = RunExperiment({kind, {}, "", {}});
    const RunResult next = RunExperiment({kind, {}, "", first.sources});
    EXPECT_EQ(first.Of(Quantity::Omega).Points().back().y, again.Of(Quantity::Omega).Points().back().y);
    EXPECT_NE(first.Of(Quantity::Omega).Points().back().y, next.Of(Quantity::Omega).Points().back().y);
}

INSTANTIATE_TEST_SUITE_P(Runs, RandomLoadRun,
                         testing::Values(RandomRun{RunKind::Gauss, clGreen, clRed},
                                         RandomRun{RunKind::Uniform, clBlue, clBlack}),
                         [](const auto& test) { return std::string(RunOf(test.param.kind).name); });

// A run as each step spells it out: the step, for a step response its
// maxima, then Md's append and Omega's, every rounding to double raising
// at a value a double cannot hold.
struct PlainRun {
    std::vector<double> md;
    std::vector<double> omega;
    double mdMax = 0;
    double omegaMax = 0;
    bool overflowed = false;
};

PlainRun RunPlainly(RunKind kind, const Settings& settings, std::int32_t load)
{
    PlainRun run;
    MotorModel model{};
    model.Reset(settings.model);
    RandomSources sources;
    try {
        for (std::int64_t i = 0; i < settings.run.steps; ++i) {
            if (kind == RunKind::Gauss) {
                model.Step(GaussianLoad(sources.normal, settings.gauss));
            } else {
                const double omega = static_cast<double>(model.Omega);
                model.Step(StepLoad(settings.step, settings.LoadOff(), load, i, omega));
                if (model.Md > run.mdMax)
                    run.mdMax = toolkit::ToDouble(model.Md);
                if (model.Omega > run.omegaMax)
                    run.omegaMax = toolkit::ToDouble(model.Omega);
            }
            run.md.push_back(toolkit::ToDouble(model.Md));
            run.omega.push_back(toolkit::ToDouble(model.Omega));
        }
    } catch (const toolkit::EOverflow&) {
        run.overflowed = true;
    }
    return run;
}

std::vector<double> ValuesOf(const RunResult& run, Quantity quantity)
{
    const auto values = run.Of(quantity).Values();
    return {values.begin(), values.end()};
}

struct PlainCase {
    const char* name;
    RunKind kind;
    std::int32_t load;
    Settings settings;
    bool overflows = false;
};

void PrintTo(const PlainCase& c, std::ostream* out) { *out << c.name; }

Settings With(void (*change)(Settings&))
{
    Settings settings;
    settings.run.limit = INT32_MAX;
    change(settings);
    return settings;
}

// Short stretches, so that every row crosses many of them.
constexpr std::int64_t kStretch = 64;

const PlainCase kPlainCases[] = {
    {"default", RunKind::Step, 10, {}},
    {"ramp_across_stretches", RunKind::Step, 20, With([](Settings& s) {
         s.run.steps = 2 * kStretch + 7;
         s.step.profile = LoadProfile::Ramp;
         s.step.on = 5;
         s.step.off = kStretch + 3;
         s.step.ramp = 100;
     })},
    {"fan", RunKind::Step, 5, With([](Settings& s) {
         s.step.profile = LoadProfile::Fan;
         s.step.k = 0.0004;
     })},
    {"periodic", RunKind::Step, 5, With([](Settings& s) {
         s.step.profile = LoadProfile::Periodic;
         s.step.amplitude = 3;
         s.step.period = 250;
     })},
    {"md_overflows", RunKind::Step, -1000, {}, true},
    {"md_overflows_in_a_later_stretch", RunKind::Step, -1000, With([](Settings& s) {
         s.run.steps = 4 * kStretch;
         s.step.on = 2 * kStretch + 1;
     }), true},
    // With next to no inertia Omega leaves the double range a step before
    // Md: upwards it fails at its maximum, before Md's append.
    {"omega_overflows_upwards", RunKind::Step, 10, With([](Settings& s) { s.model.J = 1e-300; }), true},
    {"omega_overflows_downwards", RunKind::Step, -10, With([](Settings& s) { s.model.J = 1e-300; }), true},
    {"gauss_omega_overflows", RunKind::Gauss, 0, With([](Settings& s) { s.model.J = 1e-300; }), true},
};

class RunAgainstPlainSteps : public testing::TestWithParam<PlainCase> {};

TEST_P(RunAgainstPlainSteps, KeepsTheSameValuesMaximaAndEnd)
{
    const PlainCase& c = GetParam();
    const PlainRun plain = RunPlainly(c.kind, c.settings, c.load);
    ASSERT_EQ(plain.overflowed, c.overflows);
    const RunResult run = RunExperiment({c.kind, c.settings, std::to_string(c.load), {}}, {nullptr, nullptr, kStretch});
    EXPECT_EQ(run.outcome, plain.overflowed ? RunOutcome::Failed : RunOutcome::Done);

    EXPECT_EQ(ValuesOf(run, Quantity::Md), plain.md);
    EXPECT_EQ(ValuesOf(run, Quantity::Omega), plain.omega);
    if (c.kind == RunKind::Step && !plain.overflowed) {
        EXPECT_EQ(run.mdMax, plain.mdMax);
        EXPECT_EQ(run.omegaMax, plain.omegaMax);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RunAgainstPlainSteps, testing::ValuesIn(kPlainCases),
                         [](const auto& test) { return std::string(test.param.name); });

// Progress is told after each whole stretch but the last; a stretch below
// one step is one step.
TEST(RunControl, ReportsProgressBetweenStretchesAndStopsWhenAsked)
{
    constexpr std::int64_t kDefault = RunControl::kProgressSteps;
    const struct {
        std::int64_t stretch;
        std::int64_t steps;
        std::vector<std::int64_t> reports;
    } cases[] = {
        {kDefault, 3 * kDefault + 5, {kDefault, 2 * kDefault, 3 * kDefault}},
        {1000, 3000, {1000, 2000}},
        {0, 3, {1, 2}},
    };
    for (const auto& c : cases) {
        Settings settings;
        settings.run.steps = c.steps;
        std::vector<std::int64_t> reported;
        const RunResult run = RunExperiment({RunKind::Step, settings, "10", {}},
                                            {[&](std::int64_t steps) { reported.push_back(steps); }, nullptr, c.stretch});
        EXPECT_EQ(run.outcome, RunOutcome::Done) << c.stretch;
        EXPECT_EQ(reported, c.reports) << "stretch " << c.stretch << ", " << c.steps << " steps";
    }

    Settings settings;
    settings.run.steps = 3 * kDefault;
    std::atomic<bool> cancel = false;
    const RunResult stopped = RunExperiment({RunKind::Gauss, settings, "", {}}, {[&](std::int64_t) { cancel = true; }, &cancel});
    EXPECT_EQ(stopped.outcome, RunOutcome::Cancelled);

    settings.run.steps = 2000;
    const RunResult shortRun = RunExperiment({RunKind::Step, settings, "10", {}}, {nullptr, &cancel});
    EXPECT_EQ(shortRun.outcome, RunOutcome::Done) << "a short run never looks at the control";
}

} // namespace
