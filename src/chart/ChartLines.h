#pragma once

#include "chart/PlotChart.h"
#include "plot/RecentColumns.h"
#include "plot/Trace.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

// The pixel columns of the key axis's view, cut once for every line of a
// run's length: the lines of a chart's runs and pins have one length, and
// each would cut the view alike.
class ColumnCuts {
public:
    // The columns of steps [first, end), in order, each as its steps
    // [first, end) and where it starts, in keys; the first's start and a
    // column's width in keys.
    struct Cut {
        std::vector<MinMaxPyramid::Stretch> columns;
        std::vector<double> starts;
        double firstStart;
        double epsilon;
    };

    // The cut of steps [first, end) over the axis's view: the last one
    // made for that view and those steps, or `make`'s.
    const Cut& Of(const QCPAxis& across, std::size_t first, std::size_t end, const std::function<Cut()>& make);

private:
    // What the cut depends on.
    struct View {
        const QCPAxis* axis;
        QCPRange range;
        QRect area;
        bool reversed;
        std::size_t first;
        std::size_t end;
        bool operator==(const View&) const = default;
    };

    std::optional<View> view_;
    Cut cut_;
};

// A trace's line on the main chart, drawn from the trace itself, which
// must outlive it: the chart keeps no copy of the points. It draws what the
// library's graph draws from every point with its adaptive sampling (where
// a pixel column holds two points or more, its first, least, largest and
// last), but finds each column's least and largest in the trace's pyramid:
// a frame costs about the plot's width, not the run's length. On screen
// all its segments go to the painter in one call, where the library makes
// one call each (QCP::phFastPolylines) at as much again as the segment's
// pixels; the painter rasterizes each segment on its own either way, so
// the pixels are the same. The mouse never picks it: the readouts find
// points themselves.
class TraceLine final : public QCPAbstractPlottable, public LegendIcon {
public:
    // The cuts, shared by the chart's lines, must outlive the line.
    TraceLine(QCPAxis* keyAxis, QCPAxis* valueAxis, const Trace& trace, ColumnCuts& cuts);

    double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }
    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange& inKeyRange = QCPRange()) const override;
    void DrawIcon(QCPPainter* painter, const QRectF& rect) const override { drawLegendIcon(painter, rect); }

    // The points the line goes through, in pixels, as the library's graph
    // would find them for the axes' ranges now.
    QVector<QPointF> LinePixels() const;

protected:
    void draw(QCPPainter* painter) override;
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

private:
    const Trace& trace_;
    ColumnCuts& cuts_;
    // Drawing the line again remembers what it found.
    mutable RecentColumns recent_;
};
