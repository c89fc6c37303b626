#include "plot/PixelLines.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numeric>

namespace {

bool IsPoint(PixelPoint point)
{
    return !std::isnan(point.x) && !std::isnan(point.y);
}

// The whole pixel a line's end is drawn at: half away from zero, after
// adding the half, as the painter rounds; no call into the maths library,
// once for each coordinate of each point. Beyond the painter's reach, or
// not a number, is the farthest pixel.
std::int64_t WholePixel(double x)
{
    constexpr double kReach = 1e15;
    return static_cast<std::int64_t>(std::max(-kReach, std::min(kReach, x)) + std::copysign(0.5, x));
}

PixelPoint Along(PixelPoint from, PixelPoint to, double share)
{
    return {from.x + (to.x - from.x) * share, from.y + (to.y - from.y) * share};
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

void KeepWholePixels(std::vector<PixelPoint>& points)
{
    if (points.empty())
        return;
    // Each point is written and the count moves on only for one kept: a
    // path keeps and drops by turns as it wanders, past any branch
    // predictor, so the choice is made without branches. The points kept
    // are never ahead of those read.
    std::size_t count = 0;
    std::int64_t lastX = 0;
    std::int64_t lastY = 0;
    bool afterGap = true;
    const std::size_t last = points.size() - 1;
    for (std::size_t i = 0; i < last; ++i) {
        const PixelPoint point = points[i];
        const PixelPoint next = points[i + 1];
        const std::int64_t x = WholePixel(point.x);
        const std::int64_t y = WholePixel(point.y);
        const bool gap = std::isnan(point.x) | std::isnan(point.y);
        const bool beforeGap = std::isnan(next.x) | std::isnan(next.y);
        const bool keep = (x != lastX) | (y != lastY) | gap | afterGap | beforeGap;
        points[count] = point;
        count += keep;
        lastX = keep ? x : lastX;
        lastY = keep ? y : lastY;
        afterGap = gap;
    }
    // The last point ends the line.
    points[count++] = points[last];
    points.resize(count);
}

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
        // Pixels are far from overflowing a square.
        const double length = std::sqrt((to.x - from.x) * (to.x - from.x) + (to.y - from.y) * (to.y - from.y));
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
