#include "session/SessionToml.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace sessionfile {

std::string Quoted(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
        } else if (byte < 0x20 || byte == 0x7F) {
            std::array<char, 8> escape{};
            std::snprintf(escape.data(), escape.size(), "\\u%04X", static_cast<unsigned>(byte));
            quoted += escape.data();
            continue;
        }
        quoted += c;
    }
    return quoted + '"';
}

std::string Number(double value)
{
    return ValueText(SettingValue(value));
}

std::string Flag(bool value)
{
    return value ? "true" : "false";
}

void Reader::Only(const toml::table& table, std::initializer_list<std::string_view> keys, std::string_view path) const
{
    const std::vector<std::string_view> known(keys);
    for (const auto& [key, node] : table)
        if (std::find(known.begin(), known.end(), key.str()) == known.end())
            FailAt(source_, key.source().begin,
                   UnknownSetting(Joined(path, key.str()), Joined(path, NearestName(key.str(), known))).Cause());
}

const toml::table& Reader::Table(const toml::table& table, std::string_view key, std::string_view path) const
{
    return *Node<toml::table>(table, key, path).as_table();
}

std::vector<const toml::table*> Reader::Tables(const toml::table& table, std::string_view key, std::size_t most) const
{
    std::vector<const toml::table*> tables;
    const toml::node* node = table.get(key);
    if (!node)
        return tables;
    const toml::array* array = node->as_array();
    if (!array || array->size() > most)
        Refuse(*node, key);
    for (const toml::node& item : *array) {
        if (!item.is_table())
            Refuse(item, key);
        tables.push_back(item.as_table());
    }
    return tables;
}

Settings Reader::SettingsOf(const toml::table& table, std::string_view path) const
{
    const toml::table& tables = Table(table, "settings", path);
    Settings settings = SettingsFromTables(tables, text_, source_, Settings{});
    try {
        CheckSettings(settings);
    } catch (const SettingsError& error) {
        // At the setting's line, where the setting is written.
        const toml::node_view<const toml::node> setting = tables.at_path(error.Cause().setting);
        FailAt(source_, setting ? setting.node()->source().begin : tables.source().begin, error.Cause());
    }
    return settings;
}

RandomSources Reader::SourcesOf(const toml::table& table, std::string_view path) const
{
    RandomSources sources;
    const toml::node& state = Node<std::string>(table, "sources", path);
    if (!sources.Restore(*state.value<std::string>()))
        Refuse(state, Joined(path, "sources"));
    return sources;
}

RunRecipe Reader::RecipeOf(const toml::table& table, std::string_view path) const
{
    const toml::node& kind = Node<std::string>(table, "kind", path);
    const auto run = std::find_if(kRuns.begin(), kRuns.end(),
                                  [&](const RunDefinition& r) { return r.name == *kind.value<std::string>(); });
    if (run == kRuns.end())
        Refuse(kind, Joined(path, "kind"));
    return {run->kind, SettingsOf(table, path), Get<std::string>(table, "load", path), SourcesOf(table, path)};
}

Quantity Reader::QuantityOf(const toml::table& table, std::span<const Quantity> reported, std::string_view path) const
{
    const toml::node& name = Node<std::string>(table, "quantity", path);
    for (Quantity quantity : reported)
        if (QuantityName(quantity) == *name.value<std::string>())
            return quantity;
    Refuse(name, Joined(path, "quantity"));
}

std::int64_t Reader::WholeBetween(const toml::table& table, std::string_view key, std::string_view path, std::int64_t min, std::int64_t max) const
{
    const toml::node& node = Node<std::int64_t>(table, key, path);
    const std::int64_t value = *node.value<std::int64_t>();
    if (value < min || value > max)
        Refuse(node, Joined(path, key));
    return value;
}

std::string Reader::Joined(std::string_view path, std::string_view key)
{
    return path.empty() ? std::string(key) : std::string(path) + '.' + std::string(key);
}

} // namespace sessionfile
