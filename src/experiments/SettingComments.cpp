#include "experiments/ExperimentFile.h"
#include "experiments/TomlFile.h"

std::optional<std::string> ExperimentFile::Commented(std::string_view text, std::string_view name,
                                                     std::string_view comment)
{
    toml::table file;
    try {
        file = ParseBoundedToml(text, {});
    } catch (const SettingsError&) {
        return std::nullopt;
    }
    const auto dot = name.find('.');
    const toml::table* table = file[name.substr(0, dot)].as_table();
    const toml::node* node = table ? table->get(name.substr(dot + 1)) : nullptr;
    if (!node || table->is_inline() || node->source().begin.line != node->source().end.line)
        return std::nullopt;
    // The value's line, by its number from 1; the value ends at its column.
    std::size_t start = 0;
    for (toml::source_index line = 1; line < node->source().end.line; ++line)
        start = text.find('\n', start) + 1;
    const std::size_t valueEnd = start + node->source().end.column - 1;
    std::size_t lineEnd = text.find('\n', valueEnd);
    lineEnd = lineEnd == std::string_view::npos ? text.size() : lineEnd;
    if (lineEnd > valueEnd && text[lineEnd - 1] == '\r')
        --lineEnd;
    const std::string_view rest = text.substr(valueEnd, lineEnd - valueEnd);
    if (rest.find_first_not_of(" \t") != std::string_view::npos && rest.find_first_not_of(" \t") != rest.find('#'))
        return std::nullopt;
    return std::string(text.substr(0, valueEnd)) + " # " + std::string(comment) + std::string(text.substr(lineEnd));
}
