#pragma once

// What the chart's axes are shown in: the x axis in steps or in seconds, and
// whether the axes carry titles with their units. The points stay in steps
// whatever is shown; only their reading changes.
struct AxisUnits {
    bool seconds = false;
    bool titles = false;
    // The step size of the run shown; the model's default until the window
    // gives the first run's.
    double secondsPerStep = 0.001;

    bool operator==(const AxisUnits&) const = default;
};

// The time of a step: steps over steps per second rather than steps times
// the step size. The step size is not exactly a thousandth, and the product
// shows 349 steps as 0.34900000000000003 s; the default's reciprocal rounds
// to exactly 1000, so the quotient is the double nearest the decimal time.
double TimeOfStep(double step, double secondsPerStep);
// The step, not necessarily whole, at a time.
double StepOfTime(double seconds, double secondsPerStep);
