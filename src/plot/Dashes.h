#pragma once

#include "plot/PlotNavigation.h"

#include <vector>

// A straight piece of a line, in pixels.
struct PixelSegment {
    PixelPoint from;
    PixelPoint to;
};

// The dashes of the line through the points, as pieces of its segments: the
// pattern's lengths in pixels are on and off by turns, the first on, begun
// `offset` pixels into the pattern and going on from one segment to the
// next, as a painter dashes a polyline. Each dash gives one piece for each
// segment it spans. A point that is not a number breaks the line, and the
// pattern begins anew after it. The pattern holds an even number of
// lengths, not all of them 0.
std::vector<PixelSegment> DashPieces(const std::vector<PixelPoint>& points, const std::vector<double>& pattern,
                                     double offset);
