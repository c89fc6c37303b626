#pragma once

#include "experiments/Settings.h"
#include "experiments/SettingsTable.h"
#include "ui/ReportDocument.h"

#include <QString>

#include <optional>
#include <span>
#include <string>
#include <string_view>

// The settings in the parameters window's words, in the language in force.

// A group of settings, the experiment file's table, and where its box
// stands: the first column or the second.
struct SettingGroupText {
    std::string_view group;
    const char* title;
    int column;
};

std::span<const SettingGroupText> SettingGroups();

// A setting's row: what it is, what its field shows while empty and the
// hint it gives.
struct SettingRowText {
    std::string_view name;
    const char* what;
    const char* unset = "";
    const char* hint = "";
};

const SettingRowText& SettingRow(std::string_view name);

// One of the texts above in the language in force; an empty one stays
// empty.
QString SettingText(const char* text);
QString Latin(std::string_view text);

// "Момент инерции J, кг·м²": what the setting is, its key as files write
// it, and its unit.
QString SettingLabel(const SettingSpec& spec);

// The settings as a report lists them, in the window's words: each with
// its value and its default, those that differ from it marked.
ReportTable SettingsReportTable(const Settings& settings);

// A setting's value as a field and a pin's name show it: numbers as files
// write them, texts without quotes, an unset setting empty.
std::string FieldText(const std::optional<SettingValue>& value);
