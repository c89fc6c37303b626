#include "session/OptionalTables.h"

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace sessionfile {

std::string ReportText(const SessionReport& report)
{
    if (report.notes.empty() && !report.portrait)
        return {};
    return "\n[report]\nnotes = " + Quoted(report.notes) + "\nportrait = " + Flag(report.portrait) + '\n';
}

void ReadReport(const Reader& read, const toml::table& file, Session& session)
{
    if (!file.contains("report"))
        return;
    const toml::table& report = read.Table(file, "report", "");
    read.Only(report, {"notes", "portrait"}, "report");
    session.report.notes = read.Get<std::string>(report, "notes", "report");
    session.report.portrait = read.Get<bool>(report, "portrait", "report");
}

namespace {

// The hash as 16 lowercase hexadecimal digits: TOML's integers are signed.
std::string HashText(std::uint64_t hash)
{
    std::array<char, 16> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), hash, 16).ptr;
    const auto written = static_cast<std::size_t>(end - digits.data());
    return std::string(digits.size() - written, '0') + std::string(digits.data(), written);
}

} // namespace

std::string MeasuredText(const std::optional<SessionMeasured>& measured)
{
    if (!measured)
        return {};
    std::string mappings;
    for (const std::string& mapping : measured->mappings)
        mappings += (mappings.empty() ? "" : ", ") + Quoted(mapping);
    return "\n[measured]\nfile = " + Quoted(measured->file) + "\nhash = " + Quoted(HashText(measured->hash)) +
           "\nmappings = [" + mappings + "]\n";
}

namespace {

// Each of the time and the quantities is taken by one column at most.
constexpr std::size_t kMostMappings = kDqQuantities.size() + 1;

} // namespace

void ReadMeasured(const Reader& read, const toml::table& file, Session& session)
{
    if (!file.contains("measured"))
        return;
    const toml::table& table = read.Table(file, "measured", "");
    read.Only(table, {"file", "hash", "mappings"}, "measured");
    SessionMeasured measured;
    const toml::node& name = read.Node<std::string>(table, "file", "measured");
    measured.file = *name.value<std::string>();
    if (measured.file.empty())
        read.Refuse(name, "measured.file");
    const toml::node& hash = read.Node<std::string>(table, "hash", "measured");
    const std::string digits = *hash.value<std::string>();
    const char* end = digits.data() + digits.size();
    if (digits.size() != 16 || digits.find_first_not_of("0123456789abcdef") != std::string::npos ||
        std::from_chars(digits.data(), end, measured.hash, 16).ptr != end)
        read.Refuse(hash, "measured.hash");
    // "COLUMN=Omega": a column's heading and, after the last "=", its role.
    const toml::node& mappings = read.Node<toml::array>(table, "mappings", "measured");
    if (mappings.as_array()->size() > kMostMappings)
        read.Refuse(mappings, "measured.mappings");
    for (const toml::node& item : *mappings.as_array()) {
        const std::optional<std::string> mapping = item.value<std::string>();
        if (!item.is_string() || mapping->find('=') == 0 || mapping->rfind('=') + 1 >= mapping->size())
            read.Refuse(item, "measured.mappings");
        measured.mappings.push_back(*mapping);
    }
    session.measured = std::move(measured);
}

} // namespace sessionfile
