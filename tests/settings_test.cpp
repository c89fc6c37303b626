// The settings: what each allows, experiment files, and how the runs use them.

#include "analysis/StepCharacteristics.h"
#include "cli/Texts.h"
#include "experiments/ExperimentFile.h"
#include "experiments/Experiments.h"
#include "experiments/Experiments.h"
#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "experiments/SettingsTable.h"
#include "model/MotorModel.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace std::string_view_literals;

// A setting given as text, and the message it draws: empty when allowed.
struct SettingCase {
    const char* name;
    const char* text;
    const char* message;
};

void PrintTo(const SettingCase& c, std::ostream* out) { *out << c.name << '=' << c.text; }

class SettingText : public testing::TestWithParam<SettingCase> {};

TEST_P(SettingText, IsAllowedOrNamedWithItsValueAndWhatIsAllowed)
{
    const SettingCase& c = GetParam();
    Settings settings;
    try {
        SetSettingText(settings, c.name, c.text);
        CheckSettings(settings);
        EXPECT_STREQ(c.message, "") << "accepted";
    } catch (const SettingsError& error) {
        EXPECT_EQ(cli::ErrorText(error.Cause()), c.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingText,
    testing::Values(
        SettingCase{"model.J", "-1", "model.J must be a number above 0, not -1"},
        SettingCase{"model.J", "0.0344", ""},
        SettingCase{"model.Mk", "0", "model.Mk must be a number above 0, not 0"},
        SettingCase{"model.sk", "inf", "model.sk must be a number above 0, not inf"},
        SettingCase{"model.p", "nan", "model.p must be a whole number of at least 1, not nan"},
        SettingCase{"model.p", "2.5", "model.p must be a whole number of at least 1, not 2.5"},
        SettingCase{"model.p", "0", "model.p must be a whole number of at least 1, not 0"},
        SettingCase{"model.p", "2.0", ""},
        SettingCase{"model.dt", "abc", "model.dt must be a number above 0, not \"abc\""},
        SettingCase{"model.w0", "1e-320",
                    "model.sk / model.w0 must come out a finite number above 0, not inf (model.sk is 0.46, "
                    "model.w0 is 1e-320)"},
        SettingCase{"model.J", "[1]", "model.J must be a number above 0, not \"[1]\""},
        SettingCase{"run.steps", "0", "run.steps must be a whole number from 1 to 10000000, not 0"},
        SettingCase{"run.steps", "10000001", "run.steps must be a whole number from 1 to 10000000, not 10000001"},
        SettingCase{"run.steps", "2.5", "run.steps must be a whole number from 1 to 10000000, not 2.5"},
        SettingCase{"run.steps", "1_000_000", ""},
        SettingCase{"run.limit", "2147483648",
                    "run.limit must be a whole number from -2147483648 to 2147483647, not 2147483648"},
        SettingCase{"run.seed", "4294967295", ""},
        SettingCase{"run.seed", "-1", "run.seed must be a whole number from 0 to 4294967295, not -1"},
        SettingCase{"gauss.mean", "-inf", "gauss.mean must be a finite number, not -inf"},
        SettingCase{"gauss.sd", "0", "gauss.sd must be a number above 0, not 0"},
        SettingCase{"uniform.high", "11", "uniform.high must be a finite number of at least uniform.low (12), not 11"},
        SettingCase{"uniform.high", "12", ""},
        SettingCase{"uniform.levels", "1", "uniform.levels must be a whole number from 2 to 1000000, not 1"},
        SettingCase{"step.load", "31", ""},
        SettingCase{"step.profile", "fan", ""},
        SettingCase{"step.profile", "\"periodic\"", ""},
        SettingCase{"step.profile", "Ramp",
                    "step.profile must be one of \"step\", \"ramp\", \"fan\", \"periodic\", not \"Ramp\""},
        SettingCase{"step.on", "1001", "step.on must be a whole number from 0 to step.off (1000), not 1001"},
        SettingCase{"step.off", "2001", "step.off must be a whole number from step.on (0) to run.steps (2000), not 2001"},
        SettingCase{"step.ramp", "-1", "step.ramp must be a whole number from 0 to run.steps (2000), not -1"},
        SettingCase{"step.k", "nan", "step.k must be a finite number, not nan"},
        SettingCase{"step.period", "0.5", "step.period must be a finite number of at least 1, not 0.5"},
        SettingCase{"model.j", "1", "there is no setting 'model.j'; did you mean 'model.J'?"},
        SettingCase{"step.of", "1", "there is no setting 'step.of'; did you mean 'step.on'?"}));

// Settings given together, and every problem they have: the setting each
// is about, then the others it names.
struct ProblemsCase {
    std::vector<const char*> sets;
    // Settings whose values are not known, as a field whose text is refused.
    std::vector<std::string> unjudged;
    std::vector<std::vector<std::string>> named;
};

TEST(Settings, EveryProblemIsFoundAndNamesTheSettingsItIsAbout)
{
    const std::vector<ProblemsCase> cases = {
        // Each setting on its own: one refused hides no other.
        {{"model.Mk=-1", "run.steps=0", "gauss.sd=0"}, {}, {{"model.Mk"}, {"run.steps"}, {"gauss.sd"}}},
        // A rule between settings names both.
        {{"run.steps=500", "step.off=600"}, {}, {{"step.off", "run.steps"}}},
        {{"uniform.high=11"}, {}, {{"uniform.high", "uniform.low"}}},
        {{"model.w0=1e-320"}, {}, {{"model.sk", "model.w0"}}},
        // A rule that follows a setting found wanting is not judged twice.
        {{"step.on=1200", "step.off=1100"}, {}, {{"step.on", "step.off"}}},
        {{"uniform.low=nan"}, {}, {{"uniform.low"}}},
        {{"uniform.high=nan"}, {}, {{"uniform.high"}}},
        {{"model.sk=-1", "model.w0=1e-320"}, {}, {{"model.sk"}}},
        // Nor one that follows a setting whose value is not known.
        {{"step.off=2500"}, {"run.steps"}, {}},
    };
    for (const ProblemsCase& c : cases) {
        Settings settings;
        std::string given;
        for (const char* set : c.sets) {
            const std::string_view text(set);
            const std::size_t equals = text.find('=');
            SetSettingText(settings, text.substr(0, equals), text.substr(equals + 1));
            given += std::string(set) + ' ';
        }
        SCOPED_TRACE(given);
        std::vector<std::vector<std::string>> named;
        for (const Problem& problem : SettingsProblems(settings, c.unjudged))
            named.push_back(SettingsNamed(problem));
        EXPECT_EQ(named, c.named);
    }
}

TEST(Settings, DefaultsAreTheOriginalConstants)
{
    const Settings defaults;
    EXPECT_EQ(Bits(defaults.model.w0), 0x4073A26666666667u);
    EXPECT_EQ(defaults.LoadOff(), 1000);
    Settings shortRun;
    SetSettingText(shortRun, "run.steps", "300");
    EXPECT_EQ(shortRun.LoadOff(), 300) << "the load's end follows a run shorter than 1000 steps";
    EXPECT_NO_THROW(CheckSettings(defaults));
}

// A report marks the settings that differ from their defaults: none at
// the defaults, and just the one changed, whichever it is, its value read
// back as set.
TEST(Settings, InForceMarkJustTheSettingsChanged)
{
    for (const SettingInForce& setting : SettingsInForce(Settings{}))
        EXPECT_FALSE(setting.changed) << setting.spec->name;
    struct Change {
        std::string_view name;
        SettingValue value;
    };
    const std::vector<Change> changes{{"model.J", 0.05},      {"model.p", std::int64_t{3}},
                                      {"run.seed", std::int64_t{7}}, {"step.profile", std::string("ramp")},
                                      {"step.load", std::int64_t{12}}, {"step.period", 250.0}};
    for (const Change& change : changes) {
        Settings settings;
        SetSetting(settings, change.name, change.value);
        const std::vector<SettingInForce> inForce = SettingsInForce(settings);
        ASSERT_EQ(inForce.size(), SettingNamesInForce(settings).size());
        for (std::size_t i = 0; i < inForce.size(); ++i) {
            EXPECT_EQ(inForce[i].spec->name, SettingNamesInForce(settings)[i]);
            EXPECT_EQ(inForce[i].changed, inForce[i].spec->name == change.name) << change.name;
            EXPECT_EQ(inForce[i].value, GetSetting(settings, inForce[i].spec->name)) << inForce[i].spec->name;
        }
    }
}

// Every setting at a random bit pattern or value, written and read back:
// the same bits, -0 and subnormals included.
TEST(ExperimentFile, RoundTripsEverySettingBitForBit)
{
    std::mt19937_64 random(7);
    for (int round = 0; round < 200; ++round) {
        Settings settings;
        // Each model's settings in turn, and the d-q model's both integrators.
        if (round % 4 >= 2)
            settings.kind = ModelKind::Dq;
        for (std::string_view name : SettingNamesInForce(settings)) {
            const std::optional<SettingValue> value = GetSetting(settings, name);
            if (name == "model.kind")
                continue;
            if (name == "step.profile")
                SetSetting(settings, name, std::string(round % 2 ? "fan" : "periodic"));
            else if (name == "model.integrator")
                SetSetting(settings, name, std::string(round % 8 < 4 ? "rk4" : "euler"));
            else if (!value || std::holds_alternative<std::int64_t>(*value))
                SetSetting(settings, name, static_cast<std::int64_t>(random()));
            else
                SetSetting(settings, name, std::bit_cast<double>(random()));
        }
        settings.step.off = static_cast<std::int64_t>(random());
        const Settings read = ExperimentFile::Parse(ExperimentFile::Text(settings), "round.toml", {});
        EXPECT_EQ(read.kind, settings.kind);
        for (std::string_view name : SettingNamesInForce(settings)) {
            const SettingValue written = *GetSetting(settings, name);
            const SettingValue back = *GetSetting(read, name);
            if (const auto* number = std::get_if<double>(&written))
                EXPECT_TRUE(std::isnan(*number) ? std::isnan(std::get<double>(back))
                                                : Bits(*number) == Bits(std::get<double>(back)))
                    << name << ' ' << *number;
            else
                EXPECT_EQ(written, back) << name;
        }
    }
}

// A file's text and the message it draws: empty when it reads.
struct FileCase {
    std::string_view text;
    const char* message;
};

void PrintTo(const FileCase& c, std::ostream* out) { *out << c.text; }

class FileText : public testing::TestWithParam<FileCase> {};

TEST_P(FileText, ReadsOrIsRefusedWithItsPlace)
{
    try {
        ExperimentFile::Parse(GetParam().text, "lab.toml", {});
        EXPECT_STREQ(GetParam().message, "");
    } catch (const SettingsError& error) {
        EXPECT_EQ(cli::ErrorText(error.Cause()), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileText,
    testing::Values(
        FileCase{"# only a comment\n", ""},
        // Each model's settings belong to it: refused for the other, even at
        // their defaults, wherever model.kind stands in the file.
        FileCase{"[model]\nRs = 0.1\n", "lab.toml:2:6: model.Rs is a setting of the d-q model, not of the "
                                        "three-state model that model.kind \"three-state\" chooses"},
        FileCase{"[model]\nkind = \"three-state\"\nintegrator = \"rk4\"\n",
                 "lab.toml:3:14: model.integrator is a setting of the d-q model, not of the three-state model "
                 "that model.kind \"three-state\" chooses"},
        FileCase{"[model]\nkind = \"dq\"\nMk = 25.25\n", "lab.toml:3:6: model.Mk is a setting of the "
                                                        "three-state model, not of the d-q model that model.kind "
                                                        "\"dq\" chooses"},
        FileCase{"[model]\nsk = 0.5\nkind = \"dq\"\n", "lab.toml:2:6: model.sk is a setting of the three-state "
                                                      "model, not of the d-q model that model.kind \"dq\" chooses"},
        FileCase{"[model]\nLm = 0.01\nU = 230\nintegrator = \"euler\"\nkind = \"dq\"\nJ = 0.1\n", ""},
        FileCase{"[model]\nkind = \"dq\"\nintegrator = \"rk2\"\n",
                 "lab.toml:3:14: model.integrator must be one of \"rk4\", \"euler\", not \"rk2\""},
        FileCase{"[model]\nkind = \"d-q\"\n",
                 "lab.toml:2:8: model.kind must be one of \"three-state\", \"dq\", not \"d-q\""},
        FileCase{"[model]\nJ = 0.0344 # twice the inertia\n[step]\nprofile = 'ramp'\n", ""},
        FileCase{"[modle]\nJ = 1\n", "lab.toml:1:2: there is no table [modle]; did you mean [model]?"},
        FileCase{"[model]\nj = 1\n", "lab.toml:2:1: there is no setting 'model.j'; did you mean 'model.J'?"},
        FileCase{"J = 1\n", "lab.toml:1:1: there is no setting 'J'; did you mean 'model.J'?"},
        FileCase{"[run]\nsteps = \"many\"\n",
                 "lab.toml:2:9: run.steps must be a whole number from 1 to 10000000, not \"many\""},
        FileCase{"[model]\nJ = true\n", "lab.toml:2:5: model.J must be a number above 0, not true"},
        FileCase{"[run]\nsteps = 2000.0\n[step]\nload = 10.0\n", ""},
        FileCase{"[run]\nsteps = 2000.5\n", "lab.toml:2:9: run.steps must be a whole number from 1 to 10000000, not 2000.5"},
        FileCase{"\xEF\xBB\xBF# saved by Notepad\n[run]\nlimit = 30\n", ""},
        FileCase{"[model]\nJ = \n", "lab.toml:2:5: Error while parsing key-value pair: expected value, saw '\\n'"},
        FileCase{"[model]\nJ = 1\0"sv, "lab.toml:2:6: holds binary data (byte 0x00); an experiment file is text"},
        FileCase{"[a.b.c.d.e.f.g.h.i.j.k.l.m.n.o.p.q.r]\n",
                 "lab.toml:1:35: keys nested deeper than 16 levels are refused; an experiment file holds plain tables"},
        FileCase{"# J, кг·м²\n[model]\nJ = 0.0344 # вдвое\n", ""},
        FileCase{"[step]\nprofile = \"ступень\"\n", "lab.toml:2:11: step.profile must be one of \"step\", \"ramp\", "
                                                     "\"fan\", \"periodic\", not \"ступень\""},
        // Found by the fuzzer: toml++ 3.3 meets undefined behaviour on some
        // characters beyond ASCII where a name or a bare value stands.
        FileCase{"Stt\xcb\x8b" "E  ", "lab.toml:1:4: holds text beyond ASCII outside comments and the texts of values"},
        FileCase{"[step]\n\"\xcb\x8b\" = 1\n", "lab.toml:2:2: holds text beyond ASCII outside comments and the texts of values"},
        FileCase{"J = 0;.0'''\xc2\xb7'''\n", "lab.toml:1:12: holds text beyond ASCII outside comments and the texts of values"},
        FileCase{"x = [[[[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]]]\n",
                 "lab.toml:1:21: values nested deeper than 16 levels are refused; an experiment file holds plain values"}));

TEST(ExperimentFile, RefusesWhatItCannotReadWithTheReason)
{
    const auto expectMessage = [](const std::string& path, const std::string& message) {
        try {
            ExperimentFile::Load(path, {});
            ADD_FAILURE() << path << " was read";
        } catch (const SettingsError& error) {
            EXPECT_EQ(cli::ErrorText(error.Cause()), message);
        }
    };
    expectMessage("/nonexistent/lab.toml", "cannot read '/nonexistent/lab.toml': No such file or directory");
    expectMessage("/", "cannot read '/': Is a directory");
    expectMessage("/dev/zero", "cannot read '/dev/zero': larger than 1 MiB, the most an experiment file may hold");
}

// The profiles at chosen points: load 10 on from step 5.
struct ProfileCase {
    const char* settings;
    std::int64_t step;
    double omega;
    double load;
};

TEST(StepLoad, FollowsItsProfile)
{
    const ProfileCase cases[] = {
        {"step", 4, 0, 0},     {"step", 5, 0, 10},    {"step", 999, 0, 10},       {"step", 1000, 0, 0},
        {"ramp", 5, 0, 2.5},   {"ramp", 7, 0, 7.5},   {"ramp", 8, 0, 10},         {"ramp", 9, 0, 10},
        {"fan", 5, -4, 8},     {"fan", 6, 4, 12},     {"periodic", 5, 0, 10},     {"periodic", 6, 0, 12},
        {"periodic", 8, 0, 10 + 2 * std::sin(6.283185307179586 * 3 / 4)},
    };
    for (const ProfileCase& c : cases) {
        Settings settings;
        for (const auto& [name, text] : {std::pair{"step.profile", c.settings}, {"step.on", "5"}, {"step.ramp", "4"},
                                         {"step.k", "0.125"}, {"step.amplitude", "2"}, {"step.period", "4"}})
            SetSettingText(settings, name, text);
        EXPECT_EQ(StepLoad(settings.step, settings.LoadOff(), 10, c.step, c.omega), c.load)
            << c.settings << " at step " << c.step;
    }
}

// Two runs of the same model: the one that applies the load at step 1000
// runs unloaded until then, as a run with no load does.
TEST(StepResponse, AppliedAtSteadySpeedStartsAsTheUnloadedRun)
{
    Settings steady;
    for (const auto& [name, text] : {std::pair{"run.steps", "3000"}, {"step.on", "1000"}, {"step.off", "3000"}})
        SetSettingText(steady, name, text);
    const RunResult loaded = RunExperiment({RunKind::Step, steady, "10", {}});
    EXPECT_EQ(loaded.load, 10) << "the run reports the load it used";
    const RunResult unloaded = RunExperiment({RunKind::Step, steady, "0", {}});
    const auto& a = loaded.Of(Quantity::Omega).Points();
    const auto& b = unloaded.Of(Quantity::Omega).Points();
    ASSERT_EQ(a.size(), 3000u);
    for (std::size_t i = 0; i < 1000; ++i)
        ASSERT_EQ(a[i].y, b[i].y) << i;
    EXPECT_LT(a.back().y, b.back().y - 10) << "the load slows the motor";

    const auto rows = analysis::CharacterizeStepResponse(loaded);
    ASSERT_EQ(rows.size(), 4u) << "a run-up, then the load never removed: no \"off\" rows";
    EXPECT_EQ(rows[3].quantity, Quantity::Omega);
    EXPECT_EQ(rows[3].segment, Segment::On);
    EXPECT_EQ(rows[3].values.initial, a[999].y) << "the load is applied from the speed at step 999";
    EXPECT_EQ(rows[2].segment, Segment::RunUp);
    EXPECT_EQ(rows[2].values.final, a[999].y) << "the run-up ends where the load comes";
}

// Doubling J halves the acceleration the first steps see; with Mk changed,
// K stays at its rest value 2 Mk over the first two steps.
TEST(MotorModel, ResetTakesTheParameters)
{
    MotorParameters heavy;
    heavy.J = 2 * heavy.J;
    heavy.Mk = 30;
    MotorModel a{}, b{};
    a.Reset();
    b.Reset(heavy);
    a.Step(10);
    b.Step(10);
    EXPECT_EQ(b.Omega, a.Omega / 2);
    EXPECT_EQ(b.K, 60.0L);
    b.Step(10);
    EXPECT_EQ(b.dK, 0.0L);
}

// Settings of the other model changed by any path, a family's value or a
// window's field, are refused by the settings' own check; at their
// defaults they change nothing and pass. "three-state" named is the model
// left unnamed, so a file naming it reads and writes as one that does not.
TEST(Settings, AnotherModelsSettingIsRefusedOnceChanged)
{
    struct Change {
        std::optional<ModelKind> kind;
        std::string_view name;
        SettingValue value;
        bool refused;
    };
    for (const auto& [kind, name, value, refused] : std::vector<Change>{
             {std::nullopt, "model.Rs", 0.5, true},
             {std::nullopt, "model.Rs", DqParameters{}.Rs, false},
             {std::nullopt, "model.integrator", std::string("euler"), true},
             {ModelKind::Dq, "model.Mk", 30.0, true},
             {ModelKind::Dq, "model.sk", MotorParameters{}.sk, false},
             {ModelKind::Dq, "model.Rs", 0.5, false},
             {ModelKind::Dq, "model.J", 0.5, false},
             {std::nullopt, "model.J", 0.5, false},
         }) {
        Settings settings;
        settings.kind = kind;
        SetSetting(settings, name, value);
        const std::vector<Problem> problems = SettingsProblems(settings);
        ASSERT_EQ(problems.size(), refused ? 1u : 0u) << name;
        if (refused) {
            EXPECT_EQ(problems[0].kind, ProblemKind::OtherModelKind) << name;
            EXPECT_EQ(problems[0].setting, name);
            EXPECT_EQ(SettingsNamed(problems[0]), (std::vector<std::string>{std::string(name), "model.kind"}));
        }
    }
    const Settings named = ExperimentFile::Parse("[model]\nkind = \"three-state\"\n", "lab.toml", {});
    EXPECT_EQ(named, Settings{});
    EXPECT_EQ(ExperimentFile::Text(named), kDefaultExperimentFile);
}

// A file the program writes for the three-state model, as it always wrote
// it: no model.kind, none of the d-q model's settings.
TEST(ExperimentFile, DefaultFileIsAsItAlwaysWas)
{
    EXPECT_EQ(ExperimentFile::Text(Settings{}), kDefaultExperimentFile);
}

} // namespace
