#include "analysis/MechanicalCharacteristic.h"
#include "analysis/MechanicalPlane.h"
#include "experiments/Experiments.h"
#include "experiments/Experiments.h"
#include "experiments/Runs.h"
#include "plot/PlaneCurves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace analysis;

// The values of steps 0, 1, 2 and so on.
Trace TraceOf(const std::string& title, const std::vector<double>& values)
{
    Trace trace(title, clBlack);
    for (double value : values)
        trace.AppendNext(value);
    return trace;
}

// The runs' two traces pair on the steps both hold, whichever is shorter.
struct Pairing {
    const char* name;
    std::vector<double> md;
    std::vector<double> omega;
    std::vector<PlanePoint> path;
};

class PathsPair : public testing::TestWithParam<Pairing> {};

TEST_P(PathsPair, OnTheStepsBothHold)
{
    const Pairing& pairing = GetParam();
    EXPECT_EQ(PathOf(TraceOf("Md", pairing.md), TraceOf("Omega", pairing.omega)), pairing.path);
}

INSTANTIATE_TEST_SUITE_P(
    Traces, PathsPair,
    testing::Values(Pairing{"alike", {1, 2}, {5, 4}, {{1, 5, 0.0}, {2, 4, 1.0}}},
                    Pairing{"md_shorter", {1}, {5, 4}, {{1, 5, 0.0}}},
                    Pairing{"omega_shorter", {1, 3, 7}, {9, 8}, {{1, 9, 0.0}, {3, 8, 1.0}}},
                    Pairing{"empty", {}, {5}, {}}),
    [](const auto& test) { return std::string(test.param.name); });

// Traces pair by their run, whatever their headings and places: a live run
// and a pin of it with the same number are different runs.
TEST(ShownRunsOf, PairEachOmegaWithTheMdOfItsRun)
{
    const Trace md = TraceOf("Md", {1});
    const Trace omega = TraceOf("Omega", {2});
    const Trace empty = TraceOf("Omega", {});
    auto live = [](std::uint64_t run, Quantity quantity) { return RunTrace{false, run, quantity}; };
    auto pin = [](std::uint64_t run, Quantity quantity) { return RunTrace{true, run, quantity}; };
    ShownTraces traces;
    traces.Add(md, "Md (Gauss)", live(0, Quantity::Md));           // 0
    traces.Add(omega, "Omega (Gauss)", live(0, Quantity::Omega));  // 1: a run
    traces.Add(md, "Md (Step)", live(2, Quantity::Md));            // 2
    traces.Add(empty, "Omega (Step)", live(2, Quantity::Omega));   // 3: no points
    traces.Add(md, "Md (Mc=10)", pin(1, Quantity::Md));            // 4
    traces.Add(omega, "Omega (Mc=10)", pin(2, Quantity::Omega));   // 5: another pin's run
    traces.Add(omega, "Omega (Mc=30)", pin(3, Quantity::Omega));   // 6: its Md after it
    traces.Add(md, "Omega lookalike", pin(3, Quantity::Md));       // 7
    traces.Add(md, "Md (Uniform)", live(1, Quantity::Md));         // 8
    traces.Add(omega, "Omega (Uniform)", live(1, Quantity::Omega)); // 9: hidden
    traces.Add(omega, "Omega", std::nullopt);                      // 10: no run's
    traces.SetShown(9, false);
    EXPECT_EQ(ShownRuns(traces), (std::vector<RunTraces>{{0, 1}, {7, 6}}));
}

// The step response as the window runs it, with the default settings.
RunResult StepRun(const char* load)
{
    return RunExperiment({RunKind::Step, {}, load, {}});
}

TEST(StepPath, HoldsEveryStepOfTheRunInOrder)
{
    const RunResult run = StepRun("10");
    const Trace& md = run.Of(Quantity::Md);
    const Trace& omega = run.Of(Quantity::Omega);
    const PlanePoints path = PathOf(md, omega);
    ASSERT_EQ(path.size(), omega.Points().size());
    for (std::size_t i = 0; i < path.size(); ++i)
        ASSERT_EQ(path[i], (PlanePoint{md.Points()[i].y, omega.Points()[i].y, static_cast<double>(i)})) << i;
}

// A path shares its run's values: it costs no copy, and keeps its points
// whatever its traces do next.
struct TraceChange {
    const char* name;
    std::function<void(Trace&)> change;
};

class PathOfARun : public testing::TestWithParam<TraceChange> {};

TEST_P(PathOfARun, KeepsItsPointsWhenTheTracesChange)
{
    Trace md = TraceOf("Md", {1, 2, 3});
    Trace omega = TraceOf("Omega", {5, 4, 3});
    const PlanePoints path = PathOf(md, omega);
    EXPECT_TRUE(path.SharesWith(PathOf(md, omega)));
    GetParam().change(md);
    GetParam().change(omega);
    EXPECT_EQ(path, PlanePoints({{1, 5, 0.0}, {2, 4, 1.0}, {3, 3, 2.0}}));
    EXPECT_FALSE(path.SharesWith(PathOf(md, omega)));
}

