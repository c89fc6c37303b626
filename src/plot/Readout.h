#pragma once

#include "plot/ShownTraces.h"

#include <optional>
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
