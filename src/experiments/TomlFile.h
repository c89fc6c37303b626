#pragma once

#include "experiments/Problem.h"
#include "experiments/Settings.h"

#include <string>
#include <string_view>

// The program's files hold tables of plain values, never nested ones: a
// shallow limit refuses deep nesting before it costs the parser's stack.
// Every file that includes toml++ includes it through here, so all of them
// read with the same limit.
#define TOML_MAX_NESTED_VALUES 16
#include <toml++/toml.h>

// The bounded reading that experiment files and sessions share, for files
// from anywhere. Every error is a SettingsError placed in the file.

// The file's text; refuses one larger than ExperimentFile::kLargestFile.
std::string ReadBoundedFile(const std::string& path);

// The text as TOML, named source in messages: refuses a text larger than
// ExperimentFile::kLargestFile, binary data, keys or values nested too
// deep, and text beyond ASCII outside comments and the texts of values.
toml::table ParseBoundedToml(std::string_view text, std::string_view source);

// The problem, placed in source at the given position, if it has one.
[[noreturn]] void FailAt(std::string_view source, const toml::source_position& at, Problem problem);

// Windows' editors start UTF-8 files with it; toml++ passes over it and
// counts the first line's columns after it.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

class WrittenValues;

// The settings the tables ([model], [run], ...) of the text give, over base;
// each value read is noted in written, if given, as the text wrote it.
Settings SettingsFromTables(const toml::table& tables, std::string_view text, std::string_view source,
                            const Settings& base, WrittenValues* written = nullptr);

// The settings as the tables an experiment file holds, each set value as
// the shortest text that reads back to the same bits; each table's name
// prefixed, as "settings.model".
std::string SettingsTablesText(const Settings& settings, std::string_view prefix = "");
