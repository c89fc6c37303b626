#include "DqMachines.h"
#include "ExactValues.h"

#include "analysis/DqCharacteristic.h"
#include "model/DqModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>

namespace {

using analysis::DqCharacteristic;

struct MachineCase {
    const char* name;
    DqParameters parameters;
};

const MachineCase kMachines[] = {
    {"Modelica", ParametersOf(machines::kModelica)},
    {"ModelicaWithoutRs", WithoutStatorResistance(ParametersOf(machines::kModelica))},
    {"Krause3hp", ParametersOf(machines::kKrause3hp)},
    {"Krause3hpWithoutRs", WithoutStatorResistance(ParametersOf(machines::kKrause3hp))},
    {"Krause2250hp", ParametersOf(machines::kKrause2250hp)},
};

class DqStaticCurve : public testing::TestWithParam<MachineCase> {};

// The Thevenin equivalent seen from the rotor is exact, so Kloss's formula
// refined with its resistance is the T-circuit's torque at every slip but
// 0: the two differ only by rounding, a few ulp. Without Rs the Thevenin
// impedance is a pure reactance and the formula is Kloss's own, a = 0.
TEST_P(DqStaticCurve, KlossFormulaIsTheCircuitsTorque)
{
    const DqCharacteristic machine(GetParam().parameters);
    const analysis::KlossFormula kloss = machine.Kloss();
    for (const double s : {-0.5, -0.01, 0.001, 0.02, kloss.sk, 0.3, 1.0, 1.9})
        EXPECT_NEAR(kloss.At(s), machine.Torque(s), 1e-12 * std::fabs(machine.Torque(s))) << "s " << s;
    if (GetParam().parameters.Rs == 0)
        EXPECT_EQ(kloss.a, 0);
    else
        EXPECT_GT(kloss.a, 0);
}

// The search finds the peak of the circuit's torque, which the Thevenin
// equivalent gives in closed form. The peak is flat: the torque agrees to
// rounding, the slip only to about the square root of a double's precision.
TEST_P(DqStaticCurve, BreakdownIsTheExactPeak)
{
    const DqCharacteristic machine(GetParam().parameters);
    const analysis::BreakdownPoint found = machine.Breakdown();
    const analysis::KlossFormula kloss = machine.Kloss();
    EXPECT_NEAR(found.Mk, kloss.Mk, 1e-13 * kloss.Mk);
    EXPECT_NEAR(found.sk, kloss.sk, 1e-7 * kloss.sk);
    EXPECT_EQ(found.Mk, machine.Torque(found.sk));
    EXPECT_GT(found.Mk, machine.StartingTorque());
}

// At s = 0 the rotor branch is open: no torque, and the stator draws the
// magnetising current U / |Zs + Zm|.
TEST_P(DqStaticCurve, SynchronousSpeedIsNoLoad)
{
    const DqParameters& m = GetParam().parameters;
    const DqCharacteristic machine(m);
    const auto curve = machine.Curve(1, 0, 100);
    ASSERT_EQ(curve.size(), 101u);
    EXPECT_EQ(curve.front().s, 1);
    EXPECT_EQ(curve.front().Omega, 0);
    EXPECT_EQ(curve.back().s, 0);
    EXPECT_EQ(curve.back().Omega, machine.SynchronousSpeed());
    EXPECT_EQ(curve.back().Md, 0);
    const double X = m.w0 * (m.Lls + m.Lm);
    EXPECT_NEAR(curve.back().Is, m.U / std::sqrt(m.Rs * m.Rs + X * X), 1e-14 * curve.back().Is);
}

TEST_P(DqStaticCurve, NoOperatingPointAboveTheBreakdownTorque)
{
    const DqCharacteristic machine(GetParam().parameters);
    const double Mk = machine.Breakdown().Mk;
    EXPECT_FALSE(machine.OperatingPoint([&](double) { return 1.001 * Mk; }));
    const auto below = machine.OperatingPoint([&](double) { return 0.999 * Mk; });
    ASSERT_TRUE(below);
    EXPECT_NEAR(below->Md, 0.999 * Mk, 1e-12 * Mk);
    EXPECT_LT(below->s, machine.Breakdown().sk);
}

INSTANTIATE_TEST_SUITE_P(Machines, DqStaticCurve, testing::ValuesIn(kMachines), kCaseName);

// The Modelica machine's documented nominal point on its static curve, to
// 0.1 %. The documented 100 A is the winding's current: the line's, sqrt(3)
// times it in delta, is far off.
TEST(DqStaticCurve, ModelicaMachineMeetsItsNominalPoint)
{
    const machines::ModelicaMachine& m = machines::kModelica;
    const DqCharacteristic machine(ParametersOf(m));
    const analysis::DqSteadyPoint nominal = machine.At(machine.SlipAt(m.nominalRpm * std::numbers::pi / 30));
    EXPECT_NEAR(nominal.Md, m.nominalMd, 1e-3 * m.nominalMd);
    EXPECT_NEAR(nominal.Is, m.nominalIs, 1e-3 * m.nominalIs);
    EXPECT_NEAR(nominal.cosPhi, m.nominalCosPhi, 1e-3 * m.nominalCosPhi);
    EXPECT_GT(std::sqrt(3.0) * nominal.Is, 1.5 * m.nominalIs);
}

// A run under a load settles where the static curve meets it: the model's
// rest in the supply's frame is the T-circuit, and RK4 rests exactly where
// the rates vanish. What is left after `seconds` is the transient's tail,
// below 1e-9 of each value.
struct SettleCase {
    const char* name;
    DqParameters parameters;
    std::function<double(double Omega)> load;
    double seconds;
};

class DqStaticAndDynamic : public testing::TestWithParam<SettleCase> {};

TEST_P(DqStaticAndDynamic, RunSettlesAtTheOperatingPoint)
{
    const SettleCase& c = GetParam();
    DqModel model(c.parameters);
    DqQuantities end{};
    for (std::int64_t i = 0; i < std::llround(c.seconds / c.parameters.dt); ++i)
        end = model.Step(c.load(model.State().Omega));
    const auto rest = DqCharacteristic(c.parameters).OperatingPoint(c.load);
    ASSERT_TRUE(rest);
    EXPECT_NEAR(end.Omega, rest->Omega, 1e-9 * rest->Omega);
    EXPECT_NEAR(end.Md, rest->Md, 1e-9 * rest->Md);
    EXPECT_NEAR(end.Is, rest->Is, 1e-9 * rest->Is);
}

INSTANTIATE_TEST_SUITE_P(
    Machines, DqStaticAndDynamic,
    testing::Values(SettleCase{"ModelicaUnderItsFan", ParametersOf(machines::kModelica), ModelicaFan, 3},
                    SettleCase{"Krause3hpUnderItsBaseTorque", ParametersOf(machines::kKrause3hp),
                               [](double) { return 11.9; }, 2},
                    // Its starting torque is a third of its base torque: a fan
                    // that takes the base torque at the rated 1786 rpm.
                    SettleCase{"Krause2250hpUnderAFan", ParametersOf(machines::kKrause2250hp),
                               [](double Omega) { return 8.9e3 * std::pow(Omega / (1786 * std::numbers::pi / 30), 2); }, 6}),
    kCaseName);

} // namespace
