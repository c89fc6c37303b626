#include "plot/ReportStyle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace {

// A chart's traces as the window adds them: three live runs, Md and Omega
// each, then pinned runs; the traces live as long as the table.
class Chart {
public:
    void AddRun(bool pinned, std::uint64_t run, const std::vector<double>& md, const std::vector<double>& omega)
    {
        Add(RunTrace{pinned, run, Quantity::Md}, md);
        Add(RunTrace{pinned, run, Quantity::Omega}, omega);
    }

    // The traces that show the quantity, as a table of their own.
    ShownTraces Only(Quantity quantity) const
    {
        ShownTraces only;
        for (int i = 0; i < shown.Count(); ++i)
            if (shown.Of(i)->quantity == quantity && shown.IsShown(i))
                only.Add(shown.At(i), shown.Heading(i));
        return only;
    }

    ShownTraces shown;

private:
    void Add(RunTrace of, const std::vector<double>& values)
    {
        Trace& trace = traces_.emplace_back(std::string(QuantityName(of.quantity)), clBlack);
        for (double value : values)
            trace.AppendNext(value);
        shown.Add(trace, std::string(QuantityName(of.quantity)) + " #" + std::to_string(traces_.size()), of);
    }

    std::deque<Trace> traces_;
};

struct SpanCase {
    const char* name;
    std::vector<double> liveMd;
    std::vector<double> liveOmega;
    std::vector<double> pinMd;
    std::vector<double> pinOmega;
    std::vector<int> hidden;
};

// Each axis spans what the same traces alone would span on a chart of
// their own; the steps span every shown trace.
TEST(ReportStyle, EachValueAxisSpansItsQuantityAlone)
{
    const std::vector<SpanCase> cases{
        {"both quantities", {1, 5, -2}, {0, 150, 157}, {}, {}, {}},
        {"a pin wider than the run", {1, 5}, {0, 150}, {-30, 2, 4, 9}, {-10, 170}, {}},
        {"Omega hidden", {1, 5}, {0, 150}, {}, {}, {1}},
        {"Md hidden, a pin's Omega left", {1, 5}, {0, 150}, {7, 8}, {3, 2, 1, 0, -1}, {0, 1, 2}},
        {"nothing", {}, {}, {}, {}, {}},
    };
    for (const SpanCase& c : cases) {
        Chart chart;
        chart.AddRun(false, 0, c.liveMd, c.liveOmega);
        chart.AddRun(true, 1, c.pinMd, c.pinOmega);
        for (int i : c.hidden)
            chart.shown.SetShown(i, false);
        const ReportSpans spans = ReportSpanning(chart.shown);
        EXPECT_EQ(spans.left.x, chart.shown.Spanning().x) << c.name;
        EXPECT_EQ(spans.left.y, chart.Only(Quantity::Md).Spanning().y) << c.name;
        EXPECT_EQ(spans.right, chart.Only(Quantity::Omega).Spanning().y) << c.name;
    }
}

TEST(ReportStyle, ATraceOfNoRunIsReadOnTheLeftAxis)
{
    Trace trace("Md", clBlack);
    trace.AppendNext(42);
    ShownTraces shown;
    shown.Add(trace, "Md");
    EXPECT_EQ(AxisQuantity(shown, 0), Quantity::Md);
    EXPECT_EQ(ReportSpanning(shown).left.y, shown.Spanning().y);
    EXPECT_EQ(ReportSpanning(shown).right, kEmptyChartRanges.y);
}

struct FollowCase {
    Range leftSpan;
    Range rightSpan;
    Range leftShown;
};

// The whole left span shows the whole right one, to the bit; a zoomed
// view shows the same shares of both, to rounding: a few ulps of the
// shares' size.
TEST(ReportStyle, TheRightAxisShowsTheShareOfItsSpanTheLeftShows)
{
    const std::vector<FollowCase> cases{
        {{-3.5, 12.25}, {0, 157.08}, {-3.5, 12.25}},
        {{-3.5, 12.25}, {0, 157.08}, {0, 1}},
        {{0, 1}, {-1e6, 1e-3}, {-0.4, 0.1}},
        {{1e-9, 2e-9}, {99, 101}, {1.5e-9, 1.75e-9}},
        {{-1, 1}, {-1, 1}, {-10, 10}},
    };
    for (const FollowCase& c : cases) {
        EXPECT_EQ(FollowingRange(c.leftSpan, c.leftSpan, c.rightSpan), c.rightSpan);
        const Range right = FollowingRange(c.leftShown, c.leftSpan, c.rightSpan);
        auto share = [](double value, Range span) { return (value - span.min) / span.Span(); };
        EXPECT_NEAR(share(right.min, c.rightSpan), share(c.leftShown.min, c.leftSpan), 1e-12);
        EXPECT_NEAR(share(right.max, c.rightSpan), share(c.leftShown.max, c.leftSpan), 1e-12);
    }
}

struct ColourCase {
    const char* name;
    // Which of the three live runs hold points.
    std::vector<bool> liveHeld;
    int pinnedRuns;
};

// Colours as a report needs them: the runs' two traces alike, the runs
// apart while the palette lasts, every colour the palette's and no pin in
// a live run's colour.
TEST(ReportStyle, EachRunHasAColourOfItsOwnAndNoPinALiveRunsColour)
{
    const std::vector<ColourCase> cases{
        {"the three runs", {true, true, true}, 0},
        {"one run, two pins", {false, true, false}, 2},
        {"a family of four beside the step response", {false, false, true}, 4},
        {"three runs and as many pins as the palette has left", {true, true, true}, 9},
        {"a family of twenty-four", {true, false, true}, 24},
        {"pins alone", {false, false, false}, 14},
    };
    const std::vector<double> points{1, 2};
    for (const ColourCase& c : cases) {
        Chart chart;
        for (std::size_t run = 0; run < c.liveHeld.size(); ++run)
            chart.AddRun(false, run, c.liveHeld[run] ? points : std::vector<double>(),
                         c.liveHeld[run] ? points : std::vector<double>());
        for (int pin = 0; pin < c.pinnedRuns; ++pin)
            chart.AddRun(true, static_cast<std::uint64_t>(pin), points, points);
        const std::vector<Colour> colours = ReportColours(chart.shown);
        ASSERT_EQ(colours.size(), static_cast<std::size_t>(chart.shown.Count())) << c.name;

        std::vector<Colour> live;
        std::vector<Colour> runs;
        for (int i = 0; i < chart.shown.Count(); i += 2) {
            const auto at = static_cast<std::size_t>(i);
            EXPECT_EQ(colours[at], colours[at + 1]) << c.name << ": the run's two traces, at " << i;
            EXPECT_NE(std::find(kReportPalette.begin(), kReportPalette.end(), colours[at]), kReportPalette.end())
                << c.name;
            if (chart.shown.At(i).Points().empty())
                continue;
            runs.push_back(colours[at]);
            if (!chart.shown.Of(i)->pinned)
                live.push_back(colours[at]);
            else
                EXPECT_EQ(std::find(live.begin(), live.end(), colours[at]), live.end())
                    << c.name << ": the pin at " << i << " in a live run's colour";
        }
        const std::size_t distinct = std::min(runs.size(), kReportPalette.size());
        std::vector<Colour> first(runs.begin(), runs.begin() + static_cast<std::ptrdiff_t>(distinct));
        std::sort(first.begin(), first.end());
        EXPECT_EQ(std::unique(first.begin(), first.end()), first.end()) << c.name << ": runs alike";
    }
}

} // namespace
