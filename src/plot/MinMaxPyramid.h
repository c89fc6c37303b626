#pragma once

#include <cstddef>
#include <span>
#include <vector>

// The least and the largest of values, NaN left out; min > max when they
// hold no number.
struct ValueSpan {
    double min;
    double max;
    bool operator==(const ValueSpan&) const = default;
};

// The least and largest value of every block of a trace's values, block on
// block up to the whole: the span of any stretch of a long run is a few
// dozen values and blocks, not a walk over it. Blocks of kBlock values,
// then of two such, and so on: two bytes a value in all.
class MinMaxPyramid {
public:
    static constexpr std::size_t kBlock = 16;

    MinMaxPyramid() = default;
    explicit MinMaxPyramid(std::span<const double> values);

    // The span of values[first, end), which must be the values it was built
    // from.
    ValueSpan Over(std::span<const double> values, std::size_t first, std::size_t end) const;

    // The values [first, end).
    struct Stretch {
        std::size_t first;
        std::size_t end;
        bool operator==(const Stretch&) const = default;
    };

    // The span of each stretch, as Over gives it. A frame asks for those of
    // a thousand stretches, far apart in a long run, and each would wait
    // for memory on its own: the memory of the stretches ahead is asked for
    // while one is found.
    std::vector<ValueSpan> Over(std::span<const double> values, std::span<const Stretch> stretches) const;

private:
    // Hands the values [first, end) to walk(from, to) as the stretches
    // below the first whole block and above the last, and the blocks in
    // between, the fewest that cover them, to take(span).
    template <typename Walk, typename Take>
    void Cover(std::size_t first, std::size_t end, Walk&& walk, Take&& take) const;

    // levels_[k][j] spans values [j, j + 1) * kBlock * 2^k.
    std::vector<std::vector<ValueSpan>> levels_;
};
