// The batch tool's lab bench in process: comparison with measured data and
// the fit command, end to end through the command line.

#include "cli/CommandLine.h"
#include "experiments/ExperimentFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result Cli(const std::vector<std::string>& arguments)
{
    std::ostringstream out, err;
    const int status = cli::RunCommandLine(arguments, out, err);
    return {status, out.str(), err.str()};
}

std::string Path(const std::string& name)
{
    return testing::TempDir() + "lab_cli_" + name;
}

std::string Read(const std::string& path)
{
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

const std::string kMachine = MOTORMODEL_EXAMPLES "/modelica-squirrel-cage.toml";
// The machine's first 0.3 s: short enough for the sanitized build.
const std::vector<std::string> kShort{"--set", "run.steps=3000", "--set", "step.off=3000"};

std::vector<std::string> Line(std::vector<std::string> words, const std::vector<std::string>& more = kShort)
{
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

// The batch tool's own --time CSV read back as measured data meets its run
// exactly: its times are the run's steps', and interpolation there is exact.
TEST(LabCli, OwnRunComparesExactly)
{
    const std::string own = Path("own.csv");
    ASSERT_EQ(Cli(Line({"step", "--settings", kMachine, "--time", "--csv", own, "--locale", "ru"})).status, 0);
    const Result compared = Cli(Line({"step", "--settings", kMachine, "--measured", own, "--compare", "-"}));
    EXPECT_EQ(compared.status, 0) << compared.err;
    EXPECT_EQ(compared.out, "quantity,samples,rms,largest,largest_seconds,r_squared\n"
                            "Md,3000,0,0,1e-04,1\nOmega,3000,0,0,1e-04,1\nIs,3000,0,0,1e-04,1\nia,3000,0,0,1e-04,1\n");
    const Result json = Cli(Line({"step", "--settings", kMachine, "--measured", own, "--map", "Omega=Md", "--map",
                                  "Md=Omega", "--json", "-"}));
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_NE(json.out.find("\"comparison\": [\n    {\n      \"quantity\": \"Md\",\n      \"samples\": 3000,\n      \"rms\": "),
              std::string::npos)
        << json.out;
}

// The run's own samples read back have the run's statistics over any
// steps: the same sums in the same order, the extremes at the steps'
// times, the steps themselves left out.
TEST(LabCli, OwnSamplesHaveTheRunsStatistics)
{
    const std::string own = Path("own-stats.csv");
    ASSERT_EQ(Cli(Line({"step", "--settings", kMachine, "--time", "--csv", own})).status, 0);
    const Result stats = Cli(Line({"step", "--settings", kMachine, "--measured", own, "--stats", "-", "--from", "1000",
                                   "--to", "2999"}));
    ASSERT_EQ(stats.status, 0) << stats.err;
    std::istringstream lines(stats.out);
    std::string heading;
    std::getline(lines, heading);
    EXPECT_EQ(heading, "trace,from,to,count,min,min_step,max,max_step,mean,rms,std,min_seconds,max_seconds");
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);)
        rows.push_back(line);
    ASSERT_EQ(rows.size(), 8u) << stats.out;
    for (std::size_t i = 0; i < 4; ++i) {
        // The run's row with its steps' cells emptied, and the measured one.
        std::vector<std::string> run;
        std::vector<std::string> measured;
        std::istringstream runCells(rows[i]);
        std::istringstream measuredCells(rows[i + 4]);
        for (std::string cell; std::getline(runCells, cell, ',');)
            run.push_back(cell);
        for (std::string cell; std::getline(measuredCells, cell, ',');)
            measured.push_back(cell);
        ASSERT_EQ(run.size(), 13u) << rows[i];
        EXPECT_EQ(measured.front(), run.front() + " (measured)");
        EXPECT_NE(run[5], "");
        run[5] = run[7] = "";
        EXPECT_EQ(std::vector(measured.begin() + 1, measured.end()), std::vector(run.begin() + 1, run.end()));
    }
}

