#pragma once

#include "chart/PlotChart.h"

#include <optional>

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

// A curve's points are converted to pixels here too, in one pass, when it
// is a plain line wholly in sight on screen, as the mechanical
// characteristic's paths are over most views: the library converts each
// point with two calls and a test of where it lies, as much again as
// drawing fifteen paths of two thousand points. Otherwise the library
// converts them.
class ChartCurve final : public Unpicked<QCPCurve> {
public:
    using Unpicked::Unpicked;

protected:
    void draw(QCPPainter* painter) override;
    void drawCurveLine(QCPPainter* painter, const QVector<QPointF>& lines) const override;

private:
    // The points in pixels, as the library converts those in sight; none
    // if the line is not plain, on screen and wholly in sight.
    std::optional<QVector<QPointF>> PixelsInSight(const QCPPainter& painter) const;
};
