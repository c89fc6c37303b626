#include "chart/PlaneLines.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Scales a line keeps its cuts for.
constexpr std::size_t kCuts = 3;

// Dashes narrower than this (the loads' lines, 1.5 wide) come out a pixel
// narrower as pieces than as the painter's outline: the painter dashes them.
constexpr double kWideDashes = 2;

// The pen's dashes in pixels, as the painter lays them out; none if solid.
std::vector<double> PatternOf(const QPen& pen)
{
    std::vector<double> pattern;
    if (pen.style() != Qt::SolidLine)
        for (qreal length : pen.dashPattern())
            pattern.push_back(length * pen.widthF());
    return pattern;
}

// The axis's placement of values, if the line's arithmetic is its own.
std::optional<AxisPlacement> PlacementOf(const QCPAxis& axis)
{
    const bool across = axis.axisType() == QCPAxis::atBottom;
    if ((!across && axis.axisType() != QCPAxis::atLeft) || axis.scaleType() != QCPAxis::stLinear ||
        axis.rangeReversed())
        return std::nullopt;
    const QCPAxisRect& area = *axis.axisRect();
    return AxisPlacement{axis.range().lower, axis.range().size(), static_cast<double>(across ? area.left() : area.bottom()),
                         static_cast<double>(across ? area.width() : area.height()), !across};
}

bool InDomain(double value, QCP::SignDomain domain)
{
    return !std::isnan(value) && (domain == QCP::sdBoth || (domain == QCP::sdPositive && value > 0) ||
                                  (domain == QCP::sdNegative && value < 0));
}

} // namespace

PlaneLines::PlaneLines(QCPAxis* keyAxis, QCPAxis* valueAxis) : QCPAbstractPlottable(keyAxis, valueAxis) {}

PlaneLines::~PlaneLines() = default;

void PlaneLines::SetPoints(PlanePoints points)
{
    points_ = std::move(points);
    cuts_.clear();
}

QCPRange PlaneLines::getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const
{
    QCPRange range(std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity());
    for (std::size_t i = 0; i < points_.size(); ++i)
        if (const double md = points_.Md(i); InDomain(md, inSignDomain))
            range = QCPRange(std::min(range.lower, md), std::max(range.upper, md));
    foundRange = range.lower <= range.upper;
    return foundRange ? range : QCPRange();
}

QCPRange PlaneLines::getValueRange(bool& foundRange, QCP::SignDomain inSignDomain, const QCPRange& inKeyRange) const
{
    const bool anyKey = inKeyRange == QCPRange();
    QCPRange range(std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity());
    for (std::size_t i = 0; i < points_.size(); ++i)
        if (const double omega = points_.Omega(i);
            InDomain(omega, inSignDomain) && (anyKey || inKeyRange.contains(points_.Md(i))))
            range = QCPRange(std::min(range.lower, omega), std::max(range.upper, omega));
    foundRange = range.lower <= range.upper;
    return foundRange ? range : QCPRange();
}

void PlaneLines::draw(QCPPainter* painter)
{
    if (points_.empty() || !mKeyAxis || !mValueAxis)
        return;
    const QPen& pen = mPen;
    if (lined_ && pen.style() != Qt::NoPen && pen.color().alpha() != 0) {
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        applyDefaultAntialiasingHint(painter);
        if (DrawsCut(*painter))
            DrawCut(*painter);
        else
            DrawRuns(*painter);
    }
    if (!mark_.isNone())
        DrawMarks(*painter);
}

bool PlaneLines::DrawsCut(const QCPPainter& painter) const
{
    // Where the library draws segment by segment with an opaque pen, whose
    // pixels are the same however often each is drawn, and for the dashes
    // wide enough to draw as pieces.
    const QPen& pen = painter.pen();
    const QCPPainter::PainterModes modes = painter.modes();
    const bool dashed = pen.style() != Qt::SolidLine;
    return mParentPlot->plottingHints().testFlag(QCP::phFastPolylines) && !painter.antialiasing() &&
           !modes.testFlag(QCPPainter::pmVectorized) && !modes.testFlag(QCPPainter::pmNoCaching) &&
           pen.color().alpha() == 255 && painter.compositionMode() == QPainter::CompositionMode_SourceOver &&
           (!dashed || (!pen.isCosmetic() && pen.widthF() >= kWideDashes)) && PlacementOf(*mKeyAxis) &&
           PlacementOf(*mValueAxis);
}

