#include "plot/AxisUnits.h"

double TimeOfStep(double step, double secondsPerStep)
{
    return step / (1 / secondsPerStep);
}

double StepOfTime(double seconds, double secondsPerStep)
{
    return seconds * (1 / secondsPerStep);
}
