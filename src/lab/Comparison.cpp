#include "lab/Comparison.h"

#include "plot/AxisUnits.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace lab {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The step at or before the time, by the times TimeOfStep gives the steps,
// so a time read from the batch tool's CSV lands on its own step exactly.
std::size_t StepAtOrBefore(double t, double secondsPerStep, std::size_t count)
{
    const double guess = std::floor(StepOfTime(t, secondsPerStep));
    auto step = static_cast<std::size_t>(std::clamp(guess, 0.0, static_cast<double>(count - 1)));
    while (step + 1 < count && TimeOfStep(static_cast<double>(step + 1), secondsPerStep) <= t)
        ++step;
    while (step > 0 && TimeOfStep(static_cast<double>(step), secondsPerStep) > t)
        --step;
    return step;
}

QuantityComparison CompareQuantity(Quantity quantity, std::span<const double> run, double secondsPerStep,
                                   const Measured& measured)
{
    QuantityComparison c{quantity, {}, {}, {}, kNaN, kNaN, kNaN, kNaN};
    const auto& values = measured.Of(quantity);
    const auto at = RunAt(run, secondsPerStep, measured.times);
    double mean = 0;
    const std::vector<double>& kept = c.measured;
    for (std::size_t i = 0; i < at.size(); ++i) {
        if (std::isnan(at[i]) || std::isnan(values[i]))
            continue;
        c.times.push_back(measured.times[i]);
        c.measured.push_back(values[i]);
        c.errors.push_back(at[i] - values[i]);
        mean += values[i];
    }
    if (kept.empty())
        return c;
    mean /= static_cast<double>(kept.size());
    double residual = 0;
    double total = 0;
    c.largest = 0;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        residual += c.errors[i] * c.errors[i];
        total += (kept[i] - mean) * (kept[i] - mean);
        if (std::fabs(c.errors[i]) > std::fabs(c.largest) || i == 0) {
            c.largest = c.errors[i];
            c.largestTime = c.times[i];
        }
    }
    c.rms = std::sqrt(residual / static_cast<double>(kept.size()));
    c.rSquared = 1 - residual / total;
    return c;
}

} // namespace

std::vector<double> RunAt(std::span<const double> values, double secondsPerStep, std::span<const double> times)
{
    std::vector<double> at(times.size(), kNaN);
    if (values.empty())
        return at;
    const double first = TimeOfStep(0, secondsPerStep);
    const double last = TimeOfStep(static_cast<double>(values.size() - 1), secondsPerStep);
    for (std::size_t i = 0; i < times.size(); ++i) {
        const double t = times[i];
        if (!(t >= first && t <= last))
            continue;
        const std::size_t step = StepAtOrBefore(t, secondsPerStep, values.size());
        if (step + 1 == values.size()) {
            at[i] = values[step];
            continue;
        }
        const double t0 = TimeOfStep(static_cast<double>(step), secondsPerStep);
        const double t1 = TimeOfStep(static_cast<double>(step + 1), secondsPerStep);
        at[i] = values[step] + (t - t0) / (t1 - t0) * (values[step + 1] - values[step]);
    }
    return at;
}

Comparison Compare(const RunResult& run, const Measured& measured)
{
    Comparison comparison;
    for (Quantity quantity : measured.Quantities())
        if (Reports(run.settings, quantity))
            comparison.quantities.push_back(
                CompareQuantity(quantity, run.Of(quantity).Values(), run.settings.model.dt, measured));
    return comparison;
}

} // namespace lab
