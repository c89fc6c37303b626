#pragma once

#include "plot/PlaneCurves.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <stop_token>
#include <vector>

// How many pixels a unit of Md spans across and a unit of Omega up: the
// measure of nearness on the mechanical characteristic.
struct PlaneScale {
    double md;
    double omega;
};

// A curve's point and its distance from a place, squared, in pixels.
struct PlaneFound {
    std::size_t index;
    double distance;
};

// The points of one curve sorted into a tree that halves them by Md and by
// Omega by turns, to find the point nearest a place by looking at a few
// dozen of them: a settled run piles a million points into one pixel, which
// a uniform grid would have to look at one by one. The halves are bounded
// along the axes, so one tree serves every scale of the view: it is built
// once for the points, not at each zoom.
class PlaneIndex {
public:
    explicit PlaneIndex(const PlanePoints& points);
    // Sorts the points on a worker: none if a stop is asked for meanwhile.
    static std::optional<PlaneIndex> Sorted(const PlanePoints& points, std::stop_token stop);

    // Of the points the index was built for, the one nearest (md, omega),
    // measured as
    // ((Md - md) * scale.md)² + ((Omega - omega) * scale.omega)² in just those
    // steps, the first of those as near; if `than` is given, only one
    // nearer than that. None if there is none; points that are not numbers
    // are never nearest.
    std::optional<PlaneFound> Nearest(const PlanePoints& points, double md, double omega, PlaneScale scale,
                                      double than = std::numeric_limits<double>::quiet_NaN()) const;

private:
    struct Search;
    struct Node {
        // Where the points were halved: those of the first half lie at or
        // below it, those of the second at or above.
        double split;
        // The first point in the node's points, in the curve's order.
        std::uint32_t first;
    };

    // The least and largest Md and Omega of a node's points.
    struct Box {
        double mdMin;
        double mdMax;
        double omegaMin;
        double omegaMax;
    };

    // Sorting that was asked to stop.
    struct Stopped {};

    PlaneIndex(const PlanePoints& points, const std::stop_token& stop);
    // Returns the box of the node's points.
    Box Build(const PlanePoints& points, std::size_t node, std::size_t begin, std::size_t end, int depth,
              const std::stop_token& stop);
    void Visit(Search& search, std::size_t node, std::size_t begin, std::size_t end, int depth, double across,
               double up) const;

    // The points' indices, ordered so each node's are a stretch of them.
    std::vector<std::uint32_t> order_;
    // Numbered as a heap: a node's halves are 2n+1 and 2n+2.
    std::vector<Node> nodes_;
    // The boxes of the nodes of the upper levels, a few hundred points or
    // more each. The halves' bounds alone are loose where the points are
    // dense and the place is not among them, beside a random run's cloud:
    // the cells at its edge reach past the place, and a search looked into
    // thousands of them.
    std::vector<Box> boxes_;
};
