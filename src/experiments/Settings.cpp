#include "experiments/Settings.h"

#include "plot/ChartRange.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <numeric>
#include <type_traits>
#include <vector>

namespace {

constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kUint32Max = std::numeric_limits<std::uint32_t>::max();

// The step response removes its load here unless told otherwise, or at the
// run's end if that comes first.
constexpr std::int64_t kDefaultLoadOff = 1000;

static_assert(kEmptyChartRanges.x.max == static_cast<double>(RunSettings{}.steps),
              "an empty chart shows the steps of a run of the default length");

constexpr std::array<std::string_view, 4> kProfileNames{"step", "ramp", "fan", "periodic"};

// The shortest text that reads back to the same double.
std::string ShortestText(double value)
{
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return std::string(buffer.data(), end);
}

// A value in a message: numbers as people write them ("-1", not "-1.0").
std::string ShownText(const SettingValue& value)
{
    const auto* number = std::get_if<double>(&value);
    return number ? ShortestText(*number) : ValueText(value);
}

using toolkit::Message;
using toolkit::Same;

// A bound in a message: a number, or a setting's name with its value.
Message BoundText(std::string_view name, const std::string& value)
{
    return Same(name.empty() ? value : std::string(name) + " (" + value + ")");
}

// What a setting allows: Allows() decides and Text() says it in a message.
struct FiniteNumber {
    bool Allows(double value) const { return std::isfinite(value); }
    Message Text() const { return {"a finite number", "конечное число"}; }
};

struct NumberAboveZero {
    bool Allows(double value) const { return std::isfinite(value) && value > 0; }
    Message Text() const { return {"a number above 0", "число больше 0"}; }
};

struct NumberAtLeast {
    double min;
    std::string_view minName = {};
    bool Allows(double value) const { return std::isfinite(value) && value >= min; }
    Message Text() const
    {
        return Message{"a finite number of at least ", "конечное число не меньше "} + BoundText(minName, ShortestText(min));
    }
};

struct WholeBetween {
    std::int64_t min;
    std::int64_t max;
    std::string_view minName = {};
    std::string_view maxName = {};
    bool Allows(std::int64_t value) const { return min <= value && value <= max; }
    Message Text() const
    {
        return Message{"a whole number from ", "целое число от "} + BoundText(minName, std::to_string(min)) +
               Message{" to ", " до "} + BoundText(maxName, std::to_string(max));
    }
};

struct OneOfProfiles {
    bool Allows(LoadProfile) const { return true; }
    Message Text() const
    {
        std::string names;
        for (std::string_view name : kProfileNames)
            names += (name == kProfileNames.front() ? "\"" : ", \"") + std::string(name) + '"';
        return Message{"one of ", "одно из "} + Same(names);
    }
};

// Calls visit(name, field, rule) for every setting, in the order files list
// them; S is Settings or const Settings. The rules of later settings may
// refer to earlier ones, which CheckSettings has then passed already.
template <typename S, typename Visit>
void ForEachSetting(S& s, Visit&& visit)
{
    visit("model.J", s.model.J, NumberAboveZero{});
    visit("model.Mk", s.model.Mk, NumberAboveZero{});
    visit("model.sk", s.model.sk, NumberAboveZero{});
    visit("model.p", s.model.p, NumberAboveZero{});
    visit("model.dt", s.model.dt, NumberAboveZero{});
    visit("model.w0", s.model.w0, NumberAboveZero{});
    visit("run.steps", s.run.steps, WholeBetween{1, 1'000'000});
    visit("run.limit", s.run.limit, WholeBetween{kInt32Min, kInt32Max});
    visit("run.seed", s.run.seed, WholeBetween{0, kUint32Max});
    visit("gauss.mean", s.gauss.mean, FiniteNumber{});
    visit("gauss.sd", s.gauss.sd, NumberAboveZero{});
    visit("uniform.low", s.uniform.low, FiniteNumber{});
    visit("uniform.high", s.uniform.high, NumberAtLeast{s.uniform.low, "uniform.low"});
    visit("uniform.levels", s.uniform.levels, WholeBetween{2, 1'000'000});
    visit("step.load", s.step.load, WholeBetween{kInt32Min, kInt32Max});
    visit("step.profile", s.step.profile, OneOfProfiles{});
    visit("step.on", s.step.on, WholeBetween{0, s.LoadOff(), {}, "step.off"});
    visit("step.off", s.step.off, WholeBetween{s.step.on, s.run.steps, "step.on", "run.steps"});
    visit("step.ramp", s.step.ramp, WholeBetween{0, s.run.steps, {}, "run.steps"});
    visit("step.k", s.step.k, FiniteNumber{});
    visit("step.amplitude", s.step.amplitude, FiniteNumber{});
    visit("step.period", s.step.period, NumberAtLeast{1});
}

[[noreturn]] void Reject(std::string_view name, const Message& allowed, std::string_view shownValue)
{
    throw SettingsError(Same(std::string(name)) + Message{" must be ", ": нужно "} + allowed +
                        Message{", not ", ", а не "} + Same(std::string(shownValue)));
}

[[noreturn]] void RejectUnknown(std::string_view name)
{
    throw UnknownSetting(name, NearestName(name, SettingNames()));
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
            Reject(name, rule.Text(), ShownText(value));
    } else if constexpr (std::is_same_v<Field, LoadProfile>) {
        const auto* text = std::get_if<std::string>(&value);
        const auto* found = text ? std::find(kProfileNames.begin(), kProfileNames.end(), *text) : kProfileNames.end();
        if (found == kProfileNames.end())
            Reject(name, rule.Text(), ShownText(value));
        field = static_cast<LoadProfile>(found - kProfileNames.begin());
    } else {
        if (!whole)
            Reject(name, rule.Text(), ShownText(value));
        field = *whole;
    }
}

