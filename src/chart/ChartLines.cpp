#include "chart/ChartLines.h"

#include <QSet>

#include <cmath>

namespace {

bool IsPoint(QPointF point)
{
    return !std::isnan(point.x()) && !std::isnan(point.y());
}

// Draws the line through the points as the library's fast polylines do: a
// segment between each two points that are both numbers, rounded to whole
// pixels unless smoothed, and a pen of width 1 as the one-pixel cosmetic
// pen. False where the library draws otherwise (dashes, files, no fast
// polylines): the caller leaves the line to it.
bool DrawSegments(QCPPainter& painter, const QVector<QPointF>& points, QCP::PlottingHints hints)
{
    QPen pen = painter.pen();
    if (pen.style() == Qt::NoPen || pen.color().alpha() == 0)
        return true;
    if (!hints.testFlag(QCP::phFastPolylines) || pen.style() != Qt::SolidLine ||
        painter.modes().testFlag(QCPPainter::pmVectorized) || painter.modes().testFlag(QCPPainter::pmNoCaching))
        return false;
    if (qFuzzyCompare(pen.widthF(), 1.0)) {
        pen.setWidth(0);
        painter.setPen(pen);
    }
    const qsizetype count = points.size();
    if (painter.antialiasing()) {
        QVector<QLineF> segments;
        segments.reserve(count);
        for (qsizetype i = 1; i < count; ++i)
            if (IsPoint(points[i - 1]) && IsPoint(points[i]))
                segments.append(QLineF(points[i - 1], points[i]));
        painter.drawLines(segments);
    }
    else {
        // Rounded to whole pixels, a run's path repeats the same few
        // segments over and over where it settles: one opaque pen paints
        // the same pixels however often a segment is drawn, so each is
        // drawn once.
        const bool once = pen.color().alpha() == 255 && painter.compositionMode() == QPainter::CompositionMode_SourceOver;
        QSet<std::pair<QPoint, QPoint>> drawn;
        QVector<QLine> segments;
        segments.reserve(count);
        for (qsizetype i = 1; i < count; ++i) {
            if (!IsPoint(points[i - 1]) || !IsPoint(points[i]))
                continue;
            const QLine segment = QLineF(points[i - 1], points[i]).toLine();
            if (!once || !drawn.contains({segment.p1(), segment.p2()})) {
                segments.append(segment);
                if (once)
                    drawn.insert({segment.p1(), segment.p2()});
            }
        }
        painter.drawLines(segments);
    }
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
