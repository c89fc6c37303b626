#include "chart/PlaneLines.h"

#include "plot/PixelColumns.h"
#include "toolkit/Cores.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

namespace {

// Scales a line keeps its cuts for.
constexpr std::size_t kCuts = 3;

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
        else if (ThinsForFile(*painter))
            DrawThinned(*painter);
        else
            DrawRuns(*painter);
    }
    if (!mark_.isNone())
        DrawMarks(*painter);
}

bool PlaneLines::CutsWith(const QPen& pen) const
{
    // Where the library draws segment by segment with an opaque pen, whose
    // pixels are the same however often each is drawn, and for the dashes
    // wide enough to draw as pieces.
    const bool dashed = pen.style() != Qt::SolidLine;
    return mParentPlot->plottingHints().testFlag(QCP::phFastPolylines) && pen.color().alpha() == 255 &&
           (!dashed || (!pen.isCosmetic() && pen.widthF() >= kWideDashes)) && PlacementOf(*mKeyAxis) &&
           PlacementOf(*mValueAxis);
}

bool PlaneLines::DrawsCut(const QCPPainter& painter) const
{
    const QCPPainter::PainterModes modes = painter.modes();
    return CutsWith(painter.pen()) && !painter.antialiasing() && !modes.testFlag(QCPPainter::pmVectorized) &&
           !modes.testFlag(QCPPainter::pmNoCaching) && painter.compositionMode() == QPainter::CompositionMode_SourceOver;
}

PlaneLines::CutShape PlaneLines::ShapeFor(const QPen& pen) const
{
    return {*PlacementOf(*mKeyAxis), *PlacementOf(*mValueAxis), PatternOf(pen), pen.dashOffset() * pen.widthF()};
}

std::optional<PlaneLines::CutShape> PlaneLines::CutWanted() const
{
    if (points_.empty() || !lined_ || !realVisibility() || !mKeyAxis || !mValueAxis || mPen.style() == Qt::NoPen ||
        !CutsWith(mPen))
        return std::nullopt;
    // Antialiased on screen as the library's hint sets the painter.
    const bool smoothed = !mParentPlot->notAntialiasedElements().testFlag(QCP::aePlottables) &&
                          (mParentPlot->antialiasedElements().testFlag(QCP::aePlottables) || antialiased());
    if (smoothed)
        return std::nullopt;
    CutShape shape = ShapeFor(mPen);
    if (FoundCut(shape))
        return std::nullopt;
    return shape;
}

