#include "ui/FitDialog.h"

#include "chart/FileDialogs.h"
#include "experiments/TomlFile.h"
#include "toolkit/AtomicFile.h"
#include "ui/Application.h"
#include "ui/BackgroundWork.h"
#include "ui/MeasurementCells.h"
#include "ui/ParametersWindow.h"
#include "ui/SettingTexts.h"
#include "ui_FitDialog.h"

#include <QCheckBox>
#include <QFileInfo>

#include <algorithm>
#include <filesystem>

namespace {

QString OutcomeText(lab::LeastSquaresOutcome outcome)
{
    switch (outcome) {
    case lab::LeastSquaresOutcome::Converged:
        return FitDialog::tr("подбор сошёлся");
    case lab::LeastSquaresOutcome::IterationLimit:
        return FitDialog::tr("итерации кончились раньше, чем подбор сошёлся: значения — лучшие из найденных");
    case lab::LeastSquaresOutcome::Cancelled:
        return FitDialog::tr("подбор остановлен: значения — лучшие из найденных");
    case lab::LeastSquaresOutcome::Failed:
        break;
    }
    return FitDialog::tr("подбор не удался: ни один шаг не уменьшил ошибку");
}

void SetCells(QTableWidget& table, int row, const QStringList& cells)
{
    for (int column = 0; column < cells.size(); ++column) {
        auto* item = new QTableWidgetItem(cells[column]);
        item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
        table.setItem(row, column, item);
    }
}

} // namespace

FitDialog::FitDialog(const lab::Measured& measured, std::function<lab::FitRequest()> request,
                     ParametersWindow& parameters, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::FitDialog>()), measured_(measured), request_(std::move(request)),
      parameters_(parameters), work_(new BackgroundWork(this))
{
    ui_->setupUi(this);
    ui_->ExplanationLabel->setText(
        tr("Шаговая реакция с параметрами опыта сравнивается с измерениями «%1»; подбор меняет выбранные параметры, "
           "пока сумма квадратов ошибок не станет наименьшей.")
            .arg(QFileInfo(QString::fromStdString(measured_.file)).fileName()));
    AddChoices();
    ShowResult();
    ui_->FitButton->setDefault(true);
    connect(ui_->FitButton, &QPushButton::clicked, this, [this] { RunCommand([this] { Fit(); }); });
    connect(ui_->StopButton, &QPushButton::clicked, work_, &BackgroundWork::Cancel);
    connect(ui_->ApplyButton, &QPushButton::clicked, this, &FitDialog::Apply);
    connect(ui_->UndoButton, &QPushButton::clicked, this, &FitDialog::Undo);
    connect(ui_->SaveButton, &QPushButton::clicked, this, &FitDialog::SaveWithDialog);
    connect(work_, &BackgroundWork::ProgressChanged, ui_->Progress, &QProgressBar::setValue);
    connect(work_, &BackgroundWork::BusyChanged, this, [this](bool busy) {
        ui_->FitButton->setEnabled(!busy);
        ui_->StopButton->setEnabled(busy);
        ui_->SettingsBox->setEnabled(!busy);
    });
}

FitDialog::~FitDialog() = default;

void FitDialog::AddChoices()
{
    const Settings settings = request_().settings;
    for (std::string_view name : lab::FittableSettings(settings.Kind())) {
        const QString value = QString::fromStdString(FieldText(GetSetting(settings, name)));
        auto* box = new QCheckBox(QStringLiteral("%1 = %2").arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())), value),
                                  ui_->SettingsBox);
        // The inertia, which a start shows best and a plate never gives, is
        // what a fit is most often for.
        box->setChecked(name == "model.J");
        ui_->SettingsLayout->addWidget(box);
        choices_.emplace_back(std::string(name), box);
    }
}

void FitDialog::Choose(const std::string& setting, bool fitted)
{
    for (const auto& [name, box] : choices_)
        if (name == setting)
            box->setChecked(fitted);
}

