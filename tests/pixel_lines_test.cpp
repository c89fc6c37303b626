#include "plot/PixelLines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <limits>
#include <ostream>
#include <vector>

namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

struct Dashing {
    const char* name;
    std::vector<PixelPoint> points;
    double offset;
    // Each piece as its ends' x and y.
    std::vector<double> expected;
};

void PrintTo(const Dashing& d, std::ostream* out) { *out << d.name; }

class DashesOfALine : public testing::TestWithParam<Dashing> {};

// Dashes 8 long with gaps of 4; the lengths are powers of two, so every
// piece's ends are exact.
const std::vector<double> kPattern{8, 4};

TEST_P(DashesOfALine, FallWhereThePatternPutsThemAlongTheWholeLine)
{
    const Dashing& d = GetParam();
    std::vector<double> ends;
    for (const PixelSegment& piece : DashPieces(d.points, kPattern, d.offset))
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
                            {0, 0, 4, 0, 0, 8, 8, 8, 12, 8, 16, 8}}));

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
    std::vector<PixelPoint> points = t.points;
    KeepWholePixels(points);
    ASSERT_EQ(points.size(), t.kept.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const PixelPoint expected = t.points[t.kept[i]];
        EXPECT_TRUE((std::isnan(expected.x) && std::isnan(points[i].x)) ||
                    (points[i].x == expected.x && points[i].y == expected.y))
            << "point " << i << " should be point " << t.kept[i];
    }
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