void PlaneLines::DrawCut(QCPPainter& painter)
{
    QPen pen = painter.pen();
    const CutShape shape = ShapeFor(pen);
    const Cut& cut = CutFor(shape);
    const double right = *WholeShift(cut.shape.x, shape.x);
    const double down = *WholeShift(cut.shape.y, shape.y);
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

const PlaneLines::Cut* PlaneLines::FoundCut(const CutShape& shape) const
{
    // A cut serves a view moved from its own by whole pixels.
    const auto found = std::find_if(cuts_.begin(), cuts_.end(), [&](const auto& cut) {
        return cut->shape.pattern == shape.pattern && cut->shape.offset == shape.offset &&
               WholeShift(cut->shape.x, shape.x) && WholeShift(cut->shape.y, shape.y);
    });
    return found == cuts_.end() ? nullptr : found->get();
}

const PlaneLines::Cut& PlaneLines::CutFor(const CutShape& shape)
{
    if (const Cut* found = FoundCut(shape)) {
        const auto at = std::find_if(cuts_.begin(), cuts_.end(), [found](const auto& cut) { return cut.get() == found; });
        std::rotate(cuts_.begin(), at, at + 1);
        return *found;
    }
    KeepCut(MakeCut(points_, shape, true));
    return *cuts_.front();
}

void PlaneLines::KeepCut(std::shared_ptr<const Cut> cut)
{
    if (cuts_.size() == kCuts)
        cuts_.pop_back();
    cuts_.insert(cuts_.begin(), std::move(cut));
}

std::shared_ptr<const PlaneLines::Cut> PlaneLines::MakeCut(const PlanePoints& points, const CutShape& shape,
                                                           bool onAllCores)
{
    // The points kept at whole pixels go straight into their segments: a
    // random run's path of ten million steps keeps millions of them, to
    // repeat a few hundred segments.
    DistinctSegmentSet segments;
    LinePieces line(shape.pattern, shape.offset);
    std::vector<PixelSegment> pieces;
    const auto keep = [&](PixelPoint point) {
        pieces.clear();
        line.Next(point, pieces);
        for (const PixelSegment& piece : pieces)
            segments.Add(piece);
    };
    points.WithCoordinates([&](auto at) {
        const auto pixelAt = [&](std::size_t i) {
            const auto [md, omega] = at(i);
            return PixelPoint{shape.x.Pixel(md), shape.y.Pixel(omega)};
        };
        if (onAllCores)
            ThinToWholePixelsOnAllCores(points.size(), pixelAt, keep);
        else
            ThinToWholePixels(points.size(), pixelAt, keep);
    });
    return std::make_shared<const Cut>(Cut{shape, std::move(segments).Take()});
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

void CutAheadOfAFrame(const std::vector<PlaneLines*>& lines)
{
    struct Wanted {
        PlaneLines::CutShape shape;
        const PlanePoints* points;
        std::vector<PlaneLines*> lines;
        std::shared_ptr<const PlaneLines::Cut> cut;
    };
    std::vector<Wanted> wanted;
    std::size_t points = 0;
    for (PlaneLines* line : lines) {
        std::optional<PlaneLines::CutShape> shape = line->CutWanted();
        if (!shape)
            continue;
        const auto same = std::find_if(wanted.begin(), wanted.end(), [&](const Wanted& w) {
            return w.shape == *shape && w.points->SharesWith(line->Points());
        });
        if (same != wanted.end()) {
            same->lines.push_back(line);
            continue;
        }
        wanted.push_back({std::move(*shape), &line->Points(), {line}, nullptr});
        points += line->Points().size();
    }
    // One cut alone is thinned on every core; several are made side by side.
    const bool alone = wanted.size() == 1;
    std::atomic<std::size_t> next = 0;
    const auto cut = [&] {
        for (std::size_t i; (i = next++) < wanted.size();)
            wanted[i].cut = PlaneLines::MakeCut(*wanted[i].points, wanted[i].shape, alone);
    };
    {
        std::vector<std::jthread> helpers;
        const std::size_t threads = points < kPointsWorthAThread ? 1 : Cores();
        for (std::size_t t = 1; t < std::min(threads, wanted.size()); ++t)
            helpers.emplace_back(cut);
        cut();
    }
    for (const Wanted& w : wanted)
        for (PlaneLines* line : w.lines)
            line->KeepCut(w.cut);
}

bool PlaneLines::ThinsForFile(const QCPPainter& painter) const
{
    // An SVG's or a PDF's painter, given more points than the plot has
    // pixels around its edge: a run's path of ten million steps, whose
    // every point would go into the file. A picture's painter, which draws
    // no cached frame, given more points than the plot has pixels: drawn
    // one by one they would only cost time, and short of that the picture
    // is the screen's, smoothed.
    const QCPPainter::PainterModes modes = painter.modes();
    const QRect area = mKeyAxis->axisRect()->rect();
    const auto areaPixels = static_cast<std::size_t>(area.width()) * static_cast<std::size_t>(area.height());
    const bool many = modes.testFlag(QCPPainter::pmVectorized)  ? points_.size() > EdgePixels()
                      : modes.testFlag(QCPPainter::pmNoCaching) ? points_.size() > areaPixels
                                                                 : false;
    return many && PlacementOf(*mKeyAxis) && PlacementOf(*mValueAxis);
}

std::size_t PlaneLines::EdgePixels() const
{
    const QRect area = mKeyAxis->axisRect()->rect();
    return static_cast<std::size_t>(2 * (area.width() + area.height()));
}

void PlaneLines::DrawThinned(QCPPainter& painter) const
{
    // The segments the screen draws at whole pixels, each once, at their
    // exact ends: a file as large as the plot, however long the path. The
    // dashes are pieces laid along the whole line, as on screen.
    QPen pen = painter.pen();
    const std::shared_ptr<const Cut> cut = MakeCut(points_, ShapeFor(pen), true);
    const PixelRect around = CutRect();
    QPainterPath path;
    // More segments than the plot's edge has pixels: a random run's cloud,
    // drawn as each pixel column's stretches, as many as the plot has
    // columns or a few times that.
    if (cut->segments.size() > EdgePixels()) {
        for (const ColumnSpan& span : ColumnSpans(cut->segments, around)) {
            const double x = around.left + static_cast<double>(span.column) + 0.5;
            path.moveTo(x, around.top + static_cast<double>(span.top) + 0.5);
            path.lineTo(x, around.top + static_cast<double>(span.bottom) + 0.5);
        }
        pen.setCapStyle(Qt::SquareCap);
    }
    else {
        std::optional<PixelPoint> end;
        for (const PixelSegment& segment : cut->segments) {
            const std::optional<PixelSegment> in = ClippedTo(segment, around);
            if (!in)
                continue;
            // Pieces that join go on as one stretch of the path.
            if (!end || end->x != in->from.x || end->y != in->from.y)
                path.moveTo(in->from.x, in->from.y);
            path.lineTo(in->to.x, in->to.y);
            end = in->to;
        }
    }
    pen.setStyle(Qt::SolidLine);
    painter.setPen(pen);
    painter.drawPath(path);
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
