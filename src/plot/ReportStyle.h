#pragma once

#include "plot/ChartRange.h"
#include "plot/Colour.h"
#include "plot/ShownTraces.h"

#include <vector>

// What the time chart shows in the style for reports, as plain arithmetic
// the chart and the tests share: Md on the left value axis and Omega on a
// right one, and a colour for each run from one palette.

// The quantity whose axis a trace is drawn on: its run's, and Md for a
// trace that shows no run.
Quantity AxisQuantity(const ShownTraces& traces, int index);

// The steps the shown traces span and the values of each quantity apart:
// every shown trace is in x, those on Md's axis alone in left, those on
// Omega's alone in right. Each is what SpanningRanges gives for those traces.
struct ReportSpans {
    AxisRanges left;
    Range right;
};
ReportSpans ReportSpanning(const ShownTraces& traces);
// The same out of the style for reports, where Md and Omega share the left
// axis and the currents are on the right one.
ReportSpans CurrentSpanning(const ShownTraces& traces);

// The range the right axis shows while the left one shows leftShown: the
// same share of its span, so that zooming or panning the left axis moves
// the right one with it and the unzoomed view shows each span whole.
Range FollowingRange(Range leftShown, Range leftSpan, Range rightSpan);

// The palette every line takes its colour from in the style for reports.
inline constexpr const auto& kReportPalette = kPinPalette;

// A colour for each trace, by index: the two traces of one run alike, and
// each run that holds points a colour of its own along the palette, the
// live runs first. Pins take the palette's other colours in turn, so none
// repeats a live run's colour, and wrap around only among those. A trace
// with no run is a run of its own.
std::vector<Colour> ReportColours(const ShownTraces& traces);
