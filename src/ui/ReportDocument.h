#pragma once

#include <QDateTime>
#include <QPicture>
#include <QSize>
#include <QString>
#include <QStringList>

#include <vector>

// A table as a report prints it: a title, the columns' headings and the
// rows' cells as the program shows them. The first keyColumns cells name
// the row, and go with every part of a table too wide for the page.
struct ReportTable {
    QString title;
    QStringList header;
    QList<QStringList> rows;
    int keyColumns = 1;
};

// A chart drawn for a report, in the chart's pixels, and its caption.
struct ReportChart {
    QString title;
    QPicture picture;
    QSize size;
};

// What a report holds: who made it and when, the charts, a page each
// under its caption, and after them the heading and the tables.
struct ReportContents {
    QString maker;
    QDateTime made;
    std::vector<ReportChart> charts;
    std::vector<ReportTable> tables;
};

// Writes the report as a PDF of landscape A4 pages in Liberation Sans, its
// text real text, its tables continued from page to page with their
// headings, titled and created by the maker. The file is replaced only
// once the new one is complete; raises toolkit::Exception if it cannot be
// written.
void WriteReportPdf(const QString& path, const ReportContents& contents);
