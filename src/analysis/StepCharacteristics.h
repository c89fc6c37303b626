#pragma once

#include "analysis/MechanicalCharacteristic.h"
#include "analysis/StepRange.h"
#include "experiments/Experiments.h"
#include "experiments/Runs.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace analysis {

// How one signal answers a step, as stepinfo-like tools measure it. All
// arithmetic is in double on the plotted values; with r(s) = (y(s) -
// initial) / delta:
// - rise: t90 - t10, the first steps with r >= 0.9 and r >= 0.1;
// - settling: the last step with |y - final| > 0.02 |delta|, plus one,
//   minus the segment's first step; 0 when there is none;
// - overshoot: max(0, (max r - 1) * 100); undershoot: max(0, -(min r) * 100);
// - time constant: the first step with r >= 0.632, plus one, minus the
//   segment's first step: the steps taken until the response covers 63.2 %
//   of its change.
// Since r(final) is exactly 1, every threshold is reached.
//
// Given the value the model rests at in the segment, the segment has
// settled when its end lies within 2 % of the change the rest asks for
// (|rest - initial|), or, where it asks for none, of the largest departure
// from the initial value. These five figures describe a change that has
// ended, so a segment that has not settled has none of them, and its final
// value is only the value at its end. Nor has a segment whose change is no
// more than 2 % of its largest departure from the initial value, the band
// settling is judged by: such a change is lost in the swing around it
// (the no-load run-up's Md returns to 0 within 10^-6 of a swing of 24, and
// measured against that the overshoot reads 4·10^9 %).
struct StepCharacteristics {
    double initial;
    double final; // the value at the segment's end
    double delta; // final - initial
    double peak;
    Step peakStep; // the first step with the peak value
    double trough;
    Step troughStep;
    std::optional<Step> riseSteps{};
    std::optional<Step> settlingSteps{};
    std::optional<double> overshootPercent{};
    std::optional<double> undershootPercent{};
    std::optional<Step> timeConstantSteps{};
    std::optional<double> rest{};
    bool settled = true;
    bool operator==(const StepCharacteristics&) const = default;
};

// The characteristics of the points in the segment, the step having started
// from the initial value, judged settled against the rest if one is given;
// raises std::invalid_argument when the segment holds no point.
StepCharacteristics CharacterizeStep(TracePoints points, StepRange segment, double initial,
                                     std::optional<double> rest = std::nullopt);

// Md and Omega right after the model's reset, where a load applied at step
// 0 starts.
inline constexpr double kValueAfterReset = 0.0;

// One quantity's answer in one segment: the step table's cell, found by
// its quantity and segment.
struct CharacteristicsRow {
    Quantity quantity;
    Segment segment;
    StepCharacteristics values;
};

// The segment's name in the batch tool's tables: "run-up", "on" or "off".
std::string_view SegmentName(Segment segment);

// A segment of a step response and the steps it covers.
struct SegmentSteps {
    Segment segment;
    StepRange steps;
    bool operator==(const SegmentSteps&) const = default;
};

// The segments of a run on the schedule: the run-up from the reset to the
// first step where the load changes, then one from each step where it
// changes. A load that is nothing throughout changes nowhere, so the whole
// run is its run-up; segments with no steps are left out.
std::vector<SegmentSteps> StepSegments(const LoadSchedule& schedule, bool loadActs);

// Whether the load a run's origin holds is something: a step response
// whose load is unknown is taken to have one.
bool LoadActs(const RunOrigin& origin);

// Whether the trace holds one point at each step of a run of the given
// length. A run that ended in an error keeps its points up to there, and
// the characteristics of a part of a run would mislead.
bool HoldsWholeRun(const Trace& trace, Step steps);

// The rows of the trace of the quantity, a row per segment of StepSegments,
// for a trace that holds a whole step-response run of the origin. Each
// segment starts from the value before its first step (the reset's for
// step 0) and is judged against the quantity's rest in it. Raises
// std::invalid_argument for a trace that does not hold a whole run.
std::vector<CharacteristicsRow> CharacterizeStepTrace(const Trace& trace, Quantity quantity, const RunOrigin& origin);

// Md's rows, then Omega's, for traces that hold a whole step-response run
// of the origin.
std::vector<CharacteristicsRow> CharacterizeStepResponse(const Trace& md, const Trace& omega, const RunOrigin& origin);

// The rests of the step response a run's origin describes; none while the
// load acts when the origin holds no load.
StepResponseRests RestsOf(const RunOrigin& origin);

// The same for a step response's result, which must have run to its end.
std::vector<CharacteristicsRow> CharacterizeStepResponse(const RunResult& run);

} // namespace analysis
