#include "plot/ReportStyle.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

std::vector<const Trace*> ShownOf(const ShownTraces& traces, Quantity quantity)
{
    std::vector<const Trace*> shown;
    for (int i : traces.ShownIndices())
        if (AxisQuantity(traces, i) == quantity)
            shown.push_back(&traces.At(i));
    return shown;
}

// Which run a trace shows; a trace with no run stands alone, by its index.
struct RunKey {
    bool pinned;
    std::uint64_t run;
    bool alone;
    bool operator==(const RunKey&) const = default;
};

RunKey KeyOf(const ShownTraces& traces, int index)
{
    if (const std::optional<RunTrace>& of = traces.Of(index))
        return {of->pinned, of->run, false};
    return {false, static_cast<std::uint64_t>(index), true};
}

} // namespace

Quantity AxisQuantity(const ShownTraces& traces, int index)
{
    const std::optional<RunTrace>& of = traces.Of(index);
    return of ? of->quantity : Quantity::Md;
}

ReportSpans ReportSpanning(const ShownTraces& traces)
{
    const AxisRanges all = traces.Spanning();
    const AxisRanges md = SpanningRanges(ShownOf(traces, Quantity::Md));
    const AxisRanges omega = SpanningRanges(ShownOf(traces, Quantity::Omega));
    return {{all.x, md.y}, omega.y};
}

ReportSpans CurrentSpanning(const ShownTraces& traces)
{
    std::vector<const Trace*> left;
    std::vector<const Trace*> right;
    for (int i : traces.ShownIndices())
        (IsCurrent(AxisQuantity(traces, i)) ? right : left).push_back(&traces.At(i));
    return {{traces.Spanning().x, SpanningRanges(left).y}, SpanningRanges(right).y};
}

Range FollowingRange(Range leftShown, Range leftSpan, Range rightSpan)
{
    // lerp gives the span's ends exactly at shares 0 and 1.
    auto follow = [&](double left) {
        return std::lerp(rightSpan.min, rightSpan.max, (left - leftSpan.min) / leftSpan.Span());
    };
    return {follow(leftShown.min), follow(leftShown.max)};
}

std::vector<Colour> ReportColours(const ShownTraces& traces)
{
    // The runs that hold points, live ones first, each in the order its
    // first trace came.
    std::vector<RunKey> live;
    std::vector<RunKey> pinned;
    for (int i = 0; i < traces.Count(); ++i) {
        if (traces.At(i).Points().empty())
            continue;
        const RunKey key = KeyOf(traces, i);
        std::vector<RunKey>& runs = key.pinned ? pinned : live;
        if (std::find(runs.begin(), runs.end(), key) == runs.end())
            runs.push_back(key);
    }
    const std::size_t size = kReportPalette.size();
    const std::size_t pinColours = live.size() < size ? size - live.size() : size;
    const std::size_t pinsFrom = size - pinColours;
    auto colourOf = [&](const RunKey& key) {
        const std::vector<RunKey>& runs = key.pinned ? pinned : live;
        const auto place = static_cast<std::size_t>(std::find(runs.begin(), runs.end(), key) - runs.begin());
        if (place == runs.size())
            return kReportPalette.front();
        return key.pinned ? kReportPalette[pinsFrom + place % pinColours] : kReportPalette[place % size];
    };
    std::vector<Colour> colours;
    for (int i = 0; i < traces.Count(); ++i)
        colours.push_back(colourOf(KeyOf(traces, i)));
    return colours;
}
