#pragma once

#include <QFont>

class QWidget;

// The font a form's controls are drawn in where the desktop sets one: the
// desktop's family, at the desktop's size or, where a caption would then
// not fit the control the form sized for it, at the largest size down to
// the form's own at which every caption fits; the form's font where none
// does. The form's positions and sizes stay as designed. The designed font
// is taken by value: the form's own is changed while sizes are tried.
QFont FormFontFor(QWidget& form, QFont designed, const QFont& desktop);

// Where the platform cannot place windows (Wayland), whose desktops (GNOME)
// draw menus, docks and dialogs in their own font, gives a form designed
// in `designed` the desktop's font as FormFontFor says, for the captions it
// has now. Where the platform places windows (X11) the form keeps the font
// it was designed in, and so its designed look.
void FollowDesktopFont(QWidget& form, const QFont& designed);
