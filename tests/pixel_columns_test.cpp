#include "plot/PixelColumns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <ostream>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace {

// A plot of 10 by 8 pixels whose corner is at (100, 50).
constexpr PixelRect kPlot{100, 50, 10, 8};

struct Covering {
    const char* name;
    std::vector<PixelSegment> segments;
    std::vector<ColumnSpan> expected;
};

void PrintTo(const Covering& c, std::ostream* out) { *out << c.name; }

class ColumnSpansOfSegments : public testing::TestWithParam<Covering> {};

TEST_P(ColumnSpansOfSegments, AreThePixelsTheyPassThrough)
{
    EXPECT_EQ(ColumnSpans(GetParam().segments, kPlot), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ColumnSpansOfSegments,
    testing::Values(
        Covering{"a level line is one row of each column it crosses",
                 {{{101.5, 52.5}, {104.5, 52.5}}},
                 {{1, 2, 2}, {2, 2, 2}, {3, 2, 2}, {4, 2, 2}}},
        Covering{"an upright line is one column's stretch", {{{103.5, 51.5}, {103.5, 55.5}}}, {{3, 1, 5}}},
        Covering{"a steep line covers in each column what it falls through there",
                 {{{100.5, 50.5}, {102.5, 56.5}}},
                 {{0, 0, 2}, {1, 2, 5}, {2, 5, 6}}},
        Covering{"segments over one another make one stretch, apart ones two",
                 {{{105.5, 51.5}, {105.5, 53.5}}, {{105.5, 53.5}, {105.5, 54.5}}, {{105.5, 56.5}, {105.5, 57.5}}},
                 {{5, 1, 4}, {5, 6, 7}}},
        Covering{"the parts outside the plot cover nothing",
                 {{{90, 52.5}, {101.5, 52.5}}, {{120, 40}, {130, 45}}},
                 {{0, 2, 2}, {1, 2, 2}}},
        Covering{"a segment of no length is its pixel", {{{107.25, 53.75}, {107.25, 53.75}}}, {{7, 3, 3}}},
        Covering{"not a number covers nothing", {{{NAN, 52}, {104, 52}}}, {}}));

// Every pixel that a point along a segment falls in is in a stretch of
// its column, and a stretch holds no pixel that no segment comes near:
// checked against points taken along random segments.
TEST(ColumnSpans, HoldTheCloudOfARandomPathAndNoMore)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(kPlot.left, kPlot.left + kPlot.width);
    std::uniform_real_distribution<double> y(kPlot.top, kPlot.top + kPlot.height);
    std::vector<PixelSegment> segments;
    PixelPoint at{x(random), y(random)};
    for (int i = 0; i < 12; ++i) {
        const PixelPoint next{x(random), y(random)};
        segments.push_back({at, next});
        at = next;
    }
    std::set<std::pair<std::int64_t, std::int64_t>> covered;
    for (const ColumnSpan& span : ColumnSpans(segments, kPlot))
        for (std::int64_t row = span.top; row <= span.bottom; ++row)
            covered.insert({span.column, row});
    std::set<std::pair<std::int64_t, std::int64_t>> passed;
    constexpr int kSamples = 10'000;
    for (const PixelSegment& s : segments)
        for (int k = 0; k <= kSamples; ++k) {
            const double t = double(k) / kSamples;
            const auto column = static_cast<std::int64_t>(std::floor(s.from.x + (s.to.x - s.from.x) * t - kPlot.left));
            const auto row = static_cast<std::int64_t>(std::floor(s.from.y + (s.to.y - s.from.y) * t - kPlot.top));
            passed.insert({column, row});
        }
    for (const auto& pixel : passed)
        EXPECT_TRUE(covered.contains(pixel)) << pixel.first << ", " << pixel.second;
    // A segment's part in a column spans the rows between its ends there:
    // sampling a ten-thousandth of its length apart finds each of them.
    for (const auto& pixel : covered)
        EXPECT_TRUE(passed.contains(pixel)) << pixel.first << ", " << pixel.second;
}

} // namespace
