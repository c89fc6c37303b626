#include "analysis/AnalysisCsv.h"

#include "plot/AxisUnits.h"

#include <initializer_list>
#include <optional>
#include <string>

namespace analysis {

namespace {

// Builds one row cell by cell, with the separators in between.
class CsvRow {
public:
    CsvRow(std::string_view first, CsvStyle style) : text_(first), style_(style) {}

    CsvRow& operator<<(std::string_view text)
    {
        text_ += style_.separator;
        text_ += text;
        return *this;
    }
    CsvRow& operator<<(double value) { return *this << CsvNumber(value, style_); }
    CsvRow& operator<<(Step step) { return *this << std::to_string(step); }
    CsvRow& operator<<(std::size_t count) { return *this << std::to_string(count); }
    template <typename T>
    CsvRow& operator<<(const std::optional<T>& value)
    {
        return value ? *this << *value : EmptyCells(1);
    }

    CsvRow& EmptyCells(int count)
    {
        text_.append(static_cast<std::size_t>(count), style_.separator);
        return *this;
    }

    std::string Line() const { return text_ + '\n'; }

private:
    std::string text_;
    CsvStyle style_;
};

// The heading row: the names with the style's separator.
std::string Heading(std::initializer_list<std::string_view> names, CsvStyle style)
{
    std::string heading;
    for (std::string_view name : names)
        heading += (heading.empty() ? "" : std::string(1, style.separator)) + std::string(name);
    return heading;
}

std::optional<double> LengthOf(const std::optional<Step>& steps, double secondsPerStep)
{
    if (!steps)
        return std::nullopt;
    return DurationOfSteps(static_cast<double>(*steps), secondsPerStep);
}

} // namespace

std::string CharacteristicsCsv(std::span<const CharacteristicsRow> rows, CsvStyle style,
                               std::optional<double> secondsPerStep)
{
    std::string csv = Heading({"trace", "segment", "initial", "final", "peak", "peak_step", "trough", "trough_step",
                               "rise_steps", "settling_steps", "overshoot_percent", "undershoot_percent", "t63_steps",
                               "end", "rest", "settled"},
                              style);
    if (secondsPerStep)
        csv += style.separator + Heading({"peak_seconds", "trough_seconds", "rise_seconds", "settling_seconds",
                                          "t63_seconds"},
                                         style);
    csv += '\n';
    for (const CharacteristicsRow& row : rows) {
        const StepCharacteristics& c = row.values;
        CsvRow line(QuantityName(row.quantity), style);
        line << SegmentName(row.segment) << c.initial << (c.settled ? std::optional(c.final) : std::nullopt) << c.peak
             << c.peakStep << c.trough << c.troughStep << c.riseSteps << c.settlingSteps << c.overshootPercent
             << c.undershootPercent << c.timeConstantSteps << c.final << c.rest;
        if (c.rest)
            line << (c.settled ? "yes" : "no");
        else
            line.EmptyCells(1);
        if (const std::optional<double> dt = secondsPerStep)
            line << TimeOfStep(static_cast<double>(c.peakStep), *dt) << TimeOfStep(static_cast<double>(c.troughStep), *dt)
                 << LengthOf(c.riseSteps, *dt) << LengthOf(c.settlingSteps, *dt) << LengthOf(c.timeConstantSteps, *dt);
        csv += line.Line();
    }
    return csv;
}

std::string StatisticsCsv(std::span<const StatisticsRow> rows, CsvStyle style)
{
    std::string csv = Heading({"trace", "from", "to", "count", "min", "min_step", "max", "max_step", "mean", "rms",
                               "std"},
                              style) +
                      '\n';
    for (const StatisticsRow& row : rows) {
        CsvRow line(row.trace, style);
        line << row.range.first << row.range.last;
        if (const std::optional<SignalStatistics>& s = row.statistics)
            line << s->count << s->min << s->minStep << s->max << s->maxStep << s->mean << s->rms
                 << s->standardDeviation;
        else
            (line << std::size_t{0}).EmptyCells(7); // min to std
        csv += line.Line();
    }
    return csv;
}

std::string StaticCurveCsv(std::span<const StaticPoint> points, CsvStyle style)
{
    std::string csv = Heading({"Omega", "Md", "K"}, style) + '\n';
    for (const StaticPoint& point : points)
        csv += (CsvRow(CsvNumber(point.Omega, style), style) << point.Md << point.K).Line();
    return csv;
}

std::string DqCurveCsv(std::span<const DqSteadyPoint> points, CsvStyle style)
{
    std::string csv = Heading({"Omega", "Md", "slip", "Is", "cos_phi"}, style) + '\n';
    for (const DqSteadyPoint& point : points)
        csv += (CsvRow(CsvNumber(point.Omega, style), style) << point.Md << point.s << point.Is << point.cosPhi).Line();
    return csv;
}

} // namespace analysis
