#include "experiments/Runs.h"
#include "plot/AxisUnits.h"
#include "plot/CsvTable.h"
#include "plot/PlotNavigation.h"
#include "plot/Readout.h"
#include "plot/ShownTraces.h"
#include "toolkit/Conversions.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <optional>
#include <string_view>
#include <string>
#include <utility>
#include <vector>

namespace {

// The values of steps 0, 1, 2 and so on.
void Append(Trace& trace, const std::vector<double>& values)
{
    for (double value : values)
        trace.AppendNext(value);
}

// As the window shows them.
ShownTraces ShownOf(const ChartTraces& traces)
{
    ShownTraces shown;
    for (const RunDefinition& run : kRuns)
        for (Quantity quantity : kQuantities)
            shown.Add(traces[ChartIndex(run.kind, quantity)], TraceHeading(run.kind, quantity));
    return shown;
}

TEST(ShownTraces, SpanTheShownTracesOnly)
{
    ChartTraces traces = MakeTraces();
    Append(traces[0], {1, 2});
    Append(traces[3], {-500, 157, 3});
    ShownTraces shown = ShownOf(traces);
    EXPECT_EQ(shown.Spanning(), (AxisRanges{{0, 2}, {-500, 157}}));

    shown.SetShown(3, false);
    EXPECT_EQ(shown.ShownIndices(), (std::vector<int>{0, 1, 2, 4, 5}));
    EXPECT_EQ(shown.Spanning(), (AxisRanges{{0, 1}, {1, 2}}));

    shown.SetShown(0, false);
    EXPECT_EQ(shown.Spanning(), kEmptyChartRanges) << "nothing shown has points";
    shown.SetShown(3, true);
    EXPECT_EQ(shown.Spanning(), (AxisRanges{{0, 2}, {-500, 157}}));
}

struct Lookup {
    const char* name;
    double x;
    std::vector<int> hidden;
    std::optional<Readout> readout;
};

void PrintTo(const Lookup& lookup, std::ostream* out) { *out << lookup.name; }

class TrackerLookup : public testing::TestWithParam<Lookup> {};

TEST_P(TrackerLookup, TakesTheNearestStepOfTheShownTraces)
{
    ChartTraces traces = MakeTraces();
    Append(traces[0], {0.5, 1.5, 2.5, 3.5});
    Append(traces[1], {-1, -2});
    // traces[2] stays empty.
    Append(traces[3], {100, 101, 102, 103});
    Append(traces[4], std::vector<double>(11, 7));
    ShownTraces shown = ShownOf(traces);
    for (int index : GetParam().hidden)
        shown.SetShown(index, false);
    EXPECT_EQ(ReadoutNearest(shown, GetParam().x), GetParam().readout);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, TrackerLookup,
    testing::Values(
        Lookup{"rounds down", 1.4, {}, Readout{1, {{0, 1.5}, {1, -2}, {3, 101}, {4, 7}}}},
        // Hides the trace whose last point is 1, which would mask the tie.
        Lookup{"a tie takes the lower step", 1.5, {1}, Readout{1, {{0, 1.5}, {3, 101}, {4, 7}}}},
        Lookup{"rounds up, short trace left out", 2.6, {}, Readout{3, {{0, 3.5}, {3, 103}, {4, 7}}}},
        Lookup{"before the first point", -5, {}, Readout{0, {{0, 0.5}, {1, -1}, {3, 100}, {4, 7}}}},
        Lookup{"past the others, in one trace", 8, {}, Readout{8, {{4, 7}}}},
        Lookup{"past the last point", 12, {}, Readout{10, {{4, 7}}}},
        Lookup{"hidden traces are skipped", 8, {4, 3}, Readout{3, {{0, 3.5}}}},
        Lookup{"nothing shown has points", 1, {0, 1, 3, 4}, std::nullopt}));

TEST(CsvTable, HasAColumnPerShownTraceAndEmptyCellsWhereOneEnds)
{
    ChartTraces traces = MakeTraces();
    Append(traces[0], {0.1, 1e-7, -3});
    Append(traces[1], {kStep10Omega});
    Append(traces[2], {99});
    Append(traces[5], {2.4, 2.5});
    ShownTraces shown = ShownOf(traces);
    shown.SetShown(2, false);
    shown.SetShown(4, false);
    EXPECT_EQ(CsvTable(shown), std::string("step,Md (Gauss),Omega (Gauss),Omega (Uniform),Omega (Step)\n"
                                           "0,0.1,") +
                                   StepMaximaOf("10").omega +
                                   ",,2.4\n"
                               "1,1e-07,,,2.5\n"
                               "2,-3,,,\n");
}

TEST(CsvTable, AStyleSetsTheSeparatorAndTheDecimalMarkForTheColumnsGiven)
{
    ChartTraces traces = MakeTraces();
    Append(traces[1], {157.06422059784802, -2.5e-300});
    Append(traces[4], {11, 12});
    ShownTraces shown = ShownOf(traces);
    shown.SetShown(4, false);
    EXPECT_EQ(shown.ShownWithPoints(), (std::vector<int>{1})) << "shown, and holding points";
    EXPECT_EQ(CsvTable(shown, {1, 4}, kRussianCsv), "step;Omega (Gauss);Md (Step)\n"
                                                    "0;\"157,06422059784802\";11\n"
                                                    "1;\"-2,5e-300\";12\n");
    EXPECT_EQ(CsvTable(shown, {1, 4}, kPlainCsv), "step,Omega (Gauss),Md (Step)\n"
                                                  "0,157.06422059784802,11\n"
                                                  "1,-2.5e-300,12\n");
}

// Measured samples beside the table: their own time column and cells, a
// sample a row, every line as many fields as the heading once the table
// ends first. (readers.csv reads both styles through pandas.)
TEST(CsvTable, CarriesMeasuredSamplesInColumnsOfTheirOwn)
{
    ChartTraces traces = MakeTraces();
    Append(traces[1], {5, 6});
    const ShownTraces shown = ShownOf(traces);
    const std::vector<double> times{0.0005, 0.0015, 0.0025};
    const std::vector<double> md{1.5, std::numeric_limits<double>::quiet_NaN(), 2};
    const std::vector<double> omega{-0.25, 3, 4};
    std::string csv;
    WriteCsvWithSamples({times, {{Quantity::Md, md}, {Quantity::Omega, omega}}}, kPlainCsv,
                        [&csv](std::string_view piece) { csv += piece; },
                        [&](const CsvWrite& write) { WriteCsvTable(shown, {1}, kPlainCsv, 0.001, write); });
    EXPECT_EQ(csv, "step,t,Omega (Gauss),t (measured),Md (measured),Omega (measured)\n"
                   "0,0.001,5,5e-04,1.5,-0.25\n1,0.002,6,0.0015,,3\n,,,0.0025,2,4\n");
}

// The time column is each step's time as the chart and the measurements
// read it, the decimal time at the default step size, in either style.
TEST(CsvTable, GivenTheStepSizeATimeColumnFollowsTheSteps)
{
    ChartTraces traces = MakeTraces();
    Append(traces[1], std::vector<double>(2000, 5));
    ShownTraces shown;
    shown.Add(traces[1], "Omega");
    const std::string plain = CsvTable(shown, {0}, kPlainCsv, 0.001);
    EXPECT_EQ(plain.substr(0, 23), "step,t,Omega\n0,0.001,5\n");
    for (const StepTime& time : kStepTimes) {
        const std::string row = std::string("\n").append(toolkit::FloatToStr(time.step)).append(",").append(time.seconds).append(",5\n");
        EXPECT_NE(plain.find(row), std::string::npos) << row;
    }
    EXPECT_NE(CsvTable(shown, {0}, kRussianCsv, 0.001).find("\n349;\"0,35\";5\n"), std::string::npos);
    EXPECT_NE(CsvTable(shown, {0}, kPlainCsv, 0.5).find("\n349,175,5\n"), std::string::npos);
    EXPECT_EQ(CsvTable(shown, {0}, kPlainCsv), CsvTable(shown)) << "no time column unless asked";
}

// A state's time counts the step that made it; a length of steps does not.
// Going back from a time (the ticker's placing of round times) lands within
// rounding of the step: a billionth of a step is far below a pixel.
TEST(StepTimes, AStateIsAtTheStepsTakenAndALengthIsItsSteps)
{
    struct Case {
        double dt;
        double step;
        const char* time;
        const char* length; // of `step` steps
    };
    for (const Case& c : {Case{0.001, 0, "0.001", "0"}, Case{0.001, 349, "0.35", "0.349"},
                          Case{0.001, 1999, "2", "1.999"}, Case{0.002, 999, "2", "1.998"}, Case{0.5, 1, "1", "0.5"},
                          Case{0.001, -1, "0", "-0.001"}}) {
        EXPECT_EQ(toolkit::FloatToStr(TimeOfStep(c.step, c.dt)), c.time) << c.dt << ", step " << c.step;
        EXPECT_EQ(toolkit::FloatToStr(DurationOfSteps(c.step, c.dt)), c.length) << c.dt << ", step " << c.step;
        EXPECT_NEAR(StepOfTime(TimeOfStep(c.step, c.dt), c.dt), c.step, 1e-9) << c.dt << ", step " << c.step;
    }
}

TEST(ShownTraces, RemovingATraceMovesTheLaterOnesDownAndFreesItsHeading)
{
    ChartTraces traces = MakeTraces();
    ShownTraces shown = ShownOf(traces);
    EXPECT_EQ(shown.UnusedHeading("Md (Gauss)"), "Md (Gauss) (2)");
    EXPECT_EQ(shown.UnusedHeading("Md (Mc=10)"), "Md (Mc=10)");
    shown.Add(traces[0], "Md (Gauss) (2)");
    EXPECT_EQ(shown.UnusedHeading("Md (Gauss)"), "Md (Gauss) (3)");

    shown.Remove(0);
    EXPECT_EQ(shown.Count(), 6);
    EXPECT_EQ(shown.Heading(0), "Omega (Gauss)");
    EXPECT_EQ(shown.IndexOf(traces[5]), 4);
    EXPECT_EQ(shown.UnusedHeading("Md (Gauss)"), "Md (Gauss)");
    EXPECT_THROW(shown.Remove(6), std::out_of_range);
}

TEST(Cursors, ReadEachShownTracesOwnPointsAtBothSteps)
{
    ChartTraces traces = MakeTraces();
    Append(traces[0], {0.1, 0.2, 0.7});
    Append(traces[1], {5, 6});
    ShownTraces shown = ShownOf(traces);
    shown.SetShown(3, false);
    const std::vector<CursorReading> readings = ReadCursors(shown, 0, 2);
    ASSERT_EQ(readings.size(), 5u);
    EXPECT_EQ(readings[0], (CursorReading{0, 0.1, 0.7}));
    EXPECT_EQ(readings[0].Difference(), 0.7 - 0.1);
    EXPECT_EQ(readings[1], (CursorReading{1, 5, std::nullopt})) << "no point at B";
    EXPECT_EQ(readings[1].Difference(), std::nullopt);
    EXPECT_EQ(readings[3].trace, 4) << "the hidden trace is left out";
}

// Measured samples between the steps: the nearest one that holds a number,
// the lower at a tie, whichever side of x it lies.
TEST(Cursors, ReadTheNearestMeasuredSampleThatHoldsANumber)
{
    const std::vector<double> keys{0, 1, 2.5, 4, 4.5};
    const double gap = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> values{10, gap, 12, gap, 14};
    const std::vector<std::pair<double, std::optional<std::size_t>>> cases{
        {-3, 0},  {0, 0},   {1, 0} /* the empty cell at 1 is passed over */, {1.25, 0}, {1.3, 2}, {2.5, 2},
        {3.5, 2} /* a tie */, {3.6, 4}, {4, 4} /* past the empty cell at 4 */, {9, 4},
    };
    for (const auto& [x, nearest] : cases)
        EXPECT_EQ(NearestSample(keys, values, x), nearest) << x;
    const std::vector<double> empty(keys.size(), gap);
    EXPECT_EQ(NearestSample(keys, empty, 2), std::nullopt);
    EXPECT_EQ(NearestSample({}, {}, 2), std::nullopt);
}

TEST(Cursors, StandOnWholeShownStepsAndAreTakenWithinReach)
{
    struct Snap {
        double x;
        Range steps;
        double step;
    };
    for (const Snap& snap : {Snap{730.4, {0, 1999}, 730}, Snap{730.5, {0, 1999}, 731}, Snap{-40, {0, 1999}, 0},
                             Snap{1999.7, {0.5, 1999.6}, 1999}, Snap{3, {10.2, 10.8}, 11}})
        EXPECT_EQ(SnapToStep(snap.x, snap.steps), snap.step) << snap.x;
    EXPECT_EQ(PlaceCursors({0, 1999}), (CursorSteps{500, 1499}));
    EXPECT_EQ(PlaceCursors({0, 2000}), (CursorSteps{500, 1500}));

    // A step to a pixel: A at pixel 500, B at pixel 1499.
    const PlotMapping mapping{{0, 0, 2000, 100}, {{0, 2000}, {0, 1}}};
    const CursorSteps cursors{500, 1499};
    EXPECT_EQ(CursorNear(mapping, cursors, {504, 50}, 4), 0);
    EXPECT_EQ(CursorNear(mapping, cursors, {504.5, 50}, 4), std::nullopt);
    EXPECT_EQ(CursorNear(mapping, cursors, {1497, 50}, 4), 1);
    EXPECT_EQ(CursorNear(mapping, cursors, {500, 150}, 4), std::nullopt) << "below the plot area";
    EXPECT_EQ(CursorNear(mapping, {700, 702}, {701.5, 50}, 4), 1) << "the nearer of two";
}

} // namespace
