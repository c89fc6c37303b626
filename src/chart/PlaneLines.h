#pragma once

#include "chart/PlotChart.h"
#include "plot/PixelLines.h"
#include "plot/PlaneCurves.h"

#include <memory>
#include <optional>
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
// narrow dashes and pictures are drawn as polylines of the stretches in
// sight, each dashed on from where the whole line would be; a file's
// picture of a line of more points than the plot's edge has pixels draws
// the segments of its cut, each once, at their exact ends, or, where even
// those are more than the edge's pixels, each pixel column's stretches
// that they cover.
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

    // The scale and dash pattern a line is cut for: the dashes' lengths and
    // where they begin, in pixels; none for a solid line.
    struct CutShape {
        AxisPlacement x;
        AxisPlacement y;
        std::vector<double> pattern;
        double offset;
        bool operator==(const CutShape&) const = default;
    };
    // The line's distinct segments cut for one shape.
    struct Cut {
        CutShape shape;
        std::vector<PixelSegment> segments;
    };

    // The shape the line's next frame on screen is cut for, where no cut
    // the line keeps serves it; none where one does or no cut is drawn.
    std::optional<CutShape> CutWanted() const;
    // The points cut for the shape, thinned on every core if asked.
    static std::shared_ptr<const Cut> MakeCut(const PlanePoints& points, const CutShape& shape, bool onAllCores);
    // Keeps a cut of the line's points, before those it kept.
    void KeepCut(std::shared_ptr<const Cut> cut);

    double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }
    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange& inKeyRange = QCPRange()) const override;
    void DrawIcon(QCPPainter* painter, const QRectF& rect) const override { drawLegendIcon(painter, rect); }

protected:
    void draw(QCPPainter* painter) override;
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

private:
    bool CutsWith(const QPen& pen) const;
    bool DrawsCut(const QCPPainter& painter) const;
    CutShape ShapeFor(const QPen& pen) const;
    const Cut* FoundCut(const CutShape& shape) const;
    void DrawCut(QCPPainter& painter);
    const Cut& CutFor(const CutShape& shape);
    // Whether a file's picture draws the line as the screen's cut, each
    // whole-pixel segment once, rather than through every point.
    bool ThinsForFile(const QCPPainter& painter) const;
    void DrawThinned(QCPPainter& painter) const;
    // The pixels around the plot's edge.
    std::size_t EdgePixels() const;
    void DrawRuns(QCPPainter& painter) const;
    void DrawMarks(QCPPainter& painter) const;
    // Around the plot, where the library cuts its lines, in pixels.
    PixelRect CutRect() const;

    PlanePoints points_;
    bool lined_ = true;
    QCPScatterStyle mark_;
    // The latest first: zooming in and out by turns finds both scales.
    // Lines with the same points share them.
    std::vector<std::shared_ptr<const Cut>> cuts_;
};

// Cuts the lines for the scale their next frame on screen is drawn at,
// where they have no cut for it yet: lines with the same points and
// pattern, a run's path and its pins, share one cut, and the cuts are made
// on every core at once. For after the plot's layout, before it draws.
void CutAheadOfAFrame(const std::vector<PlaneLines*>& lines);
