// Saving over a hand-written experiment file: only the values that differ
// change, and everything else stays as the lecturer wrote it.

#include "experiments/ExperimentFile.h"
#include "experiments/Settings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::string_view_literals;

// A file, the settings changed over what it gives, and the file saved:
// none where it cannot be edited in place.
struct EditCase {
    const char* what;
    std::string_view text;
    std::vector<std::pair<const char*, const char*>> changes;
    std::optional<std::string_view> saved;
};

void PrintTo(const EditCase& c, std::ostream* out) { *out << c.what; }

class FileEdit : public testing::TestWithParam<EditCase> {};

constexpr std::string_view kLab = "# Lab 1: the loaded start\n"
                                  "\n"
                                  "[step]\n"
                                  "load = 15   # N*m, under the limit\n"
                                  "profile = \"ramp\"\n"
                                  "ramp = 200\n"
                                  "\n"
                                  "# a heavier rotor\n"
                                  "[model]\n"
                                  "J = 0.0688\n";

TEST_P(FileEdit, ChangesOnlyTheValuesThatDiffer)
{
    const EditCase& c = GetParam();
    // A file that does not read is edited from the defaults.
    Settings settings;
    try {
        settings = ExperimentFile::Parse(c.text, "lab.toml", {});
    } catch (const SettingsError&) {
    }
    for (const auto& [name, text] : c.changes)
        if (*text)
            SetSettingText(settings, name, text);
        else
            settings.step.load.reset();
    const std::optional<std::string> saved = ExperimentFile::Edited(c.text, settings);
    ASSERT_EQ(saved.has_value(), c.saved.has_value());
    if (!saved)
        return;
    EXPECT_EQ(*saved, *c.saved);
    EXPECT_EQ(ExperimentFile::Parse(*saved, "lab.toml", {}), settings) << "the saved file reads as the settings";
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileEdit,
    testing::Values(
        EditCase{"commented, unchanged", kLab, {}, kLab},
        EditCase{"commented, a value changed",
                 kLab,
                 {{"step.load", "10"}},
                 "# Lab 1: the loaded start\n\n[step]\nload = 10   # N*m, under the limit\nprofile = \"ramp\"\n"
                 "ramp = 200\n\n# a heavier rotor\n[model]\nJ = 0.0688\n"},
        EditCase{"reordered: a missing key goes at the end of its table, before the next table's comment",
                 kLab,
                 {{"step.on", "5"}, {"model.J", "1"}, {"model.Mk", "20"}},
                 "# Lab 1: the loaded start\n\n[step]\nload = 15   # N*m, under the limit\nprofile = \"ramp\"\n"
                 "ramp = 200\non = 5\n\n# a heavier rotor\n[model]\nJ = 1.0\nMk = 20.0\n"},
        EditCase{"a value unset loses its line, comment and all",
                 kLab,
                 {{"step.load", ""}},
                 "# Lab 1: the loaded start\n\n[step]\nprofile = \"ramp\"\nramp = 200\n\n# a heavier rotor\n"
                 "[model]\nJ = 0.0688\n"},
        EditCase{"a missing table goes at the end",
                 "[model]\nJ = 0.0688",
                 {{"run.steps", "300"}, {"run.limit", "40"}},
                 "[model]\nJ = 0.0688\n\n[run]\nsteps = 300\nlimit = 40\n"},
        EditCase{"dotted keys stay dotted, indented as their neighbours",
                 "  model.J = 0.0688 # kg m2\n  step.load = 12\n\n[run]\nsteps = 500\n",
                 {{"model.Mk", "20"}, {"step.load", "11"}, {"run.steps", "600"}},
                 "  model.J = 0.0688 # kg m2\n  model.Mk = 20.0\n  step.load = 11\n\n[run]\nsteps = 600\n"},
        EditCase{"an inline table keeps what does not change", "model = { J = 0.0688 }\n[run]\nsteps = 500\n",
                 {{"run.steps", "600"}}, "model = { J = 0.0688 }\n[run]\nsteps = 600\n"},
        EditCase{"an inline table cannot take a change", "model = { J = 0.0688 }\n", {{"model.J", "1"}}, std::nullopt},
        EditCase{"an inline table cannot take a key", "model = { J = 0.0688 }\n", {{"model.Mk", "1"}}, std::nullopt},
        EditCase{"line ends as the file writes them",
                 "# Lab 2\r\n[step]\r\nload = 15\r\n",
                 {{"step.load", "-5"}, {"step.on", "100"}, {"gauss.sd", "2.5"}},
                 "# Lab 2\r\n[step]\r\nload = -5\r\non = 100\r\n\r\n[gauss]\r\nsd = 2.5\r\n"},
        EditCase{"a byte-order mark and text beyond ASCII in comments",
                 "\xEF\xBB\xBF# Лабораторная работа 1\n[step] # нагрузка\nprofile = 'fan' # вентилятор\n",
                 {{"step.profile", "step"}},
                 "\xEF\xBB\xBF# Лабораторная работа 1\n[step] # нагрузка\nprofile = \"step\" # вентилятор\n"},
        EditCase{"not an experiment file", "[modle]\nJ = 1\n", {}, std::nullopt}));

} // namespace
