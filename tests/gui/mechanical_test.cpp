#include "ChartWindowFixture.h"

#include "analysis/MechanicalPlane.h"
#include "chart/ChartExporter.h"
#include "chart/ChartPins.h"
#include "chart/MechanicalChart.h"
#include "experiments/Runs.h"
#include "plot/PlaneCurves.h"
#include "ui/MechanicalWindow.h"
#include "ui/ParametersWindow.h"

#include <QTemporaryDir>

#include <fstream>
#include <functional>
#include <set>
#include <sstream>

namespace {

const std::string kStatic = "Статическая характеристика";
const std::string kLoad10 = "Нагрузка (Mc=10)";
const std::string kOperating = "Рабочая точка";

class Mechanical : public ChartWindow {
public:
    // What the scenes do, as the user would.
    using ChartWindow::ClickLegendEntry;
    using ChartWindow::RunAll;
    using MainWindow::Click;
    using MainWindow::RunStepResponse;
    void PinRun() { Trigger(QStringLiteral("Закрепить графики")); }

protected:
    void Open() { Trigger(QStringLiteral("Механическая характеристика")); }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const PlaneCurve& curve : Plane().Curves())
            names.push_back(curve.name);
        return names;
    }

    int IndexOf(const std::string& name) const
    {
        const std::vector<std::string> names = Names();
        return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
    }

    // The menu of the main chart as it opens over the trace's legend entry.
    QAction* EntryItem(int trace, const QString& text) const
    {
        Settled();
        emit Chart()->customContextMenuRequested(Chart()->LegendEntryRect(trace).center());
        Tools().menu->Menu().close();
        for (QAction* action : Tools().menu->Menu().actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }
};

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
        auto* curve = qobject_cast<QCPCurve*>(Plane().plottable(index));
        ASSERT_NE(curve, nullptr) << name;
        ASSERT_EQ(curve->data()->size(), static_cast<int>(omega.Points().size()));
        for (int i = 0; i < curve->data()->size(); ++i) {
            const QCPCurveData& point = *(curve->data()->constBegin() + i);
            ASSERT_EQ(point.key, md.Points()[static_cast<std::size_t>(i)].y) << i;
            ASSERT_EQ(point.value, omega.Points()[static_cast<std::size_t>(i)].y) << i;
        }
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
    const std::vector<PlanePoint> before = Plane().Curves().front().points;
    Settings settings;
    settings.model.Mk = 2 * settings.model.Mk;
    form1_->Parameters().ShowSettings(settings);
    const std::vector<PlanePoint> after = Plane().Curves().front().points;
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

// The tracker names the curve and gives the point's values exactly.
TEST_F(Mechanical, TrackerNamesTheNearestPointsCurve)
{
    Open();
    RunStepResponse(QStringLiteral("10"));
    const PlotMapping mapping = [this] {
        Plane().replot();
        return Plane().Mapping();
    }();
    const PlanePoint operating = Plane().Curves().back().points.front();
    const QPointF at(mapping.PixelAtX(operating.Md), mapping.PixelAtY(operating.Omega));
    QMouseEvent move(QEvent::MouseMove, at, Plane().mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&Plane(), &move);
    QString box;
    for (int i = 0; i < Plane().itemCount(); ++i)
        if (auto* text = qobject_cast<QCPItemText*>(Plane().item(i)); text && text->visible())
            box = text->text();
    // The path ends its loaded half within a pixel of the point; whichever
    // is named, its values are given exactly.
    ASSERT_FALSE(box.isEmpty());
    EXPECT_TRUE(box.contains(QStringLiteral("Md: ")) && box.contains(QStringLiteral("Omega: "))) << box.toStdString();
    EXPECT_TRUE(box.startsWith(QString::fromStdString(kOperating)) || box.startsWith(QStringLiteral("Omega (Step)")))
        << box.toStdString();
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
