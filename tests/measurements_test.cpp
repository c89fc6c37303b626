#include "analysis/AnalysisCsv.h"
#include "analysis/Measurements.h"
#include "experiments/ExperimentFile.h"
#include "experiments/Experiments.h"
#include "plot/AxisUnits.h"

#include "DqMachines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace analysis;

struct MeasuredRun {
    const char* name;
    RunKind kind;
    Settings settings;
    const char* load;
    // Whether the run is a step response that ran all its steps.
    bool characterised;
};

void PrintTo(const MeasuredRun& c, std::ostream* out) { *out << c.name; }

Settings With(std::vector<std::pair<const char*, const char*>> sets, Settings settings = {})
{
    for (const auto& [name, value] : sets)
        SetSettingText(settings, name, value);
    return settings;
}

// The Modelica machine on a short step, its load on and off within the run.
Settings DqStep()
{
    const DqParameters m = ParametersOf(machines::kModelica);
    Settings settings;
    settings.kind = ModelKind::Dq;
    settings.dq = {.Rs = m.Rs, .Rr = m.Rr, .Lls = m.Lls, .Llr = m.Llr, .Lm = m.Lm, .U = m.U};
    settings.model.w0 = m.w0;
    settings.model.p = m.p;
    settings.model.J = m.J;
    settings.model.dt = 1e-4;
    settings.run.steps = 8000;
    settings.run.limit = 1000;
    settings.step.on = 2000;
    settings.step.off = 6000;
    return settings;
}

const MeasuredRun kRuns[] = {
    {"three-state step of 10", RunKind::Step, {}, "10", true},
    {"three-state step, twice the inertia", RunKind::Step, With({{"model.J", "0.0688"}}), "10", true},
    {"three-state step with no load", RunKind::Step, With({{"step.off", "0"}}), "10", true},
    {"three-state Gauss run", RunKind::Gauss, With({{"run.seed", "5"}}), "", false},
    {"three-state step beyond the limit", RunKind::Step, {}, "100000", false},
    {"d-q step of 60", RunKind::Step, DqStep(), "60", true},
    {"d-q uniform run", RunKind::Uniform, With({{"run.seed", "5"}}, DqStep()), "", false},
};

class Measured : public testing::TestWithParam<MeasuredRun> {};

