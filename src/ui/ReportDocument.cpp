#include "ui/ReportDocument.h"

#include "chart/PlotChart.h"
#include "toolkit/Exception.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>

namespace {

constexpr int kResolution = 300;
// A table's rules and the room around its cells' text, in the writer's
// pixels: half a point and about half a millimetre.
constexpr qreal kRule = 2;
constexpr qreal kCellPadding = 6;
constexpr qreal kTextPoints = 8;
constexpr qreal kTitlePoints = 11;
constexpr qreal kHeadingPoints = 14;
// The most columns beside the key ones that a landscape page holds at
// the text's size.
constexpr int kMostColumns = 10;

QFont ReportFont(qreal points, bool bold = false)
{
    QFont font(kReportFontFamily);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The table's columns from..to (beyond the key ones), with the key ones.
ReportTable ColumnsOf(const ReportTable& table, int from, int to)
{
    auto part = [&](const QStringList& cells) {
        QStringList kept = cells.mid(0, table.keyColumns);
        return kept << cells.mid(from, to - from);
    };
    ReportTable columns{table.title, part(table.header), {}, table.keyColumns};
    for (const QStringList& row : table.rows)
        columns.rows << part(row);
    return columns;
}

void AddTitle(QTextCursor& cursor, const QString& title)
{
    QTextBlockFormat block;
    block.setTopMargin(12);
    block.setBottomMargin(4);
    // The title stays on the page of its table's first rows.
    block.setPageBreakPolicy(QTextFormat::PageBreak_Auto);
    QTextCharFormat text;
    text.setFont(ReportFont(kTitlePoints, true));
    cursor.insertBlock(block, text);
    cursor.insertText(title);
}

void AddColumns(QTextCursor& cursor, const ReportTable& table)
{
    AddTitle(cursor, table.title);
    QTextTableFormat format;
    format.setHeaderRowCount(1);
    format.setBorder(kRule);
    format.setBorderBrush(Qt::gray);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellPadding(kCellPadding);
    format.setCellSpacing(0);
    const auto columns = static_cast<int>(table.header.size());
    QTextTable* cells = cursor.insertTable(static_cast<int>(table.rows.size()) + 1, columns, format);
    QTextCharFormat heading;
    heading.setFont(ReportFont(kTextPoints, true));
    QTextCharFormat text;
    text.setFont(ReportFont(kTextPoints));
    for (int column = 0; column < columns; ++column)
        cells->cellAt(0, column).firstCursorPosition().insertText(table.header[column], heading);
    for (int row = 0; row < static_cast<int>(table.rows.size()); ++row)
        for (int column = 0; column < columns && column < table.rows[row].size(); ++column)
            cells->cellAt(row + 1, column).firstCursorPosition().insertText(table.rows[row][column], text);
    cursor.movePosition(QTextCursor::End);
}

// A table too wide for the page goes in parts of its columns, one under
// the other, each with the key columns.
void AddTable(QTextCursor& cursor, const ReportTable& table)
{
    const auto columns = static_cast<int>(table.header.size());
    for (int from = table.keyColumns; from < columns; from += kMostColumns)
        AddColumns(cursor, ColumnsOf(table, from, std::min(columns, from + kMostColumns)));
}

// The chart under its caption, as large as the page leaves room for.
void DrawChartPage(QPainter& painter, QRectF page, const ReportChart& chart)
{
    painter.setFont(ReportFont(kTitlePoints, true));
    QRectF captionRect;
    painter.drawText(page, Qt::AlignLeft | Qt::AlignTop, chart.title, &captionRect);
    const QRectF room = page.adjusted(0, captionRect.height() * 1.5, 0, 0);
    // A picture plays back scaled from its resolution to the device's.
    const qreal played = qreal(painter.device()->logicalDpiX()) / chart.picture.logicalDpiX();
    const qreal scale =
        std::min(room.width() / chart.size.width(), room.height() / chart.size.height()) / played;
    painter.save();
    painter.translate(room.topLeft());
    painter.scale(scale, scale);
    painter.drawPicture(0, 0, chart.picture);
    painter.restore();
}

[[noreturn]] void ThrowNotWritten(const QString& path, const QSaveFile& file)
{
    throw toolkit::Exception(QCoreApplication::translate("ReportDocument", "отчёт не удалось записать в %1: %2")
                                 .arg(path, file.errorString())
                                 .toStdString());
}

QString Heading(const ReportContents& contents)
{
    return QCoreApplication::translate("ReportDocument", "%1 — отчёт от %2")
        .arg(contents.maker, contents.made.toString(QStringLiteral("dd.MM.yyyy HH:mm")));
}

} // namespace

void WriteReportPdf(const QString& path, const ReportContents& contents)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        ThrowNotWritten(path, file);
    QPdfWriter writer(&file);
    writer.setTitle(contents.maker);
    writer.setCreator(contents.maker);
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(15, 15, 15, 15),
                                     QPageLayout::Millimeter));
    const QRect paint = writer.pageLayout().paintRectPixels(kResolution);
    const QRectF page(0, 0, paint.width(), paint.height());

    QTextDocument document;
    document.documentLayout()->setPaintDevice(&writer);
    document.setDefaultFont(ReportFont(kTextPoints));
    document.setPageSize(page.size());
    QTextCursor cursor(&document);
    cursor.insertText(Heading(contents), [] {
        QTextCharFormat format;
        format.setFont(ReportFont(kHeadingPoints, true));
        return format;
    }());
    for (const ReportTable& table : contents.tables)
        AddTable(cursor, table);

    QPainter painter(&writer);
    for (const ReportChart& chart : contents.charts) {
        DrawChartPage(painter, page, chart);
        writer.newPage();
    }
    for (int at = 0; at < document.pageCount(); ++at) {
        if (at > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -at * page.height());
        document.drawContents(&painter, page.translated(0, at * page.height()));
        painter.restore();
    }
    painter.end();
    if (!file.commit())
        ThrowNotWritten(path, file);
}
