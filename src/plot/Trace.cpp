#include "plot/Trace.h"

#include <string>
#include <utility>

Trace::Trace(std::string title, Colour lineColour)
    : title_(std::move(title)), lineColour_(lineColour)
{
}

void Trace::Start(Colour pointColour, std::size_t steps)
{
    Clear();
    pointColour_ = pointColour;
    values_->reserve(steps);
}

void Trace::ReplacePoints(const Trace& other)
{
    ++revision_;
    values_ = other.values_;
    pointColour_ = other.pointColour_;
}

void Trace::SwapPoints(Trace& other)
{
    ++revision_;
    ++other.revision_;
    std::swap(values_, other.values_);
    std::swap(pointColour_, other.pointColour_);
}

const MinMaxPyramid& Trace::Pyramid() const
{
    if (!pyramid_ || pyramid_->revision != revision_)
        pyramid_ = BuiltPyramid{revision_, MinMaxPyramid(*values_)};
    return pyramid_->pyramid;
}

void Trace::Clear()
{
    ++revision_;
    if (values_.Alone())
        values_->clear();
    else
        values_.values = std::make_shared<std::vector<double>>();
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
