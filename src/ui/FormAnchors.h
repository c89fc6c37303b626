#pragma once

#include <QObject>
#include <QRect>

#include <vector>

class QWidget;

// The edges of its window a control keeps its distance to when the window
// is larger than the size the form was designed at. Kept to both left and
// right, a control takes the extra width; to the right only, it moves with
// the right edge; likewise top and bottom.
struct Anchors {
    bool left = true;
    bool top = true;
    bool right = false;
    bool bottom = false;
};

// Where a control the form puts at `designed` goes in a window `extra`
// pixels wider and taller than the form.
QRect Anchored(const QRect& designed, Anchors anchors, QSize extra);

// Keeps a window's controls anchored while the window is resized, from the
// places the form gives them at the window's minimum size, which is the
// size it was designed at. A control's size changes only when it is
// anchored to opposite edges: labels that size themselves to their text
// keep the size they gave themselves.
class FormAnchors final : public QObject {
public:
    explicit FormAnchors(QWidget& window);

    // Anchors the control at the place it has now, which the form gave it.
    void Anchor(QWidget& control, Anchors anchors);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Apply() const;

    struct Control {
        QWidget* control;
        QRect designed;
        Anchors anchors;
    };

    QWidget& window_;
    std::vector<Control> controls_;
};
