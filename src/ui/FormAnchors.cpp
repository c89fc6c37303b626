#include "ui/FormAnchors.h"

#include <QEvent>
#include <QWidget>

QRect Anchored(const QRect& designed, Anchors anchors, QSize extra)
{
    QRect placed = designed;
    if (anchors.right) {
        if (anchors.left)
            placed.setWidth(designed.width() + extra.width());
        else
            placed.moveLeft(designed.left() + extra.width());
    }
    if (anchors.bottom) {
        if (anchors.top)
            placed.setHeight(designed.height() + extra.height());
        else
            placed.moveTop(designed.top() + extra.height());
    }
    return placed;
}

FormAnchors::FormAnchors(QWidget& window) : QObject(&window), window_(window)
{
    window_.installEventFilter(this);
}

void FormAnchors::Anchor(QWidget& control, Anchors anchors)
{
    controls_.push_back({&control, control.geometry(), anchors});
    Apply();
}

bool FormAnchors::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::Resize)
        Apply();
    return false;
}

void FormAnchors::Apply() const
{
    // Never less than the form: a window the window manager has not yet
    // brought to its minimum shows the form as designed.
    const QSize extra = (window_.size() - window_.minimumSize()).expandedTo(QSize(0, 0));
    for (const auto& [control, designed, anchors] : controls_) {
        const QRect placed = Anchored(designed, anchors, extra);
        if ((anchors.left && anchors.right) || (anchors.top && anchors.bottom))
            control->setGeometry(placed);
        else
            control->move(placed.topLeft());
    }
}
