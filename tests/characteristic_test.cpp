#include "analysis/MechanicalCharacteristic.h"
#include "experiments/Experiments.h"
#include "model/MotorModel.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <ostream>
#include <vector>

namespace {

using namespace analysis;

MotorModel DefaultModel()
{
    MotorModel model{};
    model.Reset();
    return model;
}

// The model itself, started from rest and held at a load long enough to
// settle: by 10 000 steps its speed no longer changes in double, so 20 000
// leave it at its rest point.
MotorModel HeldRun(const LoadCharacteristic& load)
{
    MotorModel model = DefaultModel();
    for (int i = 0; i < 20000; ++i)
        model.Step(load.At(static_cast<double>(model.Omega)));
    return model;
}

struct HeldLoad {
    LoadCharacteristic load;
    // False where the load is past what the motor can carry in the range.
    bool crosses;
    // The speed the issue states for it, to the digits it gives.
    std::optional<double> statedSpeed = std::nullopt;
    double statedTolerance = 0;
};

void PrintTo(const HeldLoad& held, std::ostream* out)
{
    *out << "load " << held.load.load << " k " << held.load.k;
}

class HeldLoadSettles : public testing::TestWithParam<HeldLoad> {};

// A rest point of the Euler step is a point where all three derivatives
// vanish, so a run held long enough settles exactly where the static curve
// crosses the load. Both are the same point found two ways in extended
// arithmetic and differ by rounding alone: the torques by a unit in the last
// place of a double, the speeds by that over the curve's slope (0.15 to 0.2
// per rad/s), about 1e-14. A bound of 1e-12 (relative, or absolute near 0)
// leaves room for that, while the other root or a wrong coefficient would
// miss by far more (the 1000-step run is still 0.01 away at load 10).
TEST_P(HeldLoadSettles, WhereTheLoadCrossesTheStaticCurve)
{
    const HeldLoad& held = GetParam();
    const StaticCharacteristic motor(MotorParameters{});
    const std::optional<StaticPoint> point = OperatingPoint(motor, held.load);
    ASSERT_EQ(point.has_value(), held.crosses);
    if (!point)
        return;
    if (held.statedSpeed) {
        EXPECT_NEAR(point->Omega, *held.statedSpeed, held.statedTolerance);
    }

    const MotorModel run = HeldRun(held.load);
    const double runOmega = static_cast<double>(run.Omega);
    EXPECT_NEAR(point->Omega, runOmega, 1e-12 * (1 + std::fabs(runOmega)));
    EXPECT_NEAR(point->Md, static_cast<double>(run.Md), 1e-12 * (1 + std::fabs(point->Md)));
    EXPECT_NEAR(point->K, static_cast<double>(run.K), 1e-12 * point->K);
    EXPECT_NEAR(point->Md, held.load.At(point->Omega), 1e-12 * (1 + std::fabs(point->Md)))
        << "at rest the motor carries the load";
}

INSTANTIATE_TEST_SUITE_P(
    StepFanAndBeyond, HeldLoadSettles,
    testing::Values(
        // The step response's loads: 10 settles at 89.685, 30 drives the motor
        // backwards near -24.1, and with no load it turns at w0/p.
        HeldLoad{{10}, true, 89.685, 5e-4}, HeldLoad{{30}, true, -24.1, 5e-2},
        HeldLoad{{0}, true, 157.075, 5e-4}, HeldLoad{{20}, true}, HeldLoad{{25}, true},
        // Fans: the load grows with the speed squared, against the rotation.
        HeldLoad{{2, 0.0005}, true},
        // Loads that drive the motor past its synchronous speed.
        HeldLoad{{-5}, true}, HeldLoad{{-8, 0.0001}, true},
        // Past the motor in the range: its largest torque there, at -w0/p, is
        // about 87, and -100 would drive it beyond 1.5 w0/p.
        HeldLoad{{100}, false}, HeldLoad{{-100}, false}));

// Md at standstill is the starting torque: a held load just below it still
// turns the motor forwards, one just above it drives it backwards.
TEST(StaticCharacteristic, StartingTorqueSeparatesLoadsThatStallTheMotor)
{
    const StaticCharacteristic motor(MotorParameters{});
    const std::optional<StaticPoint> standstill = motor.At(0);
    ASSERT_TRUE(standstill.has_value());
    EXPECT_NEAR(standstill->Md, 25.07, 5e-3);
    EXPECT_GT(HeldRun({25.0}).Omega, 0);
    EXPECT_LT(HeldRun({25.1}).Omega, 0);
}

// At the synchronous speed the quadratic is linear and its root is K = 2 Mk
// with no torque: the rest point of a run with no load, exactly.
TEST(StaticCharacteristic, MeetsTheNoLoadRestAtTheSynchronousSpeed)
{
    const MotorModel model = DefaultModel();
    const StaticCharacteristic motor(MotorParameters{});
    const std::optional<StaticPoint> point = motor.At(motor.SynchronousSpeed());
    ASSERT_TRUE(point.has_value());
    EXPECT_EQ(Bits(point->Md), Bits(0.0));
    EXPECT_EQ(point->K, 2 * model.Mk);
    EXPECT_EQ(motor.SynchronousSpeed(), model.w0 / model.p);
}

struct Motor {
    double Mk;
    double p;
    double sk;
    // Whether all 1001 speeds over the range have a rest point.
    bool whole;
};

class RestEquations : public testing::TestWithParam<Motor> {};

MotorParameters ParametersOf(const Motor& motor)
{
    MotorParameters parameters;
    parameters.Mk = motor.Mk;
    parameters.p = motor.p;
    parameters.sk = motor.sk;
    return parameters;
}

// Every point of the curve is a rest of the model's own step: put there
// with its load equal to Md, the step finds all three derivatives 0. Md and
// K are rounded to double, each within half a unit in the last place, so a
// derivative is off by at most half a unit (DBL_EPSILON / 2) of each term it
// sums; the bound allows one unit, and the extended arithmetic adds only
// 2^-64 relative per operation. dOmega is exactly 0, as Md - Mc is.
TEST_P(RestEquations, VanishAtEveryPointOfTheCurve)
{
    MotorModel parameters{};
    parameters.Reset(ParametersOf(GetParam()));
    const StaticCharacteristic motor(ParametersOf(GetParam()));
    const std::vector<StaticPoint> curve = motor.Curve(motor.Range(), 1000);
    if (GetParam().whole) {
        EXPECT_EQ(curve.size(), 1001u);
    } else {
        ASSERT_LT(curve.size(), 1001u);
        EXPECT_GT(curve.front().Omega, motor.Range().from) << "the slowest speeds have no rest point";
    }
    constexpr double eps = std::numeric_limits<double>::epsilon();
    const long double invT = 1.0L / parameters.T;
    for (const StaticPoint& point : curve) {
        MotorModel model = parameters;
        model.Md = model.MdPrev = point.Md;
        model.Omega = model.OmegaPrev = point.Omega;
        model.K = model.KPrev = point.K;
        model.Step(point.Md);
        const long double Md = std::fabs(point.Md);
        const long double K = std::fabs(point.K);
        const long double gap = std::fabs(parameters.w0 - parameters.p * point.Omega);
        EXPECT_LE(std::fabs(model.dMd), eps * (gap * K + invT * Md)) << "Omega " << point.Omega;
        EXPECT_EQ(model.dOmega, 0) << "Omega " << point.Omega;
        EXPECT_LE(std::fabs(model.dK),
                  eps * (2 * invT * parameters.Mk + invT * K + (std::fabs(point.Omega) + parameters.p * K) * Md))
            << "Omega " << point.Omega;
    }
    for (std::size_t i = 1; i < curve.size(); ++i)
        EXPECT_LT(curve[i - 1].Omega, curve[i].Omega);
}

// With the defaults the quadratic has real roots over the whole range. Ten
// times the torque constant, or three pole pairs, leave the slowest speeds
// without one (B^2 < 4 A C there); a smaller sk brings them back.
INSTANTIATE_TEST_SUITE_P(DefaultsAndOthers, RestEquations,
                         testing::Values(Motor{25.25, 2, 0.46, true}, Motor{252.5, 2, 0.46, false},
                                         Motor{25.25, 3, 0.46, false}, Motor{252.5, 3, 0.1, true}));

struct Profile {
    LoadProfile profile;
    double k;
    double amplitude;
};

class LoadOfProfile : public testing::TestWithParam<Profile> {};

// The load's characteristic is the run's own load once it is on and, for a
// ramp, up: the same double at every speed. A periodic load sweeps its band
// over a period, touching both edges to within rounding of the sine.
TEST_P(LoadOfProfile, IsWhatTheRunAppliesOnceTheLoadIsOn)
{
    StepSettings step;
    step.profile = GetParam().profile;
    step.k = GetParam().k;
    step.amplitude = GetParam().amplitude;
    step.on = 100;
    step.ramp = 50;
    step.period = 400;
    const LoadCharacteristic load = LoadCharacteristic::Of(step, 12);
    const std::int64_t up = step.profile == LoadProfile::Ramp ? step.on + step.ramp : step.on;
    for (double Omega : {-157.075, -3.5, 0.0, 89.685, 250.0}) {
        const double run = StepLoad(step, 2000, 12, up, Omega);
        EXPECT_EQ(Bits(load.At(Omega)), Bits(run)) << "Omega " << Omega;
        double lowest = run;
        double highest = run;
        for (std::int64_t i = up; i < up + 400; ++i) {
            lowest = std::min(lowest, StepLoad(step, 2000, 12, i, Omega));
            highest = std::max(highest, StepLoad(step, 2000, 12, i, Omega));
        }
        EXPECT_NEAR(load.Lowest(Omega), lowest, 1e-12) << "Omega " << Omega;
        EXPECT_NEAR(load.Highest(Omega), highest, 1e-12) << "Omega " << Omega;
    }
}

INSTANTIATE_TEST_SUITE_P(EveryProfile, LoadOfProfile,
                         testing::Values(Profile{LoadProfile::Step, 0.5, 3}, Profile{LoadProfile::Ramp, 0.5, 3},
                                         Profile{LoadProfile::Fan, 0.0004, 3},
                                         Profile{LoadProfile::Fan, -0.0002, 0},
                                         Profile{LoadProfile::Periodic, 0.5, 3},
                                         Profile{LoadProfile::Periodic, 0, -2}));

} // namespace
