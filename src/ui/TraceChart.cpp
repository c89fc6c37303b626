#include "ui/TraceChart.h"

#include "ui/ChartExporter.h"
#include "ui/ChartInteraction.h"
#include "ui/ChartMenu.h"
#include "ui/ChartPanner.h"
#include "ui/ChartTracker.h"
#include "ui/ChartZoomer.h"

#include <QChart>
#include <QContextMenuEvent>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QList>
#include <QPointF>
#include <QValueAxis>

#include <initializer_list>
#include <utility>

namespace {

QColor ToQColor(Colour colour)
{
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

constexpr int kTitleMargin = 6;

// How much of its colour a hidden trace's legend entry keeps.
constexpr float kDimmedAlpha = 0.3f;

} // namespace

TraceChart::TraceChart(QWidget* parent)
    : QChartView(parent), axisX_(new QValueAxis), axisY_(new QValueAxis), title_(new QGraphicsSimpleTextItem)
{
    auto* chart = new QChart;
    chart->setBackgroundBrush(ToQColor(clSilver));
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundVisible(false);
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    // The view starts with a chart of its own, which setChart() lets go of
    // without deleting.
    QChart* const placeholder = this->chart();
    setChart(chart);
    delete placeholder;
    setBackgroundBrush(ToQColor(clSilver));
    setRenderHint(QPainter::Antialiasing, false);

    // QChart's own title is always centred: the title is an item of its own,
    // kept at the top right, with room made for it above the plot.
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(21);
    titleFont.setBold(true);
    title_->setFont(titleFont);
    title_->setBrush(ToQColor(clBlue));
    title_->setZValue(10);
    scene()->addItem(title_);
    QMargins margins = chart->margins();
    margins.setTop(margins.top() + QFontMetrics(titleFont).height());
    chart->setMargins(margins);

    // Ticks at round values from 0, whatever the range.
    for (QValueAxis* axis : {axisX_, axisY_}) {
        axis->setTickType(QValueAxis::TicksDynamic);
        axis->setTickAnchor(0.0);
        axis->setLabelFormat(QStringLiteral("%g"));
    }

    tracker_ = std::make_unique<ChartTracker>(*this);
    panner_ = std::make_unique<ChartPanner>(*this);
    zoomer_ = std::make_unique<ChartZoomer>(*this);
    exporter_ = std::make_unique<ChartExporter>(*this);
    menu_ = std::make_unique<ChartMenu>(*this, *exporter_);
    // The tracker follows the pointer with no button held.
    viewport()->setMouseTracking(true);
    // The plot area moves when tick labels change width.
    connect(chart, &QChart::plotAreaChanged, this, [this] { tracker_->Update(); });
    ShowRanges(kEmptyChartRanges);
}

TraceChart::~TraceChart() = default;

void TraceChart::ShowTraces(std::span<const Trace, kTraceCount> traces)
{
    traces_.emplace(traces);
    for (std::size_t i = 0; i < traces.size(); ++i) {
        auto* series = new QLineSeries;
        series->setName(QString::fromStdString(traces[i].Title()));
        series->setColor(ToQColor(traces[i].LineColour()));
        chart()->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
        series_[i] = series;
        ToggleOnLegendClick(static_cast<int>(i));
        // Differs from any revision, so the first Refresh() copies every trace.
        shownRevisions_[i] = traces[i].Revision() - 1;
    }
    Refresh();
}

void TraceChart::Refresh()
{
    if (!traces_)
        return;
    for (int i = 0; i < kTraceCount; ++i) {
        const Trace& trace = traces_->At(i);
        const auto slot = static_cast<std::size_t>(i);
        if (trace.Revision() == shownRevisions_[slot])
            continue;
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(trace.Points().size()));
        for (const TracePoint& point : trace.Points())
            points.append(QPointF(point.x, point.y));
        // One replace per series: appending point by point redraws the
        // whole line each time.
        series_[slot]->replace(points);
        shownRevisions_[slot] = trace.Revision();
    }
    ShowCurrentRanges();
}

void TraceChart::ShowUserRanges(const AxisRanges& ranges)
{
    if (!Viewable(ranges))
        return;
    userRanges_ = ranges;
    ShowCurrentRanges();
}

void TraceChart::ResetZoom()
{
    userRanges_.reset();
    ShowCurrentRanges();
}

void TraceChart::SetTraceShown(int index, bool shown)
{
    traces_->SetShown(index, shown);
    SeriesOf(index)->setVisible(shown);
    DimLegendEntry(index, !shown);
    ShowCurrentRanges();
}

void TraceChart::ToggleOnLegendClick(int index)
{
    for (QLegendMarker* marker : chart()->legend()->markers(SeriesOf(index)))
        connect(marker, &QLegendMarker::clicked, this,
                [this, index] { SetTraceShown(index, !traces_->IsShown(index)); });
}

