#include "plot/ChartRange.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <ostream>
#include <vector>

namespace {

TEST(SpanningRanges, SpanEveryPointOfEveryNonEmptyTrace)
{
    auto traces = MakeTraces();
    const std::vector<const Trace*> all = {&traces[0], &traces[1], &traces[2]};
    EXPECT_EQ(SpanningRanges(all), kEmptyChartRanges);

    traces[0].AppendNext(-2.5);
    EXPECT_EQ(SpanningRanges(all), (AxisRanges{{-1, 1}, {-3.5, -1.5}})) << "a single point is widened";

    for (double value : {7.0, double(NAN), 1.0})
        traces[0].AppendNext(value);
    traces[2].AppendNext(157.5);
    traces[2].AppendNext(-DBL_MAX);
    EXPECT_EQ(SpanningRanges(all), (AxisRanges{{0, 3}, {-DBL_MAX, 157.5}}));
}

struct Viewability {
    const char* name;
    Range range;
    bool viewable;
    Range drawable;
};

void PrintTo(const Viewability& v, std::ostream* out) { *out << v.name; }

class AxisRange : public testing::TestWithParam<Viewability> {};

TEST_P(AxisRange, IsViewableWhenFiniteResolvableAndWithinTheAxisLimitsOrMadeSo)
{
    const Viewability& v = GetParam();
    EXPECT_EQ(Viewable({v.range, {0, 1}}), v.viewable);
    EXPECT_EQ(Viewable({{0, 1}, v.range}), v.viewable);
    const AxisRanges drawable = Drawable({v.range, v.range});
    EXPECT_EQ(drawable.y, v.drawable);
    EXPECT_TRUE(Viewable(drawable));
}

constexpr double kLimit = kLargestAxisValue;

INSTANTIATE_TEST_SUITE_P(
    Ranges, AxisRange,
    testing::Values(Viewability{"a run's steps", {0, 1999}, true, {0, 1999}},
                    Viewability{"a small span far from zero", {157.0642, 157.0643}, true, {157.0642, 157.0643}},
                    Viewability{"the axis limits", {-kLimit, kLimit}, true, {-kLimit, kLimit}},
                    Viewability{"an overflowing run", {-3.1e301, 157}, false, {-kLimit, 157}},
                    Viewability{"every double", {-DBL_MAX, DBL_MAX}, false, {-kLimit, kLimit}},
                    Viewability{"all beyond the limit", {1e300, 1e301}, false, {kLimit - kLimit * 1e-3, kLimit}},
                    Viewability{"no span", {1, 1}, false, {0, 2}},
                    Viewability{"below double resolution", {100, 100 + 1e-12}, false, {99, 100 + 1e-12 + 1}},
                    Viewability{"below the finest span", {0, 1e-300}, false, {-1, 1}}));

} // namespace
