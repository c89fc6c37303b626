#include "cli/Texts.h"

#include <algorithm>
#include <string_view>

namespace cli {

namespace {

std::string BoundText(const Bound& bound)
{
    return bound.setting.empty() ? bound.value : bound.setting + " (" + bound.value + ")";
}

std::string Quoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

// The problem without the file it lies in.
std::string Body(const Problem& p)
{
    const std::string values = "values " + Quoted(p.value) + ": ";
    switch (p.kind) {
    case ProblemKind::NotAllowed:
        return p.setting + " must be " + AllowedText(p.allowed) + ", not " + p.value;
    case ProblemKind::TimeConstantUnusable:
        return p.from.at(0).setting + " / " + p.from.at(1).setting + " must come out a finite number above 0, not " +
               p.value + " (" + p.from[0].setting + " is " + p.from[0].value + ", " + p.from[1].setting + " is " +
               p.from[1].value + ")";
    case ProblemKind::StepPastStableLimit:
        return p.setting + " is " + p.value + ", past " + p.from.at(0).value +
               ", the largest step at which forward Euler keeps the model's rest stable: the run cannot settle "
               "and is likely to overflow";
    case ProblemKind::OtherModelKind:
        return p.setting + " is a setting of the " + (p.from.at(0).value == "\"dq\"" ? "three-state" : "d-q") +
               " model, not of the " + (p.from[0].value == "\"dq\"" ? "d-q" : "three-state") +
               " model that " + p.from[0].setting + " " + p.from[0].value + " chooses";
    case ProblemKind::UnknownSetting:
        return "there is no setting " + Quoted(p.value) + "; did you mean " + Quoted(p.nearest) + "?";
    case ProblemKind::UnknownTable:
        return "there is no table [" + p.value + "]; did you mean [" + p.nearest + "]?";
    case ProblemKind::FileTooLarge:
        return "larger than " + std::to_string(p.count >> 20) + " MiB, the most an experiment file may hold";
    case ProblemKind::BinaryData:
        return "holds binary data (byte " + p.value + "); an experiment file is text";
    case ProblemKind::BeyondAscii:
        return "holds text beyond ASCII outside comments and the texts of values";
    case ProblemKind::KeysTooDeep:
        return "keys nested deeper than " + std::to_string(p.count) +
               " levels are refused; an experiment file holds plain tables";
    case ProblemKind::ValuesTooDeep:
        return "values nested deeper than " + std::to_string(p.count) +
               " levels are refused; an experiment file holds plain values";
    case ProblemKind::TooManyValues:
        return values + "a family holds at most " + std::to_string(p.count) + " values";
    case ProblemKind::NotARange:
        return values + "a range is A:B:STEP";
    case ProblemKind::RangeNotNumbers:
        return values + "A:B:STEP needs three finite numbers";
    case ProblemKind::RangeStepNotAboveZero:
        return values + "STEP must be above 0";
    case ProblemKind::RangeEndBelowStart:
        return values + "B must not be below A";
    case ProblemKind::EmptyValue:
        return values + "a list of values separated by commas, with none left empty";
    case ProblemKind::NewerFormat:
        return "a session of format " + p.value + " is from a newer version; this one reads format " +
               std::to_string(p.count);
    case ProblemKind::BadEntry:
        return Quoted(p.setting) + " is missing or not as the program writes a session";
    case ProblemKind::CutShort:
        return "the session is cut short: it lacks the [" + p.setting +
               "] table that every session ends with; the file was not written or copied whole";
    case ProblemKind::HoldsOtherThanSaid:
        return Quoted(p.setting) + " says " + std::to_string(p.count) + ", but the session holds " + p.value +
               ": part of the file is lost";
    case ProblemKind::CannotRead:
    case ProblemKind::NotToml:
    case ProblemKind::RunFailed:
        break;
    }
    // The system's, the parser's or the toolkit's own words.
    return p.value;
}

std::string UnitText(Unit unit)
{
    switch (unit) {
    case Unit::None:
        break;
    case Unit::KilogramSquareMetre:
        return "kg m^2";
    case Unit::NewtonMetre:
        return "N m";
    case Unit::NewtonMetreSecondSquared:
        return "N m s^2";
    case Unit::RadianPerSecond:
        return "rad/s";
    case Unit::Second:
        return "s";
    case Unit::Step:
        return "step";
    case Unit::Steps:
        return "steps";
    case Unit::Ohm:
        return "ohm";
    case Unit::Henry:
        return "H";
    case Unit::Volt:
        return "V";
    }
    return {};
}

// The text's words in lines of at most 80 characters, each after indent
// spaces, the first after head where it leaves two spaces before the
// indent.
std::string Wrapped(std::string_view head, std::string_view text, std::size_t indent)
{
    constexpr std::size_t kWidth = 80;
    std::string lines(head);
    if (!head.empty() && head.size() + 2 > indent)
        lines += '\n';
    std::size_t lineStart = lines.rfind('\n') + 1;
    lines.resize(std::max(lines.size(), lineStart + indent), ' ');
    bool lineEmpty = true;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size());
        const std::string_view word = text.substr(at, end - at);
        if (!lineEmpty && lines.size() - lineStart + 1 + word.size() > kWidth) {
            lines += '\n';
            lineStart = lines.size();
            lines.append(indent, ' ');
            lineEmpty = true;
        }
        lines += (lineEmpty ? "" : " ") + std::string(word);
        lineEmpty = false;
        at = end + 1;
    }
    return lines + '\n';
}

} // namespace

