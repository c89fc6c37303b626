#include "ui/ChartZoomer.h"

#include "plot/PlotNavigation.h"
#include "ui/TraceChart.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWheelEvent>

#include <cmath>

namespace {

// A smaller band is taken for a click that slipped.
constexpr double kSmallestBand = 4;

// Qt's angle of one wheel notch; finer wheels send parts of it.
constexpr double kNotchAngle = 120;

ZoomAxes AxesFor(Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ControlModifier)
        return ZoomAxes::XOnly;
    if (modifiers & Qt::ShiftModifier)
        return ZoomAxes::YOnly;
    return ZoomAxes::Both;
}

} // namespace

ChartZoomer::ChartZoomer(TraceChart& chart)
    : chart_(chart), band_(new QRubberBand(QRubberBand::Rectangle, chart.viewport()))
{
}

bool ChartZoomer::MousePressed(const QMouseEvent& event)
{
    if (event.button() != Qt::LeftButton || !chart_.InPlotArea(event.position()))
        return false;
    bandStart_ = event.position();
    return true;
}

bool ChartZoomer::MouseMoved(const QMouseEvent& event)
{
    if (!bandStart_)
        return false;
    band_->setGeometry(QRectF(*bandStart_, event.position()).normalized().toRect());
    band_->show();
    return true;
}

bool ChartZoomer::MouseReleased(const QMouseEvent& event)
{
    if (!bandStart_ || event.button() != Qt::LeftButton)
        return false;
    const QPointF start = *bandStart_;
    const QPointF end = event.position();
    bandStart_.reset();
    band_->hide();
    if (std::abs(end.x() - start.x()) >= kSmallestBand && std::abs(end.y() - start.y()) >= kSmallestBand)
        chart_.ShowUserRanges(BandRanges(chart_.Mapping(), ToPixel(start), ToPixel(end)));
    return true;
}

bool ChartZoomer::MouseDoubleClicked(const QMouseEvent& event)
{
    if (event.button() != Qt::LeftButton || !chart_.InPlotArea(event.position()))
        return false;
    chart_.ResetZoom();
    return true;
}

bool ChartZoomer::WheelTurned(const QWheelEvent& event)
{
    if (!chart_.InPlotArea(event.position()))
        return false;
    // Some systems turn a wheel with a modifier held into a sideways one.
    const QPoint angle = event.angleDelta();
    const double notches = (angle.y() != 0 ? angle.y() : angle.x()) / kNotchAngle;
    chart_.ShowUserRanges(ZoomedAbout(chart_.Mapping(), ToPixel(event.position()), ZoomFactor(notches),
                                      AxesFor(event.modifiers())));
    return true;
}

bool ChartZoomer::KeyPressed(const QKeyEvent& event)
{
    double steps = 0;
    switch (event.key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal: // + without Shift on most layouts
        steps = 1;
        break;
    case Qt::Key_Minus:
        steps = -1;
        break;
    case Qt::Key_Home:
        chart_.ResetZoom();
        return true;
    default:
        return false;
    }
    const PlotMapping mapping = chart_.Mapping();
    const PixelPoint middle{mapping.area.left + mapping.area.width / 2, mapping.area.top + mapping.area.height / 2};
    chart_.ShowUserRanges(ZoomedAbout(mapping, middle, ZoomFactor(steps), ZoomAxes::Both));
    return true;
}
