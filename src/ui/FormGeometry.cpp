#include "ui/FormGeometry.h"

#include <QEvent>
#include <QMargins>
#include <QRect>
#include <QWidget>

namespace {

class OuterGeometryKeeper final : public QObject {
public:
    OuterGeometryKeeper(QWidget& window, QRect outer, StoredSize size)
        : QObject(&window), window_(window), outer_(outer), size_(size)
    {
        if (size_ == StoredSize::Minimum)
            window_.setMinimumSize(outer_.size());
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
        const QRect frame = window_.frameGeometry();
        const QRect client = window_.geometry();
        const QMargins margins(client.left() - frame.left(), client.top() - frame.top(),
                               frame.right() - client.right(), frame.bottom() - client.bottom());
        if (margins == fittedTo_ || IsThinnerThanFitted(margins))
            return;
        fittedTo_ = margins;
        const QSize fitted(outer_.width() - margins.left() - margins.right(),
                           outer_.height() - margins.top() - margins.bottom());
        if (size_ == StoredSize::Minimum)
            window_.setMinimumSize(fitted);
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
    QMargins fittedTo_;
};

} // namespace

void KeepStoredOuterGeometry(QWidget& window, StoredSize size)
{
    new OuterGeometryKeeper(window, window.property("outerGeometry").toRect(), size);
}
