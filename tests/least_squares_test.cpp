#include "lab/LeastSquares.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace {

// A straight line through scattered points: its least squares solution and
// covariance are known in closed form, whatever the solver does.
struct Line {
    std::vector<double> x{0, 1, 2, 3, 4, 5, 6, 7};
    std::vector<double> y{1.1, 2.9, 5.2, 6.8, 9.1, 11.2, 12.8, 15.1};

    lab::LeastSquaresProblem Problem(lab::FitParameter a, lab::FitParameter b) const
    {
        return {{a, b}, x.size(), [this](std::span<const double> v, std::span<double> r) {
                    for (std::size_t i = 0; i < x.size(); ++i)
                        r[i] = v[0] + v[1] * x[i] - y[i];
                }};
    }
};

struct Ols {
    double a, b, sa, sb, rab;
};

Ols ClosedForm(const Line& line)
{
    const double n = static_cast<double>(line.x.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (std::size_t i = 0; i < line.x.size(); ++i) {
        sx += line.x[i], sy += line.y[i], sxx += line.x[i] * line.x[i], sxy += line.x[i] * line.y[i];
    }
    const double d = n * sxx - sx * sx;
    const double b = (n * sxy - sx * sy) / d;
    const double a = (sy - b * sx) / n;
    double ss = 0;
    for (std::size_t i = 0; i < line.x.size(); ++i)
        ss += std::pow(a + b * line.x[i] - line.y[i], 2);
    const double s2 = ss / (n - 2);
    return {a, b, std::sqrt(s2 * sxx / d), std::sqrt(s2 * n / d), -sx / std::sqrt(n * sxx)};
}

// However the bounds map the variables, the minimum and the covariance
// carried back to the values are the closed form's. The tolerance is the
// finite differences' error, about sqrt(epsilon) of the values.
TEST(LeastSquares, LineWithEveryKindOfBound)
{
    const Line line;
    const Ols ols = ClosedForm(line);
    struct Case {
        const char* name;
        lab::FitParameter a, b;
    };
    const std::vector<Case> cases{
        {"unbounded", {0.5}, {1.0}},
        {"from below", {0.5, 0.0}, {1.0, 0.5}},
        {"from above", {0.5, {}, 10.0}, {1.0, {}, 4.0}},
        {"between", {0.5, -5.0, 5.0}, {1.0, 0.0, 3.0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto r = lab::SolveLeastSquares(line.Problem(c.a, c.b));
        EXPECT_EQ(r.outcome, lab::LeastSquaresOutcome::Converged);
        EXPECT_NEAR(r.values[0], ols.a, 1e-6);
        EXPECT_NEAR(r.values[1], ols.b, 1e-6);
        EXPECT_NEAR(r.StandardError(0), ols.sa, 1e-6 * ols.sa);
        EXPECT_NEAR(r.StandardError(1), ols.sb, 1e-6 * ols.sb);
        EXPECT_NEAR(r.Correlation(0, 1), ols.rab, 1e-6);
        EXPECT_EQ(r.residuals.size(), line.x.size());
        EXPECT_GT(r.evaluations, r.iterations);
    }
}

// A curve through exact data is found to the digits the differences allow,
// from far off, and a value where the residuals are not finite is stepped
// back from.
TEST(LeastSquares, ExponentialFromFarOff)
{
    std::vector<double> t, y;
    for (int i = 0; i < 20; ++i) {
        t.push_back(0.1 * i);
        y.push_back(3 * std::exp(-1.7 * t.back()));
    }
    const lab::LeastSquaresProblem problem{{{1.0, 0.0}, {8.0, 0.0}}, t.size(), [&](auto v, auto r) {
                                               for (std::size_t i = 0; i < t.size(); ++i)
                                                   r[i] = v[1] > 20 ? NAN : v[0] * std::exp(-v[1] * t[i]) - y[i];
                                           }};
    const auto r = lab::SolveLeastSquares(problem);
    EXPECT_EQ(r.outcome, lab::LeastSquaresOutcome::Converged);
    EXPECT_NEAR(r.values[0], 3, 1e-7);
    EXPECT_NEAR(r.values[1], 1.7, 1e-7);
}

TEST(LeastSquares, CancelledErrorsAndRefusals)
{
    const Line line;
    std::atomic<bool> cancel{false};
    std::size_t reports = 0;
    lab::LeastSquaresControl control;
    control.cancel = &cancel;
    control.progress = [&](const lab::LeastSquaresProgress& p) {
        ++reports;
        EXPECT_EQ(p.iteration, reports);
        cancel = true;
    };
    const auto cancelled = lab::SolveLeastSquares(line.Problem({0.5}, {1.0}), control);
    EXPECT_EQ(cancelled.outcome, lab::LeastSquaresOutcome::Cancelled);
    EXPECT_EQ(reports, 1u);

    auto throwing = line.Problem({0.5}, {1.0});
    throwing.residuals = [](auto, auto) { throw std::runtime_error("run failed"); };
    EXPECT_THROW(lab::SolveLeastSquares(throwing), std::runtime_error);

    auto notFinite = line.Problem({0.5}, {1.0});
    notFinite.residuals = [](auto, auto r) { std::fill(r.begin(), r.end(), NAN); };
    EXPECT_EQ(lab::SolveLeastSquares(notFinite).outcome, lab::LeastSquaresOutcome::Failed);

    EXPECT_THROW(lab::SolveLeastSquares(line.Problem({0.5, 1.0}, {1.0})), std::invalid_argument);
    EXPECT_THROW(lab::SolveLeastSquares(line.Problem({0.5, {}, 0.5}, {1.0})), std::invalid_argument);
    EXPECT_THROW(lab::SolveLeastSquares({{{1.0}, {1.0}}, 1, {}}), std::invalid_argument);
}

} // namespace
