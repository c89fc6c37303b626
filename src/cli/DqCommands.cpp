#include "cli/DqCommands.h"

#include "analysis/AnalysisCsv.h"
#include "analysis/DqCharacteristic.h"
#include "analysis/MechanicalCharacteristic.h"
#include "toolkit/Conversions.h"

namespace cli {

CharacteristicText DqCharacteristicText(const Settings& settings, std::optional<double> load, CsvStyle style)
{
    using toolkit::FloatToStr;
    const analysis::DqCharacteristic machine(DqParametersOf(settings));
    const double synchronous = machine.SynchronousSpeed();
    const double from = -synchronous;
    const double span = 2.5 * synchronous;
    CharacteristicText text{.csv = analysis::DqCurveCsv(machine.CurveOverSpeeds(from, span, 1000), style)};
    const analysis::BreakdownPoint breakdown = machine.Breakdown();
    text.points = "Breakdown point: Omega " + FloatToStr(machine.SpeedAt(breakdown.sk)) + " Md " +
                  FloatToStr(breakdown.Mk) + " slip " + FloatToStr(breakdown.sk) + '\n';
    if (!load)
        return text;
    const analysis::LoadCharacteristic held = analysis::LoadCharacteristic::Of(settings.step, *load);
    if (const auto point = machine.OperatingPoint([&](double Omega) { return held.At(Omega); }))
        text.points += "Operating point: Omega " + FloatToStr(point->Omega) + " Md " + FloatToStr(point->Md) + '\n';
    else
        text.points += "Operating point: none between Omega " + FloatToStr(machine.SpeedAt(breakdown.sk)) + " and " +
                       FloatToStr(synchronous) + ", where the curve is stable\n";
    return text;
}

} // namespace cli
