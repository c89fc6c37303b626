#include "analysis/MechanicalPlane.h"

#include "analysis/DqCharacteristic.h"
#include "analysis/MechanicalCharacteristic.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace analysis {

namespace {

// Dark blue, apart from the runs' colours, and black: both read on silver
// and in print.
constexpr Colour kLoadColour = 0x800000;
constexpr Colour kStaticColour = clBlack;
// Teal, apart from the runs' colours: its dashes show on the black curve
// they lie on.
constexpr Colour kKlossColour = Rgb(0x00, 0x80, 0x80);

using EdgeOf = double (LoadCharacteristic::*)(double) const;

PlaneCurve LoadCurve(CurveKind kind, const std::vector<StaticPoint>& speeds, const LoadCharacteristic& load,
                     EdgeOf edge)
{
    std::vector<PlanePoint> points;
    points.reserve(speeds.size());
    for (const StaticPoint& point : speeds)
        points.push_back({(load.*edge)(point.Omega), point.Omega, std::nullopt});
    return PlaneCurve{{}, kLoadColour, true, kind, std::move(points), {}};
}

// A model's static curve, and where a load held crosses it.
struct ModelRest {
    std::vector<StaticPoint> curve;
    std::optional<StaticPoint> operating;
};

// The three-state model's curve over its range, or the d-q machine's over
// the same speeds (K, which it lacks, 0).
ModelRest RestOf(const MotorParameters& model, const std::optional<DqParameters>& dq,
                 const std::optional<LoadCharacteristic>& load)
{
    ModelRest rest;
    if (!dq) {
        const StaticCharacteristic motor(model);
        rest.curve = motor.Curve(motor.Range(), kCurveIntervals);
        if (load)
            rest.operating = OperatingPoint(motor, *load);
        return rest;
    }
    const DqCharacteristic machine(*dq);
    const double synchronous = machine.SynchronousSpeed();
    for (const DqSteadyPoint& point : machine.CurveOverSpeeds(-synchronous, 2.5 * synchronous, kCurveIntervals))
        rest.curve.push_back({point.Omega, point.Md, 0});
    if (load)
        if (const auto point = machine.OperatingPoint([&](double Omega) { return load->At(Omega); }))
            rest.operating = StaticPoint{point->Omega, point->Md, 0};
    return rest;
}

// The load's curves at the static curve's speeds (both edges of a periodic
// load's band) and the operating point where it crosses the motor's static
// curve, if it does.
std::vector<PlaneCurve> LoadCurves(const ModelRest& rest, const LoadCharacteristic& load)
{
    const std::vector<StaticPoint>& speeds = rest.curve;
    std::vector<PlaneCurve> curves;
    if (load.amplitude == 0) {
        curves.push_back(LoadCurve(CurveKind::Load, speeds, load, &LoadCharacteristic::At));
    } else {
        curves.push_back(LoadCurve(CurveKind::LoadLowest, speeds, load, &LoadCharacteristic::Lowest));
        curves.push_back(LoadCurve(CurveKind::LoadHighest, speeds, load, &LoadCharacteristic::Highest));
    }
    if (const std::optional<StaticPoint>& operating = rest.operating)
        curves.push_back(PlaneCurve{{}, clRed, false, CurveKind::OperatingPoint,
                                    {{operating->Md, operating->Omega, std::nullopt}}, {}});
    return curves;
}

// Kloss's refined formula at the static curve's speeds.
PlaneCurve KlossCurve(const DqParameters& machine, const std::vector<StaticPoint>& speeds)
{
    const DqCharacteristic characteristic(machine);
    const KlossFormula kloss = characteristic.Kloss();
    std::vector<PlanePoint> points;
    points.reserve(speeds.size());
    for (const StaticPoint& point : speeds)
        points.push_back({kloss.At(characteristic.SlipAt(point.Omega)), point.Omega, std::nullopt});
    return PlaneCurve{{}, kKlossColour, true, CurveKind::Kloss, std::move(points), {}};
}

PlaneCurve MarkCurve(CurveKind kind, double Md, double Omega)
{
    return PlaneCurve{{}, kStaticColour, false, kind, {{Md, Omega, std::nullopt}}, {}};
}

} // namespace

std::optional<CurveMarks> MarksOf(const Settings& settings)
{
    if (settings.Kind() != ModelKind::Dq)
        return std::nullopt;
    const DqCharacteristic machine(DqParametersOf(settings));
    const BreakdownPoint breakdown = machine.Breakdown();
    return CurveMarks{breakdown, machine.SpeedAt(breakdown.sk), machine.StartingTorque()};
}

std::vector<PlaneCurve> ModelCurves(const Settings& settings, std::optional<double> load)
{
    std::optional<LoadCharacteristic> held;
    if (load)
        held = LoadCharacteristic::Of(settings.step, *load);
    std::optional<DqParameters> dq;
    if (settings.Kind() == ModelKind::Dq)
        dq = DqParametersOf(settings);
    const ModelRest rest = RestOf(settings.model, dq, held);
    std::vector<PlanePoint> points;
    points.reserve(rest.curve.size());
    for (const StaticPoint& point : rest.curve)
        points.push_back({point.Md, point.Omega, std::nullopt});
    std::vector<PlaneCurve> curves{{{}, kStaticColour, false, CurveKind::Static, std::move(points), {}}};
    if (dq)
        curves.push_back(KlossCurve(*dq, rest.curve));
    if (held)
        std::ranges::move(LoadCurves(rest, *held), std::back_inserter(curves));
    if (const std::optional<CurveMarks> marks = MarksOf(settings)) {
        curves.push_back(MarkCurve(CurveKind::Breakdown, marks->breakdown.Mk, marks->breakdownSpeed));
        curves.push_back(MarkCurve(CurveKind::StartingTorque, marks->startingTorque, 0));
    }
    return curves;
}

std::vector<PlaneCurve> PinnedLoadCurves(const RunOrigin& origin, Colour colour)
{
    if (!origin.load)
        return {};
    const LoadCharacteristic held = LoadCharacteristic::Of(origin.step, *origin.load);
    std::vector<PlaneCurve> curves = LoadCurves(RestOf(origin.model, origin.dq, held), held);
    for (PlaneCurve& curve : curves)
        curve.colour = colour;
    return curves;
}

} // namespace analysis
