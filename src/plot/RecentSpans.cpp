#include "plot/RecentSpans.h"

#include <algorithm>

namespace {

bool SameStretch(MinMaxPyramid::Stretch a, MinMaxPyramid::Stretch b)
{
    return a.first == b.first && a.end == b.end;
}

} // namespace

std::vector<ValueSpan> RecentSpans::Over(const MinMaxPyramid& pyramid, std::span<const double> values,
                                         std::span<const MinMaxPyramid::Stretch> stretches, std::uint64_t revision)
{
    if (revision != revision_)
        frames_.clear();
    revision_ = revision;
    // Each remembered frame is in ascending order: one pass over each finds
    // every stretch it holds.
    std::vector<std::size_t> at(frames_.size(), 0);
    std::vector<std::size_t> hits(frames_.size(), 0);
    std::vector<ValueSpan> spans(stretches.size());
    std::vector<MinMaxPyramid::Stretch> asked;
    std::vector<std::size_t> askedFor;
    for (std::size_t i = 0; i < stretches.size(); ++i) {
        const MinMaxPyramid::Stretch stretch = stretches[i];
        bool known = false;
        for (std::size_t f = 0; f < frames_.size(); ++f) {
            const Frame& frame = frames_[f];
            std::size_t& k = at[f];
            while (k < frame.size() && frame[k].stretch.first < stretch.first)
                ++k;
            if (k < frame.size() && SameStretch(frame[k].stretch, stretch)) {
                spans[i] = frame[k].span;
                known = true;
                ++hits[f];
            }
        }
        if (!known) {
            asked.push_back(stretch);
            askedFor.push_back(i);
        }
    }
    const std::vector<ValueSpan> found = pyramid.Over(values, asked);
    for (std::size_t j = 0; j < found.size(); ++j)
        spans[askedFor[j]] = found[j];
    lastAsked_ = asked.size();

    // A frame seen again goes first again, rather than taking the place of
    // another.
    for (std::size_t f = 0; f < frames_.size(); ++f)
        if (hits[f] == stretches.size() && frames_[f].size() == stretches.size()) {
            std::rotate(frames_.begin(), frames_.begin() + static_cast<std::ptrdiff_t>(f),
                        frames_.begin() + static_cast<std::ptrdiff_t>(f) + 1);
            return spans;
        }
    Frame frame(stretches.size());
    for (std::size_t i = 0; i < stretches.size(); ++i)
        frame[i] = {stretches[i], spans[i]};
    std::ranges::sort(frame, {}, [](const Known& known) { return known.stretch.first; });
    frames_.push_front(std::move(frame));
    if (frames_.size() > kFrames)
        frames_.pop_back();
    return spans;
}
