#include "ui/ChartExporter.h"

#include "plot/CsvTable.h"
#include "toolkit/Exception.h"
#include "ui/TraceChart.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <string>

namespace {

// SVG viewers take 96 pixels to the inch, as CSS does: the drawing shows
// at the chart's size.
constexpr int kSvgPixelsPerInch = 96;
// A PDF page is measured in whole points: a point to a pixel keeps it
// exactly the chart's size.
constexpr int kPdfPixelsPerInch = 72;

[[noreturn]] void ThrowCannotCreate(const QString& path)
{
    throw toolkit::Exception("Cannot create file \"" + path.toStdString() + "\"");
}

} // namespace

ChartExporter::ChartExporter(TraceChart& chart) : chart_(chart) {}

void ChartExporter::SaveImage(const QString& path, ImageFormat format) const
{
    switch (format) {
    case ImageFormat::Png:
        SavePng(path);
        return;
    case ImageFormat::Svg:
        SaveSvg(path);
        return;
    case ImageFormat::Pdf:
        SavePdf(path);
        return;
    }
}

void ChartExporter::SaveCsv(const QString& path) const
{
    const std::string csv = chart_.Traces() ? CsvTable(*chart_.Traces()) : std::string();
    QSaveFile file(path);
    const auto size = static_cast<qint64>(csv.size());
    if (!file.open(QIODevice::WriteOnly) || file.write(csv.data(), size) != size || !file.commit())
        ThrowCannotCreate(path);
}

void ChartExporter::CopyImage() const
{
    QGuiApplication::clipboard()->setImage(Picture(1));
}

QImage ChartExporter::Picture(qreal scale) const
{
    QImage image(chart_.size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    DrawOnto(image);
    return image;
}

bool ChartExporter::DrawOnto(QPaintDevice& device) const
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    chart_.render(&painter, QRectF(QPointF(), chart_.size()));
    return true;
}

void ChartExporter::SavePng(const QString& path) const
{
    if (!Picture(kPngScale).save(path, "PNG"))
        ThrowCannotCreate(path);
}

void ChartExporter::SaveSvg(const QString& path) const
{
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(chart_.size());
    svg.setViewBox(QRect(QPoint(), chart_.size()));
    svg.setResolution(kSvgPixelsPerInch);
    if (!DrawOnto(svg))
        ThrowCannotCreate(path);
}

void ChartExporter::SavePdf(const QString& path) const
{
    QPdfWriter pdf(path);
    pdf.setResolution(kPdfPixelsPerInch);
    pdf.setPageSize(QPageSize(chart_.size(), QString(), QPageSize::ExactMatch));
    pdf.setPageMargins(QMarginsF());
    if (!DrawOnto(pdf))
        ThrowCannotCreate(path);
}
