#include "plot/ViewChange.h"

#include <algorithm>
#include <cmath>

namespace {

// The step axis labels whole steps only: at this span it still shows a few.
constexpr double kFewestSteps = 4;
// Tick labels show six significant digits; a span this fine of the values'
// magnitude still has ticks whose labels differ.
constexpr double kFinestLabelledRelativeSpan = 1e-4;
constexpr double kWidestTimesTraces = 100;
constexpr double kNoChange = 1e-9;

void Keep(std::vector<ViewHistory::View>& views, const ViewHistory::View& view)
{
    if (views.size() == ViewHistory::kMostKept)
        views.erase(views.begin());
    views.push_back(view);
}

} // namespace

namespace {

SpanLimits ValueLimits(Range spanning)
{
    const double magnitude = std::max(std::abs(spanning.min), std::abs(spanning.max));
    // Never zero: traces of one value are widened about it.
    const double finest = kFinestLabelledRelativeSpan * magnitude;
    // Traces that barely vary about a large value may span less than their
    // labels resolve: then they may be shown no wider than that.
    return {finest, std::max(finest, kWidestTimesTraces * spanning.Span())};
}

} // namespace

ViewLimits LimitsFor(const AxisRanges& spanning)
{
    return {{kFewestSteps, std::max(kFewestSteps, kWidestTimesTraces * spanning.x.Span())}, ValueLimits(spanning.y)};
}

ViewLimits ValueLimitsFor(const AxisRanges& spanning)
{
    return {ValueLimits(spanning.x), ValueLimits(spanning.y)};
}

Range Zoomed(Range range, double fixed, double factor, SpanLimits limits)
{
    const double span = range.Span();
    if (factor < 1)
        factor = std::min(1.0, std::max(factor, limits.finest / span));
    else if (factor > 1)
        factor = std::max(1.0, std::min(factor, limits.widest / span));
    // At a limit the factor comes out within a rounding of 1: a view that
    // moves by a rounding is no change.
    if (std::abs(factor - 1) < kNoChange)
        return range;
    return {fixed - (fixed - range.min) * factor, fixed + (range.max - fixed) * factor};
}

Range Limited(Range range, SpanLimits limits)
{
    const double span = std::clamp(range.Span(), limits.finest, limits.widest);
    if (span == range.Span())
        return range;
    const double middle = range.min + range.Span() / 2;
    return {middle - span / 2, middle + span / 2};
}

Range Panned(Range range, double by)
{
    return {range.min + by, range.max + by};
}

void ViewHistory::Left(const View& view)
{
    Keep(back_, view);
    forward_.clear();
}

std::optional<ViewHistory::View> ViewHistory::Back(const View& current)
{
    return Go(back_, forward_, current);
}

std::optional<ViewHistory::View> ViewHistory::Forward(const View& current)
{
    return Go(forward_, back_, current);
}

std::optional<ViewHistory::View> ViewHistory::Go(std::vector<View>& ahead, std::vector<View>& behind,
                                                 const View& current)
{
    if (ahead.empty())
        return std::nullopt;
    const View view = ahead.back();
    ahead.pop_back();
    Keep(behind, current);
    return view;
}
