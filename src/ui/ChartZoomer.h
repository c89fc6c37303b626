#pragma once

#include "ui/ChartInteraction.h"

#include <QPointF>

#include <optional>

class QRubberBand;
class TraceChart;

// Zooms the chart: the wheel about the pointer (with Ctrl the steps alone,
// with Shift the values alone), a rubber band dragged with the left
// button, and + and − about the middle of the plot. A double click or Home
// goes back to the automatic ranges.
class ChartZoomer : public ChartInteraction {
public:
    explicit ChartZoomer(TraceChart& chart);

    bool MousePressed(const QMouseEvent& event) override;
    bool MouseMoved(const QMouseEvent& event) override;
    bool MouseReleased(const QMouseEvent& event) override;
    bool MouseDoubleClicked(const QMouseEvent& event) override;
    bool WheelTurned(const QWheelEvent& event) override;
    bool KeyPressed(const QKeyEvent& event) override;

private:
    TraceChart& chart_;
    QRubberBand* band_;
    std::optional<QPointF> bandStart_;
};
