#include "DqMachines.h"

#include "experiments/Experiments.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

namespace {

// The Modelica machine's settings for a step response of `steps` steps.
Settings ModelicaSettings(double dt, std::int64_t steps, DqIntegrator integrator = DqIntegrator::RungeKutta4)
{
    const DqParameters m = ParametersOf(machines::kModelica);
    Settings settings;
    settings.kind = ModelKind::Dq;
    settings.dq = {.Rs = m.Rs, .Rr = m.Rr, .Lls = m.Lls, .Llr = m.Llr, .Lm = m.Lm, .U = m.U, .integrator = integrator};
    settings.model.w0 = m.w0;
    settings.model.p = m.p;
    settings.model.J = m.J;
    settings.model.dt = dt;
    settings.run.steps = steps;
    settings.run.limit = 1000;
    return settings;
}

struct ProfileCase {
    const char* name;
    LoadProfile profile;
    double k;
    // Supply events, as settings and as the model takes them.
    SupplySettings supply;
    DqSupplyEvents events;
};

void PrintTo(const ProfileCase& c, std::ostream* out) { *out << c.name; }

class DqRunOfSettings : public testing::TestWithParam<ProfileCase> {};

// The run against the model stepped by hand under the load written out
// from the profile's definition: nothing before step.on and from off on,
// between them the constant, or the fan's load + k Omega |Omega| from the
// speed the step starts at; the supply's events as the settings place them.
TEST_P(DqRunOfSettings, IsTheModelSteppedUnderTheProfileAndSupply)
{
    const ProfileCase& c = GetParam();
    Settings settings = ModelicaSettings(1e-4, 8000);
    settings.step.profile = c.profile;
    settings.step.k = c.k;
    settings.step.on = 2000;
    settings.step.off = 6000;
    settings.supply = c.supply;
    const RunResult run = RunExperiment({RunKind::Step, settings, "60", {}});
    ASSERT_EQ(run.outcome, RunOutcome::Done);
    ASSERT_EQ(run.Of(Quantity::Md).Size(), 8000u);
    DqModel model(DqParametersOf(settings), c.events);
    for (std::size_t i = 0; i < 8000; ++i) {
        const double Omega = model.State().Omega;
        const bool on = 2000 <= i && i < 6000;
        const DqQuantities q = model.Step(on ? 60 + c.k * Omega * std::fabs(Omega) : 0);
        for (const auto& [quantity, value] : {std::pair{Quantity::Md, q.Md}, std::pair{Quantity::Omega, q.Omega},
                                              std::pair{Quantity::Is, q.Is}, std::pair{Quantity::ia, q.ia}})
            ASSERT_EQ(run.Of(quantity).Values()[i], value) << QuantityName(quantity) << " at step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, DqRunOfSettings,
    // Supplies as {dip_on, dip_off, dip_level, reverse_on} and the events
    // they are on the model's steps.
    testing::Values(ProfileCase{"step", LoadProfile::Step, 0, {}, {}},
                    ProfileCase{"fan", LoadProfile::Fan, 0.007, {}, {}},
                    ProfileCase{"dip_to_the_end", LoadProfile::Step, 0, {3000, std::nullopt, 0.3, std::nullopt},
                                {3000, 8000, 0.3, std::nullopt}},
                    ProfileCase{"dip_and_plugging", LoadProfile::Step, 0, {1000, 1500, 0, 7000}, {1000, 1500, 0, 7000}},
                    ProfileCase{"dip_off_alone_is_no_dip", LoadProfile::Step, 0, {std::nullopt, 4000, 0.5, std::nullopt},
                                {}}),
    kCaseName);

TEST(DqRunEnd, StopsAtTheFirstStepOutOfRangeKeepingTheStepsBefore)
{
    // Forward Euler far past its stable step grows without bound.
    const RunResult run =
        RunExperiment({RunKind::Step, ModelicaSettings(0.05, 100000, DqIntegrator::Euler), "0", {}});
    EXPECT_EQ(run.outcome, RunOutcome::Failed);
    const std::size_t steps = run.Of(Quantity::Md).Size();
    EXPECT_GT(steps, 0u);
    EXPECT_LT(steps, 100000u);
    for (const Quantity quantity : kDqQuantities) {
        EXPECT_EQ(run.Of(quantity).Size(), steps);
        for (const double value : run.Of(quantity).Values())
            ASSERT_TRUE(std::isfinite(value)) << QuantityName(quantity);
    }
}

} // namespace
