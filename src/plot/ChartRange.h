#pragma once

#include "plot/Trace.h"

#include <span>

// A closed interval of values on one axis.
struct Range {
    double min;
    double max;

    double Span() const { return max - min; }
    bool operator==(const Range&) const = default;
};

struct AxisRanges {
    Range x;
    Range y;
    bool operator==(const AxisRanges&) const = default;
};

// What an empty chart shows: one run's step indices and a unit of value.
inline constexpr AxisRanges kEmptyChartRanges{{0.0, kRunLength}, {0.0, 1.0}};

// The ranges that span every point of the given traces, so all of them are
// in view; a single value is widened by one either way so the axis keeps a
// length. Traces with no points are ignored; with no points at all, the
// empty chart's ranges.
AxisRanges SpanningRanges(std::span<const Trace* const> traces);

// A tick spacing of 1, 2 or 5 times a power of ten that puts about five
// intervals on the range, so tick labels are round numbers.
double NiceTickInterval(Range range);
