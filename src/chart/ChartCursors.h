#pragma once

#include "plot/PlotNavigation.h"

#include <QObject>
#include <QRectF>

#include <array>
#include <optional>

class QCPItemStraightLine;
class QCPItemText;
class QMouseEvent;
class TraceChart;

// Two vertical cursors, A and B, to read the traces at two steps. Shown,
// they stand at a quarter and three quarters of the steps the chart shows;
// the left button drags either along the steps, a whole step at a time,
// and leaves zoom and pan alone. They keep their steps while the view
// changes.
class ChartCursors : public QObject {
    Q_OBJECT

public:
    explicit ChartCursors(TraceChart& chart);

    bool IsShown() const { return steps_.has_value(); }
    void SetShown(bool shown);
    // Where A and B stand; none while hidden.
    const std::optional<CursorSteps>& Steps() const { return steps_; }
    // Puts the cursor (0 for A, 1 for B) on the whole step the chart shows
    // nearest x.
    void MoveTo(int cursor, double x);

    // Where the cursor's flag with its name is, in the chart's pixels.
    QRectF FlagRect(int cursor) const;

    // How far from a cursor's line, in pixels, a press takes hold of it.
    static constexpr double kReach = 4;

signals:
    // Shown, hidden or moved.
    void Changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Pressed(const QMouseEvent& event);
    bool Moved(const QMouseEvent& event);
    // The split pointer over a cursor, the chart's own elsewhere.
    void ShowSplitCursor(bool split);
    std::optional<int> CursorUnder(const QMouseEvent& event) const;
    // Puts the lines and names where the steps are, and tells whoever follows.
    void Place();
    void PlaceFlags();

    TraceChart& chart_;
    std::array<QCPItemStraightLine*, 2> lines_;
    std::array<QCPItemText*, 2> labels_;
    std::optional<CursorSteps> steps_;
    std::optional<int> dragged_;
};
