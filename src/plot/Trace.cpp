#include "plot/Trace.h"

#include <algorithm>
#include <utility>

Trace::Trace(std::string title, Colour lineColour)
    : title_(std::move(title)), lineColour_(lineColour)
{
}

void Trace::AppendPoint(double x, double y, std::string_view label, Colour colour)
{
    ++revision_;
    TracePoint point{x, y, std::string(label), colour};
    if (points_.empty() || !(x < points_.back().x)) {
        points_.push_back(std::move(point));
        return;
    }
    const auto before = std::upper_bound(points_.begin(), points_.end(), x,
                                         [](double value, const TracePoint& p) { return value < p.x; });
    points_.insert(before, std::move(point));
}

void Trace::Clear()
{
    ++revision_;
    points_.clear();
}

std::array<Trace, kTraceCount> MakeTraces()
{
    auto make = [](int i) {
        const TraceDefinition& definition = kTraceDefinitions[static_cast<std::size_t>(i)];
        Trace trace(std::string(definition.title), definition.lineColour);
        trace.Reserve(kRunLength);
        return trace;
    };
    std::array<Trace, kTraceCount> traces{make(0), make(1), make(2), make(3), make(4), make(5)};
    return traces;
}
