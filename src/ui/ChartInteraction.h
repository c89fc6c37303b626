#pragma once

#include "plot/PlotNavigation.h"

#include <QPointF>

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;

// One way of working with the chart by mouse or keyboard. The chart offers
// each event to its interactions in turn until one takes it; what none
// takes goes on to the chart's own handling, such as legend clicks.
class ChartInteraction {
public:
    virtual ~ChartInteraction() = default;

    // Each returns whether it took the event. Positions are the chart
    // view's pixels, as in TraceChart::Mapping().
    virtual bool MousePressed(const QMouseEvent&) { return false; }
    virtual bool MouseMoved(const QMouseEvent&) { return false; }
    virtual bool MouseReleased(const QMouseEvent&) { return false; }
    virtual bool MouseDoubleClicked(const QMouseEvent&) { return false; }
    virtual bool WheelTurned(const QWheelEvent&) { return false; }
    virtual bool KeyPressed(const QKeyEvent&) { return false; }
};

inline PixelPoint ToPixel(QPointF point)
{
    return {point.x(), point.y()};
}
