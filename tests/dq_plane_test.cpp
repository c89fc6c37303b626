#include "DqMachines.h"

#include "analysis/DqCharacteristic.h"
#include "analysis/MechanicalPlane.h"
#include "experiments/Settings.h"
#include "plot/PlaneCurves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace {

using namespace analysis;

Settings SettingsOf(const DqParameters& m)
{
    Settings settings;
    settings.kind = ModelKind::Dq;
    settings.dq = {m.Rs, m.Rr, m.Lls, m.Llr, m.Lm, m.U, m.integrator};
    settings.model.w0 = m.w0;
    settings.model.p = m.p;
    settings.model.J = m.J;
    settings.model.dt = m.dt;
    return settings;
}

std::vector<const PlaneCurve*> OfKind(const std::vector<PlaneCurve>& curves, CurveKind kind)
{
    std::vector<const PlaneCurve*> found;
    for (const PlaneCurve& curve : curves)
        if (curve.kind == kind)
            found.push_back(&curve);
    return found;
}

struct MarkedMachine {
    const char* name;
    DqParameters parameters;
};

class DqPlane : public testing::TestWithParam<MarkedMachine> {};

// The marks drawn, and the values their labels are written from, are the
// characteristic's own breakdown point and starting torque, to the bit,
// with or without a load; the starting torque stands at standstill.
TEST_P(DqPlane, MarksAreTheCharacteristicsPoints)
{
    const DqParameters& machine = GetParam().parameters;
    const Settings settings = SettingsOf(machine);
    ASSERT_EQ(DqParametersOf(settings), machine);
    const DqCharacteristic characteristic(machine);
    const BreakdownPoint breakdown = characteristic.Breakdown();

    const std::optional<CurveMarks> marks = MarksOf(settings);
    ASSERT_TRUE(marks);
    EXPECT_EQ(marks->breakdown.Mk, breakdown.Mk);
    EXPECT_EQ(marks->breakdown.sk, breakdown.sk);
    EXPECT_EQ(marks->breakdownSpeed, characteristic.SpeedAt(breakdown.sk));
    EXPECT_EQ(marks->startingTorque, characteristic.StartingTorque());

    for (const std::optional<double> load : {std::optional<double>(), std::optional<double>(0.5 * breakdown.Mk)}) {
        const std::vector<PlaneCurve> curves = ModelCurves(settings, load);
        const auto points = [&](CurveKind kind) {
            const std::vector<const PlaneCurve*> found = OfKind(curves, kind);
            return found.size() == 1 ? std::vector<PlanePoint>(found[0]->points.begin(), found[0]->points.end())
                                     : std::vector<PlanePoint>();
        };
        EXPECT_EQ(points(CurveKind::Breakdown),
                  (std::vector<PlanePoint>{{breakdown.Mk, characteristic.SpeedAt(breakdown.sk), std::nullopt}}));
        EXPECT_EQ(points(CurveKind::StartingTorque),
                  (std::vector<PlanePoint>{{characteristic.StartingTorque(), 0, std::nullopt}}));
    }
}

// Kloss's refined formula is drawn dashed at the static curve's speeds,
// where the Thevenin equivalent makes it the circuit's torque: the two
// differ by rounding alone, a few ulp of values up to Mk, far below
// 1e-12 Mk. Without Rs it is Kloss's own formula and still exact.
TEST_P(DqPlane, KlossFormulaLiesOnTheStaticCurve)
{
    const std::vector<PlaneCurve> curves = ModelCurves(SettingsOf(GetParam().parameters), std::nullopt);
    const std::vector<const PlaneCurve*> exact = OfKind(curves, CurveKind::Static);
    const std::vector<const PlaneCurve*> kloss = OfKind(curves, CurveKind::Kloss);
    ASSERT_EQ(exact.size(), 1u);
    ASSERT_EQ(kloss.size(), 1u);
    EXPECT_TRUE(kloss[0]->dashed);
    ASSERT_EQ(kloss[0]->points.size(), exact[0]->points.size());
    const double Mk = DqCharacteristic(GetParam().parameters).Breakdown().Mk;
    for (std::size_t i = 0; i < exact[0]->points.size(); ++i) {
        EXPECT_EQ(kloss[0]->points.Omega(i), exact[0]->points.Omega(i));
        EXPECT_NEAR(kloss[0]->points.Md(i), exact[0]->points.Md(i), 1e-12 * Mk) << "Omega " << exact[0]->points.Omega(i);
    }
}

INSTANTIATE_TEST_SUITE_P(Machines, DqPlane,
                         testing::Values(MarkedMachine{"Modelica", ParametersOf(machines::kModelica)},
                                         MarkedMachine{"ModelicaWithoutRs",
                                                       WithoutStatorResistance(ParametersOf(machines::kModelica))},
                                         MarkedMachine{"Krause3hp", ParametersOf(machines::kKrause3hp)},
                                         MarkedMachine{"Krause2250hp", ParametersOf(machines::kKrause2250hp)}),
                         kCaseName);

// The three-state model's curve has no peak: nothing of Kloss's, no marks.
TEST(ThreeStatePlane, HasNoMarksAndNoKlossFormula)
{
    EXPECT_FALSE(MarksOf(Settings{}));
    for (const PlaneCurve& curve : ModelCurves(Settings{}, 10.0))
        EXPECT_TRUE(curve.kind != CurveKind::Kloss && curve.kind != CurveKind::Breakdown &&
                    curve.kind != CurveKind::StartingTorque)
            << curve.name;
}

} // namespace
