#include "experiments/ExperimentFile.h"

#include "experiments/TomlFile.h"
#include "toolkit/AtomicFile.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <utility>
#include <vector>

namespace {

constexpr std::array<std::string_view, 6> kTables{"model", "run", "gauss", "uniform", "step", "supply"};

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

// Byte offsets of the places toml++ gives by line and column; its columns
// count characters, not bytes.
class TextPlaces {
public:
    explicit TextPlaces(std::string_view text) : text_(text)
    {
        lineStarts_.push_back(text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0);
        for (std::size_t i = 0; i < text.size(); ++i)
            if (text[i] == '\n')
                lineStarts_.push_back(i + 1);
    }

    std::size_t Offset(const toml::source_position& at) const
    {
        std::size_t i = LineStart(at.line);
        for (auto column = at.column; column > 1 && i < text_.size(); --column)
            for (++i; i < text_.size() && (static_cast<unsigned char>(text_[i]) & 0xC0) == 0x80; ++i) {
            }
        return i;
    }

    // Where the line starts; the end of the text past its last line.
    std::size_t LineStart(toml::source_index line) const
    {
        return line >= 1 && line <= lineStarts_.size() ? lineStarts_[line - 1] : text_.size();
    }

    // The blanks that start the line.
    std::string_view Indent(toml::source_index line) const
    {
        const std::size_t start = LineStart(line);
        const std::size_t end = text_.find_first_not_of(" \t", start);
        return text_.substr(start, (end == std::string_view::npos ? text_.size() : end) - start);
    }

private:
    std::string_view text_;
    std::vector<std::size_t> lineStarts_;
};

// Reads a table's values into settings. A value refused is quoted as the
// file wrote it, "2000.0" rather than the number it reads as.
class TableReader {
public:
    TableReader(std::string_view text, std::string_view source, WrittenValues* written)
        : text_(text), source_(source), places_(text), written_(written)
    {
    }

    // Adds the names it sets to given, each with where its value stands.
    void Apply(Settings& settings, std::string_view table, const toml::table& values,
               std::vector<std::pair<std::string, toml::source_position>>& given) const
    {
        std::vector<std::string_view> keys;
        for (std::string_view name : SettingNames())
            if (Split(name).table == table)
                keys.push_back(Split(name).key);
        for (const auto& [key, node] : values) {
            const std::string name = std::string(table) + '.' + std::string(key.str());
            if (std::find(keys.begin(), keys.end(), key.str()) == keys.end())
                FailAt(source_, key.source().begin,
                     UnknownSetting(name, std::string(table) + '.' + std::string(NearestName(key.str(), keys))).Cause());
            ApplySetting(settings, name, node);
            given.emplace_back(name, node.source().begin);
        }
    }

private:
    void ApplySetting(Settings& settings, const std::string& name, const toml::node& node) const
    {
        const toml::source_region& at = node.source();
        const std::size_t begin = places_.Offset(at.begin);
        const std::string written(text_.substr(begin, places_.Offset(at.end) - begin));
        try {
            if (const std::optional<SettingValue> value = ValueOf(node))
                SetSetting(settings, name, *value);
            else
                RejectSetting(settings, name, written);
        } catch (const SettingsError& error) {
            Problem problem = error.Cause();
            if (problem.kind == ProblemKind::NotAllowed)
                problem.value = written;
            FailAt(source_, at.begin, std::move(problem));
        }
        if (written_)
            written_->Note(name, {.file = std::string(source_), .line = at.begin.line, .column = at.begin.column},
                           written);
    }

    std::string_view text_;
    std::string_view source_;
    TextPlaces places_;
    WrittenValues* written_;
};

// Replaces the bytes from begin to end with text.
struct TextEdit {
    std::size_t begin;
    std::size_t end;
    std::string text;
};

// The last line a table's entries take, keys and values.
toml::source_index LastLine(const toml::table& table)
{
    toml::source_index last = table.source().begin.line;
    for (const auto& [key, node] : table)
        last = std::max({last, key.source().end.line, node.source().end.line});
    return last;
}

// Where a value the file lacks goes: after its table's last entry, keyed
// as that table's entries are, under a header or by a dotted key. None
// for an inline table, whose braces would have to be rewritten.
std::optional<TextEdit> Addition(const TextPlaces& places, std::string_view text, const toml::table& table,
                                 std::string_view tableName, std::string_view line, std::string_view lineEnd)
{
    if (table.is_inline())
        return std::nullopt;
    const bool header = text.substr(places.Offset(table.source().begin), 1) == "[";
    const toml::source_index last = LastLine(table);
    const std::size_t at = places.LineStart(last + 1);
    std::string added(table.empty() ? std::string_view() : places.Indent(last));
    if (!header)
        added += std::string(tableName) + '.';
    added += std::string(line) + std::string(lineEnd);
    return TextEdit{at, at, std::move(added)};
}

} // namespace

void WrittenValues::Note(std::string_view name, Place place, std::string text)
{
    values_.insert_or_assign(std::string(name), Written{std::move(place), std::move(text)});
}

void WrittenValues::Forget(std::string_view name)
{
    if (const auto found = values_.find(name); found != values_.end())
        values_.erase(found);
}

