#include "chart/TrackerIndices.h"

#include <algorithm>
#include <utility>

TrackerIndices::Entry* TrackerIndices::Find(const PlanePoints& points)
{
    const auto found = std::ranges::find_if(entries_, [&points](const Entry& entry) { return entry.points.SharesWith(points); });
    return found == entries_.end() ? nullptr : &*found;
}

const PlaneIndex* TrackerIndices::Of(const PlanePoints& points)
{
    if (const Entry* known = Find(points))
        return known->index.get();
    Entry& entry = entries_.emplace_back(Entry{points, nullptr, {}});
    if (points.size() <= kSortedAtOnce)
        entry.index = std::make_shared<const PlaneIndex>(points);
    else
        SortMeanwhile(entry);
    return entry.index.get();
}

bool TrackerIndices::Sorting(const PlanePoints& points) const
{
    return std::ranges::any_of(entries_, [&points](const Entry& entry) {
        return !entry.index && entry.points.SharesWith(points);
    });
}

void TrackerIndices::KeepOnly(const std::vector<const PlanePoints*>& kept)
{
    // A worker whose points go is stopped and waited for as its entry goes.
    entries_.remove_if([&kept](const Entry& entry) {
        return std::ranges::none_of(kept, [&entry](const PlanePoints* points) { return entry.points.SharesWith(*points); });
    });
}

void TrackerIndices::SortMeanwhile(Entry& entry)
{
    // The worker holds the points' storage with its own copy; the entry
    // it reports to is found again by the points, in case it went.
    entry.worker = std::jthread([this, points = entry.points](std::stop_token stop) {
        std::optional<PlaneIndex> sorted = PlaneIndex::Sorted(points, stop);
        if (!sorted)
            return;
        QMetaObject::invokeMethod(
            this,
            [this, points, index = std::make_shared<const PlaneIndex>(std::move(*sorted))] {
                Entry* reported = Find(points);
                if (!reported || reported->index)
                    return;
                reported->index = index;
                emit Sorted();
            },
            Qt::QueuedConnection);
    });
}
