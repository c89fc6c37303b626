#include "chart/ChartLines.h"

#include "plot/Dashes.h"

#include <cmath>
#include <vector>

namespace {

// Dashes narrower than this (the load's line on the mechanical
// characteristic, 1.5 wide) come out a pixel narrower from the painter's
// outline than as pieces: they are left to the library and look as they
// did.
constexpr double kWideDashes = 2;

bool IsPoint(QPointF point)
{
    return !std::isnan(point.x()) && !std::isnan(point.y());
}

// Draws the lines with the painter's pen as the library's fast polylines
// draw each segment: rounded to whole pixels unless smoothed. Rounded, a
// run's path repeats the same segment over and over where it settles: one
// opaque pen paints the same pixels however often a segment is drawn, so it
// is drawn once.
void DrawLines(QCPPainter& painter, const QVector<QLineF>& lines)
{
    if (painter.antialiasing())
        return painter.drawLines(lines);
    const bool once =
        painter.pen().color().alpha() == 255 && painter.compositionMode() == QPainter::CompositionMode_SourceOver;
    QVector<QLine> rounded;
    rounded.reserve(lines.size());
    for (const QLineF& line : lines) {
        const QLine pixels = line.toLine();
        if (!once || rounded.isEmpty() || rounded.back() != pixels)
            rounded.append(pixels);
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
QVector<QLineF> Dashes(const QVector<QPointF>& points, const QPen& pen)
{
    const double width = pen.widthF();
    std::vector<double> pattern;
    for (qreal length : pen.dashPattern())
        pattern.push_back(length * width);
    std::vector<PixelPoint> pixels;
    pixels.reserve(static_cast<std::size_t>(points.size()));
    for (QPointF point : points)
        pixels.push_back({point.x(), point.y()});
    QVector<QLineF> pieces;
    pieces.reserve(points.size());
    for (const PixelSegment& piece : DashPieces(pixels, pattern, pen.dashOffset() * width))
        pieces.append(QLineF(piece.from.x, piece.from.y, piece.to.x, piece.to.y));
    return pieces;
}

// A segment between each two points that are both numbers.
QVector<QLineF> Segments(const QVector<QPointF>& points)
{
    QVector<QLineF> segments;
    segments.reserve(points.size());
    for (qsizetype i = 1; i < points.size(); ++i)
        if (IsPoint(points[i - 1]) && IsPoint(points[i]))
            segments.append(QLineF(points[i - 1], points[i]));
    return segments;
}

// Draws the line through the points as the library's fast polylines do,
// segment by segment, with a pen of width 1 as the one-pixel cosmetic pen;
// and a wide dashed line dash piece by piece. False where the library draws
// otherwise (narrower dashed lines, files, no fast polylines): the caller
// leaves the line to it.
bool DrawSegments(QCPPainter& painter, const QVector<QPointF>& points, QCP::PlottingHints hints)
{
    QPen pen = painter.pen();
    if (pen.style() == Qt::NoPen || pen.color().alpha() == 0)
        return true;
    if (!hints.testFlag(QCP::phFastPolylines) || painter.modes().testFlag(QCPPainter::pmVectorized) ||
        painter.modes().testFlag(QCPPainter::pmNoCaching))
        return false;
    if (pen.style() != Qt::SolidLine) {
        if (pen.isCosmetic() || pen.widthF() < kWideDashes)
            return false;
        const QVector<QLineF> pieces = Dashes(points, pen);
        pen.setStyle(Qt::SolidLine);
        painter.setPen(pen);
        DrawLines(painter, pieces);
        return true;
    }
    if (qFuzzyCompare(pen.widthF(), 1.0)) {
        pen.setWidth(0);
        painter.setPen(pen);
    }
    DrawLines(painter, Segments(points));
    return true;
}

} // namespace

void ChartGraph::drawLinePlot(QCPPainter* painter, const QVector<QPointF>& lines) const
{
    applyDefaultAntialiasingHint(painter);
    if (!DrawSegments(*painter, lines, mParentPlot->plottingHints()))
        QCPGraph::drawLinePlot(painter, lines);
}

void ChartCurve::drawCurveLine(QCPPainter* painter, const QVector<QPointF>& lines) const
{
    applyDefaultAntialiasingHint(painter);
    if (!DrawSegments(*painter, lines, mParentPlot->plottingHints()))
        QCPCurve::drawCurveLine(painter, lines);
}
