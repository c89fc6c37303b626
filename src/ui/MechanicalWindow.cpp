#include "ui/MechanicalWindow.h"

#include "analysis/MechanicalPlane.h"
#include "chart/ChartMenu.h"
#include "chart/ChartNavigator.h"
#include "chart/ChartPins.h"
#include "chart/MeasuredLines.h"
#include "chart/MechanicalChart.h"
#include "chart/PlaneTracker.h"
#include "chart/TraceChart.h"
#include "experiments/Family.h"
#include "toolkit/Conversions.h"
#include "ui/Application.h"
#include "ui/FormGeometry.h"
#include "ui_MechanicalWindow.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>

namespace {

const QEvent::Type kFollowEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// How the window names the model's curves for the load named as "Mc=10": a
// family member's operating point with its member, the step response's
// alone.
std::string ModelCurveName(CurveKind kind, const std::string& load, bool member)
{
    const QString quoted = QString::fromStdString(load);
    const std::string loadName = MechanicalWindow::tr("Нагрузка (%1)").arg(quoted).toStdString();
    switch (kind) {
    case CurveKind::Static:
        return MechanicalWindow::tr("Статическая характеристика").toStdString();
    case CurveKind::Load:
        return loadName;
    case CurveKind::LoadLowest:
        return loadName + " min";
    case CurveKind::LoadHighest:
        return loadName + " max";
    case CurveKind::OperatingPoint:
        return (member ? MechanicalWindow::tr("Рабочая точка (%1)").arg(quoted) : MechanicalWindow::tr("Рабочая точка"))
            .toStdString();
    case CurveKind::Kloss:
        return MechanicalWindow::tr("Формула Клосса (уточнённая)").toStdString();
    case CurveKind::Breakdown:
        return MechanicalWindow::tr("Критическая точка").toStdString();
    case CurveKind::StartingTorque:
        return MechanicalWindow::tr("Пусковой момент").toStdString();
    case CurveKind::Path:
    case CurveKind::PathEnd:
    case CurveKind::Measured:
        break;
    }
    return {};
}

// A mark's value beside it, to as many digits as a reader compares.
QString Rounded(double value)
{
    constexpr int kLabelDigits = 4;
    return QString::fromStdString(toolkit::FloatToStrRounded(value, kLabelDigits));
}

// The values the curve's marks stand for, written beside them.
std::string MarkLabel(CurveKind kind, const analysis::CurveMarks& marks)
{
    if (kind == CurveKind::Breakdown)
        return MechanicalWindow::tr("Mk = %1 Н·м, sk = %2")
            .arg(Rounded(marks.breakdown.Mk), Rounded(marks.breakdown.sk))
            .toStdString();
    if (kind == CurveKind::StartingTorque)
        return MechanicalWindow::tr("Mп = %1 Н·м").arg(Rounded(marks.startingTorque)).toStdString();
    return {};
}

bool IsMark(CurveKind kind)
{
    return kind == CurveKind::OperatingPoint || kind == CurveKind::PathEnd || kind == CurveKind::Breakdown ||
           kind == CurveKind::StartingTorque;
}

// A family member's marks beside its path: the end of the path and, for a
// run with a load, the load and the operating point, which is labelled with
// the member's name; all in the path's colour.
std::vector<PlaneCurve> MemberCurves(const PinnedTrace& member, const PlaneCurve& path)
{
    const std::string name = FamilyMemberLabel(member.origin.family->setting, member.origin.family->value);
    std::vector<PlaneCurve> curves = analysis::PinnedLoadCurves(member.origin, path.colour);
    for (PlaneCurve& curve : curves) {
        curve.name = ModelCurveName(curve.kind, name, true);
        if (curve.kind == CurveKind::OperatingPoint)
            curve.label = name;
    }
    if (!path.points.empty())
        curves.push_back({path.name, path.colour, false, CurveKind::PathEnd, path.points.Last(), {}});
    return curves;
}

// The measured samples of Md and Omega, where the bench took both.
std::optional<PlaneCurve> MeasuredCurve(const std::vector<MeasuredSeries>& series)
{
    auto of = [&series](Quantity quantity) {
        return std::ranges::find_if(series, [quantity](const MeasuredSeries& one) {
            return one.quantity == quantity && !one.residual;
        });
    };
    const auto md = of(Quantity::Md);
    const auto omega = of(Quantity::Omega);
    if (md == series.end() || omega == series.end())
        return std::nullopt;
    return PlaneCurve{MechanicalWindow::tr("Измерено").toStdString(), kMeasuredLine, false, CurveKind::Measured,
                      PathOfSamples(md->values, omega->values), {}};
}

} // namespace

