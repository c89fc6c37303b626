#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

// Nonlinear least squares behind a type of our own: GSL's multifit_nlinear
// (a trust region with Levenberg-Marquardt steps and geodesic acceleration)
// minimises the sum of squared residuals over a few parameters.
namespace lab {

// A parameter: where the search starts, and the bounds it keeps within.
// The solver works on an unbounded variable that a smooth map takes into
// the bounds (a logarithm above a lower bound, a logistic between two), so a
// bound is never reached, and the variable's steps are relative to the
// parameter's size.
struct FitParameter {
    double start;
    std::optional<double> low{};
    std::optional<double> high{};
};

struct LeastSquaresProblem {
    std::vector<FitParameter> parameters;
    // How many residuals the function writes; at least as many as there are
    // parameters.
    std::size_t residualCount = 0;
    // Writes the residuals at the values into residuals. A value where the
    // residuals cannot be had (a run that diverges) writes NaN, and the
    // solver steps back from it. An exception raised here ends the search
    // and leaves SolveLeastSquares.
    std::function<void(std::span<const double> values, std::span<double> residuals)> residuals;
};

struct LeastSquaresProgress {
    std::size_t iteration;
    std::size_t evaluations;
    // Half the sum of squared residuals at the best values so far.
    double cost;
};

struct LeastSquaresControl {
    // Told after each iteration.
    std::function<void(const LeastSquaresProgress&)> progress;
    // Looked at before each evaluation of the residuals.
    const std::atomic<bool>* cancel = nullptr;
    std::size_t maxIterations = 100;
    // Converged once a step changes every variable by less than this,
    // relatively.
    double stepTolerance = 1e-8;
    // Or once the gradient is this small against the cost.
    double gradientTolerance = 1e-12;

    bool Cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
};

enum class LeastSquaresOutcome {
    Converged,
    // maxIterations made without converging: the values are the best found.
    IterationLimit,
    // Stopped on request: the values are the best found so far.
    Cancelled,
    // The solver could make no step that lowered the cost, or the start's
    // residuals were not finite.
    Failed,
};

// The outcome's short name, as the batch tool and the Python module give it.
std::string_view OutcomeName(LeastSquaresOutcome outcome);

struct LeastSquaresResult {
    LeastSquaresOutcome outcome = LeastSquaresOutcome::Failed;
    std::vector<double> values;
    // The values' covariance, row by row: (J^T J)^-1 scaled by the residual
    // variance, sum of squares over (residuals - parameters), with J the
    // residuals' Jacobian at the values.
    std::vector<double> covariance;
    std::vector<double> residuals;
    double sumOfSquares = 0;
    std::size_t iterations = 0;
    std::size_t evaluations = 0;

    std::size_t Count() const { return values.size(); }
    double Covariance(std::size_t i, std::size_t j) const { return covariance[i * Count() + j]; }
    double StandardError(std::size_t i) const;
    double Correlation(std::size_t i, std::size_t j) const;
};

// Minimises the sum of the squared residuals from the parameters' starts.
// Raises std::invalid_argument for a start outside its bounds or fewer
// residuals than parameters.
LeastSquaresResult SolveLeastSquares(const LeastSquaresProblem& problem, const LeastSquaresControl& control = {});

} // namespace lab
