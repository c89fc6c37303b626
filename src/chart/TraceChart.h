#pragma once

#include "chart/PlotChart.h"
#include "plot/Readout.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ColumnCuts;
class MeasuredLines;
class TraceLine;
struct ReportSpans;

enum class LineStyle { Solid, Dashed };

// The main window's chart: a line for each trace on one shared pair of
// automatic axes, the steps across, and the d-q machine's currents on a
// right axis of amperes that is there while one of them is shown. The traces belong to the window;
// Refresh() hands what changed to the lines in one call each. What the
// chart shows is kept in View(); the user's tools (zoom and pan, tracker,
// menu, export) are helpers that change it, and the chart shows whatever it
// holds, painted once for each change.
class TraceChart : public PlotChart {
    Q_OBJECT

public:
    explicit TraceChart(QWidget* parent = nullptr);
    ~TraceChart() override;

    // Adds a line drawn in the trace's colour, titled with the trace's title
    // in the legend and with the heading wherever runs must be told apart.
    // The trace must outlive the chart or its removal; of is the run it
    // shows, if it shows one. The style for reports names it in the legend
    // by reportName, or else by its heading. Returns its index.
    int AddTrace(const Trace& trace, std::string heading, LineStyle style = LineStyle::Solid,
                 std::optional<RunTrace> of = {}, std::optional<std::string> reportName = {});
    // Adds a solid line at the index, shown or not, in one change of the
    // view; the later traces move up by one.
    void InsertTrace(int index, const Trace& trace, std::string heading, RunTrace of, bool shown);
    // Takes the trace's line away; the later traces move down by one.
    void RemoveTrace(int index);

    // Brings the lines up to date with traces that changed since the last
    // call, and the automatic ranges with them.
    void Refresh();

    // The measured data drawn over the runs; a change of it is shown with
    // the view's next change (ChartViewState::PointsChanged).
    MeasuredLines& Measured() { return *measured_; }
    const MeasuredLines& Measured() const { return *measured_; }

    int TraceCount() const { return View().Traces().Count(); }
    LineStyle TraceStyle(int index) const;
    // The axis the trace's values are read on: the left one, the right one
    // for a current, or in the style for reports the right one for Omega.
    QCPAxis* ValueAxisOf(int index) const;
    // The values at the step nearest x, as the tracker shows them.
    std::optional<Readout> ReadoutAt(double x) const { return ReadoutNearest(View().Traces(), x); }

    // One row per step, one column per shown trace that holds points; the
    // shown measured data's columns beside them (WriteCsvWithSamples).
    void WriteCsv(CsvStyle style, const CsvWrite& write) const override;

protected:
    QCPAbstractPlottable* Plottable(int index) const override;
    std::vector<QCPAbstractPlottable*> Overlays() const override;
    // Steps or seconds on x, the axes' titles and the style, as the view's
    // units say.
    void ApplyAxes() override;
    // The style for reports lists the traces that hold points only, and no
    // currents.
    bool InLegend(int index) const override;

private:
    // One trace's line on the chart, the revision of the trace it last
    // drew, how it is drawn out of the style for reports and its name in
    // that style.
    struct DrawnTrace {
        TraceLine* line;
        std::uint64_t drawnRevision;
        LineStyle style;
        std::optional<std::string> reportName;
    };

    // Each line's axis, pen and name in the style or out of it.
    void StyleLines(bool report);
    // Out of the style for reports, the right axis of amperes while a
    // current is shown.
    void ApplyCurrentAxis();
    // What the axes span: the shown traces and the measured data.
    ReportSpans Spanning() const;
    TraceLine* Line(int index) const { return lines_.at(static_cast<std::size_t>(index)).line; }

    // The lines' pixel columns, cut once a frame for them all.
    std::unique_ptr<ColumnCuts> cuts_;
    std::vector<DrawnTrace> lines_;
    std::unique_ptr<MeasuredLines> measured_;
};