MechanicalWindow::MechanicalWindow(const TraceChart& chart, const ChartPins& pins, const Settings& settings,
                                   const std::optional<std::int32_t>& stepLoad, QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::MechanicalWindow>()), chart_(chart), pins_(pins),
      settings_(settings), stepLoad_(stepLoad)
{
    ui_->setupUi(this);
    KeepStoredOuterGeometry(*this);
    // The tracker after the navigator: it sees every move first.
    new ChartNavigator(*ui_->Chart);
    new PlaneTracker(*ui_->Chart);
    new ChartMenu(*ui_->Chart, nullptr, RunCommand);
    connect(&chart_.View(), &ChartViewState::Changed, this, &MechanicalWindow::FollowChart);
}

MechanicalWindow::~MechanicalWindow() = default;

MechanicalChart& MechanicalWindow::Chart() const
{
    return *ui_->Chart;
}

void MechanicalWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui_->retranslateUi(this);
        // The model's curves are named in words: drawn again.
        drawnFrom_ = {};
        Update();
    }
    QWidget::changeEvent(event);
}

void MechanicalWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Update();
}

const PinnedTrace* MechanicalWindow::MemberOf(const Trace& trace) const
{
    const auto pin = std::find_if(pins_.Pinned().begin(), pins_.Pinned().end(),
                                  [&trace](const PinnedTrace& kept) { return &kept.trace == &trace; });
    return pin != pins_.Pinned().end() && pin->origin.family ? &*pin : nullptr;
}

void MechanicalWindow::FollowChart()
{
    // A run, a clear or a pin repaints the main chart first, and the view
    // follows in the next frame: the main chart's replot, queued before
    // this, asks for its frame in the queue of waiting frames, and this
    // joins that queue after it. Changes meanwhile are drawn at once; a
    // closed window draws anew when shown.
    if (followPending_ || !isVisible())
        return;
    followPending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { QCoreApplication::postEvent(this, new QEvent(kFollowEvent), Qt::LowEventPriority); },
        Qt::QueuedConnection);
}

bool MechanicalWindow::event(QEvent* event)
{
    if (event->type() != kFollowEvent)
        return QWidget::event(event);
    followPending_ = false;
    Update();
    return true;
}

void MechanicalWindow::Update()
{
    // The main chart changes its view at every notch of the wheel; the
    // curves are drawn anew only when a trace changed, came, went or was
    // hidden, or the model changed, and only while the window is open.
    if (!isVisible())
        return;
    const ShownTraces& traces = chart_.View().Traces();
    Source source{{}, settings_, stepLoad_, chart_.Measured().Revision()};
    for (int i = 0; i < traces.Count(); ++i)
        source.lines.push_back({&traces.At(i), traces.At(i).Revision(), traces.IsShown(i)});
    if (source == drawnFrom_)
        return;

    std::vector<PlaneCurve> curves =
        analysis::ModelCurves(settings_, stepLoad_ ? std::optional<double>(*stepLoad_) : std::nullopt);
    const std::optional<analysis::CurveMarks> marks = analysis::MarksOf(settings_);
    for (PlaneCurve& curve : curves) {
        curve.name = ModelCurveName(curve.kind, "Mc=" + std::to_string(stepLoad_.value_or(0)), false);
        if (marks)
            curve.label = MarkLabel(curve.kind, *marks);
    }
    std::vector<PlaneCurve> members;
    for (const RunTraces& run : ShownRuns(traces)) {
        const Trace& omega = traces.At(run.omega);
        const PlaneCurve& path = curves.emplace_back(PlaneCurve{traces.Heading(run.omega), omega.LineColour(),
                                                                traces.Of(run.omega)->pinned, CurveKind::Path,
                                                                PathOf(traces.At(run.md), omega), {}});
        if (const PinnedTrace* member = MemberOf(omega))
            std::ranges::move(MemberCurves(*member, path), std::back_inserter(members));
    }
    if (std::optional<PlaneCurve> measured = MeasuredCurve(chart_.Measured().Series()))
        curves.push_back(std::move(*measured));
    std::ranges::move(members, std::back_inserter(curves));
    // The marks go over the paths, which end in some and pass by others.
    std::stable_partition(curves.begin(), curves.end(), [](const PlaneCurve& curve) { return !IsMark(curve.kind); });
    Chart().ShowCurves(std::move(curves));
    drawnFrom_ = std::move(source);
}
