#pragma once

#include "plot/PlotNavigation.h"
#include "toolkit/Cores.h"

#include <algorithm>
#include <cmath>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

// How an axis places values, as the chart library's linear axes do: a
// value's pixel is start + (value - lower) / span * length, or start less
// that on an axis that counts upwards, in just those steps.
struct AxisPlacement {
    double lower;
    double span;
    double start;
    double length;
    bool upwards;
    bool operator==(const AxisPlacement&) const = default;

    double Pixel(double value) const
    {
        const double along = (value - lower) / span * length;
        return upwards ? start - along : start + along;
    }
};

// By how many whole pixels `now` places every value it shows beyond where
// `then` placed it, when the two differ by just that: after a drag, not a
// zoom. "Just" is to a millionth of a pixel, as the ranges a drag leaves
// are rounded.
std::optional<double> WholeShift(const AxisPlacement& then, const AxisPlacement& now);

// A straight piece of a line, in pixels.
struct PixelSegment {
    PixelPoint from;
    PixelPoint to;
};

// A segment between each two points that are both numbers.
std::vector<PixelSegment> Segments(const std::vector<PixelPoint>& points);

// The whole pixel a line's end is drawn at: half away from zero, after
// adding the half, as the painter rounds; no call into the maths library,
// once for each coordinate of each point. Beyond the painter's reach, or
// not a number, is the farthest pixel.
inline std::int64_t WholePixel(double x)
{
    constexpr double kReach = 1e15;
    return static_cast<std::int64_t>(std::max(-kReach, std::min(kReach, x)) + std::copysign(0.5, x));
}

// Of the line through `count` points, the i-th at pixelAt(i), gives to
// `keep` in order those from `first` to before `end` that a line drawn at
// whole pixels needs: a point in the same whole pixel as the one before it
// adds none and is left out, unless it is the last before a gap or the
// end, so the line still ends where it ends. A point that is not a number
// is a gap and is kept. Whether a point is kept depends on its neighbours
// only, so stretches of a line can be thinned apart. A run's path on the
// mechanical characteristic comes back to the same few pixels over a
// thousand steps as it settles: of ten million steps a few thousand are
// kept, and none is stored here.
template <std::invocable<std::size_t> PixelAt, std::invocable<PixelPoint> Keep>
void ThinToWholePixels(std::size_t count, std::size_t first, std::size_t end, PixelAt pixelAt, Keep keep)
{
    // Before the first point and after the last, a gap.
    const auto at = [&](std::size_t i) {
        constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
        return i < count ? pixelAt(i) : PixelPoint{kNone, kNone};
    };
    const auto isGap = [](PixelPoint p) { return std::isnan(p.x) || std::isnan(p.y); };
    const PixelPoint before = at(first - 1);
    std::int64_t lastX = WholePixel(before.x);
    std::int64_t lastY = WholePixel(before.y);
    bool afterGap = isGap(before);
    PixelPoint point = at(first);
    for (std::size_t i = first; i < end; ++i) {
        const PixelPoint next = at(i + 1);
        const std::int64_t x = WholePixel(point.x);
        const std::int64_t y = WholePixel(point.y);
        const bool gap = isGap(point);
        if ((x != lastX) | (y != lastY) | gap | afterGap | isGap(next))
            keep(point);
        lastX = x;
        lastY = y;
        afterGap = gap;
        point = next;
    }
}

template <std::invocable<std::size_t> PixelAt, std::invocable<PixelPoint> Keep>
void ThinToWholePixels(std::size_t count, PixelAt pixelAt, Keep keep)
{
    ThinToWholePixels(count, 0, count, pixelAt, keep);
}

// The same, a long line cut into a stretch for each core: the first is
// thinned on this thread straight into `keep` while the others are thinned
// on threads of their own, and their points follow in order. pixelAt is
// called from all of them at once.
// Points that take longer to thin than a thread takes to start.
constexpr std::size_t kPointsWorthAThread = 1 << 18;

