#include "ui/ReportDocument.h"

#include "chart/ClippedSvg.h"
#include "chart/PlotChart.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <algorithm>
#include <numeric>
#include <utility>

namespace {

// A table's rules and the room around its cells' text, in the writer's
// pixels at 300 to the inch: half a point and about half a millimetre.
constexpr qreal kRule = 2;
constexpr qreal kCellPadding = 6;
constexpr qreal kTextPoints = 8;
constexpr qreal kTitlePoints = 11;
constexpr qreal kHeadingPoints = 14;
// SVG viewers and word processors take 96 pixels to the inch.
constexpr int kSvgPixelsPerInch = 96;

QFont ReportFont(qreal points, bool bold = false)
{
    QFont font(kReportFontFamily);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QTextCharFormat TextFormat(qreal points, bool bold = false)
{
    QTextCharFormat format;
    format.setFont(ReportFont(points, bold));
    return format;
}

// The text with the report's decimal sign in its numbers: a point between
// two digits.
QString WithDecimalSign(QString text, QChar sign)
{
    for (qsizetype i = 1; i + 1 < text.size(); ++i)
        if (text[i] == QLatin1Char('.') && text[i - 1].isDigit() && text[i + 1].isDigit())
            text[i] = sign;
    return text;
}

// The table as printed: no column beyond the key ones that is empty in
// every row, and its numbers in the report's decimal sign.
ReportTable Printed(const ReportTable& table, QChar sign)
{
    std::vector<bool> kept;
    for (qsizetype column = 0; column < table.header.size(); ++column)
        kept.push_back(column < table.keyColumns || std::ranges::any_of(table.rows, [column](const QStringList& row) {
                           return column < row.size() && !row[column].trimmed().isEmpty();
                       }));
    const auto keep = [&](const QStringList& cells) {
        QStringList printed;
        for (qsizetype column = 0; column < cells.size() && column < table.header.size(); ++column)
            if (kept[static_cast<std::size_t>(column)])
                printed << WithDecimalSign(cells[column], sign);
        while (printed.size() < std::ranges::count(kept, true))
            printed << QString();
        return printed;
    };
    ReportTable printed{table.title, keep(table.header), {}, table.keyColumns};
    for (const QStringList& row : table.rows)
        printed.rows << keep(row);
    return printed;
}

// How wide each column must be so that no word of it breaks, and how wide
// to hold each of its cells on one line, in the pixels the metrics measure.
struct ColumnWidths {
    std::vector<qreal> least;
    std::vector<qreal> whole;
};

ColumnWidths WidthsOf(const ReportTable& table, int resolution)
{
    // Measured as the page's device would at its resolution, on any thread.
    QImage device(1, 1, QImage::Format_Mono);
    const int perMetre = qRound(resolution / 0.0254);
    device.setDotsPerMeterX(perMetre);
    device.setDotsPerMeterY(perMetre);
    const QFontMetricsF heading(ReportFont(kTextPoints, true), &device);
    const QFontMetricsF text(ReportFont(kTextPoints), &device);
    // The cell's padding and rules, and as much again: the layout takes
    // the rules from the columns' shares.
    const qreal room = 4 * (kCellPadding + kRule);
    ColumnWidths widths;
    for (qsizetype column = 0; column < table.header.size(); ++column) {
        qreal word = 0;
        for (const QString& part : table.header[column].split(QLatin1Char(' '), Qt::SkipEmptyParts))
            word = std::max(word, heading.horizontalAdvance(part));
        qreal cells = 0;
        for (const QStringList& row : table.rows)
            cells = std::max(cells, text.horizontalAdvance(row[column]));
        widths.least.push_back(std::max(word, cells) + room);
        widths.whole.push_back(std::max(heading.horizontalAdvance(table.header[column]), cells) + room);
    }
    return widths;
}

// Of the table's columns beyond the key ones, each part's first, those that
// fit the width beside the key columns, at least one each.
std::vector<int> PartsOf(const ReportTable& table, const ColumnWidths& widths, qreal width)
{
    const qreal keys = std::accumulate(widths.least.begin(), widths.least.begin() + table.keyColumns, qreal(0));
    std::vector<int> starts;
    qreal used = width;
    for (int column = table.keyColumns; column < table.header.size(); ++column) {
        const qreal least = widths.least[static_cast<std::size_t>(column)];
        if (used + least > width) {
            starts.push_back(column);
            used = keys;
        }
        used += least;
    }
    return starts;
}

// The columns' shares of the width: each as wide as its words need, and
// what is left given to those whose cells would wrap, then to all.
std::vector<qreal> Shares(const std::vector<qreal>& least, const std::vector<qreal>& whole, qreal width)
{
    const qreal leastSum = std::accumulate(least.begin(), least.end(), qreal(0));
    const qreal wholeSum = std::accumulate(whole.begin(), whole.end(), qreal(0));
    std::vector<qreal> shares;
    for (std::size_t c = 0; c < least.size(); ++c) {
        const qreal wide = wholeSum <= width || wholeSum == leastSum
                               ? whole[c] * width / wholeSum
                               : least[c] + (whole[c] - least[c]) * (width - leastSum) / (wholeSum - leastSum);
        shares.push_back(100 * wide / width);
    }
    return shares;
}

// A part of a table, under a first row that holds its title: the title
// repeats above its rows on every page, and is never left alone at a
// page's foot.
void AddPart(QTextCursor& cursor, const ReportTable& table, const std::vector<qsizetype>& columns,
             const ColumnWidths& widths, qreal width)
{
    std::vector<qreal> least;
    std::vector<qreal> whole;
    for (qsizetype column : columns) {
        least.push_back(widths.least[static_cast<std::size_t>(column)]);
        whole.push_back(widths.whole[static_cast<std::size_t>(column)]);
    }
    QList<QTextLength> constraints;
    for (qreal share : Shares(least, whole, width))
        constraints << QTextLength(QTextLength::PercentageLength, share);
    QTextTableFormat format;
    format.setHeaderRowCount(2);
    format.setBorder(kRule);
    format.setBorderBrush(Qt::gray);
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setBorderCollapse(true);
    format.setCellPadding(kCellPadding);
    format.setCellSpacing(0);
    format.setTopMargin(24);
    format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
    format.setColumnWidthConstraints(constraints);
    const auto count = static_cast<int>(columns.size());
    QTextTable* cells = cursor.insertTable(static_cast<int>(table.rows.size()) + 2, count, format);
    cells->mergeCells(0, 0, 1, count);
    cells->cellAt(0, 0).firstCursorPosition().insertText(table.title, TextFormat(kTitlePoints, true));
    for (int c = 0; c < count; ++c) {
        const auto column = columns[static_cast<std::size_t>(c)];
        cells->cellAt(1, c).firstCursorPosition().insertText(table.header[column], TextFormat(kTextPoints, true));
        // A value is never broken, at a minus sign or anywhere: its column
        // is as wide as its widest value.
        QTextBlockFormat unbroken;
        unbroken.setNonBreakableLines(true);
        for (int row = 0; row < static_cast<int>(table.rows.size()); ++row) {
            QTextCursor cell = cells->cellAt(row + 2, c).firstCursorPosition();
            cell.setBlockFormat(unbroken);
            cell.insertText(table.rows[row][column], TextFormat(kTextPoints));
        }
    }
    cursor.movePosition(QTextCursor::End);
}

// The table in parts of the columns that fit the page's width, one under
// the other, each with the key columns.
void AddTable(QTextCursor& cursor, const ReportTable& table, qreal width, int resolution)
{
    const ColumnWidths widths = WidthsOf(table, resolution);
    const std::vector<int> starts = PartsOf(table, widths, width);
    for (std::size_t part = 0; part < starts.size(); ++part) {
        std::vector<qsizetype> columns;
        for (int key = 0; key < table.keyColumns; ++key)
            columns.push_back(key);
        const int end = part + 1 < starts.size() ? starts[part + 1] : static_cast<int>(table.header.size());
        for (int column = starts[part]; column < end; ++column)
            columns.push_back(column);
        AddPart(cursor, table, columns, widths, width);
    }
}

void AddParagraph(QTextCursor& cursor, const QString& text, const QTextCharFormat& format, qreal above = 0)
{
    QTextBlockFormat block;
    block.setTopMargin(above);
    cursor.insertBlock(block, format);
    cursor.insertText(text);
}

// The chart as an SVG picture of its size, in place of the text.
void AddChart(QTextCursor& cursor, const ReportChart& chart, qreal pageWidth, int resolution)
{
    QByteArray svg;
    {
        QBuffer buffer(&svg);
        buffer.open(QIODevice::WriteOnly);
        ClippedSvg device(buffer, chart.size, kSvgPixelsPerInch);
        QPainter painter(&device);
        PlayReportChart(painter, chart, 1);
    }
    QTextBlockFormat block;
    block.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    cursor.insertBlock(block, TextFormat(kTitlePoints, true));
    cursor.insertText(chart.title);
    cursor.insertBlock();
    const QUrl name(QStringLiteral("chart-%1.svg").arg(cursor.document()->blockCount()));
    cursor.document()->addResource(QTextDocument::ImageResource, name, svg);
    QTextImageFormat image;
    image.setName(name.toString());
    // In the 96 pixels to the inch that word processors take.
    const qreal width = pageWidth * kSvgPixelsPerInch / resolution;
    image.setWidth(width);
    image.setHeight(width * chart.size.height() / chart.size.width());
    cursor.insertImage(image);
}

} // namespace

void PlayReportChart(QPainter& painter, const ReportChart& chart, qreal scale)
{
    // A picture plays back scaled from its resolution to the device's.
    const qreal played = qreal(painter.device()->logicalDpiX()) / chart.picture.logicalDpiX();
    painter.save();
    painter.scale(scale / played, scale / played);
    painter.drawPicture(0, 0, chart.picture);
    painter.restore();
}

std::unique_ptr<QTextDocument> ReportText(const ReportContents& contents, qreal pageWidth, int resolution,
                                          bool withCharts)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(ReportFont(kTextPoints));
    document->setDocumentMargin(0);
    QTextCursor cursor(document.get());
    cursor.insertText(QCoreApplication::translate("ReportDocument", "%1 — отчёт от %2")
                          .arg(contents.maker, contents.made.toString(QStringLiteral("dd.MM.yyyy HH:mm"))),
                      TextFormat(kHeadingPoints, true));
    qreal above = 12;
    for (const ReportFact& fact : contents.facts) {
        AddParagraph(cursor, fact.name + QStringLiteral(": "), TextFormat(kTitlePoints, true), std::exchange(above, 0));
        cursor.insertText(WithDecimalSign(fact.value, contents.decimalSign), TextFormat(kTitlePoints));
    }
    if (!contents.notes.trimmed().isEmpty()) {
        AddParagraph(cursor, QCoreApplication::translate("ReportDocument", "Примечания"),
                     TextFormat(kTitlePoints, true), 12);
        for (const QString& line : contents.notes.split(QLatin1Char('\n')))
            AddParagraph(cursor, line, TextFormat(kTitlePoints));
    }
    for (const ReportTable& table : contents.tables)
        AddTable(cursor, Printed(table, contents.decimalSign), pageWidth, resolution);
    if (withCharts)
        for (const ReportChart& chart : contents.charts)
            AddChart(cursor, chart, pageWidth, resolution);
    return document;
}
