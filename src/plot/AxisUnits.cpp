#include "plot/AxisUnits.h"

double DurationOfSteps(double steps, double secondsPerStep)
{
    return steps / (1 / secondsPerStep);
}

double TimeOfStep(double step, double secondsPerStep)
{
    return DurationOfSteps(step + 1, secondsPerStep);
}

double StepOfTime(double seconds, double secondsPerStep)
{
    return seconds * (1 / secondsPerStep) - 1;
}
