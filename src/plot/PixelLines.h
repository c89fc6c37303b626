#pragma once

#include "plot/PlotNavigation.h"

#include <optional>
#include <vector>

// How an axis places values, as the chart library's linear axes do: a
// value's pixel is start + (value - lower) / span * length, or start less
// that on an axis that counts upwards, in just those steps.
struct AxisPlacement {
    double lower;
    double span;
    double start;
    double length;
    bool upwards;

    double Pixel(double value) const
    {
        const double along = (value - lower) / span * length;
        return upwards ? start - along : start + along;
    }
};

// By how many whole pixels `now` places every value it shows beyond where
// `then` placed it, when the two differ by just that: after a drag, not a
// zoom. "Just" is to a millionth of a pixel, as the ranges a drag leaves
// are rounded.
std::optional<double> WholeShift(const AxisPlacement& then, const AxisPlacement& now);

// A straight piece of a line, in pixels.
struct PixelSegment {
    PixelPoint from;
    PixelPoint to;
};

// A segment between each two points that are both numbers.
std::vector<PixelSegment> Segments(const std::vector<PixelPoint>& points);

// Keeps of the line through the points those a line drawn at whole pixels
// needs: a point in the same whole pixel as the last one kept adds none
// and is left out, unless it is the last before a gap or the end, so the
// line still ends where it ends. A point that is not a number is a gap and
// is kept. A run's path on the mechanical characteristic comes back to the
// same few pixels over a thousand steps as it settles.
void KeepWholePixels(std::vector<PixelPoint>& points);

// The dashes of the line through the points, as pieces of its segments: the
// pattern's lengths in pixels are on and off by turns, the first on, begun
// `offset` pixels into the pattern and going on from one segment to the
// next, as a painter dashes a polyline. Each dash gives one piece for each
// segment it spans. A point that is not a number breaks the line, and the
// pattern begins anew after it. The pattern holds an even number of
// lengths, not all of them 0.
std::vector<PixelSegment> DashPieces(const std::vector<PixelPoint>& points, const std::vector<double>& pattern,
                                     double offset);

// The part of the segment in the rectangle, edges included; none if it
// misses it.
std::optional<PixelSegment> ClippedTo(PixelSegment segment, PixelRect rect);

// The segments of a line once each, in their order: of those that join the
// same two whole pixels either way round, the first; those beyond 32767
// pixels from the chart's corner, never in sight, are all kept. A line drawn at whole pixels with an
// opaque pen paints the same pixels however often a segment is drawn, and a
// run's path, rounded, repeats the same few segments where it settles, a
// random run's over its whole cloud.
std::vector<PixelSegment> DistinctSegments(const std::vector<PixelSegment>& segments);

// A stretch of a line inside a rectangle, and how far along the whole line
// it begins, so a dashed line's pattern goes on across what is cut away.
struct PixelRun {
    std::vector<PixelPoint> points;
    double start;
};

// The stretches of the line through the points that lie in the rectangle,
// cut where the line leaves it. A point that is not a number breaks the
// line, and it is measured anew after it.
std::vector<PixelRun> RunsIn(const std::vector<PixelPoint>& points, PixelRect rect);
