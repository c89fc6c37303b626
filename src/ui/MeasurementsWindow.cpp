#include "ui/MeasurementsWindow.h"

#include "analysis/SignalStatistics.h"
#include "analysis/StepCharacteristics.h"
#include "chart/ChartCursors.h"
#include "chart/TraceChart.h"
#include "model/MotorModel.h"
#include "plot/Readout.h"
#include "toolkit/Conversions.h"
#include "ui/FormGeometry.h"
#include "ui_MeasurementsWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStringList>

#include <algorithm>
#include <array>
#include <climits>
#include <optional>

namespace {

using analysis::SignalStatistics;
using analysis::Step;
using analysis::StepCharacteristics;

// A time in seconds is steps over steps per second rather than steps times
// dt: dt is not exactly a thousandth, and the product shows 349 steps as
// 0.34900000000000003 s. The default's reciprocal rounds to exactly 1000, so
// the quotient is the double nearest the decimal time.
static_assert(1 / MotorParameters{}.dt == 1000);

QString Number(double value)
{
    return QString::fromStdString(toolkit::FloatToStr(value));
}

QString StepNumber(Step step)
{
    return Number(static_cast<double>(step));
}

QString Seconds(double steps, double dt)
{
    return Number(steps / (1 / dt));
}

// An undefined value is an empty cell.
template <typename T, typename Format>
QString Optional(const std::optional<T>& value, Format format)
{
    return value ? format(*value) : QString();
}

// Keeps the items of earlier updates, so a selection survives a redraw.
void SetRow(QTableWidget& table, int row, const QStringList& cells)
{
    for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
        QTableWidgetItem* item = table.item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            // Names to the left, numbers to the right.
            item->setTextAlignment(column == 0 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            table.setItem(row, column, item);
        }
        item->setText(cells[column]);
    }
}

QStringList StatisticsCells(const std::optional<analysis::StepRange>& range,
                            const std::optional<SignalStatistics>& statistics)
{
    QStringList cells{Optional(range, [](auto r) { return StepNumber(r.first); }),
                      Optional(range, [](auto r) { return StepNumber(r.last); }),
                      Number(statistics ? static_cast<double>(statistics->count) : 0)};
    if (!statistics)
        return cells << QString() << QString() << QString() << QString() << QString() << QString() << QString();
    const SignalStatistics& s = *statistics;
    return cells << Number(s.min) << StepNumber(s.minStep) << Number(s.max) << StepNumber(s.maxStep) << Number(s.mean)
                 << Number(s.rms) << Number(s.standardDeviation);
}

// The step characteristics a row each, times in steps and in seconds.
struct CharacteristicRow {
    const char* name;
    QString (*cell)(const StepCharacteristics&, double dt);
};

const std::array<CharacteristicRow, 14> kCharacteristicRows{{
    {"Начальное значение", [](const StepCharacteristics& c, double) { return Number(c.initial); }},
    {"Конечное значение", [](const StepCharacteristics& c, double) { return Number(c.final); }},
    {"Пик", [](const StepCharacteristics& c, double) { return Number(c.peak); }},
    {"Шаг пика", [](const StepCharacteristics& c, double) { return StepNumber(c.peakStep); }},
    {"Время пика, с",
     [](const StepCharacteristics& c, double dt) { return Seconds(static_cast<double>(c.peakStep), dt); }},
    {"Минимум", [](const StepCharacteristics& c, double) { return Number(c.trough); }},
    {"Шаг минимума", [](const StepCharacteristics& c, double) { return StepNumber(c.troughStep); }},
    {"Время минимума, с",
     [](const StepCharacteristics& c, double dt) { return Seconds(static_cast<double>(c.troughStep), dt); }},
    {"Нарастание 10–90 %, шагов", [](const StepCharacteristics& c, double) { return Optional(c.riseSteps, StepNumber); }},
    {"Нарастание 10–90 %, с",
     [](const StepCharacteristics& c, double dt) {
         return Optional(c.riseSteps, [dt](Step steps) { return Seconds(static_cast<double>(steps), dt); });
     }},
    {"Установление в 2 %, шагов", [](const StepCharacteristics& c, double) { return Optional(c.settlingSteps, StepNumber); }},
    {"Установление в 2 %, с",
     [](const StepCharacteristics& c, double dt) {
         return Optional(c.settlingSteps, [dt](Step steps) { return Seconds(static_cast<double>(steps), dt); });
     }},
    {"Перерегулирование, %", [](const StepCharacteristics& c, double) { return Optional(c.overshootPercent, Number); }},
    {"Недорегулирование, %", [](const StepCharacteristics& c, double) { return Optional(c.undershootPercent, Number); }},
}};

} // namespace

MeasurementsWindow::MeasurementsWindow(TraceChart& chart, const ChartCursors& cursors, const Trace& stepMd,
                                       const Trace& stepOmega, const LoadSchedule& stepSchedule, const double& stepRunDt,
                                       const double& lastRunDt, QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::MeasurementsWindow>()), chart_(chart), cursors_(cursors),
      stepMd_(stepMd), stepOmega_(stepOmega), stepSchedule_(stepSchedule), stepRunDt_(stepRunDt),
      lastRunDt_(lastRunDt)
{
    ui_->setupUi(this);
    KeepStoredOuterGeometry(*this);
    // The characteristics are a fixed set of rows: all of them in sight.
    QTableWidget& stepTable = *ui_->StepTable;
    stepTable.setRowCount(static_cast<int>(kCharacteristicRows.size()));
    stepTable.setFixedHeight(stepTable.horizontalHeader()->sizeHint().height() + stepTable.verticalHeader()->length() +
                             2 * stepTable.frameWidth());
    for (QTableWidget* table : {ui_->StatisticsTable, ui_->StepTable, ui_->CursorTable})
        table->installEventFilter(this);
    connect(&chart_.View(), &ChartViewState::Changed, this, &MeasurementsWindow::Update);
    connect(&cursors_, &ChartCursors::Changed, this, &MeasurementsWindow::Update);
}

