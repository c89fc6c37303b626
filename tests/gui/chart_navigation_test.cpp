// Zoom and pan on the main chart: wheel, drags, keys, their limits, and
// the history of views that Ctrl+Z walks.

#include "ChartWindowFixture.h"

#include "chart/ChartMenu.h"
#include "chart/ChartNavigator.h"
#include "plot/PlotNavigation.h"

#include <QSet>
#include <QSignalSpy>

#include <cmath>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

namespace {

// Zoom and pan come out of pixel arithmetic of their own, so they are
// compared to what the plot mapping predicts within a rounding.
void ExpectNear(const AxisRanges& shown, const AxisRanges& expected, const std::string& what)
{
    auto near = [](Range got, Range wanted) {
        const double tolerance = 1e-9 * wanted.Span();
        return std::abs(got.min - wanted.min) <= tolerance && std::abs(got.max - wanted.max) <= tolerance;
    };
    EXPECT_TRUE(near(shown.x, expected.x) && near(shown.y, expected.y))
        << what << ": shown x " << shown.x.min << ".." << shown.x.max << " y " << shown.y.min << ".." << shown.y.max
        << ", expected x " << expected.x.min << ".." << expected.x.max << " y " << expected.y.min << ".."
        << expected.y.max;
}

Range Scaled(Range range, double fixed, double factor)
{
    return {fixed - (fixed - range.min) * factor, fixed + (range.max - fixed) * factor};
}

Range Shifted(Range range, double by)
{
    return {range.min + by, range.max + by};
}

TEST_F(ChartWindow, WheelZoomsAboutThePointerAndANewRunKeepsTheZoomUntilADoubleClick)
{
    RunStepResponse(QStringLiteral("10"));
    for (auto [modifiers, scalesX, scalesY] : {std::tuple{Qt::NoModifier, true, true},
                                               std::tuple{Qt::ControlModifier, true, false},
                                               std::tuple{Qt::ShiftModifier, false, true}}) {
        const PlotMapping before = Settled();
        const QPointF pointer = At(before, 700, 40);
        Wheel(pointer, 120, modifiers);
        const double factor = ChartNavigator::kZoomPerStep;
        const AxisRanges zoomed{
            scalesX ? Scaled(before.ranges.x, before.ValueAtX(pointer.x()), factor) : before.ranges.x,
            scalesY ? Scaled(before.ranges.y, before.ValueAtY(pointer.y()), factor) : before.ranges.y};
        ExpectNear(Shown(), zoomed, "wheel with modifiers " + std::to_string(modifiers));

        const AxisRanges shown = Shown();
        Click("Button1");
        EXPECT_EQ(Shown(), shown) << "a new run keeps the user's view";
        Mouse(QEvent::MouseButtonDblClick, pointer, Qt::LeftButton, Qt::LeftButton);
        EXPECT_FALSE(Chart()->View().IsZoomed());
        EXPECT_EQ(Shown(), Chart()->View().Traces().Spanning()) << "back to ranges that span both runs";
    }
}

TEST_F(ChartWindow, LeftDragZoomsToTheBandMiddleOrCtrlDragPansRightDragDoesNothing)
{
    RunStepResponse(QStringLiteral("10"));
    enum Effect { Band, Pan, None };
    struct Case {
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
        Effect effect;
    };
    for (const Case& c : {Case{Qt::LeftButton, Qt::NoModifier, Band}, Case{Qt::MiddleButton, Qt::NoModifier, Pan},
                          Case{Qt::LeftButton, Qt::ControlModifier, Pan},
                          Case{Qt::RightButton, Qt::NoModifier, None}}) {
        QTest::keyClick(Chart(), Qt::Key_Home);
        const PlotMapping m = Settled();
        const QPointF from = At(m, 400, 100);
        const QPointF to = At(m, 1200, 20);
        Drag(c.button, c.modifiers, from, to);
        const AxisRanges expected[] = {
            {{m.ValueAtX(from.x()), m.ValueAtX(to.x())}, {m.ValueAtY(to.y()), m.ValueAtY(from.y())}},
            {Shifted(m.ranges.x, m.ValueAtX(from.x()) - m.ValueAtX(to.x())),
             Shifted(m.ranges.y, m.ValueAtY(from.y()) - m.ValueAtY(to.y()))},
            m.ranges};
        ExpectNear(Shown(), expected[c.effect], "button " + std::to_string(c.button));
        EXPECT_EQ(Chart()->View().IsZoomed(), c.effect != None);
    }
    QTest::keyClick(Chart(), Qt::Key_Home);
    const QPointF middle = At(Settled(), 1000, 80);
    Drag(Qt::LeftButton, Qt::NoModifier, middle, middle + QPointF(3, 30));
    EXPECT_FALSE(Chart()->View().IsZoomed()) << "a band 3 pixels wide is a click";
}

TEST_F(ChartWindow, KeysZoomAboutTheMiddleAndPanByATenthEachWay)
{
    RunStepResponse(QStringLiteral("10"));
    const AxisRanges whole = Settled().ranges;
    const double zoom = ChartNavigator::kZoomPerStep;
    const double middleX = (whole.x.min + whole.x.max) / 2;
    const double middleY = (whole.y.min + whole.y.max) / 2;
    const double tenthX = whole.x.Span() / 10;
    const double tenthY = whole.y.Span() / 10;
    const std::pair<Qt::Key, AxisRanges> keys[] = {
        {Qt::Key_Plus, {Scaled(whole.x, middleX, zoom), Scaled(whole.y, middleY, zoom)}},
        {Qt::Key_Minus, {Scaled(whole.x, middleX, 1 / zoom), Scaled(whole.y, middleY, 1 / zoom)}},
        {Qt::Key_Right, {Shifted(whole.x, tenthX), whole.y}},
        {Qt::Key_Left, {Shifted(whole.x, -tenthX), whole.y}},
        {Qt::Key_Up, {whole.x, Shifted(whole.y, tenthY)}},
        {Qt::Key_Down, {whole.x, Shifted(whole.y, -tenthY)}},
    };
    for (const auto& [key, expected] : keys) {
        QTest::keyClick(Chart(), key);
        ExpectNear(Shown(), expected, "key " + std::to_string(key));
        QTest::keyClick(Chart(), Qt::Key_Home);
        EXPECT_EQ(Shown(), whole);
    }
}

TEST_F(ChartWindow, ZoomStopsWhereLabelsDifferAndAtAHundredTimesTheTracesAndANotchBeyondDoesNothing)
{
    RunStepResponse(QStringLiteral("10"));
    const ViewLimits limits = Chart()->View().Limits();
    const QPointF pointer = At(Settled(), 1000, 80);
    // 400 notches in one turn: 1.25 to the 400th is about 1e39, far past
    // either limit.
    for (int angle : {48000, -48000}) {
        const bool in = angle > 0;
        Wheel(pointer, angle);
        const AxisRanges shown = Shown();
        // The spans come out of a factor that is a quotient: within a
        // relative rounding.
        EXPECT_NEAR(shown.x.Span(), in ? limits.x.finest : limits.x.widest, 1e-9 * shown.x.Span());
        EXPECT_NEAR(shown.y.Span(), in ? limits.y.finest : limits.y.widest, 1e-9 * shown.y.Span());
        Settled();
        for (QCPAxis* axis : {Chart()->xAxis, Chart()->yAxis}) {
            const QVector<QString> labels = axis->tickVectorLabels();
            EXPECT_GE(labels.size(), 2) << "after turns of " << angle;
            EXPECT_EQ(QSet<QString>(labels.begin(), labels.end()).size(), labels.size())
                << labels.join(' ').toStdString();
        }

        QSignalSpy changed(&Chart()->View(), &ChartViewState::Changed);
        Wheel(pointer, in ? 120 : -120);
        QTest::keyClick(Chart(), in ? Qt::Key_Plus : Qt::Key_Minus);
        QCoreApplication::processEvents();
        EXPECT_EQ(changed.count(), 0) << "beyond the limit a notch or a key does nothing";
        EXPECT_EQ(Shown(), shown);
        EXPECT_TRUE(errors_.empty());
    }
}

// Whatever the user does to the view changes it once, and the chart paints
// that once.
TEST_F(ChartWindow, EveryActionOnTheViewChangesItOnceAndIsPainted)
{
    RunAll();
    const PlotMapping m = Settled();
    const QPointF middle = At(m, 1000, 80);
    const QPoint legendEntry = Chart()->LegendEntryRect(5).center();
    // The tracker's first showing lays out marks of its own: done before
    // counting what the view's changes paint.
    Mouse(QEvent::MouseMove, middle, Qt::NoButton, Qt::NoButton);
    auto key = [this](Qt::Key pressed, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return [this, pressed, modifiers] { QTest::keyClick(Chart(), pressed, modifiers); };
    };
    const std::pair<const char*, std::function<void()>> actions[] = {
        {"wheel notch", [&] { Wheel(middle, 120); }},
        {"drag step", [&] { Drag(Qt::MiddleButton, Qt::NoModifier, middle, middle + QPointF(8, 4)); }},
        {"ctrl drag step", [&] { Drag(Qt::LeftButton, Qt::ControlModifier, middle, middle - QPointF(8, 4)); }},
        {"right", key(Qt::Key_Right)},
        {"up", key(Qt::Key_Up)},
        {"plus", key(Qt::Key_Plus)},
        {"left", key(Qt::Key_Left)},
        {"down", key(Qt::Key_Down)},
        {"minus", key(Qt::Key_Minus)},
        {"band", [&] { Drag(Qt::LeftButton, Qt::NoModifier, middle, middle + QPointF(60, 40)); }},
        {"back", key(Qt::Key_Z, Qt::ControlModifier)},
        {"forward", key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier)},
        {"menu back", [this] { Trigger(QStringLiteral("Предыдущий масштаб")); }},
        {"home", key(Qt::Key_Home)},
        {"new run", [this] { Click("Button1"); }},
        {"double click", [&] {
             Wheel(middle, 120);
             QCoreApplication::processEvents();
             Mouse(QEvent::MouseButtonDblClick, middle, Qt::LeftButton, Qt::LeftButton);
         }},
        {"legend click", [&] { QTest::mouseClick(Chart(), Qt::LeftButton, {}, legendEntry); }},
    };
    for (const auto& [name, act] : actions) {
        const AxisRanges before = Shown();
        QSignalSpy changed(&Chart()->View(), &ChartViewState::Changed);
        QSignalSpy painted(Chart(), &QCustomPlot::afterReplot);
        act();
        QCoreApplication::processEvents();
        // The double click zooms first, to have something to reset.
        const int expected = std::string_view(name) == "double click" ? 2 : 1;
        EXPECT_EQ(changed.count(), expected) << name;
        EXPECT_EQ(painted.count(), expected) << name;
        EXPECT_EQ(Shown(), Chart()->View().Ranges()) << name << ": the axes show the view";
        // The others end at the automatic ranges, which may be as before.
        if (std::string_view(name) != "new run" && std::string_view(name) != "legend click" &&
            std::string_view(name) != "double click") {
            EXPECT_NE(Shown(), before) << name;
        }
    }
}

