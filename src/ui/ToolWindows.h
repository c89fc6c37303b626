#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

// Where a tool window of the given outer size goes beside the main window
// (its outer rectangle), on the screen's available area: to the right of
// the main window when the screen has room there; otherwise where it
// covers the fewest of the main window's controls, then the least of the
// main window, then the nearest to that place on its right. Always on the
// screen, top left first when the window is larger than the screen.
QPoint PlaceBeside(const QRect& screen, const QRect& main, const std::vector<QRect>& controls, QSize tool);

// Shows one of the main window's tool windows and brings it to the front.
// Where the platform places windows, the first time it goes beside the main
// window, as PlaceBeside says; after that it stays where the user leaves it
// while the program runs. Elsewhere it docks in the main window, as
// ToolDocks says.
void ShowToolWindow(QWidget& tool, QWidget& main);
