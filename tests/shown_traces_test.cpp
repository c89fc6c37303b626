#include "plot/CsvTable.h"
#include "plot/Readout.h"
#include "plot/ShownTraces.h"

#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

namespace {

using Points = std::vector<std::pair<double, double>>;

void Append(Trace& trace, const Points& points)
{
    for (auto [x, y] : points)
        trace.AppendPoint(x, y, "", clBlack);
}

TEST(ShownTraces, SpanTheShownTracesOnly)
{
    ChartTraces traces = MakeTraces();
    Append(traces[0], {{0, 1}, {10, 2}});
    Append(traces[3], {{0, -500}, {20, 157}});
    ShownTraces shown(traces);
    EXPECT_EQ(shown.Spanning(), (AxisRanges{{0, 20}, {-500, 157}}));

    shown.SetShown(3, false);
    EXPECT_EQ(shown.ShownIndices(), (std::vector<int>{0, 1, 2, 4, 5}));
    EXPECT_EQ(shown.Spanning(), (AxisRanges{{0, 10}, {1, 2}}));

    shown.SetShown(0, false);
    EXPECT_EQ(shown.Spanning(), kEmptyChartRanges) << "nothing shown has points";
    shown.SetShown(3, true);
    EXPECT_EQ(shown.Spanning(), (AxisRanges{{0, 20}, {-500, 157}}));
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
    Append(traces[0], {{0, 0.5}, {1, 1.5}, {2, 2.5}, {3, 3.5}});
    Append(traces[1], {{0, -1}, {1, -2}});
    // traces[2] stays empty.
    Append(traces[3], {{0, 100}, {1, 101}, {1, 111}, {2, 102}, {3, 103}});
    Append(traces[4], {{10, 7}});
    ShownTraces shown(traces);
    for (int index : GetParam().hidden)
        shown.SetShown(index, false);
    EXPECT_EQ(ReadoutNearest(shown, GetParam().x), GetParam().readout);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, TrackerLookup,
    testing::Values(
        Lookup{"rounds down, first of equal x", 1.4, {}, Readout{1, {{0, 1.5}, {1, -2}, {3, 101}}}},
        // Trace 1 is hidden: it ends at step 1, so it would offer the lower
        // step whatever the tie-break chose.
        Lookup{"a tie takes the lower step", 1.5, {1}, Readout{1, {{0, 1.5}, {3, 101}}}},
        Lookup{"rounds up, short trace left out", 2.6, {}, Readout{3, {{0, 3.5}, {3, 103}}}},
        Lookup{"before the first point", -5, {}, Readout{0, {{0, 0.5}, {1, -1}, {3, 100}}}},
        Lookup{"a far point of one trace", 8, {}, Readout{10, {{4, 7}}}},
        Lookup{"hidden traces are skipped", 8, {4, 3}, Readout{3, {{0, 3.5}}}},
        Lookup{"nothing shown has points", 1, {0, 1, 3, 4}, std::nullopt}));

TEST(CsvTable, HasAColumnPerShownTraceAndEmptyCellsWhereOneEnds)
{
    ChartTraces traces = MakeTraces();
    Append(traces[0], {{0, 0.1}, {1, 1e-7}, {2, -3}});
    Append(traces[1], {{0, 157.06422059784802}});
    Append(traces[2], {{0, 99}});
    Append(traces[5], {{1, 2.5}});
    ShownTraces shown(traces);
    shown.SetShown(2, false);
    shown.SetShown(4, false);
    EXPECT_EQ(CsvTable(shown), "step,Md (Gauss),Omega (Gauss),Omega (Uniform),Omega (Step)\n"
                               "0,0.1,157.06422059784802,,\n"
                               "1,1e-07,,,2.5\n"
                               "2,-3,,,\n");
}

} // namespace
