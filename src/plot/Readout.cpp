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
    for (int i : traces.ShownIndices()) {
        const Points& points = traces.At(i).Points();
        const auto at = FirstNotBelow(points, *nearest);
        if (at != points.end() && at->x == *nearest)
            readout.values.push_back({i, at->y});
    }
    return readout;
}
