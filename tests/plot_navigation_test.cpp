#include "plot/PlotNavigation.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

// Powers of two throughout, so every mapping below is exact: pixel 42 is
// step 256, pixel 52 the value 0.
constexpr PlotMapping kMapping{{10, 20, 128, 64}, {{0, 1024}, {-32, 32}}};

TEST(ZoomedAbout, ScalesTheChosenSpansAndKeepsThePointFixed)
{
    struct Zoom {
        PixelPoint fixed;
        double factor;
        ZoomAxes axes;
        AxisRanges zoomed;
    };
    for (const Zoom& zoom : {Zoom{{42, 52}, 0.5, ZoomAxes::Both, {{128, 640}, {-16, 16}}},
                             Zoom{{42, 52}, 0.5, ZoomAxes::XOnly, {{128, 640}, {-32, 32}}},
                             Zoom{{42, 52}, 0.5, ZoomAxes::YOnly, {{0, 1024}, {-16, 16}}},
                             Zoom{{10, 84}, 2, ZoomAxes::Both, {{0, 2048}, {-32, 96}}}}) {
        const AxisRanges zoomed = ZoomedAbout(kMapping, zoom.fixed, zoom.factor, zoom.axes);
        EXPECT_EQ(zoomed, zoom.zoomed);
        const PlotMapping after{kMapping.area, zoomed};
        EXPECT_EQ(after.ValueAtX(zoom.fixed.x), kMapping.ValueAtX(zoom.fixed.x));
        EXPECT_EQ(after.ValueAtY(zoom.fixed.y), kMapping.ValueAtY(zoom.fixed.y));
    }
}

TEST(BandRanges, AreTheBandsValuesWhicheverWayItIsDraggedAndStopAtTheArea)
{
    const AxisRanges band{{256, 512}, {-16, 16}};
    EXPECT_EQ(BandRanges(kMapping, {42, 36}, {74, 68}), band);
    EXPECT_EQ(BandRanges(kMapping, {74, 68}, {42, 36}), band);
    EXPECT_EQ(BandRanges(kMapping, {42, 68}, {74, 36}), band);
    EXPECT_EQ(BandRanges(kMapping, {0, 0}, {74, 68}), (AxisRanges{{0, 512}, {-16, 32}}));
    EXPECT_EQ(BandRanges(kMapping, {42, 36}, {500, 500}), (AxisRanges{{256, 1024}, {-32, 16}}));
}

TEST(Panned, ShiftsBothEndsSoTheValuesFollowThePointer)
{
    struct Drag {
        double dx;
        double dy;
        AxisRanges panned;
    };
    for (const Drag& drag : {Drag{32, 0, {{-256, 768}, {-32, 32}}}, Drag{-64, -32, {{512, 1536}, {-64, 0}}}}) {
        const AxisRanges panned = Panned(kMapping, drag.dx, drag.dy);
        EXPECT_EQ(panned, drag.panned);
        const PlotMapping after{kMapping.area, panned};
        EXPECT_EQ(after.ValueAtX(42 + drag.dx), kMapping.ValueAtX(42));
        EXPECT_EQ(after.ValueAtY(52 + drag.dy), kMapping.ValueAtY(52));
    }
}

struct Viewability {
    const char* name;
    Range range;
    bool viewable;
};

void PrintTo(const Viewability& v, std::ostream* out) { *out << v.name; }

class ViewableRanges : public testing::TestWithParam<Viewability> {};

TEST_P(ViewableRanges, AreFiniteResolvableAndTickable)
{
    const Range range = GetParam().range;
    EXPECT_EQ(Viewable({range, {0, 1}}), GetParam().viewable);
    EXPECT_EQ(Viewable({{0, 1}, range}), GetParam().viewable);
}

constexpr double inf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Ranges, ViewableRanges,
    testing::Values(Viewability{"a run's steps", {0, 1999}, true},
                    Viewability{"a small span far from zero", {157.0642, 157.0643}, true},
                    Viewability{"a span of tiny numbers", {0, 1e-300}, true},
                    Viewability{"half the doubles", {-DBL_MAX / 4, DBL_MAX / 4}, true},
                    Viewability{"no span", {1, 1}, false}, Viewability{"reversed", {2, 1}, false},
                    Viewability{"below double resolution", {1e6, 1e6 + 1e-7}, false},
                    Viewability{"subnormal span", {0, 1e-310}, false},
                    Viewability{"span overflows", {-DBL_MAX, DBL_MAX}, false},
                    Viewability{"infinite end", {0, inf}, false},
                    Viewability{"no number", {0, std::nan("")}, false}));

} // namespace
