#pragma once

#include "plot/Readout.h"

#include <QObject>
#include <QPointF>

#include <optional>
#include <vector>

class QCPItemStraightLine;
class QCPItemTracer;
class QCustomPlot;
class ReadoutBox;
class TraceChart;

// The trackers' ring on a point, on the chart's layer of marks, hidden
// until placed.
QCPItemTracer* NewReadoutRing(QCustomPlot& chart);
// A value as the boxes show it: its shortest text that reads back the same.
QString ReadoutNumber(double value);

// While the pointer is over the plot area: a thin vertical line at the
// nearest step, a ring on each shown trace's point there, and beside them
// a box with the step and the values, each named with its trace and run.
class ChartTracker : public QObject {
public:
    explicit ChartTracker(TraceChart& chart);

    // Until the pointer moves over the plot area again.
    void Hide();

    // What the box shows; none while hidden.
    const std::optional<Readout>& Shown() const { return shown_; }
    QString BoxText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows the values at the pointer again after the view changed.
    void Update();
    void Follow(QPointF pointer);
    void HideItems();
    void Show(const Readout& readout, QPointF pointer);
    void PlaceBox(double lineX, QPointF pointer);
    QString Text(const Readout& readout) const;
    QCPItemTracer& RingOf(int trace);

    TraceChart& chart_;
    QCPItemStraightLine* line_;
    ReadoutBox* box_;
    std::vector<QCPItemTracer*> rings_;
    std::optional<QPointF> pointer_;
    std::optional<Readout> shown_;
};
