#include "plot/Trace.h"

#include <algorithm>
#include <limits>
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

void Trace::ReplacePoints(const Trace& other)
{
    ++revision_;
    points_ = other.points_;
    labels_ = other.labels_;
}

void Trace::SwapPoints(Trace& other)
{
    ++revision_;
    ++other.revision_;
    points_.swap(other.points_);
    labels_.swap(other.labels_);
}

ValueSpan Trace::Values() const
{
    if (!values_ || values_->revision != revision_) {
        ValueSpan span{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
        for (const TracePoint& point : points_) {
            span.min = std::min(span.min, point.y);
            span.max = std::max(span.max, point.y);
        }
        values_ = SpannedValues{revision_, span};
    }
    return values_->values;
}

void Trace::Clear()
{
    ++revision_;
    points_.clear();
    labels_.resize(1);
}

Trace MakeTrace(const TraceDefinition& definition)
{
    return Trace(std::string(QuantityName(definition.quantity)), definition.lineColour);
}

ChartTraces MakeTraces()
{
    const auto& d = kTraceDefinitions;
    return {MakeTrace(d[0]), MakeTrace(d[1]), MakeTrace(d[2]), MakeTrace(d[3]), MakeTrace(d[4]), MakeTrace(d[5])};
}
