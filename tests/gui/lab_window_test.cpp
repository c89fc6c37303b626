// The measured data in the window: drawn over the runs at the times it was
// sampled, read from columns the user maps, and compared with the run.

#include "ChartWindowFixture.h"

#include "chart/ChartCursors.h"
#include "chart/MeasuredLines.h"
#include "plot/AxisUnits.h"
#include "ui/FitDialog.h"
#include "ui/LabBench.h"
#include "ui/MeasuredColumnsDialog.h"
#include "ui/MeasurementsWindow.h"
#include "ui/NameplateDialog.h"
#include "ui/ParametersWindow.h"
#include "ui/ToolWindows.h"

#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <fstream>

namespace {

// A number as the batch tool writes it: the shortest text that reads back
// the same double.
std::string Exact(double value)
{
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

class LabWindow : public ChartWindow {
protected:
    LabBench& Lab() const { return form1_->Lab(); }

    const Trace& Step(Quantity quantity) const { return form1_->Series(RunKind::Step, quantity); }

    // A file of every tenth step's samples of the step response, headed as
    // given, with the time as the chart reads the steps.
    std::string SampledFile(Quantity quantity, const std::string& timeHeading, const std::string& valueHeading)
    {
        return SampledFile(std::vector{quantity}, timeHeading, std::vector{valueHeading});
    }

    std::string SampledFile(const std::vector<Quantity>& quantities, const std::string& timeHeading,
                            const std::vector<std::string>& valueHeadings)
    {
        const std::string path = folder_.filePath(QStringLiteral("bench.csv")).toStdString();
        std::ofstream file(path);
        file << timeHeading;
        for (const std::string& heading : valueHeadings)
            file << ',' << heading;
        const double dt = form1_->SettingsInForce().model.dt;
        for (std::size_t i = 0; i < Step(quantities.front()).Size(); i += 10) {
            file << '\n' << Exact(TimeOfStep(static_cast<double>(i), dt));
            for (const Quantity quantity : quantities)
                file << ',' << Exact(Step(quantity).Values()[i]);
        }
        file << '\n';
        return path;
    }

    // The exact values of the measurements window's cursor table's row
    // named so, as the cells' tooltips give them; empty without the row.
    QStringList CursorRow(const QString& name) const
    {
        const auto* table = form1_->Measurements().findChild<QTableWidget*>(QStringLiteral("CursorTable"));
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, 0)->text() == name) {
                QStringList cells;
                for (int column = 1; column < table->columnCount(); ++column)
                    cells << table->item(row, column)->toolTip();
                return cells;
            }
        return {};
    }

    QTemporaryDir folder_;
};

struct OverlayCase {
    const char* name;
    ModelKind kind;
    Quantity quantity;
};

class MeasuredOverlay : public LabWindow, public testing::WithParamInterface<OverlayCase> {};

// A bench that sampled the run itself lies on the run's trace: each sample
// at its step, on the axis the run's quantity is read on.
TEST_P(MeasuredOverlay, SamplesOfTheRunLieOnItsTraceAtTheirSteps)
{
    const OverlayCase& c = GetParam();
    Settings settings;
    settings.kind = c.kind;
    settings.run.steps = 2000;
    form1_->Parameters().ShowSettings(settings);
    RunStepResponse(QStringLiteral("10"));
    Lab().Open(SampledFile(c.quantity, "t", std::string(QuantityName(c.quantity))));
    ASSERT_TRUE(errors_.empty()) << errors_.front();
    Settled();

    const std::vector<QCPAbstractPlottable*> graphs = Chart()->Measured().Graphs();
    ASSERT_EQ(graphs.size(), 1u);
    const auto& data = *static_cast<const QCPGraph*>(graphs.front())->data();
    const std::span<const double> run = Step(c.quantity).Values();
    ASSERT_EQ(static_cast<std::size_t>(data.size()), (run.size() + 9) / 10);
    for (int i = 0; i < data.size(); ++i) {
        const auto step = static_cast<std::size_t>(10 * i);
        // Seconds to steps and back round within an ulp or two of the step;
        // a millionth of a step is far below a pixel.
        EXPECT_NEAR(data.at(i)->key, static_cast<double>(step), 1e-6) << i;
        EXPECT_EQ(data.at(i)->value, run[step]) << i;
    }
    const int runTrace = Chart()->View().Traces().IndexOf(Step(c.quantity)).value();
    EXPECT_EQ(graphs.front()->valueAxis(), Chart()->ValueAxisOf(runTrace));
    // Shown in the legend after the traces, named as measured.
    EXPECT_TRUE(Chart()->legend->itemWithPlottable(graphs.front()));
    EXPECT_TRUE(graphs.front()->name().contains(QString::fromUtf8(QuantityName(c.quantity))));
}

