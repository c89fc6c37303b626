#include "ChartWindowFixture.h"

#include "analysis/MechanicalCharacteristic.h"
#include "analysis/MechanicalPlane.h"
#include "chart/ChartExporter.h"
#include "chart/ChartPins.h"
#include "chart/LegendPlace.h"
#include "chart/MechanicalChart.h"
#include "chart/PlaneLines.h"
#include "chart/PlaneTracker.h"
#include "chart/TrackerIndices.h"
#include "experiments/Family.h"
#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "plot/PlaneCurves.h"
#include "ui/FamilyWindow.h"
#include "ui/MechanicalWindow.h"
#include "ui/ParametersWindow.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <fstream>
#include <functional>
#include <map>
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

class MechanicalTracker : public Mechanical, public testing::WithParamInterface<std::int64_t> {
protected:
    // The text of the shown box, the tracker's.
    QString Box()
    {
        for (int i = 0; i < Plane().itemCount(); ++i)
            if (auto* text = qobject_cast<QCPItemText*>(Plane().item(i)); text && text->visible())
                return text->text();
        return {};
    }

    // Moves the pointer onto the operating point.
    void PointAtOperatingPoint()
    {
        Plane().replot();
        const PlotMapping mapping = Plane().Mapping();
        const PlanePoint operating = Plane().Curves().back().points.front();
        const QPointF at(mapping.PixelAtX(operating.Md), mapping.PixelAtY(operating.Omega));
        QMouseEvent move(QEvent::MouseMove, at, Plane().mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&Plane(), &move);
    }

    void RunSteps(const char* load)
    {
        Settings settings;
        settings.run.steps = GetParam();
        form1_->Parameters().ShowSettings(settings);
        RunStepResponse(QString::fromLatin1(load));
        WaitForWork();
    }
};