// A run's session keeps its measured data as the window's does, by the
// file's place beside the session, and the tool reads it back with it.
TEST(LabCli, SessionKeepsTheMeasuredData)
{
    const std::string own = Path("kept.csv");
    ASSERT_EQ(Cli(Line({"step", "--settings", kMachine, "--time", "--csv", own})).status, 0);
    const std::string session = Path("kept.session.toml");
    const Result made = Cli(Line({"step", "--settings", kMachine, "--measured", own, "--session", session}));
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_NE(Read(session).find("\n[measured]\nfile = \"lab_cli_kept.csv\"\n"), std::string::npos) << Read(session);
    const Result csv = Cli({"session", session, "--csv", "-"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_EQ(csv.err, "");
    EXPECT_NE(csv.out.find(",t (measured),Md (measured),Omega (measured),Is (measured),ia (measured)\n"),
              std::string::npos);
}

// fit recovers the machine's J and Rr from its own run, the options before
// or after RUN, and writes the fitted file with its comments and the report.
TEST(LabCli, FitsEndToEnd)
{
    const std::string measured = Path("start.csv");
    ASSERT_EQ(Cli(Line({"step", "--settings", kMachine, "--time", "--csv", measured})).status, 0);
    const std::vector<std::vector<std::string>> lines{
        Line({"fit", measured, "--fit", "model.J,model.Rr", "--settings", kMachine, "step", "-o", Path("fitted.toml"),
              "--report", Path("report.csv"), "--set", "model.J=0.754", "--set", "model.Rr=0.028"}),
        Line({"fit", "--report", Path("report.csv"), "--set", "model.J=0.754", "--set", "model.Rr=0.028", measured,
              "step", "--fit", "model.J,model.Rr", "--settings", kMachine, "-o", Path("fitted.toml")}),
    };
    for (const auto& line : lines) {
        const Result fit = Cli(line);
        ASSERT_EQ(fit.status, 0) << fit.err;
        EXPECT_EQ(fit.out, "");
        EXPECT_NE(fit.err.find(": converged\n"), std::string::npos) << fit.err;
        const Settings fitted = ExperimentFile::Load(Path("fitted.toml"), Settings{});
        // Data without noise: the values to the digits the differences leave.
        EXPECT_NEAR(fitted.model.J, 0.58, 1e-8);
        EXPECT_NEAR(fitted.dq.Rr, 0.04, 1e-9);
        const std::string text = Read(Path("fitted.toml"));
        EXPECT_EQ(text.rfind("# The squirrel-cage induction machine", 0), 0u) << "the user's comments kept";
        EXPECT_NE(text.find(" # fitted to " + measured + ": standard error "), std::string::npos);
        const std::string report = Read(Path("report.csv"));
        EXPECT_EQ(report.rfind("setting,start,value,stderr\nmodel.J,0.754,0.5", 0), 0u) << report;
        EXPECT_NE(report.find("\nmodel.Rr,0.028,0.0"), std::string::npos) << report;
    }
}

struct Refusal {
    std::vector<std::string> line;
    int status;
    std::string message;
};

// Each refusal names what was wrong and what is allowed.
TEST(LabCli, RefusalsNameWhatIsAllowed)
{
    const std::string bad = Path("bad.csv");
    Write(bad, "t;Omega\n0,1;2\n0,2;abc\n");
    const std::string good = Path("good.csv");
    Write(good, "time,speed\n0.01,2\n0.02,3\n");
    const std::vector<Refusal> cases{
        {{"fit", good, "step", "10"}, 2, "fit needs --fit NAME[,NAME]..., of model.J, model.Mk or model.sk"},
        {{"fit", good, "walk", "--fit", "model.J"}, 2, "fit needs a RUN of step, gauss or uniform, not 'walk'"},
        {{"fit", good, "gauss", "3", "--fit", "model.J"}, 2, "fit takes a LOAD for step only"},
        {{"fit", good, "step", "10", "--fit", "model.J,,model.sk"}, 2,
         "option '--fit' needs settings' names separated by commas, not 'model.J,,model.sk'"},
        {{"fit", good, "step", "10", "--fit", "model.Rr", "--map", "time=t", "--map", "speed=Omega"}, 2,
         "model.Rr cannot be fitted: the three-state model fits model.J, model.Mk or model.sk"},
        {{"fit", good, "step", "10", "--fit", "model.J"}, 2,
         "good.csv:1: no column t among time, speed; name the seconds' column with --map COLUMN=t"},
        {{"fit", good, "step", "10", "--fit", "model.J", "--map", "time=t", "--map", "speed=Omega", "--set",
          "run.steps=5"},
         2, "no measured sample of a quantity the run reports lies within the run's time"},
        {{"step", "10", "--measured", good}, 2, "--measured needs --compare, --stats, --json, --session or --report"},
        {{"step", "10", "--map", "a=Omega", "--compare", "-"}, 2, "--map needs --measured"},
        {{"step", "10", "--compare", "-"}, 2, "--compare needs --measured"},
        {{"step", "10", "--measured", good, "--map", "speed=omega", "--compare", "-"}, 2,
         "option '--map' needs COLUMN=t, COLUMN=Md, COLUMN=Omega, COLUMN=Is or COLUMN=ia, not 'speed=omega'"},
        {{"step", "10", "--measured", bad, "--compare", "-"}, 2,
         "bad.csv:3:2: 'abc' is not a finite number"},
        {{"step", "10", "--measured", Path("missing.csv"), "--compare", "-"}, 2,
         "missing.csv: cannot read the file: No such file or directory"},
    };
    for (const auto& c : cases) {
        const Result result = Cli(c.line);
        SCOPED_TRACE(c.line[0] + " " + c.line[1] + " " + c.line[2]);
        EXPECT_EQ(result.status, c.status);
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    }
}

} // namespace
