// The report as a user hands it in: the batch tool writes the window's,
// its pages stay small however long the runs, LibreOffice reads its ODT
// as text and tables, and its tables lay out as tables should.

#include "ChartWindowFixture.h"

#include "chart/ChartExporter.h"
#include "plot/AxisUnits.h"
#include "ui/LabBench.h"
#include "ui/ParametersWindow.h"
#include "ui/ReportDocument.h"
#include "ui/ToolWindows.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <string>
#include <vector>

namespace {

// What a tool writes to standard output; empty, and the test failed, if
// it did not end well.
QString Output(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    const bool ran = process.waitForFinished(180000) && process.exitStatus() == QProcess::NormalExit &&
                     process.exitCode() == 0;
    EXPECT_TRUE(ran) << tool.toStdString() << " " << arguments.join(' ').toStdString() << ": "
                     << process.readAllStandardError().toStdString();
    return ran ? QString::fromUtf8(process.readAllStandardOutput()) : QString();
}

// The PDF's text, page by page, with the heading's time of making left out.
QStringList PagesOf(const QString& pdf)
{
    QString text = Output(QStringLiteral("pdftotext"), {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf,
                                                        QStringLiteral("-")});
    text.remove(QRegularExpression(QStringLiteral("\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d")));
    QStringList pages = text.split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

// The first page's width and height in points, as poppler reads them.
QSizeF PageSizeOf(const QString& pdf)
{
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("Page size: +([\\d.]+) x ([\\d.]+) pts"))
                                             .match(Output(QStringLiteral("pdfinfo"), {pdf}));
    return size.hasMatch() ? QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble()) : QSizeF();
}

QString Cli(const QStringList& arguments)
{
    const QStringList line = QString::fromUtf8(MOTORMODEL_CLI).split(QLatin1Char(' '));
    return Output(line.front(), line.mid(1) + arguments);
}

class ReportDocument : public ChartWindow {
protected:
    void SetUp() override
    {
        ChartWindow::SetUp();
        ASSERT_TRUE(dir_.isValid());
    }

