#include "DqMachines.h"
#include "ExactValues.h"

#include "model/DqModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>
#include <vector>

namespace {

using Load = std::function<double(double Omega)>;

DqParameters Modelica(double dt, DqIntegrator integrator = DqIntegrator::RungeKutta4)
{
    DqParameters parameters = ParametersOf(machines::kModelica);
    parameters.dt = dt;
    parameters.integrator = integrator;
    return parameters;
}

std::vector<DqQuantities> DqRun(const DqParameters& parameters, std::int64_t steps, const Load& load,
                                const DqSupplyEvents& events = {})
{
    DqModel model(parameters, events);
    std::vector<DqQuantities> run;
    run.reserve(static_cast<std::size_t>(steps));
    for (std::int64_t i = 0; i < steps; ++i)
        run.push_back(model.Step(load(model.State().Omega)));
    return run;
}

double RelativeChange(double a, double b) { return std::fabs(a - b) / std::fabs(b); }

TEST(DqModel, DefaultsAreTheModelicaMachine)
{
    // Derived here from Xs and sigma: the same bits as the defaults.
    DqParameters derived = ParametersOf(machines::kModelica);
    derived.dt = DqParameters{}.dt;
    EXPECT_EQ(derived, DqParameters{});
}

// The start's peak torque and the time the speed first passes 90 % of the
// synchronous speed, interpolated between steps, at dt and dt / 2.
struct StartFigures {
    double peakMd;
    double timeToSpeed;
};

StartFigures FiguresOfStart(double dt)
{
    const DqParameters parameters = Modelica(dt);
    const auto run = DqRun(parameters, std::llround(1.4 / dt), ModelicaFan);
    const double target = 0.9 * parameters.w0 / parameters.p;
    const auto peak = std::max_element(run.begin(), run.end(), [](auto& a, auto& b) { return a.Md < b.Md; });
    const auto reached = std::find_if(run.begin() + 1, run.end(), [&](auto& q) { return q.Omega >= target; });
    EXPECT_NE(reached, run.end());
    const double k = static_cast<double>(reached - run.begin());
    const double fraction = (target - reached[-1].Omega) / (reached->Omega - reached[-1].Omega);
    // The state after step k is at t = (k + 1) dt.
    return {peak->Md, (k + fraction) * dt};
}

TEST(DqModel, HalvingTheStepChangesTheStartByLessThanATenThousandth)
{
    const StartFigures coarse = FiguresOfStart(2e-5);
    const StartFigures fine = FiguresOfStart(1e-5);
    EXPECT_LT(RelativeChange(coarse.peakMd, fine.peakMd), 1e-4);
    EXPECT_LT(RelativeChange(coarse.timeToSpeed, fine.timeToSpeed), 1e-4);
    // A start of this machine peaks well above its breakdown torque.
    EXPECT_GT(fine.peakMd, 500);
}

// The state at t = 0.2 s at dt, dt / 2 and dt / 4: each halving shrinks the
// error by 2^order, so the ratio of the two changes tells the order. Each
// integrator's dt is small enough for that to hold: forward Euler's
// oscillating modes gain (w0 dt)^2 / 2 a step, far off at RK4's steps.
struct OrderCase {
    const char* name;
    DqIntegrator integrator;
    double dt;
    double lowest;
    double highest;
};

class DqIntegratorOrder : public testing::TestWithParam<OrderCase> {};

TEST_P(DqIntegratorOrder, ErrorShrinksWithTheStepAsItsOrderSays)
{
    std::vector<DqState> ends;
    for (const double dt : {GetParam().dt, GetParam().dt / 2, GetParam().dt / 4}) {
        DqModel model(Modelica(dt, GetParam().integrator));
        for (std::int64_t i = 0; i < std::llround(0.2 / dt); ++i)
            model.Step(50);
        ends.push_back(model.State());
    }
    const auto change = [](const DqState& a, const DqState& b) {
        return std::sqrt(Norm(a.psiS - b.psiS) + Norm(a.psiR - b.psiR));
    };
    const double ratio = change(ends[0], ends[1]) / change(ends[1], ends[2]);
    EXPECT_GT(ratio, GetParam().lowest) << ratio;
    EXPECT_LT(ratio, GetParam().highest);
}

INSTANTIATE_TEST_SUITE_P(Integrators, DqIntegratorOrder,
                         testing::Values(OrderCase{"RungeKutta4", DqIntegrator::RungeKutta4, 4e-4, 14, 18},
                                         OrderCase{"Euler", DqIntegrator::Euler, 1e-5, 1.8, 2.2}),
                         kCaseName);

// Over a run, the energy taken from the supply is the copper losses, the
// load's work and the growth of the magnetic and kinetic energies:
//   3/2 us.is = 3/2 (Rs |is|^2 + Rr |ir|^2) + Mc Omega
//               + d/dt [3/4 (psiS.is + psiR.ir) + J Omega^2 / 2].
// The powers are integrated by Simpson's rule over pairs of steps, whose
// error at these steps is far below that of the integrator; the supply and
// the load keep one value over each pair. The supply is taken in the
// stator's frame, sqrt(2) U e^(+-j w0 t), and the current turned into it by
// the model's frame: the balance then also holds across a reversal only if
// the model carries its state into the reversed frame unchanged. The
// balance holds to the integrator's error, some 1e-12 of the input here;
// 1e-9 leaves room for other machines' libm in the supply's angle.
struct EnergyCase {
    const char* name;
    DqSupplyEvents events;
};

class DqEnergy : public testing::TestWithParam<EnergyCase> {};

TEST_P(DqEnergy, SupplyEnergyIsLossesWorkAndStoredEnergy)
{
    const double dt = 2e-5;
    const std::int64_t steps = 50000;
    const double load = 100;
    const DqSupplyEvents& events = GetParam().events;
    const DqParameters parameters = Modelica(dt);
    DqModel model(parameters, events);

    // The powers at t = k dt under the supply and load of step `step`.
    struct Powers {
        double input;
        double copper;
        double work;
    };
    const auto powers = [&](std::int64_t k, std::int64_t step) {
        const auto [is, ir] = model.Currents(model.State());
        const bool reversed = events.reverseOn && *events.reverseOn <= step;
        const bool dipped = events.dipOn <= step && step < events.dipOff;
        const double theta = (reversed ? -1 : 1) * parameters.w0 * (static_cast<double>(k) * dt);
        const Complex supply = Complex{std::cos(theta), std::sin(theta)} *
                               (std::sqrt(2.0) * parameters.U * (dipped ? events.dipLevel : 1));
        return Powers{1.5 * Dot(supply, is * model.Frame()),
                      1.5 * (parameters.Rs * Norm(is) + parameters.Rr * Norm(ir)), load * model.State().Omega};
    };
    double input = 0, copper = 0, work = 0;
    for (std::int64_t k = 0; k < steps; k += 2) {
        const Powers start = powers(k, k);
        model.Step(load);
        const Powers middle = powers(k + 1, k);
        model.Step(load);
        const Powers end = powers(k + 2, k);
        input += dt / 3 * (start.input + 4 * middle.input + end.input);
        copper += dt / 3 * (start.copper + 4 * middle.copper + end.copper);
        work += dt / 3 * (start.work + 4 * middle.work + end.work);
    }
    const auto [is, ir] = model.Currents(model.State());
    const DqState& x = model.State();
    const double magnetic = 0.75 * (Dot(x.psiS, is) + Dot(x.psiR, ir));
    const double kinetic = parameters.J * x.Omega * x.Omega / 2;
    EXPECT_NEAR(input, copper + work + magnetic + kinetic, 1e-9 * input)
        << "copper " << copper << " work " << work << " magnetic " << magnetic << " kinetic " << kinetic;
    EXPECT_GT(kinetic, 0.01 * input);
}

INSTANTIATE_TEST_SUITE_P(
    Supplies, DqEnergy,
    testing::Values(EnergyCase{"DirectOnLine", {}}, EnergyCase{"HalfVoltageDip", {20000, 30000, 0.5, std::nullopt}},
                    EnergyCase{"Plugging", {0, 0, 1, 30000}}),
    kCaseName);

// Phase a's current is the real part of the stator current turned into the
// stator's frame, e^(j w0 t), or e^(-j w0 t) once two phases are swapped.
// The reference angle comes from the C library: its cos and sin are
// within an ulp or so, and w0 t in double within an ulp of the angle, some
// 1e-13 rad at these angles; the model's rotation drifts by a few ulp a
// step between its anchors every 1024 steps. 1e-11 of the current bounds
// both with room.
TEST(DqModel, PhaseCurrentFollowsTheSupplysAngleAcrossAReversal)
{
    const DqParameters parameters = Modelica(1e-4);
    const std::int64_t reverseOn = 12345;
    DqModel model(parameters, {0, 0, 1, reverseOn});
    for (std::int64_t i = 0; i < 30000; ++i) {
        const DqQuantities q = model.Step(50);
        const double sign = i >= reverseOn ? -1 : 1;
        const double theta = sign * parameters.w0 * (static_cast<double>(i + 1) * parameters.dt);
        const Complex is = model.Currents(model.State()).is;
        ASSERT_NEAR(q.ia, (is * Complex{std::cos(theta), std::sin(theta)}).re, 1e-11 * (1 + std::sqrt(Norm(is))))
            << "step " << i;
        ASSERT_EQ(q.Is, std::sqrt(Norm(is) / 2)) << "step " << i;
    }
}

// Swapping two phases at the start mirrors the machine: the same run with
// the load reversed turns the other way, torque and speed negated and the
// currents' magnitudes and phase a's current unchanged, to the last bit,
// since every operation of the step is symmetric in sign.
TEST(DqModel, ReversedFromTheStartMirrorsTheRunExactly)
{
    const DqParameters parameters = Modelica(1e-4);
    DqModel forward(parameters);
    DqModel reversed(parameters, {0, 0, 1, 0});
    for (std::int64_t i = 0; i < 5000; ++i) {
        const DqQuantities f = forward.Step(ModelicaFan(forward.State().Omega));
        const DqQuantities r = reversed.Step(-ModelicaFan(-reversed.State().Omega));
        ASSERT_EQ(r.Md, -f.Md) << "step " << i;
        ASSERT_EQ(r.Omega, -f.Omega) << "step " << i;
        ASSERT_EQ(r.Is, f.Is) << "step " << i;
        ASSERT_EQ(r.ia, f.ia) << "step " << i;
    }
}

// A run's quantities, bit for bit, as one FNV-1a hash: the one recorded in
// ExactValues.h, which every machine must reproduce.
struct ChecksumCase {
    const char* name;
    DqIntegrator integrator;
    std::uint64_t checksum;
};

class DqBits : public testing::TestWithParam<ChecksumCase> {};

TEST_P(DqBits, RunWithDipAndPluggingIsTheSameBitsOnEveryMachine)
{
    const auto run = DqRun(Modelica(1e-4, GetParam().integrator), 30000, ModelicaFan, {3000, 4500, 0.3, 20000});
    std::uint64_t hash = 0xcbf29ce484222325;
    for (const DqQuantities& q : run)
        for (const double value : {q.Md, q.Omega, q.Is, q.ia})
            for (int byte = 0; byte < 8; ++byte) {
                hash ^= (std::bit_cast<std::uint64_t>(value) >> (8 * byte)) & 0xff;
                hash *= 0x100000001b3;
            }
    EXPECT_EQ(hash, GetParam().checksum) << std::hex << hash;
}

INSTANTIATE_TEST_SUITE_P(Integrators, DqBits,
                         testing::Values(ChecksumCase{"RungeKutta4", DqIntegrator::RungeKutta4, kDqRungeKutta4Checksum},
                                         ChecksumCase{"Euler", DqIntegrator::Euler, kDqEulerChecksum}),
                         kCaseName);

} // namespace
