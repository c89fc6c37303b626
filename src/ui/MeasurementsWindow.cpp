#include "ui/MeasurementsWindow.h"

#include "analysis/SignalStatistics.h"
#include "analysis/StepCharacteristics.h"
#include "chart/ChartCursors.h"
#include "chart/ChartPins.h"
#include "chart/TraceChart.h"
#include "experiments/Family.h"
#include "model/MotorModel.h"
#include "plot/AxisUnits.h"
#include "plot/Readout.h"
#include "toolkit/Conversions.h"
#include "ui/FormGeometry.h"
#include "ui/ScreenFit.h"
#include "ui_MeasurementsWindow.h"

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QList>
#include <QScreen>
#include <QScrollBar>
#include <QStringList>

#include <algorithm>
#include <array>
#include <climits>
#include <memory>
#include <optional>
#include <utility>

namespace {

using analysis::SignalStatistics;
using analysis::Step;
using analysis::StepCharacteristics;

// Times read as the chart reads them, the nearest doubles to the decimal
// times at the default step size.
static_assert(1 / MotorParameters{}.dt == 1000);

// The digits a cell shows; its tooltip and a copy give the exact value.
constexpr int kShownDigits = 6;

// Where a cell keeps the text a copy gives.
constexpr int kExactRole = Qt::UserRole;

// What a cell shows, and its value exactly, in the shortest form that reads
// back; the two are the same for names.
struct Cell {
    QString shown;
    QString exact;
};

Cell Name(const QString& name)
{
    return {name, name};
}

Cell Number(double value)
{
    return {QString::fromStdString(toolkit::FloatToStrRounded(value, kShownDigits)),
            QString::fromStdString(toolkit::FloatToStr(value))};
}

// Steps and counts are shown whole however many digits they take; a
// cursor's step is held as the axis holds it.
Cell AxisStep(double step)
{
    return Name(QString::fromStdString(toolkit::StepText(step)));
}

Cell StepNumber(Step step)
{
    return Name(QString::number(step));
}

// The time of the state at a step.
Cell Time(double step, double dt)
{
    return Number(TimeOfStep(step, dt));
}

// How long a number of steps lasts at the step size.
auto DurationIn(double dt)
{
    return [dt](Step steps) { return Number(DurationOfSteps(static_cast<double>(steps), dt)); };
}

// An undefined value is an empty cell.
template <typename T, typename Format>
Cell Optional(const std::optional<T>& value, Format format)
{
    return value ? format(*value) : Cell{};
}

using Cells = QList<Cell>;

// Posted to the window once the cursors moved.
const QEvent::Type kCursorsMoved = static_cast<QEvent::Type>(QEvent::registerEventType());

// Keeps the items of earlier updates, so a selection survives a redraw.
// The first nameColumns cells are names, the rest numbers. Whether a
// cell's text changed.
bool SetRow(QTableWidget& table, int row, const Cells& cells, int nameColumns = 1)
{
    bool changed = false;
    for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
        QTableWidgetItem* item = table.item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            // Names to the left, numbers to the right.
            item->setTextAlignment(column < nameColumns ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            table.setItem(row, column, item);
            changed = true;
        }
        const Cell& cell = cells[column];
        if (item->text() == cell.shown && item->data(kExactRole).toString() == cell.exact)
            continue;
        changed = true;
        item->setText(cell.shown);
        item->setData(kExactRole, cell.exact);
        item->setToolTip(cell.exact);
    }
    return changed;
}

