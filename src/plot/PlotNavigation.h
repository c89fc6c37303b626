#pragma once

#include "plot/ChartRange.h"

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
