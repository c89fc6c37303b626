#include "experiments/ExperimentFile.h"

#include "experiments/TomlFile.h"
#include "toolkit/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <sstream>
#include <vector>

namespace {

constexpr std::array<std::string_view, 5> kTables{"model", "run", "gauss", "uniform", "step"};

// What the file names a setting by: its table and its key.
struct SettingName {
    std::string_view table;
    std::string_view key;
};

SettingName Split(std::string_view name)
{
    const std::size_t dot = name.find('.');
    return {name.substr(0, dot), name.substr(dot + 1)};
}

const Problem kTooLarge{.kind = ProblemKind::FileTooLarge,
                        .count = static_cast<std::int64_t>(ExperimentFile::kLargestFile)};

// The deepest keys a line may hold, counted by their dots.
constexpr int kDeepestKey = 16;

// Refuses, before the parser sees them:
// - binary data: a NUL or a control character other than tab and the line
//   ends;
// - keys nested deeper than kDeepestKey. Nested values stop at the parser's
//   own limit, but dotted keys and table headers nest tables without one,
//   and a deep enough nest exhausts the stack when the parsed tables are
//   freed. TOML keeps a key on one line, so a line's dots outside strings
//   and comments bound how deep its keys nest;
// - text beyond ASCII outside comments and the strings of values. Names are
//   ASCII, and toml++ 3.3 classifies some such characters in keys, bare
//   values and multi-line basic strings by a table with holes, which ends
//   in undefined behaviour.
void Screen(std::string_view text, std::string_view source)
{
    enum class In { Code, Comment, Basic, Literal, MultiLineBasic, MultiLineLiteral };
    In in = In::Code;
    toml::source_position at{1, 1};
    int dots = 0;
    // Where a string is a value's: after the line's "=", outside inline
    // tables (whose keys are strings too).
    bool afterEquals = false;
    int braces = 0;
    // The last character of the line outside strings and blanks: a quote
    // opens a string only where one may start, else the parser reads it as
    // part of a bare word, and so does this screen.
    char last = '\n';
    auto beyondAsciiAllowed = [&] {
        switch (in) {
        case In::Comment:
            return true;
        case In::Basic:
        case In::Literal:
        case In::MultiLineLiteral:
            return afterEquals && braces == 0;
        case In::Code:
        case In::MultiLineBasic:
            break;
        }
        return false;
    };
    std::size_t i = 0;
    auto startsWith = [&](std::string_view token) { return text.substr(i, token.size()) == token; };
    // Moves past count bytes, keeping the line and column.
    auto advance = [&](std::size_t count) {
        for (; count > 0 && i < text.size(); --count, ++i) {
            const char c = text[i];
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') {
                std::array<char, 8> code{};
                std::snprintf(code.data(), code.size(), "0x%02X", static_cast<unsigned>(byte));
                FailAt(source, at, {.kind = ProblemKind::BinaryData, .value = code.data()});
            }
            if (byte >= 0x80 && !beyondAsciiAllowed())
                FailAt(source, at, {.kind = ProblemKind::BeyondAscii});
            if (c != '\n') {
                ++at.column;
                continue;
            }
            ++at.line;
            at.column = 1;
            dots = 0;
            last = '\n';
            if (in == In::Comment || in == In::Basic || in == In::Literal)
                in = In::Code;
            if (in == In::Code)
                afterEquals = false;
        }
    };
    while (i < text.size()) {
        const char c = text[i];
        std::size_t length = 1;
        switch (in) {
        case In::Code: {
            const bool stringMayStart = std::string_view("\n=[{,.").find(last) != std::string_view::npos;
            if (c != ' ' && c != '\t')
                last = c;
            if (c == '#') {
                in = In::Comment;
            } else if ((c == '"' || c == '\'') && stringMayStart) {
                const bool multiLine = startsWith(R"(""")") || startsWith("'''");
                in = c == '"' ? (multiLine ? In::MultiLineBasic : In::Basic)
                              : (multiLine ? In::MultiLineLiteral : In::Literal);
                length = multiLine ? 3 : 1;
            } else if (c == '=') {
                afterEquals = true;
            } else if (c == '{' || c == '}') {
                braces = std::max(0, braces + (c == '{' ? 1 : -1));
            } else if (c == '.' && ++dots > kDeepestKey) {
                FailAt(source, at, {.kind = ProblemKind::KeysTooDeep, .count = kDeepestKey});
            }
            break;
        }
        case In::Comment:
            break;
        case In::Basic:
        case In::MultiLineBasic:
            if (c == '\\') {
                length = 2;
            } else if (in == In::Basic ? c == '"' : startsWith(R"(""")")) {
                length = in == In::Basic ? 1 : 3;
                in = In::Code;
                last = c;
            }
            break;
        case In::Literal:
        case In::MultiLineLiteral:
            if (in == In::Literal ? c == '\'' : startsWith("'''")) {
                length = in == In::Literal ? 1 : 3;
                in = In::Code;
                last = c;
            }
            break;
        }
        advance(length);
    }
}

std::optional<SettingValue> ValueOf(const toml::node& node)
{
    if (const auto* whole = node.as_integer())
        return SettingValue(whole->get());
    if (const auto* number = node.as_floating_point())
        return SettingValue(number->get());
    if (const auto* text = node.as_string())
        return SettingValue(text->get());
    return std::nullopt;
}

std::string NodeText(const toml::node& node)
{
    std::ostringstream text;
    node.visit([&](const auto& value) { text << value; });
    return text.str();
}

void ApplySetting(Settings& settings, std::string_view name, const toml::node& node, std::string_view source)
{
    try {
        if (const std::optional<SettingValue> value = ValueOf(node))
            SetSetting(settings, name, *value);
        else
            RejectSetting(settings, name, NodeText(node));
    } catch (const SettingsError& error) {
        FailAt(source, node.source().begin, error.Cause());
    }
}

void ApplyTable(Settings& settings, std::string_view table, const toml::table& values, std::string_view source)
{
    std::vector<std::string_view> keys;
    for (std::string_view name : SettingNames())
        if (Split(name).table == table)
            keys.push_back(Split(name).key);
    for (const auto& [key, node] : values) {
        const std::string name = std::string(table) + '.' + std::string(key.str());
        if (std::find(keys.begin(), keys.end(), key.str()) == keys.end())
            FailAt(source, key.source().begin,
                 UnknownSetting(name, std::string(table) + '.' + std::string(NearestName(key.str(), keys))).Cause());
        ApplySetting(settings, name, node, source);
    }
}

} // namespace

