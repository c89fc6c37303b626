#include "plot/CsvTable.h"

#include "plot/AxisUnits.h"
#include "toolkit/Conversions.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

// Where each column has got to in its trace's points; the rows are these
// lists merged by x, so traces of any lengths and steps line up.
class ColumnCursors {
public:
    ColumnCursors(const ShownTraces& traces, const std::vector<int>& columns)
    {
        for (int index : columns)
            points_.push_back(&traces.At(index).Points());
        next_.assign(points_.size(), 0);
    }

    std::optional<double> NextRowX() const
    {
        std::optional<double> x;
        for (std::size_t column = 0; column < points_.size(); ++column)
            if (HasMore(column) && (!x || Next(column).x < *x))
                x = Next(column).x;
        return x;
    }

    // The column's value in the row at x, if it has a point there; takes it.
    // Rows are at the least next x, so a point not above it is at it, and
    // each row takes at least one point even if x is no number.
    std::optional<double> TakeAt(std::size_t column, double x)
    {
        if (!HasMore(column) || Next(column).x > x)
            return std::nullopt;
        return (*points_[column])[next_[column]++].y;
    }

    std::size_t Count() const { return points_.size(); }

private:
    bool HasMore(std::size_t column) const { return next_[column] < points_[column]->size(); }
    const TracePoint& Next(std::size_t column) const { return (*points_[column])[next_[column]]; }

    std::vector<const std::vector<TracePoint>*> points_;
    std::vector<std::size_t> next_;
};

} // namespace

std::string CsvNumber(double value, CsvStyle style)
{
    std::string text = toolkit::FloatToStr(value);
    std::replace(text.begin(), text.end(), '.', style.decimalMark);
    return text;
}

std::string CsvTable(const ShownTraces& traces, const std::vector<int>& columns, CsvStyle style,
                     std::optional<double> secondsPerStep)
{
    auto number = [style](double value) { return CsvNumber(value, style); };
    std::string csv = secondsPerStep ? std::string("step") + style.separator + 't' : std::string("step");
    for (int index : columns)
        csv += style.separator + traces.Heading(index);
    csv += '\n';

    ColumnCursors cursors(traces, columns);
    while (const std::optional<double> x = cursors.NextRowX()) {
        csv += number(*x);
        if (secondsPerStep)
            csv += style.separator + number(TimeOfStep(*x, *secondsPerStep));
        for (std::size_t column = 0; column < cursors.Count(); ++column) {
            csv += style.separator;
            if (const std::optional<double> y = cursors.TakeAt(column, *x))
                csv += number(*y);
        }
        csv += '\n';
    }
    return csv;
}

std::string CsvTable(const ShownTraces& traces)
{
    return CsvTable(traces, traces.ShownIndices(), kPlainCsv);
}
