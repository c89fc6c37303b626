#include "ui/MeasurementsWindow.h"

#include "analysis/SignalStatistics.h"
#include "analysis/StepCharacteristics.h"
#include "chart/ChartCursors.h"
#include "chart/ChartPins.h"
#include "chart/MeasuredLines.h"
#include "chart/TraceChart.h"
#include "experiments/Family.h"
#include "model/MotorModel.h"
#include "plot/AxisUnits.h"
#include "plot/Readout.h"
#include "toolkit/Conversions.h"
#include "ui/FormGeometry.h"
#include "ui/MeasurementTables.h"
#include "ui_MeasurementsWindow.h"

#include <QClipboard>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QList>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <span>
#include <utility>

namespace {

// Times read as the chart reads them, the nearest doubles to the decimal
// times at the default step size.
static_assert(1 / MotorParameters{}.dt == 1000);

// A cursor's step is held as the axis holds it.
Cell AxisStep(double step)
{
    return Name(QString::fromStdString(toolkit::StepText(step)));
}

// The time of the state at a step.
Cell Time(double step, double dt)
{
    return Number(TimeOfStep(step, dt));
}

Cell OptionalNumber(const std::optional<double>& value)
{
    return value ? Number(*value) : Cell{};
}

// Posted to the window once the cursors moved.
const QEvent::Type kCursorsMoved = static_cast<QEvent::Type>(QEvent::registerEventType());

// Statistics over more points than this are taken on a worker, so that a
// view change over a long run waits for none of them: a walk over ten
// million points takes about 50 ms.
constexpr std::size_t kMeasuredAtOnce = 100'000;

ReportTable ReportOf(const QGroupBox& box, const MeasuredTable& table)
{
    ReportTable report{box.title(), table.header, {}, table.keyColumns};
    for (const Cells& row : table.rows) {
        QStringList texts;
        for (const Cell& cell : row)
            texts << cell.shown;
        report.rows << texts;
    }
    return report;
}

} // namespace