// As tall as its rows and as wide as its columns, with room for a vertical
// scroll bar: it scrolls up and down only when the window is too short for
// all the tables, and sideways only if its form lets it (the pins table,
// whose columns are the characteristics) or its columns are wider than the
// screen leaves room for, with room for that bar too.
void FitToCells(QTableWidget& table)
{
    table.resizeColumnsToContents();
    const int frame = 2 * table.frameWidth();
    const int header = table.horizontalHeader()->sizeHint().height();
    const QVariant formScrolls = table.property("formScrollsSideways");
    if (!formScrolls.isValid())
        table.setProperty("formScrollsSideways", table.horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff);
    const int whole = table.horizontalHeader()->length() + frame + table.verticalScrollBar()->sizeHint().width();
    // The window's margins and a group box's beside the table.
    constexpr int kBeside = 60;
    const int room = RoomOnScreen(*table.window()).width() - kBeside;
    const bool scrollsSideways = table.property("formScrollsSideways").toBool() || whole > room;
    table.setHorizontalScrollBarPolicy(scrollsSideways ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    if (!table.property("formScrollsSideways").toBool())
        table.setMinimumWidth(std::min(whole, room));
    const int height = header + table.verticalHeader()->length() + frame +
                       (scrollsSideways ? table.horizontalScrollBar()->sizeHint().height() : 0);
    // A few rows in sight however short the window, one on a screen too
    // short for the four tables' few.
    constexpr int kShortScreen = 720;
    const int rowsAtLeast = table.screen()->availableGeometry().height() < kShortScreen ? 1 : 3;
    const int fewRows = header + frame + rowsAtLeast * table.verticalHeader()->defaultSectionSize();
    table.setMinimumHeight(std::min(height, fewRows));
    table.setMaximumHeight(height);
}

// The rows in the table, laid out again only when a cell or the number of
// rows changed: the layout is most of what an update costs, and a cursor
// drag or a zoom changes few of the tables.
void ShowRows(QTableWidget& table, const QList<Cells>& rows, int nameColumns = 1)
{
    bool changed = table.rowCount() != static_cast<int>(rows.size());
    table.setRowCount(static_cast<int>(rows.size()));
    for (int row = 0; row < table.rowCount(); ++row)
        changed = SetRow(table, row, rows[row], nameColumns) || changed;
    if (changed)
        FitToCells(table);
}

// Statistics over more points than this are taken on a worker, so that a
// view change over a long run waits for none of them: a walk over ten
// million points takes about 50 ms.
constexpr std::size_t kMeasuredAtOnce = 100'000;

// A cell whose number is on its way; a copy gives nothing for it.
Cell Pending()
{
    return {QStringLiteral("…"), QString()};
}

// The cells after the name: the steps measured, and what was found there,
// or, while it is being found, the number of points measured.
Cells StatisticsCells(const std::optional<analysis::StepRange>& range,
                      const std::optional<SignalStatistics>& statistics, std::optional<std::size_t> pending = {})
{
    const std::size_t count = statistics ? statistics->count : pending.value_or(0);
    Cells cells{Optional(range, [](auto r) { return StepNumber(r.first); }),
                Optional(range, [](auto r) { return StepNumber(r.last); }), StepNumber(static_cast<Step>(count))};
    if (pending)
        return cells << Cells(7, Pending());
    if (!statistics)
        return cells << Cells(7);
    const SignalStatistics& s = *statistics;
    return cells << Number(s.min) << StepNumber(s.minStep) << Number(s.max) << StepNumber(s.maxStep) << Number(s.mean)
                 << Number(s.rms) << Number(s.standardDeviation);
}

// The step characteristics a row each, times in steps and in seconds.
struct CharacteristicRow {
    const char* name;
    Cell (*cell)(const StepCharacteristics&, double dt);
};

// "установилось" or "не установилось" against the model's rest; nothing
// where the model has none to judge by.
Cell SettledCell(const StepCharacteristics& c)
{
    if (!c.rest)
        return {};
    return Name(c.settled ? MeasurementsWindow::tr("установилось") : MeasurementsWindow::tr("не установилось"));
}

const std::array<CharacteristicRow, 19> kCharacteristicRows{{
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Начальное значение"), [](const StepCharacteristics& c, double) { return Number(c.initial); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Конечное значение"),
     [](const StepCharacteristics& c, double) { return c.settled ? Number(c.final) : Cell{}; }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Значение в конце участка"), [](const StepCharacteristics& c, double) { return Number(c.final); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Покой модели"), [](const StepCharacteristics& c, double) { return Optional(c.rest, Number); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Установление"), [](const StepCharacteristics& c, double) { return SettledCell(c); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Пик"), [](const StepCharacteristics& c, double) { return Number(c.peak); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Шаг пика"), [](const StepCharacteristics& c, double) { return StepNumber(c.peakStep); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Время пика, с"),
     [](const StepCharacteristics& c, double dt) { return Time(static_cast<double>(c.peakStep), dt); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Минимум"), [](const StepCharacteristics& c, double) { return Number(c.trough); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Шаг минимума"), [](const StepCharacteristics& c, double) { return StepNumber(c.troughStep); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Время минимума, с"),
     [](const StepCharacteristics& c, double dt) { return Time(static_cast<double>(c.troughStep), dt); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Нарастание 10–90 %, шагов"), [](const StepCharacteristics& c, double) { return Optional(c.riseSteps, StepNumber); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Нарастание 10–90 %, с"),
     [](const StepCharacteristics& c, double dt) { return Optional(c.riseSteps, DurationIn(dt)); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Постоянная времени t63, шагов"),
     [](const StepCharacteristics& c, double) { return Optional(c.timeConstantSteps, StepNumber); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Постоянная времени t63, с"),
     [](const StepCharacteristics& c, double dt) { return Optional(c.timeConstantSteps, DurationIn(dt)); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Установление в 2 %, шагов"), [](const StepCharacteristics& c, double) { return Optional(c.settlingSteps, StepNumber); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Установление в 2 %, с"),
     [](const StepCharacteristics& c, double dt) { return Optional(c.settlingSteps, DurationIn(dt)); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Перерегулирование, %"), [](const StepCharacteristics& c, double) { return Optional(c.overshootPercent, Number); }},
    {QT_TRANSLATE_NOOP("MeasurementsWindow", "Недорегулирование, %"), [](const StepCharacteristics& c, double) { return Optional(c.undershootPercent, Number); }},
}};

// The pins table's columns before the characteristics: the family's value,
// the pin and the segment.
constexpr int kPinColumns = 3;

QString SegmentName(Segment segment)
{
    static const std::array<const char*, kSegments.size()> kNames{
        QT_TRANSLATE_NOOP("MeasurementsWindow", "разгон"), QT_TRANSLATE_NOOP("MeasurementsWindow", "наброс"),
        QT_TRANSLATE_NOOP("MeasurementsWindow", "сброс")};
    return MeasurementsWindow::tr(kNames[static_cast<std::size_t>(segment)]);
}

// The step table's column of a quantity's segment, after the names.
int StepColumn(Quantity quantity, Segment segment)
{
    return 1 + static_cast<int>(kSegments.size()) * static_cast<int>(quantity) + static_cast<int>(segment);
}

constexpr int kStepColumns = 1 + static_cast<int>(kQuantities.size() * kSegments.size());

} // namespace

MeasurementsWindow::MeasurementsWindow(TraceChart& chart, const ChartCursors& cursors, const ChartPins& pins,
                                       const Trace& stepMd, const Trace& stepOmega, const std::optional<RunRecipe>& stepRecipe,
                                       const std::optional<std::int32_t>& stepLoad, QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::MeasurementsWindow>()), chart_(chart), cursors_(cursors),
      pins_(pins), stepMd_(stepMd), stepOmega_(stepOmega), stepRecipe_(stepRecipe), stepLoad_(stepLoad)
{
    ui_->setupUi(this);
    KeepStoredOuterGeometry(*this);
    ui_->StepTable->setRowCount(static_cast<int>(kCharacteristicRows.size()));
    // The pins table has a column for each row of the step table.
    QTableWidget& pinsTable = *ui_->PinsTable;
    pinsTable.setColumnCount(kPinColumns + static_cast<int>(kCharacteristicRows.size()));
    for (std::size_t i = 0; i < kCharacteristicRows.size(); ++i)
        pinsTable.setHorizontalHeaderItem(kPinColumns + static_cast<int>(i), new QTableWidgetItem());
    NameCharacteristicColumns();
    for (QTableWidget* table : {ui_->StatisticsTable, ui_->StepTable, ui_->PinsTable, ui_->CursorTable}) {
        FitToCells(*table);
        table->installEventFilter(this);
    }
    connect(&chart_.View(), &ChartViewState::Changed, this, &MeasurementsWindow::Update);
    // A cursor's drag changes what the cursors read, and nothing else here.
    // The table follows after the chart's frame, which the drag asked for
    // first: the hand is on the chart, and the drag steps meanwhile come
    // to one update.
    connect(&cursors_, &ChartCursors::Changed, this, [this] {
        if (isVisible() && !std::exchange(cursorsQueued_, true))
            QCoreApplication::postEvent(this, new QEvent(kCursorsMoved), Qt::LowEventPriority);
    });
}

MeasurementsWindow::~MeasurementsWindow() = default;

void MeasurementsWindow::NameCharacteristicColumns()
{
    for (std::size_t i = 0; i < kCharacteristicRows.size(); ++i)
        ui_->PinsTable->horizontalHeaderItem(kPinColumns + static_cast<int>(i))->setText(tr(kCharacteristicRows[i].name));
}

void MeasurementsWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui_->retranslateUi(this);
        NameCharacteristicColumns();
        // The step and pins tables name their rows and segments in words.
        stepShown_.reset();
        pinsShown_.reset();
        Update();
    }
    QWidget::changeEvent(event);
}

