#include "chart/ClippedSvg.h"

#include <QBuffer>
#include <QFontInfo>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

#include <array>
#include <charconv>
#include <optional>
#include <vector>

namespace {

// What the generator's own engine draws itself, so the painter hands this
// one the same calls.
QPaintEngine::PaintEngineFeatures SvgFeatures()
{
    QSvgGenerator svg;
    const QPaintEngine& engine = *static_cast<QPaintDevice&>(svg).paintEngine();
    QPaintEngine::PaintEngineFeatures features;
    for (unsigned bit = 0; bit < 32; ++bit) {
        const auto feature = static_cast<QPaintEngine::PaintEngineFeature>(1u << bit);
        if (engine.hasFeature(feature))
            features |= feature;
    }
    return features;
}

QByteArray SvgNumber(double value)
{
    std::array<char, 32> text{};
    const auto result = std::to_chars(text.data(), text.data() + text.size(), value);
    return QByteArray(text.data(), result.ptr - text.data());
}

// A run of the drawing under one clip, written by a generator of its own.
struct Run {
    std::optional<QRectF> clip;
    QByteArray svg;
};

// What lies between a generator's definitions and its end: the drawing,
// in one group that sets the defaults.
QByteArray Drawing(const QByteArray& svg)
{
    const QByteArray defsEnd = "</defs>\n";
    const qsizetype start = svg.indexOf(defsEnd) + defsEnd.size();
    return svg.mid(start, svg.lastIndexOf("</svg>") - start);
}

// The first run's heading, a clip path for each clipped run, and the runs
// in their order, each clipped one grouped in the rectangle it was drawn
// under.
// Clip paths are SVG 1.1's: the generator's own heading names SVG Tiny 1.2,
// which has none.
QByteArray Joined(const std::vector<Run>& runs)
{
    const QByteArray& first = runs.front().svg;
    QByteArray heading = first.left(first.indexOf("<defs>"));
    heading.replace(R"( version="1.2" baseProfile="tiny")", R"( version="1.1")");
    QByteArray defs = "<defs>\n";
    QByteArray drawing;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const Run& run = runs[i];
        if (!run.clip) {
            drawing += Drawing(run.svg);
            continue;
        }
        const QByteArray id = "clip" + SvgNumber(static_cast<double>(i));
        defs += R"(<clipPath id=")" + id + R"("><rect x=")" + SvgNumber(run.clip->x()) + R"(" y=")" +
                SvgNumber(run.clip->y()) + R"(" width=")" + SvgNumber(run.clip->width()) + R"(" height=")" +
                SvgNumber(run.clip->height()) + "\"/></clipPath>\n";
        drawing += R"(<g clip-path="url(#)" + id + ")\">\n" + Drawing(run.svg) + "</g>\n";
    }
    return heading + defs + "</defs>\n" + drawing + "</svg>\n";
}

} // namespace

// Hands each call on to a generator's painter, a new generator whenever
// the clip changes, and joins their files at the end.
class ClippedSvg::Engine final : public QPaintEngine {
public:
    Engine(const ClippedSvg& picture, QIODevice& output)
        : QPaintEngine(SvgFeatures()), picture_(picture), output_(output)
    {
    }

    bool begin(QPaintDevice*) override
    {
        runs_.clear();
        clip_.reset();
        return true;
    }

    bool end() override
    {
        // A picture with nothing drawn is a whole file too.
        if (runs_.empty())
            Writer();
        EndRun();
        const QByteArray svg = Joined(runs_);
        return output_.write(svg) == svg.size();
    }

    void updateState(const QPaintEngineState& changed) override
    {
        if (changed.state() & (DirtyClipEnabled | DirtyClipPath | DirtyClipRegion)) {
            const std::optional<QRectF> clip = PainterClip();
            if (clip != clip_)
                EndRun();
            clip_ = clip;
        }
        if (writer_)
            Take(changed.state());
    }

