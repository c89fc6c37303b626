#include "chart/ChartViewState.h"

#include <utility>

int ChartViewState::AddTrace(const Trace& trace, std::string heading, std::optional<RunTrace> of)
{
    const int index = traces_.Add(trace, std::move(heading), of);
    emit Changed();
    return index;
}

void ChartViewState::InsertTrace(int index, const Trace& trace, std::string heading, std::optional<RunTrace> of,
                                 bool shown)
{
    traces_.Insert(index, trace, std::move(heading), of);
    traces_.SetShown(index, shown);
    emit Changed();
}

void ChartViewState::RemoveTrace(int index)
{
    traces_.Remove(index);
    emit Changed();
}

void ChartViewState::SetTraceShown(int index, bool shown)
{
    if (traces_.IsShown(index) == shown)
        return;
    traces_.SetShown(index, shown);
    emit Changed();
}

void ChartViewState::SetTraces(ShownTraces traces)
{
    traces_ = std::move(traces);
    emit Changed();
}

AxisRanges ChartViewState::Ranges() const
{
    // Not value_or: its argument is formed even when the user's ranges are
    // there, a pass over every point of every trace for each look.
    return userRanges_ ? *userRanges_ : Drawable(Spanning());
}

void ChartViewState::Zoom(double fixedX, double fixedY, double factorX, double factorY, HistoryStep step)
{
    const AxisRanges shown = Ranges();
    const ViewLimits limits = Limits();
    Show(AxisRanges{Zoomed(shown.x, fixedX, factorX, limits.x), Zoomed(shown.y, fixedY, factorY, limits.y)}, step);
}

void ChartViewState::ZoomTo(const AxisRanges& band)
{
    const ViewLimits limits = Limits();
    Show(AxisRanges{Limited(band.x, limits.x), Limited(band.y, limits.y)}, HistoryStep::New);
}

void ChartViewState::MoveTo(const AxisRanges& ranges, HistoryStep step)
{
    Show(ranges, step);
}

void ChartViewState::ResetZoom()
{
    Show(std::nullopt, HistoryStep::New);
}

void ChartViewState::Back()
{
    Return(history_.Back(userRanges_));
}

void ChartViewState::Forward()
{
    Return(history_.Forward(userRanges_));
}

void ChartViewState::Show(const std::optional<AxisRanges>& ranges, HistoryStep step)
{
    // A step that starts with no change starts with the first change after.
    stepPending_ = stepPending_ || step == HistoryStep::New;
    if (ranges == userRanges_ || (ranges && (*ranges == Ranges() || !Viewable(*ranges))))
        return;
    if (stepPending_)
        history_.Left(userRanges_);
    stepPending_ = false;
    userRanges_ = ranges;
    emit Changed();
}

void ChartViewState::Return(const std::optional<ViewHistory::View>& view)
{
    if (!view)
        return;
    // Whatever comes next, even another notch of the same turn, is a step.
    stepPending_ = true;
    userRanges_ = *view;
    emit Changed();
}

void ChartViewState::SetTimeInSeconds(bool seconds)
{
    AxisUnits units = units_;
    units.seconds = seconds;
    ShowIn(units);
}

void ChartViewState::SetAxisTitles(bool titles)
{
    AxisUnits units = units_;
    units.titles = titles;
    ShowIn(units);
}

void ChartViewState::SetReportStyle(bool report)
{
    if (units_.report == report)
        return;
    const std::optional<Range> steps = userRanges_ ? std::optional(userRanges_->x) : std::nullopt;
    units_.report = report;
    userRanges_.reset();
    if (steps)
        userRanges_ = AxisRanges{*steps, Ranges().y};
    history_ = ViewHistory();
    stepPending_ = false;
    emit Changed();
}

void ChartViewState::SetSecondsPerStep(double secondsPerStep)
{
    AxisUnits units = units_;
    units.secondsPerStep = secondsPerStep;
    ShowIn(units);
}

void ChartViewState::ShowIn(const AxisUnits& units)
{
    if (units == units_)
        return;
    units_ = units;
    emit Changed();
}
