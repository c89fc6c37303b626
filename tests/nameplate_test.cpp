#include "DqMachines.h"
#include "ExactValues.h"

#include "analysis/DqCharacteristic.h"
#include "cli/NameplateTexts.h"
#include "experiments/Settings.h"
#include "lab/Nameplate.h"
#include "model/DqModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

namespace {

using lab::Connection;
using lab::Figure;
using lab::Nameplate;
using lab::NameplateField;
using lab::NameplateRule;

// Which catalogue ratios a plate gives beside its rated point.
enum class Ratios { None, Breakdown, All };

struct RoundTripCase {
    const char* name;
    DqParameters machine;
    Connection connection;
    double ratedRpm;
    Ratios ratios;
};

// The plate a catalogue would print for the machine at the rated speed,
// from its static curve: line voltage and current by the connection, the
// shaft power the air gap's less the rotor's copper, the efficiency the
// circuit's own (its only losses are copper).
Nameplate PlateOf(const RoundTripCase& c)
{
    const analysis::DqCharacteristic circuit(c.machine);
    const double Omega = c.ratedRpm * std::numbers::pi / 30;
    const analysis::DqSteadyPoint rated = circuit.At(circuit.SlipAt(Omega));
    const analysis::DqSteadyPoint start = circuit.At(1);
    const bool star = c.connection == Connection::Star;
    Nameplate plate{.power = rated.Md * Omega,
                    .voltage = star ? c.machine.U * std::sqrt(3.0) : c.machine.U,
                    .connection = c.connection,
                    .frequency = c.machine.w0 / (2 * std::numbers::pi),
                    .speed = c.ratedRpm,
                    .current = star ? rated.Is : rated.Is * std::sqrt(3.0),
                    .cosPhi = rated.cosPhi,
                    .efficiency = rated.Md * Omega / (3 * c.machine.U * rated.Is * rated.cosPhi)};
    if (c.ratios != Ratios::None)
        plate.breakdownRatio = circuit.Breakdown().Mk / rated.Md;
    if (c.ratios == Ratios::All) {
        plate.startingTorqueRatio = start.Md / rated.Md;
        plate.startingCurrentRatio = start.Is / rated.Is;
    }
    return plate;
}

const RoundTripCase kRoundTrips[] = {
    {"ModelicaAll", ParametersOf(machines::kModelica), Connection::Delta, machines::kModelica.nominalRpm, Ratios::All},
    {"ModelicaBreakdown", ParametersOf(machines::kModelica), Connection::Delta, machines::kModelica.nominalRpm,
     Ratios::Breakdown},
    {"ModelicaRatedOnly", ParametersOf(machines::kModelica), Connection::Delta, machines::kModelica.nominalRpm,
     Ratios::None},
    {"Krause3hpAll", ParametersOf(machines::kKrause3hp), Connection::Star, 1710, Ratios::All},
    {"Krause3hpBreakdown", ParametersOf(machines::kKrause3hp), Connection::Star, 1710, Ratios::Breakdown},
    {"Krause2250hpAll", ParametersOf(machines::kKrause2250hp), Connection::Star, 1786, Ratios::All},
    {"Krause2250hpRatedOnly", ParametersOf(machines::kKrause2250hp), Connection::Star, 1786, Ratios::None},
};

class NameplateRoundTrip : public testing::TestWithParam<RoundTripCase> {};

// The plate comes from a machine of the model's own kind, so its figures
// are consistent and a circuit meets them all: the fit must bring each to
// within 1e-6 of the target, far above the solver's step tolerance and
// the golden-section search's resolution of Mk (a double's, the peak being
// flat in s), and far below the 0.1 % to which catalogues round them.
TEST_P(NameplateRoundTrip, TheEstimatedMachineMeetsEveryFigure)
{
    const Nameplate plate = PlateOf(GetParam());
    const lab::NameplateEstimate estimate = lab::EstimateFromNameplate(plate);
    EXPECT_TRUE(estimate.converged);
    ASSERT_GE(estimate.figures.size(), 5u);
    for (const lab::FigureFit& figure : estimate.figures)
        EXPECT_LT(std::fabs(figure.DeviationPercent()), 1e-4)
            << cli::FigureName(figure.figure) << " target " << figure.target << " fitted " << figure.fitted;
    // The figures reported are the estimated machine's own, recomputed.
    EXPECT_EQ(lab::FiguresOf(estimate.machine, plate).size(), estimate.figures.size());
    for (std::size_t i = 0; i < estimate.figures.size(); ++i)
        EXPECT_EQ(lab::FiguresOf(estimate.machine, plate)[i].fitted, estimate.figures[i].fitted);
}

// With the breakdown ratio given, the rated point (three independent
// figures: torque, current and cos phi; the efficiency follows from them in
// a circuit with copper losses alone) and Mk/Mn fix all four parameters,
// so the machine comes back. 1e-5 relative: the parameters' sensitivity to
// the figures is at most some hundred times, times the figures' 1e-7.
TEST_P(NameplateRoundTrip, GivenABreakdownRatioTheMachineComesBack)
{
    const RoundTripCase& c = GetParam();
    const lab::NameplateEstimate estimate = lab::EstimateFromNameplate(PlateOf(c));
    const DqParameters& m = estimate.machine;
    EXPECT_EQ(m.U, c.machine.U);
    EXPECT_NEAR(m.w0, c.machine.w0, 1e-12 * c.machine.w0); // 2 pi f back from f
    EXPECT_EQ(m.p, c.machine.p);
    EXPECT_EQ(m.Lls, m.Llr);
    if (c.ratios == Ratios::None)
        return; // the leakage follows the assumed ratio, not the machine's
    EXPECT_NEAR(m.Rs, c.machine.Rs, 1e-5 * c.machine.Rs);
    EXPECT_NEAR(m.Rr, c.machine.Rr, 1e-5 * c.machine.Rr);
    EXPECT_NEAR(m.Lls, c.machine.Lls, 1e-5 * c.machine.Lls);
    EXPECT_NEAR(m.Lm, c.machine.Lm, 1e-5 * c.machine.Lm);
}

// A plate without any ratio: the breakdown ratio is assumed, and said so.
TEST_P(NameplateRoundTrip, OnlyAMissingRatioIsAssumed)
{
    const RoundTripCase& c = GetParam();
    const lab::NameplateEstimate estimate = lab::EstimateFromNameplate(PlateOf(c));
    for (const lab::FigureFit& figure : estimate.figures) {
        const bool assumed = c.ratios == Ratios::None && figure.figure == Figure::BreakdownRatio;
        EXPECT_EQ(figure.assumed, assumed) << cli::FigureName(figure.figure);
        if (assumed) {
            EXPECT_EQ(figure.target, lab::kAssumedBreakdownRatio);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Machines, NameplateRoundTrip, testing::ValuesIn(kRoundTrips), kCaseName);

// A 7.5 kW four-pole motor's plate and catalogue as printed.
Nameplate Catalogue()
{
    return {.power = 7500, .voltage = 400, .connection = Connection::Star, .frequency = 50, .speed = 1440,
            .current = 14.8, .cosPhi = 0.84, .efficiency = 0.875, .polePairs = std::nullopt,
            .breakdownRatio = 2.7, .startingTorqueRatio = 2.2, .startingCurrentRatio = 7};
}

// Static against dynamic: the settings of the estimate, run by the d-q
// model from standstill under the fitted rated torque, settle at the rated
// speed and the fitted rated current. The model's rest is the circuit's
// exactly, and RK4 keeps a rest as it is; after 3 s of a 0.05 kg m^2 rotor
// the swings have decayed below 1e-9 of the speed, so 1e-7 leaves room
// for the last of them and for the current's RMS taken from one sample.
TEST(NameplateEstimate, ItsSettingsRunToTheRatedPoint)
{
    const Nameplate plate = Catalogue();
    const lab::NameplateEstimate estimate = lab::EstimateFromNameplate(plate);
    Settings base;
    base.model.J = 0.05;
    const Settings settings = estimate.ApplyTo(base);
    CheckSettings(settings);
    EXPECT_EQ(DqParametersOf(settings).J, 0.05);
    DqModel model(DqParametersOf(settings));
    const double load = estimate.Of(Figure::RatedTorque)->fitted;
    for (int step = 0; step < 30000; ++step)
        model.Step(load);
    const DqQuantities rest = model.Quantities();
    EXPECT_NEAR(rest.Omega, plate.speed * std::numbers::pi / 30, 1e-7 * rest.Omega);
    EXPECT_NEAR(rest.Is, estimate.Of(Figure::RatedCurrent)->fitted, 1e-7 * rest.Is); // star: the line's current is the winding's
}

struct ImpossibleCase {
    const char* name;
    void (*change)(Nameplate&);
    NameplateField field;
    NameplateRule rule;
    double limit;
    const char* message;
};

const ImpossibleCase kImpossible[] = {
    {"EfficiencyAboveOne", [](Nameplate& p) { p.efficiency = 1.2; }, NameplateField::Efficiency,
     NameplateRule::AboveZeroAtMostOne, 1, "efficiency must be a finite number above 0 and at most 1, not 1.2"},
    {"CosPhiAboveOne", [](Nameplate& p) { p.cosPhi = 1.05; }, NameplateField::CosPhi,
     NameplateRule::AboveZeroAtMostOne, 1, "cos_phi must be a finite number above 0 and at most 1, not 1.05"},
    {"SpeedAtSynchronous", [](Nameplate& p) { p.speed = 1500; }, NameplateField::Speed,
     NameplateRule::BelowSynchronous, 1500,
     "speed must be below the synchronous speed, 1500 rpm at the frequency and pole pairs given, not 1500"},
    {"SpeedAboveTwoPoles", [](Nameplate& p) { p.speed = 3100; }, NameplateField::Speed,
     NameplateRule::BelowSynchronous, 3000,
     "speed must be below the synchronous speed, 3000 rpm at the frequency and pole pairs given, not 3100"},
    {"SpeedAbovePolePairsGiven",
     [](Nameplate& p) {
         p.speed = 1600;
         p.polePairs = 2;
     },
     NameplateField::Speed, NameplateRule::BelowSynchronous, 1500,
     "speed must be below the synchronous speed, 1500 rpm at the frequency and pole pairs given, not 1600"},
    {"PowerAboveInput", [](Nameplate& p) { p.power = 9000; }, NameplateField::Power, NameplateRule::AtMostInput,
     std::sqrt(3.0) * 400 * 14.8 * 0.84,
     "power must be at most the electrical input sqrt(3) voltage current cos_phi, 8613.14 W, not 9000"},
    {"BreakdownBelowRated", [](Nameplate& p) { p.breakdownRatio = 0.9; }, NameplateField::BreakdownRatio,
     NameplateRule::Above, 1, "mk must be a finite number above 1, not 0.9"},
    {"HalfAPolePair", [](Nameplate& p) { p.polePairs = 2.5; }, NameplateField::PolePairs,
     NameplateRule::WholeAtLeastOne, 1, "pole_pairs must be a whole number of at least 1, not 2.5"},
    {"NegativeCurrent", [](Nameplate& p) { p.current = -15; }, NameplateField::Current, NameplateRule::Above, 0,
     "current must be a finite number above 0, not -15"},
    {"InfiniteVoltage", [](Nameplate& p) { p.voltage = std::numeric_limits<double>::infinity(); },
     NameplateField::Voltage, NameplateRule::Above, 0, "voltage must be a finite number above 0, not INF"},
};

class ImpossibleNameplate : public testing::TestWithParam<ImpossibleCase> {};

// Each is refused before any fit, naming the figure and what is allowed,
// and is the only problem found.
TEST_P(ImpossibleNameplate, IsRefusedNamingTheFigure)
{
    const ImpossibleCase& c = GetParam();
    Nameplate plate = Catalogue();
    c.change(plate);
    const auto problems = lab::NameplateProblems(plate);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].field, c.field);
    EXPECT_EQ(problems[0].rule, c.rule);
    EXPECT_EQ(problems[0].limit, c.limit);
    EXPECT_EQ(cli::NameplateErrorText(problems[0]), c.message);
    try {
        lab::EstimateFromNameplate(plate);
        ADD_FAILURE() << "estimated from an impossible plate";
    } catch (const lab::NameplateError& error) {
        EXPECT_EQ(error.Cause(), problems[0]);
    }
}

INSTANTIATE_TEST_SUITE_P(Plates, ImpossibleNameplate, testing::ValuesIn(kImpossible), kCaseName);

} // namespace
