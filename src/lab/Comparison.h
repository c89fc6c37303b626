#pragma once

#include "experiments/Experiments.h"
#include "lab/Measured.h"

#include <cstddef>
#include <span>
#include <vector>

// A run against measured data: for each quantity both have, the run's
// error at the measurement's times. The run is interpolated at the
// measurement's times, never the measurement at the run's: the bench's
// samples stay as they were taken.
namespace lab {

// The run's value of a trace at each time, linearly interpolated between
// its steps, whose times are TimeOfStep's (the batch tool's --time column);
// NaN at a time outside the first step's to the last's.
std::vector<double> RunAt(std::span<const double> values, double secondsPerStep, std::span<const double> times);

struct QuantityComparison {
    Quantity quantity;
    // The measurement's times within the run, whose cells are not empty,
    // the values measured there, and the run's error: run minus measured.
    std::vector<double> times;
    std::vector<double> measured;
    std::vector<double> errors;
    // Over those samples; NaN without any. R² is 1 - SSres / SStot, SStot
    // about the measured values' mean.
    double rms;
    double rSquared;
    // The error of the largest size, with its sign, and its time.
    double largest;
    double largestTime;

    std::size_t Samples() const { return times.size(); }
};

// Each quantity both the run and the measurement have, in the measured
// data's order.
struct Comparison {
    std::vector<QuantityComparison> quantities;
};

Comparison Compare(const RunResult& run, const Measured& measured);

} // namespace lab