MeasurementsWindow::~MeasurementsWindow() = default;

void MeasurementsWindow::Show()
{
    show();
    raise();
}

void MeasurementsWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Update();
}

bool MeasurementsWindow::eventFilter(QObject* watched, QEvent* event)
{
    auto* table = qobject_cast<QTableWidget*>(watched);
    if (!table || event->type() != QEvent::KeyPress || !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy))
        return false;
    QGuiApplication::clipboard()->setText(SelectionText(*table));
    return true;
}

QString MeasurementsWindow::SelectionText(const QTableWidget& table)
{
    const QList<QTableWidgetSelectionRange> ranges = table.selectedRanges();
    if (ranges.isEmpty())
        return {};
    int top = INT_MAX, bottom = INT_MIN, left = INT_MAX, right = INT_MIN;
    for (const QTableWidgetSelectionRange& range : ranges) {
        top = std::min(top, range.topRow());
        bottom = std::max(bottom, range.bottomRow());
        left = std::min(left, range.leftColumn());
        right = std::max(right, range.rightColumn());
    }
    QStringList lines;
    for (int row = top; row <= bottom; ++row) {
        QStringList cells;
        for (int column = left; column <= right; ++column) {
            const QTableWidgetItem* item = table.item(row, column);
            cells << (item && item->isSelected() ? item->text() : QString());
        }
        lines << cells.join('\t');
    }
    return lines.join('\n');
}

void MeasurementsWindow::Update()
{
    // A hidden window catches up when it is shown.
    if (!isVisible())
        return;
    ShowStatistics();
    ShowStepCharacteristics();
    ShowCursors();
}

void MeasurementsWindow::ShowStatistics()
{
    const ShownTraces& traces = chart_.View().Traces();
    const std::optional<analysis::StepRange> range = analysis::WholeStepsWithin(chart_.View().Ranges().x);
    const std::vector<int> shown = traces.ShownIndices();
    QTableWidget& table = *ui_->StatisticsTable;
    table.setRowCount(static_cast<int>(shown.size()));
    for (int row = 0; row < table.rowCount(); ++row) {
        const int trace = shown[static_cast<std::size_t>(row)];
        const std::optional<SignalStatistics> statistics =
            range ? analysis::ComputeStatistics(traces.At(trace).Points(), *range) : std::nullopt;
        SetRow(table, row, QStringList{QString::fromStdString(traces.Heading(trace))} << StatisticsCells(range, statistics));
    }
    table.resizeColumnsToContents();
}

void MeasurementsWindow::ShowStepCharacteristics()
{
    const bool whole = analysis::HoldsWholeRun(stepMd_, stepSchedule_.steps) &&
                       analysis::HoldsWholeRun(stepOmega_, stepSchedule_.steps);
    ui_->StepHint->setVisible(!whole);
    ui_->StepTable->setVisible(whole);
    if (!whole)
        return;
    const auto segments = analysis::CharacterizeStepResponse(stepMd_, stepOmega_, stepSchedule_);
    for (std::size_t row = 0; row < kCharacteristicRows.size(); ++row) {
        QStringList cells{QString::fromUtf8(kCharacteristicRows[row].name)};
        for (const analysis::CharacteristicsRow& segment : segments)
            cells << kCharacteristicRows[row].cell(segment.values, stepRunDt_);
        SetRow(*ui_->StepTable, static_cast<int>(row), cells);
    }
    ui_->StepTable->resizeColumnsToContents();
}

void MeasurementsWindow::ShowCursors()
{
    const std::optional<CursorSteps>& steps = cursors_.Steps();
    ui_->CursorHint->setVisible(!steps);
    ui_->CursorTable->setVisible(steps.has_value());
    if (!steps)
        return;
    const auto [a, b] = *steps;
    const ShownTraces& traces = chart_.View().Traces();
    const std::vector<CursorReading> readings = ReadCursors(traces, a, b);
    QTableWidget& table = *ui_->CursorTable;
    table.setRowCount(2 + static_cast<int>(readings.size()));
    SetRow(table, 0, {QStringLiteral("Шаг"), Number(a), Number(b), Number(b - a)});
    SetRow(table, 1,
           {QStringLiteral("Время, с"), Seconds(a, lastRunDt_), Seconds(b, lastRunDt_), Seconds(b - a, lastRunDt_)});
    for (int row = 2; row < table.rowCount(); ++row) {
        const CursorReading& reading = readings[static_cast<std::size_t>(row - 2)];
        SetRow(table, row,
               {QString::fromStdString(traces.Heading(reading.trace)), Optional(reading.atA, Number),
                Optional(reading.atB, Number), Optional(reading.Difference(), Number)});
    }
    table.resizeColumnsToContents();
}
