#include "DqMachines.h"

#include "experiments/DqRuns.h"
#include "plot/AxisUnits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

DqParameters ModelicaAt(double dt, DqIntegrator integrator = DqIntegrator::RungeKutta4)
{
    DqParameters parameters = ParametersOf(machines::kModelica);
    parameters.dt = dt;
    parameters.integrator = integrator;
    return parameters;
}

// The run against the model stepped under the load written out from the
// profile's definition: nothing before step.on and from off on, between
// them the constant, or the fan's load + k Omega |Omega| from the speed
// the step starts at.
TEST(DqRun, AppliesTheProfileOverItsSchedule)
{
    for (const auto& [profile, k] : {std::pair{LoadProfile::Step, 0.0}, std::pair{LoadProfile::Fan, 0.007}}) {
        StepSettings step;
        step.profile = profile;
        step.k = k;
        step.on = 2000;
        const LoadSchedule schedule{step.on, 6000, 8000};
        const DqRunResult run = RunDq(ModelicaAt(1e-4), {}, step, schedule, 60);
        ASSERT_EQ(run.Steps(), 8000u);
        DqModel model(ModelicaAt(1e-4));
        for (std::size_t i = 0; i < run.Steps(); ++i) {
            const double Omega = model.State().Omega;
            const bool on = step.on <= static_cast<std::int64_t>(i) && static_cast<std::int64_t>(i) < schedule.off;
            const DqQuantities q = model.Step(on ? 60 + k * Omega * std::fabs(Omega) : 0);
            ASSERT_EQ(run.Of(Quantity::Md)[i], q.Md) << "step " << i;
            ASSERT_EQ(run.Of(Quantity::Omega)[i], q.Omega) << "step " << i;
            ASSERT_EQ(run.Of(Quantity::Is)[i], q.Is) << "step " << i;
            ASSERT_EQ(run.Of(Quantity::ia)[i], q.ia) << "step " << i;
        }
    }
}

TEST(DqRun, StopsAtTheFirstStepOutOfRange)
{
    // Forward Euler far past its stable step grows without bound.
    const DqRunResult run = RunDq(ModelicaAt(0.05, DqIntegrator::Euler), {}, {}, {0, 0, 100000}, 0);
    EXPECT_TRUE(run.overflowed);
    EXPECT_GT(run.Steps(), 0u);
    EXPECT_LT(run.Steps(), 100000u);
    for (const auto& column : run.values) {
        EXPECT_EQ(column.size(), run.Steps());
        EXPECT_TRUE(std::all_of(column.begin(), column.end(), [](double v) { return std::isfinite(v); }));
    }
}

} // namespace
