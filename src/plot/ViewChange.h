#pragma once

#include "plot/ChartRange.h"

#include <optional>
#include <vector>

// How far the user may zoom the chart, and the zoom and pan arithmetic
// within those limits, with no window at hand.

// The narrowest and widest span one axis may show.
struct SpanLimits {
    double finest;
    double widest;
};

struct ViewLimits {
    SpanLimits x;
    SpanLimits y;
};

// At least a few steps across, so the step axis still has labels; values
// no finer than their tick labels tell apart; and no wider than a hundred
// times what the shown traces span, beyond which they shrink to a dot.
ViewLimits LimitsFor(const AxisRanges& spanning);

// As LimitsFor, with values across as well as up: for a chart that has no
// step axis.
ViewLimits ValueLimitsFor(const AxisRanges& spanning);

// The range scaled by factor about the fixed value, the fixed value staying
// where it is. A factor that would pass a limit stops at it; one that
// would move further past a limit the range is already beyond does nothing.
Range Zoomed(Range range, double fixed, double factor, SpanLimits limits);

// The range widened about its middle to the finest span, or narrowed to
// the widest, if it lies beyond either.
Range Limited(Range range, SpanLimits limits);

Range Panned(Range range, double by);

// The views the user went through, as a browser's back and forward: each
// view is the user's ranges, or none for the whole run.
class ViewHistory {
public:
    using View = std::optional<AxisRanges>;

    // The user left the view for another: it is the one to go back to, and
    // nothing is left to go forward to.
    void Left(const View& view);
    // The view to go back or forward to from the current one, which is kept
    // to return to; none when there is nowhere to go.
    std::optional<View> Back(const View& current);
    std::optional<View> Forward(const View& current);

    bool CanGoBack() const { return !back_.empty(); }
    bool CanGoForward() const { return !forward_.empty(); }

    // The oldest views go beyond this many.
    static constexpr std::size_t kMostKept = 100;

private:
    // To the newest view ahead; the current one goes behind.
    static std::optional<View> Go(std::vector<View>& ahead, std::vector<View>& behind, const View& current);

    std::vector<View> back_;
    std::vector<View> forward_;
};
