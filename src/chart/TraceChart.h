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
// change it, and the chart shows whatever it holds, painted once for each
// change.
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

private:
    // One trace's line on the chart, and the revision of the trace it last
    // drew.
    struct Line {
        QCPGraph* graph;
        std::uint64_t drawnRevision;
    };

    void BuildLayout();
    void Draw(Line& line, const Trace& trace);
    void ApplyView();
    void ToggleOnLegendClick(QCPAbstractLegendItem* item);
    void FillLegend(bool shownOnly);
    void DimLegendEntry(int index);
    QCPGraph* Graph(int index) const { return lines_.at(static_cast<std::size_t>(index)).graph; }

    ChartViewState* view_;
    QCPTextElement* title_;
    std::vector<Line> lines_;
};
