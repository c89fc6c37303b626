#include "analysis/AnalysisCsv.h"

#include "toolkit/Conversions.h"

#include <optional>
#include <string>

namespace analysis {

namespace {

// Builds one row cell by cell, with the separators in between.
class CsvRow {
public:
    explicit CsvRow(std::string_view first) : text_(first) {}

    CsvRow& operator<<(std::string_view text)
    {
        text_ += ',';
        text_ += text;
        return *this;
    }
    CsvRow& operator<<(double value) { return *this << toolkit::FloatToStr(value); }
    CsvRow& operator<<(Step step) { return *this << std::to_string(step); }
    CsvRow& operator<<(std::size_t count) { return *this << std::to_string(count); }
    template <typename T>
    CsvRow& operator<<(const std::optional<T>& value)
    {
        return value ? *this << *value : EmptyCells(1);
    }

    CsvRow& EmptyCells(int count)
    {
        text_.append(static_cast<std::size_t>(count), ',');
        return *this;
    }

    std::string Line() const { return text_ + '\n'; }

private:
    std::string text_;
};

} // namespace

std::string CharacteristicsCsv(std::span<const CharacteristicsRow> rows)
{
    std::string csv = "trace,segment,initial,final,peak,peak_step,trough,trough_step,"
                      "rise_steps,settling_steps,overshoot_percent,undershoot_percent\n";
    for (const CharacteristicsRow& row : rows) {
        const StepCharacteristics& c = row.values;
        csv += (CsvRow(QuantityName(row.quantity)) << SegmentName(row.segment) << c.initial << c.final << c.peak << c.peakStep
                                  << c.trough << c.troughStep << c.riseSteps << c.settlingSteps
                                  << c.overshootPercent << c.undershootPercent)
                   .Line();
    }
    return csv;
}

std::string StatisticsCsv(std::span<const StatisticsRow> rows)
{
    std::string csv = "trace,from,to,count,min,min_step,max,max_step,mean,rms,std\n";
    for (const StatisticsRow& row : rows) {
        CsvRow line(row.trace);
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

std::string StaticCurveCsv(std::span<const StaticPoint> points)
{
    std::string csv = "Omega,Md,K\n";
    for (const StaticPoint& point : points)
        csv += (CsvRow(toolkit::FloatToStr(point.Omega)) << point.Md << point.K).Line();
    return csv;
}

} // namespace analysis
