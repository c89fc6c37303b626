#pragma once

#include "experiments/Problem.h"
#include "experiments/SettingsTable.h"
#include "lab/Fit.h"
#include "lab/Measured.h"
#include "session/KeptMeasured.h"

#include <cstdint>
#include <string>

// The batch tool's words: its messages and the settings' part of its help,
// in English, from the values the layers below hand it.
namespace cli {

// The problem as one line, "lab.toml:2:5: model.J must be a number above 0,
// not -1".
std::string ErrorText(const Problem& problem);

// What a setting allows: "a whole number from 0 to step.off (1000)".
std::string AllowedText(const Allowed& allowed);

// Why a step response's load was refused, "Invalid load: Mc must not exceed
// 30" with the default limit: the window's alert, in English.
std::string RefusedLoadText(std::int64_t limit);

// Measured data refused, "bench.csv:4:2: 'abc' is not a finite number".
std::string MeasuredErrorText(const lab::MeasuredProblem& problem);

// A session's measured data not read again, "bench.csv changed after the
// session was saved".
std::string KeptMeasuredErrorText(const KeptMeasuredProblem& problem);

// A fit refused, "model.Mk cannot be fitted: the d-q model fits model.Rs,
// model.Rr, model.Lls, model.Lm or model.J".
std::string FitErrorText(const lab::FitProblem& problem, ModelKind kind);

// The settings a fit of the model may move, "model.J, model.Mk or model.sk".
std::string FittableText(ModelKind kind);

// The help's section on the settings: one entry per setting with its
// label, unit, what it allows and its default, laid out as the rest of the
// help for help2man.
std::string SettingsHelp();

} // namespace cli
