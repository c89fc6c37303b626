// The mechanical characteristic's window: what it draws of the main chart's
// runs and pins, in their style, and the main chart's tools it has.

#include "MechanicalFixture.h"

#include "analysis/MechanicalCharacteristic.h"
#include "analysis/MechanicalPlane.h"
#include "chart/ChartExporter.h"
#include "chart/ChartPins.h"
#include "chart/PlaneLines.h"
#include "experiments/Settings.h"
#include "ui/MechanicalWindow.h"
#include "ui/ParametersWindow.h"

#include <QTemporaryDir>
#include <QWheelEvent>

#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <tuple>

namespace {

const std::string kLoad10 = "Нагрузка (Mc=10)";

// What the window draws after what the user did, paths named as the main
// chart's headings and the operating point drawn last, over the paths.
struct Scene {
    const char* name;
    std::function<void(Mechanical&)> act;
    std::vector<std::string> curves;
};

} // namespace

class MechanicalScenes : public Mechanical, public testing::WithParamInterface<Scene> {};

// The lines a change left as they were, or drew anew in place, show what
// lines made for the curves from the start would.
TEST_P(MechanicalScenes, DrawWhatTheMainChartShows)
{
    Open();
    GetParam().act(*this);
    EXPECT_EQ(Names(), GetParam().curves);
    // Beside the window's chart, in the window's font.
    MechanicalChart fresh(Plane().parentWidget());
    fresh.resize(Plane().size());
    fresh.SetTitleText(Plane().TitleText());
    fresh.ShowCurves(Plane().Curves());
    fresh.replot();
    Plane().replot();
    EXPECT_EQ(Plane().grab().toImage(), fresh.grab().toImage());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, MechanicalScenes,
    testing::Values(
        Scene{"at_start", [](Mechanical&) {}, {kStatic}},
        Scene{"step_10", [](Mechanical& m) { m.RunStepResponse(QStringLiteral("10")); },
              {kStatic, kLoad10, "Omega (Step)", kOperating}},
        Scene{"all_runs", [](Mechanical& m) { m.RunAll(); },
              {kStatic, kLoad10, "Omega (Gauss)", "Omega (Uniform)", "Omega (Step)", kOperating}},
        Scene{"pinned",
              [](Mechanical& m) {
                  m.RunStepResponse(QStringLiteral("10"));
                  m.PinRun();
                  m.RunStepResponse(QStringLiteral("20"));
              },
              {kStatic, "Нагрузка (Mc=20)", "Omega (Step)", "Omega (Mc=10)", kOperating}},
        Scene{"cleared",
              [](Mechanical& m) {
                  m.RunAll();
                  m.PinRun();
                  m.Click("Button2");
              },
              {kStatic}},
        Scene{"cleared_then_step_20",
              [](Mechanical& m) {
                  m.RunStepResponse(QStringLiteral("10"));
                  m.Click("Button2");
                  m.RunStepResponse(QStringLiteral("20"));
              },
              {kStatic, "Нагрузка (Mc=20)", "Omega (Step)", kOperating}},
        Scene{"hidden_on_the_main_chart",
              [](Mechanical& m) {
                  m.RunAll();
                  m.ClickLegendEntry(5);
              },
              {kStatic, kLoad10, "Omega (Gauss)", "Omega (Uniform)", kOperating}},
        Scene{"refused_load_shows_none",
              [](Mechanical& m) {
                  m.RunStepResponse(QStringLiteral("10"));
                  m.RunStepResponse(QStringLiteral("x"));
              },
              {kStatic}},
        Scene{"load_above_the_limit_shows_none",
              [](Mechanical& m) {
                  m.RunStepResponse(QStringLiteral("10"));
                  m.RunStepResponse(QStringLiteral("40"));
              },
              {kStatic}}),
    [](const auto& test) { return std::string(test.param.name); });

// Each path is a curve through the run's (Md, Omega) in step order, drawn
// as the main chart draws its Omega trace.
TEST_F(Mechanical, PathsAreCurvesOfTheRunsPointsInTheirTracesStyle)
{
    Open();
    RunStepResponse(QStringLiteral("10"));
    PinRun();
    const Trace& md = form1_->Series(RunKind::Step, Quantity::Md);
    const Trace& omega = form1_->Series(RunKind::Step, Quantity::Omega);
    for (const auto& [name, trace, style] : {std::tuple{"Omega (Step)", 5, Qt::SolidLine},
                                             std::tuple{"Omega (Mc=10)", 7, Qt::DashLine}}) {
        const int index = IndexOf(name);
        auto* curve = qobject_cast<PlaneLines*>(Plane().plottable(index));
        ASSERT_NE(curve, nullptr) << name;
        ASSERT_EQ(curve->Points().size(), omega.Points().size());
        for (std::size_t i = 0; i < curve->Points().size(); ++i) {
            ASSERT_EQ(curve->Points()[i].Md, md.Points()[i].y) << i;
            ASSERT_EQ(curve->Points()[i].Omega, omega.Points()[i].y) << i;
        }
        EXPECT_TRUE(curve->Lined()) << name;
        EXPECT_EQ(curve->pen().color(), Chart()->TraceColour(trace)) << name;
        EXPECT_EQ(curve->pen().style(), style) << name;
        EXPECT_EQ(curve->name(), QString::fromUtf8(name));
    }
    EXPECT_EQ(Plane().xAxis->label(), QStringLiteral("Md, Н·м"));
    EXPECT_EQ(Plane().yAxis->label(), QStringLiteral("Omega, рад/с"));
}