std::vector<std::string> FitDialog::Chosen() const
{
    std::vector<std::string> chosen;
    for (const auto& [name, box] : choices_)
        if (box->isChecked())
            chosen.push_back(name);
    return chosen;
}

void FitDialog::Fit()
{
    lab::FitRequest request = request_();
    request.fit = Chosen();
    ui_->Progress->setValue(0);
    work_->Start<lab::FitResult>(
        [request = std::move(request), &measured = measured_](const BackgroundWork::Control& control) {
            // An iteration's share of the most a fit makes.
            return lab::FitSettings(request, measured,
                                    {[&control](const lab::FitProgress& progress) {
                                         control.progress(static_cast<int>(std::min<std::size_t>(progress.iteration, 99)));
                                     },
                                     &control.cancel});
        },
        [this](lab::FitResult result) {
            ui_->Progress->setValue(100);
            result_ = std::move(result);
            ShowResult();
            emit Fitted(*result_);
        });
}

void FitDialog::ShowResult()
{
    QTableWidget& values = *ui_->ValuesTable;
    values.setColumnCount(4);
    values.setHorizontalHeaderLabels({tr("Параметр"), tr("Начальное"), tr("Подобранное"), tr("Стандартная ошибка")});
    for (QPushButton* button : {ui_->ApplyButton, ui_->SaveButton})
        button->setEnabled(result_.has_value());
    if (!result_) {
        ui_->OutcomeLabel->clear();
        values.setRowCount(0);
        ui_->CorrelationTable->setRowCount(0);
        ui_->CorrelationTable->setColumnCount(0);
        return;
    }
    ui_->OutcomeLabel->setText(tr("%1; прогонов: %2, итераций: %3")
                                   .arg(OutcomeText(result_->outcome))
                                   .arg(result_->runs)
                                   .arg(result_->iterations));
    const auto count = static_cast<int>(result_->fitted.size());
    values.setRowCount(count);
    QTableWidget& correlation = *ui_->CorrelationTable;
    correlation.setRowCount(count);
    correlation.setColumnCount(count + 1);
    QStringList names{QString()};
    for (int i = 0; i < count; ++i) {
        const lab::FittedSetting& fitted = result_->fitted[static_cast<std::size_t>(i)];
        const QString name = QString::fromStdString(fitted.name);
        names << name;
        SetCells(values, i, {name, ShownNumber(fitted.start), ShownNumber(fitted.value), QStringLiteral("± ") + ShownNumber(fitted.standardError)});
        QStringList row{name};
        for (int j = 0; j < count; ++j)
            row << ShownNumber(result_->Correlation(static_cast<std::size_t>(i), static_cast<std::size_t>(j)));
        SetCells(correlation, i, row);
    }
    correlation.setHorizontalHeaderLabels(names);
    values.resizeColumnsToContents();
    correlation.resizeColumnsToContents();
}

void FitDialog::Apply()
{
    if (!result_)
        return;
    before_ = parameters_.InForce();
    parameters_.ShowSettings(result_->settings);
    ui_->UndoButton->setEnabled(true);
}

void FitDialog::Undo()
{
    if (!before_)
        return;
    parameters_.ShowSettings(*std::exchange(before_, std::nullopt));
    ui_->UndoButton->setEnabled(false);
}

void FitDialog::Save(const std::string& path)
{
    if (!result_)
        return;
    const std::string text = std::filesystem::exists(path) ? ReadBoundedFile(path) : std::string();
    toolkit::ReplaceFile(path, lab::FittedFileText(text, *result_, measured_));
}

void FitDialog::SaveWithDialog()
{
    RunCommand([this] {
        QString folder;
        const QString path = AskSavePath(this, tr("Сохранить опыт"), folder, tr("Файлы опыта (*.toml);;Все файлы (*)"),
                                         QStringLiteral("toml"));
        if (!path.isEmpty())
            Save(path.toStdString());
    });
}

void FitDialog::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui_->retranslateUi(this);
        ShowResult();
    }
    QDialog::changeEvent(event);
}
