#pragma once

#include "chart/PlotChart.h"
#include "plot/PixelLines.h"
#include "plot/PlaneCurves.h"

#include <utility>
#include <vector>

// A curve of the mechanical characteristic: a line through its points in
// their order, a mark on each, or both, drawn from the points the chart
// holds with no copy of them. On screen the line is cut into whole-pixel
// segments once for each scale of the view, each distinct segment kept
// once, and a drag only moves them: a run's path of a million steps is
// converted when the zoom changes, not at every frame. The pixels are those
// the library's own curve draws (its fast polylines, rounded to whole
// pixels, the line cut at a margin around the plot as the library cuts
// it); a wide dashed line is cut into its dashes here too, along the whole
// line, so its dashes stay in place while it is dragged. Smoothed lines,
// narrow dashes and pictures for files are drawn as polylines of the
// stretches in sight, each dashed on from where the whole line would be.
class PlaneLines final : public QCPAbstractPlottable, public LegendIcon {
    Q_OBJECT

public:
    PlaneLines(QCPAxis* keyAxis, QCPAxis* valueAxis);
    ~PlaneLines() override;

    // These points from now on.
    void SetPoints(PlanePoints points);
    // Points equal to those before, kept elsewhere: the cuts stay.
    void PointsMoved(PlanePoints points) { points_ = std::move(points); }
    const PlanePoints& Points() const { return points_; }

    // Whether a line joins the points; without one, only marks show.
    void SetLined(bool lined) { lined_ = lined; }
    bool Lined() const { return lined_; }
    void SetMark(const QCPScatterStyle& mark) { mark_ = mark; }
    const QCPScatterStyle& Mark() const { return mark_; }

    double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }
    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange& inKeyRange = QCPRange()) const override;
    void DrawIcon(QCPPainter* painter, const QRectF& rect) const override { drawLegendIcon(painter, rect); }

protected:
    void draw(QCPPainter* painter) override;
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

private:
    // The line's segments cut for one scale and pattern.
    struct Cut {
        AxisPlacement x;
        AxisPlacement y;
        // The dashes' lengths and where they begin, in pixels; none for a
        // solid line.
        std::vector<double> pattern;
        double offset;
        std::vector<PixelSegment> segments;
    };

    bool DrawsCut(const QCPPainter& painter) const;
    void DrawCut(QCPPainter& painter);
    const Cut& CutFor(AxisPlacement x, AxisPlacement y, const std::vector<double>& pattern, double offset);
    void DrawRuns(QCPPainter& painter) const;
    void DrawMarks(QCPPainter& painter) const;
    // Around the plot, where the library cuts its lines, in pixels.
    PixelRect CutRect() const;

    PlanePoints points_;
    bool lined_ = true;
    QCPScatterStyle mark_;
    // The latest first: zooming in and out by turns finds both scales.
    std::vector<Cut> cuts_;
};
