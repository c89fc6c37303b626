#include "plot/Dashes.h"

#include <gtest/gtest.h>

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

} // namespace
