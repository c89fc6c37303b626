#pragma once

#include "chart/PlotChart.h"

// The lines of the charts: never picked by the mouse, and on screen a solid
// line's segments go to the painter in one call. The library draws them
// with the same pen one call each (QCP::phFastPolylines), and each call
// costs as much again as the segment's pixels: with the mechanical
// characteristic's fifteen curves of two thousand points, most of a replot.
// The painter rasterizes every segment on its own either way, so the
// pixels are the same.
class ChartGraph final : public Unpicked<QCPGraph> {
public:
    using Unpicked::Unpicked;

protected:
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const override;
};

class ChartCurve final : public Unpicked<QCPCurve> {
public:
    using Unpicked::Unpicked;

protected:
    void drawCurveLine(QCPPainter* painter, const QVector<QPointF>& lines) const override;
};
