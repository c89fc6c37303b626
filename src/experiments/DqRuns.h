#pragma once

#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "model/DqModel.h"
#include "plot/Trace.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct RunControl;
struct RunResult;

// Runs of the d-q machine: what it reports at each step, under the step
// response's load profile and schedule or a random load.

struct DqRunResult {
    // Each quantity of kDqQuantities at each step made: index i holds the
    // state after step i.
    std::array<std::vector<double>, kDqQuantities.size()> values;
    // Whether a step left the double range: the run stopped there, keeping
    // the steps before it.
    bool overflowed = false;

    const std::vector<double>& Of(Quantity quantity) const { return values[static_cast<std::size_t>(quantity)]; }
    std::size_t Steps() const { return values.front().size(); }
};

// A d-q run of schedule.steps steps under the step response's load: its
// profile from step.on to schedule.off - 1, nothing outside, formed from the
// speed at the start of each step as the three-state run forms it.
DqRunResult RunDq(const DqParameters& model, const DqSupplyEvents& supply, const StepSettings& step,
                  const LoadSchedule& schedule, double load);

// The run a request of the d-q model asks for, into the result as
// RunExperiment makes it: the step response refused above run.limit, its
// maxima from the standstill's 0, the random runs drawing a load before
// each step. Raises toolkit::EOverflow at the first step out of range,
// keeping the steps before it; whether it got to the end uncancelled.
bool MakeDqRun(RunResult& result, const std::string& loadText, const RunControl& control);
