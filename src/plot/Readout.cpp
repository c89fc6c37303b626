#include "plot/Readout.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace {

using Points = std::vector<TracePoint>;

Points::const_iterator FirstNotBelow(const Points& points, double x)
{
    return std::lower_bound(points.begin(), points.end(), x,
                            [](const TracePoint& point, double value) { return point.x < value; });
}

std::optional<double> NearestX(const Points& points, double x)
{
    if (points.empty())
        return std::nullopt;
    const auto after = FirstNotBelow(points, x);
    if (after == points.end())
        return points.back().x;
    if (after == points.begin())
        return after->x;
    const double below = std::prev(after)->x;
    return x - below <= after->x - x ? below : after->x;
}

std::optional<double> NearestX(const ShownTraces& traces, double x)
{
    // Ordered by distance, then by value, so a tie goes to the lower x.
    auto order = [x](double candidate) { return std::pair{std::abs(candidate - x), candidate}; };
    std::optional<double> nearest;
    for (int i : traces.ShownIndices()) {
        const std::optional<double> candidate = NearestX(traces.At(i).Points(), x);
        if (candidate && (!nearest || order(*candidate) < order(*nearest)))
            nearest = candidate;
    }
    return nearest;
}

} // namespace

std::optional<Readout> ReadoutNearest(const ShownTraces& traces, double x)
{
    const std::optional<double> nearest = NearestX(traces, x);
    if (!nearest)
        return std::nullopt;
    Readout readout{*nearest, {}};
    for (int i : traces.ShownIndices())
        if (const std::optional<double> y = ValueAtX(traces.At(i), *nearest))
            readout.values.push_back({i, *y});
    return readout;
}

std::optional<double> ValueAtX(const Trace& trace, double x)
{
    const Points& points = trace.Points();
    const auto at = FirstNotBelow(points, x);
    if (at == points.end() || at->x != x)
        return std::nullopt;
    return at->y;
}

std::optional<double> CursorReading::Difference() const
{
    if (!atA || !atB)
        return std::nullopt;
    return *atB - *atA;
}

std::vector<CursorReading> ReadCursors(const ShownTraces& traces, double a, double b)
{
    std::vector<CursorReading> readings;
    for (int i : traces.ShownIndices())
        readings.push_back({i, ValueAtX(traces.At(i), a), ValueAtX(traces.At(i), b)});
    return readings;
}