INSTANTIATE_TEST_SUITE_P(Quantities, MeasuredOverlay,
                         testing::Values(OverlayCase{"ThreeStateMd", ModelKind::ThreeState, Quantity::Md},
                                         OverlayCase{"ThreeStateOmega", ModelKind::ThreeState, Quantity::Omega},
                                         OverlayCase{"DqOmega", ModelKind::Dq, Quantity::Omega},
                                         OverlayCase{"DqCurrentOnAmperes", ModelKind::Dq, Quantity::Is}),
                         [](const auto& row) { return std::string(row.param.name); });

// The cursors read each measured graph's sample nearest them, as the
// tracker does, with the time it was taken at: samples of the run itself
// every tenth step, so the run's own values at the nearest tenth steps.
TEST_F(LabWindow, CursorsReadTheNearestMeasuredSamples)
{
    RunStepResponse(QStringLiteral("10"));
    Lab().Open(SampledFile(Quantity::Omega, "t", "Omega"));
    Trigger(QStringLiteral("Измерения"));
    Trigger(QStringLiteral("Курсоры A и B"));
    QCoreApplication::processEvents();
    ASSERT_EQ(Tools().cursors->Steps(), (CursorSteps{500, 1499}));
    const double dt = form1_->SettingsInForce().model.dt;
    const std::span<const double> omega = Step(Quantity::Omega).Values();
    // 1499 is nearer 1500 than 1490.
    const auto number = [](double value) { return QString::fromStdString(Exact(value)); };
    const QString name = Chart()->Measured().Graphs().front()->name();
    EXPECT_EQ(CursorRow(name), (QStringList{number(omega[500]), number(omega[1500]), number(omega[1500] - omega[500])}));
    const double a = TimeOfStep(500, dt);
    const double b = TimeOfStep(1500, dt);
    EXPECT_EQ(CursorRow(name + QStringLiteral(": время, с")), (QStringList{number(a), number(b), number(b - a)}));
    // The tracker names the same samples.
    EXPECT_EQ(Chart()->Measured().NearestTo(1499).front().seconds, b);
}

// Measured Md and Omega go on the characteristic as the bench took them
// together, beside the run's path, named in its legend; measured Omega
// alone has no path there.
TEST_F(LabWindow, CharacteristicDrawsTheSamplesOfMdAndOmega)
{
    RunStepResponse(QStringLiteral("10"));
    ShowToolWindow(form1_->Mechanical(), *form1_);
    for (const bool both : {true, false}) {
        Lab().Open(both ? SampledFile({Quantity::Md, Quantity::Omega}, "t", {"Md", "Omega"})
                        : SampledFile(Quantity::Omega, "t", "Omega"));
        const std::vector<PlaneCurve>& curves = Plane().Curves();
        const auto measured = std::ranges::find(curves, CurveKind::Measured, &PlaneCurve::kind);
        ASSERT_EQ(measured != curves.end(), both);
        if (!both)
            continue;
        const PlanePoints path = PathOf(Step(Quantity::Md), Step(Quantity::Omega));
        ASSERT_EQ(measured->points.size(), (path.size() + 9) / 10);
        for (std::size_t i = 0; i < measured->points.size(); ++i)
            ASSERT_EQ(measured->points[i], (PlanePoint{path[10 * i].Md, path[10 * i].Omega, std::nullopt})) << i;
        const ShownTraces& entries = Plane().View().Traces();
        bool listed = false;
        for (int entry = 0; entry < entries.Count(); ++entry)
            listed = listed || (entries.Heading(entry) == measured->name && entries.IsShown(entry));
        EXPECT_TRUE(listed);
    }
}

