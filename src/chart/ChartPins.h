#pragma once

#include "plot/Trace.h"

#include <QObject>

#include <cstddef>
#include <deque>
#include <string>

class TraceChart;

// Copies of traces kept on the chart to compare with later runs: drawn
// dashed in their traces' colours, named with their run, "Omega (Mc=10)",
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

    // Oldest first.
    const std::deque<Trace>& Pinned() const { return pinned_; }

private:
    void RemoveOldest();

    TraceChart& chart_;
    // A deque keeps the address of every pin as pins come and go at its
    // ends: the chart holds them by reference.
    std::deque<Trace> pinned_;
};
