#pragma once

#include "experiments/Experiments.h"
#include "experiments/Runs.h"
#include "plot/ShownTraces.h"
#include "plot/Trace.h"

#include <QObject>

#include <cstddef>
#include <cstdint>
#include <list>
#include <span>
#include <string>

class TraceChart;

// A pinned copy of a trace, which run's which quantity it shows, where its
// run came from and what made it.
struct PinnedTrace {
    Trace trace;
    RunTrace of;
    RunOrigin origin;
    RunRecipe recipe;
};

// One of a run's traces to pin, and the quantity it shows.
struct TraceToPin {
    const Trace* trace;
    Quantity quantity;
};

// One of a run's traces to pin as it was pinned once, named and coloured
// as then.
struct PinnedAgain {
    const Trace* trace;
    Quantity quantity;
    std::string heading;
    Colour colour;
};

// Copies of traces kept on the chart to compare with later runs: drawn
// dashed, named with their run, "Omega (Mc=10)" (in the style for reports
// a family's member by its value alone, "Mc=10"), and otherwise traces like
// any other, in the ranges, the readouts and the exported data. A family's
// members take colours along kFamilyRamp in their family's order, the two
// traces of a member alike; any other pin a colour of its own from
// kPinPalette (the one the kept pins use least, the first of those). A name
// already on the chart gets a number, "Md (Gauss) (2)".
// At most kMostKept are kept: a pin beyond that lets the oldest go. 48 holds
// a family of 24 values, both traces of each, or two families of 12; the
// legend wraps into columns beside the plot.
class ChartPins : public QObject {
public:
    static constexpr std::size_t kMostKept = kMostPins;

    explicit ChartPins(TraceChart& chart);

    // Pins those of the run's traces that hold points, one a quantity, as
    // one run.
    void PinRun(std::span<const TraceToPin> traces, const std::string& run, const RunOrigin& origin,
                const RunRecipe& recipe);
    // Pins the run's traces as they were pinned once.
    void RepinRun(std::span<const PinnedAgain> traces, const RunOrigin& origin, const RunRecipe& recipe);
    // Takes every pin off the chart.
    void Clear();
    // Whether the chart's trace at the index is a pin.
    bool IsPin(int index) const;
    // Takes the pin at the chart's index off it.
    void Remove(int index);

    // Changes whenever a pin comes or goes.
    std::uint64_t Revision() const { return revision_; }

    // Oldest first.
    const std::list<PinnedTrace>& Pinned() const { return pinned_; }

private:
    void Pin(const PinnedAgain& pin, const RunOrigin& origin, const RunRecipe& recipe);
    void TakeOff(std::list<PinnedTrace>::const_iterator pin);
    Colour NextColour() const;

    TraceChart& chart_;
    // A list keeps the address of every pin as pins come and go: the chart
    // holds them by reference.
    std::list<PinnedTrace> pinned_;
    std::uint64_t revision_ = 0;
    // Numbers the pinned runs.
    std::uint64_t runsPinned_ = 0;
};
