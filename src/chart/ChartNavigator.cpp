#include "chart/ChartNavigator.h"

#include "chart/TraceChart.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {

// A zoom rectangle narrower than this either way is a click.
constexpr int kSmallestBand = 5;

// A key press moves the view by this share of the shown span.
constexpr double kPanPerKey = 0.1;

bool DragsWith(const QMouseEvent& event)
{
    return event.button() == Qt::MiddleButton ||
           (event.button() == Qt::LeftButton && event.modifiers().testFlag(Qt::ControlModifier));
}

} // namespace

ChartNavigator::ChartNavigator(TraceChart& chart) : QObject(&chart), chart_(chart)
{
    chart_.setSelectionRectMode(QCP::srmNone);
    chart_.installEventFilter(this);
}

bool ChartNavigator::eventFilter(QObject*, QEvent* event)
{
    if (forwarding_)
        return false;
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
        WheelTurning(static_cast<QWheelEvent&>(*event));
        return false;
    case QEvent::KeyPress:
        return KeyPressed(static_cast<QKeyEvent&>(*event));
    default:
        return false;
    }
}

bool ChartNavigator::Pressed(QMouseEvent& event)
{
    // The right button is the menu's.
    if (event.button() == Qt::RightButton)
        return true;
    const bool band = event.button() == Qt::LeftButton && !DragsWith(event) && chart_.InPlotArea(event.position());
    // Without a zoom rectangle the library drags, and passes clicks on to
    // the legend.
    chart_.setSelectionRectMode(band ? QCP::srmZoom : QCP::srmNone);
    if (event.button() != Qt::MiddleButton)
        return false;
    middleDragging_ = true;
    ForwardAsLeftButton(event);
    return true;
}

bool ChartNavigator::Moved(QMouseEvent& event)
{
    if (!middleDragging_)
        return false;
    ForwardAsLeftButton(event);
    return true;
}

bool ChartNavigator::Released(const QMouseEvent& event)
{
    if (event.button() == Qt::RightButton)
        return true;
    if (event.button() == Qt::MiddleButton && middleDragging_) {
        ForwardAsLeftButton(event);
        middleDragging_ = false;
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

void ChartNavigator::ForwardAsLeftButton(const QMouseEvent& event)
{
    const Qt::MouseButton button = event.type() == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = event.type() == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent left(event.type(), event.position(), event.globalPosition(), button, held, event.modifiers());
    // Straight to the chart, past this filter.
    forwarding_ = true;
    QCoreApplication::sendEvent(&chart_, &left);
    forwarding_ = false;
}

void ChartNavigator::WheelTurning(const QWheelEvent& event)
{
    Qt::Orientations axes = Qt::Horizontal | Qt::Vertical;
    if (event.modifiers().testFlag(Qt::ControlModifier))
        axes = Qt::Horizontal;
    else if (event.modifiers().testFlag(Qt::ShiftModifier))
        axes = Qt::Vertical;
    chart_.axisRect()->setRangeZoom(axes);
}

bool ChartNavigator::KeyPressed(const QKeyEvent& event)
{
    QCPAxis& x = *chart_.xAxis;
    QCPAxis& y = *chart_.yAxis;
    switch (event.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Minus: {
        const double factor = event.key() == Qt::Key_Plus ? kZoomPerStep : 1 / kZoomPerStep;
        x.scaleRange(factor);
        y.scaleRange(factor);
        return true;
    }
    case Qt::Key_Right:
    case Qt::Key_Left:
        x.moveRange((event.key() == Qt::Key_Right ? kPanPerKey : -kPanPerKey) * x.range().size());
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        y.moveRange((event.key() == Qt::Key_Up ? kPanPerKey : -kPanPerKey) * y.range().size());
        return true;
    case Qt::Key_Home:
        chart_.View().ResetZoom();
        return true;
    default:
        return false;
    }
}
