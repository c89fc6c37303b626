#include "analysis/MechanicalPlane.h"

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

// The load's curves at the static curve's speeds (both edges of a periodic
// load's band) and the operating point where it crosses the motor's static
// curve, if it does.
std::vector<PlaneCurve> LoadCurves(const StaticCharacteristic& motor, const std::vector<StaticPoint>& speeds,
                                   const LoadCharacteristic& load)
{
    std::vector<PlaneCurve> curves;
    if (load.amplitude == 0) {
        curves.push_back(LoadCurve(CurveKind::Load, speeds, load, &LoadCharacteristic::At));
    } else {
        curves.push_back(LoadCurve(CurveKind::LoadLowest, speeds, load, &LoadCharacteristic::Lowest));
        curves.push_back(LoadCurve(CurveKind::LoadHighest, speeds, load, &LoadCharacteristic::Highest));
    }
    if (const std::optional<StaticPoint> operating = OperatingPoint(motor, load))
        curves.push_back(PlaneCurve{{}, clRed, false, CurveKind::OperatingPoint,
                                    {{operating->Md, operating->Omega, std::nullopt}}, {}});
    return curves;
}

} // namespace

std::vector<PlaneCurve> ModelCurves(const Settings& settings, std::optional<double> load)
{
    const StaticCharacteristic motor(settings.model);
    const std::vector<StaticPoint> rest = motor.Curve(motor.Range(), kCurveIntervals);
    std::vector<PlanePoint> points;
    points.reserve(rest.size());
    for (const StaticPoint& point : rest)
        points.push_back({point.Md, point.Omega, std::nullopt});
    std::vector<PlaneCurve> curves{{{}, kStaticColour, false, CurveKind::Static, std::move(points), {}}};
    if (load)
        std::ranges::move(LoadCurves(motor, rest, LoadCharacteristic::Of(settings.step, *load)),
                          std::back_inserter(curves));
    return curves;
}

std::vector<PlaneCurve> PinnedLoadCurves(const RunOrigin& origin, Colour colour)
{
    if (!origin.load)
        return {};
    const StaticCharacteristic motor(origin.model);
    std::vector<PlaneCurve> curves = LoadCurves(motor, motor.Curve(motor.Range(), kCurveIntervals),
                                                LoadCharacteristic::Of(origin.step, *origin.load));
    for (PlaneCurve& curve : curves)
        curve.colour = colour;
    return curves;
}

} // namespace analysis
