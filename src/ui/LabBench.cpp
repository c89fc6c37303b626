#include "ui/LabBench.h"

#include "chart/FileDialogs.h"
#include "chart/MeasuredLines.h"
#include "chart/TraceChart.h"
#include "chart/TranslatedText.h"
#include "ui/Application.h"
#include "ui/MeasuredColumnsDialog.h"

#include <QAction>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include <utility>

namespace {

// The start of the file, where its heading row is; empty if it cannot be
// read, as its reading has told already.
std::string HeadOf(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(qint64{1} << 16).toStdString();
}

} // namespace

LabBench::LabBench(TraceChart& chart, QWidget& window)
    : QObject(&window), chart_(chart), window_(window),
      askMapping_([this](const std::vector<std::string>& columns) { return AskWithDialog(columns); })
{
}

void LabBench::AddCommands(QMenu& menu)
{
    SetTranslatedText(*menu.addAction(QString(), this, [this] { RunCommand([this] { OpenWithDialog(); }); }),
                      "LabBench", QT_TRANSLATE_NOOP("LabBench", "Открыть измерения…"));
    QAction* close = menu.addAction(QString(), this, &LabBench::Close);
    SetTranslatedText(*close, "LabBench", QT_TRANSLATE_NOOP("LabBench", "Убрать измерения"));
    connect(&menu, &QMenu::aboutToShow, close, [this, close] { close->setEnabled(measured_.has_value()); });
}

bool LabBench::IsMeasuredFile(const QString& path)
{
    return QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0;
}

void LabBench::OpenWithDialog()
{
    const QString path = QFileDialog::getOpenFileName(&window_, tr("Открыть измерения"), folder_,
                                                      tr("Измерения CSV (*.csv);;Все файлы (*)"), nullptr,
                                                      FileDialogOptions());
    if (path.isEmpty())
        return;
    folder_ = QFileInfo(path).absolutePath();
    Open(path.toStdString());
}

void LabBench::Open(const std::string& path)
{
    try {
        Show(lab::ReadMeasured(path));
    } catch (const lab::MeasuredError& error) {
        // Headings the program does not know ask the user what they hold;
        // any other fault is the file's.
        const lab::MeasuredFault fault = error.Cause().fault;
        if (fault != lab::MeasuredFault::NoTime && fault != lab::MeasuredFault::NoQuantity)
            throw;
        const std::optional<std::vector<lab::ColumnMapping>> mappings =
            askMapping_(lab::ColumnsOf(HeadOf(path)));
        if (mappings)
            Show(lab::ReadMeasured(path, *mappings));
    }
}

void LabBench::Show(lab::Measured measured)
{
    std::vector<MeasuredSeries> series;
    for (Quantity quantity : measured.Quantities())
        series.push_back({quantity, measured.times, measured.Of(quantity)});
    chart_.Measured().Show(std::move(series));
    measured_ = std::move(measured);
    chart_.View().PointsChanged();
    emit Changed();
}

void LabBench::Close()
{
    chart_.Measured().Clear();
    measured_.reset();
    chart_.View().PointsChanged();
    emit Changed();
}

std::optional<std::vector<lab::ColumnMapping>> LabBench::AskWithDialog(const std::vector<std::string>& columns)
{
    MeasuredColumnsDialog dialog(columns, &window_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Mappings();
}
