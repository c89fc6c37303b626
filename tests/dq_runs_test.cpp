#include "DqMachines.h"

#include "experiments/DqRuns.h"
#include "plot/AxisUnits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

DqParameters ModelicaAt(double dt)
{
    DqParameters parameters = ParametersOf(machines::kModelica);
    parameters.dt = dt;
    return parameters;
}

// The load the step response applies, written out from its definition:
// nothing before step.on and from off on; the constant or the fan's
// load + k Omega |Omega| from the speed the step starts at between.
struct ProfileCase {
    const char* name;
    LoadProfile profile;
    double k;
};

class DqRunLoads : public testing::TestWithParam<ProfileCase> {};

TEST_P(DqRunLoads, RunAppliesTheProfileOverItsSchedule)
{
    const DqParameters parameters = ModelicaAt(1e-4);
    StepSettings step;
    step.profile = GetParam().profile;
    step.k = GetParam().k;
    step.on = 2000;
    const LoadSchedule schedule{step.on, 6000, 8000};
    const double load = 60;
    const DqRunResult run = RunDq(parameters, {}, step, schedule, load);
    ASSERT_FALSE(run.overflowed);
    ASSERT_EQ(run.Steps(), 8000u);

    DqModel model(parameters);
    for (std::size_t i = 0; i < run.Steps(); ++i) {
        const double Omega = model.State().Omega;
        const bool on = step.on <= static_cast<std::int64_t>(i) && static_cast<std::int64_t>(i) < schedule.off;
        const double Mc = on ? load + step.k * Omega * std::fabs(Omega) : 0;
        const DqQuantities q = model.Step(Mc);
        ASSERT_EQ(run.Of(DqQuantity::Md)[i], q.Md) << "step " << i;
        ASSERT_EQ(run.Of(DqQuantity::Omega)[i], q.Omega) << "step " << i;
        ASSERT_EQ(run.Of(DqQuantity::Is)[i], q.Is) << "step " << i;
        ASSERT_EQ(run.Of(DqQuantity::ia)[i], q.ia) << "step " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Profiles, DqRunLoads,
                         testing::Values(ProfileCase{"Step", LoadProfile::Step, 0},
                                         ProfileCase{"Fan", LoadProfile::Fan, 0.007}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DqRun, StopsAtTheFirstStepOutOfRange)
{
    // Forward Euler a hundred times past its stable step grows without bound.
    DqParameters parameters = ModelicaAt(0.05);
    parameters.integrator = DqIntegrator::Euler;
    const DqRunResult run = RunDq(parameters, {}, {}, {0, 0, 100000}, 0);
    EXPECT_TRUE(run.overflowed);
    EXPECT_GT(run.Steps(), 0u);
    EXPECT_LT(run.Steps(), 100000u);
    for (const auto& column : run.values) {
        EXPECT_EQ(column.size(), run.Steps());
        EXPECT_TRUE(std::all_of(column.begin(), column.end(), [](double v) { return std::isfinite(v); }));
    }
}

// The CSV read back: its heading, a row per step, and every number the
// run's own bits, in both styles, with and without times. 3000 rows take
// several of the pieces the table is written in.
struct CsvCase {
    const char* name;
    CsvStyle style;
    bool withTime;
    const char* heading;
};

class DqRunCsv : public testing::TestWithParam<CsvCase> {};

double ReadNumber(std::string cell, CsvStyle style)
{
    std::replace(cell.begin(), cell.end(), style.decimalMark, '.');
    double value = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    EXPECT_TRUE(error == std::errc{} && end == cell.data() + cell.size()) << cell;
    return value;
}

TEST_P(DqRunCsv, RowsHoldTheRunsBits)
{
    const CsvCase& c = GetParam();
    const double dt = 1e-4;
    const DqRunResult run = RunDq(ModelicaAt(dt), {}, {}, {0, 0, 3000}, 0);
    std::string text;
    int pieces = 0;
    WriteDqRunCsv(run, c.style, c.withTime ? std::optional(dt) : std::nullopt, [&](std::string_view piece) {
        text += piece;
        ++pieces;
    });
    EXPECT_GT(pieces, 1);

    std::istringstream lines(text);
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, c.heading);
    std::size_t row = 0;
    for (; std::getline(lines, line); ++row) {
        std::vector<std::string> cells;
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, c.style.separator);)
            cells.push_back(cell);
        ASSERT_EQ(cells.size(), c.withTime ? 6u : 5u) << line;
        ASSERT_EQ(cells[0], std::to_string(row));
        std::size_t column = 1;
        if (c.withTime) {
            ASSERT_EQ(ReadNumber(cells[column++], c.style), TimeOfStep(static_cast<double>(row), dt)) << line;
        }
        for (const DqQuantity quantity : kDqQuantities)
            ASSERT_EQ(ReadNumber(cells[column++], c.style), run.Of(quantity)[row]) << line;
    }
    EXPECT_EQ(row, run.Steps());
}

INSTANTIATE_TEST_SUITE_P(Styles, DqRunCsv,
                         testing::Values(CsvCase{"Plain", kPlainCsv, false, "step,Md,Omega,Is,ia"},
                                         CsvCase{"PlainWithTime", kPlainCsv, true, "step,t,Md,Omega,Is,ia"},
                                         CsvCase{"Russian", kRussianCsv, false, "step;Md;Omega;Is;ia"},
                                         CsvCase{"RussianWithTime", kRussianCsv, true, "step;t;Md;Omega;Is;ia"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
