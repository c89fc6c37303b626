#pragma once

#include <QMargins>
#include <QRect>
#include <QSize>

class QApplication;
class QObject;
class QWidget;

// Keeping every window within the screen it opens on, whatever the screen's
// size and scale factor: a window larger than the screen's available area
// shrinks to it, as far as its controls allow, and a window reaching past
// an edge moves back. A window the screen holds where it stands is left
// alone.

// The start of a span `length` long within [first, last], the first end
// winning where it does not fit.
int Within(int start, int length, int first, int last);

// The outer rectangle a window of outer rectangle `outer` takes on a
// screen whose available area is `available`: no larger than the area, nor
// smaller than `smallest`, and moved within the area; a window larger than
// the area even at its smallest keeps its top left corner, and so its
// title bar, on the screen.
QRect OnScreen(const QRect& outer, const QRect& available, QSize smallest);

// The client size a window can take on its screen, its frame aside: the
// frame the window manager reported, or none before the window is shown.
QSize RoomOnScreen(const QWidget& window);

// The frame around a window's client area, title bar included.
QMargins FrameMargins(const QWidget& window);

// Sets the size a window's form is designed at, and its minimum size.
// Controls are anchored relative to the designed size (FormAnchors).
void SetDesignedSize(QWidget& window, QSize designed);
// How much smaller than its designed size a window may be made where the
// screen is smaller than it (KeepWindowsOnScreen); a window told nothing
// goes as small as its layout lets it.
void SetShrinkable(QWidget& window, QSize by);
// The size set by SetDesignedSize, or the window's minimum size if none was.
QSize DesignedSize(const QWidget& window);

// From now on, every window the application shows or resizes stays within
// its screen, as OnScreen says. A window whose controls need more than the
// screen gives is made as small as they allow, left on the screen at its
// top left. The keeper is the application's; deleting it ends the keeping.
QObject* KeepWindowsOnScreen(QApplication& application);
