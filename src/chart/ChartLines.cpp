#include "chart/ChartLines.h"

#include "plot/PixelLines.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

namespace {

// Dashes narrower than this (the load's line on the mechanical
// characteristic, 1.5 wide) come out a pixel narrower from the painter's
// outline than as pieces: they are left to the library and look as they
// did.
constexpr double kWideDashes = 2;

// Draws the lines with the painter's pen as the library's fast polylines
// draw each segment: rounded to whole pixels unless smoothed. Rounded, a
// run's path repeats the same few segments over and over where it settles,
// a random run's over its whole cloud: one opaque pen paints the same
// pixels whichever way and however often a segment is drawn, so each is
// drawn once.
void DrawLines(QCPPainter& painter, const std::vector<PixelSegment>& lines)
{
    if (painter.antialiasing()) {
        QVector<QLineF> smooth;
        smooth.reserve(static_cast<qsizetype>(lines.size()));
        for (const PixelSegment& line : lines)
            smooth.append(QLineF(line.from.x, line.from.y, line.to.x, line.to.y));
        return painter.drawLines(smooth);
    }
    QVector<QLine> rounded;
    rounded.reserve(static_cast<qsizetype>(lines.size()));
    for (const PixelSegment& line : lines)
        rounded.append(QLineF(line.from.x, line.from.y, line.to.x, line.to.y).toLine());
    const bool once =
        painter.pen().color().alpha() == 255 && painter.compositionMode() == QPainter::CompositionMode_SourceOver;
    if (once) {
        const auto order = [](QLine a, QLine b) {
            return std::tuple(a.x1(), a.y1(), a.x2(), a.y2()) < std::tuple(b.x1(), b.y1(), b.x2(), b.y2());
        };
        for (QLine& line : rounded)
            if (order(QLine(line.p2(), line.p1()), line))
                line = QLine(line.p2(), line.p1());
        std::sort(rounded.begin(), rounded.end(), order);
        rounded.erase(std::unique(rounded.begin(), rounded.end()), rounded.end());
    }
    painter.drawLines(rounded);
}

// The pieces of a wide dashed line, as the painter would dash it, to be
// drawn with the pen made solid: the painter's own dasher joins the pieces
// of each dash into one outline first, and on a run's path of two thousand
// points that took most of a replot. The dashes fall where the painter
// puts them; the pieces' square ends stand in for the joins within a dash,
// and their ends are rounded to whole pixels as a solid line's are, so a
// dash's edge may lie a pixel from the painter's.
std::vector<PixelSegment> Dashes(const std::vector<PixelPoint>& points, const QPen& pen)
{
    const double width = pen.widthF();
    std::vector<double> pattern;
    for (qreal length : pen.dashPattern())
        pattern.push_back(length * width);
    return DashPieces(points, pattern, pen.dashOffset() * width);
}

bool IsPoint(PixelPoint point)
{
    return !std::isnan(point.x) && !std::isnan(point.y);
}

// A segment between each two points that are both numbers.
std::vector<PixelSegment> Segments(const std::vector<PixelPoint>& points)
{
    std::vector<PixelSegment> segments;
    segments.reserve(points.size());
    for (std::size_t i = 1; i < points.size(); ++i)
        if (IsPoint(points[i - 1]) && IsPoint(points[i]))
            segments.push_back({points[i - 1], points[i]});
    return segments;
}

// Draws the line through the points as the library's fast polylines do,
// segment by segment, with a pen of width 1 as the one-pixel cosmetic pen;
// and a wide dashed line dash piece by piece. A graph's points are thinned
// by the library's own sampling already. False where the library
// draws otherwise (narrower dashed lines, files, no fast polylines): the
// caller leaves the line to it.
bool DrawSegments(QCPPainter& painter, const QVector<QPointF>& points, QCP::PlottingHints hints)
{
    QPen pen = painter.pen();
    if (pen.style() == Qt::NoPen || pen.color().alpha() == 0)
        return true;
    if (!hints.testFlag(QCP::phFastPolylines) || painter.modes().testFlag(QCPPainter::pmVectorized) ||
        painter.modes().testFlag(QCPPainter::pmNoCaching))
        return false;
    const bool dashed = pen.style() != Qt::SolidLine;
    if (dashed && (pen.isCosmetic() || pen.widthF() < kWideDashes))
        return false;
    std::vector<PixelPoint> pixels;
    pixels.reserve(static_cast<std::size_t>(points.size()));
    for (QPointF point : points)
        pixels.push_back({point.x(), point.y()});
    const std::vector<PixelSegment> lines = dashed ? Dashes(pixels, pen) : Segments(pixels);
    if (dashed)
        pen.setStyle(Qt::SolidLine);
    else if (qFuzzyCompare(pen.widthF(), 1.0))
        pen.setWidth(0);
    painter.setPen(pen);
    DrawLines(painter, lines);
    return true;
}

} // namespace

void ChartGraph::drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const
{
    applyDefaultAntialiasingHint(painter);
    if (!DrawSegments(*painter, lines, mParentPlot->plottingHints()))
        QCPGraph::drawLinePlot(painter, lines);
}