// The run against samples of itself: every sample compared, no error and
// R² = 1, in the measurements window and the report's table alike.
TEST_F(LabWindow, RunComparedWithItsOwnSamplesHasNoError)
{
    RunStepResponse(QStringLiteral("10"));
    Lab().Open(SampledFile(Quantity::Omega, "t", "Omega"));
    ASSERT_TRUE(errors_.empty()) << errors_.front();
    std::vector<ReportTable> tables = form1_->Measurements().ReportTables();
    const auto comparison = std::find_if(tables.begin(), tables.end(), [](const ReportTable& table) {
        return table.header.contains(QStringLiteral("R²"));
    });
    ASSERT_NE(comparison, tables.end());
    ASSERT_EQ(comparison->rows.size(), 1);
    const QStringList& omega = comparison->rows.front();
    EXPECT_EQ(omega[0], QStringLiteral("Omega"));
    EXPECT_EQ(omega[1].toULongLong(), (Step(Quantity::Omega).Size() + 9) / 10);
    // The run is interpolated at the samples' own times, which are its
    // steps': what is left is the rounding of a time to a step, far below
    // a millionth of the speed's range.
    EXPECT_LT(std::abs(omega[2].toDouble()), 1e-6);
    EXPECT_EQ(omega[5], QStringLiteral("1"));
}

struct BadFileCase {
    const char* name;
    std::string_view text;
    // What the message must name: the place and the fault.
    const char* named;
};

class MeasuredRefused : public LabWindow, public testing::WithParamInterface<BadFileCase> {};

