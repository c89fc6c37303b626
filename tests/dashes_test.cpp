#include "plot/Dashes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <ostream>
#include <vector>

// Found by the tests' comparisons and printouts beside the types.
static bool operator==(PixelPoint a, PixelPoint b)
{
    return a.x == b.x && a.y == b.y;
}

static bool operator==(const PixelSegment& a, const PixelSegment& b)
{
    return a.from == b.from && a.to == b.to;
}

static void PrintTo(const PixelSegment& s, std::ostream* out)
{
    *out << '(' << s.from.x << ',' << s.from.y << ")-(" << s.to.x << ',' << s.to.y << ')';
}

namespace {

constexpr double kGap = std::numeric_limits<double>::quiet_NaN();

struct Dashing {
    const char* name;
    std::vector<PixelPoint> points;
    double offset;
    std::vector<PixelSegment> expected;
};

void PrintTo(const Dashing& d, std::ostream* out) { *out << d.name; }

class DashesOfALine : public testing::TestWithParam<Dashing> {};

// Dashes 8 long with gaps of 4; the lengths are powers of two, so every
// piece's ends are exact.
const std::vector<double> kPattern{8, 4};

TEST_P(DashesOfALine, FallWhereThePatternPutsThemAlongTheWholeLine)
{
    const Dashing& d = GetParam();
    EXPECT_EQ(DashPieces(d.points, kPattern, d.offset), d.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DashesOfALine,
    testing::Values(
        Dashing{"straight", {{0, 0}, {32, 0}}, 0, {{{0, 0}, {8, 0}}, {{12, 0}, {20, 0}}, {{24, 0}, {32, 0}}}},
        Dashing{"begun in a gap", {{0, 0}, {16, 0}}, 10, {{{2, 0}, {10, 0}}, {{14, 0}, {16, 0}}}},
        Dashing{"round a corner, one piece per segment",
                {{0, 0}, {4, 0}, {4, 16}},
                0,
                {{{0, 0}, {4, 0}}, {{4, 0}, {4, 4}}, {{4, 8}, {4, 16}}}},
        Dashing{"a repeated point adds nothing", {{0, 0}, {0, 0}, {16, 0}}, 0, {{{0, 0}, {8, 0}}, {{12, 0}, {16, 0}}}},
        Dashing{"a gap begins the pattern anew",
                {{0, 0}, {4, 0}, {kGap, kGap}, {0, 8}, {16, 8}},
                0,
                {{{0, 0}, {4, 0}}, {{0, 8}, {8, 8}}, {{12, 8}, {16, 8}}}}));

// How much of a straight line of this length the pattern leaves on, walked
// along the pattern alone.
double OnLength(const std::vector<double>& pattern, double length)
{
    double on = 0;
    for (std::size_t i = 0; length > 0; i = (i + 1) % pattern.size()) {
        if (i % 2 == 0)
            on += std::min(pattern[i], length);
        length -= pattern[i];
    }
    return on;
}

// However the line turns, its dashes cover as much of it as of a straight
// line as long: the pattern goes on round every corner.
TEST(DashesOfALine, CoverAsMuchOfAZigZagAsOfAStraightLineAsLong)
{
    std::vector<PixelPoint> zigZag;
    double length = 0;
    for (int i = 0; i < 200; ++i) {
        const PixelPoint point{i * 1.7, (i % 3) * 2.3 - (i % 7) * 0.9};
        if (!zigZag.empty())
            length += std::hypot(point.x - zigZag.back().x, point.y - zigZag.back().y);
        zigZag.push_back(point);
    }
    // The painter's dash, dot and dash-dot patterns at a pen 2.5 wide.
    for (const std::vector<double>& pattern :
         {std::vector<double>{10, 5}, std::vector<double>{2.5, 5}, std::vector<double>{10, 5, 2.5, 5}}) {
        double on = 0;
        for (const PixelSegment& piece : DashPieces(zigZag, pattern, 0))
            on += std::hypot(piece.to.x - piece.from.x, piece.to.y - piece.from.y);
        // Two hundred segments' lengths summed two ways: rounding alone.
        EXPECT_NEAR(on, OnLength(pattern, length), 1e-9 * length) << pattern.size() << " lengths from " << pattern[0];
    }
}

} // namespace
