#pragma once

#include "plot/ShownTraces.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// How the cells are written: the field separator and the decimal mark.
struct CsvStyle {
    char separator;
    char decimalMark;
};

// What spreadsheets in English-speaking locales read, and every program
// that parses numbers as C does.
inline constexpr CsvStyle kPlainCsv{',', '.'};
// What a spreadsheet in the Russian locale reads as numbers: a decimal
// comma, so the fields are separated by semicolons.
inline constexpr CsvStyle kRussianCsv{';', ','};

// The number in the shortest form that reads back exactly, with the
// style's decimal mark; quoted where that mark is a comma.
std::string CsvNumber(double value, CsvStyle style);
// Appends the number as CsvNumber writes it.
void AppendCsvNumber(std::string& text, double value, CsvStyle style);
// Appends a text field, quoted (with its quotes doubled) where it holds a
// separator of either style, a quote or a line break, as RFC 4180 has it.
void AppendCsvText(std::string& text, std::string_view field, CsvStyle style);

// The given traces as separated values: a heading row of "step" and the
// traces' headings, then a row for each step that any of them has a point
// at, in ascending order, with each trace's value there and an empty cell
// where it has none. Numbers are in the shortest form that reads back
// exactly, with the style's decimal mark: the same digits in both styles.
// Given the step size, a column "t" after "step" holds each row's time in
// seconds, as TimeOfStep() reads it.
std::string CsvTable(const ShownTraces& traces, const std::vector<int>& columns, CsvStyle style,
                     std::optional<double> secondsPerStep = std::nullopt);

// CsvTable's heading row, given whether times are in it.
std::string CsvHeading(const ShownTraces& traces, const std::vector<int>& columns, CsvStyle style, bool withTime);

// Takes a table's text piece by piece.
using CsvWrite = std::function<void(std::string_view)>;
// About how long a piece is: a table of millions of rows is never held
// whole.
inline constexpr std::size_t kCsvPiece = 64 * 1024;

// CsvTable's rows after its heading, each led by lead, given to write in
// pieces of some tens of kilobytes, so a table of millions of rows is
// never held whole.
void WriteCsvRows(const ShownTraces& traces, const std::vector<int>& columns, CsvStyle style,
                  std::optional<double> secondsPerStep, std::string_view lead, const CsvWrite& write);

// CsvTable given to write in pieces.
void WriteCsvTable(const ShownTraces& traces, const std::vector<int>& columns, CsvStyle style,
                   std::optional<double> secondsPerStep, const CsvWrite& write);

// Measured samples at their own times, as a table's export carries them.
struct CsvSamples {
    struct Column {
        Quantity quantity;
        // One per time; NaN where the bench took none.
        std::span<const double> values;
    };
    std::span<const double> times;
    std::vector<Column> columns;
};

// "Md (measured)" for "Md": how a column or a row of measured samples is
// headed beside the runs'.
std::string MeasuredColumnName(std::string_view name);

// The table writeTable gives, with the samples' columns after each of its
// lines' cells: "t (measured)" and each quantity's "Md (measured)" in the
// heading row, then a sample a row, from the first, with its own time in
// seconds. Where the table or the samples end first, the other's rows go
// on with empty cells for the ones ended, so every line has as many fields
// and a reader (pandas, a spreadsheet) takes them as columns of one table.
// An empty cell too where a sample was not taken.
void WriteCsvWithSamples(const CsvSamples& samples, CsvStyle style, const CsvWrite& write,
                         const std::function<void(const CsvWrite&)>& writeTable);

// The shown traces, comma-separated.
std::string CsvTable(const ShownTraces& traces);