bool MeasurementsWindow::event(QEvent* event)
{
    if (event->type() != kCursorsMoved)
        return QWidget::event(event);
    cursorsQueued_ = false;
    if (isVisible())
        ShowCursors();
    return true;
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
    // The names in the first column go with every copy, so that a
    // spreadsheet gets its rows and columns named.
    QList<int> columns{0};
    for (int column = std::max(left, 1); column <= right; ++column)
        columns << column;
    QStringList heading;
    for (int column : columns)
        heading << table.horizontalHeaderItem(column)->text();
    QStringList lines{heading.join('\t')};
    for (int row = top; row <= bottom; ++row) {
        QStringList cells;
        for (int column : columns) {
            const QTableWidgetItem* item = table.item(row, column);
            cells << (item && (column == 0 || item->isSelected()) ? item->data(kExactRole).toString() : QString());
        }
        lines << cells.join('\t');
    }
    return lines.join('\n');
}

void MeasurementsWindow::Update()
{
    // A hidden window catches up when it is shown.
    if (isVisible())
        ShowTables(Measure::Meanwhile);
}

void MeasurementsWindow::ShowTables(Measure measure)
{
    ShowStatistics(measure);
    ShowStepCharacteristics();
    ShowPinnedSteps();
    ShowCursors();
}

