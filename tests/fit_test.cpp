#include "experiments/ExperimentFile.h"
#include "lab/Fit.h"
#include "plot/AxisUnits.h"
#include "toolkit/Random.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// The step response, with the load the settings give where none is given.
RunResult StepRun(const Settings& settings, std::string load = "")
{
    if (load.empty())
        load = std::to_string(settings.step.load.value_or(0));
    RunResult run = RunExperiment({RunKind::Step, settings, std::move(load), RandomSources{}});
    EXPECT_EQ(run.outcome, RunOutcome::Done);
    return run;
}

// The Modelica machine's start under its fan, cut to its first 0.4 s so
// a sanitized build fits it in seconds.
Settings ModelicaStart()
{
    Settings settings = ExperimentFile::Load(MOTORMODEL_EXAMPLES "/modelica-squirrel-cage.toml", Settings{});
    settings.run.steps = 4000;
    settings.step.off = 4000;
    return settings;
}

// A bench's record of the run's quantities: sampled at times spaced
// unevenly about 1 / rate apart, from a portable generator, with Gaussian
// noise of the given size per quantity.
lab::Measured Bench(const RunResult& run, double rate, const std::vector<std::pair<Quantity, double>>& noise,
                    std::uint64_t seed)
{
    lab::Measured m{"bench.csv", "", {}, {}};
    std::uint64_t state = seed;
    const auto uniform = [&] { // SplitMix64's step, to [0, 1)
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return static_cast<double>((z ^ (z >> 31)) >> 11) * 0x1.0p-53;
    };
    const double end = TimeOfStep(static_cast<double>(run.Of(Quantity::Omega).Size() - 1), run.settings.model.dt);
    for (double t = 0.5 / rate; t < end; t += (0.5 + uniform()) / rate)
        m.times.push_back(t);
    toolkit::NormalSource normal;
    normal.Seed(seed);
    for (const auto& [quantity, sd] : noise) {
        auto values = lab::RunAt(run.Of(quantity).Values(), run.settings.model.dt, m.times);
        for (double& v : values)
            v += static_cast<double>(normal.RandG(0, sd));
        m.columns[quantity] = std::move(values);
    }
    return m;
}

TEST(Comparison, RunAgainstItsOwnSamplesAndAnOffset)
{
    const RunResult run = StepRun(ModelicaStart());
    const double dt = run.settings.model.dt;
    lab::Measured own{"own.csv", "", {}, {}};
    // Before the first step and after the last: outside the common time.
    own.times.push_back(0);
    for (std::size_t i = 0; i < run.Of(Quantity::Omega).Size(); i += 7)
        own.times.push_back(TimeOfStep(static_cast<double>(i), dt));
    own.times.push_back(1e3);
    for (Quantity q : {Quantity::Omega, Quantity::Is}) {
        own.columns[q] = lab::RunAt(run.Of(q).Values(), dt, own.times);
        own.columns[q].front() = own.columns[q].back() = 1;
    }
    for (const auto& c : lab::Compare(run, own).quantities) {
        EXPECT_EQ(c.Samples(), own.times.size() - 2);
        EXPECT_EQ(c.rms, 0);
        EXPECT_EQ(c.rSquared, 1);
        EXPECT_EQ(c.largest, 0);
    }
    constexpr double kOffset = 2.5;
    for (auto& [q, values] : own.columns)
        for (double& v : values)
            v -= kOffset;
    for (const auto& c : lab::Compare(run, own).quantities) {
        // v - (v - offset) is the offset to within the rounding of v - offset.
        EXPECT_NEAR(c.rms, kOffset, 1e-12 * 1000);
        EXPECT_NEAR(c.largest, kOffset, 1e-12 * 1000);
        EXPECT_LT(c.rSquared, 1);
    }
}

TEST(Comparison, InterpolatesLinearlyBetweenSteps)
{
    const std::vector<double> values{0, 2, 4, 6};
    const double dt = 0.25; // exact in binary: times are exact
    const auto at = lab::RunAt(values, dt, std::vector<double>{0.2, 0.25, 0.375, 0.9, 1.0, 1.1});
    EXPECT_TRUE(std::isnan(at[0]));
    EXPECT_EQ(at[1], 0);
    EXPECT_EQ(at[2], 1);
    EXPECT_EQ(at[3], 5.2);
    EXPECT_EQ(at[4], 6);
    EXPECT_TRUE(std::isnan(at[5]));
}

struct FitCase {
    const char* name;
    Settings truth;
    std::string load;
    // The bench's own simulation: a finer step than the fit's runs.
    double benchStep;
    double rate;
    std::vector<std::pair<Quantity, double>> noise;
    std::vector<std::pair<std::string, double>> starts; // factor off the truth
};

