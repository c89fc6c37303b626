#include "plot/PixelLines.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <utility>

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

// The key's place in the table, or the empty place where it goes.
std::uint64_t& PlaceOf(std::vector<std::uint64_t>& table, std::uint64_t key)
{
    const std::size_t mask = table.size() - 1;
    // Fibonacci hashing spreads neighbouring pixels over the table.
    std::size_t place = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> 32) & mask;
    while (table[place] != 0 && table[place] != key)
        place = (place + 1) & mask;
    return table[place];
}

} // namespace

PatternPlace::PatternPlace(const std::vector<double>& pattern, double offset)
    : pattern_(&pattern), left_(pattern[0])
{
    const double whole = std::accumulate(pattern.begin(), pattern.end(), 0.0);
    Advance(std::fmod(offset, whole));
}

void PatternPlace::Advance(double length)
{
    while (length >= left_) {
        length -= left_;
        index_ = (index_ + 1) % pattern_->size();
        left_ = (*pattern_)[index_];
    }
    left_ -= length;
}

LinePieces::LinePieces(const std::vector<double>& pattern, double offset) : pattern_(pattern), offset_(offset)
{
    if (!pattern.empty())
        place_.emplace(pattern, offset);
}

void LinePieces::Next(PixelPoint to, std::vector<PixelSegment>& pieces)
{
    const std::optional<PixelPoint> from = std::exchange(from_, to);
    if (!from)
        return;
    if (!place_) {
        if (IsPoint(*from) && IsPoint(to))
            pieces.push_back({*from, to});
        return;
    }
    if (!IsPoint(to)) {
        place_.emplace(pattern_, offset_);
        return;
    }
    const double length = Distance(*from, to);
    if (!IsPoint(*from) || length == 0)
        return;
    // Each pass takes the segment up to the end of the pattern's length or
    // of the segment, whichever comes first.
    for (double done = 0; done < length;) {
        const double step = std::min(place_->Left(), length - done);
        if (place_->On() && step > 0)
            pieces.push_back({Along(*from, to, done / length), Along(*from, to, (done + step) / length)});
        place_->Advance(step);
        done += step;
    }
}

std::vector<PixelSegment> DashPieces(const std::vector<PixelPoint>& points, const std::vector<double>& pattern,
                                     double offset)
{
    std::vector<PixelSegment> pieces;
    LinePieces line(pattern, offset);
    for (PixelPoint point : points)
        line.Next(point, pieces);
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
    DistinctSegmentSet distinct;
    for (const PixelSegment& segment : segments)
        distinct.Add(segment);
    return std::move(distinct).Take();
}

void DistinctSegmentSet::Add(const PixelSegment& s)
{
    // The segment's whole pixels, the lesser end first, packed into one key
    // where each fits in 16 bits, as every pixel near the plot does; a
    // segment whose pixels do not fit is kept.
    constexpr std::int64_t kFits = 32767;
    std::array<std::int64_t, 4> ends{WholePixel(s.from.x), WholePixel(s.from.y), WholePixel(s.to.x), WholePixel(s.to.y)};
    ends = std::min(ends, std::array<std::int64_t, 4>{ends[2], ends[3], ends[0], ends[1]});
    if (!std::all_of(ends.begin(), ends.end(), [](std::int64_t end) { return std::abs(end) <= kFits; })) {
        distinct_.push_back(s);
        return;
    }
    std::uint64_t key = 0;
    for (std::int64_t end : ends)
        key = key << 16 | static_cast<std::uint64_t>(end + kFits + 1);
    std::uint64_t& place = PlaceOf(table_, key);
    if (place == key)
        return;
    place = key;
    distinct_.push_back(s);
    if (2 * ++keys_ > table_.size())
        Grow();
}

void DistinctSegmentSet::Grow()
{
    std::vector<std::uint64_t> keys = std::exchange(table_, std::vector<std::uint64_t>(2 * table_.size(), 0));
    for (std::uint64_t key : keys)
        if (key != 0)
            PlaceOf(table_, key) = key;
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
    return DashPieces(points, {}, 0);
}