std::vector<ReportTable> MeasurementsWindow::ReportTables()
{
    ShowTables(Measure::Now);
    std::vector<ReportTable> tables;
    const std::array<std::pair<const QGroupBox*, const QTableWidget*>, 3> boxes{
        {{ui_->StatisticsBox, ui_->StatisticsTable}, {ui_->StepBox, ui_->StepTable}, {ui_->PinsBox, ui_->PinsTable}}};
    for (const auto& [box, table] : boxes) {
        if (table->isHidden() || table->rowCount() == 0)
            continue;
        ReportTable& shown = tables.emplace_back();
        shown.title = box->title();
        shown.keyColumns = table == ui_->PinsTable ? kPinColumns : 1;
        QList<int> columns;
        for (int column = 0; column < table->columnCount(); ++column)
            if (!table->isColumnHidden(column))
                columns << column;
        for (int column : columns)
            shown.header << table->horizontalHeaderItem(column)->text();
        for (int row = 0; row < table->rowCount(); ++row) {
            QStringList cells;
            for (int column : columns)
                cells << (table->item(row, column) ? table->item(row, column)->text() : QString());
            shown.rows << cells;
        }
    }
    return tables;
}

void MeasurementsWindow::ShowStatistics(Measure measure)
{
    const ShownTraces& traces = chart_.View().Traces();
    const std::vector<int> shown = traces.ShownWithPoints();
    const Range view = chart_.View().Ranges().x;
    // Statistics of a trace over the same steps are taken once: a cursor
    // drag or a legend click leaves the others as they were. A pin that
    // comes may take the place of one gone, so the pins' changes start
    // afresh.
    if (measuredPins_ != pins_.Revision())
        measured_.clear();
    measuredPins_ = pins_.Revision();
    std::vector<MeasuredTrace> measured;
    std::vector<ToMeasure> toMeasure;
    QList<Cells> rows;
    for (int trace : shown) {
        const Trace& values = traces.At(trace);
        // The steps in view that the trace holds: a view wider than the
        // runs, zoomed out or padded around a run of one step, measures the
        // steps that were made, as the batch tool does.
        const std::optional<analysis::StepRange> range = analysis::WholeStepsWithin(
            {std::max(view.min, values.Points().front().x), std::min(view.max, values.Points().back().x)});
        const MeasuredTrace key{&values, values.Revision(), range, std::nullopt};
        const auto known = std::find(measured_.begin(), measured_.end(), key);
        const std::size_t count = range ? analysis::PointsIn(values.Points(), *range).size() : 0;
        std::optional<std::size_t> pending;
        if (known != measured_.end())
            measured.push_back(*known);
        else if (measure == Measure::Now || count <= kMeasuredAtOnce)
            measured.push_back({key.trace, key.revision, range,
                                range ? analysis::ComputeStatistics(values.Points(), *range) : std::nullopt});
        else {
            toMeasure.push_back({key, values.SharedValues()});
            pending = count;
        }
        const auto& statistics = pending ? std::nullopt : measured.back().statistics;
        rows << (Cells{Name(QString::fromStdString(traces.Heading(trace)))} << StatisticsCells(range, statistics, pending));
    }
    measured_ = std::move(measured);
    ShowRows(*ui_->StatisticsTable, rows);
    if (!toMeasure.empty())
        MeasureMeanwhile(std::move(toMeasure));
}

