#pragma once

#include <QtGlobal>

class QImage;
class QPaintDevice;
class QString;
class TraceChart;

enum class ImageFormat { Png, Svg, Pdf };

// Writes out what the chart shows: its picture as a file or onto the
// clipboard, and the shown traces' points as CSV. Callers choose the
// paths; a file that cannot be written raises toolkit::Exception.
class ChartExporter {
public:
    // PNG is drawn at twice the chart's size, sharp on screens and paper
    // with more pixels to the inch.
    static constexpr qreal kPngScale = 2;

    explicit ChartExporter(TraceChart& chart);

    // At the chart's size; PNG at twice that many pixels.
    void SaveImage(const QString& path, ImageFormat format) const;
    void SaveCsv(const QString& path) const;
    void CopyImage() const;

private:
    QImage Picture(qreal scale) const;
    void SavePng(const QString& path) const;
    void SaveSvg(const QString& path) const;
    void SavePdf(const QString& path) const;
    // Draws the chart at its size; false if the device would not open,
    // as a file device does not where it cannot create the file.
    bool DrawOnto(QPaintDevice& device) const;

    TraceChart& chart_;
};
