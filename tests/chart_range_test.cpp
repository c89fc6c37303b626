#include "plot/ChartRange.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <vector>

namespace {

TEST(SpanningRanges, SpanEveryPointOfEveryNonEmptyTrace)
{
    auto traces = MakeTraces();
    const std::vector<const Trace*> all = {&traces[0], &traces[1], &traces[2]};
    EXPECT_EQ(SpanningRanges(all), kEmptyChartRanges);

    traces[0].AppendPoint(3, -2.5, "", clGreen);
    EXPECT_EQ(SpanningRanges(all), (AxisRanges{{2, 4}, {-3.5, -1.5}})) << "a single point is widened";

    traces[0].AppendPoint(10, 7, "", clGreen);
    traces[2].AppendPoint(1, 157.5, "", clBlue);
    traces[2].AppendPoint(2, -DBL_MAX, "", clBlue);
    EXPECT_EQ(SpanningRanges(all), (AxisRanges{{1, 10}, {-DBL_MAX, 157.5}}));
}

struct Interval {
    Range range;
    double interval;
};

class NiceTicks : public testing::TestWithParam<Interval> {};

TEST_P(NiceTicks, AreRoundAndAboutFivePerRange)
{
    EXPECT_EQ(NiceTickInterval(GetParam().range), GetParam().interval);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, NiceTicks,
    testing::Values(Interval{{0, 1999}, 500}, Interval{{0, 2000}, 500}, Interval{{-2, 157.07}, 50},
                    Interval{{0, 1}, 0.2}, Interval{{24.0, 24.5}, 0.1}, Interval{{-600, -100}, 100},
                    Interval{{0, 0}, 1}, Interval{{-DBL_MAX, DBL_MAX}, 1e308}));

} // namespace
