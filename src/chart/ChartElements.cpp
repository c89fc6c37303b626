#include "chart/ChartElements.h"

#include "chart/PlotChart.h"

#include <QStaticText>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

// The title, which measures its text once for each text and font, and
// keeps its picture while its text, look and place stay: the library's
// measures it twice at every layout and lays it out again at every replot,
// and the chart is laid out and replotted at every view change.
class ChartTitle final : public QCPTextElement {
public:
    using QCPTextElement::QCPTextElement;

protected:
    QSize minimumOuterSizeHint() const override { return Measured().minimum; }
    QSize maximumOuterSizeHint() const override { return Measured().maximum; }

    // The library's drawing, kept as pixels unless the painter forbids
    // caching, as files' painters do: the library's rule for its axes'
    // tick labels.
    void draw(QCPPainter* painter) override
    {
        if (painter->modes().testFlag(QCPPainter::pmNoCaching))
            return QCPTextElement::draw(painter);
        const QPaintDevice& device = *painter->device();
        Look look{text(),
                  selected() ? selectedFont() : font(),
                  selected() ? selectedTextColor() : textColor(),
                  textFlags(),
                  rect(),
                  device.devicePixelRatioF(),
                  device.logicalDpiX(),
                  device.logicalDpiY(),
                  painter->renderHints()};
        if (!picture_ || !(picture_->look == look))
            picture_ = Drawn(look, device);
        if (picture_->image.isNull())
            return QCPTextElement::draw(painter);
        painter->drawImage(picture_->at, picture_->image);
    }

private:
    struct Sizes {
        QString text;
        QFont font;
        QMargins margins;
        QSize minimum;
        QSize maximum;
    };

    // What the title's pixels depend on.
    struct Look {
        QString text;
        QFont font;
        QColor colour;
        int flags;
        QRect rect;
        qreal pixelRatio;
        int dpiX;
        int dpiY;
        QPainter::RenderHints hints;
        bool operator==(const Look&) const = default;
    };

    // The picture and where it goes; none where the library's drawing
    // is not kept.
    struct Picture {
        Look look;
        QPoint at;
        QImage image;
    };

    const Sizes& Measured() const
    {
        if (!sizes_ || sizes_->text != text() || sizes_->font != font() || sizes_->margins != margins())
            sizes_ = Sizes{text(), font(), margins(), QCPTextElement::minimumOuterSizeHint(),
                           QCPTextElement::maximumOuterSizeHint()};
        return *sizes_;
    }

    // The library's drawing of the title on a clear picture that reaches
    // past its rect by a line's height all round, as a glyph may overhang
    // the text's advance; with the resolution and hints of the chart's
    // painter. None where the text does not fit the rect, as before the
    // first layout: the library may draw it beyond.
    Picture Drawn(const Look& look, const QPaintDevice& device)
    {
        const QFontMetrics metrics(look.font, &device);
        const QRect text = metrics.boundingRect(look.rect, Qt::AlignCenter | look.flags, look.text);
        if (look.text.isEmpty() || !look.rect.contains(text))
            return {look, {}, {}};
        const int pad = metrics.height();
        const QRect reach = look.rect.adjusted(-pad, -pad, pad, pad);
        constexpr double kInchesPerMetre = 1 / 0.0254;
        QImage image((QSizeF(reach.size()) * look.pixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(look.pixelRatio);
        image.setDotsPerMeterX(qRound(look.dpiX * kInchesPerMetre));
        image.setDotsPerMeterY(qRound(look.dpiY * kInchesPerMetre));
        image.fill(Qt::transparent);
        QCPPainter painter(&image);
        painter.setRenderHints(look.hints, true);
        painter.setRenderHints(~look.hints, false);
        painter.translate(-reach.topLeft());
        QCPTextElement::draw(&painter);
        return {look, reach.topLeft(), image};
    }

    mutable std::optional<Sizes> sizes_;
    std::optional<Picture> picture_;
};

// A legend entry that lays its name out once: the library's lays it out
// anew for the entry's size at every layout and twice more at every
// replot, most of what a legend of fifteen entries costs.
class ChartLegendItem final : public QCPPlottableLegendItem {
public:
    ChartLegendItem(QCPLegend* legend, QCPAbstractPlottable* line) : QCPPlottableLegendItem(legend, line), line_(*line)
    {
    }

protected:
    QSize minimumOuterSizeHint() const override
    {
        const QSize icon = parentLegend()->iconSize();
        const QRect text = Text().rect;
        return {icon.width() + parentLegend()->iconTextPadding() + text.width() + margins().left() + margins().right(),
                std::max(text.height(), icon.height()) + margins().top() + margins().bottom()};
    }

    // As the library draws an entry: the name beside the icon, its top
    // level with the icon's.
    void draw(QCPPainter* painter) override
    {
        const QSize icon = parentLegend()->iconSize();
        painter->setPen(QPen(getTextColor()));
        painter->setFont(getFont());
        painter->drawStaticText(QPointF(rect().x() + icon.width() + parentLegend()->iconTextPadding(), rect().y()),
                                Text().text);
        // Every line of the charts draws its icon; another plottable's
        // entry shows its name alone.
        const auto* line = dynamic_cast<const LegendIcon*>(&line_);
        if (!line)
            return;
        painter->save();
        const QRect iconRect(rect().topLeft(), icon);
        painter->setClipRect(iconRect, Qt::IntersectClip);
        line->DrawIcon(painter, iconRect);
        painter->restore();
    }

private:
    struct LaidOut {
        QString name;
        QFont font;
        QStaticText text;
        QRect rect;
    };

    const LaidOut& Text() const
    {
        const QString name = line_.name();
        const QFont font = getFont();
        if (!laidOut_ || laidOut_->name != name || laidOut_->font != font) {
            QStaticText text(name);
            text.setTextFormat(Qt::PlainText);
            text.prepare(QTransform(), font);
            const QRect rect = QFontMetrics(font).boundingRect(0, 0, 0, parentLegend()->iconSize().height(),
                                                               Qt::TextDontClip, name);
            laidOut_ = LaidOut{name, font, std::move(text), rect};
        }
        return *laidOut_;
    }

    const QCPAbstractPlottable& line_;
    mutable std::optional<LaidOut> laidOut_;
};

} // namespace

QCPTextElement* NewChartTitle(QCustomPlot* chart)
{
    return new ChartTitle(chart);
}

QCPAbstractLegendItem* NewChartLegendItem(QCPLegend* legend, QCPAbstractPlottable* line)
{
    return new ChartLegendItem(legend, line);
}
