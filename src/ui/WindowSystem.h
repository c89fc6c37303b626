#pragma once

#include <QFont>
#include <QString>

#include <optional>

// What the window system the program runs on lets it do with its windows.

// Whether a window goes where the program moves it. X11 lets a program
// place its windows; Wayland gives clients no way to, so there a tool
// window cannot be put beside the main window.
bool PlatformPlacesWindows();

// A title bar drawn inside the window's own surface, by the toolkit rather
// than by the compositor, whose room for the caption is known: the caption
// is centred across the window in `font`, and `besideCaption` client pixels
// are kept free of it, the buttons' side counted twice since the caption is
// centred.
struct TitleBar {
    QFont font;
    int besideCaption = 0;
};

// The title bar Qt's Wayland plugin draws where the compositor draws none
// (GNOME's does not), or nothing where the window system draws captions
// itself in room the program cannot know (X11).
std::optional<TitleBar> ClientDrawnTitleBar();

// The narrowest client width at which the bar shows the whole caption.
int WidthShowingCaption(const TitleBar& bar, const QString& caption);
