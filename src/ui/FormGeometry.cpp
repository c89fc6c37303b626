#include "ui/FormGeometry.h"

#include "ui/ScreenFit.h"

#include <QEvent>
#include <QMargins>
#include <QRect>
#include <QWidget>

namespace {

// The controls of a window, where its form puts them: its children that
// are not windows of their own.
std::vector<QRect> Controls(const QWidget& window)
{
    std::vector<QRect> controls;
    for (const QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow())
            controls.push_back(child->geometry());
    return controls;
}

class OuterGeometryKeeper final : public QObject {
public:
    OuterGeometryKeeper(QWidget& window, QRect outer, StoredSize size)
        : QObject(&window), window_(window), outer_(outer), size_(size),
          controls_(size == StoredSize::Minimum ? FormExtent(Controls(window)) : QSize())
    {
        if (size_ == StoredSize::Minimum)
            SetDesignedSize(window_, outer_.size());
        window_.move(outer_.topLeft());
        window_.resize(outer_.size());
        window_.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
            FitToFrame();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void FitToFrame()
    {
        // A maximised window's frame is thinner, and its size the screen's.
        if (window_.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
            return;
        const QMargins margins = FrameMargins(window_);
        if (margins == fittedTo_ || IsThinnerThanFitted(margins))
            return;
        fittedTo_ = margins;
        const QSize fitted = QSize(outer_.width() - margins.left() - margins.right(),
                                   outer_.height() - margins.top() - margins.bottom())
                                 .expandedTo(controls_);
        if (size_ == StoredSize::Minimum)
            SetDesignedSize(window_, fitted);
        window_.resize(fitted);
    }

    // On restoring a maximised window the window manager may report its
    // thinner maximised frame once more, after the restore: the frame a
    // window was fitted to does not become thinner otherwise.
    bool IsThinnerThanFitted(const QMargins& margins) const
    {
        return !fittedTo_.isNull() && margins.left() <= fittedTo_.left() && margins.top() <= fittedTo_.top() &&
               margins.right() <= fittedTo_.right() && margins.bottom() <= fittedTo_.bottom();
    }

    QWidget& window_;
    QRect outer_;
    StoredSize size_;
    // What the controls need, for a window that goes no smaller than its
    // stored size.
    QSize controls_;
    QMargins fittedTo_;
};

} // namespace

QSize FormExtent(const std::vector<QRect>& controls)
{
    QRect bounds;
    for (const QRect& control : controls)
        bounds |= control;
    if (bounds.isEmpty())
        return {0, 0};
    return {bounds.right() + 1 + bounds.left(), bounds.bottom() + 1 + bounds.top()};
}

void KeepStoredOuterGeometry(QWidget& window, StoredSize size)
{
    new OuterGeometryKeeper(window, window.property("outerGeometry").toRect(), size);
}
