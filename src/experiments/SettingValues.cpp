#include "experiments/Settings.h"

#include "experiments/SettingRules.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <type_traits>
#include <vector>

using settingrules::About;
using settingrules::ForEachSetting;
using settingrules::kIsChoice;
using settingrules::NamesOf;
using settingrules::Refusal;
using settingrules::RejectUnknown;
using settingrules::ShortestText;
using settingrules::ValueOf;

namespace {

template <typename Rule>
[[noreturn]] void Reject(std::string_view name, const Rule& rule, std::string_view shownValue)
{
    throw SettingsError(Refusal(name, rule, shownValue));
}

// A whole number, or a number written with a point that is exactly one
// (2000.0, as Python's TOML writers give 2/dt): the same value either way.
std::optional<std::int64_t> WholeOf(const SettingValue& value)
{
    if (const auto* whole = std::get_if<std::int64_t>(&value))
        return *whole;
    const auto* number = std::get_if<double>(&value);
    // Whole doubles below 2^63 in magnitude convert exactly.
    if (number && std::trunc(*number) == *number && std::fabs(*number) < 0x1p63)
        return static_cast<std::int64_t>(*number);
    return std::nullopt;
}

template <typename Field, typename Rule>
void Assign(Field& field, const Rule& rule, std::string_view name, const SettingValue& value)
{
    const auto* whole = std::get_if<std::int64_t>(&value);
    if constexpr (std::is_same_v<Field, double>) {
        if (whole)
            field = static_cast<double>(*whole);
        else if (const auto* number = std::get_if<double>(&value))
            field = *number;
        else
            Reject(name, rule, ShownText(value));
    } else if constexpr (kIsChoice<Field>) {
        const std::span<const std::string_view> names = NamesOf<Field>();
        const auto* text = std::get_if<std::string>(&value);
        const auto found = text ? std::find(names.begin(), names.end(), *text) : names.end();
        if (found == names.end())
            Reject(name, rule, ShownText(value));
        field = static_cast<Field>(found - names.begin());
    } else {
        const std::optional<std::int64_t> wholeValue = WholeOf(value);
        if (!wholeValue)
            Reject(name, rule, ShownText(value));
        field = *wholeValue;
    }
}

} // namespace

std::optional<SettingValue> GetSetting(const Settings& settings, std::string_view name)
{
    std::optional<SettingValue> result;
    bool found = false;
    ForEachSetting(settings, [&](const About& about, const auto& field, const auto&) {
        if (about.name != name)
            return;
        found = true;
        if constexpr (requires { field.has_value(); }) {
            if (field)
                result = ValueOf(*field);
        } else {
            result = ValueOf(field);
        }
    });
    if (!found)
        RejectUnknown(name);
    return result;
}

void SetSetting(Settings& settings, std::string_view name, const SettingValue& value)
{
    bool found = false;
    ForEachSetting(settings, [&](const About& about, auto& field, const auto& rule) {
        if (about.name != name)
            return;
        found = true;
        if constexpr (requires { field.has_value(); }) {
            typename std::remove_cvref_t<decltype(field)>::value_type given{};
            Assign(given, rule, name, value);
            field = given;
        } else {
            Assign(field, rule, name, value);
        }
    });
    if (!found)
        RejectUnknown(name);
    // "three-state" named is the model left unnamed: the same settings,
    // which files and sessions write without it.
    if (settings.kind == ModelKind::ThreeState)
        settings.kind.reset();
}

void RejectSetting(const Settings& settings, std::string_view name, std::string_view shownValue)
{
    ForEachSetting(settings, [&](const About& about, const auto&, const auto& rule) {
        if (about.name == name)
            Reject(name, rule, shownValue);
    });
    RejectUnknown(name);
}

std::string ShownText(const SettingValue& value)
{
    const auto* number = std::get_if<double>(&value);
    return number ? ShortestText(*number) : ValueText(value);
}

std::string ValueText(const SettingValue& value)
{
    if (const auto* whole = std::get_if<std::int64_t>(&value))
        return std::to_string(*whole);
    if (const auto* number = std::get_if<double>(&value)) {
        std::string text = ShortestText(*number);
        // A file reads digits alone as a whole number: keep a number a number.
        if (text.find_first_of(".eni") == std::string::npos)
            text += ".0";
        return text;
    }
    std::string quoted = "\"";
    for (const char c : std::get<std::string>(value)) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

std::string_view NearestName(std::string_view name, std::span<const std::string_view> names)
{
    // Edit distance, letters compared without case: "model.j" is nearest
    // "model.J".
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    auto distance = [&](std::string_view other) {
        std::vector<std::size_t> row(other.size() + 1);
        std::iota(row.begin(), row.end(), std::size_t{0});
        for (const char c : name) {
            std::size_t diagonal = row[0]++;
            for (std::size_t j = 1; j <= other.size(); ++j) {
                const std::size_t above = row[j];
                row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (lower(c) == lower(other[j - 1]) ? 0 : 1)});
                diagonal = above;
            }
        }
        return row.back();
    };
    return *std::min_element(names.begin(), names.end(),
                             [&](std::string_view a, std::string_view b) { return distance(a) < distance(b); });
}
