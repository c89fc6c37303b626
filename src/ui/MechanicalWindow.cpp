#include "ui/MechanicalWindow.h"

#include "analysis/MechanicalPlane.h"
#include "chart/ChartMenu.h"
#include "chart/ChartNavigator.h"
#include "chart/MechanicalChart.h"
#include "chart/PlaneTracker.h"
#include "chart/TraceChart.h"
#include "ui/Application.h"
#include "ui/FormGeometry.h"
#include "ui_MechanicalWindow.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

namespace {

const QEvent::Type kFollowEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// How the window names the model's curves; the load's are named with the
// step response's load.
std::string ModelCurveName(CurveKind kind, std::int32_t load)
{
    const std::string loadName = "Нагрузка (Mc=" + std::to_string(load) + ")";
    switch (kind) {
    case CurveKind::Static:
        return "Статическая характеристика";
    case CurveKind::Load:
        return loadName;
    case CurveKind::LoadLowest:
        return loadName + " min";
    case CurveKind::LoadHighest:
        return loadName + " max";
    case CurveKind::OperatingPoint:
        return "Рабочая точка";
    case CurveKind::Path:
        break;
    }
    return {};
}

} // namespace

MechanicalWindow::MechanicalWindow(const TraceChart& chart, const Settings& settings,
                                   const std::optional<std::int32_t>& stepLoad, QWidget* parent)
    : QWidget(parent, Qt::Window), ui_(std::make_unique<Ui::MechanicalWindow>()), chart_(chart), settings_(settings),
      stepLoad_(stepLoad)
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

void MechanicalWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Update();
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
    Source source{{}, settings_, stepLoad_};
    for (int i = 0; i < traces.Count(); ++i)
        source.lines.push_back({&traces.At(i), traces.At(i).Revision(), traces.IsShown(i)});
    if (source == drawnFrom_)
        return;

    std::vector<PlaneCurve> curves =
        analysis::ModelCurves(settings_, stepLoad_ ? std::optional<double>(*stepLoad_) : std::nullopt);
    for (PlaneCurve& curve : curves)
        curve.name = ModelCurveName(curve.kind, stepLoad_.value_or(0));
    for (const RunTraces& run : ShownRuns(traces)) {
        const Trace& omega = traces.At(run.omega);
        curves.push_back({traces.Heading(run.omega), omega.LineColour(),
                          traces.Of(run.omega)->pinned, CurveKind::Path,
                          PathOf(traces.At(run.md), omega)});
    }
    // The operating point's mark goes over the paths that end in it.
    std::stable_partition(curves.begin(), curves.end(),
                          [](const PlaneCurve& curve) { return curve.kind != CurveKind::OperatingPoint; });
    Chart().ShowCurves(std::move(curves));
    drawnFrom_ = std::move(source);
}
