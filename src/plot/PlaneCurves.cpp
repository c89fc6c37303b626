#include "plot/PlaneCurves.h"

#include <algorithm>
#include <limits>

std::vector<RunTraces> ShownRuns(const ShownTraces& traces)
{
    std::vector<RunTraces> runs;
    for (int omega = 0; omega < traces.Count(); ++omega) {
        const std::optional<RunTrace>& of = traces.Of(omega);
        if (!of || of->quantity != Quantity::Omega || !traces.IsShown(omega) || traces.At(omega).Points().empty())
            continue;
        for (int md = 0; md < traces.Count(); ++md)
            if (traces.Of(md) == RunTrace{of->pinned, of->run, Quantity::Md})
                runs.push_back({md, omega});
    }
    return runs;
}

std::vector<PlanePoint> PathOf(const Trace& md, const Trace& omega)
{
    // Both hold a value at every step from step 0.
    const std::span<const double> torques = md.Values();
    const std::span<const double> speeds = omega.Values();
    std::vector<PlanePoint> path(std::min(torques.size(), speeds.size()));
    for (std::size_t i = 0; i < path.size(); ++i)
        path[i] = {torques[i], speeds[i], static_cast<double>(i)};
    return path;
}

AxisRanges PlaneSpan(const std::vector<const PlaneCurve*>& curves)
{
    std::vector<AxisRanges> bounds;
    for (const PlaneCurve* curve : curves)
        bounds.push_back(BoundsOf(curve->points));
    return SpanOfBounds(bounds);
}

AxisRanges BoundsOf(const std::vector<PlanePoint>& points)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    Range x{inf, -inf};
    Range y{inf, -inf};
    for (const PlanePoint& point : points) {
        x = {std::min(x.min, point.Md), std::max(x.max, point.Md)};
        y = {std::min(y.min, point.Omega), std::max(y.max, point.Omega)};
    }
    return {x, y};
}

AxisRanges SpanOfBounds(const std::vector<AxisRanges>& bounds)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    Range x{inf, -inf};
    Range y{inf, -inf};
    for (const AxisRanges& of : bounds) {
        x = {std::min(x.min, of.x.min), std::max(x.max, of.x.max)};
        y = {std::min(y.min, of.y.min), std::max(y.max, of.y.max)};
    }
    return SpanningFound(x, y);
}

std::string PlaneCsv(const std::vector<const PlaneCurve*>& curves, CsvStyle style)
{
    auto number = [style](double value) { return CsvNumber(value, style); };
    const char separator = style.separator;
    std::string csv = std::string("curve") + separator + "step" + separator + "Md" + separator + "Omega\n";
    for (const PlaneCurve* curve : curves)
        for (const PlanePoint& point : curve->points)
            csv += curve->name + separator + (point.step ? number(*point.step) : std::string()) + separator +
                   number(point.Md) + separator + number(point.Omega) + '\n';
    return csv;
}
