#include "ui/TraceChart.h"

#include <QChart>
#include <QGraphicsSimpleTextItem>
#include <QLegend>
#include <QLineSeries>
#include <QList>
#include <QPointF>
#include <QValueAxis>

#include <utility>

namespace {

QColor ToQColor(Colour colour)
{
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

constexpr int kTitleMargin = 6;

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
    ShowRanges(kEmptyChartRanges);
}

void TraceChart::ShowTraces(std::span<const Trace, kTraceCount> traces)
{
    for (std::size_t i = 0; i < traces.size(); ++i) {
        auto* series = new QLineSeries;
        series->setName(QString::fromStdString(traces[i].Title()));
        series->setColor(ToQColor(traces[i].LineColour()));
        chart()->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
        series_[i] = series;
        traces_[i] = &traces[i];
        // Differs from any revision, so the first Refresh() copies every trace.
        shownRevisions_[i] = traces[i].Revision() - 1;
    }
    Refresh();
}

void TraceChart::Refresh()
{
    if (!traces_[0])
        return;
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        if (traces_[i]->Revision() == shownRevisions_[i])
            continue;
        QList<QPointF> points;
        points.reserve(static_cast<qsizetype>(traces_[i]->Points().size()));
        for (const TracePoint& point : traces_[i]->Points())
            points.append(QPointF(point.x, point.y));
        // One replace per series: appending point by point redraws the
        // whole line each time.
        series_[i]->replace(points);
        shownRevisions_[i] = traces_[i]->Revision();
    }
    ShowRanges(SpanningRanges(traces_));
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
