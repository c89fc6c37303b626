#pragma once

#include "plot/PlotNavigation.h"

#include <vector>

// A straight piece of a line, in pixels.
struct PixelSegment {
    PixelPoint from;
    PixelPoint to;
};

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
