#pragma once

#include <qcustomplot.h>

#include <optional>

// The trackers' box of values, on the chart's layer of marks, hidden until
// placed. It follows the pointer at every move, mostly with the same text,
// so it keeps its picture and lays the text out again only when that
// changes: on screen it draws the very pixels the library's text item
// draws, without shaping the text at each frame.
class ReadoutBox final : public QCPItemText {
public:
    explicit ReadoutBox(QCustomPlot& chart);

    // Its size, frame and padding included.
    QSizeF Size() const;
    // Puts its top left corner at the whole pixel nearest to the point.
    void PlaceAt(QPointF corner);

protected:
    void draw(QCPPainter* painter) override;

private:
    // Its text's size, measured once per text.
    struct Measured {
        QString text;
        QFont font;
        QSizeF size;
    };
    struct Picture {
        QString text;
        QFont font;
        qreal pixelRatio;
        QPixmap pixmap;
    };

    const QPixmap& PictureFor(const QCPPainter& painter);

    mutable std::optional<Measured> measured_;
    std::optional<Picture> picture_;
};
