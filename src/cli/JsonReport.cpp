#include "cli/JsonReport.h"

#include "cli/Json.h"
#include "cli/Lab.h"
#include "experiments/SettingsTable.h"
#include "plot/AxisUnits.h"
#include "plot/Trace.h"

#include <algorithm>
#include <type_traits>
#include <variant>

namespace cli {

namespace {

// The settings in force by name, an unset one null.
void WriteSettings(JsonWriter& json, const Settings& settings)
{
    json.Key("settings").OpenObject();
    for (const SettingInForce& setting : SettingsInForce(settings)) {
        json.Key(setting.spec->name);
        if (!setting.value) {
            json.Null();
            continue;
        }
        std::visit(
            [&json](const auto& value) {
                using Value = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<Value, std::int64_t>)
                    json.Integer(value);
                else if constexpr (std::is_same_v<Value, double>)
                    json.Number(value);
                else
                    json.String(value);
            },
            *setting.value);
    }
    json.Close();
}

std::optional<double> SecondsOf(const std::optional<analysis::Step>& steps, double secondsPerStep)
{
    if (!steps)
        return std::nullopt;
    return DurationOfSteps(static_cast<double>(*steps), secondsPerStep);
}

// A row of --metrics, its times in seconds included.
void WriteCharacteristics(JsonWriter& json, const analysis::CharacteristicsRow& row, double dt)
{
    const analysis::StepCharacteristics& c = row.values;
    json.OpenObject();
    json.Key("trace").String(QuantityName(row.quantity));
    json.Key("segment").String(analysis::SegmentName(row.segment));
    json.Key("initial").Number(c.initial);
    json.Key("final").Number(c.settled ? std::optional(c.final) : std::nullopt);
    json.Key("peak").Number(c.peak);
    json.Key("peak_step").Integer(c.peakStep);
    json.Key("trough").Number(c.trough);
    json.Key("trough_step").Integer(c.troughStep);
    json.Key("rise_steps").Integer(c.riseSteps);
    json.Key("settling_steps").Integer(c.settlingSteps);
    json.Key("overshoot_percent").Number(c.overshootPercent);
    json.Key("undershoot_percent").Number(c.undershootPercent);
    json.Key("t63_steps").Integer(c.timeConstantSteps);
    json.Key("end").Number(c.final);
    json.Key("rest").Number(c.rest);
    json.Key("settled");
    if (c.rest)
        json.Boolean(c.settled);
    else
        json.Null();
    json.Key("peak_seconds").Number(TimeOfStep(static_cast<double>(c.peakStep), dt));
    json.Key("trough_seconds").Number(TimeOfStep(static_cast<double>(c.troughStep), dt));
    json.Key("rise_seconds").Number(SecondsOf(c.riseSteps, dt));
    json.Key("settling_seconds").Number(SecondsOf(c.settlingSteps, dt));
    json.Key("t63_seconds").Number(SecondsOf(c.timeConstantSteps, dt));
    json.Close();
}

// A row of --stats, its figures by the names --stats heads them with; the
// extremes' times too where measured samples are among the rows.
void WriteStatistics(JsonWriter& json, const analysis::StatisticsRow& row, bool times)
{
    json.OpenObject();
    json.Key("trace").String(row.trace);
    const auto write = [&](analysis::Figure figure) {
        const std::optional<double> value = row.figures[figure];
        json.Key(analysis::FigureName(figure));
        // Whole figures are steps and counts, far below 2^53: exact.
        if (analysis::KindOf(figure) == analysis::FigureKind::Whole)
            json.Integer(value ? std::optional(static_cast<std::int64_t>(*value)) : std::nullopt);
        else
            json.Number(value);
    };
    std::ranges::for_each(analysis::kStatisticsFigures, write);
    if (times)
        std::ranges::for_each(analysis::kStatisticsTimeFigures, write);
    json.Close();
}

// The rows as an array, or null where there are none to give.
template <typename Row, typename WriteRow>
void WriteRows(JsonWriter& json, std::string_view key, const std::optional<std::span<const Row>>& rows,
               const WriteRow& write)
{
    json.Key(key);
    if (!rows) {
        json.Null();
        return;
    }
    json.OpenArray();
    for (const Row& row : *rows)
        write(row);
    json.Close();
}

void WritePoint(JsonWriter& json, std::string_view key, const std::optional<CurvePoint>& point)
{
    json.Key(key);
    if (!point) {
        json.Null();
        return;
    }
    json.OpenObject().Key("Omega").Number(point->Omega).Key("Md").Number(point->Md).Close();
}

} // namespace

std::string RunJson(const RunReport& report)
{
    JsonWriter json;
    json.OpenObject().Key("command").String(report.command);
    WriteSettings(json, report.settings);
    json.Key("outcome").String(report.refused ? "refused" : "done");
    json.Key("load").Integer(report.load ? std::optional<std::int64_t>(*report.load) : std::nullopt);
    json.Key("maxima");
    if (report.maxima)
        json.OpenObject().Key("Md").Number(report.maxima->Md).Key("Omega").Number(report.maxima->Omega).Close();
    else
        json.Null();
    const double dt = report.settings.model.dt;
    WriteRows(json, "metrics", report.metrics,
              [&](const analysis::CharacteristicsRow& row) { WriteCharacteristics(json, row, dt); });
    // Measured data brings the comparison, and the samples' rows their times.
    const bool measured = report.comparison != nullptr;
    WriteRows(json, "stats", report.statistics,
              [&](const analysis::StatisticsRow& row) { WriteStatistics(json, row, measured); });
    if (report.comparison)
        WriteComparison(json.Key("comparison"), *report.comparison);
    return json.Close().Text();
}

std::string CharacteristicJson(const Settings& settings, const CharacteristicResult& result)
{
    JsonWriter json;
    json.OpenObject().Key("command").String("characteristic");
    WriteSettings(json, settings);
    json.Key("load").Number(result.load);
    WritePoint(json, "operating_point", result.operatingPoint);
    json.Key("searched");
    if (result.load)
        json.OpenObject().Key("from").Number(result.searchedFrom).Key("to").Number(result.searchedTo).Close();
    else
        json.Null();
    json.Key("breakdown");
    if (const auto& breakdown = result.breakdown)
        json.OpenObject()
            .Key("Omega").Number(breakdown->point.Omega)
            .Key("Md").Number(breakdown->point.Md)
            .Key("slip").Number(breakdown->slip)
            .Close();
    else
        json.Null();
    return json.Close().Text();
}

} // namespace cli
