#include "plot/CsvTable.h"

#include "plot/AxisUnits.h"
#include "toolkit/Conversions.h"

#include <algorithm>
#include <cmath>
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
            points_.push_back(traces.At(index).Points());
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
        return points_[column][next_[column]++].y;
    }

    std::size_t Count() const { return points_.size(); }

private:
    bool HasMore(std::size_t column) const { return next_[column] < points_[column].size(); }
    TracePoint Next(std::size_t column) const { return points_[column][next_[column]]; }

    std::vector<TracePoints> points_;
    std::vector<std::size_t> next_;
};

} // namespace

void AppendCsvNumber(std::string& text, double value, CsvStyle style)
{
    const std::size_t start = text.size();
    toolkit::AppendFloat(text, value);
    if (style.decimalMark == '.')
        return;
    const auto number = text.begin() + static_cast<std::ptrdiff_t>(start);
    const auto point = std::find(number, text.end(), '.');
    if (point == text.end())
        return;
    // A decimal comma is quoted: a spreadsheet that also splits at commas,
    // as LibreOffice does by default, would cut the number in two.
    *point = style.decimalMark;
    text.insert(number, '"');
    text += '"';
}

void AppendCsvText(std::string& text, std::string_view field, CsvStyle style)
{
    if (field.find_first_of(std::string{style.separator, '"', ',', ';', '\n', '\r'}) == std::string_view::npos) {
        text += field;
        return;
    }
    text += '"';
    for (char c : field)
        text.append(c == '"' ? 2 : 1, c);
    text += '"';
}

std::string CsvNumber(double value, CsvStyle style)
{
    std::string text;
    AppendCsvNumber(text, value, style);
    return text;
}

std::string CsvHeading(const ShownTraces& traces, const std::vector<int>& columns, CsvStyle style, bool withTime)
{
    std::string csv = withTime ? std::string("step") + style.separator + 't' : std::string("step");
    for (int index : columns) {
        csv += style.separator;
        AppendCsvText(csv, traces.Heading(index), style);
    }
    csv += '\n';
    return csv;
}

void WriteCsvRows(const ShownTraces& traces, const std::vector<int>& columns, CsvStyle style,
                  std::optional<double> secondsPerStep, std::string_view lead, const CsvWrite& write)
{
    std::string piece;
    piece.reserve(kCsvPiece + 1024);
    ColumnCursors cursors(traces, columns);
    while (const std::optional<double> x = cursors.NextRowX()) {
        piece += lead;
        AppendCsvNumber(piece, *x, style);
        if (secondsPerStep) {
            piece += style.separator;
            AppendCsvNumber(piece, TimeOfStep(*x, *secondsPerStep), style);
        }
        for (std::size_t column = 0; column < cursors.Count(); ++column) {
            piece += style.separator;
            if (const std::optional<double> y = cursors.TakeAt(column, *x))
                AppendCsvNumber(piece, *y, style);
        }
        piece += '\n';
        if (piece.size() >= kCsvPiece) {
            write(piece);
            piece.clear();
        }
    }
    if (!piece.empty())
        write(piece);
}

void WriteCsvTable(const ShownTraces& traces, const std::vector<int>& columns, CsvStyle style,
                   std::optional<double> secondsPerStep, const CsvWrite& write)
{
    write(CsvHeading(traces, columns, style, secondsPerStep.has_value()));
    WriteCsvRows(traces, columns, style, secondsPerStep, {}, write);
}

std::string CsvTable(const ShownTraces& traces, const std::vector<int>& columns, CsvStyle style,
                     std::optional<double> secondsPerStep)
{
    std::string csv;
    WriteCsvTable(traces, columns, style, secondsPerStep, [&csv](std::string_view piece) { csv += piece; });
    return csv;
}

std::string MeasuredColumnName(std::string_view name)
{
    return std::string(name) + " (measured)";
}

namespace {

// The fields of a line of separated values, a quoted one counted once.
std::size_t FieldsOf(std::string_view line, char separator)
{
    std::size_t fields = 1;
    bool quoted = false;
    for (const char c : line) {
        quoted = quoted != (c == '"');
        fields += !quoted && c == separator;
    }
    return fields;
}

// The samples' cells that end the line of the row: the heading row's
// (row 0) or a sample's, empty past the last.
void AppendSampleCells(std::string& line, const CsvSamples& samples, std::size_t row, CsvStyle style)
{
    if (row == 0) {
        line.append(1, style.separator).append(MeasuredColumnName("t"));
        for (const CsvSamples::Column& column : samples.columns)
            line.append(1, style.separator).append(MeasuredColumnName(QuantityName(column.quantity)));
        return;
    }
    const std::size_t sample = row - 1;
    const bool taken = sample < samples.times.size();
    line += style.separator;
    if (taken)
        AppendCsvNumber(line, samples.times[sample], style);
    for (const CsvSamples::Column& column : samples.columns) {
        line += style.separator;
        if (taken && !std::isnan(column.values[sample]))
            AppendCsvNumber(line, column.values[sample], style);
    }
}

} // namespace

void WriteCsvWithSamples(const CsvSamples& samples, CsvStyle style, const CsvWrite& write,
                         const std::function<void(const CsvWrite&)>& writeTable)
{
    std::string out;
    std::string line;
    std::size_t row = 0;
    std::size_t tableFields = 0;
    const auto endLine = [&] {
        if (row == 0)
            tableFields = FieldsOf(line, style.separator);
        out += line;
        AppendSampleCells(out, samples, row++, style);
        out += '\n';
        line.clear();
        if (out.size() >= kCsvPiece) {
            write(out);
            out.clear();
        }
    };
    writeTable([&](std::string_view piece) {
        for (std::size_t end; (end = piece.find('\n')) != std::string_view::npos; piece.remove_prefix(end + 1)) {
            line += piece.substr(0, end);
            endLine();
        }
        line += piece;
    });
    if (!line.empty() || row == 0)
        endLine();
    while (row <= samples.times.size()) {
        line.assign(tableFields - 1, style.separator);
        endLine();
    }
    if (!out.empty())
        write(out);
}

std::string CsvTable(const ShownTraces& traces)
{
    return CsvTable(traces, traces.ShownIndices(), kPlainCsv);
}
