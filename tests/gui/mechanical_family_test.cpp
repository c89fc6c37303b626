// A family of runs in the mechanical characteristic's window: each member's
// operating point, load and path end, its name in the tracker, and clearing.

#include "MechanicalFixture.h"

#include "analysis/MechanicalCharacteristic.h"
#include "chart/ChartPins.h"
#include "chart/LegendPlace.h"
#include "chart/PlaneLines.h"
#include "experiments/Family.h"
#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "ui/FamilyWindow.h"

#include <QMouseEvent>

#include <map>
#include <optional>
#include <string>
#include <vector>

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
