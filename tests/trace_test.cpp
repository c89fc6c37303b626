#include "plot/RecentColumns.h"
#include "plot/Trace.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <random>
#include <utility>
#include <vector>

namespace {

const double nan = std::numeric_limits<double>::quiet_NaN();

// The span of values[first, end) found by walking them, NaN left out.
ValueSpan Walked(const std::vector<double>& values, std::size_t first, std::size_t end)
{
    ValueSpan span{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (std::size_t i = first; i < end; ++i)
        if (!std::isnan(values[i]))
            span = {std::min(span.min, values[i]), std::max(span.max, values[i])};
    return span;
}

Trace Holding(const std::vector<double>& values)
{
    Trace trace("Md", clRed);
    trace.Start(clGreen);
    for (double value : values)
        trace.AppendNext(value);
    return trace;
}

TEST(Trace, PointsAreItsValuesAtTheirSteps)
{
    const Trace trace = Holding({4, nan, -2});
    const TracePoints points = trace.Points();
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[2], (TracePoint{2, -2}));
    EXPECT_EQ(points.Stretch(1, 2).front().x, 1);
    EXPECT_EQ((*std::prev(points.end())).x, 2);
    EXPECT_EQ(points.rbegin()[2].y, 4);
    EXPECT_EQ(std::lower_bound(points.begin(), points.end(), 1.5,
                               [](TracePoint p, double x) { return p.x < x; }) - points.begin(),
              2);
}

// Appends 40 values, whole blocks of the pyramid, the middle one `peak`.
void AppendRamp(Trace& trace, double peak)
{
    for (int i = 0; i < 40; ++i)
        trace.AppendNext(i == 20 ? peak : i);
}

// Every change, each after the span was asked for, and the span the values
// then hold, found by walking them afresh.
TEST(Trace, SpanFollowsEveryChange)
{
    Trace trace("Md", clRed);
    Trace other = Holding({-7});
    const std::vector<std::pair<const char*, std::function<void()>>> changes{
        {"append", [&] { trace.AppendNext(2); }},
        {"append a NaN", [&] { trace.AppendNext(nan); }},
        {"append", [&] { trace.AppendNext(5); }},
        {"append past blocks", [&] { AppendRamp(trace, 1000); }},
        {"write part of the room made", [&] {
             double* next = trace.MakeRoom(40);
             for (int i = 0; i < 30; ++i)
                 *next++ = -3.0 * i;
             trace.Written(next);
         }},
        {"swap", [&] { trace.SwapPoints(other); }},
        {"replace", [&] { trace.ReplacePoints(other); }},
        {"start", [&] { trace.Start(clBlue); }},
        {"clear", [&] { trace.Clear(); }},
        {"fill blocks again", [&] { AppendRamp(trace, -1000); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        trace.Spanned();
        const auto before = trace.Revision();
        change();
        EXPECT_NE(trace.Revision(), before);
        const std::vector<double> values(trace.Values().begin(), trace.Values().end());
        EXPECT_EQ(trace.Spanned(), Walked(values, 0, values.size()));
    }
}

// What is remembered of values holds while their revision does: traces
// that came to other values the same way never share one.
TEST(Trace, RevisionsNameValuesAcrossTraces)
{
    Trace a = Holding({1, 2});
    const Trace b = Holding({3, 4});
    EXPECT_NE(a.Revision(), b.Revision());
    a = b;
    EXPECT_EQ(a.Revision(), b.Revision()) << "a copy shows the same values";
    a.AppendNext(5);
    EXPECT_NE(a.Revision(), b.Revision());
}

// A pin shows the run's values and their pyramid without a copy, and keeps
// them whatever the run does next: each change gives the run values of its
// own, spanned afresh.
TEST(Trace, APinSharesTheRunsValuesUntilEitherChanges)
{
    const std::vector<double> pinned{1, 2, 3};
    const std::vector<std::pair<const char*, std::function<void(Trace&)>>> changes{
        {"the run starts again", [](Trace& run) { run.Start(clBlue); run.AppendNext(9); }},
        {"the run goes on", [](Trace& run) { run.AppendNext(9); }},
        {"the run is cleared", [](Trace& run) { run.Clear(); }},
        {"the run takes another's", [](Trace& run) { Trace other = Holding({9}); run.SwapPoints(other); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        Trace run = Holding(pinned);
        Trace pin("Md", clBlue);
        pin.ReplacePoints(run);
        EXPECT_EQ(pin.Values().data(), run.Values().data());
        EXPECT_EQ(&pin.Pyramid(), &run.Pyramid());
        change(run);
        const std::vector<double> pinValues(pin.Values().begin(), pin.Values().end());
        const std::vector<double> runValues(run.Values().begin(), run.Values().end());
        EXPECT_EQ(pinValues, pinned);
        EXPECT_NE(runValues, pinned);
        EXPECT_EQ(pin.Spanned(), Walked(pinValues, 0, pinValues.size()));
        EXPECT_EQ(run.Spanned(), Walked(runValues, 0, runValues.size()));
    }
}

// Stretches at every alignment to the blocks, over values with NaN runs
// and repeated extremes: the pyramid's span is the walk's, asked for one
// stretch at a time or all of them at once.
TEST(MinMaxPyramid, AnswersAsAWalkForEveryStretch)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-3, 3);
    for (std::size_t size : {0u, 1u, 15u, 16u, 17u, 100u, 1000u}) {
        std::vector<double> values(size);
        for (std::size_t i = 0; i < size; ++i)
            values[i] = i % 37 < 5 ? nan : std::round(value(random) * 4) / 4;
        const MinMaxPyramid pyramid(values);
        std::vector<MinMaxPyramid::Stretch> stretches;
        std::vector<ValueSpan> walks;
        for (std::size_t first = 0; first <= size; first += 1 + first / 7)
            for (std::size_t end = first; end <= size; end += 1 + (end - first) / 5) {
                SCOPED_TRACE(testing::Message() << size << " values, " << first << " to " << end);
                stretches.push_back({first, end});
                walks.push_back(Walked(values, first, end));
                ASSERT_EQ(pyramid.Over(values, first, end), walks.back());
            }
        EXPECT_EQ(pyramid.Over(values, stretches), walks) << size << " values";
    }
}

// Frames of ten columns of a hundred values each, from column `from` on.
std::vector<MinMaxPyramid::Stretch> Columns(std::size_t from)
{
    std::vector<MinMaxPyramid::Stretch> columns;
    for (std::size_t c = from; c < from + 10; ++c)
        columns.push_back({c * 100, (c + 1) * 100 + (c % 3)});
    return columns;
}

// Sequences of frames: each frame's columns hold their first and last
// values and the walk's span of the rest, and the last frame reads the
// trace for just the columns no remembered frame holds.
TEST(RecentColumns, ReadsTheTraceOnlyForColumnsNotSeenInTheLastFrames)
{
    struct Row {
        const char* what;
        std::vector<std::size_t> framesFrom;
        // Where the values change, before that frame.
        std::size_t changedBefore;
        // None where only the values are checked.
        std::optional<std::size_t> lastReads;
    };
    constexpr std::size_t never = 99;
    const std::vector<Row> rows{
        {"the first frame", {0}, never, 10},
        {"the same view again", {0, 0}, never, 0},
        {"panned by three columns", {0, 3}, never, 3},
        {"a zoom undone", {0, 40, 0}, never, 0},
        {"the view a few frames back", {0, 20, 40, 60, 0}, never, 0},
        {"the view too many frames back", {0, 20, 40, 60, 80, 0}, never, 10},
        {"a view seen again keeps its place", {20, 0, 20, 20, 20, 20, 0}, never, 0},
        {"new values", {0, 0}, 1, 10},
        {"columns out of order", {0, 0}, never, std::nullopt},
    };
    std::mt19937 random(3);
    std::uniform_real_distribution<double> value(-3, 3);
    std::vector<double> values(10000);
    for (std::size_t i = 0; i < values.size(); ++i)
        values[i] = i % 41 < 3 ? nan : value(random);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<double> shown = values;
        RecentColumns recent;
        std::uint64_t revision = 1;
        for (std::size_t f = 0; f < row.framesFrom.size(); ++f) {
            if (f == row.changedBefore) {
                std::ranges::reverse(shown);
                ++revision;
            }
            std::vector<MinMaxPyramid::Stretch> columns = Columns(row.framesFrom[f]);
            if (!row.lastReads && f > 0)
                std::ranges::reverse(columns);
            const std::vector<ColumnValues> found = recent.Of(MinMaxPyramid(shown), shown, columns, revision);
            ASSERT_EQ(found.size(), columns.size());
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const auto [first, end] = columns[c];
                EXPECT_TRUE(Bits(found[c].first) == Bits(shown[first]) && Bits(found[c].last) == Bits(shown[end - 1]) &&
                            found[c].rest == Walked(shown, first + 1, end))
                    << "frame " << f << ", column " << c;
            }
        }
        if (row.lastReads) {
            EXPECT_EQ(recent.LastRead(), *row.lastReads);
        }
    }
}

} // namespace
