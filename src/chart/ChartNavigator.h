#pragma once

#include "plot/PlotNavigation.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointF>

#include <optional>

class QKeyEvent;
class QMouseEvent;
class QRect;
class QWheelEvent;
class PlotChart;

// Whether a move with these buttons held drags the view along.
bool PansWith(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

// Zoom and pan by mouse and keyboard, each turned into one change of the
// chart's view state: the wheel zooms both axes about the pointer, with
// Ctrl the steps only and with Shift the values only; the left button draws
// a zoom rectangle (the chart library's own); the middle button, or the
// left with Ctrl, drags; a double click or Home goes back to the whole run;
// + and - zoom about the middle; the arrow keys move by a tenth; Ctrl+Z and
// Ctrl+Shift+Z go back and forward through the views.
class ChartNavigator : public QObject {
public:
    explicit ChartNavigator(PlotChart& chart);

    // A notch of the wheel or a key press zooms in by this much.
    static constexpr double kZoomPerStep = 0.8;
    // Notches closer together than this are one turn, one step of the
    // view history.
    static constexpr qint64 kTurnPauseMs = 300;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where a drag started, and what the plot showed then.
    struct Drag {
        QPointF from;
        PlotMapping mapping;
        Qt::MouseButton button;
        // One drag is one step of the view history.
        bool moved;
    };

    bool Pressed(const QMouseEvent& event);
    bool Released(const QMouseEvent& event);
    bool Moved(const QMouseEvent& event);
    bool WheelTurned(const QWheelEvent& event);
    bool KeyPressed(const QKeyEvent& event);
    void ZoomToBand(const QRect& band);
    bool OverPlot(QPointF pixel) const;

    PlotChart& chart_;
    std::optional<Drag> drag_;
    QElapsedTimer sinceNotch_;
};
