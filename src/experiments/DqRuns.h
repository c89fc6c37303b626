#pragma once

#include <string>

struct RunControl;
struct RunResult;

// The run a request of the d-q model asks for, into the result as
// RunExperiment makes it: the step response refused above run.limit, its
// maxima from the standstill's 0, the random runs drawing a load before
// each step. Raises toolkit::EOverflow at the first step out of range,
// keeping the steps before it; whether it got to the end uncancelled.
bool MakeDqRun(RunResult& result, const std::string& loadText, const RunControl& control);
