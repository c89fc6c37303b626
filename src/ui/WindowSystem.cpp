#include "ui/WindowSystem.h"

#include "chart/FileDialogs.h"

#include <QFontMetrics>
#include <QGuiApplication>

#include <algorithm>

bool PlatformPlacesWindows()
{
    return !OnWayland();
}

std::optional<TitleBar> ClientDrawnTitleBar()
{
    if (!OnWayland())
        return std::nullopt;
    // Qt's decoration lays the caption out in the application's font,
    // centres it by that width, then draws it in a 14-pixel font; it shows
    // right of the icon (3 + 5 + 22 + 5 pixels) and 77 pixels short of the
    // right edge, where the minimise, maximise and close buttons are. The
    // side frames are 3 pixels wide.
    QFont font = QGuiApplication::font();
    font.setPixelSize(14);
    return TitleBar{font, QGuiApplication::font(), 35, 77, 2 * 3};
}

int WidthShowingCaption(const TitleBar& bar, const QString& caption)
{
    const int drawn = QFontMetrics(bar.font).horizontalAdvance(caption);
    const int centred = QFontMetrics(bar.centredAs).horizontalAdvance(caption);
    // The caption starts (outer - centred) / 2 from the left edge and ends
    // `drawn` pixels further on.
    const int outer = std::max(centred + 2 * bar.left, 2 * drawn - centred + 2 * bar.right);
    return outer - bar.frames;
}
