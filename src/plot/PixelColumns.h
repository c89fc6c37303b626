#pragma once

#include "plot/PixelLines.h"

#include <cstdint>
#include <vector>

// A pixel column's stretch of rows that a line covers, top to bottom, both
// whole pixels of the rectangle it was found in and both included.
struct ColumnSpan {
    std::int64_t column;
    std::int64_t top;
    std::int64_t bottom;
    bool operator==(const ColumnSpan&) const = default;
};

// The whole pixels of the rectangle that the segments pass through, as
// each column's stretches of rows, column by column from the left and
// each column's from the top: a pixel is passed through where the part
// of a segment within its column has a height in its row. A random run's
// path of ten million steps covers a cloud with millions of distinct
// segments, and a column of it is one stretch or a few: a picture drawn
// from these is as large as the plot, however many steps. Segments, or
// parts of them, outside the rectangle cover nothing.
std::vector<ColumnSpan> ColumnSpans(const std::vector<PixelSegment>& segments, PixelRect rect);
