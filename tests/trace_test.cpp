#include "plot/Trace.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <utility>
#include <vector>

namespace {

std::vector<double> Xs(const Trace& trace)
{
    std::vector<double> xs;
    for (const TracePoint& point : trace.Points())
        xs.push_back(point.x);
    return xs;
}

TEST(Trace, AppendKeepsXAscendingWhateverTheOrder)
{
    Trace trace("Md", clFuchsia);
    for (double x : {1.0, 3.0, 2.0, 0.0, 3.0, 5.0, 4.0})
        trace.AppendPoint(x, x * 10, "", clYellow);
    EXPECT_EQ(Xs(trace), (std::vector<double>{0, 1, 2, 3, 3, 4, 5}));
    for (const TracePoint& point : trace.Points())
        EXPECT_EQ(point.y, point.x * 10);
}

TEST(Trace, EqualXGoesAfterTheExistingPoints)
{
    Trace trace("Omega", clOrange);
    trace.AppendPoint(1, 1, "first", clGray);
    trace.AppendPoint(2, 2, "", clGray);
    trace.AppendPoint(1, 3, "second", clBlack);
    ASSERT_EQ(trace.Points().size(), 3u);
    EXPECT_EQ(trace.Label(trace.Points()[0]), "first");
    EXPECT_EQ(trace.Label(trace.Points()[1]), "second");
    EXPECT_EQ(trace.Label(trace.Points()[2]), "");
    EXPECT_EQ(trace.Points()[1].colour, clBlack);
}

TEST(Trace, ClearEmptiesAndCountsAsAChange)
{
    Trace trace("Md", clRed);
    const auto untouched = trace.Revision();
    trace.Clear();
    EXPECT_TRUE(trace.Points().empty());
    EXPECT_NE(trace.Revision(), untouched);

    trace.AppendPoint(0, 1, "", clGreen);
    const auto appended = trace.Revision();
    trace.Clear();
    EXPECT_TRUE(trace.Points().empty());
    EXPECT_NE(trace.Revision(), appended);
}

// Every change, each after the values were asked for, and the values the
// points then hold, found by walking them afresh.
TEST(Trace, ValuesFollowEveryChange)
{
    Trace trace("Md", clRed);
    Trace other("Omega", clGreen);
    other.AppendPoint(0, -7, "", clGreen);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<std::pair<const char*, std::function<void()>>> changes{
        {"append", [&] { trace.AppendPoint(0, 2, "", clRed); }},
        {"append next, a NaN", [&] { trace.AppendNext(1, nan, clRed); }},
        {"append next", [&] { trace.AppendNext(2, 5, clRed); }},
        {"insert before", [&] { trace.AppendPoint(-1, -3, "", clRed); }},
        {"swap", [&] { trace.SwapPoints(other); }},
        {"replace", [&] { trace.ReplacePoints(other); }},
        {"clear", [&] { trace.Clear(); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        trace.Values();
        change();
        double least = std::numeric_limits<double>::infinity();
        double largest = -least;
        for (const TracePoint& point : trace.Points()) {
            if (std::isnan(point.y))
                continue;
            least = std::min(least, point.y);
            largest = std::max(largest, point.y);
        }
        EXPECT_EQ(trace.Values().min, least);
        EXPECT_EQ(trace.Values().max, largest);
    }
}

} // namespace
