#include "plot/ViewChange.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

namespace {

struct Zoom {
    const char* name;
    Range range;
    double fixed;
    double factor;
    Range expected;
};

void PrintTo(const Zoom& z, std::ostream* out) { *out << z.name; }

class ZoomWithinLimits : public testing::TestWithParam<Zoom> {};

// Limits of 4 to 1000 wide; the factors are powers of two, so every result
// is exact.
constexpr SpanLimits kLimits{4, 1000};

TEST_P(ZoomWithinLimits, ScalesAboutTheFixedValueUpToTheLimitAndNoFurther)
{
    const Zoom& z = GetParam();
    const Range zoomed = Zoomed(z.range, z.fixed, z.factor, kLimits);
    EXPECT_EQ(zoomed, z.expected);
    // The fixed value keeps its share of the span.
    if (zoomed != z.range) {
        EXPECT_EQ((z.fixed - zoomed.min) / zoomed.Span(), (z.fixed - z.range.min) / z.range.Span());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Factors, ZoomWithinLimits,
    testing::Values(Zoom{"in about the middle", {0, 64}, 32, 0.5, {16, 48}},
                    Zoom{"out about a quarter", {0, 64}, 16, 2, {-16, 112}},
                    Zoom{"in to the finest span", {0, 16}, 8, 0.125, {6, 10}},
                    Zoom{"in at the finest span", {6, 10}, 7, 0.5, {6, 10}},
                    Zoom{"out to the widest span", {0, 500}, 0, 4, {0, 1000}},
                    Zoom{"out at the widest span", {0, 1000}, 500, 2, {0, 1000}},
                    Zoom{"in from beyond the widest", {0, 4096}, 0, 0.5, {0, 2048}},
                    Zoom{"further out from beyond the widest", {0, 4096}, 0, 2, {0, 4096}},
                    Zoom{"out from below the finest", {0, 2}, 0, 2, {0, 4}},
                    Zoom{"further in from below the finest", {0, 2}, 0, 0.5, {0, 2}},
                    Zoom{"by a factor of one", {0, 64}, 3, 1, {0, 64}}));

TEST(LimitedBand, IsWidenedOrNarrowedAboutItsMiddleOnlyBeyondTheLimits)
{
    struct Case {
        Range band;
        Range expected;
    };
    for (const Case& c : {Case{{10, 20}, {10, 20}}, Case{{10, 12}, {9, 13}}, Case{{0, 4000}, {1500, 2500}},
                          Case{{-2, 2}, {-2, 2}}})
        EXPECT_EQ(Limited(c.band, kLimits), c.expected) << c.band.min << ".." << c.band.max;
}

TEST(ViewLimits, AFewStepsAndLabelledValuesInAHundredTimesTheTracesOut)
{
    struct Case {
        AxisRanges spanning;
        ViewLimits expected;
    };
    const Case cases[] = {
        // A run of 2000 steps at values up to 160: six digits of a label
        // tell 0.016 apart there.
        {{{0, 1999}, {-20, 160}}, {{4, 199900}, {0.016, 18000}}},
        // Values about zero: labels in exponent form.
        {{{0, 1}, {-1e-9, 1e-9}}, {{4, 100}, {1e-13, 2e-7}}},
        // Barely varying far from zero: no wider than the labels resolve.
        {{{0, 1999}, {999.999, 1000}}, {{4, 199900}, {0.1, 0.1}}},
    };
    // Products and differences of decimal fractions: 999.999 is off by a
    // rounding of 1e-14, which is 1e-11 of the span it ends.
    auto near = [](double got, double wanted) { return std::abs(got - wanted) <= 1e-9 * wanted; };
    for (const Case& c : cases) {
        const ViewLimits limits = LimitsFor(c.spanning);
        EXPECT_EQ(limits.x.finest, c.expected.x.finest);
        EXPECT_TRUE(near(limits.x.widest, c.expected.x.widest)) << limits.x.widest;
        EXPECT_TRUE(near(limits.y.finest, c.expected.y.finest)) << limits.y.finest;
        EXPECT_TRUE(near(limits.y.widest, c.expected.y.widest)) << limits.y.widest;
    }
}

// Without a step axis, values across are limited as values up are, and
// the values up exactly as on the main chart.
TEST(ViewLimits, ValuesAcrossAsValuesUp)
{
    const AxisRanges cases[] = {{{-12, 87}, {-157, 235}}, {{0, 1999}, {-20, 160}}, {{9.9, 10.1}, {89, 90}}};
    for (const AxisRanges& spanning : cases) {
        const ViewLimits values = ValueLimitsFor(spanning);
        const ViewLimits steps = LimitsFor(spanning);
        const ViewLimits swapped = LimitsFor({spanning.y, spanning.x});
        EXPECT_EQ(values.y.finest, steps.y.finest);
        EXPECT_EQ(values.y.widest, steps.y.widest);
        EXPECT_EQ(values.x.finest, swapped.y.finest);
        EXPECT_EQ(values.x.widest, swapped.y.widest);
    }
}

// What Back() or Forward() give for going to the view.
std::optional<ViewHistory::View> Went(const ViewHistory::View& view)
{
    return view;
}

TEST(ViewHistory, GoesBackAndForwardThroughTheViewsLeftAndForgetsTheWayForwardOnANewOne)
{
    const AxisRanges a{{0, 1}, {0, 1}};
    const AxisRanges b{{0, 2}, {0, 2}};
    const AxisRanges c{{0, 3}, {0, 3}};
    ViewHistory history;
    EXPECT_EQ(history.Back(a), std::nullopt) << "nowhere to go";
    history.Left(std::nullopt);
    history.Left(a);
    // Now at b: back to a, back to the whole run, and nowhere further.
    EXPECT_EQ(history.Back(b), Went(a));
    EXPECT_EQ(history.Back(a), Went(std::nullopt));
    EXPECT_FALSE(history.CanGoBack());
    EXPECT_EQ(history.Forward(std::nullopt), Went(a));
    EXPECT_EQ(history.Forward(a), Went(b));
    EXPECT_FALSE(history.CanGoForward());
    EXPECT_EQ(history.Back(b), Went(a));
    history.Left(a);
    EXPECT_FALSE(history.CanGoForward()) << "a new view forgets the way forward";
    EXPECT_EQ(history.Back(c), Went(a));
}

TEST(ViewHistory, KeepsTheNewestViewsOnly)
{
    ViewHistory history;
    for (std::size_t i = 0; i <= ViewHistory::kMostKept; ++i)
        history.Left(AxisRanges{{0, static_cast<double>(i + 1)}, {0, 1}});
    std::size_t back = 0;
    ViewHistory::View last;
    while (const std::optional<ViewHistory::View> view = history.Back(std::nullopt)) {
        last = *view;
        ++back;
    }
    EXPECT_EQ(back, ViewHistory::kMostKept);
    EXPECT_EQ(last, ViewHistory::View(AxisRanges{{0, 2}, {0, 1}})) << "the first view left is gone";
}

} // namespace
