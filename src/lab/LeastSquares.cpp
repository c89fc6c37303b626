#include "lab/LeastSquares.h"

#include <gsl/gsl_blas.h>
#include <gsl/gsl_errno.h>
#include <gsl/gsl_multifit_nlinear.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>

namespace lab {
namespace {

// The map from the solver's unbounded variable to a parameter. Its variable
// is 0 at the start and of the order of 1 where the parameter has changed
// by its own size, so one step size serves parameters of any unit.
class Bounded {
public:
    explicit Bounded(const FitParameter& parameter) : p_(parameter)
    {
        const bool below = p_.low && !(p_.start > *p_.low);
        const bool above = p_.high && !(p_.start < *p_.high);
        if (!std::isfinite(p_.start) || below || above)
            throw std::invalid_argument("a fit's start lies outside its bounds");
        if (p_.low && p_.high) {
            const double s = (p_.start - *p_.low) / (*p_.high - *p_.low);
            logisticStart_ = std::log(s / (1 - s));
        }
    }

    double Value(double u) const
    {
        if (p_.low && p_.high)
            return *p_.low + (*p_.high - *p_.low) / (1 + std::exp(-(u + logisticStart_)));
        if (p_.low)
            return *p_.low + (p_.start - *p_.low) * std::exp(u);
        if (p_.high)
            return *p_.high - (*p_.high - p_.start) * std::exp(u);
        return p_.start + Scale() * u;
    }

    // d Value / du, which carries the variable's covariance to the value's.
    double Slope(double u) const
    {
        if (p_.low && p_.high) {
            const double e = std::exp(-(u + logisticStart_));
            return (*p_.high - *p_.low) * e / ((1 + e) * (1 + e));
        }
        if (p_.low)
            return (p_.start - *p_.low) * std::exp(u);
        if (p_.high)
            return -(*p_.high - p_.start) * std::exp(u);
        return Scale();
    }

private:
    double Scale() const { return p_.start != 0 ? std::fabs(p_.start) : 1.0; }

    FitParameter p_;
    double logisticStart_ = 0;
};

// What GSL's callbacks reach: the problem, the maps, and what stops the
// search. No exception may cross GSL's C frames, so one raised by the
// residuals is kept here and raised again once GSL has returned.
struct Search {
    const LeastSquaresProblem& problem;
    const LeastSquaresControl& control;
    std::vector<Bounded> maps;
    std::vector<double> values;
    std::size_t evaluations = 0;
    std::exception_ptr error;
    bool cancelled = false;

    void ValuesAt(const gsl_vector* u)
    {
        for (std::size_t i = 0; i < maps.size(); ++i)
            values[i] = maps[i].Value(gsl_vector_get(u, i));
    }

    int Evaluate(const gsl_vector* u, gsl_vector* f)
    {
        if (control.Cancelled()) {
            cancelled = true;
            return GSL_EBADFUNC;
        }
        try {
            ValuesAt(u);
            ++evaluations;
            problem.residuals(values, std::span<double>(f->data, f->size));
        } catch (...) {
            error = std::current_exception();
            return GSL_EBADFUNC;
        }
        return GSL_SUCCESS;
    }
};

int Residuals(const gsl_vector* u, void* search, gsl_vector* f)
{
    return static_cast<Search*>(search)->Evaluate(u, f);
}

// Forward differences at a step relative to the variable, never below
// sqrt(epsilon): GSL's own differences step by |u| times that, and the
// variables here start at 0.
int Jacobian(const gsl_vector* u, void* searchPointer, gsl_matrix* jacobian)
{
    auto& search = *static_cast<Search*>(searchPointer);
    const std::size_t m = jacobian->size1;
    std::unique_ptr<gsl_vector, decltype(&gsl_vector_free)> at(gsl_vector_alloc(m), gsl_vector_free);
    std::unique_ptr<gsl_vector, decltype(&gsl_vector_free)> moved(gsl_vector_alloc(m), gsl_vector_free);
    std::unique_ptr<gsl_vector, decltype(&gsl_vector_free)> x(gsl_vector_alloc(u->size), gsl_vector_free);
    gsl_vector_memcpy(x.get(), u);
    if (const int status = search.Evaluate(x.get(), at.get()); status != GSL_SUCCESS)
        return status;
    for (std::size_t j = 0; j < u->size; ++j) {
        const double uj = gsl_vector_get(u, j);
        const double h = std::sqrt(DBL_EPSILON) * std::max(1.0, std::fabs(uj));
        gsl_vector_set(x.get(), j, uj + h);
        if (const int status = search.Evaluate(x.get(), moved.get()); status != GSL_SUCCESS)
            return status;
        gsl_vector_set(x.get(), j, uj);
        for (std::size_t i = 0; i < m; ++i)
            gsl_matrix_set(jacobian, i, j, (gsl_vector_get(moved.get(), i) - gsl_vector_get(at.get(), i)) / h);
    }
    return GSL_SUCCESS;
}

bool AllFinite(const gsl_vector* v)
{
    for (std::size_t i = 0; i < v->size; ++i)
        if (!std::isfinite(gsl_vector_get(v, i)))
            return false;
    return true;
}

double HalfSumOfSquares(const gsl_vector* f)
{
    double norm = gsl_blas_dnrm2(f);
    return 0.5 * norm * norm;
}

// GSL's default handler aborts the process on an error; its status is
// enough here.
void QuietGsl()
{
    static std::once_flag once;
    std::call_once(once, [] { gsl_set_error_handler_off(); });
}

using Workspace = std::unique_ptr<gsl_multifit_nlinear_workspace, decltype(&gsl_multifit_nlinear_free)>;

// The values' covariance from the Jacobian at the end, carried from the
// variables to the values through the maps' slopes.
std::vector<double> Covariance(const Search& search, gsl_multifit_nlinear_workspace* w, double variance)
{
    const std::size_t n = search.maps.size();
    std::unique_ptr<gsl_matrix, decltype(&gsl_matrix_free)> c(gsl_matrix_alloc(n, n), gsl_matrix_free);
    gsl_multifit_nlinear_covar(gsl_multifit_nlinear_jac(w), 0.0, c.get());
    const gsl_vector* u = gsl_multifit_nlinear_position(w);
    std::vector<double> covariance(n * n);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j)
            covariance[i * n + j] = variance * gsl_matrix_get(c.get(), i, j) *
                                    search.maps[i].Slope(gsl_vector_get(u, i)) *
                                    search.maps[j].Slope(gsl_vector_get(u, j));
    return covariance;
}

LeastSquaresResult Finish(Search& search, gsl_multifit_nlinear_workspace* w, LeastSquaresOutcome outcome)
{
    if (search.error)
        std::rethrow_exception(search.error);
    LeastSquaresResult result;
    result.outcome = outcome;
    search.ValuesAt(gsl_multifit_nlinear_position(w));
    result.values = search.values;
    const gsl_vector* f = gsl_multifit_nlinear_residual(w);
    result.residuals.assign(f->data, f->data + f->size);
    result.sumOfSquares = 2 * HalfSumOfSquares(f);
    result.iterations = gsl_multifit_nlinear_niter(w);
    result.evaluations = search.evaluations;
    const std::size_t n = search.maps.size();
    const std::size_t degrees = f->size - n;
    result.covariance = degrees > 0 ? Covariance(search, w, result.sumOfSquares / static_cast<double>(degrees))
                                    : std::vector<double>(n * n, std::nan(""));
    return result;
}

} // namespace

