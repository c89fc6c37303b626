// The main window's report: what it holds, gathered on the window's
// thread, and its writing on a worker.

#include "ui/Unit1.h"

#include "chart/FileDialogs.h"
#include "chart/MechanicalChart.h"
#include "chart/TraceChart.h"
#include "ui/Application.h"
#include "ui/BackgroundWork.h"
#include "ui/LabBench.h"
#include "ui/MeasurementsWindow.h"
#include "ui/MechanicalWindow.h"
#include "ui/ParametersWindow.h"
#include "ui/SettingTexts.h"
#include "ui/ReportDocument.h"
#include "ui/ReportOptions.h"
#include "ui_Unit1.h"

#include <QDateTime>
#include <QFileInfo>

#include <memory>
#include <utility>

namespace {

// Every chart of a report is drawn at this size, whatever its window's,
// so that the window and the batch tool draw the same report: about the
// shape of a landscape page's room, and as many pixels as a large window.
const QSize kReportChartSize(1100, 660);

// The chart as the picture for a report, in the style it shows.
ReportChart ReportPicture(PlotChart& chart, const QString& title)
{
    ReportChart drawn{title, QPicture(), kReportChartSize};
    chart.PaintPicture(drawn.picture, 1, true, kReportChartSize);
    return drawn;
}

} // namespace

ReportContents TForm1::ReportNow(bool withCharacteristic)
{
    ReportContents report{.maker = QStringLiteral("motormodel " MOTORMODEL_VERSION),
                          .made = QDateTime::currentDateTime()};
    if (const QString file = parameters_->FileName(); !file.isEmpty())
        report.facts.push_back({tr("Файл опыта"), file});
    // The data file by its name alone: the batch tool finds it beside the
    // session, wherever the window opened it.
    if (const std::optional<lab::Measured>& measured = lab_->Measured())
        report.facts.push_back({tr("Файл измерений"), QFileInfo(QString::fromStdString(measured->file)).fileName()});
    if (!ui_->Label1->text().isEmpty())
        report.facts.push_back({ui_->StaticText1->text().trimmed(), ui_->Label1->text()});
    if (!ui_->Label2->text().isEmpty())
        report.facts.push_back({ui_->StaticText2->text().trimmed(), ui_->Label2->text()});
    report.notes = QString::fromStdString(report_.notes);
    report.orientation = report_.portrait ? QPageLayout::Portrait : QPageLayout::Landscape;
    ChartViewState& view = ui_->Chart1->View();
    const bool reportStyle = view.Units().report;
    view.SetReportStyle(true);
    // The numbers of the report are written as its charts' axes write them.
    report.decimalSign = ui_->Chart1->locale().decimalPoint().front();
    report.charts.push_back(ReportPicture(*ui_->Chart1, tr("Md и Omega")));
    view.SetReportStyle(reportStyle);
    if (withCharacteristic) {
        mechanical_->Update();
        PlotChart& plane = mechanical_->Chart();
        plane.ShowReportLook(true);
        report.charts.push_back(ReportPicture(plane, tr("Механическая характеристика")));
        plane.ShowReportLook(false);
    }
    report.tables.push_back(SettingsReportTable(settings_));
    for (ReportTable& table : measurements_->ReportTables())
        report.tables.push_back(std::move(table));
    return report;
}

void TForm1::WriteReport(const QString& path)
{
    WriteReportFile(path, ReportNow(mechanical_->isVisible()));
}

void TForm1::WriteReportWithDialog()
{
    RunCommand([this] {
        if (work_->Busy())
            return;
        ReportOptions options(report_, this);
        if (options.exec() != QDialog::Accepted)
            return;
        report_ = options.Chosen();
        const QString path = AskSavePath(this, tr("Сохранить отчёт"), reportFolder_,
                                          tr("Документ PDF (*.pdf);;Текст OpenDocument (*.odt)"), QStringLiteral("pdf"));
        if (path.isEmpty())
            return;
        // The pictures are drawn here, where the charts live; the pages are
        // laid out and written on a worker, which the user may stop.
        auto contents = std::make_shared<const ReportContents>(ReportNow(mechanical_->isVisible()));
        work_->Start<bool>(
            [path, contents](const BackgroundWork::Control& control) {
                return WriteReportFile(path, *contents, [&control](int percent) {
                    control.progress(percent);
                    return !control.cancel;
                });
            },
            [](bool) {});
    });
}
