// The d-q machine's currents on the main chart: offered by its runs alone,
// hidden until asked for, read on a right axis of amperes, and exported as
// the batch tool writes them.

#include "ChartWindowFixture.h"

#include "chart/ChartCurrents.h"
#include "chart/ChartPins.h"
#include "experiments/ExperimentFile.h"
#include "plot/Readout.h"
#include "ui/FamilyWindow.h"
#include "ui/ParametersWindow.h"

#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

Settings MachineSettings(ModelKind kind)
{
    Settings settings;
    settings.kind = kind;
    settings.run.steps = 2000;
    return settings;
}

class Currents : public ChartWindow {
protected:
    void Use(const Settings& settings) const { form1_->Parameters().ShowSettings(settings); }

    QAction& Item() const { return Tools().currents->Item(); }

    const Trace& Step(Quantity quantity) const { return form1_->Series(RunKind::Step, quantity); }

    int IndexOf(Quantity quantity) const { return Chart()->View().Traces().IndexOf(Step(quantity)).value(); }

    std::string Csv() const
    {
        std::string csv;
        Chart()->WriteCsv(kPlainCsv, [&csv](std::string_view piece) { csv += piece; });
        return csv;
    }
};

struct MachineCase {
    const char* name;
    ModelKind kind;
    bool offersCurrents;
};

class CurrentsOfMachine : public Currents, public testing::WithParamInterface<MachineCase> {};

TEST_P(CurrentsOfMachine, AreOfferedHiddenAndReadOnTheRightAxisWhenAskedFor)
{
    const MachineCase& c = GetParam();
    Use(MachineSettings(c.kind));
    RunStepResponse(QStringLiteral("10"));
    Settled();
    const QCPRange left = Chart()->yAxis->range();
    EXPECT_EQ(Item().isEnabled(), c.offersCurrents);
    EXPECT_EQ(Chart()->TraceCount(), c.offersCurrents ? 8 : 6) << "offered in the legend, after the live runs";
    EXPECT_FALSE(Chart()->yAxis2->visible()) << "hidden until asked for";
    const std::optional<Readout> before = Chart()->ReadoutAt(1500);

    Item().trigger();
    Settled();
    if (!c.offersCurrents) {
        EXPECT_EQ(Chart()->TraceCount(), 6);
        EXPECT_FALSE(Chart()->yAxis2->visible());
        EXPECT_EQ(Chart()->ReadoutAt(1500), before);
        return;
    }
    EXPECT_EQ(IndexOf(Quantity::Is), 6);
    EXPECT_EQ(IndexOf(Quantity::ia), 7);
    ASSERT_TRUE(Chart()->yAxis2->visible());
    EXPECT_EQ(Chart()->yAxis2->label(), QStringLiteral("Is, ia, А"));
    EXPECT_EQ(Chart()->yAxis->range(), left) << "amperes do not stretch Md's and Omega's axis";
    // The right axis spans both currents from their least to their largest
    // value, the values the run made.
    std::vector<double> amperes(Step(Quantity::Is).Values().begin(), Step(Quantity::Is).Values().end());
    amperes.insert(amperes.end(), Step(Quantity::ia).Values().begin(), Step(Quantity::ia).Values().end());
    const auto [least, largest] = std::minmax_element(amperes.begin(), amperes.end());
    EXPECT_LT(*least, 0.0) << "phase a's current alternates";
    EXPECT_EQ(Chart()->yAxis2->range().lower, *least);
    EXPECT_EQ(Chart()->yAxis2->range().upper, *largest);
    for (Quantity quantity : kCurrents)
        EXPECT_EQ(Chart()->ValueAxisOf(IndexOf(quantity)), Chart()->yAxis2);
    // The tracker reads them beside Md and Omega.
    const std::optional<Readout> readout = Chart()->ReadoutAt(1500);
    ASSERT_TRUE(readout);
    EXPECT_EQ(readout->values.size(), 4u);
    EXPECT_EQ(readout->values.at(3).trace, IndexOf(Quantity::ia));
    EXPECT_EQ(readout->values.at(3).y, Step(Quantity::ia).Values()[1500]);

    // Pinned while shown, each on the axis of its quantity.
    Trigger(QStringLiteral("Закрепить графики"));
    ASSERT_EQ(Tools().pins->Pinned().size(), 4u);
    EXPECT_EQ(Tools().pins->Pinned().back().of.quantity, Quantity::ia);
    const int pinnedIa = Chart()->TraceCount() - 1;
    EXPECT_EQ(Chart()->ValueAxisOf(pinnedIa), Chart()->yAxis2);
    EXPECT_EQ(Chart()->ValueAxisOf(pinnedIa - 2), Chart()->yAxis) << "the pinned Omega";

    // Hidden one by one from the legend, the axis goes with the last shown.
    for (int entry : {IndexOf(Quantity::Is), IndexOf(Quantity::ia), pinnedIa - 1}) {
        ClickLegendEntry(entry);
        EXPECT_TRUE(Chart()->yAxis2->visible()) << entry;
    }
    ClickLegendEntry(pinnedIa);
    EXPECT_FALSE(Chart()->yAxis2->visible());
    ClickLegendEntry(IndexOf(Quantity::Is));
    EXPECT_TRUE(Chart()->yAxis2->visible());
    // The menu's item hides them all at once.
    Item().trigger();
    Settled();
    EXPECT_FALSE(Chart()->yAxis2->visible());

    // A three-state run in the d-q run's place takes its currents away.
    Use(MachineSettings(ModelKind::ThreeState));
    RunStepResponse(QStringLiteral("10"));
    EXPECT_FALSE(Chart()->View().Traces().IndexOf(Step(Quantity::Is)));
    EXPECT_FALSE(Item().isEnabled());
    EXPECT_EQ(Chart()->TraceCount(), 6 + 4);
}

