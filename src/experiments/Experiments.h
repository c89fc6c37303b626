#pragma once

class ExperimentHost;
struct MotorModel;

// Step response: the typed load held for the first half of the run, then
// removed; plots Series5 and Series6 and shows the largest Md and Omega.
// Raises toolkit::EConvertError for text that is not an integer and
// toolkit::EOverflow when a state leaves the double range (loads of -579
// and below); the points appended until then stay.
void RunStepResponse(MotorModel& model, ExperimentHost& host);

// A fresh Gaussian load (mean 15, deviation 3) at every step; plots
// Series1 and Series2.
void RunGaussianLoad(MotorModel& model, ExperimentHost& host);

// A fresh load from a uniform grid of 1001 values between 12 and 18 at
// every step; plots Series3 and Series4.
void RunUniformLoad(MotorModel& model, ExperimentHost& host);

double GaussianLoad();
double UniformLoad();

// Seeds the uniform source from the clock; called once at start-up.
void SeedUniformSource();

// Loads above this are refused.
inline constexpr double kLargestLoad = 30.0;