// A file that cannot be read is told in the window's words, naming where
// and why, and the measured data shown before stays.
TEST_P(MeasuredRefused, IsToldAndLeavesTheDataShown)
{
    RunStepResponse(QStringLiteral("10"));
    Lab().Open(SampledFile(Quantity::Omega, "t", "Omega"));
    const std::string bad = folder_.filePath(QStringLiteral("bad.csv")).toStdString();
    std::ofstream(bad, std::ios::binary).write(GetParam().text.data(), static_cast<std::streamsize>(GetParam().text.size()));
    RunCommand([&] { Lab().Open(bad); });
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_NE(errors_.front().find("bad.csv"), std::string::npos) << errors_.front();
    EXPECT_NE(errors_.front().find(GetParam().named), std::string::npos) << errors_.front();
    ASSERT_TRUE(Lab().Measured());
    EXPECT_NE(Lab().Measured()->file.find("bench.csv"), std::string::npos);
    EXPECT_EQ(Chart()->Measured().Graphs().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Files, MeasuredRefused,
                         testing::Values(BadFileCase{"TimeNotIncreasing", "t,Omega\n0.1,5\n0.1,6\n", "строка 3"},
                                         BadFileCase{"NotANumber", "t,Omega\n0.1,5\n0.2,x\n", "'x'"},
                                         BadFileCase{"FieldCount", "t,Omega\n0.1,5,7\n0.2,6\n", "строка 2"},
                                         BadFileCase{"Empty", "", "пуст"},
                                         BadFileCase{"Binary", std::string_view("t,Omega\n\0\n", 10), "0x00"}),
                         [](const auto& row) { return std::string(row.param.name); });

// A click on a measured graph's legend entry hides it, and it then spans
// nothing and reads nowhere; a second click shows it again.
TEST_F(LabWindow, LegendClickHidesAndShowsAMeasuredGraph)
{
    RunStepResponse(QStringLiteral("10"));
    Lab().Open(SampledFile(Quantity::Omega, "t", "Omega"));
    QCPAbstractPlottable& graph = *Chart()->Measured().Graphs().front();
    for (const bool shown : {false, true}) {
        Settled();
        const QCPPlottableLegendItem* entry = Chart()->legend->itemWithPlottable(&graph);
        ASSERT_TRUE(entry);
        QTest::mouseClick(Chart(), Qt::LeftButton, {}, entry->outerRect().center());
        EXPECT_EQ(graph.visible(), shown);
        EXPECT_EQ(Chart()->Measured().ShownSeries().size(), shown ? 1u : 0u);
        EXPECT_EQ(Chart()->Measured().NearestTo(100).size(), shown ? 1u : 0u);
    }
}

// A file whose columns are named otherwise asks what they hold; the
// dialog's choice reads the renamed column as the quantity, and a
// cancelled dialog changes nothing.
TEST_F(LabWindow, RenamedColumnsAreReadAsTheDialogMapsThem)
{
    RunStepResponse(QStringLiteral("10"));
    const std::string path = SampledFile(Quantity::Omega, "time_s", "tacho");
    std::vector<std::string> asked;
    Lab().SetAskMapping([&asked](const std::vector<std::string>& columns) {
        asked = columns;
        MeasuredColumnsDialog dialog(columns);
        dialog.Choose(0, lab::ColumnRole{});
        dialog.Choose(1, lab::ColumnRole{Quantity::Omega});
        return std::optional(dialog.Mappings());
    });
    Lab().Open(path);
    ASSERT_TRUE(errors_.empty()) << errors_.front();
    EXPECT_EQ(asked, (std::vector<std::string>{"time_s", "tacho"}));
    ASSERT_TRUE(Lab().Measured());
    EXPECT_EQ(Lab().Measured()->Quantities(), std::vector<Quantity>{Quantity::Omega});
    EXPECT_EQ(Lab().Measured()->Of(Quantity::Omega).front(), Step(Quantity::Omega).Values().front());

    Lab().Close();
    Lab().SetAskMapping([](const std::vector<std::string>&) { return std::nullopt; });
    Lab().Open(path);
    EXPECT_FALSE(Lab().Measured());
    EXPECT_TRUE(Chart()->Measured().Graphs().empty());
}

// The window's fit of J to a bench that measured the model itself with
// another J finds that J; "Применить" puts it in force, its residual goes
// on the chart, and "Отменить" brings back the settings it replaced.
TEST_F(LabWindow, FitDialogAppliesTheFittedValueAndUndoes)
{
    Settings truth;
    truth.model.J = 0.0215;
    form1_->Parameters().ShowSettings(truth);
    RunStepResponse(QStringLiteral("10"));
    const std::string path = SampledFile(Quantity::Omega, "t", "Omega");
    const Settings start;
    form1_->Parameters().ShowSettings(start);
    Lab().Open(path);

    FitDialog& fit = Lab().OpenFit();
    fit.Choose("model.J", true);
    fit.Fit();
    QElapsedTimer waited;
    waited.start();
    while (fit.Work().Busy() && waited.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(errors_.empty()) << errors_.front();
    ASSERT_TRUE(fit.Result());
    ASSERT_EQ(fit.Result()->fitted.size(), 1u);
    // Samples of the model itself, without noise: the fit stops within its
    // step tolerance of the truth, far inside a part in a thousand.
    EXPECT_NEAR(fit.Result()->fitted.front().value, truth.model.J, truth.model.J * 1e-3);
    EXPECT_EQ(Chart()->Measured().Graphs().size(), 2u) << "the measured Omega and its residual";

    fit.Apply();
    EXPECT_EQ(form1_->SettingsInForce().model.J, fit.Result()->fitted.front().value);
    fit.Undo();
    EXPECT_EQ(form1_->SettingsInForce(), start);
}

// The nameplate's estimate put in force is a d-q machine with the
// estimated parameters; undone, the settings before come back.
TEST_F(LabWindow, NameplateDialogAppliesTheEstimatedMachineAndUndoes)
{
    const Settings before = form1_->SettingsInForce();
    NameplateDialog dialog(form1_->Parameters());
    dialog.SetPlate({.power = 5500, .voltage = 400, .connection = lab::Connection::Star, .frequency = 50,
                     .speed = 1440, .current = 11.1, .cosPhi = 0.85, .efficiency = 0.86,
                     .breakdownRatio = 2.7});
    dialog.Estimate();
    ASSERT_TRUE(dialog.Estimated());
    dialog.Apply();
    EXPECT_EQ(form1_->SettingsInForce(), dialog.Estimated()->ApplyTo(before));
    EXPECT_EQ(form1_->SettingsInForce().Kind(), ModelKind::Dq);
    dialog.Undo();
    EXPECT_EQ(form1_->SettingsInForce(), before);
}


struct ReopenedCase {
    const char* name;
    // What happens to the data file between saving and opening the session.
    void (*change)(const std::string& path);
    // What the warning names beside the file; none for no warning.
    const char* told;
};

class MeasuredInSession : public LabWindow, public testing::WithParamInterface<ReopenedCase> {};

// A session keeps the measured data shown, with the columns the user
// mapped: a fresh window opening it reads the file again, asking nothing,
// and draws it. A file changed or gone since is told, naming it, and the
// runs open all the same.
TEST_P(MeasuredInSession, OpensInAFreshWindowOrIsTold)
{
    const ReopenedCase& c = GetParam();
    RunStepResponse(QStringLiteral("10"));
    const std::string data = SampledFile(Quantity::Omega, "time_s", "tacho");
    Lab().SetAskMapping([](const std::vector<std::string>&) {
        return std::optional(std::vector<lab::ColumnMapping>{{"time_s", {}}, {"tacho", {Quantity::Omega}}});
    });
    Lab().Open(data);
    const std::string session = folder_.filePath(QStringLiteral("lab.session.toml")).toStdString();
    form1_->WriteSession(session);
    ASSERT_TRUE(errors_.empty()) << errors_.front();
    c.change(data);

    TForm1 fresh;
    fresh.Lab().SetAskMapping([](const std::vector<std::string>&) {
        ADD_FAILURE() << "a session's mappings are not asked again";
        return std::optional<std::vector<lab::ColumnMapping>>();
    });
    fresh.OpenSession(session);
    EXPECT_EQ(fresh.Series(RunKind::Step, Quantity::Omega).Values().size(), Step(Quantity::Omega).Size());
    const auto graphs = fresh.findChild<TraceChart*>(QStringLiteral("Chart1"))->Measured().Graphs().size();
    if (!c.told) {
        ASSERT_TRUE(errors_.empty()) << errors_.front();
        ASSERT_TRUE(fresh.Lab().Measured());
        EXPECT_EQ(fresh.Lab().Measured()->Of(Quantity::Omega), Lab().Measured()->Of(Quantity::Omega));
        EXPECT_EQ(graphs, 1u);
        EXPECT_EQ(fresh.CurrentSession().measured, form1_->CurrentSession().measured);
        return;
    }
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_NE(errors_.front().find(data), std::string::npos) << errors_.front();
    EXPECT_NE(errors_.front().find(c.told), std::string::npos) << errors_.front();
    EXPECT_FALSE(fresh.Lab().Measured());
    EXPECT_EQ(graphs, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Files, MeasuredInSession,
    testing::Values(ReopenedCase{"Unchanged", [](const std::string&) {}, nullptr},
                    ReopenedCase{"RowAdded", [](const std::string& path) { std::ofstream(path, std::ios::app) << "99,1\n"; },
                                 "изменился"},
                    ReopenedCase{"Removed", [](const std::string& path) { std::remove(path.c_str()); },
                                 "не прочитан"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
