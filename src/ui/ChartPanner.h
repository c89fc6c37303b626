#pragma once

#include "plot/PlotNavigation.h"
#include "ui/ChartInteraction.h"

#include <QPointF>

#include <optional>

class TraceChart;

// Moves the view: with the pointer while the middle button, or the left
// one with Ctrl, is held; by a tenth of the plot with the arrow keys.
class ChartPanner : public ChartInteraction {
public:
    explicit ChartPanner(TraceChart& chart);

    bool MousePressed(const QMouseEvent& event) override;
    bool MouseMoved(const QMouseEvent& event) override;
    bool MouseReleased(const QMouseEvent& event) override;
    bool KeyPressed(const QKeyEvent& event) override;

private:
    // Each move pans from where the drag began, so rounding does not add
    // up over a long drag.
    struct Drag {
        PlotMapping start;
        QPointF from;
        Qt::MouseButton button;
    };

    TraceChart& chart_;
    std::optional<Drag> drag_;
};