    void drawPath(const QPainterPath& path) override { Writer().drawPath(path); }
    void drawLines(const QLineF* lines, int count) override { Writer().drawLines(lines, count); }
    void drawRects(const QRectF* rects, int count) override { Writer().drawRects(rects, count); }
    void drawEllipse(const QRectF& rect) override { Writer().drawEllipse(rect); }
    void drawPoints(const QPointF* points, int count) override { Writer().drawPoints(points, count); }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        QPainter& painter = Writer();
        switch (mode) {
        case PolylineMode:
            return painter.drawPolyline(points, count);
        case OddEvenMode:
            return painter.drawPolygon(points, count, Qt::OddEvenFill);
        case WindingMode:
            return painter.drawPolygon(points, count, Qt::WindingFill);
        case ConvexMode:
            return painter.drawConvexPolygon(points, count);
        }
    }

    void drawPixmap(const QRectF& rect, const QPixmap& pixmap, const QRectF& source) override
    {
        Writer().drawPixmap(rect, pixmap, source);
    }

    void drawTiledPixmap(const QRectF& rect, const QPixmap& pixmap, const QPointF& offset) override
    {
        Writer().drawTiledPixmap(rect, pixmap, offset);
    }

    void drawImage(const QRectF& rect, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override
    {
        Writer().drawImage(rect, image, source, flags);
    }

    // Glyphs without their characters (none of the charts' texts) are
    // drawn as the outlines the base engine makes of them.
    void drawTextItem(const QPointF& at, const QTextItem& text) override
    {
        if (text.text().isEmpty())
            return QPaintEngine::drawTextItem(at, text);
        QPainter& painter = Writer();
        painter.setFont(Named(text.font()));
        painter.drawText(at, text.text());
    }

    Type type() const override { return SVG; }

private:
    struct Generator {
        QBuffer file;
        QSvgGenerator svg;
        QPainter painter;
    };

    static QFont Named(const QFont& font)
    {
        QFont named = font;
        named.setFamily(FamilyDrawn(font));
        return named;
    }

    // The rectangle the painter clips to, in the picture's units; none if
    // it clips nothing of the picture away.
    std::optional<QRectF> PainterClip() const
    {
        const QPainter& outer = *painter();
        if (!outer.hasClipping())
            return std::nullopt;
        const QRectF clip = outer.combinedTransform().mapRect(outer.clipBoundingRect());
        if (clip.contains(QRectF(QPointF(), picture_.size())))
            return std::nullopt;
        return clip;
    }

    // The painter of the run under the current clip, begun with the outer
    // painter's whole state when the run's first call comes.
    QPainter& Writer()
    {
        if (!writer_) {
            writer_ = std::make_unique<Generator>();
            writer_->file.open(QIODevice::WriteOnly);
            writer_->svg.setOutputDevice(&writer_->file);
            writer_->svg.setSize(picture_.size());
            writer_->svg.setViewBox(picture_.viewBoxF());
            writer_->svg.setResolution(picture_.resolution());
            writer_->svg.setTitle(picture_.title());
            writer_->svg.setDescription(picture_.description());
            writer_->painter.begin(&writer_->svg);
            Take(AllDirty);
        }
        return writer_->painter;
    }

    void EndRun()
    {
        if (!writer_)
            return;
        writer_->painter.end();
        runs_.push_back({clip_, writer_->file.data()});
        writer_.reset();
    }

    // Everything but the clip: that is the runs' own.
    void Take(DirtyFlags flags)
    {
        const QPainter& outer = *painter();
        QPainter& inner = writer_->painter;
        if (flags & DirtyPen)
            inner.setPen(outer.pen());
        if (flags & DirtyBrush)
            inner.setBrush(outer.brush());
        if (flags & DirtyBrushOrigin)
            inner.setBrushOrigin(outer.brushOrigin());
        if (flags & DirtyFont)
            inner.setFont(Named(outer.font()));
        if (flags & DirtyBackground)
            inner.setBackground(outer.background());
        if (flags & DirtyBackgroundMode)
            inner.setBackgroundMode(outer.backgroundMode());
        if (flags & DirtyTransform)
            inner.setTransform(outer.combinedTransform());
        if (flags & DirtyHints) {
            inner.setRenderHints(inner.renderHints(), false);
            inner.setRenderHints(outer.renderHints());
        }
        if (flags & DirtyOpacity)
            inner.setOpacity(outer.opacity());
    }

    const ClippedSvg& picture_;
    QIODevice& output_;
    std::vector<Run> runs_;
    std::optional<QRectF> clip_;
    std::unique_ptr<Generator> writer_;
};

ClippedSvg::ClippedSvg(QIODevice& output, QSize size, int dotsPerInch)
    : engine_(std::make_unique<Engine>(*this, output))
{
    setSize(size);
    setViewBox(QRect(QPoint(), size));
    setResolution(dotsPerInch);
}

ClippedSvg::~ClippedSvg() = default;

QString ClippedSvg::FamilyDrawn(const QFont& font)
{
    return QFontInfo(font).family();
}

QPaintEngine* ClippedSvg::paintEngine() const
{
    return engine_.get();
}
