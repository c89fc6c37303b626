#include "chart/ChartPins.h"

#include "chart/TraceChart.h"
#include "experiments/Family.h"

#include <algorithm>

ChartPins::ChartPins(TraceChart& chart) : QObject(&chart), chart_(chart) {}

void ChartPins::PinRun(std::span<const TraceToPin> traces, const std::string& run, const RunOrigin& origin,
                       const RunRecipe& recipe)
{
    ++runsPinned_;
    for (const auto& [trace, quantity] : traces) {
        if (trace->Points().empty())
            continue;
        if (pinned_.size() == kMostKept)
            TakeOff(pinned_.begin());
        // Named once the oldest is gone: its name is free again.
        Pin({trace, quantity,
             chart_.View().Traces().UnusedHeading(trace->Title() + " (" + run + ")"),
             origin.family ? FamilyColour(origin.family->index, origin.family->count) : NextColour()},
            origin, recipe);
    }
}

void ChartPins::RepinRun(std::span<const PinnedAgain> traces, const RunOrigin& origin, const RunRecipe& recipe)
{
    ++runsPinned_;
    for (const PinnedAgain& trace : traces) {
        if (pinned_.size() == kMostKept)
            TakeOff(pinned_.begin());
        Pin(trace, origin, recipe);
    }
}

void ChartPins::Pin(const PinnedAgain& pin, const RunOrigin& origin, const RunRecipe& recipe)
{
    const RunTrace of{true, runsPinned_, pin.quantity};
    Trace& copy = pinned_.emplace_back(PinnedTrace{Trace(pin.heading, pin.colour), of, origin, recipe}).trace;
    copy.ReplacePoints(*pin.trace);
    ++revision_;
    // A family's member is named by its value in a report's legend.
    std::optional<std::string> reportName;
    if (origin.family)
        reportName = FamilyMemberLabel(origin.family->setting, origin.family->value);
    chart_.AddTrace(copy, pin.heading, LineStyle::Dashed, of, std::move(reportName));
}

void ChartPins::Clear()
{
    while (!pinned_.empty())
        TakeOff(pinned_.begin());
}

bool ChartPins::IsPin(int index) const
{
    const Trace& trace = chart_.View().Traces().At(index);
    return std::any_of(pinned_.begin(), pinned_.end(),
                       [&trace](const PinnedTrace& pin) { return &pin.trace == &trace; });
}

void ChartPins::Remove(int index)
{
    const Trace& trace = chart_.View().Traces().At(index);
    const auto pin =
        std::find_if(pinned_.begin(), pinned_.end(), [&trace](const PinnedTrace& kept) { return &kept.trace == &trace; });
    if (pin != pinned_.end())
        TakeOff(pin);
}

Colour ChartPins::NextColour() const
{
    return *std::min_element(kPinPalette.begin(), kPinPalette.end(), [this](Colour a, Colour b) {
        auto uses = [this](Colour colour) {
            return std::count_if(pinned_.begin(), pinned_.end(),
                                 [colour](const PinnedTrace& pin) { return pin.trace.LineColour() == colour; });
        };
        return uses(a) < uses(b);
    });
}

void ChartPins::TakeOff(std::list<PinnedTrace>::const_iterator pin)
{
    // Out of the list before the chart says it changed, so those who follow
    // the chart find the pins as they now are; alive, at its address, until
    // the chart, which holds it by reference, has let it go.
    std::list<PinnedTrace> going;
    going.splice(going.begin(), pinned_, pin);
    ++revision_;
    chart_.RemoveTrace(chart_.View().Traces().IndexOf(going.front().trace).value());
}