void FailAt(std::string_view source, const toml::source_position& at, Problem problem)
{
    problem.place = {.file = std::string(source), .line = at ? at.line : 0, .column = at ? at.column : 0};
    throw SettingsError(std::move(problem));
}

std::string ReadBoundedFile(const std::string& path)
{
    auto fail = [&](Problem problem) -> void {
        problem.place = {.file = path, .unread = true};
        throw SettingsError(std::move(problem));
    };
    auto systemReason = [](int error) { return Problem{.kind = ProblemKind::CannotRead, .value = std::strerror(error)}; };
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        fail(systemReason(errno));
    std::string text;
    std::array<char, 65536> buffer{};
    // One byte past the limit tells a file at the limit from a larger one,
    // without reading the rest of a large file or an endless device.
    while (text.size() <= ExperimentFile::kLargestFile) {
        const ssize_t count = ::read(descriptor, buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            const int error = errno;
            ::close(descriptor);
            fail(systemReason(error));
        }
        if (count == 0)
            break;
        text.append(buffer.data(), static_cast<std::size_t>(count));
    }
    ::close(descriptor);
    if (text.size() > ExperimentFile::kLargestFile)
        fail(kTooLarge);
    return text;
}

toml::table ParseBoundedToml(std::string_view text, std::string_view source)
{
    if (text.size() > ExperimentFile::kLargestFile)
        FailAt(source, {}, kTooLarge);
    Screen(text, source);
    try {
        return toml::parse(text, source);
    } catch (const toml::parse_error& error) {
        const bool tooDeep = error.description().find("TOML_MAX_NESTED_VALUES") != std::string_view::npos;
        FailAt(source, error.source().begin,
             tooDeep ? Problem{.kind = ProblemKind::ValuesTooDeep, .count = TOML_MAX_NESTED_VALUES}
                     : Problem{.kind = ProblemKind::NotToml, .value = std::string(error.description())});
    }
}

Settings ExperimentFile::Load(const std::string& path, const Settings& base)
{
    return Parse(ReadBoundedFile(path), path, base);
}

Settings ExperimentFile::Parse(std::string_view text, std::string_view source, const Settings& base)
{
    return SettingsFromTables(ParseBoundedToml(text, source), source, base);
}

Settings SettingsFromTables(const toml::table& file, std::string_view source, const Settings& base)
{
    Settings settings = base;
    for (const auto& [key, node] : file) {
        const toml::table* table = node.as_table();
        const bool known = std::find(kTables.begin(), kTables.end(), key.str()) != kTables.end();
        if (!known || !table) {
            // A setting written without its table is most likely meant for
            // the table that has it.
            const std::string_view nearest =
                table ? NearestName(key.str(), kTables) : NearestName(key.str(), SettingNames());
            FailAt(source, key.source().begin,
                 table ? Problem{.kind = ProblemKind::UnknownTable, .value = std::string(key.str()), .nearest = std::string(nearest)}
                       : UnknownSetting(key.str(), nearest).Cause());
        }
        ApplyTable(settings, key.str(), *table, source);
    }
    return settings;
}

std::string SettingsTablesText(const Settings& settings, std::string_view prefix)
{
    std::string text;
    std::string_view table;
    for (std::string_view name : SettingNames()) {
        const SettingName part = Split(name);
        if (part.table != table) {
            text += (table.empty() ? "[" : "\n[") + std::string(prefix) + std::string(part.table) + "]\n";
            table = part.table;
        }
        if (const std::optional<SettingValue> value = GetSetting(settings, name))
            text += std::string(part.key) + " = " + ValueText(*value) + '\n';
    }
    return text;
}

std::string ExperimentFile::Text(const Settings& settings)
{
    // The load's end is written as the run uses it.
    Settings written = settings;
    written.step.off = settings.LoadOff();
    return "# motormodel experiment\n" + SettingsTablesText(written);
}

void ExperimentFile::Save(const std::string& path, const Settings& settings)
{
    toolkit::ReplaceFile(path, Text(settings));
}

void SetSettingText(Settings& settings, std::string_view name, std::string_view text)
{
    // Read as a file would read "value = TEXT"; what a file would not take
    // as a value is a text without its quotes.
    SettingValue value{std::string(text)};
    if (text.size() <= ExperimentFile::kLargestFile && text.find_first_of("\n\r") == std::string_view::npos) {
        try {
            const toml::table line = toml::parse("value = " + std::string(text));
            if (const toml::node* node = line.get("value"); node && line.size() == 1)
                value = ValueOf(*node).value_or(value);
        } catch (const toml::parse_error&) {
        }
    }
    SetSetting(settings, name, value);
}