void TraceChart::DimLegendEntry(int index, bool dimmed)
{
    const float alpha = dimmed ? kDimmedAlpha : 1.0f;
    auto faded = [alpha](QColor colour) {
        colour.setAlphaF(alpha);
        return colour;
    };
    for (QLegendMarker* marker : chart()->legend()->markers(SeriesOf(index))) {
        // The legend drops a hidden series' entry; it stays, so a click can
        // bring the trace back.
        marker->setVisible(true);
        QBrush label = marker->labelBrush();
        label.setColor(faded(label.color()));
        marker->setLabelBrush(label);
        QBrush brush = marker->brush();
        brush.setColor(faded(brush.color()));
        marker->setBrush(brush);
        QPen pen = marker->pen();
        pen.setColor(faded(pen.color()));
        marker->setPen(pen);
    }
}

void TraceChart::ShowCurrentRanges()
{
    ShowRanges(userRanges_.value_or(traces_ ? traces_->Spanning() : kEmptyChartRanges));
    tracker_->Update();
}

void TraceChart::ShowRanges(const AxisRanges& ranges)
{
    for (auto [axis, range] : {std::pair{axisX_, ranges.x}, std::pair{axisY_, ranges.y}}) {
        // The axis lays out its ticks after each change: the range and the
        // interval are set in the order that never puts a fine interval on a
        // vast range, which would mean billions of ticks.
        const double interval = NiceTickInterval(range);
        if (interval > axis->tickInterval()) {
            axis->setTickInterval(interval);
            axis->setRange(range.min, range.max);
        } else {
            axis->setRange(range.min, range.max);
            axis->setTickInterval(interval);
        }
    }
}

PlotMapping TraceChart::Mapping() const
{
    const QRectF area = viewportTransform().mapRect(chart()->mapRectToScene(chart()->plotArea()));
    return {{area.left(), area.top(), area.width(), area.height()},
            {{axisX_->min(), axisX_->max()}, {axisY_->min(), axisY_->max()}}};
}

bool TraceChart::InPlotArea(QPointF viewPixel) const
{
    return Mapping().Contains(ToPixel(viewPixel));
}

QPointF TraceChart::SceneAt(QPointF viewPixel) const
{
    return viewportTransform().inverted().map(viewPixel);
}

QString TraceChart::TitleText() const
{
    return title_->text();
}

void TraceChart::SetTitleText(const QString& text)
{
    title_->setText(text);
    PlaceTitle();
}

void TraceChart::resizeEvent(QResizeEvent* event)
{
    QChartView::resizeEvent(event);
    PlaceTitle();
}

void TraceChart::PlaceTitle()
{
    const QRectF area = chart()->geometry();
    title_->setPos(area.right() - title_->boundingRect().width() - kTitleMargin - chart()->margins().right(),
                   area.top() + kTitleMargin);
}

template <typename Event>
bool TraceChart::Offer(bool (ChartInteraction::*handler)(const Event&), Event* event)
{
    // The tracker first: it follows every move and takes none.
    for (ChartInteraction* interaction :
         std::initializer_list<ChartInteraction*>{tracker_.get(), panner_.get(), zoomer_.get()}) {
        if ((interaction->*handler)(*event)) {
            event->accept();
            return true;
        }
    }
    return false;
}

void TraceChart::mousePressEvent(QMouseEvent* event)
{
    if (!Offer(&ChartInteraction::MousePressed, event))
        QChartView::mousePressEvent(event);
}

void TraceChart::mouseMoveEvent(QMouseEvent* event)
{
    if (!Offer(&ChartInteraction::MouseMoved, event))
        QChartView::mouseMoveEvent(event);
}

void TraceChart::mouseReleaseEvent(QMouseEvent* event)
{
    if (!Offer(&ChartInteraction::MouseReleased, event))
        QChartView::mouseReleaseEvent(event);
}

void TraceChart::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!Offer(&ChartInteraction::MouseDoubleClicked, event))
        QChartView::mouseDoubleClickEvent(event);
}

void TraceChart::wheelEvent(QWheelEvent* event)
{
    if (!Offer(&ChartInteraction::WheelTurned, event))
        QChartView::wheelEvent(event);
}

void TraceChart::keyPressEvent(QKeyEvent* event)
{
    if (!Offer(&ChartInteraction::KeyPressed, event))
        QChartView::keyPressEvent(event);
}

void TraceChart::leaveEvent(QEvent* event)
{
    tracker_->Hide();
    QChartView::leaveEvent(event);
}

void TraceChart::contextMenuEvent(QContextMenuEvent* event)
{
    // The pointer is on the menu now, and a saved picture should not show
    // the tracker.
    tracker_->Hide();
    menu_->Popup(event->globalPos());
    event->accept();
}
