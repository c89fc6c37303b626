#pragma once

#include "experiments/Experiments.h"
#include "experiments/Runs.h"
#include "experiments/Settings.h"

#include <cstddef>
#include <atomic>
#include <cstdint>
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
    // otherwise: a refused load is told as the window's alert tells one.
    std::optional<Problem> error;
    // The settings it ran with; the base when the value is not allowed.
    Settings settings;
    // Its run, when the value is allowed.
    std::optional<RunResult> run;
};

struct FamilyRequest {
    Settings base;
    // The setting swept and its values, as ParseFamilyValues gives them.
    std::string setting;
    std::vector<std::string> values;
    RunKind kind;
    // The step response's load as typed; a family of step.load gives each
    // member its value instead.
    std::string loadText;
    RandomSources sources;
};

struct FamilyResult {
    // In the values' order; empty when cancelled.
    std::vector<FamilyMember> members;
    bool cancelled = false;
    // The request's sources after the members took theirs.
    RandomSources sources;
};

// What a family reports while it lasts, and how it is stopped. progress is
// told the steps made of all the members' steps, from any of the threads
// that run them, one call at a time.
struct FamilyControl {
    std::function<void(std::int64_t done, std::int64_t total)> progress;
    const std::atomic<bool>* cancel = nullptr;
};

// Makes the run of the kind once per value, with the base settings changed
// by the value, on up to threads threads at once (0: one per core; one
// where the x87 format is not the hardware's). A value
// that is not allowed, refused or fails is reported through its outcome
// and the others go on. Each member runs on a model of its own with random
// sources forked from the request's in the values' order, so the members
// are the same bits however many threads run them.
FamilyResult RunFamily(FamilyRequest request, const FamilyControl& control = {}, unsigned threads = 0);
