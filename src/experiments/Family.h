#pragma once

#include "experiments/RecordingHost.h"
#include "experiments/Runs.h"
#include "experiments/Settings.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A family of runs: the same run once per value of one setting.

// The most values one family holds.
inline constexpr std::size_t kMaxFamilyValues = 1000;

// A family's values as the user writes them: a list, "0, 10, 20, 30", or a
// range A:B:STEP, "0:30:10", meaning A, A + STEP, A + 2 STEP, ... up to B
// (each A + i STEP in double; B is reached when it is within a millionth of
// a STEP). The result is each value's text as SetSettingText takes it: a
// list item as written, without the blanks around it ("fan" for
// step.profile), a range's values as the shortest text of each double, so
// whole ones read as whole numbers ("0:30:10" suits the whole-number load).
// Raises SettingsError naming the text and what is allowed: an empty item,
// a STEP that is not above 0, B below A, or more than kMaxFamilyValues
// values. Whether a setting allows a value is for SetSettingText to say.
std::vector<std::string> ParseFamilyValues(std::string_view text);

// The settings of the family member with the value: base with the named
// setting set from the value's text, checked whole. Raises SettingsError
// naming the setting and the value when it is not allowed.
Settings FamilyMemberSettings(const Settings& base, std::string_view name, std::string_view value);

// A family member's name: the setting's short name and the value's text, as
// "J=0.0344"; the step load is "Mc", as the chart names a step response.
std::string FamilyMemberLabel(std::string_view name, std::string_view value);

// How a family member's run went.
enum class MemberOutcome {
    Ran,
    // The setting does not allow the value.
    NotAllowed,
    // The step response's load is above the limit, refused as a typed load is.
    Refused,
    // The run stopped on an error.
    Failed,
};

// A family member once its run is over.
struct FamilyMember {
    FamilyPlace place;
    MemberOutcome outcome;
    // Why a value not allowed or a run that failed did not run; unset
    // otherwise: a refused load is told as the host's alert tells one.
    std::optional<Problem> error;
    // The settings it ran with; the base when the value is not allowed.
    Settings settings;
    // Its traces: the run's two hold its points when it ran.
    RecordingHost host;
};

// Makes the run of the kind once per value, in the values' order, with the
// base settings changed by the value, and hands each member to take when its
// run is over, whether it ran or not: a value that is not allowed, refused
// or fails is reported through its outcome and the others go on. Each run is
// made on a model and a host of its own, so no one else's model, traces or
// labels change; the random runs draw from the program's one random source,
// as every run does. The step response's load is the value when the family
// is of step.load, and loadText otherwise.
void RunFamily(const Settings& base, std::string_view name, std::span<const std::string> values, RunKind kind,
               const std::string& loadText, const std::function<void(const FamilyMember&)>& take);
