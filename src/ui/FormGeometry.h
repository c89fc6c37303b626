#pragma once

#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

// Whether a window may be made smaller than its stored size.
enum class StoredSize { Initial, Minimum };

// Places a window where its form's "outerGeometry" property says, with that
// rectangle as the outer size, frame and title bar included. A window
// manager reports its frame only after the window is mapped, so the client
// area is shrunk whenever the frame first becomes known or changes; without
// a frame the client area is the whole rectangle. The user's own resizing is
// left alone; with StoredSize::Minimum it goes no smaller than the stored
// size, so the client size the form was designed at is the minimum size,
// and never smaller than its controls need (FormExtent), however tall a
// title bar the window manager draws.
void KeepStoredOuterGeometry(QWidget& window, StoredSize size = StoredSize::Initial);

// The client size that holds every control of a form where the form puts
// it, with the form's own margins: on the right as on the left, at the
// bottom as at the top.
QSize FormExtent(const std::vector<QRect>& controls);
