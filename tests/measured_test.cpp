#include "lab/Measured.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using lab::MeasuredFault;

struct DialectCase {
    const char* name;
    std::string text;
    std::vector<lab::ColumnMapping> mappings;
    std::vector<double> times;
    Quantity quantity;
    std::vector<double> values;
};

// Every dialect a bench or a spreadsheet writes, read to the same numbers.
TEST(MeasuredDialects, ReadToTheSameNumbers)
{
    const std::vector<DialectCase> cases{
        {"the batch tool's --time CSV", "step,t,Md,Omega\n0,0.001,1.5,0\n1,0.002,2.5,0.25\n", {}, {0.001, 0.002},
         Quantity::Omega, {0, 0.25}},
        {"the Russian locale's, quoted", "step;t;Md;Omega\n0;\"0,001\";\"1,5\";0\n1;\"0,002\";\"2,5\";\"0,25\"\n", {},
         {0.001, 0.002}, Quantity::Md, {1.5, 2.5}},
        {"semicolons with points", "t;Is\n0.5;10\n0.75;-1e2\n", {}, {0.5, 0.75}, Quantity::Is, {10, -100}},
        {"tabs with commas, CRLF and a BOM", "\xEF\xBB\xBFt\tia\r\n0,5\t+3\r\n\r\n1\t4,25\r\n", {}, {0.5, 1},
         Quantity::ia, {3, 4.25}},
        {"mapped headings, other columns left out", "time_s,speed_rad_s,temp\n0,1,20\n0.25,2,21\n",
         {{"time_s", {}}, {"speed_rad_s", {Quantity::Omega}}}, {0, 0.25}, Quantity::Omega, {1, 2}},
        {"uneven times, an empty cell", "t,Md,Omega\n0,1,5\n0.001,,6\n0.0035,3,7\n", {}, {0, 0.001, 0.0035},
         Quantity::Md, {1, NAN, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const lab::Measured m = lab::ParseMeasured(c.text, "bench.csv", c.mappings);
        EXPECT_EQ(m.times, c.times);
        ASSERT_TRUE(m.Has(c.quantity));
        const auto& values = m.Of(c.quantity);
        ASSERT_EQ(values.size(), c.values.size());
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_TRUE(values[i] == c.values[i] || (std::isnan(values[i]) && std::isnan(c.values[i]))) << i;
        EXPECT_EQ(m.file, "bench.csv");
        EXPECT_EQ(m.hash, lab::ContentHash(c.text));
    }
}

struct ErrorCase {
    const char* name;
    std::string text;
    std::vector<lab::ColumnMapping> mappings;
    lab::MeasuredProblem problem;
};

// Each refusal names the file, the line, the column and what was found.
TEST(MeasuredErrors, NameWhereAndWhat)
{
    const std::vector<ErrorCase> cases{
        {"empty", " \n\n", {}, {MeasuredFault::Empty, "m.csv"}},
        {"no time", "step,Md\n0,1\n", {}, {MeasuredFault::NoTime, "m.csv", 1, 0, "step, Md"}},
        {"no quantity", "t,speed\n0,1\n", {}, {MeasuredFault::NoQuantity, "m.csv", 1, 0, "t, speed"}},
        {"mapping an absent column", "t,Md\n0,1\n", {{"speed", {Quantity::Omega}}},
         {MeasuredFault::UnknownColumn, "m.csv", 1, 0, "speed"}},
        {"two columns of one quantity", "t,Md,torque\n0,1,2\n", {{"torque", {Quantity::Md}}},
         {MeasuredFault::RoleTwice, "m.csv", 1, 3, "torque"}},
        {"a short row", "t,Md\n0,1\n\n1\n", {}, {MeasuredFault::FieldCount, "m.csv", 4, 0, "", 1, 2}},
        {"a word for a number", "t,Md\n0,1\n1,abc\n", {}, {MeasuredFault::NotANumber, "m.csv", 3, 2, "abc"}},
        {"a decimal comma after commas", "t,Md\n0,1\n1,\"2,5\"\n", {}, {MeasuredFault::NotANumber, "m.csv", 3, 2, "2,5"}},
        {"infinity", "t;Md\n0;1\n1;inf\n", {}, {MeasuredFault::NotANumber, "m.csv", 3, 2, "inf"}},
        {"time standing still", "t,Md\n0,1\n0,2\n", {}, {MeasuredFault::TimeNotIncreasing, "m.csv", 3, 1, "0"}},
        {"time going back", "t,Md\n1,1\n0.5,2\n", {}, {MeasuredFault::TimeNotIncreasing, "m.csv", 3, 1, "0.5"}},
        {"a missing time", "t,Md\n0,1\n,2\n", {}, {MeasuredFault::TimeMissing, "m.csv", 3, 1}},
        {"one sample", "t,Md\n0,1\n", {}, {MeasuredFault::TooFewSamples, "m.csv", 0, 0, "", 2}},
        {"binary data", "t,Md\n0,1\n1,\x01\n", {}, {MeasuredFault::BinaryData, "m.csv", 3, 3, "0x01"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            lab::ParseMeasured(c.text, "m.csv", c.mappings);
            ADD_FAILURE() << "read";
        } catch (const lab::MeasuredError& e) {
            EXPECT_EQ(e.Cause(), c.problem);
        }
    }
}

TEST(MeasuredFiles, UnreadableAndMappingsAndHeadings)
{
    try {
        lab::ReadMeasured("/nonexistent/bench.csv");
        ADD_FAILURE() << "read";
    } catch (const lab::MeasuredError& e) {
        EXPECT_EQ(e.Cause().fault, MeasuredFault::CannotRead);
        EXPECT_EQ(e.Cause().file, "/nonexistent/bench.csv");
    }
    EXPECT_EQ(lab::ParseMapping("speed (rad/s)=Omega"), (lab::ColumnMapping{"speed (rad/s)", {Quantity::Omega}}));
    EXPECT_EQ(lab::ParseMapping("a=b=t"), (lab::ColumnMapping{"a=b", {}}));
    EXPECT_EQ(lab::ParseMapping("speed=omega"), std::nullopt);
    EXPECT_EQ(lab::ParseMapping("=Md"), std::nullopt);
    EXPECT_EQ(lab::ColumnsOf("\xEF\xBB\xBF\"time; s\";U 1;I\r\n1;2;3\n"), (std::vector<std::string>{"time; s", "U 1", "I"}));
    EXPECT_EQ(lab::ContentHash(""), "cbf29ce484222325"); // FNV-1a's offset basis
    EXPECT_EQ(lab::ContentHash("a"), "af63dc4c8601ec8c"); // the published test vector
}

// The dialog's first guess: a time in seconds by any usual heading, and
// nothing a time in other units or a name that only starts like one.
TEST(MeasuredFiles, GuessesTimeHeadingsInSeconds)
{
    const std::vector<std::pair<std::string_view, std::optional<lab::ColumnRole>>> cases{
        {"t", lab::ColumnRole{}},        {"time", lab::ColumnRole{}},       {"TIME", lab::ColumnRole{}},
        {"time_s", lab::ColumnRole{}},   {"t_s", lab::ColumnRole{}},        {"Time [s]", lab::ColumnRole{}},
        {"t, s", lab::ColumnRole{}},     {" t (sec) ", lab::ColumnRole{}},  {"Время, с", lab::ColumnRole{}},
        {"Omega", lab::ColumnRole{Quantity::Omega}},                        {"omega", std::nullopt},
        {"time_ms", std::nullopt},       {"t [min]", std::nullopt},         {"timestamp", std::nullopt},
        {"temp", std::nullopt},          {"", std::nullopt},
    };
    for (const auto& [heading, role] : cases)
        EXPECT_EQ(lab::GuessedRole(heading), role) << heading;
}

} // namespace
