#include "analysis/AnalysisCsv.h"

#include "plot/AxisUnits.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

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

// A figure's cell: a number in the style, a whole count, yes or no.
std::string CellOf(Figure figure, const std::optional<double>& value, CsvStyle style)
{
    if (!value)
        return {};
    switch (KindOf(figure)) {
    case FigureKind::Whole:
        return std::to_string(static_cast<std::int64_t>(*value));
    case FigureKind::Flag:
        return *value != 0 ? "yes" : "no";
    case FigureKind::Number:
        break;
    }
    return CsvNumber(*value, style);
}

template <std::size_t N>
std::string FigureNames(const std::array<Figure, N>& figures, CsvStyle style)
{
    std::string names;
    for (Figure figure : figures)
        names += style.separator + std::string(FigureName(figure));
    return names;
}

template <std::size_t N>
CsvRow& AddFigures(CsvRow& line, const Figures& figures, const std::array<Figure, N>& shown, CsvStyle style)
{
    for (Figure figure : shown)
        line << CellOf(figure, figures[figure], style);
    return line;
}

std::string StatisticsHeading(CsvStyle style, bool times)
{
    return "trace" + FigureNames(kStatisticsFigures, style) +
           (times ? FigureNames(kStatisticsTimeFigures, style) : std::string()) + '\n';
}

std::string StatisticsLine(std::string_view trace, const Figures& figures, CsvStyle style, bool times)
{
    CsvRow line(trace, style);
    AddFigures(line, figures, kStatisticsFigures, style);
    if (times)
        AddFigures(line, figures, kStatisticsTimeFigures, style);
    return line.Line();
}

} // namespace

std::string StepRowsCsv(std::span<const StepRow> rows, CsvStyle style, bool times)
{
    std::string csv = "trace" + std::string(1, style.separator) + "segment" + FigureNames(kStepFigures, style);
    if (times)
        csv += FigureNames(kStepTimeFigures, style);
    csv += '\n';
    for (const StepRow& row : rows) {
        CsvRow line(QuantityName(row.quantity), style);
        AddFigures(line << SegmentName(row.segment), row.figures, kStepFigures, style);
        if (times)
            AddFigures(line, row.figures, kStepTimeFigures, style);
        csv += line.Line();
    }
    return csv;
}

std::string CharacteristicsCsv(std::span<const CharacteristicsRow> rows, CsvStyle style,
                               std::optional<double> secondsPerStep)
{
    // Without a step size the times are left out, whatever they would be.
    std::vector<StepRow> figures;
    for (const CharacteristicsRow& row : rows)
        figures.push_back({row.quantity, row.segment, FiguresOf(row.values, secondsPerStep.value_or(1))});
    return StepRowsCsv(figures, style, secondsPerStep.has_value());
}

std::string RangeRowsCsv(std::span<const RangeRow> rows, CsvStyle style)
{
    std::string csv = StatisticsHeading(style, false);
    for (const RangeRow& row : rows)
        csv += StatisticsLine(row.quantity ? QuantityName(*row.quantity) : std::string_view(), row.figures, style,
                              false);
    return csv;
}

std::string StatisticsCsv(std::span<const StatisticsRow> rows, CsvStyle style, bool times)
{
    std::string csv = StatisticsHeading(style, times);
    for (const StatisticsRow& row : rows)
        csv += StatisticsLine(row.trace, row.figures, style, times);
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
