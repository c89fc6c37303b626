#include "analysis/MechanicalPlane.h"

#include "analysis/MechanicalCharacteristic.h"

namespace analysis {

namespace {

// Dark blue, apart from the runs' colours, and black: both read on silver
// and in print.
constexpr Colour kLoadColour = 0x800000;
constexpr Colour kStaticColour = clBlack;

using EdgeOf = double (LoadCharacteristic::*)(double) const;

PlaneCurve LoadCurve(CurveKind kind, const std::vector<StaticPoint>& speeds, const LoadCharacteristic& load,
                     EdgeOf edge)
{
    PlaneCurve curve{{}, kLoadColour, true, kind, {}};
    curve.points.reserve(speeds.size());
    for (const StaticPoint& point : speeds)
        curve.points.push_back({(load.*edge)(point.Omega), point.Omega, std::nullopt});
    return curve;
}

} // namespace

std::vector<PlaneCurve> ModelCurves(const Settings& settings, std::optional<double> load)
{
    const StaticCharacteristic motor(settings.model);
    const std::vector<StaticPoint> rest = motor.Curve(motor.Range(), kCurveIntervals);
    std::vector<PlaneCurve> curves;
    PlaneCurve& curve = curves.emplace_back(
        PlaneCurve{{}, kStaticColour, false, CurveKind::Static, {}});
    curve.points.reserve(rest.size());
    for (const StaticPoint& point : rest)
        curve.points.push_back({point.Md, point.Omega, std::nullopt});
    if (!load)
        return curves;

    const LoadCharacteristic characteristic = LoadCharacteristic::Of(settings.step, *load);
    if (characteristic.amplitude == 0) {
        curves.push_back(LoadCurve(CurveKind::Load, rest, characteristic, &LoadCharacteristic::At));
    } else {
        curves.push_back(LoadCurve(CurveKind::LoadLowest, rest, characteristic, &LoadCharacteristic::Lowest));
        curves.push_back(LoadCurve(CurveKind::LoadHighest, rest, characteristic, &LoadCharacteristic::Highest));
    }
    if (const std::optional<StaticPoint> operating = OperatingPoint(motor, characteristic))
        curves.push_back(PlaneCurve{{}, clRed, false, CurveKind::OperatingPoint,
                                    {{operating->Md, operating->Omega, std::nullopt}}});
    return curves;
}

} // namespace analysis
