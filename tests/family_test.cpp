#include "experiments/Family.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct ValuesCase {
    const char* text;
    std::vector<std::string> values;
    const char* error = ""; // part of the message when the text is refused
    const char* shown = ""; // and of the window's message
};

void PrintTo(const ValuesCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }

class FamilyValues : public testing::TestWithParam<ValuesCase> {};

TEST_P(FamilyValues, ParseAsWrittenOrNameWhatIsAllowed)
{
    const ValuesCase& c = GetParam();
    if (*c.error == '\0') {
        EXPECT_EQ(ParseFamilyValues(c.text), c.values);
        return;
    }
    try {
        ParseFamilyValues(c.text);
        ADD_FAILURE() << "accepted";
    } catch (const SettingsError& error) {
        EXPECT_NE(std::string(error.what()).find(c.error), std::string::npos) << error.what();
        EXPECT_NE(error.WindowText().find(c.shown), std::string::npos) << error.WindowText();
    }
}

INSTANTIATE_TEST_SUITE_P(
    ListsAndRanges, FamilyValues,
    testing::Values(
        ValuesCase{"0, 10, 20.5, 30", {"0", "10", "20.5", "30"}},
        ValuesCase{"0:30:10", {"0", "10", "20", "30"}},
        ValuesCase{" step , \"fan\" ", {"step", "\"fan\""}},
        // B is reached although 3 * 0.1 is 0.30000000000000004 in double.
        ValuesCase{"0:0.3:0.1", {"0", "0.1", "0.2", "0.30000000000000004"}},
        ValuesCase{"0:1000:1", {}, "a family holds at most 1000 values", "в семействе не больше 1000 значений"},
        ValuesCase{"0:30:0", {}, "values '0:30:0': STEP must be above 0", "значения '0:30:0': STEP должен быть больше 0"},
        ValuesCase{"30:0:10", {}, "B must not be below A", "B не может быть меньше A"},
        ValuesCase{"0:x:1", {}, "A:B:STEP needs three finite numbers", "в A:B:STEP нужны три конечных числа"},
        ValuesCase{"", {}, "with none left empty", "нужен список значений через запятую, без пустых"}));

TEST(FamilyValues, HoldAThousandAtMost)
{
    const std::vector<std::string> values = ParseFamilyValues("0:999:1");
    ASSERT_EQ(values.size(), 1000u);
    EXPECT_EQ(values.back(), "999");
    std::string list = "0";
    for (int i = 0; i < 1000; ++i)
        list += ",0";
    EXPECT_THROW(ParseFamilyValues(list), SettingsError) << "1001 values";
}

// A member is named by the setting's short name, the load by Mc as the
// chart names a step response's pin.
TEST(FamilyMember, IsNamedByItsSettingAndValue)
{
    EXPECT_EQ(FamilyMemberLabel("step.load", "20"), "Mc=20");
    EXPECT_EQ(FamilyMemberLabel("model.J", "0.0344"), "J=0.0344");
    EXPECT_EQ(FamilyMemberLabel("step.profile", "fan"), "profile=fan");
}

} // namespace
