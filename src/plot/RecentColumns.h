#pragma once

#include "plot/MinMaxPyramid.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

// What a line draws a pixel column of steps [first, end) from: its first
// and last values, and the span of those after the first.
struct ColumnValues {
    double first;
    double last;
    ValueSpan rest;
};

// The values a line's last few frames found for their pixel columns, so
// that a frame over a view seen again (a zoom undone, a key pressed and its
// opposite, the whole run shown again) or moved by whole pixels (a pan)
// reads the trace only for the columns it has not seen: in a long run
// each column read waits for memory, a remembered one does not.
class RecentColumns {
public:
    // Each column's values, of values of this revision; other revisions'
    // columns are forgotten. The columns come in ascending order, as a
    // frame's do; others are answered as well, only remembered less.
    std::vector<ColumnValues> Of(const MinMaxPyramid& pyramid, std::span<const double> values,
                                 std::span<const MinMaxPyramid::Stretch> columns, std::uint64_t revision);

    // How many columns the last call read from the trace.
    std::size_t LastRead() const { return lastRead_; }

    // Frames remembered: enough for a view and the one before it, and the
    // whole run to come back to.
    static constexpr std::size_t kFrames = 4;

private:
    struct Known {
        MinMaxPyramid::Stretch column;
        ColumnValues values;
    };
    using Frame = std::vector<Known>;

    // The columns' values from the trace itself.
    static std::vector<ColumnValues> Read(const MinMaxPyramid& pyramid, std::span<const double> values,
                                          std::span<const MinMaxPyramid::Stretch> columns);

    std::deque<Frame> frames_;
    std::uint64_t revision_ = 0;
    std::size_t lastRead_ = 0;
};
