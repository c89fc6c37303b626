// Sessions: the window's runs kept as recipes, written, read back and made
// again to the same bits; what a session file may not hold.

#include "cli/Texts.h"
#include "experiments/Experiments.h"
#include "experiments/Family.h"
#include "experiments/TomlFile.h"
#include "session/Session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::vector<double> Values(const Trace& trace)
{
    std::vector<double> values;
    for (const auto& point : trace.Points())
        values.push_back(point.y);
    return values;
}

// Sources part-way through their sequences, as a window's are after some
// runs: the clock's seed and an odd number of Gaussian draws, so the
// distribution keeps the second variate of its last pair.
RandomSources UsedSources()
{
    RandomSources sources;
    sources.integer.srand(1733650000);
    for (int i = 0; i < 1001; ++i)
        UniformLoad(sources.integer);
    for (int i = 0; i < 7; ++i)
        GaussianLoad(sources.normal);
    return sources;
}

struct SourcesCase {
    const char* name;
    RandomSources sources;
};

class SourcesState : public testing::TestWithParam<SourcesCase> {};

TEST_P(SourcesState, RestoredSourcesDrawWhatTheOriginalsDraw)
{
    RandomSources original = GetParam().sources;
    RandomSources restored;
    ASSERT_TRUE(restored.Restore(original.State()));
    EXPECT_EQ(restored, original);
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(GaussianLoad(restored.normal), GaussianLoad(original.normal));
        ASSERT_EQ(UniformLoad(restored.integer), UniformLoad(original.integer));
    }
    EXPECT_EQ(restored.Fork(), original.Fork());
}

INSTANTIATE_TEST_SUITE_P(Cases, SourcesState,
                         testing::Values(SourcesCase{"Fresh", RandomSources{}}, SourcesCase{"Used", UsedSources()},
                                         SourcesCase{"Forked", UsedSources().Fork()}),
                         [](const auto& test) { return std::string(test.param.name); });

// Texts that are not states, each changing nothing.
TEST(SourcesState, RefusesWhatIsNotAState)
{
    const std::string state = UsedSources().State();
    const std::string integer = state.substr(0, state.find('|'));
    const std::string normal = state.substr(state.find('|') + 1);
    std::string zeros;
    for (int i = 0; i < 624; ++i)
        zeros += "0 ";
    zeros += "624";
    const std::vector<std::string> refused{
        "",
        integer,
        "1 2 3|" + normal,
        integer + '|' + normal.substr(0, normal.find(';')),
        "x" + state,
        // A word wider than the engine's 32 bits.
        "4294967296" + integer.substr(integer.find(' ')) + '|' + normal,
        // The engine's index beyond its state.
        integer.substr(0, integer.rfind(' ')) + " 625|" + normal,
        // All zeros draw zeros for ever.
        zeros + '|' + normal,
        // The distribution's own parameters are the standard ones.
        integer + '|' + normal.substr(0, normal.find(';')) + ";2 1 0 0",
        integer + '|' + normal.substr(0, normal.find(';')) + ";0 1 2 0",
        integer + '|' + normal.substr(0, normal.find(';')) + ";0 1 1 inf",
        state + " 5",
    };
    for (const std::string& text : refused) {
        RandomSources sources = UsedSources();
        EXPECT_FALSE(sources.Restore(text)) << text.substr(0, 80);
        EXPECT_EQ(sources, UsedSources());
    }
}

