#include "lab/Measured.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>

namespace lab {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// An empty cell: a sample not taken.
constexpr double kNotTaken = std::numeric_limits<double>::quiet_NaN();

// The file's dialect, from its heading row.
struct Dialect {
    char separator;
    bool decimalComma;
};

Dialect DialectOf(std::string_view heading)
{
    if (heading.find(';') != std::string_view::npos)
        return {';', true};
    if (heading.find('\t') != std::string_view::npos && heading.find(',') == std::string_view::npos)
        return {'\t', true};
    return {',', false};
}

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The line's fields, unquoted: a quoted field may hold the separator, and
// a doubled quote stands for one.
std::vector<std::string> Fields(std::string_view line, char separator)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == separator && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    for (std::string& field : fields)
        field = std::string(Trimmed(field));
    return fields;
}

// The text's lines, each without its line end, numbered from 1, blank ones
// left out.
std::vector<std::pair<std::int64_t, std::string_view>> Lines(std::string_view text)
{
    if (text.starts_with(kByteOrderMark))
        text.remove_prefix(kByteOrderMark.size());
    std::vector<std::pair<std::int64_t, std::string_view>> lines;
    std::int64_t number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        if (!Trimmed(line).empty())
            lines.emplace_back(number, line);
    }
    return lines;
}

void RefuseBinary(std::string_view text, std::string_view file)
{
    std::int64_t line = 1;
    std::int64_t column = 0;
    for (const char c : text) {
        ++column;
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '\n') {
            ++line;
            column = 0;
        } else if ((byte < 0x20 && byte != '\t' && byte != '\r') || byte == 0x7F) {
            constexpr std::string_view kDigits = "0123456789ABCDEF";
            throw MeasuredError({MeasuredFault::BinaryData, std::string(file), line, column,
                                 std::string("0x") + kDigits[byte >> 4] + kDigits[byte & 15]});
        }
    }
}

// The cell's number; none for an empty cell. Raises NotANumber for any
// other text than one finite number.
std::optional<double> CellNumber(std::string_view cell, Dialect dialect, const MeasuredProblem& at)
{
    if (cell.empty())
        return std::nullopt;
    std::string digits(cell.starts_with('+') ? cell.substr(1) : cell);
    if (dialect.decimalComma)
        std::replace(digits.begin(), digits.end(), ',', '.');
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc{} || end != digits.data() + digits.size() || !std::isfinite(value)) {
        MeasuredProblem problem = at;
        problem.fault = MeasuredFault::NotANumber;
        problem.text = std::string(cell);
        throw MeasuredError(problem);
    }
    return value;
}

std::string Listed(const std::vector<std::string>& headings)
{
    std::string list;
    for (const std::string& heading : headings)
        list += (list.empty() ? "" : ", ") + heading;
    return list;
}

// Each heading's role, none for a column left out.
std::vector<std::optional<ColumnRole>> Roles(const std::vector<std::string>& headings,
                                             const std::vector<ColumnMapping>& mappings, std::string_view file,
                                             std::int64_t line)
{
    std::vector<std::optional<ColumnRole>> roles;
    for (const std::string& heading : headings)
        roles.push_back(RoleNamed(heading));
    for (const ColumnMapping& mapping : mappings) {
        const auto at = std::ranges::find(headings, mapping.column);
        if (at == headings.end())
            throw MeasuredError({MeasuredFault::UnknownColumn, std::string(file), line, 0, mapping.column});
        roles[static_cast<std::size_t>(at - headings.begin())] = mapping.role;
    }
    for (std::size_t i = 0; i < roles.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (roles[i] && roles[i] == roles[j])
                throw MeasuredError({MeasuredFault::RoleTwice, std::string(file), line,
                                     static_cast<std::int64_t>(i + 1), headings[i]});
    if (std::ranges::find(roles, std::optional(ColumnRole{})) == roles.end())
        throw MeasuredError({MeasuredFault::NoTime, std::string(file), line, 0, Listed(headings)});
    if (std::ranges::count_if(roles, [](const auto& role) { return role && role->quantity; }) == 0)
        throw MeasuredError({MeasuredFault::NoQuantity, std::string(file), line, 0, Listed(headings)});
    return roles;
}

} // namespace

std::vector<Quantity> Measured::Quantities() const
{
    std::vector<Quantity> quantities;
    for (Quantity quantity : kDqQuantities)
        if (Has(quantity))
            quantities.push_back(quantity);
    return quantities;
}

std::string_view RoleName(ColumnRole role)
{
    return role.quantity ? QuantityName(*role.quantity) : "t";
}

std::optional<ColumnRole> RoleNamed(std::string_view name)
{
    if (name == "t")
        return ColumnRole{};
    for (Quantity quantity : kDqQuantities)
        if (name == QuantityName(quantity))
            return ColumnRole{quantity};
    return std::nullopt;
}