std::string_view OutcomeName(LeastSquaresOutcome outcome)
{
    switch (outcome) {
    case LeastSquaresOutcome::Converged:
        return "converged";
    case LeastSquaresOutcome::IterationLimit:
        return "iteration limit";
    case LeastSquaresOutcome::Cancelled:
        return "cancelled";
    case LeastSquaresOutcome::Failed:
        break;
    }
    return "failed";
}

double LeastSquaresResult::StandardError(std::size_t i) const
{
    return std::sqrt(Covariance(i, i));
}

double LeastSquaresResult::Correlation(std::size_t i, std::size_t j) const
{
    return Covariance(i, j) / (StandardError(i) * StandardError(j));
}

LeastSquaresResult SolveLeastSquares(const LeastSquaresProblem& problem, const LeastSquaresControl& control)
{
    const std::size_t n = problem.parameters.size();
    const std::size_t m = problem.residualCount;
    if (n == 0 || m < n)
        throw std::invalid_argument("a fit needs a parameter and at least as many residuals as parameters");
    QuietGsl();
    Search search{problem, control, {}, std::vector<double>(n), 0, nullptr, false};
    for (const FitParameter& parameter : problem.parameters)
        search.maps.emplace_back(parameter);

    gsl_multifit_nlinear_fdf fdf{};
    fdf.f = Residuals;
    fdf.df = Jacobian;
    fdf.fvv = nullptr; // GSL differences the second derivative for the acceleration
    fdf.n = m;
    fdf.p = n;
    fdf.params = &search;
    gsl_multifit_nlinear_parameters parameters = gsl_multifit_nlinear_default_parameters();
    parameters.trs = gsl_multifit_nlinear_trs_lmaccel;
    Workspace w(gsl_multifit_nlinear_alloc(gsl_multifit_nlinear_trust, &parameters, m, n), gsl_multifit_nlinear_free);
    std::unique_ptr<gsl_vector, decltype(&gsl_vector_free)> start(gsl_vector_calloc(n), gsl_vector_free);

    if (gsl_multifit_nlinear_init(start.get(), &fdf, w.get()) != GSL_SUCCESS)
        return Finish(search, w.get(), search.cancelled ? LeastSquaresOutcome::Cancelled : LeastSquaresOutcome::Failed);
    if (!AllFinite(gsl_multifit_nlinear_residual(w.get())))
        return Finish(search, w.get(), LeastSquaresOutcome::Failed);
    for (std::size_t iteration = 1; iteration <= control.maxIterations; ++iteration) {
        const int status = gsl_multifit_nlinear_iterate(w.get());
        if (search.cancelled)
            return Finish(search, w.get(), LeastSquaresOutcome::Cancelled);
        // No step lowers the cost: at a minimum, to within the residuals'
        // own rounding, this is where the search ends.
        if (status == GSL_ENOPROG)
            return Finish(search, w.get(),
                          iteration > 1 ? LeastSquaresOutcome::Converged : LeastSquaresOutcome::Failed);
        if (status != GSL_SUCCESS)
            return Finish(search, w.get(), LeastSquaresOutcome::Failed);
        if (control.progress)
            control.progress({iteration, search.evaluations, HalfSumOfSquares(gsl_multifit_nlinear_residual(w.get()))});
        int info = 0;
        if (gsl_multifit_nlinear_test(control.stepTolerance, control.gradientTolerance, 0.0, &info, w.get()) ==
            GSL_SUCCESS)
            return Finish(search, w.get(), LeastSquaresOutcome::Converged);
    }
    return Finish(search, w.get(), LeastSquaresOutcome::IterationLimit);
}

} // namespace lab
