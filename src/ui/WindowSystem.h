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
// than by the compositor, whose room for the caption is known. The caption
// is drawn in `font` but centred across the whole outer width as if it were
// as wide as in `centredAs`, and shows only between `left` and `right`
// outer pixels from the window's edges; `frames` outer pixels in all lie
// beside the client area.
struct TitleBar {
    QFont font;
    QFont centredAs;
    int left = 0;
    int right = 0;
    int frames = 0;
};

// The title bar Qt's Wayland plugin draws where the compositor draws none
// (GNOME's does not), or nothing where the window system draws captions
// itself in room the program cannot know (X11).
std::optional<TitleBar> ClientDrawnTitleBar();

// The narrowest client width at which the bar shows the whole caption.
int WidthShowingCaption(const TitleBar& bar, const QString& caption);