// A session of every kind of entry: runs of each kind, one with a hidden
// trace, a pinned run with one trace left, a family's pinned members, a
// zoom, seconds, and texts that need escaping.
Session FullSession()
{
    Session session;
    session.settings.model.J = 0.0344;
    session.settings.run.steps = 1500;
    session.loadText = "12 \"\\\t";
    RandomSources sources = UsedSources();
    auto recipe = [&](RunKind kind, Settings settings, std::string load) {
        RunRecipe made{kind, std::move(settings), std::move(load), sources};
        sources = RunExperiment({kind, made.settings, made.loadText, sources}).sources;
        return made;
    };
    Settings ramp = session.settings;
    ramp.step.profile = LoadProfile::Ramp;
    ramp.step.ramp = 100;
    session.runs = {{recipe(RunKind::Gauss, session.settings, "12 \"\\\t"), {true, false}},
                    {recipe(RunKind::Uniform, session.settings, "12"), {true, true}},
                    {recipe(RunKind::Step, ramp, "20"), {false, true}}};
    session.pins.push_back({recipe(RunKind::Gauss, Settings{}, ""), std::nullopt,
                            {{Quantity::Omega, "Omega (Gauss) (2)", kPinPalette[1], false}}});
    const FamilyResult family =
        RunFamily({Settings{}, "step.load", {"0", "15"}, RunKind::Step, "10", sources}, {}, 1);
    for (const FamilyMember& member : family.members)
        session.pins.push_back({member.run->Recipe(),
                                member.place,
                                {{Quantity::Md, "Md (Mc=" + member.place.value + ")", FamilyColour(member.place.index, 2)},
                                 {Quantity::Omega, "Omega (Mc=" + member.place.value + ")",
                                  FamilyColour(member.place.index, 2)}}});
    session.sources = family.sources;
    session.units = {.seconds = true, .titles = true, .secondsPerStep = 0.001};
    session.zoom = AxisRanges{{100.5, 900.25}, {-3.0, 1e3}};
    // A hash with a leading zero digit, and a heading holding "=".
    session.measured = {"bench/start \"1\".csv", 0x0123456789abcdefULL, {"time_s=t", "n=rpm=Omega"}};
    return session;
}

// A d-q machine's run with its currents shown, and a pin of its Md and
// phase a's current.
Session DqSession()
{
    Session session;
    session.settings.kind = ModelKind::Dq;
    session.settings.run.steps = 300;
    const RunRecipe recipe{RunKind::Step, session.settings, "20", UsedSources()};
    session.runs = {{recipe, {true, false, true, false}}};
    session.pins = {{recipe, std::nullopt,
                     {{Quantity::Md, "Md (Mc=20)", kPinPalette[0]}, {Quantity::ia, "ia (Mc=20)", kPinPalette[1], false}}}};
    return session;
}

TEST(SessionFile, ReadsBackWhatItWroteToTheBit)
{
    Session noted;
    noted.report = {"Группа 3\nВариант \"7\"\t\\", true};
    for (const Session& session : {Session{}, FullSession(), DqSession(), noted}) {
        const std::string text = SessionText(session, "1.0");
        const Session read = ParseSession(text, "lab.toml");
        EXPECT_EQ(read, session);
        EXPECT_EQ(SessionText(read, "1.0"), text);
    }
}

// The style for reports is written only while on, so a session saved
// without it, or before it was there, reads as before; on, it reads back.
TEST(SessionFile, KeepsTheReportStyleOnlyWhileOn)
{
    for (bool report : {false, true}) {
        Session session = FullSession();
        session.units.report = report;
        const std::string text = SessionText(session, "1.0");
        EXPECT_EQ(text.find("report = true") != std::string::npos, report);
        EXPECT_EQ(text.find("report") != std::string::npos, report) << "nothing written while off";
        EXPECT_EQ(ParseSession(text, "lab.toml").units.report, report);
    }
    Session session = FullSession();
    session.units.report = true;
    std::string text = SessionText(session, "1.0");
    text.replace(text.find("report = true"), 13, "report = 1");
    EXPECT_THROW(ParseSession(text, "lab.toml"), SettingsError) << "a flag is true or false";
}

// The recipes make again what the runs made, random runs and a family's
// members included, so the chart a session shows is the chart saved.
TEST(SessionFile, RecipesMakeTheSameRuns)
{
    const Session session = ParseSession(SessionText(FullSession(), "1.0"), "lab.toml");
    const SessionResults again = RunSession(session);
    ASSERT_EQ(again.runs.size(), 3u);
    ASSERT_EQ(again.pins.size(), 3u);
    auto expectSame = [](const RunResult& run, const RunRecipe& recipe) {
        const RunResult made = RunExperiment({recipe.kind, recipe.settings, recipe.loadText, recipe.sources});
        for (Quantity quantity : kQuantities)
            EXPECT_EQ(Values(run.Of(quantity)), Values(made.Of(quantity)));
        EXPECT_EQ(run.Recipe(), recipe);
    };
    for (std::size_t i = 0; i < session.runs.size(); ++i)
        expectSame(again.runs[i], session.runs[i].recipe);
    for (std::size_t i = 0; i < session.pins.size(); ++i)
        expectSame(again.pins[i], session.pins[i].recipe);
    // The family's members, made again, are the members as the family made
    // them.
    const FamilyResult family = RunFamily(
        {Settings{}, "step.load", {"0", "15"}, RunKind::Step, "10", session.pins[0].recipe.sources}, {}, 2);
    EXPECT_EQ(Values(again.pins[2].Of(Quantity::Omega)), Values(family.members[1].run->Of(Quantity::Omega)));
}

