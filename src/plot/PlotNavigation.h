#pragma once

#include "plot/ChartRange.h"

// Zoom and pan as arithmetic on ranges, so the chart's handlers only turn
// events into calls of these.

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

enum class ZoomAxes { Both, XOnly, YOnly };

// The factor spans change by for a number of zoom steps (a wheel notch or
// a key press each): below 1 for steps in, above for steps out.
double ZoomFactor(double steps);

// The spans scaled by the factor, the values under the fixed pixel staying
// under it.
AxisRanges ZoomedAbout(const PlotMapping& mapping, PixelPoint fixed, double factor, ZoomAxes axes);

// The ranges of the rectangle between two corners, clipped to the area.
AxisRanges BandRanges(const PlotMapping& mapping, PixelPoint corner, PixelPoint oppositeCorner);

// The ranges after the picture moved by the given pixels, as under a
// dragging pointer.
AxisRanges Panned(const PlotMapping& mapping, double dxPixels, double dyPixels);

// Whether the axes can show the ranges: finite, not beyond what a double
// resolves, and with round ticks at a sane count.
bool Viewable(const AxisRanges& ranges);
