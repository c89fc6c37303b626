#pragma once

#include "plot/Trace.h"

#include <QObject>

#include <cstddef>
#include <list>
#include <string>

class TraceChart;

// Copies of traces kept on the chart to compare with later runs: drawn
// dashed, each in a colour of its own from kPinPalette (the one the kept
// pins use least, the first of those), named with their run, "Omega (Mc=10)",
// and otherwise traces like any other, in the ranges, the readouts and the
// exported data. A name already on the chart gets a number, "Md (Gauss) #2".
// At most kMostKept are kept: a pin beyond that lets the oldest go, so the
// legend stays readable beside the plot.
class ChartPins : public QObject {
public:
    static constexpr std::size_t kMostKept = 12;

    explicit ChartPins(TraceChart& chart);

    void Pin(const Trace& trace, const std::string& run);
    // Takes every pin off the chart.
    void Clear();
    // Whether the chart's trace at the index is a pin.
    bool IsPin(int index) const;
    // Takes the pin at the chart's index off it.
    void Remove(int index);

    // Oldest first.
    const std::list<Trace>& Pinned() const { return pinned_; }

private:
    void RemoveOldest();
    Colour NextColour() const;

    TraceChart& chart_;
    // A list keeps the address of every pin as pins come and go: the chart
    // holds them by reference.
    std::list<Trace> pinned_;
};
