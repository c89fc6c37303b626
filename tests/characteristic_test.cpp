#include "analysis/MechanicalCharacteristic.h"
#include "experiments/Experiments.h"
#include "model/MotorModel.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

namespace {

using namespace analysis;

StepSettings Fan(double k)
{
    StepSettings step;
    step.profile = LoadProfile::Fan;
    step.k = k;
    return step;
}

// The model itself, started from rest and held at the step response's load
// as the run forms it: by 10 000 steps its speed no longer changes in
// double, so 20 000 leave it at rest.
MotorModel HeldRun(const StepSettings& step, double load)
{
    MotorModel model{};
    model.Reset();
    for (std::int64_t i = 0; i < 20000; ++i)
        model.Step(StepLoad(step, 20000, load, i, static_cast<double>(model.Omega)));
    return model;
}

struct HeldLoad {
    double load;
    StepSettings step;
    bool crosses; // false where the load is past the motor in the range
    std::optional<double> statedSpeed = std::nullopt;
    double statedTolerance = 0; // the digits the speed is known to
};

class HeldLoadSettles : public testing::TestWithParam<HeldLoad> {};

// A rest of the Euler step is a point where all three derivatives vanish, so
// a run held long enough settles where the static curve crosses the load.
// The two find the same point in extended arithmetic and differ by rounding
// alone: the torques by a unit in the last place of a double, the speeds by
// that over the curve's slope (0.15 to 0.2 per rad/s), about 1e-14. 1e-12
// leaves room for that, while the other root or a wrong coefficient would
// miss by far more (the 1000-step run is still 0.01 away at load 10).
TEST_P(HeldLoadSettles, WhereTheLoadCrossesTheStaticCurve)
{
    const HeldLoad& held = GetParam();
    const LoadCharacteristic load = LoadCharacteristic::Of(held.step, held.load);
    const std::optional<StaticPoint> point = OperatingPoint(StaticCharacteristic(MotorParameters{}), load);
    ASSERT_EQ(point.has_value(), held.crosses);
    if (!point)
        return;
    if (held.statedSpeed) {
        EXPECT_NEAR(point->Omega, *held.statedSpeed, held.statedTolerance);
    }
    const MotorModel run = HeldRun(held.step, held.load);
    const auto near = [](double a, Extended b) {
        return std::fabs(a - static_cast<double>(b)) <= 1e-12 * (1 + std::fabs(a));
    };
    EXPECT_TRUE(near(point->Omega, run.Omega)) << point->Omega << " " << static_cast<double>(run.Omega);
    EXPECT_TRUE(near(point->Md, run.Md)) << point->Md << " " << static_cast<double>(run.Md);
    EXPECT_TRUE(near(point->K, run.K)) << point->K << " " << static_cast<double>(run.K);
    EXPECT_TRUE(near(point->Md, load.At(point->Omega))) << "at rest the motor carries the load";
}

INSTANTIATE_TEST_SUITE_P(
    StepFanAndBeyond, HeldLoadSettles,
    testing::Values(
        // 10 settles at 89.685, 30 drives the motor backwards near -24.1, and
        // with no load it turns at w0/p.
        HeldLoad{10, {}, true, 89.685, 5e-4}, HeldLoad{30, {}, true, -24.1, 5e-2},
        HeldLoad{0, {}, true, 157.075, 5e-4}, HeldLoad{25, {}, true},
        // Fans, and loads that drive the motor past its synchronous speed.
        HeldLoad{2, Fan(0.0005), true}, HeldLoad{-5, {}, true}, HeldLoad{-8, Fan(0.0001), true},
        // Past the motor: its largest torque in the range, at -w0/p, is about
        // 87, and -100 would drive it beyond 1.5 w0/p.
        HeldLoad{100, {}, false}, HeldLoad{-100, {}, false}));

// Md at standstill is the starting torque: a held load just below it still
// turns the motor forwards, one just above it drives it backwards. At the
// synchronous speed the quadratic is linear, with the root K = 2 Mk and no
// torque: a run's rest without load, exactly.
TEST(StaticCharacteristic, StartsAtTheStallTorqueAndEndsAtTheNoLoadRest)
{
    const StaticCharacteristic motor(MotorParameters{});
    EXPECT_NEAR(motor.At(0).value().Md, 25.07, 5e-3);
    EXPECT_GT(HeldRun({}, 25.0).Omega, 0);
    EXPECT_LT(HeldRun({}, 25.1).Omega, 0);
    const StaticPoint synchronous = motor.At(motor.SynchronousSpeed()).value();
    EXPECT_EQ(Bits(synchronous.Md), Bits(0.0));
    EXPECT_EQ(synchronous.K, 2 * MotorParameters{}.Mk);
}

// The curve is computed in the model's arithmetic, so a machine without
// the x87 format gives the same bits.
TEST(StaticCharacteristic, MeetsAHeldLoadAtTheSameBitsOnEveryMachine)
{
    const StaticCharacteristic motor(MotorParameters{});
    const std::optional<StaticPoint> point = OperatingPoint(motor, {10});
    ASSERT_TRUE(point.has_value());
    EXPECT_EQ(Bits(point->Omega), Bits(kOperatingOmega10));
}

// While the load acts the model rests where the load crosses the curve, and
// carries the load there; a periodic load swings without rest, and a load
// past the motor has none. Once the load is removed it rests with no torque
// at w0/p, whatever the load was.
TEST(StepResponseRests, AreTheOperatingPointUnderTheLoadAndTheSynchronousSpeedAfter)
{
    StepSettings periodic;
    periodic.profile = LoadProfile::Periodic;
    periodic.amplitude = 3;
    struct Case {
        const char* name;
        StepSettings step;
        double load;
        bool rests; // while the load acts
    };
    const MotorParameters motor;
    for (const Case& c : {Case{"step", {}, 10, true}, Case{"fan", Fan(0.0005), 2, true},
                          Case{"periodic", periodic, 10, false}, Case{"past the motor", {}, 100, false}}) {
        const StepResponseRests rests = RestsOfStepResponse(motor, c.step, c.load);
        const LoadCharacteristic load = LoadCharacteristic::Of(c.step, c.load);
        const std::optional<StaticPoint> crossing = OperatingPoint(StaticCharacteristic(motor), load);
        ASSERT_EQ(rests.on.has_value(), c.rests) << c.name;
        if (c.rests) {
            EXPECT_EQ(rests.Of(Quantity::Omega, Segment::On), crossing->Omega) << c.name;
            EXPECT_EQ(rests.Of(Quantity::Md, Segment::On), load.At(crossing->Omega)) << c.name;
        } else {
            EXPECT_EQ(rests.Of(Quantity::Md, Segment::On), std::nullopt) << c.name;
        }
        EXPECT_EQ(rests.Of(Quantity::Omega, Segment::Off), motor.w0 / motor.p) << c.name;
        EXPECT_EQ(rests.Of(Quantity::Md, Segment::Off), 0.0) << c.name;
    }
    EXPECT_EQ(Bits(*RestsOfStepResponse(motor, {}, 10).Of(Quantity::Omega, Segment::On)), Bits(kOperatingOmega10));
}

struct Motor {
    MotorParameters parameters;
    bool whole; // all 1001 speeds over the range have a rest point
};

class RestEquations : public testing::TestWithParam<Motor> {};

// Every point of the curve is a rest of the model's own step: put there with
// its load equal to Md, the step finds all three derivatives 0. Md and K are
// rounded to double, so a derivative is off by at most half a unit in the
// last place (DBL_EPSILON / 2) of each term it sums; the bound allows one
// unit, the extended arithmetic adds 2^-64 relative per operation. dOmega is
// exactly 0, as Md - Mc is.
TEST_P(RestEquations, VanishAtEveryPointOfTheCurve)
{
    MotorModel rest{};
    rest.Reset(GetParam().parameters);
    const StaticCharacteristic motor(GetParam().parameters);
    const std::vector<StaticPoint> curve = motor.Curve(motor.Range(), 1000);
    EXPECT_EQ(curve.size() == 1001, GetParam().whole);
    EXPECT_EQ(curve.front().Omega == motor.Range().from, GetParam().whole) << "the slowest speeds go first";
    const long double eps = std::numeric_limits<double>::epsilon();
    const long double invT = 1.0L / rest.T;
    for (const StaticPoint& point : curve) {
        MotorModel model = rest;
        model.Md = model.MdPrev = point.Md;
        model.Omega = model.OmegaPrev = point.Omega;
        model.K = model.KPrev = point.K;
        model.Step(point.Md);
        const long double Md = std::fabs(point.Md);
        const long double K = std::fabs(point.K);
        EXPECT_LE(std::fabs(static_cast<double>(model.dMd)), eps * (std::fabs(rest.w0 - rest.p * point.Omega) * K + invT * Md));
        EXPECT_EQ(model.dOmega, 0);
        EXPECT_LE(std::fabs(static_cast<double>(model.dK)), eps * (2 * invT * rest.Mk + invT * K + (std::fabs(point.Omega) + rest.p * K) * Md))
            << "Omega " << point.Omega;
    }
    EXPECT_TRUE(std::is_sorted(curve.begin(), curve.end(), [](auto& a, auto& b) { return a.Omega <= b.Omega; }));
}

// With the defaults every speed has a rest point. Ten times Mk, or three pole
// pairs, leave the slowest without one (B^2 < 4 A C); a smaller sk brings
// them back.
INSTANTIATE_TEST_SUITE_P(DefaultsAndOthers, RestEquations,
                         testing::Values(Motor{{}, true}, Motor{{.Mk = 252.5}, false}, Motor{{.p = 3}, false},
                                         Motor{{.Mk = 252.5, .sk = 0.1, .p = 3}, true}));

class NoBreakdownPoint : public testing::TestWithParam<MotorParameters> {};

// Unlike a real induction motor's, the curve has no peak: its torque falls
// at every speed that has a rest point, so Mk is no breakdown torque and sk
// no breakdown slip, whichever parameter is doubled or halved.
TEST_P(NoBreakdownPoint, TheTorqueFallsAtEverySpeed)
{
    const StaticCharacteristic motor(GetParam());
    const std::vector<StaticPoint> curve = motor.Curve(motor.Range(), 1000);
    ASSERT_GT(curve.size(), 500U);
    for (std::size_t i = 1; i < curve.size(); ++i)
        ASSERT_LT(curve[i].Md, curve[i - 1].Md) << "Omega " << curve[i].Omega;
}

INSTANTIATE_TEST_SUITE_P(DefaultsAndOthers, NoBreakdownPoint,
                         testing::Values(MotorParameters{}, MotorParameters{.Mk = 50.5}, MotorParameters{.Mk = 12.625},
                                         MotorParameters{.sk = 0.92}, MotorParameters{.sk = 0.23},
                                         MotorParameters{.p = 1}, MotorParameters{.p = 4},
                                         MotorParameters{.J = 0.0344}, MotorParameters{.J = 0.0086},
                                         MotorParameters{.w0 = 628.3}, MotorParameters{.w0 = 157.075}));

} // namespace