INSTANTIATE_TEST_SUITE_P(Machines, CurrentsOfMachine,
                         testing::Values(MachineCase{"ThreeState", ModelKind::ThreeState, false},
                                         MachineCase{"Dq", ModelKind::Dq, true}),
                         [](const auto& test) { return std::string(test.param.name); });

// The window's export of a step response is the batch tool's CSV of the
// same run to the byte, column by column: Md and Omega for the three-state
// model, its currents too for the d-q machine.
TEST_P(CurrentsOfMachine, ExportIsTheBatchToolsCsv)
{
    const MachineCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string lab = dir.filePath(QStringLiteral("lab.toml")).toStdString();
    const std::string cli = dir.filePath(QStringLiteral("cli.csv")).toStdString();
    const Settings settings = MachineSettings(c.kind);
    ExperimentFile::Save(lab, settings);
    form1_->OpenExperiment(lab);
    RunStepResponse(QStringLiteral("10"));
    if (c.offersCurrents)
        Item().trigger();
    const std::string command = std::string(MOTORMODEL_CLI) + " step 10 --settings " + lab + " --csv " + cli;
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream file(cli, std::ios::binary);
    std::ostringstream tool;
    tool << file.rdbuf();

    const std::string window = Csv();
    const std::string expected = c.offersCurrents ? "step,Md,Omega,Is,ia" : "step,Md,Omega";
    const std::string headed = c.offersCurrents ? "step,Md (Step),Omega (Step),Is (Step),ia (Step)"
                                                : "step,Md (Step),Omega (Step)";
    EXPECT_EQ(tool.str().substr(0, tool.str().find('\n')), expected);
    EXPECT_EQ(window.substr(0, window.find('\n')), headed);
    EXPECT_EQ(window.substr(window.find('\n')), tool.str().substr(tool.str().find('\n')));
    EXPECT_EQ(std::count(window.begin(), window.end(), '\n'), 2001);
}

// A d-q machine's family pins each member's Md and Omega, as the batch
// tool's sweep makes them.
TEST_F(Currents, ADqFamilyPinsItsMembersMdAndOmega)
{
    const Settings settings = MachineSettings(ModelKind::Dq);
    Use(settings);
    form1_->PinFamily({"step.load", "0, 20", RunKind::Step});
    WaitForWork();
    ASSERT_TRUE(errors_.empty()) << errors_.front();
    const auto& pinned = Tools().pins->Pinned();
    ASSERT_EQ(pinned.size(), 4u);
    Settings loaded = settings;
    loaded.step.load = 20;
    const RunResult member = RunExperiment({RunKind::Step, loaded, "20", {}});
    EXPECT_EQ(pinned.back().of.quantity, Quantity::Omega);
    EXPECT_TRUE(std::ranges::equal(pinned.back().trace.Values(), member.Of(Quantity::Omega).Values()));
    EXPECT_FALSE(Item().isEnabled()) << "a family's currents are not offered";
}

} // namespace