CsvSamples CsvSamplesOf(const Measured& measured)
{
    CsvSamples samples{measured.times, {}};
    for (const Quantity quantity : measured.Quantities())
        samples.columns.push_back({quantity, measured.Of(quantity)});
    return samples;
}

std::optional<ColumnRole> GuessedRole(std::string_view heading)
{
    if (const std::optional<ColumnRole> role = RoleNamed(heading))
        return role;
    std::string lower;
    for (const char c : Trimmed(heading))
        lower += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    // The name, then its unit after a separator, with brackets, spaces and
    // separators left out.
    const std::size_t end = std::min(lower.find_first_of(" _,([/"), lower.size());
    std::string unit;
    std::ranges::copy_if(lower.substr(end), std::back_inserter(unit),
                         [](char c) { return std::string_view(" _,()[]/").find(c) == std::string_view::npos; });
    const std::string_view name = std::string_view(lower).substr(0, end);
    // Cyrillic is left as it is: "Время" is the capital a Russian
    // spreadsheet's heading starts with.
    const bool time = name == "t" || name == "time" || name == "время" || name == "Время";
    const bool seconds = unit.empty() || unit == "s" || unit == "sec" || unit == "с";
    return time && seconds ? std::optional(ColumnRole{}) : std::nullopt;
}

std::optional<ColumnMapping> ParseMapping(std::string_view text)
{
    const auto equals = text.rfind('=');
    if (equals == std::string_view::npos || equals == 0)
        return std::nullopt;
    const auto role = RoleNamed(text.substr(equals + 1));
    if (!role)
        return std::nullopt;
    return ColumnMapping{std::string(text.substr(0, equals)), *role};
}

Measured ParseMeasured(std::string_view text, std::string_view file, const std::vector<ColumnMapping>& mappings)
{
    RefuseBinary(text, file);
    const auto lines = Lines(text);
    if (lines.empty())
        throw MeasuredError({MeasuredFault::Empty, std::string(file)});
    const Dialect dialect = DialectOf(lines.front().second);
    const std::vector<std::string> headings = Fields(lines.front().second, dialect.separator);
    const auto roles = Roles(headings, mappings, file, lines.front().first);

    Measured measured{std::string(file), ContentHash(text), {}, {}};
    for (const auto& role : roles)
        if (role && role->quantity)
            measured.columns[*role->quantity];
    for (auto row = std::next(lines.begin()); row != lines.end(); ++row) {
        const auto fields = Fields(row->second, dialect.separator);
        MeasuredProblem at{MeasuredFault::FieldCount, std::string(file), row->first};
        if (fields.size() != headings.size()) {
            at.count = static_cast<std::int64_t>(fields.size());
            at.expected = static_cast<std::int64_t>(headings.size());
            throw MeasuredError(at);
        }
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (!roles[i])
                continue;
            at.column = static_cast<std::int64_t>(i + 1);
            const auto value = CellNumber(fields[i], dialect, at);
            if (roles[i]->quantity) {
                measured.columns[*roles[i]->quantity].push_back(value.value_or(kNotTaken));
                continue;
            }
            at.text = fields[i];
            if (!value)
                throw MeasuredError({MeasuredFault::TimeMissing, std::string(file), row->first, at.column});
            if (!measured.times.empty() && !(*value > measured.times.back()))
                throw MeasuredError(
                    {MeasuredFault::TimeNotIncreasing, std::string(file), row->first, at.column, fields[i]});
            measured.times.push_back(*value);
        }
    }
    if (measured.times.size() < kFewestSamples)
        throw MeasuredError({MeasuredFault::TooFewSamples, std::string(file), 0, 0, {},
                             static_cast<std::int64_t>(kFewestSamples)});
    return measured;
}

Measured ReadMeasured(const std::string& path, const std::vector<ColumnMapping>& mappings)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw MeasuredError({MeasuredFault::CannotRead, path, 0, 0, std::strerror(errno)});
    std::string text;
    std::array<char, 1 << 16> buffer{};
    while (in.read(buffer.data(), buffer.size()) || in.gcount() > 0) {
        text.append(buffer.data(), static_cast<std::size_t>(in.gcount()));
        if (text.size() > kLargestMeasuredFile)
            throw MeasuredError(
                {MeasuredFault::FileTooLarge, path, 0, 0, {}, static_cast<std::int64_t>(kLargestMeasuredFile)});
    }
    if (in.bad())
        throw MeasuredError({MeasuredFault::CannotRead, path, 0, 0, std::strerror(errno)});
    return ParseMeasured(text, path, mappings);
}

std::vector<std::string> ColumnsOf(std::string_view text)
{
    const auto lines = Lines(text.substr(0, text.find('\n', text.find_first_not_of(" \t\r\n"))));
    if (lines.empty())
        return {};
    return Fields(lines.front().second, DialectOf(lines.front().second).separator);
}

std::string ContentHash(std::string_view bytes)
{
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::string text(16, '0');
    for (std::size_t i = 16; i-- > 0; hash >>= 4)
        text[i] = kDigits[hash & 15];
    return text;
}

} // namespace lab
