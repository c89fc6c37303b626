#include "plot/MinMaxPyramid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr ValueSpan kNoValue{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};

// fmin and fmax leave NaN out as wanted, but are calls on every value.
ValueSpan With(ValueSpan span, double value)
{
    return {value < span.min ? value : span.min, value > span.max ? value : span.max};
}

ValueSpan Joined(ValueSpan a, ValueSpan b)
{
    return {std::min(a.min, b.min), std::max(a.max, b.max)};
}

ValueSpan Walked(std::span<const double> values, std::size_t first, std::size_t end)
{
    ValueSpan span = kNoValue;
    for (std::size_t i = first; i < end; ++i)
        span = With(span, values[i]);
    return span;
}

bool Holds(ValueSpan span, double value)
{
    return span.min == value || span.max == value;
}

} // namespace

MinMaxPyramid::MinMaxPyramid(std::span<const double> values)
{
    std::vector<ValueSpan> blocks(values.size() / kBlock);
    for (std::size_t j = 0; j < blocks.size(); ++j)
        blocks[j] = Walked(values, j * kBlock, (j + 1) * kBlock);
    while (!blocks.empty()) {
        std::vector<ValueSpan> pairs(blocks.size() / 2);
        for (std::size_t j = 0; j < pairs.size(); ++j)
            pairs[j] = Joined(blocks[2 * j], blocks[2 * j + 1]);
        levels_.push_back(std::move(blocks));
        blocks = std::move(pairs);
    }
}

ValueSpan MinMaxPyramid::Over(std::span<const double> values, std::size_t first, std::size_t end) const
{
    std::size_t low = (first + kBlock - 1) / kBlock;
    std::size_t high = end / kBlock;
    if (low >= high)
        return Walked(values, first, end);
    ValueSpan span = Joined(Walked(values, first, low * kBlock), Walked(values, high * kBlock, end));
    // Up the levels, taking the odd block at either end of what is left.
    for (const std::vector<ValueSpan>& level : levels_) {
        if (low >= high)
            break;
        if (low % 2 != 0)
            span = Joined(span, level[low++]);
        if (high % 2 != 0)
            span = Joined(span, level[--high]);
        low /= 2;
        high /= 2;
    }
    return span;
}

std::size_t MinMaxPyramid::FirstEqual(std::span<const double> values, std::size_t first, std::size_t end,
                                      double value) const
{
    auto walk = [&](std::size_t from, std::size_t to) {
        const auto begin = values.begin();
        return static_cast<std::size_t>(std::find(begin + static_cast<std::ptrdiff_t>(from),
                                                  begin + static_cast<std::ptrdiff_t>(to), value) -
                                        begin);
    };
    std::size_t low = (first + kBlock - 1) / kBlock;
    std::size_t high = end / kBlock;
    if (low >= high)
        return walk(first, end);
    if (const std::size_t found = walk(first, low * kBlock); found < low * kBlock)
        return found;
    // The blocks that tile the rest, left to right: those taken on the way
    // up from the left end, then those from the right end, reversed.
    struct Node {
        std::size_t level;
        std::size_t index;
    };
    std::vector<Node> left;
    std::vector<Node> right;
    for (std::size_t level = 0; level < levels_.size() && low < high; ++level, low /= 2, high /= 2) {
        if (low % 2 != 0)
            left.push_back({level, low++});
        if (high % 2 != 0)
            right.push_back({level, --high});
    }
    left.insert(left.end(), right.rbegin(), right.rend());
    for (Node node : left) {
        if (!Holds(levels_[node.level][node.index], value))
            continue;
        // Down to the leftmost block that holds it.
        for (; node.level > 0; --node.level)
            node.index = Holds(levels_[node.level - 1][2 * node.index], value) ? 2 * node.index : 2 * node.index + 1;
        return walk(node.index * kBlock, (node.index + 1) * kBlock);
    }
    return walk(end / kBlock * kBlock, end);
}
