#pragma once

#include "plot/ChartRange.h"
#include "plot/Trace.h"

#include <QChartView>

#include <array>
#include <cstdint>
#include <span>

class QGraphicsSimpleTextItem;
class QLineSeries;
class QValueAxis;

// The chart of the main window: one line series per trace on one shared
// pair of axes that span all points, and a right-justified title. It only
// draws: the traces belong to the window, and Refresh() copies what changed
// into the chart in one call per series.
class TraceChart : public QChartView {
    Q_OBJECT

public:
    explicit TraceChart(QWidget* parent = nullptr);

    // Creates one series per trace, titled and coloured as the trace. The
    // traces must outlive the chart.
    void ShowTraces(std::span<const Trace, kTraceCount> traces);

    // Brings the series up to date with traces that changed since the last
    // call, then fits the axes to all points.
    void Refresh();

    void SetTitleText(const QString& text);

    QLineSeries* SeriesOf(int index) const { return series_[static_cast<std::size_t>(index)]; }
    QValueAxis* AxisX() const { return axisX_; }
    QValueAxis* AxisY() const { return axisY_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowRanges(const AxisRanges& ranges);
    void PlaceTitle();

    std::array<const Trace*, kTraceCount> traces_{};
    std::array<QLineSeries*, kTraceCount> series_{};
    std::array<std::uint64_t, kTraceCount> shownRevisions_{};
    QValueAxis* axisX_;
    QValueAxis* axisY_;
    QGraphicsSimpleTextItem* title_;
};
