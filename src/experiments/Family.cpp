#include "experiments/Family.h"

#include "experiments/ExperimentFile.h"
#include "experiments/Experiments.h"
#include "model/MotorModel.h"
#include "toolkit/Conversions.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

[[noreturn]] void Refuse(std::string_view text, ProblemKind why)
{
    throw SettingsError({.kind = why, .value = std::string(text), .count = static_cast<std::int64_t>(kMaxFamilyValues)});
}

void CheckCount(std::string_view text, double count)
{
    if (!(count <= static_cast<double>(kMaxFamilyValues)))
        Refuse(text, ProblemKind::TooManyValues);
}

std::vector<std::string> RangeValues(std::string_view text, const std::array<std::string_view, 3>& parts)
{
    std::array<double, 3> bounds{};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string_view part = Trimmed(parts[i]);
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), bounds[i]);
        if (part.empty() || error != std::errc{} || end != part.data() + part.size() || !std::isfinite(bounds[i]))
            Refuse(text, ProblemKind::RangeNotNumbers);
    }
    const auto [from, to, by] = bounds;
    if (!(by > 0))
        Refuse(text, ProblemKind::RangeStepNotAboveZero);
    if (to < from)
        Refuse(text, ProblemKind::RangeEndBelowStart);
    const double count = std::floor((to - from) / by + 1e-6) + 1;
    CheckCount(text, count);
    std::vector<std::string> values;
    for (int i = 0; i < static_cast<int>(count); ++i)
        values.push_back(toolkit::FloatToStr(from + i * by));
    return values;
}

} // namespace

std::vector<std::string> ParseFamilyValues(std::string_view text)
{
    if (const auto colon = text.find(':'); colon != std::string_view::npos) {
        const std::string_view rest = text.substr(colon + 1);
        const auto second = rest.find(':');
        if (second == std::string_view::npos)
            Refuse(text, ProblemKind::NotARange);
        return RangeValues(text, {text.substr(0, colon), rest.substr(0, second), rest.substr(second + 1)});
    }
    std::vector<std::string> values;
    for (std::size_t start = 0;;) {
        const auto comma = text.find(',', start);
        const std::string_view item = Trimmed(text.substr(start, comma - start));
        if (item.empty())
            Refuse(text, ProblemKind::EmptyValue);
        values.emplace_back(item);
        CheckCount(text, static_cast<double>(values.size()));
        if (comma == std::string_view::npos)
            return values;
        start = comma + 1;
    }
}

Settings FamilyMemberSettings(const Settings& base, std::string_view name, std::string_view value)
{
    Settings member = base;
    SetSettingText(member, name, value);
    CheckSettings(member);
    return member;
}

std::string FamilyMemberLabel(std::string_view name, std::string_view value)
{
    const std::string_view shortName = name == "step.load" ? "Mc" : name.substr(name.find('.') + 1);
    return std::string(shortName) + '=' + std::string(value);
}

void RunFamily(const Settings& base, std::string_view name, std::span<const std::string> values, RunKind kind,
               const std::string& loadText, const std::function<void(const FamilyMember&)>& take)
{
    for (std::size_t i = 0; i < values.size(); ++i) {
        FamilyMember member{.place = {std::string(name), values[i], i, values.size()},
                            .outcome = MemberOutcome::Ran,
                            .error = {},
                            .settings = base,
                            .host = RecordingHost()};
        try {
            member.settings = FamilyMemberSettings(base, name, values[i]);
            const std::optional<std::int64_t>& load = member.settings.step.load;
            member.host = RecordingHost(name == "step.load" && load ? std::to_string(*load) : loadText, member.settings);
            MotorModel model{};
            RunExperiment(kind, model, member.host);
            if (member.host.AlertCount() > 0)
                member.outcome = MemberOutcome::Refused;
        } catch (const SettingsError& error) {
            member.outcome = MemberOutcome::NotAllowed;
            member.error = error.Cause();
        } catch (const toolkit::Exception& error) {
            member.outcome = MemberOutcome::Failed;
            member.error = Problem{.kind = ProblemKind::RunFailed, .value = error.what()};
        }
        take(member);
    }
}
