#pragma once

#include "experiments/Experiments.h"
#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "experiments/TomlFile.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// How a session file writes its values and reads them back; the session
// files' own, not a general TOML writer.
namespace sessionfile {

// A text as a TOML basic string: quotes, backslashes and control
// characters escaped.
std::string Quoted(std::string_view text);
// The shortest text that reads back as the same double.
std::string Number(double value);
std::string Flag(bool value);

// Reads a session's values, refusing, at its place, whatever is not as
// SessionText writes it.
class Reader {
public:
    Reader(std::string_view text, std::string_view source) : text_(text), source_(source) {}

    [[noreturn]] void Refuse(const toml::node& at, std::string_view key) const
    {
        FailAt(source_, at.source().begin, {.kind = ProblemKind::BadEntry, .setting = std::string(key)});
    }

    // Refuses a key the table should not hold.
    void Only(const toml::table& table, std::initializer_list<std::string_view> keys, std::string_view path) const;

    template <typename Value>
    const toml::node& Node(const toml::table& table, std::string_view key, std::string_view path) const
    {
        const toml::node* node = table.get(key);
        if (!node)
            Refuse(table, Joined(path, key));
        if (!node->is<Value>())
            Refuse(*node, Joined(path, key));
        return *node;
    }

    template <typename Value>
    Value Get(const toml::table& table, std::string_view key, std::string_view path) const
    {
        return *Node<Value>(table, key, path).template value<Value>();
    }

    const toml::table& Table(const toml::table& table, std::string_view key, std::string_view path) const;

    // The array's tables, at most most of them.
    std::vector<const toml::table*> Tables(const toml::table& table, std::string_view key, std::size_t most) const;

    Settings SettingsOf(const toml::table& table, std::string_view path) const;

    RandomSources SourcesOf(const toml::table& table, std::string_view path) const;

    RunRecipe RecipeOf(const toml::table& table, std::string_view path) const;

    // One of the quantities the run reports.
    Quantity QuantityOf(const toml::table& table, std::span<const Quantity> reported, std::string_view path) const;

    std::int64_t WholeBetween(const toml::table& table, std::string_view key, std::string_view path, std::int64_t min,
                              std::int64_t max) const;

    std::string_view Source() const { return source_; }

    // "runs" and "kind" as "runs.kind"; a key of the file's top as itself.
    static std::string Joined(std::string_view path, std::string_view key);

private:
    std::string_view text_;
    std::string_view source_;
};

} // namespace sessionfile
