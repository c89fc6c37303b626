#include "cli/Characteristic.h"

#include "analysis/AnalysisCsv.h"
#include "analysis/DqCharacteristic.h"
#include "analysis/MechanicalCharacteristic.h"
#include "cli/JsonReport.h"
#include "toolkit/Conversions.h"

namespace cli {

namespace {

CharacteristicResult ThreeStateCharacteristic(const Settings& settings, std::optional<double> load, CsvStyle style)
{
    const analysis::StaticCharacteristic motor(settings.model);
    const analysis::SpeedRange range = motor.Range();
    CharacteristicResult result{.csv = analysis::StaticCurveCsv(motor.Curve(range, 1000), style),
                                .load = load,
                                .operatingPoint = std::nullopt,
                                .searchedFrom = range.from,
                                .searchedTo = range.from + range.span,
                                .breakdown = std::nullopt};
    if (load)
        if (const auto point = analysis::OperatingPoint(motor, analysis::LoadCharacteristic::Of(settings.step, *load)))
            result.operatingPoint = CurvePoint{point->Omega, point->Md};
    return result;
}

CharacteristicResult DqMachineCharacteristic(const Settings& settings, std::optional<double> load, CsvStyle style)
{
    const analysis::DqCharacteristic machine(DqParametersOf(settings));
    const double synchronous = machine.SynchronousSpeed();
    const double from = -synchronous;
    const double span = 2.5 * synchronous;
    const analysis::BreakdownPoint breakdown = machine.Breakdown();
    const double breakdownSpeed = machine.SpeedAt(breakdown.sk);
    CharacteristicResult result{.csv = analysis::DqCurveCsv(machine.CurveOverSpeeds(from, span, 1000), style),
                                .load = load,
                                .operatingPoint = std::nullopt,
                                .searchedFrom = breakdownSpeed,
                                .searchedTo = synchronous,
                                .breakdown = Breakdown{{breakdownSpeed, breakdown.Mk}, breakdown.sk}};
    if (!load)
        return result;
    const analysis::LoadCharacteristic held = analysis::LoadCharacteristic::Of(settings.step, *load);
    if (const auto point = machine.OperatingPoint([&](double Omega) { return held.At(Omega); }))
        result.operatingPoint = CurvePoint{point->Omega, point->Md};
    return result;
}

} // namespace

CharacteristicResult MakeCharacteristic(const Settings& settings, std::optional<double> load, CsvStyle style)
{
    return settings.Kind() == ModelKind::Dq ? DqMachineCharacteristic(settings, load, style)
                                            : ThreeStateCharacteristic(settings, load, style);
}

std::string PointsText(const CharacteristicResult& result)
{
    using toolkit::FloatToStr;
    std::string text;
    if (const auto& breakdown = result.breakdown)
        text = "Breakdown point: Omega " + FloatToStr(breakdown->point.Omega) + " Md " +
               FloatToStr(breakdown->point.Md) + " slip " + FloatToStr(breakdown->slip) + '\n';
    if (!result.load)
        return text;
    if (const auto& point = result.operatingPoint)
        return text + "Operating point: Omega " + FloatToStr(point->Omega) + " Md " + FloatToStr(point->Md) + '\n';
    return text + "Operating point: none between Omega " + FloatToStr(result.searchedFrom) + " and " +
           FloatToStr(result.searchedTo) + (result.breakdown ? ", where the curve is stable\n" : "\n");
}

// The curve and where the step response's load, --load or step.load,
// crosses it.
int RunCharacteristic(const Options& options, const Settings& settings, const Streams& streams)
{
    std::optional<double> load = options.heldLoad;
    if (!load && settings.step.load)
        load = static_cast<double>(*settings.step.load);
    const CharacteristicResult result = MakeCharacteristic(settings, load, options.style);
    if (options.csv || !options.json)
        options.csv.value_or(OutputSink::StandardOutput(streams.out)).Write(result.csv);
    streams.err << PointsText(result);
    if (options.json)
        options.json->Write(CharacteristicJson(settings, result));
    return 0;
}

} // namespace cli