// A d-q run's session names the model and its settings, reads back to
// the bit and makes the run again, its currents too; a three-state
// session names neither, as sessions always did.
TEST(SessionFile, KeepsTheModelOfItsRuns)
{
    Session session;
    session.settings.kind = ModelKind::Dq;
    session.settings.dq.Rr = 0.08;
    session.settings.run.steps = 3000;
    const RunRecipe recipe{RunKind::Step, session.settings, "20", {}};
    session.runs = {{recipe, {true, true}}};
    const std::string text = SessionText(session, "1.0");
    EXPECT_NE(text.find("kind = \"dq\"\n"), std::string::npos);
    EXPECT_EQ(text.find("\nMk ="), std::string::npos) << "the three-state model's settings are left out";
    const Session read = ParseSession(text, "lab.toml");
    EXPECT_EQ(read, session);
    const RunResult again = RunSession(read).runs.at(0);
    const RunResult made = RunExperiment({recipe.kind, recipe.settings, recipe.loadText, recipe.sources});
    ASSERT_EQ(again.Of(Quantity::ia).Size(), 3000u);
    for (const Quantity quantity : kDqQuantities)
        EXPECT_EQ(Values(again.Of(quantity)), Values(made.Of(quantity))) << QuantityName(quantity);
    const std::string threeState = SessionText(FullSession(), "1.0");
    for (const char* name : {"kind = \"dq\"", "kind = \"three-state\"", "\nRs =", "\nintegrator ="})
        EXPECT_EQ(threeState.find(name), std::string::npos) << name;
}

TEST(SessionFile, CsvListsTheShownTracesInTheChartsOrder)
{
    Session session;
    session.runs = {{{RunKind::Step, Settings{}, "10", {}}, {false, true}}};
    session.runs[0].recipe.settings.run.steps = 3;
    session.pins = {{{RunKind::Step, session.runs[0].recipe.settings, "20", {}},
                     std::nullopt,
                     {{Quantity::Md, "Md (Mc=20)", kPinPalette[0]}}}};
    const SessionResults results = RunSession(session);
    auto csvOf = [&] {
        std::string csv;
        WriteSessionCsv(session, results, kPlainCsv, [&csv](std::string_view piece) { csv += piece; });
        return csv;
    };
    const std::string csv = csvOf();
    EXPECT_EQ(csv.substr(0, csv.find('\n')), "step,Omega (Step),Md (Mc=20)");
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4);
    session.units.seconds = true;
    const std::string timed = csvOf();
    EXPECT_EQ(timed.substr(0, timed.find('\n')), "step,t,Omega (Step),Md (Mc=20)");
}

// A session text changed by one replacement, and what its reading says.
struct RefusedCase {
    const char* name;
    const char* from;
    const char* to;
    const char* message;
};

void PrintTo(const RefusedCase& c, std::ostream* out) { *out << c.name; }

