#include "ui/WindowSystem.h"

#include "chart/FileDialogs.h"

#include <QFontMetrics>
#include <QGuiApplication>

#include <algorithm>
#include <cmath>
#include <limits>

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

namespace {

// A text's width in a font as laid out on a screen of the given device pixel
// ratio: the font engine works at the device's size, whose rounded glyph
// advances add up to a width that differs from one ratio to another by a
// few pixels over a caption.
qreal WidthAt(QFont font, const QString& text, qreal ratio)
{
    if (font.pixelSize() > 0)
        font.setPixelSize(qRound(font.pixelSize() * ratio));
    else
        font.setPointSizeF(font.pointSizeF() * ratio);
    return QFontMetricsF(font).horizontalAdvance(text) / ratio;
}

} // namespace

int WidthShowingCaption(const TitleBar& bar, const QString& caption)
{
    // The caption starts (outer - centred) / 2 from the left edge, rounded
    // down, and ends `drawn` pixels further on. Both widths are taken at
    // their worst over the ratios of the screens the window may show on
    // (whole and fractional scales), and the result rounded up: a caption a
    // pixel too wide for its room loses its last letter.
    qreal drawnMost = 0;
    qreal centredLeast = std::numeric_limits<qreal>::max();
    qreal centredMost = 0;
    for (const qreal ratio : {1.0, 1.25, 1.5, 2.0}) {
        drawnMost = std::max(drawnMost, WidthAt(bar.font, caption, ratio));
        const qreal centred = WidthAt(bar.centredAs, caption, ratio);
        centredLeast = std::min(centredLeast, centred);
        centredMost = std::max(centredMost, centred);
    }
    const qreal outer = std::max(centredMost + 2 * bar.left + 1, 2 * drawnMost - centredLeast + 2 * bar.right);
    return static_cast<int>(std::ceil(outer)) - bar.frames;
}
