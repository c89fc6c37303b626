#include "lab/Fit.h"

#include "experiments/ExperimentFile.h"
#include "experiments/SettingsTable.h"
#include "toolkit/Conversions.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace lab {
namespace {

constexpr std::array<std::string_view, 3> kThreeStateFitted{"model.J", "model.Mk", "model.sk"};
constexpr std::array<std::string_view, 5> kDqFitted{"model.Rs", "model.Rr", "model.Lls", "model.Lm", "model.J"};

std::optional<double> FixedBound(const Bound& bound)
{
    double value = 0;
    if (!bound.setting.empty() || bound.value.empty() ||
        std::from_chars(bound.value.data(), bound.value.data() + bound.value.size(), value).ec != std::errc{})
        return std::nullopt;
    return value;
}

double Number(const Settings& settings, std::string_view name)
{
    return std::get<double>(*GetSetting(settings, name));
}

// Sets a fitted setting, and the rotor's leakage with the stator's.
void SetFitted(Settings& settings, std::string_view name, double value)
{
    SetSetting(settings, name, value);
    if (name == "model.Lls")
        SetSetting(settings, "model.Llr", value);
}

// The setting's start and the bounds the settings table gives it.
FitParameter ParameterOf(const Settings& settings, std::string_view name)
{
    const Allowed& allowed = SettingSpecOf(name).allowed;
    FitParameter parameter{Number(settings, name)};
    if (allowed.kind == AllowedKind::NumberAboveZero)
        parameter.low = 0.0;
    else if (allowed.kind == AllowedKind::NumberAtLeast)
        parameter.low = FixedBound(allowed.min);
    parameter.high = FixedBound(allowed.max);
    for (const auto& bound : {parameter.low, parameter.high})
        if (bound && *bound == parameter.start)
            throw FitError({FitFault::StartOnBound, std::string(name), *bound});
    return parameter;
}

void CheckNames(const Settings& settings, const std::vector<std::string>& names)
{
    if (names.empty())
        throw FitError({FitFault::NothingToFit});
    const auto fittable = FittableSettings(settings.Kind());
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (std::ranges::find(fittable, names[i]) == fittable.end())
            throw FitError({FitFault::NotFittable, names[i]});
        if (std::find(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(i), names[i]) != names.begin() + static_cast<std::ptrdiff_t>(i))
            throw FitError({FitFault::FittedTwice, names[i]});
    }
}

double RootMeanSquare(const std::vector<double>& values)
{
    if (values.empty())
        return 0;
    double sum = 0;
    for (double v : values)
        sum += v * v;
    return std::sqrt(sum / static_cast<double>(values.size()));
}

// The runs a fit makes, each of the request with the values given.
class Bench {
public:
    Bench(const FitRequest& request, const Measured& measured, const FitControl& control)
        : request_(request), measured_(measured), control_(control)
    {
    }

    // The run of the settings compared with the measurement; none for a run
    // that did not finish.
    std::optional<Comparison> Compared(const Settings& settings)
    {
        ++runs_;
        RunControl runControl;
        runControl.cancel = control_.cancel;
        try {
            RunResult run = RunExperiment({request_.kind, settings, request_.loadText, request_.sources}, runControl);
            if (run.outcome != RunOutcome::Done)
                return std::nullopt;
            return Compare(run, measured_);
        } catch (const SettingsError&) {
            // Values together out of what the model allows: a step too far.
            return std::nullopt;
        }
    }

    Settings At(std::span<const double> values) const
    {
        Settings settings = request_.settings;
        for (std::size_t i = 0; i < values.size(); ++i)
            SetFitted(settings, request_.fit[i], values[i]);
        return settings;
    }

    std::size_t Runs() const { return runs_; }

private:
    const FitRequest& request_;
    const Measured& measured_;
    const FitControl& control_;
    std::size_t runs_ = 0;
};

// The errors of every compared quantity in turn, each divided by its scale;
// NaN for a run that did not finish or lost samples.
void WeightedErrors(const std::optional<Comparison>& compared, const std::vector<std::size_t>& counts,
                    const std::vector<double>& scales, std::span<double> residuals)
{
    std::fill(residuals.begin(), residuals.end(), std::numeric_limits<double>::quiet_NaN());
    if (!compared || compared->quantities.size() != counts.size())
        return;
    std::size_t at = 0;
    for (std::size_t q = 0; q < counts.size(); ++q) {
        const auto& errors = compared->quantities[q].errors;
        if (errors.size() != counts[q])
            return;
        for (double error : errors)
            residuals[at++] = error / scales[q];
    }
}

} // namespace

std::span<const std::string_view> FittableSettings(ModelKind kind)
{
    if (kind == ModelKind::Dq)
        return kDqFitted;
    return kThreeStateFitted;
}

FitResult FitSettings(const FitRequest& request, const Measured& measured, const FitControl& control)
{
    CheckSettings(request.settings);
    CheckNames(request.settings, request.fit);
    LeastSquaresProblem problem;
    for (const std::string& name : request.fit)
        problem.parameters.push_back(ParameterOf(request.settings, name));

    Bench bench(request, measured, control);
    const std::optional<Comparison> start = bench.Compared(request.settings);
    if (!start)
        throw FitError({FitFault::StartRunFailed});
    std::vector<std::size_t> counts;
    std::vector<double> scales;
    for (const QuantityComparison& q : start->quantities) {
        counts.push_back(q.Samples());
        problem.residualCount += q.Samples();
        const double rms = RootMeanSquare(q.measured);
        scales.push_back(rms > 0 ? rms : 1.0);
    }
    if (problem.residualCount < problem.parameters.size())
        throw FitError({FitFault::NothingToCompare});

    problem.residuals = [&](std::span<const double> values, std::span<double> residuals) {
        WeightedErrors(bench.Compared(bench.At(values)), counts, scales, residuals);
    };
    LeastSquaresControl leastSquares;
    leastSquares.cancel = control.cancel;
    if (control.progress)
        leastSquares.progress = [&](const LeastSquaresProgress& p) {
            control.progress({p.iteration, bench.Runs(), 2 * p.cost});
        };
    const LeastSquaresResult solved = SolveLeastSquares(problem, leastSquares);

    FitResult result{solved.outcome, {}, {}, bench.At(solved.values), {}, scales, 0, solved.iterations};
    const std::size_t n = solved.Count();
    for (std::size_t i = 0; i < n; ++i) {
        result.fitted.push_back({request.fit[i], problem.parameters[i].start, solved.values[i], solved.StandardError(i)});
        for (std::size_t j = 0; j < n; ++j)
            result.correlation.push_back(solved.Correlation(i, j));
    }
    if (std::optional<Comparison> residual = bench.Compared(result.settings))
        result.residual = std::move(*residual);
    result.runs = bench.Runs();
    return result;
}

std::string FittedFileText(std::string_view text, const FitResult& result, const Measured& measured)
{
    std::string edited = ExperimentFile::Text(result.settings);
    if (!text.empty())
        edited = ExperimentFile::Edited(text, result.settings).value_or(std::move(edited));
    for (const FittedSetting& fitted : result.fitted) {
        const std::string comment = "fitted to " + measured.file + ": standard error " +
                                    toolkit::FloatToStrRounded(fitted.standardError, 3);
        for (std::string_view name : {std::string_view(fitted.name), std::string_view("model.Llr")}) {
            if (name == "model.Llr" && fitted.name != "model.Lls")
                continue;
            if (auto commented = ExperimentFile::Commented(edited, name, comment))
                edited = std::move(*commented);
        }
    }
    return edited;
}

} // namespace lab
