// The batch tool's settings: defaults, files and --set in the order given,
// sessions it refuses, the run's length, and the help that lists them all.

#include "experiments/Settings.h"
#include "experiments/SettingsTable.h"

#include "CliProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

namespace {

// A saved experiment pins no default that follows another setting: its
// run can be shortened later, and step.off goes on following run.steps.
TEST(Cli, SavedSettingsCanBeShortened)
{
    const std::filesystem::path folder = TestFolder();
    const Outcome saved = RunCli("settings");
    ASSERT_EQ(saved.status, 0);
    EXPECT_EQ(saved.out.find("off ="), std::string::npos) << saved.out;
    std::ofstream(folder / "a.toml") << saved.out;
    const Outcome shortened = RunCli("step 10 --settings " + (folder / "a.toml").string() + " --set run.steps=500.0");
    EXPECT_EQ(shortened.status, 0) << shortened.err;
}

// A session from a newer program is refused with its format, a damaged one
// with its line, before anything is written.
TEST(Cli, SessionOfANewerFormatOrDamagedIsRefused)
{
    const std::filesystem::path folder = TestFolder();
    for (const auto& [text, message] :
         {std::pair{"format = 3\nfuture = true\n", ":1:10: a session of format 3 is from a newer version; this one "
                                                     "reads format 2\n"},
          std::pair{"format = 1\nversion = \"1.0\n", ":2:15: Error while parsing string: unescaped control "
                                                               "characters other than TAB (U+0009) are explicitly "
                                                               "prohibited\n"}}) {
        std::ofstream(folder / "s.toml") << text;
        const Outcome outcome = RunCli("session " + (folder / "s.toml").string() + " --csv " + (folder / "c.csv").string());
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.err, "motormodel-cli: " + (folder / "s.toml").string() + message);
        EXPECT_FALSE(std::filesystem::exists(folder / "c.csv"));
    }
}

// The settings in force are the defaults, then every file, then every --set,
// each in the order given, wherever they stand on the command line.
TEST(Cli, SettingsApplyInOrderAndPrintAsAFileThatReadsBack)
{
    const auto dir = TestFolder();
    std::ofstream(dir / "a.toml") << "[model]\nJ = 1\nMk = 20\n";
    std::ofstream(dir / "b.toml") << "[model]\nJ = 2\n";
    const std::string files = " --settings " + (dir / "a.toml").string() + " --settings " + (dir / "b.toml").string();
    const Outcome layered = RunCli("settings --set model.sk=0.5" + files);
    ASSERT_EQ(layered.status, 0) << layered.err;
    EXPECT_EQ(layered.err, "");
    for (const char* line : {"\nJ = 2.0\n", "\nMk = 20.0\n", "\nsk = 0.5\n", "\nsteps = 2000\n"})
        EXPECT_NE(layered.out.find(line), std::string::npos) << line;

    // A value refused once the settings are complete is placed in the file
    // that gave it, as the file wrote it; a --set over it is not a file's.
    std::ofstream(dir / "c.toml") << "# heavier\n[model]\nJ = -2.50\n";
    const std::string three = files + " --settings " + (dir / "c.toml").string();
    EXPECT_NE(RunCli("settings" + three).err.find((dir / "c.toml").string() + ":3:5: model.J must be a number above 0, not -2.50"),
              std::string::npos);
    EXPECT_NE(RunCli("settings --set model.J=-3" + three).err.find("motormodel-cli: model.J must be a number above 0, not -3\n"),
              std::string::npos);

    // The defaults written out and read back make the default run exactly.
    std::ofstream(dir / "defaults.toml") << RunCli("settings").out;
    EXPECT_EQ(RunCli("step 10 --csv - --settings " + (dir / "defaults.toml").string()).out, RunCli("step 10 --csv -").out);
}

// A shorter run is the start of a longer one: with run.steps = 3 the load is
// on for all three steps, as it is for the first three of the default run.
TEST(Cli, RunStepsSetsTheRowsOfEveryOutput)
{
    const std::string whole = RunCli("step 10 --csv -").out;
    const Outcome shorter = RunCli("step 10 --set run.steps=3 --csv -");
    ASSERT_EQ(shorter.status, 0);
    std::size_t end = 0;
    for (int line = 0; line < 4; ++line)
        end = whole.find('\n', end) + 1;
    EXPECT_EQ(shorter.out, whole.substr(0, end));
    const Outcome stats = RunCli("gauss --seed 1 --set run.steps=3000 --stats -");
    EXPECT_NE(stats.out.find("Md,0,2999,3000,"), std::string::npos) << stats.out;
}

// The help's settings section, made from the settings table: an entry per
// setting with its default and what it allows, in lines help2man lays out.
TEST(Cli, HelpGivesEverySettingWithItsDefaultAndLimits)
{
    const std::string help = RunCli("--help").out;
    const std::size_t section = help.find("\nSettings:\n");
    ASSERT_NE(section, std::string::npos);
    const std::string continuation = "\n" + std::string(24, ' ');
    for (const SettingSpec& spec : SettingsTable()) {
        SCOPED_TRACE(spec.name);
        const std::size_t start = help.find("\n  " + std::string(spec.name) + ' ', section);
        ASSERT_NE(start, std::string::npos);
        std::size_t end = help.find('\n', start + 1);
        while (help.compare(end, continuation.size(), continuation) == 0)
            end = help.find('\n', end + 1);
        std::string entry = help.substr(start, end - start);
        for (std::size_t at; (at = entry.find(continuation)) != std::string::npos;)
            entry.replace(at, continuation.size(), " ");
        const std::string shownDefault = spec.defaultValue ? ShownText(*spec.defaultValue) : "unset";
        EXPECT_NE(entry.find("; default " + shownDefault), std::string::npos) << entry;
        for (const Bound& bound : {spec.allowed.min, spec.allowed.max})
            EXPECT_NE(entry.find(bound.setting + (bound.setting.empty() ? "" : " (") + bound.value), std::string::npos)
                << entry;
        for (const std::string& choice : spec.allowed.choices)
            EXPECT_NE(entry.find('"' + choice + '"'), std::string::npos) << entry;
    }
    std::istringstream lines(help.substr(section, help.find("\n\n", section) - section));
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(line.size(), 80u) << line;
}

} // namespace