TEST_F(ChartWindow, CtrlZGoesBackThroughTheViewsAWheelTurnIsOneStepAndANewRunIsNone)
{
    RunStepResponse(QStringLiteral("10"));
    const QPointF middle = At(Settled(), 1000, 80);
    // Two notches at once, well within a turn's pause.
    Wheel(middle, 120);
    Wheel(middle, 120);
    const AxisRanges turned = Shown();
    QTest::keyClick(Chart(), Qt::Key_Right);
    const AxisRanges moved = Shown();
    Click("Button1");
    EXPECT_EQ(Shown(), moved) << "a new run keeps the view";

    const auto back = [this] { QTest::keyClick(Chart(), Qt::Key_Z, Qt::ControlModifier); };
    const auto forward = [this] { QTest::keyClick(Chart(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); };
    back();
    EXPECT_EQ(Shown(), turned) << "the new run was no step";
    back();
    EXPECT_FALSE(Chart()->View().IsZoomed()) << "both notches were one step";
    EXPECT_EQ(Shown(), Chart()->View().Traces().Spanning()) << "the whole of both runs";
    back();
    EXPECT_FALSE(Chart()->View().IsZoomed()) << "nothing before the first view";
    forward();
    EXPECT_EQ(Shown(), turned);
    forward();
    EXPECT_EQ(Shown(), moved);

    QTest::keyClick(Chart(), Qt::Key_Home);
    EXPECT_FALSE(Chart()->View().IsZoomed());
    Trigger(QStringLiteral("Предыдущий масштаб"));
    EXPECT_EQ(Shown(), moved) << "a reset is a step";
}

} // namespace
