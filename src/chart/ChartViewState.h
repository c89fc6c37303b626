#pragma once

#include "plot/ChartRange.h"
#include "plot/ShownTraces.h"

#include <QObject>

#include <optional>
#include <string>

// What the chart shows: its traces, which of them the user hides, and the
// ranges the user zoomed or panned to. Whatever should follow the view (the
// axes, the tracker, measurements) listens to Changed().
class ChartViewState : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    const ShownTraces& Traces() const { return traces_; }
    int AddTrace(const Trace& trace, std::string heading);
    // The later traces move down by one.
    void RemoveTrace(int index);
    void SetTraceShown(int index, bool shown);

    // The user's ranges while zoomed; the shown traces' otherwise.
    AxisRanges Ranges() const;
    bool IsZoomed() const { return userRanges_.has_value(); }
    // Ranges the axes cannot show are ignored.
    void SetUserRanges(const AxisRanges& ranges);
    void ResetZoom();

    // The traces' points changed.
    void PointsChanged() { emit Changed(); }

signals:
    void Changed();

private:
    ShownTraces traces_;
    std::optional<AxisRanges> userRanges_;
};
