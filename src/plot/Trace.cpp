#include "plot/Trace.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

Trace::Trace(std::string title, Colour lineColour)
    : title_(std::move(title)), lineColour_(lineColour)
{
}

std::uint32_t Trace::KeepLabel(std::string_view label)
{
    labels_.emplace_back(label);
    return static_cast<std::uint32_t>(labels_.size() - 1);
}

void Trace::InsertBeforeLargerX(const TracePoint& point)
{
    const auto before = std::upper_bound(points_.begin(), points_.end(), point.x,
                                         [](double x, const TracePoint& p) { return x < p.x; });
    points_.insert(before, point);
}

void Trace::Clear()
{
    ++revision_;
    points_.clear();
    labels_.resize(1);
}

ChartTraces MakeTraces()
{
    auto make = [](int i) {
        const TraceDefinition& definition = kTraceDefinitions[static_cast<std::size_t>(i)];
        return Trace(std::string(definition.title), definition.lineColour);
    };
    ChartTraces traces{make(0), make(1), make(2), make(3), make(4), make(5)};
    return traces;
}

const Trace& SeriesNumbered(const ChartTraces& traces, int n)
{
    if (n < 1 || n > kTraceCount)
        throw std::out_of_range("there is no Series" + std::to_string(n));
    return traces[static_cast<std::size_t>(n - 1)];
}

Trace& SeriesNumbered(ChartTraces& traces, int n)
{
    return const_cast<Trace&>(SeriesNumbered(std::as_const(traces), n));
}
