#include "ExactValues.h"

#include "cli/Texts.h"

#include "experiments/Experiments.h"
#include "experiments/Family.h"
#include "toolkit/Conversions.h"
#include "plot/Colour.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace {

struct ValuesCase {
    const char* text;
    std::vector<std::string> values;
    const char* error = ""; // part of the message when the text is refused
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
        const std::string message = cli::ErrorText(error.Cause());
        EXPECT_NE(message.find(c.error), std::string::npos) << message;
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
        ValuesCase{"0:1000:1", {}, "values '0:1000:1': a family holds at most 1000 values"},
        ValuesCase{"0:30:0", {}, "values '0:30:0': STEP must be above 0"},
        ValuesCase{"30:0:10", {}, "values '30:0:10': B must not be below A"},
        ValuesCase{"0:x:1", {}, "values '0:x:1': A:B:STEP needs three finite numbers"},
        ValuesCase{"0:1", {}, "values '0:1': a range is A:B:STEP"},
        ValuesCase{"", {}, "values '': a list of values separated by commas, with none left empty"}));

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

namespace {

// How a member is expected to come out: ran as a plain run with this load
// text and these settings would, or left out with a message holding error.
struct ExpectedMember {
    MemberOutcome outcome;
    std::string loadOrError;
    Settings settings = {};
};

struct RunFamilyCase {
    const char* title;
    const char* name;
    const char* values;
    RunKind kind;
    Settings base;
    std::string loadText;
    std::vector<ExpectedMember> members;
};

void PrintTo(const RunFamilyCase& c, std::ostream* out) { *out << c.title; }

Settings WithLoad(std::int64_t load)
{
    Settings settings;
    settings.step.load = load;
    return settings;
}

Settings WithJ(double j)
{
    Settings settings;
    settings.model.J = j;
    return settings;
}

Settings Seeded(std::int64_t seed, std::int64_t steps = Settings{}.run.steps, double mean = GaussSettings{}.mean)
{
    Settings settings;
    settings.run.seed = seed;
    settings.run.steps = steps;
    settings.gauss.mean = mean;
    return settings;
}

bool SameBits(TracePoints a, TracePoints b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const TracePoint& p, const TracePoint& q) {
        return Bits(p.x) == Bits(q.x) && Bits(p.y) == Bits(q.y);
    });
}

FamilyRequest RequestOf(const RunFamilyCase& c)
{
    return {.base = c.base,
            .setting = c.name,
            .values = ParseFamilyValues(c.values),
            .kind = c.kind,
            .loadText = c.loadText,
            .sources = {}};
}

class RunFamilyTable : public testing::TestWithParam<RunFamilyCase> {};

// Every value comes back in order with its place; a member that ran holds,
// to the last bit, what a plain run with its settings makes, and one that
// did not says why.
TEST_P(RunFamilyTable, MembersComeInValueOrderAsPlainRunsOrWithWhyNot)
{
    const RunFamilyCase& c = GetParam();
    const FamilyRequest request = RequestOf(c);
    const FamilyResult family = RunFamily(request);
    ASSERT_EQ(family.members.size(), c.members.size());
    for (std::size_t i = 0; i < c.members.size(); ++i) {
        const FamilyMember& member = family.members[i];
        const ExpectedMember& expected = c.members[i];
        const std::string& value = request.values[i];
        EXPECT_EQ(member.place, (FamilyPlace{c.name, value, i, request.values.size()}));
        EXPECT_EQ(member.outcome, expected.outcome) << value;
        if (expected.outcome != MemberOutcome::Ran) {
            const std::string message = member.error ? cli::ErrorText(*member.error) : std::string();
            EXPECT_NE(message.find(expected.loadOrError), std::string::npos) << message;
            EXPECT_EQ(member.error.has_value(), expected.outcome != MemberOutcome::Refused)
                << "a refused load is told by the alert";
            continue;
        }
        EXPECT_FALSE(member.error);
        EXPECT_EQ(member.settings, expected.settings);
        const RunResult plain = RunExperiment({c.kind, expected.settings, expected.loadOrError, {}});
        for (Quantity quantity : kQuantities) {
            const auto& points = member.run->Of(quantity).Points();
            EXPECT_EQ(points.size(), static_cast<std::size_t>(expected.settings.run.steps));
            EXPECT_TRUE(SameBits(points, plain.Of(quantity).Points())) << value;
        }
    }
}

using enum MemberOutcome;

INSTANTIATE_TEST_SUITE_P(
    Families, RunFamilyTable,
    testing::Values(
        RunFamilyCase{"loads, the typed load unused",
                      "step.load",
                      "0, 10, 40, x, 20",
                      RunKind::Step,
                      {},
                      "5",
                      {{Ran, "0", WithLoad(0)},
                       {Ran, "10", WithLoad(10)},
                       {Refused, ""},
                       {NotAllowed, "step.load must be"},
                       {Ran, "20", WithLoad(20)}}},
        RunFamilyCase{"inertias, at the typed load",
                      "model.J",
                      "0.0172, 0.0344, -1",
                      RunKind::Step,
                      {},
                      "10",
                      {{Ran, "10", WithJ(0.0172)}, {Ran, "10", WithJ(0.0344)}, {NotAllowed, "model.J must be"}}},
        RunFamilyCase{"a load that overflows fails alone",
                      "step.load",
                      "-1000, 30",
                      RunKind::Step,
                      {},
                      "",
                      {{Failed, "Floating point overflow"}, {Ran, "30", WithLoad(30)}}},
        RunFamilyCase{"run lengths of a seeded uniform run",
                      "run.steps",
                      "500:1000:500",
                      RunKind::Uniform,
                      Seeded(7),
                      "",
                      {{Ran, "", Seeded(7, 500)}, {Ran, "", Seeded(7, 1000)}}},
        RunFamilyCase{"means of a seeded Gaussian run",
                      "gauss.mean",
                      "10, 20",
                      RunKind::Gauss,
                      Seeded(3),
                      "",
                      {{Ran, "", Seeded(3, 2000, 10)}, {Ran, "", Seeded(3, 2000, 20)}}}));

