#include "analysis/StepCharacteristics.h"

#include "plot/Readout.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace analysis {

namespace {

// The four characteristics that measure against a usable delta.
class StepProgress {
public:
    StepProgress(std::span<const TracePoint> points, double initial, double final, double delta)
        : points_(points), initial_(initial), final_(final), delta_(delta)
    {
    }

    // The final point has r = 1, so both thresholds are always found.
    Step RiseSteps() const { return FirstReaching(0.9) - FirstReaching(0.1); }

    Step SettlingSteps(Step segmentStart) const
    {
        const double band = 0.02 * std::fabs(delta_);
        const auto outside = std::find_if(points_.rbegin(), points_.rend(), [&](const TracePoint& p) {
            return std::fabs(p.y - final_) > band;
        });
        return outside == points_.rend() ? 0 : StepOf(*outside) + 1 - segmentStart;
    }

    // max(0.0, ...) rather than the other way round: at a tie with -0 it
    // keeps +0, which reads "0" rather than "-0".
    double OvershootPercent() const { return std::max(0.0, (RBounds().max - 1) * 100); }
    double UndershootPercent() const { return std::max(0.0, -RBounds().min * 100); }

private:
    double R(const TracePoint& point) const { return (point.y - initial_) / delta_; }

    Step FirstReaching(double threshold) const
    {
        return StepOf(*std::find_if(points_.begin(), points_.end(),
                                    [&](const TracePoint& p) { return R(p) >= threshold; }));
    }

    struct Bounds {
        double min;
        double max;
    };

    Bounds RBounds() const
    {
        Bounds bounds{R(points_.front()), R(points_.front())};
        for (const TracePoint& point : points_) {
            bounds.min = std::min(bounds.min, R(point));
            bounds.max = std::max(bounds.max, R(point));
        }
        return bounds;
    }

    std::span<const TracePoint> points_;
    double initial_;
    double final_;
    double delta_;
};

void RequireWholeRun(const Trace& trace, Step steps)
{
    if (!HoldsWholeRun(trace, steps))
        throw std::invalid_argument(trace.Title() + " does not hold a whole run");
}

// Where a change of load at the step starts from: the value at the step
// before, in a trace that holds a point at every step, or the reset's.
double ValueBefore(const Trace& trace, Step step)
{
    return step == 0 ? kValueAfterReset : *ValueAtX(trace, static_cast<double>(step - 1));
}

} // namespace

bool HoldsWholeRun(const Trace& trace, Step steps)
{
    const std::vector<TracePoint>& points = trace.Points();
    return steps > 0 && points.size() == static_cast<std::size_t>(steps) && StepOf(points.front()) == 0 &&
           StepOf(points.back()) == steps - 1;
}

StepCharacteristics CharacterizeStep(std::span<const TracePoint> points, StepRange segment,
                                     double initial)
{
    const std::span<const TracePoint> inSegment = PointsIn(points, segment);
    if (inSegment.empty())
        throw std::invalid_argument("no point lies in steps " + std::to_string(segment.first) + " to " +
                                    std::to_string(segment.last));
    const double final = inSegment.back().y;
    const double delta = final - initial;
    const Extremes extremes = FindExtremes(inSegment);
    StepCharacteristics result{.initial = initial,
                               .final = final,
                               .delta = delta,
                               .peak = extremes.max,
                               .peakStep = extremes.maxStep,
                               .trough = extremes.min,
                               .troughStep = extremes.minStep};
    if (delta != 0 && std::isfinite(delta)) {
        const StepProgress progress(inSegment, initial, final, delta);
        result.riseSteps = progress.RiseSteps();
        result.settlingSteps = progress.SettlingSteps(segment.first);
        result.overshootPercent = progress.OvershootPercent();
        result.undershootPercent = progress.UndershootPercent();
    }
    return result;
}

std::string_view SegmentName(Segment segment)
{
    return segment == Segment::On ? "on" : "off";
}

std::vector<CharacteristicsRow> CharacterizeStepTrace(const Trace& trace, Quantity quantity,
                                                      const LoadSchedule& schedule)
{
    RequireWholeRun(trace, schedule.steps);
    const std::span<const TracePoint> points = trace.Points();
    std::vector<CharacteristicsRow> rows;
    if (schedule.on < schedule.off)
        rows.push_back({quantity, Segment::On,
                        CharacterizeStep(points, {schedule.on, schedule.off - 1}, ValueBefore(trace, schedule.on))});
    if (schedule.off < schedule.steps)
        rows.push_back({quantity, Segment::Off,
                        CharacterizeStep(points, {schedule.off, schedule.steps - 1}, ValueBefore(trace, schedule.off))});
    return rows;
}

std::vector<CharacteristicsRow> CharacterizeStepResponse(const Trace& md, const Trace& omega,
                                                         const LoadSchedule& schedule)
{
    std::vector<CharacteristicsRow> rows = CharacterizeStepTrace(md, Quantity::Md, schedule);
    std::ranges::move(CharacterizeStepTrace(omega, Quantity::Omega, schedule), std::back_inserter(rows));
    return rows;
}

std::vector<CharacteristicsRow> CharacterizeStepResponse(const RunResult& run)
{
    return CharacterizeStepResponse(run.Of(Quantity::Md), run.Of(Quantity::Omega), StepLoadSchedule(run.settings));
}

} // namespace analysis