INSTANTIATE_TEST_SUITE_P(
    Changes, PathOfARun,
    testing::Values(TraceChange{"goes_on", [](Trace& trace) { trace.AppendNext(9); }},
                    TraceChange{"is_cleared", [](Trace& trace) { trace.Clear(); }},
                    TraceChange{"starts_again", [](Trace& trace) { trace.Start(clRed); }},
                    TraceChange{"shows_another_run", [](Trace& trace) {
                                    Trace other = TraceOf("Other", {7});
                                    trace.SwapPoints(other);
                                }}),
    [](const auto& test) { return std::string(test.param.name); });

// The operating point lies on both curves: on the static one as its closed
// form gives it at the point's speed, on the load's as the run forms it.
// The bisection ends between adjacent doubles of the speed; over one such
// step the static torque moves by its slope (under 1 per rad/s) times
// 1.5e-14, so 1e-12 is room enough, and far below the 0.01 a wrong root or
// a wrong crossing would miss by.
struct LoadCase {
    const char* name;
    double load;
    LoadProfile profile;
    double k;
    double amplitude;
};

class OperatingPointOn : public testing::TestWithParam<LoadCase> {};

TEST_P(OperatingPointOn, BothCurves)
{
    const LoadCase& c = GetParam();
    Settings settings;
    settings.step.profile = c.profile;
    settings.step.k = c.k;
    settings.step.amplitude = c.amplitude;
    const std::vector<PlaneCurve> curves = ModelCurves(settings, c.load);
    const auto point = std::find_if(curves.begin(), curves.end(),
                                    [](const PlaneCurve& curve) { return curve.kind == CurveKind::OperatingPoint; });
    ASSERT_NE(point, curves.end());
    ASSERT_EQ(point->points.size(), 1u);
    const PlanePoint operating = point->points.front();
    const std::optional<StaticPoint> rest = StaticCharacteristic(settings.model).At(operating.Omega);
    ASSERT_TRUE(rest.has_value());
    EXPECT_NEAR(rest->Md, operating.Md, 1e-12);
    EXPECT_NEAR(LoadCharacteristic::Of(settings.step, c.load).At(operating.Omega), operating.Md, 1e-12);
    EXPECT_FALSE(operating.step.has_value());
}

INSTANTIATE_TEST_SUITE_P(Loads, OperatingPointOn,
                         testing::Values(LoadCase{"step_10", 10, LoadProfile::Step, 0, 0},
                                         LoadCase{"step_30_backwards", 30, LoadProfile::Step, 0, 0},
                                         LoadCase{"fan", 5, LoadProfile::Fan, 0.001, 0},
                                         LoadCase{"periodic_middle", 10, LoadProfile::Periodic, 0, 3}),
                         [](const auto& test) { return std::string(test.param.name); });

// A pinned run's load and operating point are the model's for the settings
// it ran with, motor and all, in the colour given; a run without a load has
// none.
struct PinnedCase {
    const char* name;
    std::optional<std::int32_t> load;
    LoadProfile profile;
    double amplitude;
    double mkFactor;
};

class PinnedLoadOf : public testing::TestWithParam<PinnedCase> {};

TEST_P(PinnedLoadOf, IsTheModelsForItsSettings)
{
    const PinnedCase& c = GetParam();
    Settings settings;
    settings.step.profile = c.profile;
    settings.step.amplitude = c.amplitude;
    settings.model.Mk *= c.mkFactor;
    constexpr Colour colour = 0x123456;
    std::vector<PlaneCurve> expected =
        ModelCurves(settings, c.load ? std::optional<double>(*c.load) : std::nullopt);
    expected.erase(expected.begin());
    for (PlaneCurve& curve : expected)
        curve.colour = colour;
    EXPECT_EQ(PinnedLoadCurves(OriginOf(RunKind::Step, settings, c.load), colour), expected);
    EXPECT_EQ(expected.empty(), !c.load);
}

INSTANTIATE_TEST_SUITE_P(Runs, PinnedLoadOf,
                         testing::Values(PinnedCase{"step_10", 10, LoadProfile::Step, 0, 1},
                                         PinnedCase{"stronger_motor_20", 20, LoadProfile::Step, 0, 2},
                                         PinnedCase{"periodic_band", 10, LoadProfile::Periodic, 3, 1},
                                         PinnedCase{"no_load", std::nullopt, LoadProfile::Step, 0, 1}),
                         [](const auto& test) { return std::string(test.param.name); });

// Each model curve spans the static curve's speeds; the load's lies where
// its characteristic says at each of them, a band's edges amplitude either
// side of the middle.
TEST(ModelCurves, LoadCurvesFollowTheirCharacteristicAtTheStaticSpeeds)
{
    Settings settings;
    settings.step.profile = LoadProfile::Periodic;
    settings.step.amplitude = 4;
    const std::vector<PlaneCurve> curves = ModelCurves(settings, 10);
    ASSERT_EQ(curves.size(), 4u);
    const PlaneCurve& rest = curves[0];
    const PlaneCurve& low = curves[1];
    const PlaneCurve& high = curves[2];
    EXPECT_EQ(rest.kind, CurveKind::Static);
    ASSERT_EQ(low.points.size(), rest.points.size());
    ASSERT_EQ(high.points.size(), rest.points.size());
    for (std::size_t i = 0; i < rest.points.size(); ++i) {
        EXPECT_EQ(low.points[i].Omega, rest.points[i].Omega);
        EXPECT_EQ(low.points[i].Md, 6.0);
        EXPECT_EQ(high.points[i].Md, 14.0);
    }
    EXPECT_EQ(ModelCurves(Settings{}, std::nullopt).size(), 1u) << "no load before the step response ran";
}

