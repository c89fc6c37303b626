#include "chart/ChartExporter.h"

#include "chart/TraceChart.h"
#include "plot/CsvTable.h"
#include "toolkit/Exception.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <functional>
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

// Writes into a temporary file beside the target and puts it in the
// target's place only when everything was written.
void SaveWhole(const QString& path, const std::function<bool(QIODevice&)>& write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        ThrowCannotSave(path, file.errorString());
    if (!write(file)) {
        const QString reason = file.error() != QFileDevice::NoError ? file.errorString() : QStringLiteral("write failed");
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
    const QSize size = chart_.size();
    switch (format) {
    case ImageFormat::Png:
        SaveWhole(path, [this](QIODevice& file) { return Picture(kPngScale).save(&file, "PNG"); });
        return;
    case ImageFormat::Svg:
        SaveWhole(path, [this, size](QIODevice& file) {
            QSvgGenerator svg;
            svg.setOutputDevice(&file);
            svg.setSize(size);
            svg.setViewBox(QRect(QPoint(), size));
            svg.setResolution(kSvgPixelsPerInch);
            return chart_.PaintPicture(svg, 1, true);
        });
        return;
    case ImageFormat::Pdf:
        SaveWhole(path, [this, size](QIODevice& file) {
            QPdfWriter pdf(&file);
            pdf.setResolution(kPdfPixelsPerInch);
            pdf.setPageSize(QPageSize(size, QString(), QPageSize::ExactMatch));
            pdf.setPageMargins(QMarginsF());
            return chart_.PaintPicture(pdf, 1, true);
        });
        return;
    }
}

void ChartExporter::SaveCsv(const QString& path) const
{
    const std::string csv = CsvTable(chart_.View().Traces());
    SaveWhole(path, [&csv](QIODevice& file) {
        const auto size = static_cast<qint64>(csv.size());
        return file.write(csv.data(), size) == size;
    });
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
