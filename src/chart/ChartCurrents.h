#pragma once

#include "experiments/Runs.h"
#include "plot/Trace.h"

#include <QObject>

#include <array>

class QAction;
class QMenu;
class TraceChart;

// The d-q machine's currents on the time chart. While a run's traces are a
// d-q machine's, its Is and ia are offered: in the legend, after the live
// runs' Md and Omega and before the pins, in the runs' order, where a click
// shows or hides each. A checkable menu item, "Токи статора", shows or
// hides every current at once, the pinned ones too, and says whether runs
// offered later come shown. The chart reads them on its right axis.
class ChartCurrents : public QObject {
public:
    ChartCurrents(TraceChart& chart, QMenu& menu);

    // Offers the run's currents, Is then ia, which must outlive their
    // offer, or takes them off the chart.
    void Offer(RunKind kind, const std::array<const Trace*, 2>& currents, bool offered);
    // The menu item: there is nothing to show while no run offers currents.
    QAction& Item() const { return *item_; }

private:
    void ShowAll(bool shown);
    // Where the run's currents go: after every live trace before them.
    int PlaceOf(RunKind kind) const;
    bool AnyOffered() const;

    TraceChart& chart_;
    QAction* item_;
};
