#include "ui/WindowSystem.h"

#include <QFontMetrics>
#include <QGuiApplication>

namespace {

bool IsWayland()
{
    // "wayland", "wayland-egl", "wayland-generic": one plugin under several names.
    return QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

} // namespace

bool PlatformPlacesWindows()
{
    return !IsWayland();
}

std::optional<TitleBar> ClientDrawnTitleBar()
{
    if (!IsWayland())
        return std::nullopt;
    // Qt's decoration draws the caption in a 14-pixel font, centred across
    // the window, clipped 77 pixels short of its right edge, where its
    // minimise, maximise and close buttons are; its side frames are 3 pixels
    // wide, outside the client area.
    constexpr int kButtonsSide = 77;
    constexpr int kSideFrames = 2 * 3;
    QFont font = QGuiApplication::font();
    font.setPixelSize(14);
    return TitleBar{font, 2 * kButtonsSide - kSideFrames};
}

int WidthShowingCaption(const TitleBar& bar, const QString& caption)
{
    return QFontMetrics(bar.font).horizontalAdvance(caption) + bar.besideCaption;
}