TEST_F(Mechanical, TheStaticCurveFollowsTheSettingsInForce)
{
    Open();
    const PlanePoints before = Plane().Curves().front().points;
    Settings settings;
    settings.model.Mk = 2 * settings.model.Mk;
    form1_->Parameters().ShowSettings(settings);
    const PlanePoints after = Plane().Curves().front().points;
    EXPECT_EQ(after, analysis::ModelCurves(settings, std::nullopt).front().points);
    EXPECT_NE(after, before);
    EXPECT_LT(after.size(), before.size()) << "twice Mk leaves the slowest speeds without a rest point";
}

// The main chart's tools: the menu's items, the zoom and its history, the
// legend, and the exports.
TEST_F(Mechanical, HasTheMainChartsTools)
{
    Open();
    RunStepResponse(QStringLiteral("10"));
    QMenu* menu = Plane().findChild<QMenu*>();
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            items << action->text();
    EXPECT_EQ(items, (QStringList{QStringLiteral("Сбросить масштаб"), QStringLiteral("Предыдущий масштаб"),
                                  QStringLiteral("Сохранить изображение…"), QStringLiteral("Экспорт данных в CSV…"),
                                  QStringLiteral("Копировать изображение")}));

    Plane().replot();
    const AxisRanges whole = Plane().View().Ranges();
    QWheelEvent wheel(Plane().rect().center(), Plane().mapToGlobal(Plane().rect().center()), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&Plane(), &wheel);
    EXPECT_LT(Plane().View().Ranges().x.Span(), whole.x.Span());
    Plane().View().Back();
    EXPECT_EQ(Plane().View().Ranges(), whole);

    const int path = IndexOf("Omega (Step)");
    Plane().replot();
    QTest::mouseClick(&Plane(), Qt::LeftButton, {}, Plane().LegendEntryRect(path).center());
    EXPECT_FALSE(Plane().View().Traces().IsShown(path));

    QTemporaryDir dir;
    const QString csvPath = dir.filePath(QStringLiteral("plane.csv"));
    ChartExporter exporter(Plane());
    exporter.SaveCsv(csvPath);
    std::ifstream file(csvPath.toStdString());
    std::stringstream text;
    text << file.rdbuf();
    std::vector<const PlaneCurve*> shown;
    for (int i : Plane().View().Traces().ShownIndices())
        shown.push_back(&Plane().Curves()[static_cast<std::size_t>(i)]);
    EXPECT_EQ(text.str(), PlaneCsv(shown, kPlainCsv)) << "the hidden path left out";
    for (ImageFormat format : {ImageFormat::Png, ImageFormat::Svg, ImageFormat::Pdf}) {
        const QString picture = dir.filePath(QStringLiteral("plane%1").arg(static_cast<int>(format)));
        exporter.SaveImage(picture, format);
        EXPECT_GT(QFileInfo(picture).size(), 1000) << static_cast<int>(format);
    }
}

// Pins get colours of their own, stay dashed, and go one at a time.
TEST_F(Mechanical, PinsHaveColoursOfTheirOwnAndGoOneByOne)
{
    for (const char* load : {"0", "10", "20", "30"}) {
        RunStepResponse(QString::fromLatin1(load));
        PinRun();
    }
    std::set<QRgb> colours;
    for (int i = 6; i < Chart()->TraceCount(); ++i) {
        colours.insert(Chart()->TraceColour(i).rgb());
        EXPECT_EQ(Chart()->TraceStyle(i), LineStyle::Dashed);
    }
    EXPECT_EQ(colours.size(), 8u) << "four runs' Md and Omega, each told apart";
    for (int i = 0; i < 6; ++i)
        EXPECT_FALSE(colours.contains(Chart()->TraceColour(i).rgb())) << "no pin looks like a live trace";

    EXPECT_FALSE(EntryItem(5, QStringLiteral("Убрать"))->isVisible()) << "a live trace is no pin";
    QAction* remove = EntryItem(8, QStringLiteral("Убрать"));
    ASSERT_TRUE(remove->isVisible());
    remove->trigger();
    std::vector<std::string> headings;
    for (int i = 6; i < Chart()->TraceCount(); ++i)
        headings.push_back(Chart()->View().Traces().Heading(i));
    EXPECT_EQ(headings, (std::vector<std::string>{"Md (Mc=0)", "Omega (Mc=0)", "Omega (Mc=10)", "Md (Mc=20)",
                                                  "Omega (Mc=20)", "Md (Mc=30)", "Omega (Mc=30)"}));
    EXPECT_EQ(Tools().pins->Pinned().size(), 7u);
}