void MeasurementsWindow::MeasureMeanwhile(std::vector<ToMeasure> toMeasure)
{
    // One walk at a time: when it ends, the window asks again for what it
    // shows then, so views passed meanwhile cost nothing.
    if (measuring_)
        return;
    measuring_ = true;
    statisticsWork_ = std::jthread([this, toMeasure = std::move(toMeasure)] {
        std::vector<MeasuredTrace> found;
        for (const auto& [key, values] : toMeasure)
            found.push_back({key.trace, key.revision, key.range,
                             analysis::ComputeStatistics(TracePoints(*values, 0), *key.range)});
        QMetaObject::invokeMethod(
            this,
            [this, found = std::move(found)] {
                measuring_ = false;
                measured_.insert(measured_.end(), found.begin(), found.end());
                Update();
            },
            Qt::QueuedConnection);
    });
}

void MeasurementsWindow::ShowStepCharacteristics()
{
    const RunOrigin origin = OriginOf(RunKind::Step, stepRecipe_ ? stepRecipe_->settings : Settings{}, stepLoad_);
    const bool whole = analysis::HoldsWholeRun(stepMd_, origin.schedule.steps) &&
                       analysis::HoldsWholeRun(stepOmega_, origin.schedule.steps);
    ui_->StepHint->setVisible(!whole);
    ui_->StepTable->setVisible(whole);
    // A run's characteristics are taken once, not at every view change.
    const StepShown shownNow{stepMd_.Revision(), stepOmega_.Revision(), stepLoad_, stepRecipe_.has_value()};
    if (!whole || stepShown_ == shownNow)
        return;
    stepShown_ = shownNow;
    const auto segments = analysis::CharacterizeStepResponse(stepMd_, stepOmega_, origin);
    // Only the run's own segments have columns.
    for (int column = 1; column < kStepColumns; ++column)
        ui_->StepTable->setColumnHidden(column, std::ranges::none_of(segments, [column](const auto& segment) {
                                            return StepColumn(segment.quantity, segment.segment) == column;
                                        }));
    QList<Cells> rows;
    for (const CharacteristicRow& characteristic : kCharacteristicRows) {
        Cells cells(kStepColumns);
        cells[0] = Name(tr(characteristic.name));
        for (const analysis::CharacteristicsRow& segment : segments)
            cells[StepColumn(segment.quantity, segment.segment)] = characteristic.cell(segment.values, origin.model.dt);
        rows << cells;
    }
    ShowRows(*ui_->StepTable, rows);
}

void MeasurementsWindow::ShowPinnedSteps()
{
    if (pinsShown_ == pins_.Revision())
        return;
    pinsShown_ = pins_.Revision();
    QTableWidget& table = *ui_->PinsTable;
    // A family is pinned in its values' order, so the pins' order keeps its
    // rows in value order.
    QList<Cells> rows;
    for (const PinnedTrace& pin : pins_.Pinned()) {
        const RunOrigin& origin = pin.origin;
        if (origin.kind != RunKind::Step || !analysis::HoldsWholeRun(pin.trace, origin.schedule.steps))
            continue;
        const Cell value = origin.family ? Name(QString::fromStdString(FamilyMemberLabel(origin.family->setting,
                                                                                         origin.family->value)))
                                         : Name({});
        for (const analysis::CharacteristicsRow& segment :
             analysis::CharacterizeStepTrace(pin.trace, pin.of.quantity, origin)) {
            Cells cells{value, Name(QString::fromStdString(pin.trace.Title())), Name(SegmentName(segment.segment))};
            for (const CharacteristicRow& characteristic : kCharacteristicRows)
                cells << characteristic.cell(segment.values, origin.model.dt);
            rows << cells;
        }
    }
    ui_->PinsHint->setVisible(rows.isEmpty());
    table.setVisible(!rows.isEmpty());
    ShowRows(table, rows, kPinColumns);
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
    std::vector<CursorReading> readings = ReadCursors(traces, a, b);
    std::erase_if(readings,
                  [&traces](const CursorReading& reading) { return traces.At(reading.trace).Points().empty(); });
    const double dt = chart_.View().Units().secondsPerStep;
    QList<Cells> rows{{Name(tr("Шаг")), AxisStep(a), AxisStep(b), AxisStep(b - a)},
                      {Name(tr("Время, с")), Time(a, dt), Time(b, dt), Number(DurationOfSteps(b - a, dt))}};
    for (const CursorReading& reading : readings)
        rows << Cells{Name(QString::fromStdString(traces.Heading(reading.trace))), Optional(reading.atA, Number),
                      Optional(reading.atB, Number), Optional(reading.Difference(), Number)};
    ShowRows(*ui_->CursorTable, rows);
}
