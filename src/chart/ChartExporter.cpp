#include "chart/ChartExporter.h"

#include "chart/TraceChart.h"
#include "plot/CsvTable.h"
#include "toolkit/Exception.h"

#include <QBuffer>
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
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

[[noreturn]] void ThrowCannotSave(const QString& path, const QString& reason)
{
    throw toolkit::Exception("Cannot save \"" + path.toStdString() + "\": " + reason.toStdString());
}

// The reason a write failed, in the file's words where it has some.
QString FailureOf(const QFileDevice& file)
{
    return file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("write failed");
}

// A device or a pipe the user chose is written as it is: renaming a file
// over it would replace the device itself.
void WriteInPlace(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        ThrowCannotSave(path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush())
        ThrowCannotSave(path, FailureOf(file));
}

// Writes into a temporary file beside the target and puts it in the
// target's place only when everything was written. The bytes are made
// beforehand: the picture writers do not report a failed write.
void SaveWhole(const QString& path, const QByteArray& bytes)
{
    const QFileInfo target(path);
    if (target.exists() && !target.isFile() && !target.isDir())
        return WriteInPlace(path, bytes);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        ThrowCannotSave(path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = FailureOf(file);
        file.cancelWriting();
        ThrowCannotSave(path, reason);
    }
    if (!file.commit())
        ThrowCannotSave(path, file.errorString());
}

} // namespace

ChartExporter::ChartExporter(TraceChart& chart) : chart_(chart) {}

std::optional<ImageFormat> ChartExporter::FormatOfName(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return ImageFormat::Png;
    if (suffix == QLatin1String("svg"))
        return ImageFormat::Svg;
    if (suffix == QLatin1String("pdf"))
        return ImageFormat::Pdf;
    return std::nullopt;
}

void ChartExporter::SaveImage(const QString& path, ImageFormat format) const
{
    SaveWhole(path, Encoded(format));
}

void ChartExporter::SaveCsv(const QString& path, CsvStyle style) const
{
    const ShownTraces& traces = chart_.View().Traces();
    const std::string csv = CsvTable(traces, traces.ShownWithPoints(), style);
    SaveWhole(path, QByteArray(csv.data(), static_cast<qsizetype>(csv.size())));
}

QByteArray ChartExporter::Encoded(ImageFormat format) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const QSize size = chart_.size();
    switch (format) {
    case ImageFormat::Png:
        Picture(kPngScale).save(&buffer, "PNG");
        break;
    case ImageFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(), size));
        svg.setResolution(kSvgPixelsPerInch);
        chart_.PaintPicture(svg, 1, true);
        break;
    }
    case ImageFormat::Pdf: {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kPdfPixelsPerInch);
        pdf.setPageSize(QPageSize(size, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF());
        chart_.PaintPicture(pdf, 1, true);
        break;
    }
    }
    return buffer.data();
}

void ChartExporter::CopyImage() const
{
    QGuiApplication::clipboard()->setImage(Picture(1));
}

QImage ChartExporter::Picture(qreal scale) const
{
    QImage image(chart_.size() * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    chart_.PaintPicture(image, scale, false);
    return image;
}
