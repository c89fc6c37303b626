#include "plot/AxisUnits.h"

double TimeOfStep(double step, double secondsPerStep)
{
    return step / (1 / secondsPerStep);
}

double StepOfTime(double seconds, double secondsPerStep)
{
    return seconds * (1 / secondsPerStep);
}

std::string XAxisTitle(const AxisUnits& units)
{
    if (!units.titles)
        return {};
    return units.seconds ? "t, с" : "Шаг";
}

std::string YAxisTitle(const AxisUnits& units)
{
    return units.titles ? "Md, Н·м; Omega, рад/с" : std::string();
}
