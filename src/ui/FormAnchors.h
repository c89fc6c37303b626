#pragma once

#include <QObject>
#include <QRect>

#include <vector>

class QWidget;

// The edges of its window a control keeps its distance to when the window
// is larger than the size the form was designed at. Kept to both left and
// right, a control takes the extra width; to the right only, it moves with
// the right edge; likewise top and bottom. In a window narrower than the
// form, a control kept to the left only gives up the width it would reach
// past the right edge.
struct Anchors {
    bool left = true;
    bool top = true;
    bool right = false;
    bool bottom = false;
};

// Where a control the form puts at `designed` goes in a window `extra`
// pixels wider and taller than the form (less, where negative).
QRect Anchored(const QRect& designed, Anchors anchors, QSize extra);

// Where the controls kept to the top edge go in a window shorter than the
// form: the empty bands between them narrow, each in proportion to what it
// has beyond a few pixels' gap, so every control keeps its size and order
// and those below move up together.
class VerticalSqueeze {
public:
    explicit VerticalSqueeze(const std::vector<QRect>& controls);
    // The most the bands can give.
    int Slack() const { return slack_; }
    // The top of a control designed at `top`, with `by` pixels (at most the
    // slack) taken from the bands.
    int Top(int top, int by) const;

    // The gap every band keeps.
    static constexpr int kGap = 4;

private:
    struct Band {
        int top;
        // What the bands above this one give in all.
        int giveAbove;
    };
    std::vector<Band> bands_;
    int slack_ = 0;
};

// Keeps a window's controls anchored while the window is resized, from the
// places the form gives them at the size it was designed at (DesignedSize).
// A control's size changes only when it is anchored to opposite edges:
// labels that size themselves to their text keep the size they gave
// themselves. Where the screen is smaller than the form, the window may be
// made smaller by what its stretching controls and the bands between the
// top-kept ones can give (SetShrinkable).
class FormAnchors final : public QObject {
public:
    explicit FormAnchors(QWidget& window);

    // Anchors the control at the place it has now, which the form gave it.
    void Anchor(QWidget& control, Anchors anchors);

    // The narrowest and shortest a control stretched across the window is
    // kept.
    static constexpr int kSmallestStretch = 160;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Apply() const;
    // How much smaller than the form the window may be.
    QSize Give() const;

    struct Control {
        QWidget* control;
        QRect designed;
        Anchors anchors;
    };

    QWidget& window_;
    std::vector<Control> controls_;
    VerticalSqueeze squeeze_{{}};
};
