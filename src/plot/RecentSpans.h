#pragma once

#include "plot/MinMaxPyramid.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

// The spans a line's last few frames found for their pixel columns, so
// that a frame over a view seen again (a zoom undone, a key pressed and its
// opposite, the whole run shown again) or moved by whole pixels (a pan)
// asks the pyramid only for the columns it has not seen: in a long run
// each column the pyramid answers waits for memory, a remembered one does
// not.
class RecentSpans {
public:
    // The span of each stretch of the values, as the pyramid gives it, for
    // values of this revision; other revisions' spans are forgotten. The
    // stretches come in ascending order, as a frame's columns do; others
    // are answered as well, only remembered less.
    std::vector<ValueSpan> Over(const MinMaxPyramid& pyramid, std::span<const double> values,
                                std::span<const MinMaxPyramid::Stretch> stretches, std::uint64_t revision);

    // How many stretches the last call asked the pyramid for.
    std::size_t LastAsked() const { return lastAsked_; }

    // Frames remembered: enough for a view and the one before it, and the
    // whole run to come back to.
    static constexpr std::size_t kFrames = 4;

private:
    struct Known {
        MinMaxPyramid::Stretch stretch;
        ValueSpan span;
    };
    using Frame = std::vector<Known>;

    std::deque<Frame> frames_;
    std::uint64_t revision_ = 0;
    std::size_t lastAsked_ = 0;
};