class RefusedSession : public testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedSession, NamesTheLineAndWhatIsWrong)
{
    const RefusedCase& c = GetParam();
    std::string text = SessionText(FullSession(), "1.0");
    const std::size_t at = text.find(c.from);
    ASSERT_NE(at, std::string::npos) << c.from;
    text.replace(at, std::string_view(c.from).size(), c.to);
    try {
        ParseSession(text, "lab.toml");
        ADD_FAILURE() << "read";
    } catch (const SettingsError& error) {
        std::string message = cli::ErrorText(error.Cause());
        // The column aside: the line is what the reader looks for.
        message.erase(message.find(':', message.find(':') + 1), message.find(": ") - message.find(':', message.find(':') + 1));
        EXPECT_EQ(message, c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedSession,
    testing::Values(
        RefusedCase{"NewerFormat", "format = 2", "format = 3",
                    "lab.toml:2: a session of format 3 is from a newer version; this one reads format 2"},
        RefusedCase{"FormatZero", "format = 2", "format = 0",
                    "lab.toml:2: 'format' is missing or not as the program writes a session"},
        RefusedCase{"NoFormat", "format = 2", "", "lab.toml:1: 'format' is missing or not as the program writes a session"},
        RefusedCase{"LinesLost", "pins = 3", "pins = 16",
                    "lab.toml:303: 'holds.pins' says 16, but the session holds 3: part of the file is lost"},
        RefusedCase{"Damaged", "titles = true", "titles = \"true",
                    "lab.toml:9: Error while parsing string: unescaped control characters other than TAB (U+0009) are "
                    "explicitly prohibited"},
        RefusedCase{"UnknownKind", "kind = \"Uniform\"", "kind = \"Even\"",
                    "lab.toml:84: 'runs.kind' is missing or not as the program writes a session"},
        RefusedCase{"RunsOutOfOrder", "kind = \"Uniform\"", "kind = \"Gauss\"",
                    "lab.toml:83: 'runs.kind' is missing or not as the program writes a session"},
        RefusedCase{"BadSources", "sources = \"", "sources = \"9",
                    "lab.toml:5: 'sources' is missing or not as the program writes a session"},
        RefusedCase{"SettingNotAllowed", "J = 0.0344", "J = -1", "lab.toml:19: model.J must be a number above 0, not -1"},
        RefusedCase{"UnknownKey", "titles = true", "title = true",
                    "lab.toml:9: there is no setting 'view.title'; did you mean 'view.titles'?"},
        RefusedCase{"ZoomNotViewable", "zoom = [100.5", "zoom = [1e300",
                    "lab.toml:11: 'view.zoom' is missing or not as the program writes a session"},
        RefusedCase{"FamilyIndexPastCount", "index = 1", "index = 2",
                    "lab.toml:256: 'pins.family.index' is missing or not as the program writes a session"},
        RefusedCase{"TracesOutOfOrder", "quantity = \"Omega\"\nheading = \"Omega (Mc=0)\"",
                    "quantity = \"Md\"\nheading = \"Omega (Mc=0)\"",
                    "lab.toml:212: 'pins.traces.quantity' is missing or not as the program writes a session"},
        // The three-state model reports no currents.
        RefusedCase{"HashShort", "hash = \"0123456789abcdef\"", "hash = \"123456789abcdef\"",
                    "lab.toml:15: 'measured.hash' is missing or not as the program writes a session"},
        RefusedCase{"HashNotLowerCase", "hash = \"0123456789abcdef\"", "hash = \"0123456789ABCDEF\"",
                    "lab.toml:15: 'measured.hash' is missing or not as the program writes a session"},
        RefusedCase{"HashAsNumber", "hash = \"0123456789abcdef\"", "hash = 81985529216486895",
                    "lab.toml:15: 'measured.hash' is missing or not as the program writes a session"},
        RefusedCase{"MappingWithoutRole", "\"n=rpm=Omega\"", "\"n=rpm=\"",
                    "lab.toml:16: 'measured.mappings' is missing or not as the program writes a session"},
        RefusedCase{"MappingWithoutColumn", "\"time_s=t\"", "\"=t\"",
                    "lab.toml:16: 'measured.mappings' is missing or not as the program writes a session"},
        RefusedCase{"UnknownMeasuredKey", "mappings = [", "mapping = [",
                    "lab.toml:16: there is no setting 'measured.mapping'; did you mean 'measured.mappings'?"},
        RefusedCase{"CurrentOfAThreeStateRun", "shown_Omega = false\n", "shown_Omega = false\nshown_Is = true\n",
                    "lab.toml:53: 'runs.shown_Is' is missing or not as the program writes a session"},
        RefusedCase{"CurrentOfAThreeStatePin", "quantity = \"Omega\"\nheading = \"Omega (Gauss) (2)\"",
                    "quantity = \"Is\"\nheading = \"Omega (Gauss) (2)\"",
                    "lab.toml:161: 'pins.traces.quantity' is missing or not as the program writes a session"}),
    [](const auto& test) { return std::string(test.param.name); });

struct MeasuredPathCase {
    const char* name;
    const char* session;
    const char* file;
    // As the session names the file.
    const char* named;
};

void PrintTo(const MeasuredPathCase& c, std::ostream* out) { *out << c.name; }

class MeasuredPath : public testing::TestWithParam<MeasuredPathCase> {};

// The data file is named relative to the session's folder when it lies
// within it, else absolute, and read back as the same file.
TEST_P(MeasuredPath, IsNamedRelativeWithinTheSessionsFolder)
{
    const MeasuredPathCase& c = GetParam();
    const std::string named = FileInSession(c.file, c.session);
    EXPECT_EQ(named, c.named);
    EXPECT_EQ(std::filesystem::path(FileOfSession(named, c.session)),
              std::filesystem::absolute(c.file).lexically_normal());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MeasuredPath,
    testing::Values(MeasuredPathCase{"Beside", "/lab/a.session.toml", "/lab/start.csv", "start.csv"},
                    MeasuredPathCase{"Below", "/lab/a.session.toml", "/lab/bench/./start.csv", "bench/start.csv"},
                    MeasuredPathCase{"Above", "/lab/a.session.toml", "/start.csv", "/start.csv"},
                    MeasuredPathCase{"SiblingFolder", "/lab/a.session.toml", "/labs/start.csv", "/labs/start.csv"},
                    MeasuredPathCase{"OutAndBack", "/lab/a.session.toml", "/lab/../other/start.csv", "/other/start.csv"},
                    MeasuredPathCase{"BothRelative", "a.session.toml", "bench/start.csv", "bench/start.csv"}),
    [](const auto& row) { return std::string(row.param.name); });

// Saved and opened again, the data file is named relative to the session
// and read back as the path the window opened.
TEST(SessionFile, KeepsTheMeasuredFileBesideTheSession)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "motormodel-session-measured";
    std::filesystem::create_directories(folder);
    Session session = DqSession();
    session.measured = {(folder / "start.csv").string(), 42, {}};
    const std::string path = (folder / "lab.session.toml").string();
    SaveSession(path, session, "1.0");
    EXPECT_NE(ReadBoundedFile(path).find("\n[measured]\nfile = \"start.csv\"\nhash = \"000000000000002a\"\nmappings = []\n"),
              std::string::npos);
    EXPECT_EQ(LoadSession(path), session);
    std::filesystem::remove_all(folder);
}

// Cut short after any line, a session is refused; one written before
// sessions said what they hold reads as it did.
TEST(SessionFile, CutShortIsRefusedAtEveryLine)
{
    const std::string text = SessionText(FullSession(), "1.0");
    for (std::size_t end = text.find('\n'); end + 1 < text.size(); end = text.find('\n', end + 1))
        EXPECT_THROW(ParseSession(std::string_view(text).substr(0, end + 1), "cut.toml"), SettingsError) << end;
    try {
        ParseSession(text.substr(0, text.find("[holds]")), "cut.toml");
        ADD_FAILURE() << "read";
    } catch (const SettingsError& error) {
        EXPECT_EQ(cli::ErrorText(error.Cause()), "cut.toml: the session is cut short: it lacks the [holds] table that "
                                                 "every session ends with; the file was not written or copied whole");
    }
    std::string earlier = text.substr(0, text.find("\n[holds]") + 1);
    earlier.replace(earlier.find("format = 2"), 10, "format = 1");
    EXPECT_EQ(ParseSession(earlier, "earlier.toml"), FullSession());
}

TEST(SessionFile, HoldsAtMostTheMostRuns)
{
    Session session;
    const SessionPin pin{{RunKind::Gauss, Settings{}, "", {}}, std::nullopt, {{Quantity::Md, "Md", clRed}}};
    session.pins.assign(Session::kMostRuns, pin);
    EXPECT_EQ(ParseSession(SessionText(session, "1.0"), "s.toml").pins.size(), Session::kMostRuns);
    session.pins.push_back(pin);
    try {
        ParseSession(SessionText(session, "1.0"), "s.toml");
        ADD_FAILURE() << "read";
    } catch (const SettingsError& error) {
        EXPECT_EQ(error.Cause().kind, ProblemKind::BadEntry);
        EXPECT_EQ(error.Cause().setting, "pins");
    }
}

} // namespace
