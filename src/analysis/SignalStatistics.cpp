#include "analysis/SignalStatistics.h"
#include "model/Extended.h"
#include "plot/AxisUnits.h"

#include <algorithm>
#include <cmath>

namespace analysis {

namespace {

struct Moments {
    std::size_t count = 0;
    double mean = 0;
    double rms = 0;
    double standardDeviation = 0;
};

// The moments of the values forEach hands its visitor, summed in extended
// precision in their order and each rounded to double once; the deviation
// is taken about the extended mean. At least one value.
template <typename ForEach>
Moments MomentsOf(const ForEach& forEach)
{
    std::size_t count = 0;
    Extended sum = 0;
    Extended sumOfSquares = 0;
    forEach([&](double value) {
        const Extended y = value;
        sum += y;
        sumOfSquares += y * y;
        ++count;
    });
    const Extended n = Extended(count);
    const Extended mean = sum / n;
    Extended sumOfDeviations = 0;
    forEach([&](double value) {
        const Extended deviation = value - mean;
        sumOfDeviations += deviation * deviation;
    });
    // The MPFR type's sqrt is found by argument-dependent lookup.
    using std::sqrt;
    return {count, static_cast<double>(mean), static_cast<double>(sqrt(sumOfSquares / n)),
            static_cast<double>(sqrt(sumOfDeviations / n))};
}

} // namespace

std::optional<SignalStatistics> ComputeStatistics(TracePoints points, StepRange range)
{
    const TracePoints inRange = PointsIn(points, range);
    if (inRange.empty())
        return std::nullopt;
    const Moments moments = MomentsOf([&inRange](const auto& visit) {
        for (const TracePoint& point : inRange)
            visit(point.y);
    });
    const Extremes extremes = FindExtremes(inRange);
    return SignalStatistics{.count = moments.count,
                            .min = extremes.min,
                            .minStep = extremes.minStep,
                            .max = extremes.max,
                            .maxStep = extremes.maxStep,
                            .mean = moments.mean,
                            .rms = moments.rms,
                            .standardDeviation = moments.standardDeviation};
}

std::optional<SampleStatistics> ComputeSampleStatistics(std::span<const double> seconds, std::span<const double> values,
                                                        StepRange range, double secondsPerStep)
{
    // Judged by times, not by the samples' steps: a time read back as a step
    // may miss the whole step it was taken at by an ulp.
    const auto first = std::ranges::lower_bound(seconds, TimeOfStep(static_cast<double>(range.first), secondsPerStep));
    const auto last =
        std::ranges::upper_bound(first, seconds.end(), TimeOfStep(static_cast<double>(range.last), secondsPerStep));
    const auto from = static_cast<std::size_t>(first - seconds.begin());
    const auto to = static_cast<std::size_t>(last - seconds.begin());
    // Each sample that holds a number, in time order.
    const auto forEach = [&](const auto& visit) {
        for (std::size_t i = from; i < to; ++i)
            if (!std::isnan(values[i]))
                visit(i);
    };
    std::optional<SampleStatistics> statistics;
    forEach([&](std::size_t i) {
        if (!statistics)
            statistics = SampleStatistics{.count = 0,
                                          .min = values[i],
                                          .minSeconds = seconds[i],
                                          .max = values[i],
                                          .maxSeconds = seconds[i],
                                          .mean = 0,
                                          .rms = 0,
                                          .standardDeviation = 0};
        if (values[i] < statistics->min) {
            statistics->min = values[i];
            statistics->minSeconds = seconds[i];
        }
        if (values[i] > statistics->max) {
            statistics->max = values[i];
            statistics->maxSeconds = seconds[i];
        }
    });
    if (!statistics)
        return std::nullopt;
    const Moments moments = MomentsOf([&](const auto& visit) {
        forEach([&](std::size_t i) { visit(values[i]); });
    });
    statistics->count = moments.count;
    statistics->mean = moments.mean;
    statistics->rms = moments.rms;
    statistics->standardDeviation = moments.standardDeviation;
    return statistics;
}

} // namespace analysis
