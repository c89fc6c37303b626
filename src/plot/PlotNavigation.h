#pragma once

#include "plot/ChartRange.h"

#include <array>
#include <optional>

// Where the chart draws its plot, as plain arithmetic the tracker and the
// tests share with no window at hand.

struct PixelPoint {
    double x;
    double y;
};

struct PixelRect {
    double left;
    double top;
    double width;
    double height;
};

// A plot area on the screen and the ranges it shows. Pixel y grows
// downwards, values grow upwards.
struct PlotMapping {
    PixelRect area;
    AxisRanges ranges;

    double ValueAtX(double pixelX) const { return ranges.x.min + (pixelX - area.left) / area.width * ranges.x.Span(); }
    double ValueAtY(double pixelY) const { return ranges.y.max - (pixelY - area.top) / area.height * ranges.y.Span(); }
    double PixelAtX(double x) const { return area.left + (x - ranges.x.min) / ranges.x.Span() * area.width; }
    double PixelAtY(double y) const { return area.top + (ranges.y.max - y) / ranges.y.Span() * area.height; }
    bool Contains(PixelPoint point) const;
};

// Where the two vertical cursors stand, A then B, each on a whole step.
using CursorSteps = std::array<double, 2>;

// The whole step nearest x among those the step range shows; when it shows
// no whole step, the one nearest its middle.
double SnapToStep(double x, Range steps);

// A at a quarter and B at three quarters of the step range.
CursorSteps PlaceCursors(Range steps);

// The cursor (0 for A, 1 for B) whose line passes within reach pixels of a
// point of the plot area; of two, the nearer, A on a tie.
std::optional<int> CursorNear(const PlotMapping& mapping, const CursorSteps& cursors, PixelPoint point,
                              double reach);

// Where the centre of a flag of the given width goes so that it stays within
// the area from left to right: over the line when it fits there, else against
// the nearer edge.
double FlagCentre(double lineX, double width, double left, double right);