void PlaneLines::DrawCut(QCPPainter& painter)
{
    QPen pen = painter.pen();
    const AxisPlacement x = *PlacementOf(*mKeyAxis);
    const AxisPlacement y = *PlacementOf(*mValueAxis);
    const Cut& cut = CutFor(x, y, PatternOf(pen), pen.dashOffset() * pen.widthF());
    const double right = *WholeShift(cut.x, x);
    const double down = *WholeShift(cut.y, y);
    const PixelRect around = CutRect();
    QVector<QLine> lines;
    for (const PixelSegment& segment : cut.segments) {
        const PixelSegment moved{{segment.from.x + right, segment.from.y + down},
                                 {segment.to.x + right, segment.to.y + down}};
        if (const std::optional<PixelSegment> in = ClippedTo(moved, around))
            lines.append(QLineF(in->from.x, in->from.y, in->to.x, in->to.y).toLine());
    }
    // As the library draws a line a pixel wide: with the cosmetic pen.
    if (pen.style() != Qt::SolidLine)
        pen.setStyle(Qt::SolidLine);
    else if (qFuzzyCompare(pen.widthF(), 1.0))
        pen.setWidth(0);
    painter.setPen(pen);
    painter.drawLines(lines);
}

const PlaneLines::Cut& PlaneLines::CutFor(AxisPlacement x, AxisPlacement y, const std::vector<double>& pattern,
                                          double offset)
{
    const auto found = std::find_if(cuts_.begin(), cuts_.end(), [&](const Cut& cut) {
        return cut.pattern == pattern && cut.offset == offset && WholeShift(cut.x, x) && WholeShift(cut.y, y);
    });
    if (found != cuts_.end()) {
        std::rotate(cuts_.begin(), found, found + 1);
        return cuts_.front();
    }
    // The points kept at whole pixels go straight into their segments: a
    // random run's path of ten million steps keeps millions of them, to
    // repeat a few hundred segments.
    DistinctSegmentSet segments;
    LinePieces line(pattern, offset);
    std::vector<PixelSegment> pieces;
    const auto keep = [&](PixelPoint point) {
        pieces.clear();
        line.Next(point, pieces);
        for (const PixelSegment& piece : pieces)
            segments.Add(piece);
    };
    points_.WithCoordinates([&](auto at) {
        ThinToWholePixelsOnAllCores(points_.size(), [&](std::size_t i) {
            const auto [md, omega] = at(i);
            return PixelPoint{x.Pixel(md), y.Pixel(omega)};
        }, keep);
    });
    if (cuts_.size() == kCuts)
        cuts_.pop_back();
    cuts_.insert(cuts_.begin(), Cut{x, y, pattern, offset, std::move(segments).Take()});
    return cuts_.front();
}

PixelRect PlaneLines::CutRect() const
{
    // As the library's curve: a stroke's width and half as much again
    // beyond each edge, at least a pixel.
    const double margin = std::max(1.0, mPen.widthF() * 0.75);
    const QCPAxisRect& area = *mKeyAxis->axisRect();
    return {area.left() - margin, area.bottom() - area.height() - margin, area.width() + 2 * margin,
            area.height() + 2 * margin};
}

void PlaneLines::DrawRuns(QCPPainter& painter) const
{
    std::vector<PixelPoint> pixels;
    pixels.reserve(points_.size());
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const QPointF at = coordsToPixels(points_.Md(i), points_.Omega(i));
        pixels.push_back({at.x(), at.y()});
    }
    QPen pen = painter.pen();
    // As the library: a line a pixel wide on screen with the cosmetic pen.
    if (!painter.modes().testFlag(QCPPainter::pmVectorized) && qFuzzyCompare(pen.widthF(), 1.0))
        pen.setWidth(0);
    // The pattern's lengths count in the pen's widths, a hairline's in pixels.
    const double unit = std::max(1.0, pen.widthF());
    const double offset = pen.dashOffset();
    for (const PixelRun& run : RunsIn(pixels, CutRect())) {
        QPolygonF line;
        line.reserve(static_cast<qsizetype>(run.points.size()));
        for (PixelPoint point : run.points)
            line.append(QPointF(point.x, point.y));
        pen.setDashOffset(offset + run.start / unit);
        painter.setPen(pen);
        painter.drawPolyline(line);
    }
}

void PlaneLines::DrawMarks(QCPPainter& painter) const
{
    applyScattersAntialiasingHint(&painter);
    mark_.applyTo(&painter, mPen);
    const QRectF around = QRectF(mKeyAxis->axisRect()->rect()).adjusted(-mark_.size(), -mark_.size(), mark_.size(), mark_.size());
    for (std::size_t i = 0; i < points_.size(); ++i) {
        const QPointF at = coordsToPixels(points_.Md(i), points_.Omega(i));
        if (around.contains(at))
            mark_.drawShape(&painter, at);
    }
}

void PlaneLines::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const
{
    // As the library's curve draws its icon: the line across the middle,
    // past the right edge so a dashed pen's last dash shows, and the mark
    // in the centre.
    if (lined_) {
        applyDefaultAntialiasingHint(painter);
        painter->setPen(mPen);
        const double middle = rect.top() + rect.height() / 2.0;
        painter->drawLine(QLineF(rect.left(), middle, rect.right() + 5, middle));
    }
    if (!mark_.isNone()) {
        applyScattersAntialiasingHint(painter);
        mark_.applyTo(painter, mPen);
        mark_.drawShape(painter, rect.center());
    }
}
