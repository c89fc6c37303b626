#include "ui/ChartPanner.h"

#include "ui/TraceChart.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {

constexpr double kArrowStep = 0.1;

bool StartsPan(const QMouseEvent& event)
{
    return event.button() == Qt::MiddleButton ||
           (event.button() == Qt::LeftButton && (event.modifiers() & Qt::ControlModifier));
}

} // namespace

ChartPanner::ChartPanner(TraceChart& chart) : chart_(chart) {}

bool ChartPanner::MousePressed(const QMouseEvent& event)
{
    if (!StartsPan(event) || !chart_.InPlotArea(event.position()))
        return false;
    drag_ = Drag{chart_.Mapping(), event.position(), event.button()};
    chart_.viewport()->setCursor(Qt::ClosedHandCursor);
    return true;
}

bool ChartPanner::MouseMoved(const QMouseEvent& event)
{
    if (!drag_)
        return false;
    const QPointF moved = event.position() - drag_->from;
    chart_.ShowUserRanges(Panned(drag_->start, moved.x(), moved.y()));
    return true;
}

bool ChartPanner::MouseReleased(const QMouseEvent& event)
{
    if (!drag_ || event.button() != drag_->button)
        return false;
    drag_.reset();
    chart_.viewport()->unsetCursor();
    return true;
}

bool ChartPanner::KeyPressed(const QKeyEvent& event)
{
    const PlotMapping mapping = chart_.Mapping();
    const double across = mapping.area.width * kArrowStep;
    const double down = mapping.area.height * kArrowStep;
    // An arrow moves the view that way, so the picture moves the other way.
    switch (event.key()) {
    case Qt::Key_Left:
        chart_.ShowUserRanges(Panned(mapping, across, 0));
        return true;
    case Qt::Key_Right:
        chart_.ShowUserRanges(Panned(mapping, -across, 0));
        return true;
    case Qt::Key_Up:
        chart_.ShowUserRanges(Panned(mapping, 0, down));
        return true;
    case Qt::Key_Down:
        chart_.ShowUserRanges(Panned(mapping, 0, -down));
        return true;
    default:
        return false;
    }
}
