#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

class QWidget;

// Where a tool window of the given outer size goes beside the main window
// (its outer rectangle), on the screen's available area: to the right of
// the main window when the screen has room there; otherwise where it
// covers the fewest of the main window's controls, then the least of the
// main window, then the nearest to that place on its right. Always on the
// screen, top left first when the window is larger than the screen.
QPoint PlaceBeside(const QRect& screen, const QRect& main, const std::vector<QRect>& controls, QSize tool);

// Shows one of the main window's tool windows and brings it to the front,
// minimised or hidden as it may be. Where the platform places windows, the
// first time it goes beside the main window, as PlaceBeside says; after
// that it stays where the user leaves it. Elsewhere it docks in the main
// window, as ToolDocks says.
void ShowToolWindow(QWidget& tool, QWidget& main);

// Where a tool window stands once it has been placed, to put it back there
// at the next start; none before, or where the platform docks it.
std::optional<QPoint> PlaceOf(const QWidget& tool);
// Puts a tool window where it stood before: its place from now on.
void RestorePlace(QWidget& tool, QPoint place);

// Escape closes the window, as its close box does, while it stands on its
// own or floats in its dock.
void CloseOnEscape(QWidget& window);
// Whether Escape closes the window: not while it is docked in the main
// window, where Escape is the main window's.
void KeepEscapeFor(QWidget& window, bool onItsOwn);
