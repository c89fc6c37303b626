#include "ui/LabBench.h"

#include "chart/FileDialogs.h"
#include "chart/MeasuredLines.h"
#include "chart/TraceChart.h"
#include "chart/TranslatedText.h"
#include "session/KeptMeasured.h"
#include "toolkit/Exception.h"
#include "ui/Application.h"
#include "ui/FitDialog.h"
#include "ui/LabTexts.h"
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

LabBench::LabBench(TraceChart& chart, QWidget& window, ParametersWindow& parameters,
                   std::function<lab::FitRequest()> request)
    : QObject(&window), chart_(chart), window_(window), parameters_(parameters), request_(std::move(request)),
      askMapping_([this](const std::vector<std::string>& columns) { return AskWithDialog(columns); })
{
}

void LabBench::AddCommands(QMenu& menu)
{
    QAction* open = menu.addAction(QString(), this, [this] { RunCommand([this] { OpenWithDialog(); }); });
    SetTranslatedText(*open, "LabBench", QT_TRANSLATE_NOOP("LabBench", "Открыть измерения…"));
    QAction* fit = menu.addAction(QString(), this, [this] { RunCommand([this] { OpenFit(); }); });
    SetTranslatedText(*fit, "LabBench", QT_TRANSLATE_NOOP("LabBench", "Подобрать параметры…"));
    // Their keys work anywhere in the window, as the file commands' do.
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
    fit->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    window_.addActions({open, fit});
    QAction* close = menu.addAction(QString(), this, &LabBench::Close);
    SetTranslatedText(*close, "LabBench", QT_TRANSLATE_NOOP("LabBench", "Убрать измерения"));
    connect(&menu, &QMenu::aboutToShow, this, [this, fit, close] {
        fit->setEnabled(measured_.has_value());
        close->setEnabled(measured_.has_value());
    });
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
        Show(lab::ReadMeasured(path), {});
    } catch (const lab::MeasuredError& error) {
        // Headings the program does not know ask the user what they hold;
        // any other fault is the file's.
        const lab::MeasuredFault fault = error.Cause().fault;
        if (fault != lab::MeasuredFault::NoTime && fault != lab::MeasuredFault::NoQuantity)
            throw;
        const std::optional<std::vector<lab::ColumnMapping>> mappings =
            askMapping_(lab::ColumnsOf(HeadOf(path)));
        if (mappings)
            Show(lab::ReadMeasured(path, *mappings), *mappings);
    }
}

void LabBench::Show(lab::Measured measured, std::vector<lab::ColumnMapping> mappings)
{
    // A fit made for other data goes with it.
    delete std::exchange(fit_, nullptr);
    residual_.reset();
    measured_ = std::move(measured);
    mappings_ = std::move(mappings);
    Draw();
}

void LabBench::Close()
{
    delete std::exchange(fit_, nullptr);
    residual_.reset();
    measured_.reset();
    mappings_.clear();
    Draw();
}

std::optional<SessionMeasured> LabBench::Kept() const
{
    if (!measured_)
        return std::nullopt;
    return KeptOf(*measured_, mappings_);
}

QString LabBench::NotRestoredText(const KeptMeasuredProblem& problem)
{
    const QString file = QString::fromStdString(problem.file);
    switch (problem.fault) {
    case KeptMeasuredFault::BadMapping:
        return tr("Сеанс открыт без измерений из %1: столбец сопоставлен непонятно, «%2»; "
                  "величины — t, Md, Omega, Is, ia")
            .arg(file, QString::fromStdString(problem.mapping));
    case KeptMeasuredFault::Unreadable:
        return tr("Сеанс открыт без измерений: %1").arg(ErrorText(problem.unread));
    case KeptMeasuredFault::Changed:
        break;
    }
    return tr("Сеанс открыт без измерений: файл %1 изменился после того, как сеанс был "
              "сохранён. Если он верен, откройте его снова командой «Открыть измерения…»")
        .arg(file);
}

void LabBench::Restore(const SessionMeasured& kept)
{
    Close();
    RestoredMeasured restored;
    try {
        restored = ReadKept(kept);
    } catch (const KeptMeasuredError& error) {
        throw toolkit::Exception(NotRestoredText(error.Cause()).toStdString());
    }
    Show(std::move(restored.measured), std::move(restored.mappings));
}

void LabBench::ShowResidual(const lab::Comparison& residual)
{
    residual_ = residual;
    Draw();
}

void LabBench::Draw()
{
    std::vector<MeasuredSeries> series;
    if (measured_)
        for (Quantity quantity : measured_->Quantities())
            series.push_back({quantity, measured_->times, measured_->Of(quantity)});
    if (residual_)
        for (const lab::QuantityComparison& compared : residual_->quantities)
            series.push_back({compared.quantity, compared.times, compared.errors, true});
    chart_.Measured().Show(std::move(series));
    chart_.View().PointsChanged();
    emit Changed();
}

FitDialog& LabBench::OpenFit()
{
    if (!measured_)
        throw toolkit::Exception(tr("Подбирать не по чему: сначала откройте измерения.").toStdString());
    if (!fit_) {
        fit_ = new FitDialog(*measured_, request_, parameters_, &window_);
        connect(fit_, &FitDialog::Fitted, this, [this](const lab::FitResult& result) { ShowResidual(result.residual); });
    }
    fit_->show();
    fit_->raise();
    return *fit_;
}

std::optional<std::vector<lab::ColumnMapping>> LabBench::AskWithDialog(const std::vector<std::string>& columns)
{
    MeasuredColumnsDialog dialog(columns, &window_);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.Mappings();
}