// The value a run's measurements are, against what is known of them
// whatever the run: it is the value of the run's traces, it has the rows
// of the quantities the run's model reports, and its figures keep the
// orders their definitions give.
TEST_P(Measured, TheValueKeepsTheIdentitiesOfItsFigures)
{
    const MeasuredRun& c = GetParam();
    const RunResult run = RunExperiment({c.kind, c.settings, c.load, {}});
    const auto steps = static_cast<Step>(run.Of(Quantity::Md).Size());
    const std::optional<StepRange> whole = steps > 0 ? std::optional(StepRange{0, steps - 1}) : std::nullopt;
    const Measurements measured = MeasureRun(run, whole);

    std::vector<Quantity> reported(run.Quantities().begin(), run.Quantities().end());
    EXPECT_EQ(reported.size(), c.settings.Kind() == ModelKind::Dq ? 4u : 2u) << "a d-q run has Is and ia rows";
    std::vector<Quantity> characterised;
    for (const StepRow& row : measured.steps)
        if (characterised.empty() || characterised.back() != row.quantity)
            characterised.push_back(row.quantity);
    EXPECT_EQ(characterised, c.characterised ? reported : std::vector<Quantity>{});
    if (c.characterised) {
        EXPECT_EQ(MeasureStepResponse(TracesOf(run), run.Origin(), whole), measured) << "the run's traces, measured";
    }

    const double dt = c.settings.model.dt;
    for (const StepRow& row : measured.steps) {
        const Figures& f = row.figures;
        const std::string what = std::string(QuantityName(row.quantity)) + " " + std::string(SegmentName(row.segment));
        EXPECT_LE(*f[Figure::Trough], *f[Figure::End]) << what;
        EXPECT_LE(*f[Figure::End], *f[Figure::Peak]) << what;
        EXPECT_EQ(f[Figure::Final].has_value(), f[Figure::Settled] != 0.0) << what << ": a final value once settled";
        if (f[Figure::Final]) {
            EXPECT_EQ(f[Figure::Final], f[Figure::End]) << what;
        }
        // Past the last step outside the 2 % band the response is within
        // 2 % of its change, beyond 63.2 % and 90 % of it.
        if (const auto settling = f[Figure::SettlingSteps]) {
            EXPECT_LE(*f[Figure::T63Steps], *settling + 1) << what;
            EXPECT_LE(*f[Figure::RiseSteps], *settling + 1) << what;
        }
        // Settled, the end is within 2 % of the change the rest asks for.
        const auto rest = f[Figure::Rest];
        if (rest && *rest != *f[Figure::Initial] && f[Figure::Settled] == 1.0) {
            EXPECT_LE(std::fabs(*f[Figure::End] - *rest), 0.02 * std::fabs(*rest - *f[Figure::Initial])) << what;
        }
        // The times are the steps at the step size, counted as the chart
        // counts them.
        EXPECT_EQ(f[Figure::PeakSeconds], TimeOfStep(*f[Figure::PeakStep], dt)) << what;
        EXPECT_EQ(f[Figure::RiseSeconds].has_value(), f[Figure::RiseSteps].has_value()) << what;
    }

    ASSERT_EQ(measured.statistics.size(), whole ? reported.size() : 0u);
    for (const RangeRow& row : measured.statistics) {
        const Figures& f = row.figures;
        EXPECT_EQ(row.quantity, reported.at(row.trace));
        EXPECT_EQ(f[Figure::Count], static_cast<double>(steps)) << "every step of the run";
        EXPECT_LE(*f[Figure::Min], *f[Figure::Mean]);
        EXPECT_LE(*f[Figure::Mean], *f[Figure::Max]);
        EXPECT_LE(*f[Figure::Std], *f[Figure::Rms]);
        // rms^2 = mean^2 + std^2 exactly in the extended sums; each is
        // rounded to double once, so the identity holds to a few ulps of
        // rms^2.
        const double rms2 = *f[Figure::Rms] * *f[Figure::Rms];
        EXPECT_NEAR(rms2, *f[Figure::Mean] * *f[Figure::Mean] + *f[Figure::Std] * *f[Figure::Std], 1e-12 * rms2);
    }
}

// The batch tool's tables are the value's: its rows of characteristics
// and of statistics come to the same text as the value's rows, in both
// styles.
TEST_P(Measured, TheBatchToolsTablesRenderTheValue)
{
    const MeasuredRun& c = GetParam();
    const RunResult run = RunExperiment({c.kind, c.settings, c.load, {}});
    const StepRange range{0, c.settings.run.steps - 1};
    const Measurements measured = MeasureRun(run, range);
    std::vector<StatisticsRow> named;
    for (const Quantity quantity : run.Quantities())
        named.push_back({std::string(QuantityName(quantity)), FiguresOf(range, ComputeStatistics(run.Of(quantity).Points(), range))});
    for (const CsvStyle style : {kPlainCsv, kRussianCsv}) {
        EXPECT_EQ(RangeRowsCsv(measured.statistics, style), StatisticsCsv(named, style));
        if (c.characterised) {
            EXPECT_EQ(StepRowsCsv(measured.steps, style, true),
                      CharacteristicsCsv(CharacterizeStepResponse(run), style, c.settings.model.dt));
        }
    }
}

std::string RunNumber(const testing::TestParamInfo<MeasuredRun>& run)
{
    return "run" + std::to_string(run.index);
}

INSTANTIATE_TEST_SUITE_P(Runs, Measured, testing::ValuesIn(kRuns), RunNumber);

// Every figure has its own name, the one the CSV heads its column with.
TEST(Figures, HaveDistinctNamesInTheirTablesOrder)
{
    std::set<std::string_view> names;
    for (std::size_t i = 0; i < kFigureCount; ++i)
        names.insert(FigureName(static_cast<Figure>(i)));
    EXPECT_EQ(names.size(), kFigureCount);
    std::string heading = "trace,segment";
    for (const Figure figure : kStepFigures)
        heading += "," + std::string(FigureName(figure));
    EXPECT_EQ(StepRowsCsv({}), heading + '\n');
}

} // namespace