// The tracker names the curve and gives the point's values exactly. A path
// too long to sort within a frame is sorted on a worker, the box saying
// "…" meanwhile, and made again meanwhile, sorted afresh.
TEST_P(MechanicalTracker, NamesTheNearestPointsCurve)
{
    Open();
    const bool sortedMeanwhile = static_cast<std::size_t>(GetParam()) > TrackerIndices::kSortedAtOnce;
    RunSteps("10");
    PointAtOperatingPoint();
    EXPECT_EQ(Box() == QStringLiteral("…"), sortedMeanwhile) << Box().toStdString();
    EXPECT_EQ(Plane().Sorting(), sortedMeanwhile);
    if (sortedMeanwhile) {
        QSignalSpy sorted(&Plane(), &MechanicalChart::Sorted);
        RunSteps("12");
        PointAtOperatingPoint();
        // The first path's sorting may end meanwhile, before the new one's.
        while (Plane().Sorting() && sorted.wait(30000)) {
        }
        EXPECT_FALSE(Plane().Sorting());
    }
    const QString box = Box();
    // The path ends its loaded half within a pixel of the point; whichever
    // is named, its values are given exactly.
    EXPECT_TRUE(box.contains(QStringLiteral("Md: ")) && box.contains(QStringLiteral("Omega: "))) << box.toStdString();
    EXPECT_TRUE(box.startsWith(QString::fromStdString(kOperating)) || box.startsWith(QStringLiteral("Omega (Step)")))
        << box.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Steps, MechanicalTracker, testing::Values(2000, 150'000));

// The tracker's search, bounded by its reach, finds the point a walk over
// every point of every curve finds: the first strictly nearest, if within
// reach, a run's before its pin's; none where nothing comes that near.
TEST_F(Mechanical, NearestPointWithinReachIsTheOneAWalkOverEveryPointFinds)
{
    Open();
    RunAll();
    PinRun();
    Plane().replot();
    const PlotMapping m = Plane().Mapping();
    const double acrossScale = m.area.width / m.ranges.x.Span();
    const double upScale = m.area.height / m.ranges.y.Span();
    for (const double reach : {2.0, PlaneTracker::kReach, 1e9}) {
        std::set<bool> outcomes;
        for (double x = m.area.left + 3; x < m.area.left + m.area.width; x += m.area.width / 23) {
            for (double y = m.area.top + 2; y < m.area.top + m.area.height; y += m.area.height / 17) {
                std::optional<NearestPlanePoint> walked;
                double best = reach * reach;
                for (std::size_t c = 0; c < Plane().Curves().size(); ++c) {
                    const PlanePoints& points = Plane().Curves()[c].points;
                    for (std::size_t i = 0; i < points.size(); ++i) {
                        const double across = (points.Md(i) - m.ValueAtX(x)) * acrossScale;
                        const double up = (points.Omega(i) - m.ValueAtY(y)) * upScale;
                        const double distance = across * across + up * up;
                        if (distance < best || (!walked && distance == best)) {
                            walked = NearestPlanePoint{static_cast<int>(c), points[i]};
                            best = distance;
                        }
                    }
                }
                const std::optional<NearestPlanePoint> nearest = Plane().NearestPoint({x, y}, reach);
                ASSERT_EQ(nearest.has_value(), walked.has_value()) << "reach " << reach << " at " << x << ", " << y;
                outcomes.insert(nearest.has_value());
                ASSERT_TRUE(!nearest || (nearest->curve == walked->curve && nearest->point.Md == walked->point.Md &&
                                         nearest->point.Omega == walked->point.Omega))
                    << "reach " << reach << " at " << x << ", " << y;
            }
        }
        EXPECT_EQ(outcomes.size(), reach < 1e9 ? 2u : 1u) << "reach " << reach << ": near a curve and far from all";
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

namespace {

// A family of four loads, as the user builds it in the family's window,
// with the characteristic open.
class MechanicalFamily : public Mechanical {
protected:
    void SetUp() override
    {
        Mechanical::SetUp();
        Open();
        form1_->Family().SetRequest({"step.load", "0:30:10", RunKind::Step});
        QTest::mouseClick(form1_->Family().findChild<QPushButton*>(QStringLiteral("BuildButton")), Qt::LeftButton);
        WaitForWork();
    }

    // Each member's Omega pin, in the family's order.
    std::vector<const PinnedTrace*> Members() const
    {
        std::vector<const PinnedTrace*> members;
        for (const PinnedTrace& pin : Tools().pins->Pinned())
            if (pin.origin.family && pin.of.quantity == Quantity::Omega)
                members.push_back(&pin);
        return members;
    }

    static std::string LabelOf(const PinnedTrace& member)
    {
        return FamilyMemberLabel(member.origin.family->setting, member.origin.family->value);
    }

    std::vector<const PlaneCurve*> OfKind(CurveKind kind) const
    {
        std::vector<const PlaneCurve*> found;
        for (const PlaneCurve& curve : Plane().Curves())
            if (curve.kind == kind)
                found.push_back(&curve);
        return found;
    }

    // The labels written on the plot, by their text.
    std::map<std::string, const QCPItemText*> Labels() const
    {
        std::map<std::string, const QCPItemText*> labels;
        for (int i = 0; i < Plane().itemCount(); ++i)
            if (auto* text = qobject_cast<QCPItemText*>(Plane().item(i)); text && text->visible())
                labels[text->text().toStdString()] = text;
        return labels;
    }

    // What the tracker's box says with the pointer at the point.
    QString TrackerAt(const PlanePoint& point) const
    {
        Plane().replot();
        const PlotMapping mapping = Plane().Mapping();
        const QPointF at(mapping.PixelAtX(point.Md), mapping.PixelAtY(point.Omega));
        QMouseEvent move(QEvent::MouseMove, at, Plane().mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&Plane(), &move);
        for (const auto& [text, label] : Labels())
            if (text.find("Md: ") != std::string::npos)
                return QString::fromStdString(text);
        return {};
    }
};

} // namespace

// Each member's operating point is where its own load meets its own static
// curve, found from its settings as the family makes them; labelled with
// the member's name and drawn, with its load, in its pin's colour.
TEST_F(MechanicalFamily, EachMemberHasItsOperatingPointLabelledInItsColour)
{
    const std::vector<const PinnedTrace*> members = Members();
    ASSERT_EQ(members.size(), 4u);
    EXPECT_EQ(OfKind(CurveKind::OperatingPoint).size(), 4u) << "no step response ran: the members' only";
    const std::map<std::string, const QCPItemText*> labels = Labels();
    EXPECT_EQ(labels.size(), 4u);
    for (const PinnedTrace* member : members) {
        const std::string label = LabelOf(*member);
        const Settings settings = FamilyMemberSettings(Settings{}, "step.load", member->origin.family->value);
        const std::optional<analysis::StaticPoint> expected =
            analysis::OperatingPoint(analysis::StaticCharacteristic(settings.model),
                                     analysis::LoadCharacteristic::Of(settings.step, static_cast<double>(*settings.step.load)));
        ASSERT_TRUE(expected.has_value()) << label;
        const int point = IndexOf("Рабочая точка (" + label + ")");
        const int load = IndexOf("Нагрузка (" + label + ")");
        ASSERT_LT(point, static_cast<int>(Names().size())) << label;
        ASSERT_LT(load, static_cast<int>(Names().size())) << label;
        const PlaneCurve& operating = Plane().Curves()[static_cast<std::size_t>(point)];
        EXPECT_EQ(operating.points, (std::vector<PlanePoint>{{expected->Md, expected->Omega, std::nullopt}})) << label;
        EXPECT_EQ(operating.label, label);
        const QColor colour = ToQColor(member->trace.LineColour());
        EXPECT_EQ(Plane().TraceColour(point), colour) << label;
        EXPECT_EQ(Plane().TraceColour(load), colour) << label;
        ASSERT_TRUE(labels.contains(label));
        const QCPItemText& written = *labels.at(label);
        EXPECT_EQ(written.color(), colour) << label;
        EXPECT_EQ(written.position->coords(), QPointF(expected->Md, expected->Omega)) << label;
    }
}

// Paths that lie on one another each have their end marked, in the path's
// colour, with the path and out of the legend.
TEST_F(MechanicalFamily, EachPathsEndIsMarkedAndGoesWithItsPath)
{
    const std::vector<const PlaneCurve*> ends = OfKind(CurveKind::PathEnd);
    ASSERT_EQ(ends.size(), 4u);
    for (const PlaneCurve* end : ends) {
        const int path = IndexOf(end->name);
        const PlaneCurve& of = Plane().Curves()[static_cast<std::size_t>(path)];
        ASSERT_EQ(of.kind, CurveKind::Path) << end->name;
        EXPECT_EQ(end->points, std::vector<PlanePoint>{of.points.back()}) << end->name;
        const int index = static_cast<int>(end - Plane().Curves().data());
        auto* mark = qobject_cast<PlaneLines*>(Plane().plottable(index));
        ASSERT_NE(mark, nullptr);
        EXPECT_EQ(mark->pen().color(), Plane().TraceColour(path)) << end->name;
        EXPECT_EQ(mark->Mark().shape(), QCPScatterStyle::ssCircle) << end->name;
        EXPECT_FALSE(mark->Lined()) << end->name;
        EXPECT_TRUE(mark->visible()) << end->name;
    }
    Plane().replot();
    EXPECT_EQ(LegendItems(*Plane().legend).size(), Names().size() - ends.size());

    const std::string first = ends.front()->name;
    const int path = IndexOf(first);
    QTest::mouseClick(&Plane(), Qt::LeftButton, {}, Plane().LegendEntryRect(path).center());
    const int end = static_cast<int>(ends.front() - Plane().Curves().data());
    EXPECT_FALSE(Plane().plottable(end)->visible()) << "hidden with its path";
}

// Before its load comes on, every member runs as the first does, and
// Mc=0's whole path lies on the others': each other member's path is told
// by where it rests under its load, halfway through the load's steps.
TEST_F(MechanicalFamily, TrackerNamesTheMemberOnItsPath)
{
    const LoadSchedule schedule = StepLoadSchedule(Settings{});
    for (const PinnedTrace* member : Members()) {
        const std::string label = LabelOf(*member);
        if (label == "Mc=0")
            continue;
        const PlaneCurve& path = Plane().Curves()[static_cast<std::size_t>(IndexOf(member->trace.Title()))];
        const PlanePoint loaded = path.points.at(static_cast<std::size_t>((schedule.on + schedule.off) / 2));
        const QString box = TrackerAt(loaded);
        EXPECT_TRUE(box.section(QLatin1Char('\n'), 0, 0).endsWith(QString::fromStdString("(" + label + ")")))
            << label << ": " << box.toStdString();
    }
}

// Clearing the screen takes the members' loads, points, labels and end
// marks away with their paths.
TEST_F(MechanicalFamily, ClearingTakesThemAllAway)
{
    ASSERT_FALSE(Labels().empty());
    Click("Button2");
    EXPECT_EQ(Names(), std::vector<std::string>{kStatic});
    EXPECT_TRUE(Labels().empty());
    EXPECT_EQ(Plane().plottableCount(), 1);
}
