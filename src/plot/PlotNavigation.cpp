#include "plot/PlotNavigation.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kZoomPerStep = 0.8;

// Below this a span's ends are so close in doubles that neighbouring pixels
// would show the same value.
constexpr double kFinestRelativeSpan = 1e-12;

// NiceTickInterval aims at about five; more means it could not find a
// round interval, as on spans of subnormal numbers.
constexpr double kMostTicks = 10;

Range ZoomedAbout(Range range, double fixed, double factor)
{
    return {fixed - (fixed - range.min) * factor, fixed + (range.max - fixed) * factor};
}

Range Shifted(Range range, double by)
{
    return {range.min + by, range.max + by};
}

bool Viewable(Range range)
{
    if (!std::isfinite(range.min) || !std::isfinite(range.max) || !std::isfinite(range.Span()))
        return false;
    const double magnitude = std::max(std::abs(range.min), std::abs(range.max));
    if (!(range.Span() > 0) || range.Span() < magnitude * kFinestRelativeSpan)
        return false;
    return range.Span() / NiceTickInterval(range) <= kMostTicks;
}

} // namespace

bool PlotMapping::Contains(PixelPoint point) const
{
    return point.x >= area.left && point.x <= area.left + area.width && point.y >= area.top &&
           point.y <= area.top + area.height;
}

double ZoomFactor(double steps)
{
    return std::pow(kZoomPerStep, steps);
}

AxisRanges ZoomedAbout(const PlotMapping& mapping, PixelPoint fixed, double factor, ZoomAxes axes)
{
    AxisRanges zoomed = mapping.ranges;
    if (axes != ZoomAxes::YOnly)
        zoomed.x = ZoomedAbout(zoomed.x, mapping.ValueAtX(fixed.x), factor);
    if (axes != ZoomAxes::XOnly)
        zoomed.y = ZoomedAbout(zoomed.y, mapping.ValueAtY(fixed.y), factor);
    return zoomed;
}

AxisRanges BandRanges(const PlotMapping& mapping, PixelPoint corner, PixelPoint oppositeCorner)
{
    const PixelRect& area = mapping.area;
    auto clippedX = [&area](double x) { return std::clamp(x, area.left, area.left + area.width); };
    auto clippedY = [&area](double y) { return std::clamp(y, area.top, area.top + area.height); };
    const auto [left, right] = std::minmax({clippedX(corner.x), clippedX(oppositeCorner.x)});
    const auto [top, bottom] = std::minmax({clippedY(corner.y), clippedY(oppositeCorner.y)});
    return {{mapping.ValueAtX(left), mapping.ValueAtX(right)}, {mapping.ValueAtY(bottom), mapping.ValueAtY(top)}};
}

AxisRanges Panned(const PlotMapping& mapping, double dxPixels, double dyPixels)
{
    const AxisRanges& ranges = mapping.ranges;
    return {Shifted(ranges.x, -dxPixels / mapping.area.width * ranges.x.Span()),
            Shifted(ranges.y, dyPixels / mapping.area.height * ranges.y.Span())};
}

bool Viewable(const AxisRanges& ranges)
{
    return Viewable(ranges.x) && Viewable(ranges.y);
}
