#pragma once

#include "analysis/StepRange.h"

#include <cstddef>
#include <optional>
#include <span>
#include <string>

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

struct StatisticsRow {
    std::string trace;
    StepRange range;
    std::optional<SignalStatistics> statistics;
};

} // namespace analysis
