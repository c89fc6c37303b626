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

// What an empty chart shows: the step indices of a run of the default
// length (the settings check that they agree) and a unit of value.
inline constexpr AxisRanges kEmptyChartRanges{{0.0, 2000.0}, {0.0, 1.0}};

// The chart's axes end within this magnitude: the drawing library refuses
// spans wider than 1e250, and a run that overflows keeps values near 1e308.
inline constexpr double kLargestAxisValue = 1e249;

// The ranges that span every point of the given traces, so all of them are
// in view; a single value is widened by one either way so the axis keeps a
// length. Traces with no points are ignored; with no points at all, the
// empty chart's ranges.
AxisRanges SpanningRanges(std::span<const Trace* const> traces);

// The ranges from the least to the largest values found, as
// SpanningRanges gives them: x.min > x.max when there were none.
AxisRanges SpanningFound(Range x, Range y);

// Whether the axes can show the ranges: finite, within the largest axis
// value, and not finer than a double resolves.
bool Viewable(const AxisRanges& ranges);

// Ranges the axes can show that keep as much of the given ones as they
// can: ends beyond the largest axis value are cut back to it, and a span
// too fine to resolve is widened about its values.
AxisRanges Drawable(const AxisRanges& ranges);
