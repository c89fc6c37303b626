#pragma once

#include "experiments/Runs.h"
#include "experiments/Settings.h"

#include <cstdint>
#include <string>

class ExperimentHost;
struct MotorModel;

// Every run takes the settings in force from its host when it starts and
// makes run.steps steps from the model's reset.

// Step response: the typed load, shaped by step.profile, acts from step.on
// to step.off - 1; plots the step run's traces and shows the largest Md and
// Omega. Returns the load it used, whether or not it was refused. Raises
// toolkit::EConvertError for text that is not an integer and
// toolkit::EOverflow when a state leaves the double range (loads of -579
// and below by default); the points appended until then stay.
std::int32_t RunStepResponse(MotorModel& model, ExperimentHost& host);

// What the user is told when a typed load is above run.limit: "Некорректно
// введенное значение Мс<30" with the default limit.
std::string RefusedLoadText(std::int64_t limit);

// A fresh Gaussian load at every step; plots the Gauss run's traces.
void RunGaussianLoad(MotorModel& model, ExperimentHost& host);

// A fresh load from a uniform grid of values at every step; plots the
// Uniform run's traces.
void RunUniformLoad(MotorModel& model, ExperimentHost& host);

// The run of the kind, as above.
void RunExperiment(RunKind kind, MotorModel& model, ExperimentHost& host);

double GaussianLoad(const GaussSettings& gauss = {});
double UniformLoad(const UniformSettings& uniform = {});

// The step response's load at step i, where the rotor turns at omega when
// the step starts.
double StepLoad(const StepSettings& step, std::int64_t loadOff, double load, std::int64_t i, double omega);

// Seeds the uniform source from the clock; called once at start-up.
void SeedUniformSource();
