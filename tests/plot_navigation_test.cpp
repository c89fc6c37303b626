#include "plot/PlotNavigation.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

// Powers of two throughout, so every mapping below is exact.
constexpr PlotMapping kMapping{{10, 20, 128, 64}, {{0, 1024}, {-32, 32}}};

TEST(PlotMapping, MapsTheAreaOntoTheRangesWithValuesGrowingUpwards)
{
    struct Pair {
        PixelPoint pixel;
        double x;
        double y;
    };
    for (const Pair& pair : {Pair{{10, 20}, 0, 32}, Pair{{138, 84}, 1024, -32}, Pair{{42, 52}, 256, 0}}) {
        EXPECT_EQ(kMapping.ValueAtX(pair.pixel.x), pair.x);
        EXPECT_EQ(kMapping.ValueAtY(pair.pixel.y), pair.y);
        EXPECT_EQ(kMapping.PixelAtX(pair.x), pair.pixel.x);
        EXPECT_EQ(kMapping.PixelAtY(pair.y), pair.pixel.y);
        EXPECT_TRUE(kMapping.Contains(pair.pixel));
    }
    EXPECT_FALSE(kMapping.Contains({9, 52}));
    EXPECT_FALSE(kMapping.Contains({42, 85}));
}

struct Zoom {
    const char* name;
    PixelPoint fixed;
    double factor;
    ZoomAxes axes;
    AxisRanges zoomed;
};

void PrintTo(const Zoom& zoom, std::ostream* out) { *out << zoom.name; }

class ZoomAboutAPoint : public testing::TestWithParam<Zoom> {};

TEST_P(ZoomAboutAPoint, ScalesTheChosenSpansAndKeepsThePointFixed)
{
    const Zoom& zoom = GetParam();
    const AxisRanges zoomed = ZoomedAbout(kMapping, zoom.fixed, zoom.factor, zoom.axes);
    EXPECT_EQ(zoomed, zoom.zoomed);
    const PlotMapping after{kMapping.area, zoomed};
    EXPECT_EQ(after.ValueAtX(zoom.fixed.x), kMapping.ValueAtX(zoom.fixed.x));
    EXPECT_EQ(after.ValueAtY(zoom.fixed.y), kMapping.ValueAtY(zoom.fixed.y));
}

INSTANTIATE_TEST_SUITE_P(
    Wheel, ZoomAboutAPoint,
    testing::Values(Zoom{"in on both", {42, 52}, 0.5, ZoomAxes::Both, {{128, 640}, {-16, 16}}},
                    Zoom{"in on x alone", {42, 52}, 0.5, ZoomAxes::XOnly, {{128, 640}, {-32, 32}}},
                    Zoom{"in on y alone", {42, 52}, 0.5, ZoomAxes::YOnly, {{0, 1024}, {-16, 16}}},
                    Zoom{"out about a corner", {10, 84}, 2, ZoomAxes::Both, {{0, 2048}, {-32, 96}}}));

TEST(ZoomFactor, AStepInAndOneOutComeBackToTheSameRanges)
{
    EXPECT_LT(ZoomFactor(1), 1);
    EXPECT_GT(ZoomFactor(-1), 1);
    // The chart's real ranges: not powers of two, so each zoom rounds; a few
    // roundings of values this size stay well within 1e-12 of the span.
    const PlotMapping chart{{52.5, 38, 455.25, 452}, {{0, 1999}, {-2.25, 157.06422059784802}}};
    const PixelPoint pointer{301, 97};
    const AxisRanges in = ZoomedAbout(chart, pointer, ZoomFactor(1), ZoomAxes::Both);
    const AxisRanges back = ZoomedAbout({chart.area, in}, pointer, ZoomFactor(-1), ZoomAxes::Both);
    for (auto [range, original] : {std::pair{back.x, chart.ranges.x}, std::pair{back.y, chart.ranges.y}}) {
        EXPECT_NEAR(range.min, original.min, original.Span() * 1e-12);
        EXPECT_NEAR(range.max, original.max, original.Span() * 1e-12);
    }
}

TEST(BandRanges, AreTheBandsValuesWhicheverWayItWasDragged)
{
    const AxisRanges band{{256, 512}, {-16, 16}};
    EXPECT_EQ(BandRanges(kMapping, {42, 36}, {74, 68}), band);
    EXPECT_EQ(BandRanges(kMapping, {74, 68}, {42, 36}), band);
    EXPECT_EQ(BandRanges(kMapping, {42, 68}, {74, 36}), band);
}

TEST(BandRanges, StopAtTheAreasEdges)
{
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
    for (const Drag& drag : {Drag{32, 0, {{-256, 768}, {-32, 32}}}, Drag{0, 16, {{0, 1024}, {-16, 48}}},
                             Drag{-64, -32, {{512, 1536}, {-64, 0}}}}) {
        const AxisRanges panned = Panned(kMapping, drag.dx, drag.dy);
        EXPECT_EQ(panned, drag.panned) << drag.dx << ", " << drag.dy;
        // The value that was under the pointer is under it after the drag.
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
