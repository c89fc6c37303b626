#include "plot/PixelColumns.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace {

// The whole pixel, counted from `origin`, that holds the coordinate, within
// 0 to last.
std::int64_t Whole(double coordinate, double origin, std::int64_t last)
{
    const double whole = std::floor(coordinate - origin);
    return std::clamp(static_cast<std::int64_t>(whole), std::int64_t{0}, last);
}

// Marks, in `covered` (columns after one another, `rows` each), the pixels
// of each column the segment passes through.
void Cover(const PixelSegment& segment, PixelRect rect, std::int64_t columns, std::int64_t rows,
           std::vector<std::uint8_t>& covered)
{
    PixelPoint from = segment.from;
    PixelPoint to = segment.to;
    if (to.x < from.x)
        std::swap(from, to);
    const auto yAt = [&](double x) {
        return to.x == from.x ? from.y : from.y + (to.y - from.y) * ((x - from.x) / (to.x - from.x));
    };
    const std::int64_t first = Whole(from.x, rect.left, columns - 1);
    const std::int64_t last = Whole(to.x, rect.left, columns - 1);
    for (std::int64_t column = first; column <= last; ++column) {
        // The segment's part within the column, from where it enters to
        // where it leaves.
        const double enter = std::max(from.x, rect.left + static_cast<double>(column));
        const double leave = std::min(to.x, rect.left + static_cast<double>(column + 1));
        const double a = column == first ? from.y : yAt(enter);
        const double b = column == last ? to.y : yAt(leave);
        const std::int64_t top = Whole(std::min(a, b), rect.top, rows - 1);
        const std::int64_t bottom = Whole(std::max(a, b), rect.top, rows - 1);
        const auto at = static_cast<std::size_t>(column * rows);
        std::fill(covered.begin() + static_cast<std::ptrdiff_t>(at + static_cast<std::size_t>(top)),
                  covered.begin() + static_cast<std::ptrdiff_t>(at + static_cast<std::size_t>(bottom) + 1), 1);
    }
}

} // namespace

std::vector<ColumnSpan> ColumnSpans(const std::vector<PixelSegment>& segments, PixelRect rect)
{
    if (!(rect.width >= 0 && rect.height >= 0))
        return {};
    const auto columns = static_cast<std::int64_t>(std::ceil(rect.width)) + 1;
    const auto rows = static_cast<std::int64_t>(std::ceil(rect.height)) + 1;
    std::vector<std::uint8_t> covered(static_cast<std::size_t>(columns * rows), 0);
    for (const PixelSegment& segment : segments)
        if (const std::optional<PixelSegment> in = ClippedTo(segment, rect))
            Cover(*in, rect, columns, rows, covered);
    std::vector<ColumnSpan> spans;
    for (std::int64_t column = 0; column < columns; ++column) {
        const std::uint8_t* rowsOf = covered.data() + column * rows;
        for (std::int64_t row = 0; row < rows; ++row) {
            if (!rowsOf[row])
                continue;
            const std::int64_t top = row;
            while (row + 1 < rows && rowsOf[row + 1])
                ++row;
            spans.push_back({column, top, row});
        }
    }
    return spans;
}
