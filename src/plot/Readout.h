#pragma once

#include "plot/ShownTraces.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

struct ReadoutValue {
    int trace;
    double y;
    bool operator==(const ReadoutValue&) const = default;
};

// What the value tracker shows at one step: the values of the shown traces
// that have a point there, in chart order.
struct Readout {
    double x;
    std::vector<ReadoutValue> values;
    bool operator==(const Readout&) const = default;
};

// The readout at the point nearest x among all points of the shown traces
// (the lower of two equally near); none when no shown trace has points.
// Where a trace has several points at that x, the first counts.
std::optional<Readout> ReadoutNearest(const ShownTraces& traces, double x);

// The value of the trace's first point at exactly x; none when it has no
// point there.
std::optional<double> ValueAtX(const Trace& trace, double x);

// Of samples at ascending keys, the one nearest x whose value is a number
// (an empty cell is NaN), the lower of two equally near; none when no
// value is a number. The tracker and the cursors read measured samples so.
std::optional<std::size_t> NearestSample(std::span<const double> keys, std::span<const double> values, double x);

// What the two cursors read on one trace: its own points at A and at B.
struct CursorReading {
    int trace;
    std::optional<double> atA;
    std::optional<double> atB;

    // B - A, where the trace has a point at both.
    std::optional<double> Difference() const;
    bool operator==(const CursorReading&) const = default;
};

// A reading for each shown trace, in chart order.
std::vector<CursorReading> ReadCursors(const ShownTraces& traces, double a, double b);
