#include "ui/ScreenFit.h"

#include "ui/WindowSystem.h"

#include <QApplication>
#include <QEvent>
#include <QLayout>
#include <QScreen>
#include <QTimer>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

constexpr char kDesignedProperty[] = "designedSize";
constexpr char kShrinkableProperty[] = "shrinkableBy";
// The frame a window was last fitted with.
constexpr char kFrameProperty[] = "fittedToFrame";
// Set while a window comes to rest after a change of state.
constexpr char kRestoringProperty[] = "restoringState";

// Wayland tells a client nothing of the desktop's panels: its screen's
// available area is the whole screen. GNOME Shell's top bar takes 32
// pixels, Plasma's panel 44; a window as tall as the screen would reach
// under them, its bottom edge off the screen.
constexpr int kUnreportedPanels = 48;

// The screen's available area, a pixel less at each edge at a fractional
// scale, where the frame's pixels are rounded to Qt's, and less the
// desktop's panels where the platform does not report them.
QRect AvailableOf(const QWidget& window)
{
    const qreal ratio = window.screen()->devicePixelRatio();
    const int rounding = ratio == std::floor(ratio) ? 0 : 1;
    const int panels = PlatformPlacesWindows() ? 0 : kUnreportedPanels;
    return window.screen()->availableGeometry().adjusted(rounding, rounding + panels, -rounding, -rounding);
}

// The smallest client size a window may be given: its designed size less
// what its form can give, else what its layout needs, else its minimum as
// it stands.
QSize SmallestOf(const QWidget& window)
{
    if (const QVariant give = window.property(kShrinkableProperty); give.isValid())
        return (DesignedSize(window) - give.toSize()).expandedTo(QSize(0, 0));
    if (window.layout())
        return window.minimumSizeHint().expandedTo(QSize(0, 0));
    return window.minimumSize();
}

bool IsFitted(const QWidget& window)
{
    if (!window.isWindow() || window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowMinimized))
        return false;
    const Qt::WindowType type = window.windowType();
    return type == Qt::Window || type == Qt::Dialog || type == Qt::Tool;
}

void FitOnScreen(QWidget& window)
{
    const QSize room = RoomOnScreen(window);
    if (window.minimumWidth() > room.width() || window.minimumHeight() > room.height())
        window.setMinimumSize(window.minimumSize().boundedTo(room).expandedTo(SmallestOf(window)));
    if (window.width() > room.width() || window.height() > room.height())
        window.resize(window.size().boundedTo(room).expandedTo(window.minimumSize()));
    // Where the compositor places windows, a move is not the program's to make.
    if (!PlatformPlacesWindows())
        return;
    const QRect outer = window.frameGeometry();
    const QMargins frame = FrameMargins(window);
    const QRect fitted = OnScreen(outer, AvailableOf(window), window.minimumSize().grownBy(frame));
    if (fitted.topLeft() != outer.topLeft())
        window.move(fitted.topLeft());
}

// Fits a window as it shows, as it is resized, as it changes screens and
// as the window manager first reports or changes its frame; not as the
// user moves it, which is the user's to do.
class WindowsOnScreen final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        auto* window = qobject_cast<QWidget*>(watched);
        if (fitting_ || !window || !window->isWindow())
            return false;
        // Restored from maximised, a window passes through the places and
        // frames the window manager moves it by: fitted once it has come to
        // rest.
        if (type == QEvent::WindowStateChange) {
            window->setProperty(kRestoringProperty, true);
            QTimer::singleShot(kRestoring, window, [this, window] {
                window->setProperty(kRestoringProperty, QVariant());
                if (IsFitted(*window) && window->isVisible())
                    Fit(*window);
            });
            return false;
        }
        if ((type != QEvent::Show && type != QEvent::Resize && type != QEvent::Move &&
             type != QEvent::ScreenChangeInternal) ||
            !IsFitted(*window) || window->property(kRestoringProperty).isValid())
            return false;
        const QMargins frame = FrameMargins(*window);
        const QVariant fittedTo = window->property(kFrameProperty);
        if (type == QEvent::Move && fittedTo.isValid() && fittedTo.value<QMargins>() == frame)
            return false;
        window->setProperty(kFrameProperty, QVariant::fromValue(frame));
        Fit(*window);
        // An X11 window manager frames a window after it is mapped, and Qt
        // learns the frame when it next asks, with no event to the window:
        // fitted again once the frame has come, and whenever it changes
        // while the window settles, which takes longer on a busy machine.
        if (type == QEvent::Show) {
            for (int delay : {0, 250, 1000})
                QTimer::singleShot(delay, window, [this, window] {
                    if (IsFitted(*window) && window->isVisible())
                        Fit(*window);
                });
            WatchFrame(*window);
        }
        return false;
    }

private:
    void WatchFrame(QWidget& window)
    {
        auto* timer = new QTimer(&window);
        connect(timer, &QTimer::timeout, this, [this, &window, timer, checks = 0]() mutable {
            if (++checks == kFrameChecks)
                timer->deleteLater();
            const QMargins frame = FrameMargins(window);
            if (!IsFitted(window) || !window.isVisible() || window.property(kFrameProperty).value<QMargins>() == frame)
                return;
            window.setProperty(kFrameProperty, QVariant::fromValue(frame));
            Fit(window);
        });
        timer->start(kFrameCheck);
    }

    void Fit(QWidget& window)
    {
        fitting_ = true;
        FitOnScreen(window);
        fitting_ = false;
    }

    // How long a window takes to come to rest after a change of state.
    static constexpr int kRestoring = 500;
    // How often, and how many times, a shown window's frame is looked at.
    static constexpr int kFrameCheck = 100;
    static constexpr int kFrameChecks = 60;

    bool fitting_ = false;
};

} // namespace

int Within(int start, int length, int first, int last)
{
    return std::max(first, std::min(start, last - length + 1));
}

QRect OnScreen(const QRect& outer, const QRect& available, QSize smallest)
{
    const QSize size = outer.size().boundedTo(available.size()).expandedTo(smallest);
    return {QPoint(Within(outer.left(), size.width(), available.left(), available.right()),
                   Within(outer.top(), size.height(), available.top(), available.bottom())),
            size};
}

QMargins FrameMargins(const QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

QSize RoomOnScreen(const QWidget& window)
{
    return AvailableOf(window).size().shrunkBy(FrameMargins(window)).expandedTo(QSize(0, 0));
}

void SetDesignedSize(QWidget& window, QSize designed)
{
    window.setProperty(kDesignedProperty, designed);
    // Lowered to the screen's room, if need be, once the window is shown.
    window.setMinimumSize(designed);
}

void SetShrinkable(QWidget& window, QSize by)
{
    window.setProperty(kShrinkableProperty, by);
}

QSize DesignedSize(const QWidget& window)
{
    if (const QVariant designed = window.property(kDesignedProperty); designed.isValid())
        return designed.toSize();
    return window.minimumSize();
}

QObject* KeepWindowsOnScreen(QApplication& application)
{
    auto* keeper = new WindowsOnScreen(&application);
    application.installEventFilter(keeper);
    return keeper;
}
