#include "chart/ChartPins.h"

#include "chart/TraceChart.h"

#include <algorithm>

ChartPins::ChartPins(TraceChart& chart) : QObject(&chart), chart_(chart) {}

void ChartPins::Pin(const Trace& trace, const std::string& run)
{
    if (pinned_.size() == kMostKept)
        RemoveOldest();
    const std::string name = chart_.View().Traces().UnusedHeading(trace.Title() + " (" + run + ")");
    Trace& pin = pinned_.emplace_back(name, NextColour());
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

bool ChartPins::IsPin(int index) const
{
    const Trace& trace = chart_.View().Traces().At(index);
    return std::any_of(pinned_.begin(), pinned_.end(), [&trace](const Trace& pin) { return &pin == &trace; });
}

void ChartPins::Remove(int index)
{
    const Trace& trace = chart_.View().Traces().At(index);
    const auto pin = std::find_if(pinned_.begin(), pinned_.end(), [&trace](const Trace& kept) { return &kept == &trace; });
    if (pin == pinned_.end())
        return;
    chart_.RemoveTrace(index);
    pinned_.erase(pin);
}

Colour ChartPins::NextColour() const
{
    return *std::min_element(kPinPalette.begin(), kPinPalette.end(), [this](Colour a, Colour b) {
        auto uses = [this](Colour colour) {
            return std::count_if(pinned_.begin(), pinned_.end(), [colour](const Trace& pin) { return pin.LineColour() == colour; });
        };
        return uses(a) < uses(b);
    });
}

void ChartPins::RemoveOldest()
{
    chart_.RemoveTrace(chart_.View().Traces().IndexOf(pinned_.front()).value());
    pinned_.pop_front();
}
