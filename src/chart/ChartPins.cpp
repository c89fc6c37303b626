#include "chart/ChartPins.h"

#include "chart/TraceChart.h"

ChartPins::ChartPins(TraceChart& chart) : QObject(&chart), chart_(chart) {}

void ChartPins::Pin(const Trace& trace, const std::string& run)
{
    if (pinned_.size() == kMostKept)
        RemoveOldest();
    const std::string name = chart_.View().Traces().UnusedHeading(trace.Title() + " (" + run + ")");
    Trace& pin = pinned_.emplace_back(name, trace.LineColour());
    pin.Reserve(trace.Points().size());
    for (const TracePoint& point : trace.Points())
        pin.AppendPoint(point.x, point.y, trace.Label(point), point.colour);
    chart_.AddTrace(pin, name, LineStyle::Dashed);
}

void ChartPins::Clear()
{
    while (!pinned_.empty())
        RemoveOldest();
}

void ChartPins::RemoveOldest()
{
    chart_.RemoveTrace(chart_.View().Traces().IndexOf(pinned_.front()).value());
    pinned_.pop_front();
}
