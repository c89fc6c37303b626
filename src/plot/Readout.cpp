#include "plot/Readout.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The trace's step nearest to x, the lower at a tie.
std::optional<double> NearestX(const Trace& trace, double x)
{
    if (trace.Empty())
        return std::nullopt;
    const auto last = static_cast<double>(trace.Size() - 1);
    if (!(x > 0))
        return 0.0;
    if (x >= last)
        return last;
    const double below = std::floor(x);
    return x - below <= below + 1 - x ? below : below + 1;
}

std::optional<double> NearestX(const ShownTraces& traces, double x)
{
    // Ordered by distance, then by value, so a tie goes to the lower x.
    auto order = [x](double candidate) { return std::pair{std::abs(candidate - x), candidate}; };
    std::optional<double> nearest;
    for (int i : traces.ShownIndices()) {
        const std::optional<double> candidate = NearestX(traces.At(i), x);
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
    // The point of step i is at x = i.
    if (!(x >= 0) || x >= static_cast<double>(trace.Size()) || x != std::floor(x))
        return std::nullopt;
    return trace.Values()[static_cast<std::size_t>(x)];
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

std::optional<std::size_t> NearestSample(std::span<const double> keys, std::span<const double> values, double x)
{
    const auto first = static_cast<std::size_t>(std::ranges::lower_bound(keys, x) - keys.begin());
    std::optional<std::size_t> below;
    for (std::size_t i = first; i-- > 0 && !below;)
        if (!std::isnan(values[i]))
            below = i;
    std::optional<std::size_t> above;
    for (std::size_t i = first; i < keys.size() && !above; ++i)
        if (!std::isnan(values[i]))
            above = i;
    if (!below || !above)
        return below ? below : above;
    return x - keys[*below] <= keys[*above] - x ? below : above;
}
