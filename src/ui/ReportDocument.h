#pragma once

#include <QDateTime>
#include <QPageLayout>
#include <QPicture>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QByteArray;
class QPainter;
class QTextDocument;

// A table as a report prints it: a title, the columns' headings and the
// rows' cells as the program shows them. The first keyColumns cells name
// the row, and go with every part of a table too wide for the page.
struct ReportTable {
    QString title;
    QStringList header;
    QList<QStringList> rows{};
    int keyColumns = 1;
};

// A chart drawn for a report, in the chart's pixels, and its caption.
struct ReportChart {
    QString title;
    QPicture picture;
    QSize size;
};

// A line under the report's heading: what it tells, and its value.
struct ReportFact {
    QString name;
    QString value;
};

// What a report holds: who made it and when, the facts of the experiment
// (its file, the step response's maxima), the user's notes, the charts, a
// page each under its caption, and after them the tables. Numbers in the
// facts and the tables are written with the charts' decimal sign.
struct ReportContents {
    QString maker;
    QDateTime made{};
    std::vector<ReportFact> facts{};
    QString notes{};
    QChar decimalSign = QLatin1Char('.');
    QPageLayout::Orientation orientation = QPageLayout::Landscape;
    std::vector<ReportChart> charts{};
    std::vector<ReportTable> tables{};
};

// Tells how far a report's writing is, 0 to 100, from the thread that
// writes it, and gets back whether to go on.
using ReportProgress = std::function<bool(int percent)>;

// Writes the report as the file's suffix asks, ".odt" as an OpenDocument
// text and anything else as a PDF, both on A4 pages of the orientation
// chosen, in Liberation Sans, their text real text, their tables real
// tables whose columns share the page's width with no word broken. The
// file is replaced only once the new one is complete; a report stopped
// by `progress` leaves it as it was and returns false. Raises
// toolkit::Exception if it cannot be written. Runs on any thread.
bool WriteReportFile(const QString& path, const ReportContents& contents, const ReportProgress& progress = {});

// The text of the report: the heading, facts, notes and tables, laid out
// for pages of the width, in pixels at the resolution, with the charts as
// SVG pictures where asked. For the writers, here and in ReportOdt.cpp.
std::unique_ptr<QTextDocument> ReportText(const ReportContents& contents, qreal pageWidth, int resolution,
                                          bool withCharts);
// The report as an OpenDocument text.
QByteArray ReportOdt(const ReportContents& contents);
// Draws the chart's picture at `scale` times its size from the painter's
// origin.
void PlayReportChart(QPainter& painter, const ReportChart& chart, qreal scale);
// The page layout of every report.
QPageLayout ReportPageLayout(const ReportContents& contents);
