#pragma once

#include "plot/PlaneCurves.h"
#include "plot/PlaneIndex.h"

#include <QObject>

#include <list>
#include <memory>
#include <thread>
#include <vector>

// The tracker's indices of the curves' points, one for each stored points,
// so curves that share their points share it. Points too many to sort
// within a frame are sorted on a worker of their own while the window goes
// on: a path of ten million steps takes seconds.
class TrackerIndices : public QObject {
    Q_OBJECT

public:
    // Fewer are sorted at once, in a few milliseconds.
    static constexpr std::size_t kSortedAtOnce = 100'000;

    using QObject::QObject;

    // The index of the points; none while they are being sorted, which the
    // first question sets going.
    const PlaneIndex* Of(const PlanePoints& points);
    bool Sorting(const PlanePoints& points) const;
    // Forgets the indices of other points, and stops sorting them.
    void KeepOnly(const std::vector<const PlanePoints*>& kept);

signals:
    // The points sorted on a worker have their index.
    void Sorted();

private:
    struct Entry {
        PlanePoints points;
        std::shared_ptr<const PlaneIndex> index;
        std::jthread worker;
    };

    Entry* Find(const PlanePoints& points);
    void SortMeanwhile(Entry& entry);

    std::list<Entry> entries_;
};
