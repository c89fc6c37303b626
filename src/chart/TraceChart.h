#pragma once

#include "chart/ChartViewState.h"
#include "plot/PlotNavigation.h"
#include "plot/Readout.h"

#include <qcustomplot.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class LineStyle { Solid, Dashed };

// The main window's chart: a line for each trace on one shared pair of
// automatic axes, a right-justified title, and the legend to the right of
// the plot. The traces belong to the window; Refresh() hands what changed
// to the lines in one call each. What the chart shows is kept in View();
// the user's tools (zoom and pan, tracker, menu, export) are helpers that
// work on this interface.
class TraceChart : public QCustomPlot {
    Q_OBJECT
    // Set from the window's form.
    Q_PROPERTY(QString titleText READ TitleText WRITE SetTitleText)

public:
    explicit TraceChart(QWidget* parent = nullptr);
    ~TraceChart() override;

    // Adds a line drawn in the trace's colour, titled with the trace's title
    // in the legend and with the heading wherever runs must be told apart.
    // The trace must outlive the chart or its removal. Returns its index.
    int AddTrace(const Trace& trace, std::string heading, LineStyle style = LineStyle::Solid);
    // Takes the trace's line away; the later traces move down by one.
    void RemoveTrace(int index);

    // Brings the lines up to date with traces that changed since the last
    // call, and the automatic ranges with them.
    void Refresh();

    ChartViewState& View() { return *view_; }
    const ChartViewState& View() const { return *view_; }

    int TraceCount() const { return view_->Traces().Count(); }
    // How many points the trace's line holds.
    std::size_t PointsShown(int index) const;
    QColor TraceColour(int index) const;
    // The values at the step nearest x, as the tracker shows them.
    std::optional<Readout> ReadoutAt(double x) const { return ReadoutNearest(view_->Traces(), x); }

    // The ranges the axes show now.
    AxisRanges ShownRanges() const;
    // The plot area in the chart's pixels and the ranges it shows.
    PlotMapping Mapping() const;
    bool InPlotArea(QPointF pixel) const;
    // Where the trace's legend entry is, in the chart's pixels; empty while
    // the legend lists only the shown traces.
    QRect LegendEntryRect(int index) const;

    // Paints the chart as a picture for a file or the clipboard: lines
    // smoothed, and the legend listing the shown traces only. A vector
    // device gets one path per line.
    void PaintPicture(QPaintDevice& device, qreal scale, bool vector);

    QString TitleText() const;
    void SetTitleText(const QString& text);

    // Passes on an error of one of the chart's commands, such as an export,
    // to be shown as the window shows errors.
    void ReportError(const QString& message) { emit ErrorRaised(message); }

signals:
    void ErrorRaised(const QString& message);

private:
    void BuildLayout();
    void ApplyView();
    void ApplyRanges(const AxisRanges& ranges);
    void TakeUserRanges();
    void ToggleOnLegendClick(QCPAbstractLegendItem* item);
    void FillLegend(bool shownOnly);
    void DimLegendEntry(int index);

    ChartViewState* view_;
    QCPTextElement* title_;
    std::vector<QCPGraph*> lines_;
    std::vector<std::uint64_t> shownRevisions_;
    // Set while the chart itself sets the axes, so only the user's changes
    // count as zoom.
    bool applyingRanges_ = false;
};
