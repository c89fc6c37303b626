#include "plot/PixelLines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numeric>

namespace {

bool IsPoint(PixelPoint point)
{
    return !std::isnan(point.x) && !std::isnan(point.y);
}

PixelPoint Along(PixelPoint from, PixelPoint to, double share)
{
    return {from.x + (to.x - from.x) * share, from.y + (to.y - from.y) * share};
}

// Pixels are far from overflowing a square.
double Distance(PixelPoint from, PixelPoint to)
{
    return std::sqrt((to.x - from.x) * (to.x - from.x) + (to.y - from.y) * (to.y - from.y));
}

bool Inside(PixelPoint point, PixelRect rect)
{
    return point.x >= rect.left && point.x <= rect.left + rect.width && point.y >= rect.top &&
           point.y <= rect.top + rect.height;
}

bool Same(PixelPoint a, PixelPoint b)
{
    return a.x == b.x && a.y == b.y;
}

// Where a line is in its pattern: which length, and how much of it is left.
class PatternPlace {
public:
    PatternPlace(const std::vector<double>& pattern, double offset) : pattern_(&pattern)
    {
        const double whole = std::accumulate(pattern.begin(), pattern.end(), 0.0);
        Advance(std::fmod(offset, whole));
    }

    bool On() const { return index_ % 2 == 0; }
    double Left() const { return left_; }

    void Advance(double length)
    {
        while (length >= left_) {
            length -= left_;
            index_ = (index_ + 1) % pattern_->size();
            left_ = (*pattern_)[index_];
        }
        left_ -= length;
    }

private:
    const std::vector<double>* pattern_;
    std::size_t index_ = 0;
    double left_ = (*pattern_)[0];
};

} // namespace

std::vector<PixelSegment> DashPieces(const std::vector<PixelPoint>& points, const std::vector<double>& pattern,
                                     double offset)
{
    std::vector<PixelSegment> pieces;
    PatternPlace place(pattern, offset);
    for (std::size_t i = 1; i < points.size(); ++i) {
        const PixelPoint from = points[i - 1];
        const PixelPoint to = points[i];
        if (!IsPoint(to)) {
            place = PatternPlace(pattern, offset);
            continue;
        }
        const double length = Distance(from, to);
        if (!IsPoint(from) || length == 0)
            continue;
        // Each pass takes the segment up to the end of the pattern's
        // length or of the segment, whichever comes first.
        for (double done = 0; done < length;) {
            const double step = std::min(place.Left(), length - done);
            if (place.On() && step > 0)
                pieces.push_back({Along(from, to, done / length), Along(from, to, (done + step) / length)});
            place.Advance(step);
            done += step;
        }
    }
    return pieces;
}

std::optional<PixelSegment> ClippedTo(PixelSegment segment, PixelRect rect)
{
    const PixelPoint from = segment.from;
    const PixelPoint to = segment.to;
    if (!IsPoint(from) || !IsPoint(to))
        return std::nullopt;
    // Liang and Barsky's: each edge keeps the share of the segment on its
    // inner side, as `across * share <= room`.
    const double dx = to.x - from.x;
    const double dy = to.y - from.y;
    const std::array<std::array<double, 2>, 4> edges{{{-dx, from.x - rect.left},
                                                      {dx, rect.left + rect.width - from.x},
                                                      {-dy, from.y - rect.top},
                                                      {dy, rect.top + rect.height - from.y}}};
    double enter = 0;
    double leave = 1;
    for (const auto& [across, room] : edges) {
        if (across == 0) {
            if (room < 0)
                return std::nullopt;
            continue;
        }
        const double share = room / across;
        if (across < 0)
            enter = std::max(enter, share);
        else
            leave = std::min(leave, share);
    }
    if (enter > leave)
        return std::nullopt;
    return PixelSegment{enter == 0 ? from : Along(from, to, enter), leave == 1 ? to : Along(from, to, leave)};
}

std::vector<PixelSegment> DistinctSegments(const std::vector<PixelSegment>& segments)
{
    // Each segment's whole pixels, the lesser end first, packed into one
    // key where each fits in 16 bits, as every pixel near the plot does,
    // in a table of twice as many places as segments; a segment whose
    // pixels do not fit is kept. No key is 0, the empty place's.
    constexpr std::int64_t kFits = 32767;
    std::size_t places = 16;
    while (places < 2 * segments.size())
        places *= 2;
    std::vector<std::uint64_t> table(places, 0);
    std::vector<PixelSegment> distinct;
    for (const PixelSegment& s : segments) {
        std::array<std::int64_t, 4> ends{WholePixel(s.from.x), WholePixel(s.from.y), WholePixel(s.to.x),
                                         WholePixel(s.to.y)};
        ends = std::min(ends, std::array<std::int64_t, 4>{ends[2], ends[3], ends[0], ends[1]});
        std::uint64_t key = 0;
        for (std::int64_t end : ends)
            key = key << 16 | static_cast<std::uint64_t>(std::clamp(end, -kFits - 1, kFits) + kFits + 1);
        const bool fits = std::all_of(ends.begin(), ends.end(), [](std::int64_t end) { return std::abs(end) <= kFits; });
        // Fibonacci hashing spreads neighbouring pixels over the table.
        std::size_t place = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> 32) & (places - 1);
        while (fits && table[place] != 0 && table[place] != key)
            place = (place + 1) & (places - 1);
        if (fits && table[place] == key)
            continue;
        if (fits)
            table[place] = key;
        distinct.push_back(s);
    }
    return distinct;
}

std::vector<PixelRun> RunsIn(const std::vector<PixelPoint>& points, PixelRect rect)
{
    std::vector<PixelRun> runs;
    // How far along its line the point before is, and whether the last run
    // reached it.
    double along = 0;
    bool open = false;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const PixelPoint to = points[i];
        if (!IsPoint(to)) {
            along = 0;
            open = false;
            continue;
        }
        if (i == 0 || !IsPoint(points[i - 1])) {
            open = Inside(to, rect);
            if (open)
                runs.push_back({{to}, 0});
            continue;
        }
        const PixelPoint from = points[i - 1];
        const std::optional<PixelSegment> in = ClippedTo({from, to}, rect);
        if (in) {
            if (!open || !Same(in->from, from))
                runs.push_back({{in->from}, along + Distance(from, in->from)});
            runs.back().points.push_back(in->to);
        }
        open = in && Same(in->to, to);
        along += Distance(from, to);
    }
    return runs;
}

std::optional<double> WholeShift(const AxisPlacement& then, const AxisPlacement& now)
{
    constexpr double kTolerance = 1e-6;
    // The difference is linear in the value: its ends bound it.
    const double last = now.lower + now.span;
    const double atFirst = now.Pixel(now.lower) - then.Pixel(now.lower);
    const double atLast = now.Pixel(last) - then.Pixel(last);
    const double whole = std::round(atFirst);
    if (std::abs(atFirst - whole) > kTolerance || std::abs(atLast - whole) > kTolerance)
        return std::nullopt;
    return whole;
}

std::vector<PixelSegment> Segments(const std::vector<PixelPoint>& points)
{
    std::vector<PixelSegment> segments;
    segments.reserve(points.size());
    for (std::size_t i = 1; i < points.size(); ++i)
        if (IsPoint(points[i - 1]) && IsPoint(points[i]))
            segments.push_back({points[i - 1], points[i]});
    return segments;
}
