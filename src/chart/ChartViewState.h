#pragma once

#include "plot/AxisUnits.h"
#include "plot/ChartRange.h"
#include "plot/ShownTraces.h"
#include "plot/ViewChange.h"

#include <QObject>

#include <functional>
#include <optional>
#include <string>
#include <utility>

// Whether a change of the view starts a step of the view history or goes on
// with the last one, as the notches of one turn of the wheel or the moves
// of one drag do.
enum class HistoryStep { New, Continued };

// What the chart shows: its traces, which of them the user hides, the
// ranges the user zoomed or panned to, with the views the user went
// through, and the units the axes are read in. Every action on the view
// comes here and changes it at most once; whatever shows the view (the
// chart's axes and lines, the tracker, the measurements) follows Changed()
// and never writes back. The chart itself listens first, so those after it
// find the chart laid out anew.
class ChartViewState : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    const ShownTraces& Traces() const { return traces_; }
    int AddTrace(const Trace& trace, std::string heading, std::optional<RunTrace> of = {});
    // Adds a trace at the index, shown or not, in one change; the later ones
    // move up by one.
    void InsertTrace(int index, const Trace& trace, std::string heading, std::optional<RunTrace> of, bool shown);
    // The later traces move down by one.
    void RemoveTrace(int index);
    void SetTraceShown(int index, bool shown);
    // Puts these traces in place of all before, in one change.
    void SetTraces(ShownTraces traces);
    // What the automatic ranges span, in place of the shown traces' points:
    // for a view that draws its entries otherwise.
    void SetSpanning(std::function<AxisRanges()> spanning) { spanning_ = std::move(spanning); }
    // How far the view may be zoomed about what it spans, LimitsFor unless
    // told.
    void SetLimits(ViewLimits (*limitsFor)(const AxisRanges&)) { limitsFor_ = limitsFor; }
    // The traces' points changed.
    void PointsChanged() { emit Changed(); }

    // The user's ranges while zoomed; the shown traces' otherwise.
    AxisRanges Ranges() const;
    bool IsZoomed() const { return userRanges_.has_value(); }
    // How far the shown traces may be zoomed into and out of.
    ViewLimits Limits() const { return limitsFor_(Drawable(Spanning())); }

    // Scales each axis about the fixed value by its factor, within the
    // limits: beyond them nothing changes.
    void Zoom(double fixedX, double fixedY, double factorX, double factorY, HistoryStep step);
    // Shows the band, widened or narrowed about its middle to the limits.
    void ZoomTo(const AxisRanges& band);
    // Shows ranges of the same spans elsewhere. Ranges the axes cannot show
    // are ignored.
    void MoveTo(const AxisRanges& ranges, HistoryStep step);
    void ResetZoom();
    // To the view before the last step of the history, and again forward.
    void Back();
    void Forward();
    bool CanGoBack() const { return history_.CanGoBack(); }

    // The units the axes are read in; the ranges stay in steps.
    const AxisUnits& Units() const { return units_; }
    void SetTimeInSeconds(bool seconds);
    void SetAxisTitles(bool titles);
    // The steps in view stay; the value axis reads other values in the
    // other style, so its zoom and the views behind go: it spans the
    // traces again.
    void SetReportStyle(bool report);
    // The step size of the run the chart shows.
    void SetSecondsPerStep(double secondsPerStep);

signals:
    void Changed();

private:
    AxisRanges Spanning() const { return spanning_ ? spanning_() : traces_.Spanning(); }
    void Show(const std::optional<AxisRanges>& ranges, HistoryStep step);
    void Return(const std::optional<ViewHistory::View>& view);
    void ShowIn(const AxisUnits& units);

    ShownTraces traces_;
    std::function<AxisRanges()> spanning_;
    ViewLimits (*limitsFor_)(const AxisRanges&) = LimitsFor;
    std::optional<AxisRanges> userRanges_;
    ViewHistory history_;
    bool stepPending_ = false;
    AxisUnits units_;
};
