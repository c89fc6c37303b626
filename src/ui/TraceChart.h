#pragma once

#include "plot/ChartRange.h"
#include "plot/PlotNavigation.h"
#include "plot/ShownTraces.h"
#include "plot/Trace.h"

#include <QChartView>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

class ChartExporter;
class ChartInteraction;
class ChartMenu;
class ChartPanner;
class ChartTracker;
class ChartZoomer;
class QGraphicsSimpleTextItem;
class QLineSeries;
class QValueAxis;

// The chart of the main window: one line series per trace on one shared
// pair of axes, and a right-justified title. The traces belong to the
// window; Refresh() copies what changed into the chart in one call per
// series. The user can zoom, pan, read values under the pointer, hide
// traces from the legend, and save or copy what the chart shows; the
// chart forwards the events to small classes that do each.
class TraceChart : public QChartView {
    Q_OBJECT
    // Set from the window's form.
    Q_PROPERTY(QString titleText READ TitleText WRITE SetTitleText)

public:
    explicit TraceChart(QWidget* parent = nullptr);
    ~TraceChart() override;

    // Creates one series per trace, titled and coloured as the trace. The
    // traces must outlive the chart.
    void ShowTraces(std::span<const Trace, kTraceCount> traces);

    // Brings the series up to date with traces that changed since the last
    // call, then fits the axes to the shown traces unless the user zoomed.
    void Refresh();

    QString TitleText() const;
    void SetTitleText(const QString& text);

    // Shows ranges the user zoomed or panned to and keeps them through new
    // runs until ResetZoom(); ranges the axes cannot show are ignored.
    void ShowUserRanges(const AxisRanges& ranges);
    // Back to ranges that span the shown traces.
    void ResetZoom();
    bool IsZoomed() const { return userRanges_.has_value(); }

    // Hides or shows a trace, as a click on its legend entry does; only
    // after ShowTraces().
    void SetTraceShown(int index, bool shown);

    // None before ShowTraces().
    const ShownTraces* Traces() const { return traces_ ? &*traces_ : nullptr; }

    // The plot area in the view's pixels and the ranges it shows.
    PlotMapping Mapping() const;
    bool InPlotArea(QPointF viewPixel) const;
    QPointF SceneAt(QPointF viewPixel) const;

    QLineSeries* SeriesOf(int index) const { return series_[static_cast<std::size_t>(index)]; }
    QValueAxis* AxisX() const { return axisX_; }
    QValueAxis* AxisY() const { return axisY_; }
    const ChartTracker& Tracker() const { return *tracker_; }
    ChartExporter& Exporter() const { return *exporter_; }
    ChartMenu& Menu() const { return *menu_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    template <typename Event>
    bool Offer(bool (ChartInteraction::*handler)(const Event&), Event* event);
    void ShowCurrentRanges();
    void ShowRanges(const AxisRanges& ranges);
    void ToggleOnLegendClick(int index);
    void DimLegendEntry(int index, bool dimmed);
    void PlaceTitle();

    std::optional<ShownTraces> traces_;
    std::array<QLineSeries*, kTraceCount> series_{};
    std::array<std::uint64_t, kTraceCount> shownRevisions_{};
    std::optional<AxisRanges> userRanges_;
    QValueAxis* axisX_;
    QValueAxis* axisY_;
    QGraphicsSimpleTextItem* title_;
    std::unique_ptr<ChartTracker> tracker_;
    std::unique_ptr<ChartPanner> panner_;
    std::unique_ptr<ChartZoomer> zoomer_;
    std::unique_ptr<ChartExporter> exporter_;
    std::unique_ptr<ChartMenu> menu_;
};
