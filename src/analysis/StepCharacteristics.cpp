#include "analysis/StepCharacteristics.h"

#include "analysis/DqCharacteristic.h"

#include "plot/Readout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace analysis {

namespace {

// The share of a change within which a signal counts as settled.
constexpr double kSettledBand = 0.02;

// The four characteristics that measure against a usable delta.
class StepProgress {
public:
    StepProgress(TracePoints points, double initial, double final, double delta)
        : points_(points), initial_(initial), final_(final), delta_(delta)
    {
    }

    // The final point has r = 1, so every threshold is always found.
    Step RiseSteps() const { return FirstReaching(0.9) - FirstReaching(0.1); }

    Step TimeConstantSteps(Step segmentStart) const { return FirstReaching(0.632) + 1 - segmentStart; }

    Step SettlingSteps(Step segmentStart) const
    {
        const double band = kSettledBand * std::fabs(delta_);
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

    TracePoints points_;
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

double LargestDeparture(double initial, const Extremes& extremes)
{
    return std::max(std::fabs(extremes.max - initial), std::fabs(extremes.min - initial));
}

// Whether the change is more than the 2 % band of the swing around it, and
// finite: measured against less, the relative figures are noise.
bool ChangeStandsOut(double delta, double initial, const Extremes& extremes)
{
    return std::isfinite(delta) && std::fabs(delta) > kSettledBand * LargestDeparture(initial, extremes);
}

// Whether the end lies within 2 % of the rest: of the change the rest asks
// for, or, where it asks for none, of the largest departure from the start.
bool EndsAtRest(double end, double rest, double initial, const Extremes& extremes)
{
    const double change = rest != initial ? std::fabs(rest - initial) : LargestDeparture(initial, extremes);
    return std::fabs(end - rest) <= kSettledBand * change;
}

} // namespace

bool HoldsWholeRun(const Trace& trace, Step steps)
{
    const TracePoints points = trace.Points();
    return steps > 0 && points.size() == static_cast<std::size_t>(steps) && StepOf(points.front()) == 0 &&
           StepOf(points.back()) == steps - 1;
}

StepCharacteristics CharacterizeStep(TracePoints points, StepRange segment, double initial,
                                     std::optional<double> rest)
{
    const TracePoints inSegment = PointsIn(points, segment);
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
                               .troughStep = extremes.minStep,
                               .rest = rest,
                               .settled = !rest || EndsAtRest(final, *rest, initial, extremes)};
    if (result.settled && ChangeStandsOut(delta, initial, extremes)) {
        const StepProgress progress(inSegment, initial, final, delta);
        result.riseSteps = progress.RiseSteps();
        result.settlingSteps = progress.SettlingSteps(segment.first);
        result.overshootPercent = progress.OvershootPercent();
        result.undershootPercent = progress.UndershootPercent();
        result.timeConstantSteps = progress.TimeConstantSteps(segment.first);
    }
    return result;
}

std::string_view SegmentName(Segment segment)
{
    constexpr std::array<std::string_view, kSegments.size()> kNames{"run-up", "on", "off"};
    return kNames[static_cast<std::size_t>(segment)];
}

std::vector<SegmentSteps> StepSegments(const LoadSchedule& schedule, bool loadActs)
{
    const bool changes = loadActs && schedule.on < schedule.off;
    const Step firstChange = changes ? schedule.on : schedule.steps;
    std::vector<SegmentSteps> segments;
    auto add = [&](Segment segment, Step first, Step end) {
        if (first < end)
            segments.push_back({segment, {first, end - 1}});
    };
    add(Segment::RunUp, 0, firstChange);
    if (changes) {
        add(Segment::On, schedule.on, schedule.off);
        add(Segment::Off, schedule.off, schedule.steps);
    }
    return segments;
}

bool LoadActs(const RunOrigin& origin)
{
    if (!origin.load)
        return true;
    const LoadCharacteristic load = LoadCharacteristic::Of(origin.step, *origin.load);
    return load.load != 0 || load.k != 0 || load.amplitude != 0;
}

std::vector<CharacteristicsRow> CharacterizeStepTrace(const Trace& trace, Quantity quantity, const RunOrigin& origin)
{
    RequireWholeRun(trace, origin.schedule.steps);
    const TracePoints points = trace.Points();
    std::optional<StepResponseRests> rests;
    std::optional<DqStepResponseRests> dqRests;
    if (origin.dq) {
        dqRests = DqRestsOfStepResponse(*origin.dq, origin.step, origin.load.value_or(0));
        if (!origin.load)
            dqRests->on.reset();
    } else {
        rests = RestsOf(origin);
    }
    std::vector<CharacteristicsRow> rows;
    for (const auto& [segment, steps] : StepSegments(origin.schedule, LoadActs(origin))) {
        const std::optional<double> rest = dqRests ? dqRests->Of(quantity, segment) : rests->Of(quantity, segment);
        rows.push_back({quantity, segment, CharacterizeStep(points, steps, ValueBefore(trace, steps.first), rest)});
    }
    return rows;
}

std::vector<CharacteristicsRow> CharacterizeStepResponse(const Trace& md, const Trace& omega, const RunOrigin& origin)
{
    std::vector<CharacteristicsRow> rows = CharacterizeStepTrace(md, Quantity::Md, origin);
    std::ranges::move(CharacterizeStepTrace(omega, Quantity::Omega, origin), std::back_inserter(rows));
    return rows;
}

StepResponseRests RestsOf(const RunOrigin& origin)
{
    StepResponseRests rests = RestsOfStepResponse(origin.model, origin.step, origin.load.value_or(0));
    if (!origin.load)
        rests.on.reset();
    return rests;
}

std::vector<CharacteristicsRow> CharacterizeStepResponse(const RunResult& run)
{
    std::vector<CharacteristicsRow> rows;
    const RunOrigin origin = run.Origin();
    for (const Quantity quantity : run.Quantities())
        std::ranges::move(CharacterizeStepTrace(run.Of(quantity), quantity, origin), std::back_inserter(rows));
    return rows;
}

} // namespace analysis