SettingsError WrittenValues::Placed(const SettingsError& error) const
{
    Problem problem = error.Cause();
    const auto found = values_.find(problem.setting);
    if (found == values_.end() || !problem.place.file.empty())
        return error;
    problem.place = found->second.place;
    if (problem.kind == ProblemKind::NotAllowed)
        problem.value = found->second.text;
    return SettingsError(std::move(problem));
}

Settings ExperimentFile::Load(const std::string& path, const Settings& base, WrittenValues* written)
{
    return Parse(ReadBoundedFile(path), path, base, written);
}

Settings ExperimentFile::Parse(std::string_view text, std::string_view source, const Settings& base,
                               WrittenValues* written)
{
    return SettingsFromTables(ParseBoundedToml(text, source), text, source, base, written);
}

Settings SettingsFromTables(const toml::table& file, std::string_view text, std::string_view source,
                            const Settings& base, WrittenValues* written)
{
    Settings settings = base;
    const TableReader reader(text, source, written);
    std::vector<std::pair<std::string, toml::source_position>> given;
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
        reader.Apply(settings, key.str(), *table, given);
    }
    // Judged once the file's model.kind is known, wherever it stands.
    for (const auto& [name, at] : given)
        if (auto problem = OtherKindProblem(settings, std::array{name}))
            FailAt(source, at, std::move(*problem));
    return settings;
}

std::string SettingsTablesText(const Settings& settings, std::string_view prefix)
{
    std::string text;
    std::string_view table;
    for (std::string_view name : SettingNamesInForce(settings)) {
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
    // A setting left unset, whose default follows another (step.off follows
    // run.steps), is left out, so that the file may change the other later.
    return "# motormodel experiment\n" + SettingsTablesText(settings);
}

void ExperimentFile::Save(const std::string& path, const Settings& settings)
{
    toolkit::ReplaceFile(path, Text(settings));
}

std::optional<std::string> ExperimentFile::Edited(std::string_view text, const Settings& settings)
{
    Settings written;
    toml::table file;
    try {
        written = Parse(text, {}, Settings{});
        file = toml::parse(text);
    } catch (const SettingsError&) {
        return std::nullopt;
    }
    const TextPlaces places(text);
    const std::string_view lineEnd = text.find("\r\n") != std::string_view::npos ? "\r\n" : "\n";
    std::vector<TextEdit> edits;
    // The tables the file lacks, with their lines, in the order files list them.
    std::vector<std::pair<std::string_view, std::string>> newTables;
    for (std::string_view name : SettingNames()) {
        const std::optional<SettingValue> value = GetSetting(settings, name);
        if (value == GetSetting(written, name))
            continue;
        const SettingName part = Split(name);
        const toml::table* table = file[part.table].as_table();
        const toml::node* node = table ? table->get(part.key) : nullptr;
        const std::string line = std::string(part.key) + " = " + (value ? ValueText(*value) : std::string());
        if (node && table->is_inline()) {
            return std::nullopt;
        } else if (node && value) {
            edits.push_back({places.Offset(node->source().begin), places.Offset(node->source().end), ValueText(*value)});
        } else if (node) {
            const toml::source_index first = table->find(part.key)->first.source().begin.line;
            edits.push_back({places.LineStart(first), places.LineStart(node->source().end.line + 1), {}});
        } else if (table) {
            std::optional<TextEdit> addition = Addition(places, text, *table, part.table, line, lineEnd);
            if (!addition)
                return std::nullopt;
            edits.push_back(std::move(*addition));
        } else {
            if (newTables.empty() || newTables.back().first != part.table)
                newTables.emplace_back(part.table, std::string());
            newTables.back().second += line + std::string(lineEnd);
        }
    }
    for (const auto& [table, lines] : newTables) {
        const std::string header = '[' + std::string(table) + ']' + std::string(lineEnd);
        edits.push_back({text.size(), text.size(), (text.empty() ? std::string() : std::string(lineEnd)) + header + lines});
    }
    // Lines added where another is taken out go first.
    std::stable_sort(edits.begin(), edits.end(), [](const TextEdit& a, const TextEdit& b) {
        return std::pair(a.begin, a.end) < std::pair(b.begin, b.end);
    });
    std::string result;
    std::size_t copied = 0;
    // What goes after a last line without its end starts a line of its own.
    bool lineEnded = text.empty() || text.ends_with('\n');
    for (const TextEdit& edit : edits) {
        result.append(text.substr(copied, edit.begin - copied));
        if (edit.begin == text.size() && !std::exchange(lineEnded, true))
            result.append(lineEnd);
        result += edit.text;
        copied = edit.end;
    }
    result.append(text.substr(copied));
    return result;
}

bool ExperimentFile::SaveKeeping(const std::string& path, const Settings& settings,
                                 const std::function<bool()>& mayRewrite)
{
    std::optional<std::string> text;
    if (std::filesystem::exists(path))
        text = Edited(ReadBoundedFile(path), settings);
    else
        text = Text(settings);
    if (!text && !mayRewrite())
        return false;
    toolkit::ReplaceFile(path, text ? *text : Text(settings));
    return true;
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