template <std::invocable<std::size_t> PixelAt, std::invocable<PixelPoint> Keep>
void ThinToWholePixelsOnAllCores(std::size_t count, PixelAt pixelAt, Keep keep)
{
    const std::size_t stretches =
        std::clamp<std::size_t>(count / kPointsWorthAThread, 1, Cores());
    const auto start = [&](std::size_t stretch) { return count / stretches * stretch; };
    std::vector<std::vector<PixelPoint>> kept(stretches);
    {
        std::vector<std::jthread> threads;
        for (std::size_t s = 1; s < stretches; ++s)
            threads.emplace_back([&, s] {
                const std::size_t end = s + 1 == stretches ? count : start(s + 1);
                ThinToWholePixels(count, start(s), end, pixelAt, [&](PixelPoint p) { kept[s].push_back(p); });
            });
        ThinToWholePixels(count, 0, stretches == 1 ? count : start(1), pixelAt, keep);
    }
    for (const std::vector<PixelPoint>& points : kept)
        for (PixelPoint point : points)
            keep(point);
}

// Where a line is in its dash pattern: which length, and how much of it is
// left.
class PatternPlace {
public:
    PatternPlace(const std::vector<double>& pattern, double offset);

    bool On() const { return index_ % 2 == 0; }
    double Left() const { return left_; }
    void Advance(double length);

private:
    const std::vector<double>* pattern_;
    std::size_t index_ = 0;
    double left_;
};

// Cuts a line given point by point into the pieces DashPieces below gives
// for the whole line; with no pattern, solid, into the segments Segments
// gives.
class LinePieces {
public:
    // The pattern must outlive the pieces.
    LinePieces(const std::vector<double>& pattern, double offset);

    // Appends to `pieces` those of the segment from the point before to
    // this one.
    void Next(PixelPoint to, std::vector<PixelSegment>& pieces);

private:
    const std::vector<double>& pattern_;
    double offset_;
    std::optional<PatternPlace> place_;
    std::optional<PixelPoint> from_;
};

// The dashes of the line through the points, as pieces of its segments: the
// pattern's lengths in pixels are on and off by turns, the first on, begun
// `offset` pixels into the pattern and going on from one segment to the
// next, as a painter dashes a polyline. Each dash gives one piece for each
// segment it spans. A point that is not a number breaks the line, and the
// pattern begins anew after it. The pattern holds an even number of
// lengths, not all of them 0, or none: a solid line, whose pieces are its
// Segments.
std::vector<PixelSegment> DashPieces(const std::vector<PixelPoint>& points, const std::vector<double>& pattern,
                                     double offset);

// Dashes narrower than this (the loads' lines, 1.5 wide) come out a pixel
// narrower as pieces than from the painter's outline: the painter dashes
// them, and the lines look as they did.
constexpr double kWideDashes = 2;

// The part of the segment in the rectangle, edges included; none if it
// misses it.
std::optional<PixelSegment> ClippedTo(PixelSegment segment, PixelRect rect);

// The segments of a line once each, in their order: of those that join the
// same two whole pixels either way round, the first; those beyond 32767
// pixels from the chart's corner, never in sight, are all kept. A line drawn at whole pixels with an
// opaque pen paints the same pixels however often a segment is drawn, and a
// run's path, rounded, repeats the same few segments where it settles, a
// random run's over its whole cloud.
std::vector<PixelSegment> DistinctSegments(const std::vector<PixelSegment>& segments);

// DistinctSegments taken one segment at a time: a random run's path of ten
// million steps makes millions of segments and repeats a few hundred.
class DistinctSegmentSet {
public:
    void Add(const PixelSegment& segment);
    std::vector<PixelSegment> Take() && { return std::move(distinct_); }

private:
    void Grow();

    // Each kept segment's key, no key being 0, the empty place's; the
    // places twice as many as the keys at least.
    std::vector<std::uint64_t> table_ = std::vector<std::uint64_t>(64, 0);
    std::size_t keys_ = 0;
    std::vector<PixelSegment> distinct_;
};

// A stretch of a line inside a rectangle, and how far along the whole line
// it begins, so a dashed line's pattern goes on across what is cut away.
struct PixelRun {
    std::vector<PixelPoint> points;
    double start;
};

// The stretches of the line through the points that lie in the rectangle,
// cut where the line leaves it. A point that is not a number breaks the
// line, and it is measured anew after it.
std::vector<PixelRun> RunsIn(const std::vector<PixelPoint>& points, PixelRect rect);
