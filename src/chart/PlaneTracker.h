#pragma once

#include "chart/MechanicalChart.h"

#include <QObject>
#include <QPointF>

#include <optional>

class QCPItemTracer;
class ReadoutBox;

// The tracker of the mechanical characteristic: while the pointer is over
// the plot area, a ring on the nearest point of a shown curve and beside it
// a box naming the curve with the point's step (for a run), Md and Omega.
class PlaneTracker : public QObject {
public:
    // A point farther than this from the pointer, in pixels, is not shown.
    static constexpr double kReach = 40;

    explicit PlaneTracker(MechanicalChart& chart);

    // What the box shows; empty while hidden.
    QString BoxText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Follow();
    // A box of "…" by the pointer while the points are sorted.
    void ShowSorting();
    void Hide();

    MechanicalChart& chart_;
    ReadoutBox* box_;
    QCPItemTracer* ring_;
    std::optional<QPointF> pointer_;
};
