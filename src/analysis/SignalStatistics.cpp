#include "analysis/SignalStatistics.h"
#include "model/Extended.h"

#include <cmath>

namespace analysis {

std::optional<SignalStatistics> ComputeStatistics(TracePoints points, StepRange range)
{
    const TracePoints inRange = PointsIn(points, range);
    if (inRange.empty())
        return std::nullopt;

    Extended sum = 0;
    Extended sumOfSquares = 0;
    for (const TracePoint& point : inRange) {
        const Extended y = point.y;
        sum += y;
        sumOfSquares += y * y;
    }

    const Extended n = Extended(inRange.size());
    const Extended mean = sum / n;
    Extended sumOfDeviations = 0;
    for (const TracePoint& point : inRange) {
        const Extended deviation = point.y - mean;
        sumOfDeviations += deviation * deviation;
    }
    const Extremes extremes = FindExtremes(inRange);
    // The MPFR type's sqrt is found by argument-dependent lookup.
    using std::sqrt;
    return SignalStatistics{.count = inRange.size(),
                            .min = extremes.min,
                            .minStep = extremes.minStep,
                            .max = extremes.max,
                            .maxStep = extremes.maxStep,
                            .mean = static_cast<double>(mean),
                            .rms = static_cast<double>(sqrt(sumOfSquares / n)),
                            .standardDeviation = static_cast<double>(sqrt(sumOfDeviations / n))};
}

} // namespace analysis