SettingValue ValueOf(double field) { return field; }
SettingValue ValueOf(std::int64_t field) { return field; }
SettingValue ValueOf(LoadProfile field) { return std::string(kProfileNames[static_cast<std::size_t>(field)]); }

} // namespace

std::int64_t Settings::LoadOff() const
{
    return step.off.value_or(std::min(kDefaultLoadOff, run.steps));
}

void CheckSettings(const Settings& settings)
{
    ForEachSetting(settings, [](std::string_view name, const auto& field, const auto& rule) {
        if constexpr (requires { field.has_value(); }) {
            if (field && !rule.Allows(*field))
                Reject(name, rule.Text(), std::to_string(*field));
        } else if (!rule.Allows(field)) {
            Reject(name, rule.Text(), ShownText(ValueOf(field)));
        }
    });
    // The model's time constant, sk / w0 rounded to double, can still leave
    // the range when both are within theirs.
    MotorModel model{};
    model.Reset(settings.model);
    if (!std::isfinite(model.T) || !(model.T > 0))
        throw SettingsError(Message{"model.sk / model.w0 must come out a finite number above 0, not ",
                                    "model.sk / model.w0: нужно конечное число больше 0, а получилось "} +
                            Same(ShortestText(model.T)) + Message{" (model.sk is ", " (model.sk = "} +
                            Same(ShortestText(settings.model.sk)) + Message{", model.w0 is ", ", model.w0 = "} +
                            Same(ShortestText(settings.model.w0) + ")"));
}

SettingsError UnknownSetting(std::string_view name, std::string_view nearest)
{
    const std::string quoted = "'" + std::string(name) + "'";
    const std::string guess = "'" + std::string(nearest) + "'?";
    return SettingsError(Message{"there is no setting " + quoted + "; did you mean " + guess,
                                 "нет параметра " + quoted + "; может быть, " + guess});
}

std::span<const std::string_view> SettingNames()
{
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> all;
        const Settings defaults;
        ForEachSetting(defaults, [&](std::string_view name, const auto&, const auto&) { all.push_back(name); });
        return all;
    }();
    return names;
}

std::optional<SettingValue> GetSetting(const Settings& settings, std::string_view name)
{
    std::optional<SettingValue> result;
    bool found = false;
    ForEachSetting(settings, [&](std::string_view each, const auto& field, const auto&) {
        if (each != name)
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
    ForEachSetting(settings, [&](std::string_view each, auto& field, const auto& rule) {
        if (each != name)
            return;
        found = true;
        if constexpr (requires { field.has_value(); }) {
            std::int64_t whole = 0;
            Assign(whole, rule, name, value);
            field = whole;
        } else {
            Assign(field, rule, name, value);
        }
    });
    if (!found)
        RejectUnknown(name);
}

void RejectSetting(const Settings& settings, std::string_view name, std::string_view shownValue)
{
    ForEachSetting(settings, [&](std::string_view each, const auto&, const auto& rule) {
        if (each == name)
            Reject(name, rule.Text(), shownValue);
    });
    RejectUnknown(name);
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
