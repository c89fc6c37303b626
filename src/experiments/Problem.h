#pragma once

#include "toolkit/Exception.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// What went wrong, as values: each front end tells it in its own words (the
// window in Russian, the batch tool in English), from one table of its own.

// A limit of what a setting allows: a number, or the value of another
// setting the limit follows ("step.on (0)").
struct Bound {
    // Empty for a fixed number.
    std::string setting{};
    std::string value{};
    bool operator==(const Bound&) const = default;
};

enum class AllowedKind {
    FiniteNumber,
    NumberAboveZero,
    // A finite number of at least min.
    NumberAtLeast,
    // A whole number from min to max.
    WholeBetween,
    // A whole number of at least min, held as a number: 2.0 is whole.
    WholeNumberAtLeast,
    // One of choices, by name.
    OneOf,
};

struct Allowed {
    AllowedKind kind = AllowedKind::FiniteNumber;
    Bound min{};
    Bound max{};
    std::vector<std::string> choices{};
    bool operator==(const Allowed&) const = default;
};

enum class ProblemKind {
    // setting was given value, which it does not allow: see allowed.
    NotAllowed,
    // The model's time constant, model.sk / model.w0, came out value, not a
    // finite number above 0; from holds the two settings. setting names the
    // first, whose field the window marks.
    TimeConstantUnusable,
    // Not a refusal but a warning: model.dt (setting) is value, past
    // from[0], the largest step at which forward Euler keeps the model's
    // rest stable; a run will not settle and is likely to overflow.
    StepPastStableLimit,
    // setting belongs to another model than the one model.kind chooses;
    // from[0] holds model.kind and its value, as "\"dq\"".
    OtherModelKind,
    // value is not a setting; nearest is the setting's name nearest it.
    UnknownSetting,
    // value is not a table of an experiment file; nearest is the nearest.
    UnknownTable,
    // The file could not be read: value is the system's reason.
    CannotRead,
    // The file holds more than count bytes.
    FileTooLarge,
    // A byte that no text holds; value is its code, as "0x00".
    BinaryData,
    // Text beyond ASCII outside comments and the texts of values.
    BeyondAscii,
    // Keys nested deeper than count levels.
    KeysTooDeep,
    // Values nested deeper than count levels.
    ValuesTooDeep,
    // Not TOML: value is the parser's own description, in English.
    NotToml,
    // A family's values, value as the user wrote them: more than count.
    TooManyValues,
    // A range that is not A:B:STEP.
    NotARange,
    // A range whose A, B or STEP is not a finite number.
    RangeNotNumbers,
    // A range whose STEP is not above 0.
    RangeStepNotAboveZero,
    // A range whose B is below A.
    RangeEndBelowStart,
    // A list with an empty item.
    EmptyValue,
    // A session of format value, newer than count, the newest this program
    // reads.
    NewerFormat,
    // A session's entry, setting its key, missing or not as the program
    // writes it.
    BadEntry,
    // A session without the table (setting) that ends every session the
    // program writes: it was cut short.
    CutShort,
    // A session holding value of what setting counts, not count as its
    // table of contents says: lines were lost.
    HoldsOtherThanSaid,
    // A run stopped on an error of the toolkit's own, value its message,
    // which reads the same in every language (an integer that is not one,
    // an overflow).
    RunFailed,
};

// What kind of rule of TOML a text breaks, for a front end to tell in its
// own language; the parser's own description is in English.
enum class TomlFault {
    // The text ends inside an entry: a quote, a bracket or a value is open.
    EndOfFile,
    // A key or a table given twice.
    Redefined,
    // A control character other than a tab inside a text.
    ControlCharacter,
    // Something else than the rules allow at that place.
    Unexpected,
    Other,
};

// Where in an experiment file a problem lies.
struct Place {
    // Empty when the problem is not a file's.
    std::string file{};
    // 0 when the problem is the whole file's.
    std::int64_t line = 0;
    std::int64_t column = 0;
    // The file could not be read, as opposed to read and refused.
    bool unread = false;
    bool operator==(const Place&) const = default;
};

struct Problem {
    ProblemKind kind = ProblemKind::NotAllowed;
    std::string setting{};
    // The value given, shown as the user or the file wrote it.
    std::string value{};
    Allowed allowed{};
    // For a value not allowed: the limits it crossed that follow other
    // settings. For a result of settings: the settings it came from.
    std::vector<Bound> from{};
    std::string nearest{};
    std::int64_t count = 0;
    // For NotToml.
    TomlFault tomlFault = TomlFault::Other;
    Place place{};
    bool operator==(const Problem&) const = default;
};

// A setting, an experiment file or a family's values that are not allowed.
// It carries the problem, not a sentence: a front end tells it.
class SettingsError : public toolkit::Exception {
public:
    explicit SettingsError(Problem problem) : Exception("settings not allowed"), problem_(std::move(problem)) {}

    const Problem& Cause() const { return problem_; }

private:
    Problem problem_;
};
