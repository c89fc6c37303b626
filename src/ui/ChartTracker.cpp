#include "ui/ChartTracker.h"

#include "toolkit/Conversions.h"
#include "ui/TraceChart.h"

#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPen>

#include <algorithm>

namespace {

// Above the series and the title.
constexpr qreal kTrackerZ = 20;
// Between the line and the box, and between the box's edge and its text.
constexpr qreal kGap = 6;

QString Number(double value)
{
    return QString::fromStdString(toolkit::FloatToStr(value));
}

} // namespace

ChartTracker::ChartTracker(TraceChart& chart)
    : chart_(chart), line_(new QGraphicsLineItem), box_(new QGraphicsRectItem), text_(new QGraphicsTextItem(box_))
{
    line_->setPen(QPen(Qt::darkGray, 0));
    box_->setPen(QPen(Qt::darkGray, 0));
    box_->setBrush(QColor(255, 255, 255, 230));
    for (QGraphicsItem* item : {static_cast<QGraphicsItem*>(line_), static_cast<QGraphicsItem*>(box_)}) {
        item->setZValue(kTrackerZ);
        item->setVisible(false);
        chart_.scene()->addItem(item);
    }
}

bool ChartTracker::MouseMoved(const QMouseEvent& event)
{
    Follow(event.position());
    return false;
}

void ChartTracker::Hide()
{
    pointer_.reset();
    HideItems();
}

void ChartTracker::Update()
{
    if (pointer_)
        Follow(*pointer_);
}

QString ChartTracker::BoxText() const
{
    return box_->isVisible() ? text_->toPlainText() : QString();
}

void ChartTracker::Follow(QPointF pointer)
{
    const PlotMapping mapping = chart_.Mapping();
    if (!mapping.Contains(ToPixel(pointer))) {
        Hide();
        return;
    }
    // Kept while over the area, so Update() finds the values again.
    pointer_ = pointer;
    const ShownTraces* traces = chart_.Traces();
    const std::optional<Readout> readout =
        traces ? ReadoutNearest(*traces, mapping.ValueAtX(pointer.x())) : std::nullopt;
    // The nearest step may lie outside zoomed ranges.
    if (!readout || !mapping.Contains({mapping.PixelAtX(readout->x), pointer.y()})) {
        HideItems();
        return;
    }
    Show(*readout, mapping, pointer);
}

void ChartTracker::HideItems()
{
    shown_.reset();
    line_->setVisible(false);
    box_->setVisible(false);
}

void ChartTracker::Show(const Readout& readout, const PlotMapping& mapping, QPointF pointer)
{
    const PixelRect& pixels = mapping.area;
    const QRectF area(chart_.SceneAt({pixels.left, pixels.top}),
                      chart_.SceneAt({pixels.left + pixels.width, pixels.top + pixels.height}));
    const qreal lineX = chart_.SceneAt({mapping.PixelAtX(readout.x), 0}).x();
    line_->setLine(lineX, area.top(), lineX, area.bottom());

    text_->setHtml(Html(readout));
    text_->setPos(kGap / 2, kGap / 2);
    const QSizeF size = text_->boundingRect().size() + QSizeF(kGap, kGap);
    box_->setRect({{0, 0}, size});
    // Right of the line and below the pointer, unless that leaves the plot.
    qreal left = lineX + kGap;
    if (left + size.width() > area.right())
        left = lineX - kGap - size.width();
    const qreal below = chart_.SceneAt(pointer).y() + kGap;
    box_->setPos(left, std::max(area.top(), std::min(below, area.bottom() - size.height())));

    shown_ = readout;
    line_->setVisible(true);
    box_->setVisible(true);
}

QString ChartTracker::Html(const Readout& readout) const
{
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\"><tr><td colspan=\"3\">Шаг %1</td></tr>")
                       .arg(Number(readout.x));
    for (const ReadoutValue& value : readout.values) {
        html += QStringLiteral("<tr><td style=\"color:%1\">&#9632;</td><td>%2</td><td align=\"right\">%3</td></tr>")
                    .arg(chart_.SeriesOf(value.trace)->color().name(), chart_.SeriesOf(value.trace)->name(),
                         Number(value.y));
    }
    return html + QStringLiteral("</table>");
}
