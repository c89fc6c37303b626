#include "chart/ReadoutBox.h"

#include <cmath>

namespace {

constexpr int kPadding = 3;
// Room around the box for its frame, whose right and bottom edges fall a
// pixel past the box's rectangle.
constexpr int kFrameRoom = 2;

} // namespace

ReadoutBox::ReadoutBox(QCustomPlot& chart) : QCPItemText(&chart)
{
    setPen(QPen(Qt::darkGray, 0));
    setBrush(QColor(255, 255, 255, 230));
    setPadding(QMargins(kPadding, kPadding, kPadding, kPadding));
    setTextAlignment(Qt::AlignLeft);
    setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    position->setType(QCPItemPosition::ptAbsolute);
    setLayer(QStringLiteral("marks"));
    setClipToAxisRect(false);
    setVisible(false);
}

QSizeF ReadoutBox::Size() const
{
    if (!measured_ || measured_->text != text() || measured_->font != font())
        measured_ = Measured{text(), font(), QFontMetricsF(font()).boundingRect(QRectF(), 0, text()).size()};
    return measured_->size + QSizeF(2 * kPadding, 2 * kPadding);
}

void ReadoutBox::PlaceAt(QPointF corner)
{
    position->setCoords(std::round(corner.x()), std::round(corner.y()));
}

void ReadoutBox::draw(QCPPainter* painter)
{
    // Pictures for files keep their text as text.
    if (painter->modes().testFlag(QCPPainter::pmNoCaching))
        return QCPItemText::draw(painter);
    const QPointF at = position->pixelPosition() - QPointF(kFrameRoom, kFrameRoom);
    painter->drawPixmap(at, PictureFor(*painter));
}

const QPixmap& ReadoutBox::PictureFor(const QCPPainter& painter)
{
    const qreal pixelRatio = painter.device()->devicePixelRatioF();
    if (picture_ && picture_->text == text() && picture_->font == font() && picture_->pixelRatio == pixelRatio)
        return picture_->pixmap;
    // Drawn by the library's own item, moved by whole pixels to the
    // picture's corner: the pixels are the same wherever the box goes.
    const QSizeF box = Size();
    const QSize size(qCeil(box.width()) + 2 * kFrameRoom, qCeil(box.height()) + 2 * kFrameRoom);
    QPixmap pixmap(size * pixelRatio);
    pixmap.setDevicePixelRatio(pixelRatio);
    pixmap.fill(Qt::transparent);
    QCPPainter onPicture(&pixmap);
    onPicture.setRenderHints(painter.renderHints());
    onPicture.setModes(painter.modes());
    onPicture.translate(QPointF(kFrameRoom, kFrameRoom) - position->pixelPosition());
    QCPItemText::draw(&onPicture);
    onPicture.end();
    picture_ = Picture{text(), font(), pixelRatio, std::move(pixmap)};
    return picture_->pixmap;
}
