#include "chart/ChartExporter.h"

#include "chart/ClippedSvg.h"
#include "chart/PlotChart.h"
#include "toolkit/AtomicFile.h"
#include "toolkit/Exception.h"

#include <QCoreApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QStringList>
#include <QWidget>

#include <string>
#include <string_view>
#include <system_error>

namespace {

// SVG viewers take 96 pixels to the inch, as CSS does: the drawing shows
// at the chart's size.
constexpr int kSvgPixelsPerInch = 96;
// A PDF page is measured in whole points: a point to a pixel keeps it
// exactly the chart's size.
constexpr int kPdfPixelsPerInch = 72;

[[noreturn]] void ThrowCannotSave(const QString& path, const QString& reason)
{
    throw toolkit::Exception(
        QCoreApplication::translate("ChartExporter", "Не удалось сохранить \"%1\": %2").arg(path, reason).toStdString());
}

// A device or a pipe the user chose is written in place, any other file
// replaced only once the new one is complete; the reason is the system's,
// in the program's language as Qt has it.
void SaveWhole(const QString& path, const QByteArray& bytes)
{
    try {
        toolkit::ReplaceFile(QFile::encodeName(path).toStdString(), std::string_view(bytes.data(), static_cast<std::size_t>(bytes.size())));
    } catch (const std::system_error& error) {
        ThrowCannotSave(path, qt_error_string(error.code().value()));
    }
}

} // namespace

ChartExporter::ChartExporter(PlotChart& chart) : chart_(chart) {}

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
    QByteArray encoded;
    try {
        encoded = Encoded(format);
    } catch (const toolkit::Exception& error) {
        ThrowCannotSave(path, QString::fromUtf8(error.what()));
    }
    SaveWhole(path, encoded);
}

void ChartExporter::SaveCsv(const QString& path, CsvStyle style) const
{
    try {
        toolkit::FileReplacement file(QFile::encodeName(path).toStdString());
        chart_.WriteCsv(style, [&file](std::string_view piece) { file.Write(piece); });
        file.Commit();
    } catch (const std::system_error& error) {
        ThrowCannotSave(path, qt_error_string(error.code().value()));
    }
}

QByteArray ChartExporter::Encoded(ImageFormat format) const
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const QSize size = chart_.size();
    switch (format) {
    case ImageFormat::Png:
        if (!Picture(kPngScale).save(&buffer, "PNG"))
            throw toolkit::Exception(
                QCoreApplication::translate("ChartExporter", "рисунок PNG не удалось закодировать").toStdString());
        break;
    case ImageFormat::Svg: {
        ClippedSvg svg(buffer, size, kSvgPixelsPerInch);
        chart_.PaintPicture(svg, 1, true);
        break;
    }
    case ImageFormat::Pdf: {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kPdfPixelsPerInch);
        pdf.setPageSize(QPageSize(size, QString(), QPageSize::ExactMatch));
        pdf.setPageMargins(QMarginsF());
        pdf.setTitle(DocumentTitle());
        pdf.setCreator(QStringLiteral("motormodel " MOTORMODEL_VERSION));
        chart_.PaintPicture(pdf, 1, true);
        break;
    }
    }
    return buffer.data();
}

QString ChartExporter::DocumentTitle() const
{
    QStringList captions;
    for (const QWidget* window = chart_.window(); window;
         window = window->parentWidget() ? window->parentWidget()->window() : nullptr)
        captions.append(window->windowTitle());
    return captions.join(QStringLiteral(" — "));
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