// The held-out check: a bench's start, simulated at a finer step than the
// fit runs, sampled unevenly at kilohertz rates with noise, is fitted from
// starts 30 % off. Each value lands within 2 % of the truth and within
// three standard errors of it.
TEST(Fit, RecoversTheBenchFromStartsThirtyPercentOff)
{
    Settings threeState;
    threeState.run.steps = 1500;
    const std::vector<FitCase> cases{
        {"d-q machine", ModelicaStart(), "0", 2.5e-5, 3000, {{Quantity::Omega, 0.5}, {Quantity::Is, 3}},
         {{"model.J", 1.3}, {"model.Rr", 0.7}}},
        {"three-state model", threeState, "15", 1e-3, 1700, {{Quantity::Md, 0.2}, {Quantity::Omega, 0.2}},
         {{"model.J", 0.7}, {"model.Mk", 1.3}, {"model.sk", 0.7}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings bench = c.truth;
        bench.model.dt = c.benchStep;
        const auto scale = static_cast<std::int64_t>(std::lround(c.truth.model.dt / c.benchStep));
        bench.run.steps *= scale;
        bench.step.off = bench.step.off ? std::optional(*bench.step.off * scale) : std::nullopt;
        const lab::Measured measured = Bench(StepRun(bench, c.load), c.rate, c.noise, 48);

        lab::FitRequest request{RunKind::Step, c.truth, c.load, {}, {}};
        for (const auto& [name, factor] : c.starts) {
            request.fit.push_back(name);
            SetSetting(request.settings, name, std::get<double>(*GetSetting(c.truth, name)) * factor);
        }
        const lab::FitResult fit = lab::FitSettings(request, measured);
        EXPECT_EQ(fit.outcome, lab::LeastSquaresOutcome::Converged);
        for (const lab::FittedSetting& f : fit.fitted) {
            const double truth = std::get<double>(*GetSetting(c.truth, f.name));
            EXPECT_NEAR(f.value, truth, 0.02 * truth) << f.name;
            EXPECT_NEAR(f.value, truth, 3 * f.standardError) << f.name;
            EXPECT_GT(f.standardError, 0) << f.name;
        }
        for (const auto& q : fit.residual.quantities)
            EXPECT_GT(q.rSquared, 0.99);
    }
}

struct RefusalCase {
    const char* name;
    std::vector<std::string> fit;
    lab::FitProblem problem;
};

// What cannot be fitted is refused before any run, naming the setting.
TEST(Fit, RefusesWhatItCannotFit)
{
    Settings dq = ModelicaStart();
    dq.dq.Rs = 0; // allowed, and on its bound
    const lab::Measured measured = Bench(StepRun(dq, "0"), 2000, {{Quantity::Omega, 0.1}}, 1);
    const std::vector<RefusalCase> cases{
        {"nothing", {}, {lab::FitFault::NothingToFit}},
        {"another model's", {"model.Mk"}, {lab::FitFault::NotFittable, "model.Mk"}},
        {"not fittable", {"model.Llr"}, {lab::FitFault::NotFittable, "model.Llr"}},
        {"twice", {"model.J", "model.Rr", "model.J"}, {lab::FitFault::FittedTwice, "model.J"}},
        {"on its bound", {"model.Rs"}, {lab::FitFault::StartOnBound, "model.Rs", 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            lab::FitSettings({RunKind::Step, dq, "0", {}, c.fit}, measured);
            ADD_FAILURE() << "fitted";
        } catch (const lab::FitError& e) {
            EXPECT_EQ(e.Cause(), c.problem);
        }
    }
    lab::Measured late = measured;
    for (double& t : late.times)
        t += 10;
    try {
        lab::FitSettings({RunKind::Step, dq, "0", {}, {"model.J"}}, late);
        ADD_FAILURE() << "fitted";
    } catch (const lab::FitError& e) {
        EXPECT_EQ(e.Cause().fault, lab::FitFault::NothingToCompare);
    }
}

// A fit stops at the next run once cancelled, with its best values so far.
TEST(Fit, StopsWhenCancelled)
{
    const Settings truth = ModelicaStart();
    const lab::Measured measured = Bench(StepRun(truth, "0"), 2000, {{Quantity::Omega, 0.1}}, 2);
    Settings start = truth;
    start.model.J *= 1.3;
    std::atomic<bool> cancel{false};
    std::size_t reports = 0;
    lab::FitControl control{[&](const lab::FitProgress& p) {
                                ++reports;
                                EXPECT_GT(p.runs, p.iteration);
                                cancel = true;
                            },
                            &cancel};
    const auto fit = lab::FitSettings({RunKind::Step, start, "0", {}, {"model.J"}}, measured, control);
    EXPECT_EQ(fit.outcome, lab::LeastSquaresOutcome::Cancelled);
    EXPECT_EQ(reports, 1u);
    EXPECT_NE(fit.fitted[0].value, start.model.J);
}

// The fitted file keeps the user's comments and values, and says beside
// each fitted value how sure it is and what it was fitted to; the rotor's
// leakage follows the stator's.
TEST(Fit, FittedFileKeepsTheUsersComments)
{
    const std::string text = "# our bench motor\n[model]\nkind = \"dq\" # the d-q machine\nJ = 0.75 # a guess\n"
                             "Lls = 0.0004\nLlr = 0.0004\n\n[run]\nsteps = 4000 # 0.4 s\n";
    lab::FitResult fit{};
    fit.settings = ExperimentFile::Parse(text, "start.toml", Settings{});
    fit.settings.model.J = 0.5;
    fit.settings.dq.Lls = fit.settings.dq.Llr = 0.0003;
    fit.fitted = {{"model.J", 0.75, 0.5, 0.00125}, {"model.Lls", 0.0004, 0.0003, 2.5e-6}};
    const lab::Measured measured{"bench.csv", "", {}, {}};
    EXPECT_EQ(lab::FittedFileText(text, fit, measured),
              "# our bench motor\n[model]\nkind = \"dq\" # the d-q machine\n"
              "J = 0.5 # fitted to bench.csv: standard error 0.00125\n"
              "Lls = 3e-04 # fitted to bench.csv: standard error 2.5e-06\n"
              "Llr = 3e-04 # fitted to bench.csv: standard error 2.5e-06\n\n[run]\nsteps = 4000 # 0.4 s\n");
    const std::string whole = lab::FittedFileText("", fit, measured);
    EXPECT_EQ(ExperimentFile::Parse(whole, "fitted.toml", Settings{}), fit.settings);
    EXPECT_NE(whole.find("J = 0.5 # fitted to bench.csv: standard error 0.00125\n"), std::string::npos);
}

} // namespace