// The path of the default step response under 10 ends its loaded half
// (step 999) where the curves cross: the 1000-step run has not quite
// settled, and is 0.01 rad/s short of the rest; 0.02 allows that and no
// more, while a point off the static curve's stable branch would miss by
// tens. Then, unloaded, it ends near the static curve's no-load speed.
TEST(StepPath, EndsItsLoadedHalfAtTheOperatingPoint)
{
    const RunResult run = StepRun("10");
    const PlanePoints path =
        PathOf(run.Of(Quantity::Md), run.Of(Quantity::Omega));
    const std::vector<PlaneCurve> curves = ModelCurves(Settings{}, 10);
    const PlanePoint operating = curves.back().points.front();
    ASSERT_EQ(curves.back().kind, CurveKind::OperatingPoint);
    const PlanePoint loadedEnd = path.at(999);
    EXPECT_NEAR(loadedEnd.Omega, operating.Omega, 0.02);
    const StaticCharacteristic motor(MotorParameters{});
    const PlanePoint end = path.back();
    EXPECT_NEAR(end.Omega, motor.SynchronousSpeed(), 0.02);
}

double Parsed(const std::string& text)
{
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_EQ(error, std::errc());
    EXPECT_EQ(end, text.data() + text.size()) << text;
    return value;
}

// A long path goes out in pieces of about kCsvPiece, never as one text: a
// heading and a row a step.
TEST(PlaneCsvRows, GoOutInPieces)
{
    const Trace md = TraceOf("Md", std::vector<double>(100'000, 1.0 / 3));
    const Trace omega = TraceOf("Omega", std::vector<double>(100'000, 2.0 / 3));
    const PlaneCurve path{"Omega (Step)", clBlack, false, CurveKind::Path, PathOf(md, omega), {}};
    std::string written;
    std::size_t pieces = 0;
    WritePlaneCsv({&path}, kPlainCsv, [&](std::string_view piece) {
        EXPECT_LT(piece.size(), kCsvPiece + 1024);
        written += piece;
        ++pieces;
    });
    EXPECT_GT(pieces, written.size() / (kCsvPiece + 1024));
    EXPECT_EQ(written.substr(0, written.find('\n')), "curve,step,Md,Omega");
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 100'001);
}

// Every point comes back exactly from its row, the model's curves without
// a step.
TEST(PlaneCsvRows, ReadBackExactly)
{
    const RunResult run = StepRun("10");
    std::vector<PlaneCurve> curves = ModelCurves(Settings{}, 10);
    curves.push_back({"Omega (Step)", clOrange, false, CurveKind::Path,
                      PathOf(run.Of(Quantity::Md), run.Of(Quantity::Omega)), {}});
    std::vector<const PlaneCurve*> shown;
    for (const PlaneCurve& curve : curves)
        shown.push_back(&curve);
    std::istringstream csv(PlaneCsv(shown, kPlainCsv));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "curve,step,Md,Omega");
    for (const PlaneCurve& curve : curves)
        for (const PlanePoint& point : curve.points) {
            ASSERT_TRUE(std::getline(csv, line));
            std::vector<std::string> cells;
            std::istringstream row(line);
            for (std::string cell; std::getline(row, cell, ',');)
                cells.push_back(cell);
            ASSERT_EQ(cells.size(), 4u) << line;
            EXPECT_EQ(cells[0], curve.name);
            EXPECT_EQ(cells[1].empty(), !point.step.has_value());
            if (point.step) {
                EXPECT_EQ(Parsed(cells[1]), *point.step);
            }
            EXPECT_EQ(Parsed(cells[2]), point.Md);
            EXPECT_EQ(Parsed(cells[3]), point.Omega);
        }
    EXPECT_FALSE(std::getline(csv, line)) << "one row per point";
}

TEST(PlaneSpanOf, SpansEveryPointAndWidensASingleOne)
{
    const PlaneCurve two{"a", clBlack, false, CurveKind::Path, {{-1, 5, 0.0}, {3, -2, 1.0}}, {}};
    const PlaneCurve one{"b", clBlack, false, CurveKind::OperatingPoint, {{2, 7, std::nullopt}}, {}};
    EXPECT_EQ(PlaneSpan({&two, &one}), (AxisRanges{{-1, 3}, {-2, 7}}));
    EXPECT_EQ(PlaneSpan({&one}), (AxisRanges{{1, 3}, {6, 8}}));
    EXPECT_EQ(PlaneSpan({}), kEmptyChartRanges);
}

} // namespace
