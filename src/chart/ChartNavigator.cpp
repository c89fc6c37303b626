#include "chart/ChartNavigator.h"

#include "chart/PlotChart.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <cmath>

namespace {

// A zoom rectangle narrower than this either way is a click.
constexpr int kSmallestBand = 5;

// A key press moves the view by this share of the shown span.
constexpr double kPanPerKey = 0.1;

// The wheel turns in eighths of a degree, 15 degrees a notch.
constexpr double kAnglePerNotch = 120;

bool DragsWith(const QMouseEvent& event)
{
    return PansWith(event.button(), event.modifiers());
}

double Middle(Range range)
{
    return range.min + range.Span() / 2;
}

} // namespace

bool PansWith(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    return buttons.testFlag(Qt::MiddleButton) ||
           (buttons.testFlag(Qt::LeftButton) && modifiers.testFlag(Qt::ControlModifier));
}

ChartNavigator::ChartNavigator(PlotChart& chart) : QObject(&chart), chart_(chart)
{
    chart_.setSelectionRectMode(QCP::srmNone);
    connect(chart_.selectionRect(), &QCPSelectionRect::accepted, this,
            [this](const QRect& band, QMouseEvent*) { ZoomToBand(band); });
    chart_.installEventFilter(this);
}

bool ChartNavigator::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        return Pressed(static_cast<QMouseEvent&>(*event));
    case QEvent::MouseMove:
        return Moved(static_cast<QMouseEvent&>(*event));
    case QEvent::MouseButtonRelease:
        return Released(static_cast<QMouseEvent&>(*event));
    case QEvent::MouseButtonDblClick:
        if (!chart_.InPlotArea(static_cast<QMouseEvent&>(*event).position()))
            return false;
        chart_.View().ResetZoom();
        return true;
    case QEvent::Wheel:
        return WheelTurned(static_cast<QWheelEvent&>(*event));
    case QEvent::KeyPress:
        return KeyPressed(static_cast<QKeyEvent&>(*event));
    default:
        return false;
    }
}

bool ChartNavigator::OverPlot(QPointF pixel) const
{
    // The axes' labels count, as they do for the chart library's own zoom.
    return chart_.axisRect()->outerRect().contains(pixel.toPoint());
}

bool ChartNavigator::Pressed(const QMouseEvent& event)
{
    // The right button is the menu's.
    if (event.button() == Qt::RightButton)
        return true;
    if (DragsWith(event) && OverPlot(event.position())) {
        drag_ = Drag{event.position(), chart_.Mapping(), event.button(), false};
        return true;
    }
    // Without a zoom rectangle the chart passes clicks on to the legend.
    const bool band = event.button() == Qt::LeftButton && chart_.InPlotArea(event.position());
    chart_.setSelectionRectMode(band ? QCP::srmCustom : QCP::srmNone);
    return false;
}

bool ChartNavigator::Moved(const QMouseEvent& event)
{
    if (!drag_)
        return false;
    // Measured from where the drag started, so no rounding piles up.
    const PlotMapping& m = drag_->mapping;
    const QPointF to = event.position();
    const AxisRanges moved{Panned(m.ranges.x, m.ValueAtX(drag_->from.x()) - m.ValueAtX(to.x())),
                           Panned(m.ranges.y, m.ValueAtY(drag_->from.y()) - m.ValueAtY(to.y()))};
    chart_.View().MoveTo(moved, drag_->moved ? HistoryStep::Continued : HistoryStep::New);
    drag_->moved = true;
    return true;
}

bool ChartNavigator::Released(const QMouseEvent& event)
{
    if (event.button() == Qt::RightButton)
        return true;
    if (drag_ && event.button() == drag_->button) {
        drag_.reset();
        return true;
    }
    QCPSelectionRect* band = chart_.selectionRect();
    if (band && band->isActive()) {
        const QRect drawn = band->rect().normalized();
        if (drawn.width() < kSmallestBand || drawn.height() < kSmallestBand)
            band->cancel();
    }
    return false;
}

void ChartNavigator::ZoomToBand(const QRect& band)
{
    const PlotMapping m = chart_.Mapping();
    // The corners are where the button went down and came up.
    chart_.View().ZoomTo({{m.ValueAtX(band.left()), m.ValueAtX(band.right())},
                          {m.ValueAtY(band.bottom()), m.ValueAtY(band.top())}});
}

bool ChartNavigator::WheelTurned(const QWheelEvent& event)
{
    if (!OverPlot(event.position()))
        return false;
    const double factor = std::pow(kZoomPerStep, event.angleDelta().y() / kAnglePerNotch);
    const bool stepsOnly = event.modifiers().testFlag(Qt::ControlModifier);
    const bool valuesOnly = !stepsOnly && event.modifiers().testFlag(Qt::ShiftModifier);
    const HistoryStep step = sinceNotch_.isValid() && sinceNotch_.elapsed() < kTurnPauseMs ? HistoryStep::Continued
                                                                                            : HistoryStep::New;
    sinceNotch_.start();
    const PlotMapping m = chart_.Mapping();
    chart_.View().Zoom(m.ValueAtX(event.position().x()), m.ValueAtY(event.position().y()), valuesOnly ? 1 : factor,
                       stepsOnly ? 1 : factor, step);
    return true;
}

bool ChartNavigator::KeyPressed(const QKeyEvent& event)
{
    ChartViewState& view = chart_.View();
    const AxisRanges shown = view.Ranges();
    const double middleX = Middle(shown.x);
    const double middleY = Middle(shown.y);
    switch (event.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Minus: {
        const double factor = event.key() == Qt::Key_Plus ? kZoomPerStep : 1 / kZoomPerStep;
        view.Zoom(middleX, middleY, factor, factor, HistoryStep::New);
        return true;
    }
    case Qt::Key_Right:
    case Qt::Key_Left: {
        const double by = (event.key() == Qt::Key_Right ? kPanPerKey : -kPanPerKey) * shown.x.Span();
        view.MoveTo({Panned(shown.x, by), shown.y}, HistoryStep::New);
        return true;
    }
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const double by = (event.key() == Qt::Key_Up ? kPanPerKey : -kPanPerKey) * shown.y.Span();
        view.MoveTo({shown.x, Panned(shown.y, by)}, HistoryStep::New);
        return true;
    }
    case Qt::Key_Home:
        view.ResetZoom();
        return true;
    case Qt::Key_Z:
        if (!event.modifiers().testFlag(Qt::ControlModifier))
            return false;
        if (event.modifiers().testFlag(Qt::ShiftModifier))
            view.Forward();
        else
            view.Back();
        return true;
    default:
        return false;
    }
}
