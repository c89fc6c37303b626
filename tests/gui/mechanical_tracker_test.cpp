// The mechanical characteristic's tracker: the curve and values it names
// under the pointer, and the nearest point its search finds.

#include "MechanicalFixture.h"

#include "analysis/MechanicalPlane.h"
#include "chart/PlaneTracker.h"
#include "chart/TrackerIndices.h"
#include "experiments/Settings.h"
#include "ui/ParametersWindow.h"

#include <QMouseEvent>
#include <QSignalSpy>

#include <cstdint>
#include <optional>
#include <set>

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