MeasurementsWindow::MeasurementsWindow(TraceChart& chart, const ChartCursors& cursors, const ChartPins& pins,
                                       StepTraces stepTraces, const std::optional<RunRecipe>& stepRecipe,
                                       const std::optional<std::int32_t>& stepLoad, QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::MeasurementsWindow>()), chart_(chart), cursors_(cursors),
      pins_(pins), stepTraces_(stepTraces), stepRecipe_(stepRecipe), stepLoad_(stepLoad)
{
    ui_->setupUi(this);
    KeepStoredOuterGeometry(*this);
    // The tables' headings are the measurements', not the form's.
    ShowRows(*ui_->StatisticsTable, StatisticsTable({}, {}));
    ShowRows(*ui_->PinsTable, PinsTable({}));
    for (QTableWidget* table : {ui_->StatisticsTable, ui_->StepTable, ui_->PinsTable, ui_->CursorTable, ui_->ComparisonTable}) {
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

void MeasurementsWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui_->retranslateUi(this);
        // The tables name their columns, rows and segments in words.
        stepShown_.reset();
        pinsShown_.reset();
        ShowRows(*ui_->StatisticsTable, StatisticsTable(statistics_, statisticsTraces_));
        ShowRows(*ui_->PinsTable, PinsTable(pinsMeasured_));
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
    ShowComparison();
}

std::vector<ReportTable> MeasurementsWindow::ReportTables()
{
    ShowTables(Measure::Now);
    std::vector<ReportTable> tables;
    if (!statistics_.empty())
        tables.push_back(ReportOf(*ui_->StatisticsBox, StatisticsTable(statistics_, statisticsTraces_)));
    if (stepMeasured_)
        tables.push_back(ReportOf(*ui_->StepBox, StepTable(*stepMeasured_)));
    if (!pinsMeasured_.empty())
        tables.push_back(ReportOf(*ui_->PinsBox, PinsTable(pinsMeasured_)));
    if (comparison_)
        tables.push_back(ReportOf(*ui_->ComparisonBox, ComparisonTable(*comparison_)));
    return tables;
}

std::vector<MeasurementsWindow::ToList> MeasurementsWindow::StatisticsTraces() const
{
    const ShownTraces& traces = chart_.View().Traces();
    std::vector<ToList> listed;
    for (int trace : traces.ShownWithPoints()) {
        const std::optional<RunTrace>& of = traces.Of(trace);
        listed.push_back({&traces.At(trace), traces.Heading(trace),
                          of ? std::optional(of->quantity) : std::nullopt});
    }
    // The d-q machine's currents, which the chart does not show, over the
    // steps it shows.
    if (stepRecipe_ && stepRecipe_->settings.Kind() == ModelKind::Dq)
        for (const Quantity quantity : {Quantity::Is, Quantity::ia})
            if (const Trace& current = *stepTraces_[static_cast<std::size_t>(quantity)]; !current.Empty())
                listed.push_back({&current, TraceHeading(RunKind::Step, quantity), quantity});
    return listed;
}

void MeasurementsWindow::ShowStatistics(Measure measure)
{
    const Range view = chart_.View().Ranges().x;
    const double dt = chart_.View().Units().secondsPerStep;
    // Statistics of a trace over the same steps are taken once: a cursor
    // drag or a legend click leaves the others as they were. A pin that
    // comes may take the place of one gone, so the pins' changes start
    // afresh.
    if (measuredPins_ != pins_.Revision())
        measured_.clear();
    measuredPins_ = pins_.Revision();
    std::vector<MeasuredTrace> measured;
    std::vector<ToMeasure> toMeasure;
    statistics_.clear();
    statisticsTraces_.clear();
    for (const auto& [values, heading, quantity] : StatisticsTraces()) {
        // The steps in view that the trace holds: a view wider than the
        // runs, zoomed out or padded around a run of one step, measures the
        // steps that were made, as the batch tool does.
        const std::optional<analysis::StepRange> range = analysis::WholeStepsWithin(
            {std::max(view.min, values->Points().front().x), std::min(view.max, values->Points().back().x)});
        const MeasuredTrace key{values, values->Revision(), range, std::nullopt};
        const auto known = std::find(measured_.begin(), measured_.end(), key);
        const std::size_t count = range ? analysis::PointsIn(values->Points(), *range).size() : 0;
        std::optional<std::size_t> pending;
        if (known != measured_.end())
            measured.push_back(*known);
        else if (measure == Measure::Now || count <= kMeasuredAtOnce)
            measured.push_back({key.trace, key.revision, range,
                                range ? analysis::ComputeStatistics(values->Points(), *range) : std::nullopt});
        else {
            toMeasure.push_back({key, values->SharedValues()});
            pending = count;
        }
        const auto& statistics = pending ? std::nullopt : measured.back().statistics;
        statistics_.push_back({statisticsTraces_.size(), quantity, analysis::FiguresOf(range, statistics, dt)});
        statisticsTraces_.push_back({QString::fromStdString(heading), pending});
    }
    measured_ = std::move(measured);
    ListSampleStatistics(view);
    ShowRows(*ui_->StatisticsTable, StatisticsTable(statistics_, statisticsTraces_));
    if (!toMeasure.empty())
        MeasureMeanwhile(std::move(toMeasure));
}

void MeasurementsWindow::ListSampleStatistics(Range view)
{
    const MeasuredLines& lines = chart_.Measured();
    const double dt = chart_.View().Units().secondsPerStep;
    // The samples taken over the steps in view: their steps are not whole,
    // and the chart may show steps no run made.
    const std::optional<analysis::StepRange> range = analysis::WholeStepsWithin(view);
    std::vector<SampledStatistics> found;
    for (const auto& [name, series] : lines.ShownNamed()) {
        const SampledStatistics key{series, lines.Revision(), range, dt, std::nullopt};
        const auto known = std::ranges::find(sampled_, key);
        found.push_back(known != sampled_.end() ? *known : key);
        if (range && known == sampled_.end())
            found.back().statistics = analysis::ComputeSampleStatistics(series->seconds, series->values, *range, dt);
        const std::optional<Quantity> quantity = series->residual ? std::nullopt : std::optional(series->quantity);
        statistics_.push_back({statisticsTraces_.size(), quantity, analysis::FiguresOf(range, found.back().statistics)});
        statisticsTraces_.push_back({name, std::nullopt, true});
    }
    sampled_ = std::move(found);
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
    const Settings& settings = stepRecipe_ ? stepRecipe_->settings : Settings{};
    const RunOrigin origin = OriginOf(RunKind::Step, settings, stepLoad_);
    const std::span<const Quantity> quantities =
        settings.Kind() == ModelKind::Dq ? std::span<const Quantity>(kDqQuantities) : kQuantities;
    std::vector<analysis::QuantityTrace> traces;
    for (const Quantity quantity : quantities)
        traces.push_back({quantity, *stepTraces_[static_cast<std::size_t>(quantity)]});
    const bool whole = std::ranges::all_of(traces, [&](const analysis::QuantityTrace& t) {
        return analysis::HoldsWholeRun(t.trace, origin.schedule.steps);
    });
    ui_->StepHint->setVisible(!whole);
    ui_->StepTable->setVisible(whole);
    // A run's characteristics are taken once, not at every view change.
    StepShown shownNow{{}, stepLoad_, stepRecipe_.has_value()};
    for (std::size_t i = 0; i < kDqQuantities.size(); ++i)
        shownNow.revisions[i] = stepTraces_[i]->Revision();
    if (!whole)
        stepMeasured_.reset();
    if (!whole || stepShown_ == shownNow)
        return;
    stepShown_ = shownNow;
    stepMeasured_ = analysis::MeasureStepResponse(traces, origin);
    ShowRows(*ui_->StepTable, StepTable(*stepMeasured_));
}

void MeasurementsWindow::ShowPinnedSteps()
{
    if (pinsShown_ == pins_.Revision())
        return;
    pinsShown_ = pins_.Revision();
    // A family is pinned in its values' order, so the pins' order keeps its
    // rows in value order.
    pinsMeasured_.clear();
    for (const PinnedTrace& pin : pins_.Pinned()) {
        const RunOrigin& origin = pin.origin;
        if (origin.kind != RunKind::Step || !analysis::HoldsWholeRun(pin.trace, origin.schedule.steps))
            continue;
        const QString value =
            origin.family ? QString::fromStdString(FamilyMemberLabel(origin.family->setting, origin.family->value))
                          : QString();
        const std::array traces{analysis::QuantityTrace{pin.of.quantity, pin.trace}};
        pinsMeasured_.push_back({value, QString::fromStdString(pin.trace.Title()),
                                 analysis::MeasureStepResponse(traces, origin)});
    }
    const MeasuredTable table = PinsTable(pinsMeasured_);
    ui_->PinsHint->setVisible(table.rows.isEmpty());
    ui_->PinsTable->setVisible(!table.rows.isEmpty());
    ShowRows(*ui_->PinsTable, table);
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
    // The form heads the columns A, B and B − A.
    MeasuredTable table{{},
                        {{Name(tr("Шаг")), AxisStep(a), AxisStep(b), AxisStep(b - a)},
                         {Name(tr("Время, с")), Time(a, dt), Time(b, dt), Number(DurationOfSteps(b - a, dt))}},
                        1};
    for (const CursorReading& reading : readings)
        table.rows << Cells{Name(QString::fromStdString(traces.Heading(reading.trace))), OptionalNumber(reading.atA),
                            OptionalNumber(reading.atB), OptionalNumber(reading.Difference())};
    // Measured samples fall between the steps: each graph's nearest sample
    // to either cursor, and the time it was taken at.
    const std::vector<MeasuredReading> atA = chart_.Measured().NearestTo(a);
    const std::vector<MeasuredReading> atB = chart_.Measured().NearestTo(b);
    for (std::size_t i = 0; i < atA.size(); ++i) {
        const MeasuredReading& sampleA = atA[i];
        const MeasuredReading& sampleB = atB[i];
        table.rows << Cells{Name(sampleA.name), Number(sampleA.value), Number(sampleB.value),
                            Number(sampleB.value - sampleA.value)}
                   << Cells{Name(tr("%1: время, с").arg(sampleA.name)), Number(sampleA.seconds),
                            Number(sampleB.seconds), Number(sampleB.seconds - sampleA.seconds)};
    }
    ShowRows(*ui_->CursorTable, table);
}

void MeasurementsWindow::ShowComparison()
{
    const lab::Measured* measured = comparedWith_ && *comparedWith_ ? &**comparedWith_ : nullptr;
    ui_->ComparisonBox->setVisible(measured != nullptr);
    comparison_.reset();
    if (measured && stepRecipe_ && !stepTraces_[0]->Empty()) {
        // The run as the comparison takes it: the chart's traces, shared.
        RunResult run{.kind = RunKind::Step,
                      .settings = stepRecipe_->settings,
                      .traces = {Trace("Md", clBlack), Trace("Omega", clBlack)},
                      .sources = {}};
        for (Quantity quantity : kDqQuantities)
            run.Of(quantity).ReplacePoints(*stepTraces_[static_cast<std::size_t>(quantity)]);
        comparison_ = lab::Compare(run, *measured);
    }
    ui_->ComparisonHint->setVisible(!comparison_);
    ui_->ComparisonTable->setVisible(comparison_.has_value());
    if (comparison_)
        ShowRows(*ui_->ComparisonTable, ComparisonTable(*comparison_));
}