// The largest values of a family's step responses are those of the same
// loads typed one by one.
TEST(RunFamily, LoadFamilyReachesTheTypedLoadsMaxima)
{
    const FamilyResult family = RunFamily(
        {.base = {}, .setting = "step.load", .values = ParseFamilyValues("0:30:10"), .kind = RunKind::Step, .loadText = "", .sources = {}});
    for (const FamilyMember& member : family.members) {
        const StepMaxima& typed = StepMaximaOf(member.place.value);
        EXPECT_EQ(toolkit::FloatToStr(member.run->mdMax), typed.md) << member.place.value;
        EXPECT_EQ(toolkit::FloatToStr(member.run->omegaMax), typed.omega) << member.place.value;
    }
}

// However many threads make a family, its members are the same bits, and
// its sources come back the same: unseeded random runs draw from sources
// forked in the values' order.
TEST(RunFamily, IsTheSameBitsOnOneThreadAsOnMany)
{
    for (RunKind kind : {RunKind::Gauss, RunKind::Uniform, RunKind::Step}) {
        const FamilyRequest request{.base = {},
                                    .setting = "model.J",
                                    .values = ParseFamilyValues("0.01:0.03:0.0025"),
                                    .kind = kind,
                                    .loadText = "10",
                                    .sources = {}};
        const FamilyResult alone = RunFamily(request, {}, 1);
        const FamilyResult together = RunFamily(request, {}, 4);
        ASSERT_EQ(alone.members.size(), together.members.size());
        for (std::size_t i = 0; i < alone.members.size(); ++i) {
            for (Quantity quantity : kQuantities) {
                EXPECT_TRUE(SameBits(alone.members[i].run->Of(quantity).Points(),
                                     together.members[i].run->Of(quantity).Points()))
                    << RunOf(kind).name << " " << alone.members[i].place.value;
            }
        }
        RandomSources a = alone.sources;
        RandomSources b = together.sources;
        EXPECT_EQ(a.integer._lrand(), b.integer._lrand());
        EXPECT_EQ(a.normal.Draw(), b.normal.Draw());
        if (kind != RunKind::Step) {
            EXPECT_FALSE(SameBits(alone.members[0].run->Of(Quantity::Md).Points(),
                                  alone.members[1].run->Of(Quantity::Md).Points()))
                << "each member draws loads of its own";
        }
    }
}

TEST(RunFamily, StopsWhenAskedAndHandsNothingBack)
{
    std::atomic<bool> cancel = false;
    std::int64_t lastDone = 0;
    std::int64_t total = 0;
    const FamilyResult family =
        RunFamily({.base = {}, .setting = "step.load", .values = ParseFamilyValues("0:30:10"), .kind = RunKind::Step,
                   .loadText = "", .sources = {}},
                  {[&](std::int64_t done, std::int64_t all) {
                       lastDone = done;
                       total = all;
                       cancel = true;
                   },
                   &cancel},
                  1);
    EXPECT_TRUE(family.cancelled);
    EXPECT_TRUE(family.members.empty());
    EXPECT_EQ(total, 4 * 2000);
    EXPECT_EQ(lastDone, 2000) << "the first member was made, then the family stopped";
}

struct RampCase {
    std::size_t count;
    // The members that fall on the ramp's stops, in order.
    std::vector<std::size_t> onStops;
};

class FamilyRamp : public testing::TestWithParam<RampCase> {};

// The ends of the ramp go to the first and last member, the stops between
// to the members evenly between, and every member of a family of up to 24
// has a colour of its own.
TEST_P(FamilyRamp, SpreadsTheStopsEvenlyAndTellsMembersApart)
{
    const RampCase& c = GetParam();
    std::set<Colour> colours;
    for (std::size_t i = 0; i < c.count; ++i)
        colours.insert(FamilyColour(i, c.count));
    EXPECT_EQ(colours.size(), c.count);
    for (std::size_t stop = 0; stop < c.onStops.size(); ++stop)
        EXPECT_EQ(FamilyColour(c.onStops[stop], c.count), kFamilyRamp[stop]) << "stop " << stop;
}

INSTANTIATE_TEST_SUITE_P(Counts, FamilyRamp,
                         testing::Values(RampCase{1, {0}}, RampCase{2, {0}}, RampCase{4, {0, 1, 2, 3}},
                                         RampCase{7, {0, 2, 4, 6}}, RampCase{13, {0, 4, 8, 12}},
                                         RampCase{24, {0}}));

TEST(FamilyRamp, EndsOnItsLastStop)
{
    for (std::size_t count : {2u, 4u, 12u, 24u})
        EXPECT_EQ(FamilyColour(count - 1, count), kFamilyRamp.back()) << count;
}

} // namespace
