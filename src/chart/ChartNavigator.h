#pragma once

#include <QObject>

class QKeyEvent;
class QMouseEvent;
class QWheelEvent;
class TraceChart;

// Zoom and pan by mouse and keyboard, on the chart library's own range
// drag, wheel zoom and zoom rectangle. It sorts the events before the chart
// sees them: the wheel zooms both axes, with Ctrl the steps only and with
// Shift the values only; the left button draws a zoom rectangle; the middle
// button, or the left with Ctrl, drags; a double click or Home goes back to
// the whole run; + and - zoom about the middle; the arrow keys move by a
// tenth.
class ChartNavigator : public QObject {
public:
    explicit ChartNavigator(TraceChart& chart);

    // A notch of the wheel or a key press zooms in by this much.
    static constexpr double kZoomPerStep = 0.8;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Pressed(QMouseEvent& event);
    bool Released(const QMouseEvent& event);
    bool Moved(QMouseEvent& event);
    void WheelTurning(const QWheelEvent& event);
    bool KeyPressed(const QKeyEvent& event);
    // Resends a middle-button event as a left-button one: the library
    // drags with the left button only.
    void ForwardAsLeftButton(const QMouseEvent& event);

    TraceChart& chart_;
    bool middleDragging_ = false;
    bool forwarding_ = false;
};
