#include "chart/ChartLines.h"

#include "plot/PixelLines.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <vector>

namespace {

// Whether the rounded segment `next` goes on straight along the pixel row
// or column of `line` from its end, the same way. Coordinates are compared,
// never subtracted: a line's end beyond the painter's reach lies at the
// farthest pixel.
bool GoesOnStraight(QLine line, QLine next)
{
    if (next.p1() != line.p2())
        return false;
    const auto inOrder = [](int from, int through, int to) {
        return (from <= through && through <= to) || (from >= through && through >= to);
    };
    if (line.y1() == line.y2() && next.y1() == next.y2())
        return inOrder(line.x1(), line.x2(), next.x2());
    return line.x1() == line.x2() && next.x1() == next.x2() && inOrder(line.y1(), line.y2(), next.y2());
}

// Draws the lines with the painter's pen as the library's fast polylines
// draw each segment: rounded to whole pixels unless smoothed. Rounded, a
// flat stretch of a run is a chain of level segments a pixel or two long:
// an opaque pen paints the pixels of a straight chain once whichever way
// it is cut, so each such chain is drawn as one line.
void DrawLines(QCPPainter& painter, const std::vector<PixelSegment>& lines)
{
    if (painter.antialiasing()) {
        QVector<QLineF> smooth;
        smooth.reserve(static_cast<qsizetype>(lines.size()));
        for (const PixelSegment& line : lines)
            smooth.append(QLineF(line.from.x, line.from.y, line.to.x, line.to.y));
        return painter.drawLines(smooth);
    }
    const bool joined =
        painter.pen().color().alpha() == 255 && painter.compositionMode() == QPainter::CompositionMode_SourceOver;
    QVector<QLine> rounded;
    rounded.reserve(static_cast<qsizetype>(lines.size()));
    for (const PixelSegment& line : lines) {
        const QLine next = QLineF(line.from.x, line.from.y, line.to.x, line.to.y).toLine();
        if (joined && !rounded.empty() && GoesOnStraight(rounded.back(), next))
            rounded.back().setP2(next.p2());
        else
            rounded.append(next);
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

// The library's line through points the other drawing path leaves to it
// (a vector file, a narrow dashed pen): a 1-pixel pen made cosmetic on
// screen, and one polyline between each two gaps, where a point that is
// not a number, or an infinite value, is a gap.
void DrawPolyline(QCPPainter& painter, const QVector<QPointF>& points)
{
    if (!painter.modes().testFlag(QCPPainter::pmVectorized) && qFuzzyCompare(painter.pen().widthF(), 1.0)) {
        QPen pen = painter.pen();
        pen.setWidth(0);
        painter.setPen(pen);
    }
    qsizetype start = 0;
    for (qsizetype i = 0; i <= points.size(); ++i) {
        if (i < points.size() && !std::isnan(points[i].x()) && !std::isnan(points[i].y()) &&
            !std::isinf(points[i].y()))
            continue;
        painter.drawPolyline(points.constData() + start, static_cast<int>(i - start));
        start = i + 1;
    }
}

// The indices [first, end) of a trace of `count` values whose steps lie
// within lower to upper, and the one beyond each end, as the library
// bounds what it draws of a graph.
struct StepStretch {
    std::size_t first;
    std::size_t end;
};

// The first whole step not below x, from 0 to count.
std::size_t StepNotBelow(double x, std::size_t count)
{
    const double step = std::ceil(x);
    if (!(step > 0))
        return 0;
    return step >= static_cast<double>(count) ? count : static_cast<std::size_t>(step);
}

StepStretch StepsWithin(std::size_t count, double lower, double upper)
{
    const std::size_t first = StepNotBelow(lower, count);
    // The first step above upper.
    std::size_t end = StepNotBelow(upper, count);
    if (end < count && static_cast<double>(end) == upper)
        ++end;
    return {first > 0 ? first - 1 : first, end < count ? end + 1 : end};
}

struct LinePoint {
    double x;
    double y;
};

// What the library's graph does with the trace's points in view before it
// converts them to pixels: where there are fewer than two a pixel column,
// each point; where more, a pixel column's points of one interval as its
// first, least, largest and last value, in that order, at fractions of
// the column, the first and last only where the line comes from or goes to
// a point more than a column away. Its arithmetic, step for step, so the
// points are its.
class LineSampler {
public:
    LineSampler(const Trace& trace, const QCPAxis& across, ColumnCuts& cuts, RecentColumns& recent)
        : trace_(trace), values_(trace.Values()), across_(across), cuts_(cuts), recent_(recent)
    {
    }

    std::vector<LinePoint> Sample() const
    {
        const QCPRange range = across_.range();
        const StepStretch steps = StepsWithin(values_.size(), range.lower, range.upper);
        std::vector<LinePoint> points;
        if (steps.first == steps.end)
            return points;
        const double keyPixelSpan =
            std::abs(across_.coordToPixel(Key(steps.first)) - across_.coordToPixel(Key(steps.end - 1)));
        int maxCount = std::numeric_limits<int>::max();
        if (2 * keyPixelSpan + 2 < static_cast<double>(std::numeric_limits<int>::max()))
            maxCount = static_cast<int>(2 * keyPixelSpan + 2);
        if (steps.end - steps.first < static_cast<std::size_t>(maxCount)) {
            points.reserve(steps.end - steps.first);
            for (std::size_t i = steps.first; i < steps.end; ++i)
                points.push_back({Key(i), values_[i]});
            return points;
        }
        Columns(steps, points);
        return points;
    }

private:
    static double Key(std::size_t i) { return static_cast<double>(i); }

    // Where the pixel column of the key starts, in keys.
    double ColumnStart(double key) const
    {
        const int reversedRound = across_.pixelOrientation() == -1 ? 1 : 0;
        return across_.pixelToCoord(static_cast<int>(across_.coordToPixel(key) + reversedRound));
    }

    // The intervals, each of the points before the first key at or past
    // its column's end.
    ColumnCuts::Cut Cut(StepStretch steps) const
    {
        const int reversedFactor = across_.pixelOrientation();
        const double firstStart = ColumnStart(Key(steps.first));
        ColumnCuts::Cut cut{{}, {}, firstStart,
                            std::abs(firstStart - across_.pixelToCoord(across_.coordToPixel(firstStart) +
                                                                       1.0 * reversedFactor))};
        double start = firstStart;
        for (std::size_t first = steps.first;;) {
            const std::size_t next = std::max(first + 1, StepNotBelow(start + cut.epsilon, steps.end));
            cut.columns.push_back({first, next});
            cut.starts.push_back(start);
            if (next == steps.end)
                return cut;
            first = next;
            start = ColumnStart(Key(next));
        }
    }

    void Columns(StepStretch steps, std::vector<LinePoint>& points) const
    {
        const ColumnCuts::Cut& cut = cuts_.Of(across_, steps.first, steps.end, [&] { return Cut(steps); });
        const double epsilon = cut.epsilon;
        const std::vector<ColumnValues> found =
            recent_.Of(trace_.Pyramid(), values_, cut.columns, trace_.Revision());
        double lastIntervalEnd = cut.firstStart;
        for (std::size_t k = 0; k < cut.columns.size(); ++k) {
            const auto [first, end] = cut.columns[k];
            const double start = cut.starts[k];
            const ColumnValues& values = found[k];
            if (end - first >= 2) {
                const ValueSpan extremes = Extremes(values);
                if (lastIntervalEnd < start - epsilon)
                    points.push_back({start + epsilon * 0.2, values.first});
                points.push_back({start + epsilon * 0.25, extremes.min});
                points.push_back({start + epsilon * 0.75, extremes.max});
                if (end < steps.end && Key(end) > start + epsilon * 2)
                    points.push_back({start + epsilon * 0.8, values.last});
            }
            else
                points.push_back({Key(first), values.first});
            lastIntervalEnd = Key(end - 1);
        }
    }

    // A column's least and largest as the library finds them walking its
    // values from the first: a first value that is not a number stays
    // both, later ones are passed over.
    static ValueSpan Extremes(const ColumnValues& values)
    {
        const double first = values.first;
        return std::isnan(first) ? ValueSpan{first, first}
                                 : ValueSpan{std::min(first, values.rest.min), std::max(first, values.rest.max)};
    }

    const Trace& trace_;
    std::span<const double> values_;
    const QCPAxis& across_;
    ColumnCuts& cuts_;
    RecentColumns& recent_;
};

} // namespace

const ColumnCuts::Cut& ColumnCuts::Of(const QCPAxis& across, std::size_t first, std::size_t end,
                                      const std::function<Cut()>& make)
{
    const View view{&across, across.range(), across.axisRect()->rect(), across.rangeReversed(), first, end};
    if (view_ != view) {
        cut_ = make();
        view_ = view;
    }
    return cut_;
}

TraceLine::TraceLine(QCPAxis* keyAxis, QCPAxis* valueAxis, const Trace& trace, ColumnCuts& cuts)
    : QCPAbstractPlottable(keyAxis, valueAxis), trace_(trace), cuts_(cuts)
{
}

QCPRange TraceLine::getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const
{
    // The point of step i is at x = i.
    Range steps{0, static_cast<double>(trace_.Size()) - 1};
    if (inSignDomain == QCP::sdNegative)
        steps.max = std::min(steps.max, -1.0);
    if (inSignDomain == QCP::sdPositive)
        steps.min = std::max(steps.min, 1.0);
    foundRange = steps.min <= steps.max;
    return {steps.min, steps.max};
}

QCPRange TraceLine::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain, const QCPRange& inKeyRange) const
{
    std::span<const double> values = trace_.Values();
    if (inKeyRange != QCPRange()) {
        const StepStretch steps = StepsWithin(values.size(), inKeyRange.lower, inKeyRange.upper);
        values = values.subspan(steps.first, steps.end - steps.first);
    }
    ValueSpan span{std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (double value : values)
        if ((inSignDomain != QCP::sdNegative || value < 0) && (inSignDomain != QCP::sdPositive || value > 0))
            span = {std::min(span.min, value), std::max(span.max, value)};
    foundRange = span.min <= span.max;
    return {span.min, span.max};
}

QVector<QPointF> TraceLine::LinePixels() const
{
    const QCPAxis& across = *keyAxis();
    const QCPAxis& up = *valueAxis();
    QVector<QPointF> pixels;
    for (const LinePoint& point : LineSampler(trace_, across, cuts_, recent_).Sample())
        pixels.append(QPointF(across.coordToPixel(point.x), up.coordToPixel(point.y)));
    return pixels;
}

void TraceLine::draw(QCPPainter* painter)
{
    if (!keyAxis() || !valueAxis() || keyAxis()->range().size() <= 0 || trace_.Empty())
        return;
    if (pen().style() == Qt::NoPen || pen().color().alpha() == 0)
        return;
    const QVector<QPointF> lines = LinePixels();
    painter->setBrush(Qt::NoBrush);
    painter->setPen(pen());
    applyDefaultAntialiasingHint(painter);
    if (!DrawSegments(*painter, lines, parentPlot()->plottingHints()))
        DrawPolyline(*painter, lines);
}

void TraceLine::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const
{
    applyDefaultAntialiasingHint(painter);
    painter->setPen(pen());
    // Past the right edge, as the library's, so a dashed pen's last dash
    // shows.
    const double middle = rect.top() + rect.height() / 2.0;
    painter->drawLine(QLineF(rect.left(), middle, rect.right() + 5, middle));
}
