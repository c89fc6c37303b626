#include "ui/ReportDocument.h"

#include "chart/PlotChart.h"
#include "odf/OdtPages.h"
#include "toolkit/Exception.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <QTextDocumentWriter>

#include <algorithm>

namespace {

constexpr int kResolution = 300;
constexpr qreal kCaptionPoints = 11;

// The chart under its caption, as large as the page leaves room for.
void DrawChartPage(QPainter& painter, QRectF page, const ReportChart& chart)
{
    QFont font(kReportFontFamily);
    font.setPointSizeF(kCaptionPoints);
    font.setBold(true);
    painter.setFont(font);
    QRectF captionRect;
    painter.drawText(page, Qt::AlignLeft | Qt::AlignTop, chart.title, &captionRect);
    const QRectF room = page.adjusted(0, captionRect.height() * 1.5, 0, 0);
    const qreal scale = std::min(room.width() / chart.size.width(), room.height() / chart.size.height());
    painter.save();
    painter.translate(room.topLeft());
    PlayReportChart(painter, chart, scale);
    painter.restore();
}

[[noreturn]] void ThrowNotWritten(const QString& path, const QString& reason)
{
    throw toolkit::Exception(QCoreApplication::translate("ReportDocument", "отчёт не удалось записать в %1: %2")
                                 .arg(path, reason)
                                 .toStdString());
}

// The text's pages, then a page for each chart.
bool WritePdf(QIODevice& file, const ReportContents& contents, const ReportProgress& progress)
{
    QPdfWriter writer(&file);
    writer.setTitle(contents.maker);
    writer.setCreator(contents.maker);
    writer.setResolution(kResolution);
    writer.setPageLayout(ReportPageLayout(contents));
    const QRect paint = writer.pageLayout().paintRectPixels(kResolution);
    const QRectF page(0, 0, paint.width(), paint.height());
    const std::unique_ptr<QTextDocument> document = ReportText(contents, page.width(), kResolution, false);
    document->documentLayout()->setPaintDevice(&writer);
    document->setPageSize(page.size());

    const int textPages = document->pageCount();
    const int pages = textPages + static_cast<int>(contents.charts.size());
    QPainter painter(&writer);
    for (int at = 0; at < pages; ++at) {
        if (progress && !progress(100 * at / pages))
            return false;
        if (at > 0)
            writer.newPage();
        if (at < textPages) {
            painter.save();
            painter.translate(0, -at * page.height());
            document->drawContents(&painter, page.translated(0, at * page.height()));
            painter.restore();
        }
        else
            DrawChartPage(painter, page, contents.charts[static_cast<std::size_t>(at - textPages)]);
    }
    painter.end();
    return !progress || progress(100);
}

} // namespace

QPageLayout ReportPageLayout(const ReportContents& contents)
{
    return QPageLayout(QPageSize(QPageSize::A4), contents.orientation, QMarginsF(15, 15, 15, 15),
                       QPageLayout::Millimeter);
}

QByteArray ReportOdt(const ReportContents& contents)
{
    // The text laid out for the pages a PDF of the report has, which the
    // package is given: Qt's writer gives it no page of its own.
    const QPageLayout page = ReportPageLayout(contents);
    const qreal textWidth = page.paintRect(QPageLayout::Inch).width() * kResolution;
    const std::unique_ptr<QTextDocument> document = ReportText(contents, textWidth, kResolution, true);
    // The writer closes the device it is given when done, which would
    // throw away a file that is replaced only once complete.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, "odf");
    if (!writer.write(document.get()))
        throw toolkit::Exception(
            QCoreApplication::translate("ReportDocument", "документ ODF не удалось составить").toStdString());
    const QRectF sheet = page.fullRect(QPageLayout::Millimeter);
    const std::string odt = odf::WithDefaultPage(std::string_view(buffer.data().constData(), static_cast<std::size_t>(buffer.size())),
                                                 {sheet.width(), sheet.height(), page.margins().left()});
    return QByteArray(odt.data(), static_cast<qsizetype>(odt.size()));
}

bool WriteReportFile(const QString& path, const ReportContents& contents, const ReportProgress& progress)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        ThrowNotWritten(path, file.errorString());
    if (QFileInfo(path).suffix().compare(QLatin1String("odt"), Qt::CaseInsensitive) == 0) {
        QByteArray odt;
        try {
            odt = ReportOdt(contents);
        } catch (const toolkit::Exception& error) {
            ThrowNotWritten(path, QString::fromUtf8(error.what()));
        }
        if (file.write(odt) != odt.size())
            ThrowNotWritten(path, file.errorString());
    }
    else if (!WritePdf(file, contents, progress))
        return false;
    if (!file.commit())
        ThrowNotWritten(path, file.errorString());
    return true;
}
