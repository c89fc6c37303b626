#include "plot/MinMaxPyramid.h"

#include <algorithm>
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

template <typename Walk, typename Take>
void MinMaxPyramid::Cover(std::size_t first, std::size_t end, Walk&& walk, Take&& take) const
{
    std::size_t low = (first + kBlock - 1) / kBlock;
    std::size_t high = end / kBlock;
    if (low >= high) {
        walk(first, end);
        return;
    }
    walk(first, low * kBlock);
    walk(high * kBlock, end);
    // Up the levels, taking the odd block at either end of what is left.
    for (const std::vector<ValueSpan>& level : levels_) {
        if (low >= high)
            break;
        if (low % 2 != 0)
            take(level[low++]);
        if (high % 2 != 0)
            take(level[--high]);
        low /= 2;
        high /= 2;
    }
}

ValueSpan MinMaxPyramid::Over(std::span<const double> values, std::size_t first, std::size_t end) const
{
    ValueSpan span = kNoValue;
    Cover(
        first, end, [&](std::size_t from, std::size_t to) { span = Joined(span, Walked(values, from, to)); },
        [&](const ValueSpan& block) { span = Joined(span, block); });
    return span;
}

std::vector<ValueSpan> MinMaxPyramid::Over(std::span<const double> values, std::span<const Stretch> stretches) const
{
    // Far enough ahead for the memory to come in time, near enough for
    // the caches to keep it.
    constexpr std::size_t kAhead = 8;
    const auto askFor = [&](const Stretch& stretch) {
        Cover(
            stretch.first, stretch.end,
            [&](std::size_t from, std::size_t to) {
                if (from < to) {
                    __builtin_prefetch(values.data() + from);
                    __builtin_prefetch(values.data() + to - 1);
                }
            },
            [](const ValueSpan& block) { __builtin_prefetch(&block); });
    };
    for (std::size_t i = 0; i < std::min(kAhead, stretches.size()); ++i)
        askFor(stretches[i]);
    std::vector<ValueSpan> spans;
    spans.reserve(stretches.size());
    for (std::size_t i = 0; i < stretches.size(); ++i) {
        if (i + kAhead < stretches.size())
            askFor(stretches[i + kAhead]);
        spans.push_back(Over(values, stretches[i].first, stretches[i].end));
    }
    return spans;
}