std::string RefusedLoadText(std::int64_t limit)
{
    return "Invalid load: Mc must not exceed " + std::to_string(limit);
}

std::string AllowedText(const Allowed& allowed)
{
    switch (allowed.kind) {
    case AllowedKind::FiniteNumber:
        return "a finite number";
    case AllowedKind::NumberAboveZero:
        return "a number above 0";
    case AllowedKind::NumberAtLeast:
        return "a finite number of at least " + BoundText(allowed.min);
    case AllowedKind::WholeBetween:
        return "a whole number from " + BoundText(allowed.min) + " to " + BoundText(allowed.max);
    case AllowedKind::WholeNumberAtLeast:
        return "a whole number of at least " + BoundText(allowed.min);
    case AllowedKind::OneOf:
        break;
    }
    std::string names;
    for (const std::string& name : allowed.choices)
        names += (names.empty() ? "\"" : ", \"") + name + '"';
    return "one of " + names;
}

std::string ErrorText(const Problem& problem)
{
    const Place& place = problem.place;
    if (place.unread)
        return "cannot read " + Quoted(place.file) + ": " + Body(problem);
    if (place.file.empty())
        return Body(problem);
    const std::string at = place.line > 0 ? ':' + std::to_string(place.line) + ':' + std::to_string(place.column) : "";
    return place.file + at + ": " + Body(problem);
}

std::string SettingsHelp()
{
    std::string help = "Settings:\n";
    help += Wrapped({}, "Each as --set names it, NAME=VALUE, with its unit, what it allows and its default. An "
                        "experiment file gives GROUP.KEY as KEY = VALUE under [GROUP].", 0);
    for (const SettingSpec& spec : SettingsTable()) {
        std::string text(spec.label);
        if (spec.unit != Unit::None)
            text += ", " + UnitText(spec.unit);
        if (!spec.help.empty())
            text += " (" + std::string(spec.help) + ")";
        if (spec.model)
            text += "; " + std::string(spec.model == ModelKind::Dq ? "d-q" : "three-state") + " model only";
        text += ": " + AllowedText(spec.allowed) + "; default " +
                (spec.defaultValue ? ShownText(*spec.defaultValue) : std::string("unset"));
        help += Wrapped("  " + std::string(spec.name), text, 24);
    }
    return help;
}

} // namespace cli
