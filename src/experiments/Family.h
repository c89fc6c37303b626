#pragma once

#include "experiments/Settings.h"

#include <cstddef>
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
