#include "cli/Texts.h"

#include "toolkit/Conversions.h"

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

namespace {

std::string PlaceOf(const lab::MeasuredProblem& p)
{
    std::string place = p.file;
    if (p.line > 0)
        place += ':' + std::to_string(p.line);
    if (p.line > 0 && p.column > 0)
        place += ':' + std::to_string(p.column);
    return place + ": ";
}

std::string MeasuredFaultText(const lab::MeasuredProblem& p)
{
    using lab::MeasuredFault;
    const std::string roles = "t (seconds), Md, Omega, Is or ia";
    switch (p.fault) {
    case MeasuredFault::CannotRead:
        return "cannot read the file: " + p.text;
    case MeasuredFault::FileTooLarge:
        return "the file is larger than " + std::to_string(p.count) + " bytes";
    case MeasuredFault::BinaryData:
        return "byte " + p.text + " is not text; measured data is a CSV file";
    case MeasuredFault::Empty:
        return "no heading row; measured data needs a heading of " + roles;
    case MeasuredFault::NoTime:
        return "no column t among " + p.text + "; name the seconds' column with --map COLUMN=t";
    case MeasuredFault::NoQuantity:
        return "no column Md, Omega, Is or ia among " + p.text + "; name one with --map COLUMN=Omega";
    case MeasuredFault::UnknownColumn:
        return "--map names column '" + p.text + "', which the heading does not have";
    case MeasuredFault::RoleTwice:
        return "column '" + p.text + "' is the second of the same quantity; each of " + roles + " may be one column";
    case MeasuredFault::FieldCount:
        return "the row has " + std::to_string(p.count) + " fields, the heading " + std::to_string(p.expected);
    case MeasuredFault::NotANumber:
        return "'" + p.text + "' is not a finite number; numbers use the separator's decimal mark " +
               "(a point, or a comma after semicolons or tabs)";
    case MeasuredFault::TimeNotIncreasing:
        return "time " + p.text + " is not after the row before's; times must increase";
    case MeasuredFault::TimeMissing:
        return "the time is empty; every row needs one";
    case MeasuredFault::TooFewSamples:
        return "fewer than " + std::to_string(p.count) + " rows of samples";
    }
    return {};
}

} // namespace

std::string MeasuredErrorText(const lab::MeasuredProblem& problem)
{
    return PlaceOf(problem) + MeasuredFaultText(problem);
}

std::string KeptMeasuredErrorText(const KeptMeasuredProblem& problem)
{
    switch (problem.fault) {
    case KeptMeasuredFault::BadMapping:
        return "the mapping \"" + problem.mapping + "\" is not COLUMN=t, Md, Omega, Is or ia";
    case KeptMeasuredFault::Unreadable:
        return MeasuredErrorText(problem.unread);
    case KeptMeasuredFault::Changed:
        break;
    }
    return problem.file + " changed after the session was saved";
}

std::string FittableText(ModelKind kind)
{
    const auto names = lab::FittableSettings(kind);
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + std::string(names[i]);
    return text;
}

std::string FitErrorText(const lab::FitProblem& problem, ModelKind kind)
{
    using lab::FitFault;
    const std::string model = kind == ModelKind::Dq ? "the d-q model" : "the three-state model";
    switch (problem.fault) {
    case FitFault::NotFittable:
        return problem.setting + " cannot be fitted: " + model + " fits " + FittableText(kind);
    case FitFault::FittedTwice:
        return problem.setting + " is named twice in --fit";
    case FitFault::NothingToFit:
        return "no setting to fit: " + model + " fits " + FittableText(kind);
    case FitFault::NothingToCompare:
        return "no measured sample of a quantity the run reports lies within the run's time; a run of " + model +
               " reports " + std::string(kind == ModelKind::Dq ? "Md, Omega, Is and ia" : "Md and Omega");
    case FitFault::StartOnBound:
        return problem.setting + " starts at " + toolkit::FloatToStr(problem.value) +
               ", the bound of what it allows; a fit starts within the bounds";
    case FitFault::StartRunFailed:
        return "the run with the start values did not finish; start nearer the machine's values";
    }
    return {};
}

} // namespace cli
