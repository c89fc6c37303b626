#pragma once

#include "chart/PlotChart.h"
#include "plot/RecentColumns.h"
#include "plot/Trace.h"

#include <optional>

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
    TraceLine(QCPAxis* keyAxis, QCPAxis* valueAxis, const Trace& trace);

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
    // Drawing the line again remembers what it found.
    mutable RecentColumns recent_;
};
