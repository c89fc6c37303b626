#include "plot/PixelLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

// Dashes 8 long with gaps of 4; the lengths are powers of two, so every
// piece's ends are exact.
const std::vector<double> kPattern{8, 4};

struct Dashing {
    const char* name;
    std::vector<PixelPoint> points;
    double offset;
    // Each piece as its ends' x and y.
    std::vector<double> expected;
    // None: a solid line.
    std::vector<double> pattern = kPattern;
};

void PrintTo(const Dashing& d, std::ostream* out) { *out << d.name; }

class DashesOfALine : public testing::TestWithParam<Dashing> {};

TEST_P(DashesOfALine, FallWhereThePatternPutsThemAlongTheWholeLine)
{
    const Dashing& d = GetParam();
    std::vector<double> ends;
    for (const PixelSegment& piece : DashPieces(d.points, d.pattern, d.offset))
        ends.insert(ends.end(), {piece.from.x, piece.from.y, piece.to.x, piece.to.y});
    EXPECT_EQ(ends, d.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DashesOfALine,
    testing::Values(Dashing{"straight", {{0, 0}, {32, 0}}, 0, {0, 0, 8, 0, 12, 0, 20, 0, 24, 0, 32, 0}},
                    Dashing{"begun in a gap", {{0, 0}, {16, 0}}, 10, {2, 0, 10, 0, 14, 0, 16, 0}},
                    Dashing{"round a corner, one piece per segment",
                            {{0, 0}, {4, 0}, {4, 16}},
                            0,
                            {0, 0, 4, 0, 4, 0, 4, 4, 4, 8, 4, 16}},
                    Dashing{"a repeated point adds nothing", {{0, 0}, {0, 0}, {16, 0}}, 0, {0, 0, 8, 0, 12, 0, 16, 0}},
                    Dashing{"a gap begins the pattern anew",
                            {{0, 0}, {4, 0}, {kGap, kGap}, {0, 8}, {16, 8}},
                            0,
                            {0, 0, 4, 0, 0, 8, 8, 8, 12, 8, 16, 8}},
                    Dashing{"solid, each segment whole, a repeated point's too",
                            {{0, 0}, {0, 0}, {16, 0}},
                            0,
                            {0, 0, 0, 0, 0, 0, 16, 0},
                            {}},
                    Dashing{"solid, no segment to or from a gap",
                            {{0, 0}, {4, 0}, {kGap, kGap}, {0, 8}, {16, 8}},
                            0,
                            {0, 0, 4, 0, 0, 8, 16, 8},
                            {}}));

struct Thinning {
    const char* name;
    std::vector<PixelPoint> points;
    // Which of the points are kept, in order.
    std::vector<std::size_t> kept;
};

void PrintTo(const Thinning& t, std::ostream* out) { *out << t.name; }

class WholePixelsOfALine : public testing::TestWithParam<Thinning> {};

TEST_P(WholePixelsOfALine, KeepOnlyPointsThatAddAPixelAndTheEndsOfEachStretch)
{
    const Thinning& t = GetParam();
    const auto pixelAt = [&t](std::size_t i) { return t.points[i]; };
    // Whole (cut at 0), and cut in two at every place between.
    for (std::size_t cut = 0; cut < std::max<std::size_t>(t.points.size(), 1); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        std::vector<PixelPoint> points;
        const auto keep = [&points](PixelPoint point) { points.push_back(point); };
        ThinToWholePixels(t.points.size(), 0, cut, pixelAt, keep);
        ThinToWholePixels(t.points.size(), cut, t.points.size(), pixelAt, keep);
        ASSERT_EQ(points.size(), t.kept.size());
        for (std::size_t i = 0; i < points.size(); ++i) {
            const PixelPoint expected = t.points[t.kept[i]];
            EXPECT_TRUE((std::isnan(expected.x) && std::isnan(points[i].x)) ||
                        (points[i].x == expected.x && points[i].y == expected.y))
                << "point " << i << " should be point " << t.kept[i];
        }
    }
}

// A line long enough to be thinned on every core keeps the points one
// thread keeps, in the same order.
TEST(WholePixelsOfALongLine, AreTheSameOnAllCoresAsOnOne)
{
    constexpr std::size_t kPoints = 1'500'001;
    const auto pixelAt = [](std::size_t i) {
        if (i % 100'003 == 7)
            return PixelPoint{kGap, kGap};
        const double t = static_cast<double>(i);
        return PixelPoint{300 + 200 * std::sin(t / 5e4), 200 + 150 * std::cos(t / 3e4) + static_cast<double>(i % 3) * 0.3};
    };
    std::vector<PixelPoint> one;
    std::vector<PixelPoint> all;
    ThinToWholePixels(kPoints, pixelAt, [&one](PixelPoint p) { one.push_back(p); });
    ThinToWholePixelsOnAllCores(kPoints, pixelAt, [&all](PixelPoint p) { all.push_back(p); });
    ASSERT_GT(one.size(), 1000u);
    ASSERT_EQ(all.size(), one.size());
    for (std::size_t i = 0; i < one.size(); ++i)
        ASSERT_TRUE((std::isnan(one[i].x) && std::isnan(all[i].x)) || (one[i].x == all[i].x && one[i].y == all[i].y))
            << "point " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, WholePixelsOfALine,
    testing::Values(Thinning{"within the last kept point's pixel", {{0, 0}, {0.3, 0.2}, {2, 0}}, {0, 2}},
                    Thinning{"the end kept in the same pixel", {{0, 0}, {2, 0}, {2.2, 0.1}}, {0, 1, 2}},
                    Thinning{"whole pixels half away from zero",
                             {{0, 0}, {0.49, 0}, {0.5, 0}, {1.4, 0}, {-0.5, 0}, {-0.4, 0}, {5, 5}},
                             {0, 2, 4, 5, 6}},
                    Thinning{"a point in a pixel of its own only by its y", {{0, 0}, {0.2, 0.6}, {0, 0}, {4, 4}}, {0, 1, 2, 3}},
                    Thinning{"a gap kept with the points either side",
                             {{0, 0}, {0.2, 0}, {kGap, kGap}, {0.1, 0}, {0.2, 0}, {3, 3}},
                             {0, 1, 2, 3, 5}},
                    Thinning{"a line begun by a gap", {{kGap, kGap}, {0, 0}, {0.1, 0}, {3, 3}}, {0, 1, 3}},
                    Thinning{"beyond the painter's reach one pixel", {{0, 0}, {1e300, 0}, {2e300, 0}, {5, 5}}, {0, 1, 3}},
                    Thinning{"nothing to thin", {}, {}}));

} // namespace

namespace {

// The rectangle from (0, 0) to (10, 10), edges included.
constexpr PixelRect kSquare{0, 0, 10, 10};

struct Clipping {
    const char* name;
    PixelSegment segment;
    // The ends' x and y in the square; none when it misses.
    std::vector<double> expected;
};

void PrintTo(const Clipping& c, std::ostream* out) { *out << c.name; }

class SegmentInARectangle : public testing::TestWithParam<Clipping> {};

// Crossings fall on halves and quarters, so their ends are exact.
TEST_P(SegmentInARectangle, KeepsThePartInsideItsEnds)
{
    const Clipping& c = GetParam();
    std::vector<double> ends;
    if (const std::optional<PixelSegment> in = ClippedTo(c.segment, kSquare))
        ends = {in->from.x, in->from.y, in->to.x, in->to.y};
    EXPECT_EQ(ends, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Segments, SegmentInARectangle,
    testing::Values(Clipping{"inside, as it is", {{1, 2}, {3, 4}}, {1, 2, 3, 4}},
                    Clipping{"leaving to the right", {{6, 5}, {14, 5}}, {6, 5, 10, 5}},
                    Clipping{"entering from above, downwards", {{5, -6}, {5, 2}}, {5, 0, 5, 2}},
                    Clipping{"across both edges", {{-10, 5}, {30, 15}}, {0, 7.5, 10, 10}},
                    Clipping{"along an edge", {{0, -2}, {0, 6}}, {0, 0, 0, 6}},
                    Clipping{"past a corner", {{8, 14}, {14, 8}}, {}},
                    Clipping{"wholly outside", {{11, 1}, {12, 9}}, {}},
                    Clipping{"a point on the edge", {{10, 10}, {10, 10}}, {10, 10, 10, 10}},
                    Clipping{"a gap", {{kGap, kGap}, {1, 1}}, {}}));

// Runs in the square, each as its start and its points' x and y.
struct Running {
    const char* name;
    std::vector<PixelPoint> points;
    std::vector<std::vector<double>> expected;
};

void PrintTo(const Running& r, std::ostream* out) { *out << r.name; }

class StretchesInARectangle : public testing::TestWithParam<Running> {};

TEST_P(StretchesInARectangle, BeginWhereTheWholeLineIs)
{
    const Running& r = GetParam();
    std::vector<std::vector<double>> runs;
    for (const PixelRun& run : RunsIn(r.points, kSquare)) {
        std::vector<double>& values = runs.emplace_back(1, run.start);
        for (PixelPoint point : run.points)
            values.insert(values.end(), {point.x, point.y});
    }
    EXPECT_EQ(runs, r.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, StretchesInARectangle,
    testing::Values(Running{"inside, one stretch", {{1, 1}, {4, 5}, {4, 9}}, {{0, 1, 1, 4, 5, 4, 9}}},
                    Running{"out and back in, measured along the hidden part",
                            {{2, 5}, {8, 5}, {16, 5}, {16, 1}, {6, 1}},
                            {{0, 2, 5, 8, 5, 10, 5}, {24, 10, 1, 6, 1}}},
                    Running{"begun outside", {{-4, 2}, {4, 2}}, {{4, 0, 2, 4, 2}}},
                    Running{"across without a point inside", {{-5, 3}, {15, 3}}, {{5, 0, 3, 10, 3}}},
                    Running{"a gap measures anew", {{1, 1}, {5, 1}, {kGap, kGap}, {-2, 2}, {2, 2}},
                            {{0, 1, 1, 5, 1}, {2, 0, 2, 2, 2}}},
                    Running{"never inside", {{20, 20}, {30, 20}}, {}}));

// Segments that join the same whole pixels, either way round, are one:
// the first of them is kept, with its ends as they were.
TEST(DistinctSegments, KeepTheFirstOfThoseJoiningTheSamePixels)
{
    const std::vector<PixelSegment> segments{{{0, 0}, {3, 0}},       {{0.2, 0.1}, {3.4, -0.3}}, {{3, 0}, {0, 0}},
                                             {{-5, 7}, {40000, 2}}, {{-5, 7}, {40000, 2}},     {{0, 0}, {3, 1}},
                                             {{0.6, 0}, {3, 0}},    {{-32767, 9}, {1, 1}},     {{-32767, 9}, {1, 1}}};
    std::vector<double> ends;
    for (const PixelSegment& s : DistinctSegments(segments))
        ends.insert(ends.end(), {s.from.x, s.from.y, s.to.x, s.to.y});
    EXPECT_EQ(ends, (std::vector<double>{0, 0, 3, 0, -5, 7, 40000, 2, -5, 7, 40000, 2, 0, 0, 3, 1, 0.6, 0, 3, 0,
                                         -32767, 9, 1, 1}))
        << "a segment reaching beyond 32767 pixels is kept each time";
}

// However many: a random run's path repeats a few hundred segments over
// millions, a wide cloud thousands.
TEST(DistinctSegments, KeepEachOfThousandsOnceInTheirOrder)
{
    std::vector<PixelSegment> segments;
    for (int pass = 0; pass < 3; ++pass)
        for (int i = 0; i < 5000; ++i) {
            const PixelPoint from{static_cast<double>(i % 200), static_cast<double>(i / 200)};
            const PixelPoint to{from.x + 1 + pass * 0.1, from.y};
            segments.push_back(pass == 1 ? PixelSegment{to, from} : PixelSegment{from, to});
        }
    const std::vector<PixelSegment> distinct = DistinctSegments(segments);
    ASSERT_EQ(distinct.size(), 5000u);
    for (std::size_t i = 0; i < distinct.size(); ++i)
        ASSERT_EQ(distinct[i].to.x, segments[i].to.x) << "the first pass's, in order: " << i;
}

// A drag moves the view by whole pixels, its ranges rounded on the way; a
// zoom or a move by part of a pixel is no shift.
TEST(WholeShift, OnlyWhereEveryValueMovesByTheSameWholePixels)
{
    const AxisPlacement then{-40, 180, 30, 540, false};
    const double perPixel = 180.0 / 540.0;
    const auto moved = [&](double pixels, double span) {
        return AxisPlacement{-40 - pixels * perPixel, span, 30, 540, false};
    };
    EXPECT_EQ(WholeShift(then, then), 0.0);
    EXPECT_EQ(WholeShift(then, moved(37, 180)), 37.0);
    EXPECT_EQ(WholeShift(then, moved(-5, 180)), -5.0);
    EXPECT_EQ(WholeShift(then, moved(37, 180 * (1 + 1e-15))), 37.0) << "a span rounded by a drag";
    EXPECT_EQ(WholeShift(then, moved(2.5, 180)), std::nullopt);
    EXPECT_EQ(WholeShift(then, moved(0, 180 * 1.001)), std::nullopt);
    const AxisPlacement up{0, 100, 400, 300, true};
    EXPECT_EQ(WholeShift(up, AxisPlacement{-10, 100, 400, 300, true}), -30.0) << "upwards, lower values lower";
    EXPECT_EQ(WholeShift(up, AxisPlacement{0, 100, 410, 300, true}), 10.0) << "the plot moved down";
}

} // namespace
