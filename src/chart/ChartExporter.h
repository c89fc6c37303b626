#pragma once

#include "plot/CsvTable.h"

#include <QtGlobal>

#include <optional>

class QByteArray;
class QImage;
class QString;
class PlotChart;

enum class ImageFormat { Png, Svg, Pdf };

// Writes out what a chart shows: its picture as a file or onto the
// clipboard, and the points of its shown entries as CSV, with their times
// while the chart reads steps in seconds. A file is written whole or not at
// all, by the writer the batch tool uses: an existing one is replaced only
// once the new one is complete. A file that
// cannot be written raises toolkit::Exception naming the path and the reason.
class ChartExporter {
public:
    // PNG is drawn at twice the chart's size, sharp on screens and paper
    // with more pixels to the inch.
    static constexpr qreal kPngScale = 2;

    explicit ChartExporter(PlotChart& chart);

    // At the chart's size; PNG at twice that many pixels.
    void SaveImage(const QString& path, ImageFormat format) const;
    void SaveCsv(const QString& path, CsvStyle style = kPlainCsv) const;
    void CopyImage() const;

    // The format a file name asks for by its suffix, in any case.
    static std::optional<ImageFormat> FormatOfName(const QString& path);

private:
    // Throws toolkit::Exception if the picture cannot be drawn or encoded.
    QByteArray Encoded(ImageFormat format) const;
    QImage Picture(qreal scale) const;
    // The captions of the chart's window and of the windows it belongs to,
    // the main window's last: it names the experiment's file once one is
    // open.
    QString DocumentTitle() const;

    PlotChart& chart_;
};
