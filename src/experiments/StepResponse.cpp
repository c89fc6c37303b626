#include "experiments/Experiments.h"
#include "experiments/Runs.h"

#include <cmath>

double StepLoad(const StepSettings& step, std::int64_t loadOff, double load, std::int64_t i, double omega)
{
    if (i < step.on || i >= loadOff)
        return 0.0;
    switch (step.profile) {
    case LoadProfile::Step:
        break;
    case LoadProfile::Ramp:
        if (i < step.on + step.ramp)
            return load * static_cast<double>(i - step.on + 1) / static_cast<double>(step.ramp);
        break;
    case LoadProfile::Fan:
        return load + step.k * omega * std::fabs(omega);
    case LoadProfile::Periodic:
        // Correctly rounded, so the periodic run is the same bits on every
        // machine, whatever its C library's sin gives in the last place.
        return load + step.amplitude * CorrectlyRoundedSin(6.283185307179586 * static_cast<double>(i - step.on) / step.period);
    }
    return load;
}

std::string RefusedLoadText(std::int64_t limit)
{
    return "Некорректно введенное значение Мс<" + std::to_string(limit);
}
