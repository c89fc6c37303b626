#include "chart/ChartViewState.h"

#include <utility>

int ChartViewState::AddTrace(const Trace& trace, std::string heading)
{
    const int index = traces_.Add(trace, std::move(heading));
    emit Changed();
    return index;
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

AxisRanges ChartViewState::Ranges() const
{
    // Not value_or: its argument is formed even when the user's ranges are
    // there, a pass over every point of every trace for each look.
    return userRanges_ ? *userRanges_ : Drawable(traces_.Spanning());
}

void ChartViewState::SetUserRanges(const AxisRanges& ranges)
{
    if (!Viewable(ranges) || userRanges_ == ranges)
        return;
    userRanges_ = ranges;
    emit Changed();
}

void ChartViewState::ResetZoom()
{
    if (!userRanges_)
        return;
    userRanges_.reset();
    emit Changed();
}
