#pragma once

// What the chart's axes are shown in: the x axis in steps or in seconds,
// whether the axes carry titles with their units, and whether the chart is
// drawn in the style for reports (see plot/ReportStyle.h), with a value
// axis for each quantity. The points stay in steps whatever is shown; only
// their reading changes.
struct AxisUnits {
    bool seconds = false;
    bool titles = false;
    bool report = false;
    // The step size of the run shown; the model's default until the window
    // gives the first run's.
    double secondsPerStep = 0.001;

    bool operator==(const AxisUnits&) const = default;
};

// Every reading of steps in seconds goes through these three, so the chart,
// the tracker, the tables and the exports tell one time.
//
// The time of the state at a step index: a run starts at rest at t = 0 and
// index i holds the state after i + 1 steps, so it is the state at
// t = (i + 1) dt. The time is steps over steps per second rather than steps
// times the step size: the step size is not exactly a thousandth, and the
// product shows 350 steps as 0.35000000000000003 s; the default's
// reciprocal rounds to exactly 1000, so the quotient is the double nearest
// the decimal time.
double TimeOfStep(double step, double secondsPerStep);
// The step index, not necessarily whole, of the state at a time.
double StepOfTime(double seconds, double secondsPerStep);
// How long a number of steps lasts, formed as TimeOfStep forms a time.
double DurationOfSteps(double steps, double secondsPerStep);
