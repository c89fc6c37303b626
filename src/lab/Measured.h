#pragma once

#include "plot/CsvTable.h"
#include "plot/Trace.h"
#include "toolkit/Exception.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Measured data: a bench's samples of the model's quantities against time,
// as a value every front end renders.
namespace lab {

struct Measured {
    // The file's name as the user gave it.
    std::string file;
    // The file's bytes' FNV-1a 64-bit hash as 16 hexadecimal digits: a
    // session that keeps the name can tell the file it finds from the one
    // it was made with.
    std::string hash;
    // Seconds, strictly increasing, spaced as the bench sampled.
    std::vector<double> times;
    // Each measured quantity's samples, one per time; NaN where its cell was
    // empty (a channel logged at a lower rate).
    std::map<Quantity, std::vector<double>> columns;

    // The quantities measured, in kDqQuantities' order.
    std::vector<Quantity> Quantities() const;
    bool Has(Quantity quantity) const { return columns.contains(quantity); }
    const std::vector<double>& Of(Quantity quantity) const { return columns.at(quantity); }
};

// What a column holds: the time, or a quantity.
struct ColumnRole {
    // None for the time.
    std::optional<Quantity> quantity;
    bool operator==(const ColumnRole&) const = default;
};

// The name a heading of the program's own CSV gives the role: "t", "Md",
// "Omega", "Is", "ia"; and back, none for another name.
std::string_view RoleName(ColumnRole role);
std::optional<ColumnRole> RoleNamed(std::string_view name);
// The role a mapping dialog offers first for a heading: RoleNamed's, or the
// time for a heading that names it in seconds whatever the case ("time",
// "Time [s]", "time_s", "t_s", "t, s", "t (sec)", "Время, с"); none for
// anything else, a time in other units among them.
std::optional<ColumnRole> GuessedRole(std::string_view heading);

// A column's heading mapped to a role, for a file whose headings are not
// the program's.
struct ColumnMapping {
    std::string column;
    ColumnRole role;
    bool operator==(const ColumnMapping&) const = default;
};

// "COLUMN=Omega" split at its last "=", the role by its name; none when the
// text has no "=", an empty column or an unknown role.
std::optional<ColumnMapping> ParseMapping(std::string_view text);

enum class MeasuredFault {
    // The file could not be read: text is the system's reason.
    CannotRead,
    // The file holds more than count bytes.
    FileTooLarge,
    // A byte no text holds, at line and column; text its code, "0x00".
    BinaryData,
    // No heading row.
    Empty,
    // No column is the time: text lists the headings.
    NoTime,
    // No column is a quantity: text lists the headings.
    NoQuantity,
    // A mapping names column text, which no heading is.
    UnknownColumn,
    // Two columns, text the second, take the same role.
    RoleTwice,
    // Row at line has count fields where the heading has expected.
    FieldCount,
    // The cell at line and column (a field's number, from 1) is text, not a
    // finite number.
    NotANumber,
    // The time at line, text, is not above the time before it.
    TimeNotIncreasing,
    // The time cell at line is empty.
    TimeMissing,
    // Fewer than count rows of samples.
    TooFewSamples,
};

struct MeasuredProblem {
    MeasuredFault fault = MeasuredFault::CannotRead;
    std::string file{};
    // 0 where the problem is the whole file's.
    std::int64_t line = 0;
    std::int64_t column = 0;
    std::string text{};
    std::int64_t count = 0;
    std::int64_t expected = 0;
    bool operator==(const MeasuredProblem&) const = default;
};

// Measured data that cannot be read; a front end tells it.
class MeasuredError : public toolkit::Exception {
public:
    explicit MeasuredError(MeasuredProblem problem) : Exception("measured data not read"), problem_(std::move(problem)) {}
    const MeasuredProblem& Cause() const { return problem_; }

private:
    MeasuredProblem problem_;
};

inline constexpr std::size_t kLargestMeasuredFile = std::size_t{256} << 20;
inline constexpr std::size_t kFewestSamples = 2;

// The CSV's text read as measured data. The separator is a semicolon where
// the heading row holds one, a tab where it holds one and no comma, else a
// comma; with a semicolon or a tab the decimal mark may be a point or a
// comma, and fields may be quoted (RFC 4180). Headings t, Md, Omega, Is and
// ia take their roles, as the batch tool's --time CSV writes them; the
// mappings give other headings theirs; other columns are left out. Blank
// lines and a UTF-8 byte order mark are passed over. Raises MeasuredError.
Measured ParseMeasured(std::string_view text, std::string_view file, const std::vector<ColumnMapping>& mappings = {});

// The same for the file at path.
Measured ReadMeasured(const std::string& path, const std::vector<ColumnMapping>& mappings = {});

// The headings of a CSV's text, in order: what a mapping dialog offers.
std::vector<std::string> ColumnsOf(std::string_view text);

// The samples as a CSV export carries them beside a table, every quantity
// measured, sharing the data's vectors.
CsvSamples CsvSamplesOf(const Measured& measured);

// FNV-1a 64-bit hash of the bytes, as 16 hexadecimal digits.
std::string ContentHash(std::string_view bytes);

} // namespace lab
