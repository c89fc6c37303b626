#include "ui/ToolWindows.h"

#include "ui/ScreenFit.h"
#include "ui/ToolDocks.h"
#include "ui/WindowSystem.h"

#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <set>
#include <tuple>

namespace {

// Set on a tool window once it has been placed: the place is the user's
// from then on.
constexpr char kPlacedProperty[] = "placedBesideMainWindow";
constexpr char kEscapeName[] = "closeOnEscape";

qint64 Area(const QRect& rect)
{
    return rect.isEmpty() ? 0 : qint64{rect.width()} * rect.height();
}

} // namespace

QPoint PlaceBeside(const QRect& screen, const QRect& main, const std::vector<QRect>& controls, QSize tool)
{
    // The places worth trying: against an edge of the main window, of a
    // control or of the screen, in either direction.
    std::set<int> xs{main.right() + 1, main.left() - tool.width(), screen.left(), screen.right() + 1 - tool.width()};
    std::set<int> ys{main.top(), main.bottom() + 1, main.top() - tool.height(), screen.top(),
                     screen.bottom() + 1 - tool.height()};
    for (const QRect& control : controls) {
        xs.insert({control.right() + 1, control.left() - tool.width()});
        ys.insert({control.bottom() + 1, control.top() - tool.height()});
    }
    const QPoint wanted(main.right() + 1, main.top());
    using Cost = std::tuple<std::ptrdiff_t, qint64, int>;
    std::optional<Cost> best;
    QPoint place;
    for (int x : xs)
        for (int y : ys) {
            const QRect candidate(QPoint(Within(x, tool.width(), screen.left(), screen.right()),
                                         Within(y, tool.height(), screen.top(), screen.bottom())),
                                  tool);
            const std::ptrdiff_t covered = std::count_if(controls.begin(), controls.end(),
                                               [&](const QRect& control) { return control.intersects(candidate); });
            const Cost cost{covered, Area(candidate & main), (candidate.topLeft() - wanted).manhattanLength()};
            if (!best || cost < *best) {
                best = cost;
                place = candidate.topLeft();
            }
        }
    return place;
}

void ShowToolWindow(QWidget& tool, QWidget& main)
{
    if (!PlatformPlacesWindows()) {
        ToolDocks::Of(main).Show(tool);
        return;
    }
    if (!tool.property(kPlacedProperty).toBool()) {
        std::vector<QRect> controls;
        for (const QWidget* control : main.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (control->isVisible())
                controls.push_back(QRect(control->mapToGlobal(QPoint(0, 0)), control->size()));
        tool.move(PlaceBeside(main.screen()->availableGeometry(), main.frameGeometry(), controls,
                              tool.frameGeometry().size()));
        tool.setProperty(kPlacedProperty, true);
    }
    tool.setWindowState(tool.windowState() & ~Qt::WindowMinimized);
    tool.show();
    tool.raise();
    tool.activateWindow();
}

std::optional<QPoint> PlaceOf(const QWidget& tool)
{
    if (!PlatformPlacesWindows() || !tool.property(kPlacedProperty).toBool())
        return std::nullopt;
    return tool.pos();
}

void RestorePlace(QWidget& tool, QPoint place)
{
    if (!PlatformPlacesWindows())
        return;
    tool.move(place);
    tool.setProperty(kPlacedProperty, true);
}

void CloseOnEscape(QWidget& window)
{
    auto* shortcut = new QShortcut(QKeySequence(Qt::Key_Escape), &window, &window, [&window] {
        // On its own, or floated in its dock.
        window.window()->close();
    });
    shortcut->setObjectName(QString::fromLatin1(kEscapeName));
}

void KeepEscapeFor(QWidget& window, bool onItsOwn)
{
    // Docked in the main window, Escape is the main window's.
    if (auto* shortcut = window.findChild<QShortcut*>(QString::fromLatin1(kEscapeName), Qt::FindDirectChildrenOnly))
        shortcut->setEnabled(onItsOwn);
}
