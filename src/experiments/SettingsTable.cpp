#include "experiments/SettingsTable.h"

#include "experiments/SettingRules.h"

#include <algorithm>
#include <type_traits>
#include <utility>
#include <vector>

using settingrules::About;
using settingrules::ForEachSetting;
using settingrules::kIsChoice;
using settingrules::RejectUnknown;
using settingrules::ValueOf;

namespace {

template <typename Field>
constexpr SettingType TypeOf()
{
    if constexpr (std::is_same_v<Field, double>)
        return SettingType::Number;
    else if constexpr (std::is_same_v<Field, std::int64_t>)
        return SettingType::Whole;
    else if constexpr (kIsChoice<Field> || std::is_same_v<Field, std::optional<ModelKind>>)
        return SettingType::Choice;
    else
        return SettingType::OptionalWhole;
}

} // namespace

std::span<const std::string_view> SettingNames()
{
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> all;
        for (const SettingSpec& spec : SettingsTable())
            all.push_back(spec.name);
        return all;
    }();
    return names;
}

std::span<const SettingSpec> SettingsTable()
{
    static const std::vector<SettingSpec> table = [] {
        std::vector<SettingSpec> all;
        const Settings defaults;
        ForEachSetting(defaults, [&](const About& about, const auto& field, const auto& rule) {
            std::optional<SettingValue> value;
            if constexpr (requires { field.has_value(); }) {
                if (field)
                    value = ValueOf(*field);
            } else {
                value = ValueOf(field);
            }
            all.push_back({.name = about.name,
                           .type = TypeOf<std::remove_cvref_t<decltype(field)>>(),
                           .defaultValue = value,
                           .allowed = rule.Described(),
                           .unit = about.unit,
                           .label = about.label,
                           .help = about.help,
                           .shapes = about.shapes,
                           .model = about.model});
        });
        return all;
    }();
    return table;
}

const SettingSpec& SettingSpecOf(std::string_view name)
{
    const auto table = SettingsTable();
    const auto found =
        std::find_if(table.begin(), table.end(), [&](const SettingSpec& spec) { return spec.name == name; });
    if (found == table.end())
        RejectUnknown(name);
    return *found;
}

bool SettingShapes(std::string_view name, RunKind kind)
{
    const std::span<const RunKind> runs = SettingSpecOf(name).shapes;
    return std::find(runs.begin(), runs.end(), kind) != runs.end();
}

std::vector<SettingInForce> SettingsInForce(const Settings& settings)
{
    std::vector<SettingInForce> inForce;
    for (const std::string_view name : SettingNamesInForce(settings)) {
        const SettingSpec& spec = SettingSpecOf(name);
        std::optional<SettingValue> value = GetSetting(settings, spec.name);
        const bool changed = value != spec.defaultValue;
        inForce.push_back({&spec, std::move(value), changed});
    }
    return inForce;
}

std::vector<std::string_view> SettingNamesInForce(const Settings& settings)
{
    std::vector<std::string_view> names;
    for (const SettingSpec& spec : SettingsTable())
        if (SettingOfKind(spec.name, settings.Kind()) && (spec.name != "model.kind" || settings.kind))
            names.push_back(spec.name);
    return names;
}

bool SettingOfKind(std::string_view name, ModelKind kind)
{
    const std::optional<ModelKind> model = SettingSpecOf(name).model;
    return !model || *model == kind;
}
