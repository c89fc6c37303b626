#pragma once

#include "chart/PlotChart.h"

// The lines of the charts: never picked by the mouse, and on screen drawn
// with one call to the painter for all their segments. The library draws a
// solid line's segments with the same pen one call each
// (QCP::phFastPolylines), and each call costs as much again as the
// segment's pixels; the painter rasterizes every segment on its own either
// way, so the pixels are the same. A wide dashed line (a pin on the
// mechanical characteristic) is cut into its dashes here and drawn the same
// way, where the library had the painter outline every dash: most of a
// replot with fifteen curves of two thousand points.
class ChartGraph final : public Unpicked<QCPGraph> {
public:
    using Unpicked::Unpicked;

protected:
    void drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const override;
};
