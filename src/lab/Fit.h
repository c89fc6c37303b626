#pragma once

#include "experiments/Experiments.h"
#include "lab/Comparison.h"
#include "lab/LeastSquares.h"
#include "lab/Measured.h"

#include <atomic>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The model's settings fitted to measured data: each fitted run is the
// batch tool's run of the settings, compared with the measurement as
// Compare does, and GSL's least squares moves the settings to lower the
// squared errors.
namespace lab {

// The settings a fit may move for a model of the kind: for the three-state
// model model.J, model.Mk, model.sk; for the d-q machine model.Rs,
// model.Rr, model.Lls (model.Llr moves with it: the two leakages are one
// setting to a fit, as a start or a locked-rotor test cannot tell them
// apart), model.Lm, model.J.
std::span<const std::string_view> FittableSettings(ModelKind kind);

enum class FitFault {
    // setting is not among FittableSettings of the settings' model.
    NotFittable,
    // setting is named twice.
    FittedTwice,
    // No setting to fit.
    NothingToFit,
    // No measured sample of a quantity the run reports lies within the run.
    NothingToCompare,
    // setting starts at value, on a bound of what it allows (value is the
    // bound): the fit moves within the bounds, never onto them.
    StartOnBound,
    // The run with the start values did not finish.
    StartRunFailed,
};

struct FitProblem {
    FitFault fault;
    std::string setting{};
    double value = 0;
    bool operator==(const FitProblem&) const = default;
};

class FitError : public toolkit::Exception {
public:
    explicit FitError(FitProblem problem) : Exception("fit not possible"), problem_(std::move(problem)) {}
    const FitProblem& Cause() const { return problem_; }

private:
    FitProblem problem_;
};

struct FitRequest {
    RunKind kind = RunKind::Step;
    // The start: checked, as for a run, before anything else.
    Settings settings;
    std::string loadText;
    RandomSources sources;
    std::vector<std::string> fit;
};

struct FitProgress {
    std::size_t iteration;
    std::size_t runs;
    // The sum of the weighted squared errors at the best values so far.
    double sumOfSquares;
};

struct FitControl {
    std::function<void(const FitProgress&)> progress;
    // Looked at between runs and within each run.
    const std::atomic<bool>* cancel = nullptr;
};

struct FittedSetting {
    std::string name;
    double start;
    double value;
    double standardError;
};

struct FitResult {
    LeastSquaresOutcome outcome;
    std::vector<FittedSetting> fitted;
    // The values' correlation, row by row.
    std::vector<double> correlation;
    // The start with the fitted values.
    Settings settings;
    // The run of the fitted settings against the measurement: the residual
    // of each quantity as a trace, with its RMS and R².
    Comparison residual;
    // What each quantity's errors are divided by, in residual's order: the
    // measured values' RMS, so errors in N m, rad/s and A weigh alike.
    std::vector<double> scales;
    // Every run made, the start's and the fitted one's among them.
    std::size_t runs = 0;
    std::size_t iterations = 0;

    double Correlation(std::size_t i, std::size_t j) const { return correlation[i * fitted.size() + j]; }
};

// Raises SettingsError for a start that is not allowed, FitError for a fit
// that cannot be made.
FitResult FitSettings(const FitRequest& request, const Measured& measured, const FitControl& control = {});

// The fitted settings' values written into the experiment file's text,
// which keeps its comments, each with a comment giving its standard error
// and the measured data's file: "J = 0.5812 # fitted to bench.csv:
// standard error 0.0021". A full file where text is empty or cannot be
// edited so.
std::string FittedFileText(std::string_view text, const FitResult& result, const Measured& measured);

} // namespace lab
