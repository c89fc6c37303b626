#include "plot/PlaneIndex.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Points a leaf holds, looked at one by one.
constexpr std::size_t kLeaf = 16;

// Points a node holds at least to keep its box: a quarter of a byte a point.
constexpr std::size_t kBoxed = 256;

// Points a node holds at least for its sorting to look for a stop first.
constexpr std::size_t kStopLooked = 16384;

double Along(const PlanePoints& points, std::size_t i, int depth)
{
    return depth % 2 == 0 ? points.Md(i) : points.Omega(i);
}

} // namespace

struct PlaneIndex::Search {
    const PlanePoints& points;
    double md;
    double omega;
    PlaneScale scale;
    // The best so far: a point must be nearer, or as near and earlier.
    double distance;
    std::size_t index;
    bool found;

    // As the view measures it, the arithmetic in the same order, so the
    // index finds the very point a walk over all of them would.
    double DistanceTo(std::size_t i) const
    {
        const double across = (points.Md(i) - md) * scale.md;
        const double up = (points.Omega(i) - omega) * scale.omega;
        return across * across + up * up;
    }

    bool Beaten(double by, std::size_t at) const { return by < distance || (by == distance && at < index); }
};

PlaneIndex::PlaneIndex(const PlanePoints& points) : PlaneIndex(points, std::stop_token()) {}

std::optional<PlaneIndex> PlaneIndex::Sorted(const PlanePoints& points, std::stop_token stop)
{
    try {
        return PlaneIndex(points, stop);
    }
    catch (const Stopped&) {
        return std::nullopt;
    }
}

PlaneIndex::PlaneIndex(const PlanePoints& points, const std::stop_token& stop)
{
    // A point as an earlier one, or not a number, is never the one found.
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double md = points.Md(i);
        const double omega = points.Omega(i);
        const bool repeated = i > 0 && md == points.Md(i - 1) && omega == points.Omega(i - 1);
        if (!repeated && !std::isnan(md) && !std::isnan(omega))
            order_.push_back(static_cast<std::uint32_t>(i));
    }
    std::size_t leaves = 1;
    while (leaves * kLeaf < order_.size())
        leaves *= 2;
    nodes_.resize(2 * leaves);
    // The levels whose nodes all hold kBoxed points or more.
    std::size_t boxed = 0;
    for (std::size_t level = 1; order_.size() / level >= kBoxed; level *= 2)
        boxed += level;
    boxes_.resize(boxed);
    Build(points, 0, 0, order_.size(), 0, stop);
}

PlaneIndex::Box PlaneIndex::Build(const PlanePoints& points, std::size_t node, std::size_t begin, std::size_t end,
                                  int depth, const std::stop_token& stop)
{
    // Asked where a node's sorting takes a millisecond or more.
    if (end - begin >= kStopLooked && stop.stop_requested())
        throw Stopped{};
    const auto from = order_.begin() + static_cast<std::ptrdiff_t>(begin);
    const auto to = order_.begin() + static_cast<std::ptrdiff_t>(end);
    constexpr double inf = std::numeric_limits<double>::infinity();
    Box box{inf, -inf, inf, -inf};
    if (begin == end)
        return box;
    if (end - begin <= kLeaf) {
        nodes_[node].first = *std::min_element(from, to);
        for (auto i = from; i != to; ++i)
            box = {std::min(box.mdMin, points.Md(*i)), std::max(box.mdMax, points.Md(*i)),
                   std::min(box.omegaMin, points.Omega(*i)), std::max(box.omegaMax, points.Omega(*i))};
        return box;
    }
    const std::size_t middle = begin + (end - begin) / 2;
    const auto at = order_.begin() + static_cast<std::ptrdiff_t>(middle);
    std::nth_element(from, at, to, [&points, depth](std::uint32_t a, std::uint32_t b) {
        return Along(points, a, depth) < Along(points, b, depth);
    });
    // Before the halves are sorted in turn, which moves the middle point.
    const double split = Along(points, *at, depth);
    const Box low = Build(points, 2 * node + 1, begin, middle, depth + 1, stop);
    const Box high = Build(points, 2 * node + 2, middle, end, depth + 1, stop);
    nodes_[node] = {split, std::min(nodes_[2 * node + 1].first, nodes_[2 * node + 2].first)};
    box = {std::min(low.mdMin, high.mdMin), std::max(low.mdMax, high.mdMax), std::min(low.omegaMin, high.omegaMin),
           std::max(low.omegaMax, high.omegaMax)};
    if (node < boxes_.size())
        boxes_[node] = box;
    return box;
}

namespace {

// How far a place is from the nearer bound of [low, high] at the scale, as
// the view measures it: no point within has a smaller difference.
double Gap(double place, double low, double high, double scale)
{
    if (place < low)
        return (low - place) * scale;
    if (place > high)
        return (high - place) * scale;
    return 0;
}

} // namespace

std::optional<PlaneFound> PlaneIndex::Nearest(const PlanePoints& points, double md, double omega, PlaneScale scale, double than) const
{
    // With nothing to beat, the farthest point is still found: the first
    // is beaten even at an infinite distance.
    const bool any = std::isnan(than);
    Search search{points, md, omega, scale, any ? std::numeric_limits<double>::infinity() : than,
                  any ? std::numeric_limits<std::size_t>::max() : 0, false};
    if (!order_.empty())
        Visit(search, 0, 0, order_.size(), 0, 0, 0);
    if (!search.found)
        return std::nullopt;
    return PlaneFound{search.index, search.distance};
}

// `across` and `up` are how far the node's points are from the place at
// least, as the view measures: rounding never makes a farther point's
// difference smaller, so no point of the node is nearer than they say.
void PlaneIndex::Visit(Search& search, std::size_t node, std::size_t begin, std::size_t end, int depth, double across,
                       double up) const
{
    if (node < boxes_.size()) {
        const Box& box = boxes_[node];
        const double boxAcross = Gap(search.md, box.mdMin, box.mdMax, search.scale.md);
        const double boxUp = Gap(search.omega, box.omegaMin, box.omegaMax, search.scale.omega);
        across = std::abs(boxAcross) > std::abs(across) ? boxAcross : across;
        up = std::abs(boxUp) > std::abs(up) ? boxUp : up;
    }
    if (begin == end || !search.Beaten(across * across + up * up, nodes_[node].first))
        return;
    if (end - begin <= kLeaf) {
        for (std::size_t slot = begin; slot < end; ++slot) {
            const std::size_t index = order_[slot];
            const double distance = search.DistanceTo(index);
            if (search.Beaten(distance, index)) {
                search.distance = distance;
                search.index = index;
                search.found = true;
            }
        }
        return;
    }
    const std::size_t middle = begin + (end - begin) / 2;
    const double split = nodes_[node].split;
    const bool acrossMd = depth % 2 == 0;
    const double place = acrossMd ? search.md : search.omega;
    const double gap = (split - place) * (acrossMd ? search.scale.md : search.scale.omega);
    // The far half is at least as far as its edge.
    const double farAcross = acrossMd ? gap : across;
    const double farUp = acrossMd ? up : gap;
    const bool lowFirst = place <= split;
    const std::size_t low = 2 * node + 1;
    const std::size_t high = 2 * node + 2;
    if (lowFirst) {
        Visit(search, low, begin, middle, depth + 1, across, up);
        Visit(search, high, middle, end, depth + 1, farAcross, farUp);
    }
    else {
        Visit(search, high, middle, end, depth + 1, across, up);
        Visit(search, low, begin, middle, depth + 1, farAcross, farUp);
    }
}
