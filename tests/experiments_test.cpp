#include "experiments/Experiments.h"
#include "experiments/RecordingHost.h"
#include "model/MotorModel.h"
#include "toolkit/Exception.h"
#include "toolkit/Random.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

namespace {

class StepResponseMaxima : public testing::TestWithParam<StepMaxima> {};

TEST_P(StepResponseMaxima, AreExactAndTheRunIsComplete)
{
    MotorModel model{};
    RecordingHost host(GetParam().load);
    RunStepResponse(model, host);
    EXPECT_EQ(host.MdMaxText(), GetParam().md);
    EXPECT_EQ(host.OmegaMaxText(), GetParam().omega);
    EXPECT_EQ(host.Progress(), 100);
    EXPECT_EQ(host.AlertCount(), 0);
    for (int series : {5, 6}) {
        const auto& points = host.Series(series).Points();
        ASSERT_EQ(points.size(), 2000u);
        for (int i = 0; i < 2000; ++i)
            ASSERT_EQ(points[static_cast<std::size_t>(i)].x, i);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Loads, StepResponseMaxima,
    testing::ValuesIn(kStepMaxima));

TEST(StepResponse, PointsCarryTheirColoursAndStartAtRest)
{
    MotorModel model{};
    RecordingHost host("20");
    RunStepResponse(model, host);
    const TracePoint& firstMd = host.Series(5).Points().front();
    const TracePoint& firstOmega = host.Series(6).Points().front();
    EXPECT_EQ(firstMd.y, 0.0);
    EXPECT_EQ(firstMd.colour, clYellow);
    EXPECT_EQ(host.Series(5).Label(firstMd), "");
    EXPECT_EQ(firstOmega.y, -20 * 0.001 / 0.0172);
    EXPECT_EQ(firstOmega.colour, clGray);
    // With Mc = 30 the motor turns backwards by the time the load goes.
    host.SetLoadText("30");
    RunStepResponse(model, host);
    EXPECT_LT(host.Series(6).Points()[999].y, -24.0);
    EXPECT_GT(host.Series(6).Points()[999].y, -24.2);
}

TEST(StepResponse, RefusedLoadShowsTheAlertAndWritesZeroLabels)
{
    MotorModel model{};
    RecordingHost host("31");
    host.Series(5).AppendPoint(0, 1, "", clYellow);
    model.Reset();
    model.Step(10);
    RunStepResponse(model, host);
    EXPECT_EQ(host.AlertCount(), 1);
    EXPECT_EQ(host.MdMaxText(), "0");
    EXPECT_EQ(host.OmegaMaxText(), "0");
    EXPECT_EQ(host.Progress(), 100);
    EXPECT_TRUE(host.Series(5).Points().empty());
    EXPECT_TRUE(host.Series(6).Points().empty());
    EXPECT_EQ(model.K, 0.0) << "the model is reset before the load is checked";

    RunStepResponse(model, host);
    EXPECT_EQ(host.AlertCount(), 2);
}

class StepResponseBadText : public testing::TestWithParam<std::string> {};

TEST_P(StepResponseBadText, LeavesLabelsAndModelAndEmptiesItsTraces)
{
    MotorModel model{};
    RecordingHost host("10");
    RunStepResponse(model, host);
    RunGaussianLoad(model, host);
    const MotorModel before = model;
    const auto gaussRevision = host.Series(1).Revision();

    host.SetLoadText(GetParam());
    EXPECT_THROW(RunStepResponse(model, host), toolkit::EConvertError);
    EXPECT_EQ(host.Progress(), 100);
    EXPECT_TRUE(host.Series(5).Points().empty());
    EXPECT_TRUE(host.Series(6).Points().empty());
    EXPECT_EQ(host.Series(1).Points().size(), 2000u);
    EXPECT_EQ(host.Series(1).Revision(), gaussRevision);
    EXPECT_EQ(host.MdMaxText(), StepMaximaOf("10").md);
    EXPECT_EQ(host.OmegaMaxText(), StepMaximaOf("10").omega);
    EXPECT_EQ(model.Md, before.Md);
    EXPECT_EQ(model.Omega, before.Omega);
    EXPECT_EQ(model.K, before.K);
    EXPECT_EQ(model.KPrev, before.KPrev);
}

INSTANTIATE_TEST_SUITE_P(Texts, StepResponseBadText,
                         testing::Values("", "abc", "2.5", "2147483648", "1e3"));

struct Overflow {
    std::int32_t load;
    std::size_t pointsKept;
};

void PrintTo(const Overflow& o, std::ostream* out) { *out << "load " << o.load; }

class StepResponseOverflow : public testing::TestWithParam<Overflow> {};

TEST_P(StepResponseOverflow, StopsAtTheFirstValueADoubleCannotHold)
{
    MotorModel model{};
    RecordingHost host(std::to_string(GetParam().load));
    host.SetMdMaxText("earlier Md");
    host.SetOmegaMaxText("earlier Omega");
    EXPECT_THROW(RunStepResponse(model, host), toolkit::EOverflow);
    EXPECT_EQ(host.Series(5).Points().size(), GetParam().pointsKept);
    EXPECT_EQ(host.Series(6).Points().size(), GetParam().pointsKept);
    for (int series : {5, 6})
        for (const TracePoint& point : host.Series(series).Points())
            ASSERT_TRUE(std::isfinite(point.y));
    EXPECT_EQ(host.MdMaxText(), "earlier Md");
    EXPECT_EQ(host.OmegaMaxText(), "earlier Omega");
}

INSTANTIATE_TEST_SUITE_P(FarNegativeLoads, StepResponseOverflow,
                         testing::Values(Overflow{-579, 306}, Overflow{-600, 223}, Overflow{-700, 116},
                                         Overflow{-1000, 56}, Overflow{INT32_MIN, 9}));

TEST(StepResponse, LargestLoadThatStaysFiniteRunsToTheEnd)
{
    MotorModel model{};
    RecordingHost host("-578");
    RunStepResponse(model, host);
    for (int series : {5, 6}) {
        ASSERT_EQ(host.Series(series).Points().size(), 2000u);
        for (const TracePoint& point : host.Series(series).Points())
            ASSERT_TRUE(std::isfinite(point.y));
    }
}

TEST(StepResponse, IsRepeatable)
{
    MotorModel model{};
    RecordingHost first("-5");
    RecordingHost second("-5");
    RunStepResponse(model, first);
    RunGaussianLoad(model, second);
    RunStepResponse(model, second);
    for (int series : {5, 6})
        for (std::size_t i = 0; i < 2000; ++i)
            ASSERT_EQ(first.Series(series).Points()[i].y, second.Series(series).Points()[i].y);
}

struct RandomRun {
    const char* name;
    void (*run)(MotorModel&, ExperimentHost&);
    int mdSeries;
    Colour mdColour;
    Colour omegaColour;
};

void PrintTo(const RandomRun& r, std::ostream* out) { *out << r.name; }

class RandomLoadRun : public testing::TestWithParam<RandomRun> {};

TEST_P(RandomLoadRun, ReplacesOnlyItsOwnTwoTraces)
{
    const RandomRun& run = GetParam();
    MotorModel model{};
    RecordingHost host;
    for (int n = 1; n <= 6; ++n)
        host.Series(n).AppendPoint(0, n, "", clWhite);
    toolkit::SeedRandG(5);
    runtime::srand(5);

    run.run(model, host);
    run.run(model, host);

    EXPECT_EQ(host.Progress(), 100);
    for (int n = 1; n <= 6; ++n) {
        const auto& points = host.Series(n).Points();
        if (n != run.mdSeries && n != run.mdSeries + 1) {
            ASSERT_EQ(points.size(), 1u) << "Series" << n;
            EXPECT_EQ(points[0].y, n);
            continue;
        }
        ASSERT_EQ(points.size(), 2000u) << "Series" << n;
        for (int i = 0; i < 2000; ++i)
            ASSERT_EQ(points[static_cast<std::size_t>(i)].x, i);
        EXPECT_EQ(points[0].colour, n == run.mdSeries ? run.mdColour : run.omegaColour);
    }

    // Loads between 12 and 18, or about 15 on average: Md settles near the
    // load and Omega well below synchronous speed.
    const auto& md = host.Series(run.mdSeries).Points();
    const auto& omega = host.Series(run.mdSeries + 1).Points();
    EXPECT_EQ(md[0].y, 0.0);
    EXPECT_GT(md.back().y, 12.0);
    EXPECT_LT(md.back().y, 18.0);
    EXPECT_LT(omega[2].y, -1.0);
    EXPECT_GT(omega.back().y, 40.0);
    EXPECT_LT(omega.back().y, 70.0);
}

INSTANTIATE_TEST_SUITE_P(Runs, RandomLoadRun,
                         testing::Values(RandomRun{"Gauss", RunGaussianLoad, 1, clGreen, clRed},
                                         RandomRun{"Uniform", RunUniformLoad, 3, clBlue, clBlack}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(RandomLoadRun, SuccessiveRunsContinueTheSequence)
{
    MotorModel model{};
    RecordingHost host;
    runtime::srand(11);
    RunUniformLoad(model, host);
    const auto first = host.Series(4).Points();
    RunUniformLoad(model, host);
    EXPECT_NE(first.back().y, host.Series(4).Points().back().y);
}

} // namespace
