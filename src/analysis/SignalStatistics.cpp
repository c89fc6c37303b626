#include "analysis/SignalStatistics.h"

#include <cmath>

namespace analysis {

std::optional<SignalStatistics> ComputeStatistics(std::span<const TracePoint> points, StepRange range)
{
    const std::span<const TracePoint> inRange = PointsIn(points, range);
    if (inRange.empty())
        return std::nullopt;

    long double sum = 0;
    long double sumOfSquares = 0;
    for (const TracePoint& point : inRange) {
        const long double y = point.y;
        sum += y;
        sumOfSquares += y * y;
    }

    const long double n = static_cast<long double>(inRange.size());
    const long double mean = sum / n;
    long double sumOfDeviations = 0;
    for (const TracePoint& point : inRange) {
        const long double deviation = point.y - mean;
        sumOfDeviations += deviation * deviation;
    }
    const Extremes extremes = FindExtremes(inRange);
    return SignalStatistics{.count = inRange.size(),
                            .min = extremes.min,
                            .minStep = extremes.minStep,
                            .max = extremes.max,
                            .maxStep = extremes.maxStep,
                            .mean = static_cast<double>(mean),
                            .rms = static_cast<double>(std::sqrt(sumOfSquares / n)),
                            .standardDeviation = static_cast<double>(std::sqrt(sumOfDeviations / n))};
}

} // namespace analysis
