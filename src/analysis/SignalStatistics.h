#pragma once

#include "analysis/StepRange.h"

#include <cstddef>
#include <optional>
#include <span>

namespace analysis {

// What a scope's statistics panel shows for one trace over a step range.
// The sums run in extended precision in step order and each result is
// rounded to double once, at the end; the deviation is taken about the
// extended mean.
struct SignalStatistics {
    std::size_t count;
    double min;
    Step minStep; // the first step with the smallest value
    double max;
    Step maxStep;
    double mean;               // sum y / n
    double rms;                // sqrt(sum y^2 / n)
    double standardDeviation;  // sqrt(sum (y - mean)^2 / n)
    bool operator==(const SignalStatistics&) const = default;
};

// The statistics of the points whose step lies in the range, out of points
// kept in ascending x as a trace keeps them; none when no point does.
std::optional<SignalStatistics> ComputeStatistics(TracePoints points, StepRange range);

// A measured quantity's statistics, in the same sums: each sample counts
// once, however the bench spaced them, and an extreme is found at the time
// its sample was taken.
struct SampleStatistics {
    std::size_t count;
    double min;
    double minSeconds; // the first sample with the smallest value
    double max;
    double maxSeconds;
    double mean;
    double rms;
    double standardDeviation;
    bool operator==(const SampleStatistics&) const = default;
};

// The statistics of the samples taken from the time of the range's first
// step to that of its last at the step size, out of samples at ascending
// times in seconds; an empty sample (NaN) is passed over. None when no
// sample holding a number was taken then.
std::optional<SampleStatistics> ComputeSampleStatistics(std::span<const double> seconds, std::span<const double> values,
                                                        StepRange range, double secondsPerStep);

} // namespace analysis