    QString PathOf(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    // The three runs of `steps` steps each, with the characteristic open,
    // saved as a session and opened again as the batch tool opens it.
    // With measured data, a bench's samples of the step response's Md and
    // Omega every tenth step, beside the session.
    QString RunAllAndSave(std::int64_t steps, bool measured = false)
    {
        Settings settings;
        settings.run.steps = steps;
        form1_->Parameters().ShowSettings(settings);
        RunAll();
        WaitForWork();
        if (measured) {
            const QString bench = PathOf("bench.csv");
            QFile file(bench);
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("t,Md,Omega\n");
            const Trace& md = form1_->Series(RunKind::Step, Quantity::Md);
            const Trace& omega = form1_->Series(RunKind::Step, Quantity::Omega);
            for (std::size_t i = 0; i < md.Size(); i += 10)
                file.write(QStringLiteral("%1,%2,%3\n")
                               .arg(TimeOfStep(static_cast<double>(i), settings.model.dt))
                               .arg(md.Values()[i] * 1.01)
                               .arg(omega.Values()[i])
                               .toUtf8());
            file.close();
            form1_->Lab().Open(bench.toStdString());
        }
        ShowToolWindow(form1_->Mechanical(), *form1_);
        const QString session = PathOf("runs.toml");
        form1_->WriteSession(session.toStdString());
        form1_->OpenSession(session.toStdString());
        return session;
    }

    QTemporaryDir dir_;
};

class BatchReport : public ReportDocument, public testing::WithParamInterface<bool> {};

// The batch tool draws the report with the window's own code: the same
// pages, word for word, as the window's of the same session; with measured
// data, its file's name and its comparison with the run among them.
TEST_P(BatchReport, TheBatchToolWritesTheWindowsReport)
{
    const bool measured = GetParam();
    const QString session = RunAllAndSave(3000, measured);
    const QString window = PathOf("window.pdf");
    form1_->WriteReport(window);
    const QString batch = PathOf("batch.pdf");
    Cli({QStringLiteral("session"), session, QStringLiteral("--report"), batch});
    const QStringList windowPages = PagesOf(window);
    ASSERT_GE(windowPages.size(), 3) << "the tables, the chart and the characteristic";
    const QStringList batchPages = PagesOf(batch);
    ASSERT_EQ(batchPages.size(), windowPages.size());
    for (qsizetype page = 0; page < windowPages.size(); ++page)
        EXPECT_EQ(batchPages[page].toStdString(), windowPages[page].toStdString()) << "page " << page + 1;
    const QString all = windowPages.join(QString());
    EXPECT_EQ(all.contains(QStringLiteral("bench.csv")), measured);
    EXPECT_EQ(all.contains(QStringLiteral("R²")), measured);
}

INSTANTIATE_TEST_SUITE_P(Sessions, BatchReport, testing::Bool(),
                         [](const auto& row) { return row.param ? "WithMeasuredData" : "RunsAlone"; });

// A page of a random run of twenty times the steps is within half as
// large again: the characteristic draws each pixel column's stretches, as
// the time chart draws each column's least and largest values.
TEST_F(ReportDocument, PagesStayAsLargeAsThePlotForLongRuns)
{
    std::vector<qint64> report;
    std::vector<qint64> svg;
    for (std::int64_t steps : {10'000, 200'000}) {
        const QString session = RunAllAndSave(steps);
        const QString picture = PathOf("plane.svg");
        ChartExporter(form1_->Mechanical().Chart()).SaveImage(picture, ImageFormat::Svg);
        svg.push_back(QFileInfo(picture).size());
        const QString file = PathOf("report.pdf");
        Cli({QStringLiteral("session"), session, QStringLiteral("--report"), file});
        report.push_back(QFileInfo(file).size());
    }
    EXPECT_LE(svg[1], svg[0] * 3 / 2) << svg[0] << " bytes at 10^4 steps";
    EXPECT_LE(report[1], report[0] * 3 / 2) << report[0] << " bytes at 10^4 steps";
}

// LibreOffice opens the ODT with its tables as tables, and lays it out on
// pages of its own, each chart on one, none over another, of the size and
// orientation of the report's PDF.
TEST_F(ReportDocument, LibreOfficeReadsTheOdtAsTablesOnPagesOfTheirOwn)
{
    const QString office = QStandardPaths::findExecutable(QStringLiteral("libreoffice"));
    if (office.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed (scripts/setup.sh ci installs it)";
    RunAllAndSave(3000);
    const QString odt = PathOf("report.odt");
    form1_->WriteReport(odt);
    // The folder follows the format, as LibreOffice asks.
    const auto convert = [&](const QString& format) {
        Output(office, {QStringLiteral("-env:UserInstallation=file://") + PathOf("office"), QStringLiteral("--headless"),
                        QStringLiteral("--convert-to"), format, QStringLiteral("--outdir"), dir_.path(), odt});
    };
    convert(QStringLiteral("html"));
    QFile html(PathOf("report.html"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const QString markup = QString::fromUtf8(html.readAll());
    const ReportContents contents = form1_->ReportNow(true);
    EXPECT_GE(markup.count(QStringLiteral("<table")), static_cast<qsizetype>(contents.tables.size()));

    convert(QStringLiteral("pdf"));
    // LibreOffice keeps a page's size to a hundredth of a millimetre, and
    // QPageLayout's points are whole: the page in millimetres, as points.
    const QSizeF page = ReportPageLayout(contents).fullRect(QPageLayout::Millimeter).size() * (72 / 25.4);
    const QSizeF converted = PageSizeOf(PathOf("report.pdf"));
    EXPECT_NEAR(converted.width(), page.width(), 0.1);
    EXPECT_NEAR(converted.height(), page.height(), 0.1);
    const QStringList pages = PagesOf(PathOf("report.pdf"));
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(pages.front().contains(QStringLiteral("отчёт от"))) << "the heading opens the first page";
    for (const ReportTable& table : contents.tables)
        EXPECT_TRUE(pages.join(QString()).contains(table.title)) << table.title.toStdString();
    for (const ReportChart& chart : contents.charts)
        EXPECT_EQ(pages.filter(chart.title).size(), 1) << chart.title.toStdString();
}

// What a table's layout could get wrong, each in a report of its own.
struct Layout {
    const char* name;
    ReportTable table;
    // Rows of another table before it, to move it down the page.
    int before;
    // Checked on the PDF's pages.
    std::function<void(const QStringList& pages)> check;
};

ReportTable Filler(int rows)
{
    ReportTable filler{QStringLiteral("Заполнение"), {QStringLiteral("Строка"), QStringLiteral("Значение")}, {}};
    for (int row = 0; row < rows; ++row)
        filler.rows << QStringList{QString::number(row), QStringLiteral("1.5")};
    return filler;
}

TEST(ReportLayout, KeepsTitlesWithRowsWordsWholeAndNoEmptyColumns)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ReportTable wide{QStringLiteral("Характеристики"), {QStringLiteral("Величина")}, {{QStringLiteral("Md")}}};
    for (int column = 0; column < 14; ++column) {
        wide.header << QStringLiteral("Установившееся значение %1").arg(column);
        wide.rows[0] << QStringLiteral("12.25");
    }
    ReportTable empty{QStringLiteral("Статистика"),
                      {QStringLiteral("Величина"), QStringLiteral("Пустая"), QStringLiteral("СКО")},
                      {{QStringLiteral("Md"), QString(), QStringLiteral("0.5")}}};
    std::vector<Layout> cases{
        {"no column heading breaks inside a word", wide, 0,
         [](const QStringList& pages) {
             EXPECT_EQ(pages.join(QString()).count(QStringLiteral("Установившееся")), 14) << pages.join(QString()).toStdString();
         }},
        {"an empty column is left out, numbers take the comma", empty, 0,
         [](const QStringList& pages) {
             EXPECT_FALSE(pages.join(QString()).contains(QStringLiteral("Пустая")));
             EXPECT_TRUE(pages.join(QString()).contains(QStringLiteral("0,5")));
         }}};
    // Pushed down the page row by row, the title never ends a page.
    for (int before = 20; before < 50; ++before)
        cases.push_back({"a title never ends a page", empty, before, [](const QStringList& pages) {
                             for (const QString& page : pages) {
                                 const QStringList lines = page.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
                                 ASSERT_FALSE(lines.isEmpty());
                                 EXPECT_NE(lines.back().trimmed(), QStringLiteral("Статистика"));
                             }
                         }});
    for (const Layout& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name << ", after " << c.before << " rows");
        ReportContents contents{.maker = QStringLiteral("motormodel"), .decimalSign = QLatin1Char(',')};
        if (c.before > 0)
            contents.tables.push_back(Filler(c.before));
        contents.tables.push_back(c.table);
        const QString path = dir.filePath(QStringLiteral("layout.pdf"));
        ASSERT_TRUE(WriteReportFile(path, contents));
        c.check(PagesOf(path));
    }
}

// Stopped, the report leaves the file it would replace as it was.
TEST(ReportLayout, AStoppedReportLeavesTheFileAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kept.pdf"));
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::WriteOnly));
    kept.write("kept");
    kept.close();
    ReportContents contents{.maker = QStringLiteral("motormodel")};
    contents.tables.push_back(Filler(200));
    EXPECT_FALSE(WriteReportFile(path, contents, [](int percent) { return percent < 50; }));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("kept"));
}

} // namespace
