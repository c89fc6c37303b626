#pragma once

#include "plot/PlotNavigation.h"
#include "plot/Readout.h"
#include "ui/ChartInteraction.h"

#include <QPointF>

#include <optional>

class QGraphicsLineItem;
class QGraphicsRectItem;
class QGraphicsTextItem;
class TraceChart;

// While the pointer is over the plot area: a thin vertical line at the
// nearest step and, next to it, a box with the step and the value there of
// each shown trace that has one, in the trace's colour.
class ChartTracker : public ChartInteraction {
public:
    explicit ChartTracker(TraceChart& chart);

    // Follows the pointer; leaves the event to the other interactions.
    bool MouseMoved(const QMouseEvent& event) override;

    // Until the pointer moves over the plot area again.
    void Hide();
    // Shows the values at the pointer again after the ranges, the shown
    // traces or their points changed.
    void Update();

    // What the box shows; none while hidden.
    const std::optional<Readout>& Shown() const { return shown_; }
    QString BoxText() const;

private:
    void Follow(QPointF pointer);
    void HideItems();
    void Show(const Readout& readout, const PlotMapping& mapping, QPointF pointer);
    QString Html(const Readout& readout) const;

    TraceChart& chart_;
    QGraphicsLineItem* line_;
    QGraphicsRectItem* box_;
    QGraphicsTextItem* text_;
    std::optional<QPointF> pointer_;
    std::optional<Readout> shown_;
};
