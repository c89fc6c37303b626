#include "chart/ChartTracker.h"

#include "chart/MeasuredLines.h"

#include "chart/ChartNavigator.h"
#include "chart/ReadoutBox.h"
#include "chart/TraceChart.h"
#include "plot/AxisUnits.h"
#include "toolkit/Conversions.h"

#include <QCoreApplication>
#include <QMouseEvent>

#include <algorithm>

namespace {

// Between the line and the box.
constexpr double kLineGap = 6;

} // namespace

QString ReadoutNumber(double value)
{
    return QString::fromStdString(toolkit::FloatToStr(value));
}

QCPItemTracer* NewReadoutRing(QCustomPlot& chart)
{
    auto* ring = new QCPItemTracer(&chart);
    ring->setLayer(QStringLiteral("marks"));
    ring->setStyle(QCPItemTracer::tsCircle);
    ring->setSize(7);
    ring->setBrush(Qt::white);
    ring->setVisible(false);
    return ring;
}

ChartTracker::ChartTracker(TraceChart& chart)
    : QObject(&chart), chart_(chart), line_(new QCPItemStraightLine(&chart)), box_(new ReadoutBox(chart))
{
    line_->setPen(QPen(Qt::darkGray, 0));
    line_->setLayer(QStringLiteral("marks"));
    line_->setVisible(false);
    chart_.installEventFilter(this);
    // The chart has laid itself out for the new view by the time this hears
    // of it, plot area and all.
    connect(&chart_.View(), &ChartViewState::Changed, this, &ChartTracker::Update);
}

bool ChartTracker::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        const auto& move = static_cast<const QMouseEvent&>(*event);
        // A pan changes the view next, and the tracker follows that: the
        // values are looked up once, where the pointer is now.
        if (pointer_ && PansWith(move.buttons(), move.modifiers()))
            pointer_ = move.position();
        else
            Follow(move.position());
    }
    else if (event->type() == QEvent::Leave || event->type() == QEvent::ContextMenu ||
             event->type() == QEvent::Resize)
        // On the menu, and in a picture saved from it, the tracker is gone;
        // a resized chart has its plot area elsewhere under the pointer.
        Hide();
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
    return box_->visible() ? box_->text() : QString();
}

void ChartTracker::Follow(QPointF pointer)
{
    const PlotMapping mapping = chart_.Mapping();
    if (!mapping.Contains({pointer.x(), pointer.y()})) {
        Hide();
        return;
    }
    // Kept while over the area, so Update() finds the values again.
    pointer_ = pointer;
    const std::optional<Readout> readout = chart_.ReadoutAt(mapping.ValueAtX(pointer.x()));
    // The nearest step may lie outside zoomed ranges.
    if (!readout || !mapping.Contains({mapping.PixelAtX(readout->x), pointer.y()})) {
        HideItems();
        return;
    }
    Show(*readout, pointer);
}

void ChartTracker::HideItems()
{
    const bool wasShown = shown_.has_value();
    shown_.reset();
    line_->setVisible(false);
    box_->setVisible(false);
    for (QCPItemTracer* ring : rings_)
        ring->setVisible(false);
    if (wasShown)
        chart_.RepaintMarks();
}

void ChartTracker::Show(const Readout& readout, QPointF pointer)
{
    line_->point1->setCoords(readout.x, 0);
    line_->point2->setCoords(readout.x, 1);
    for (QCPItemTracer* ring : rings_)
        ring->setVisible(false);
    for (const ReadoutValue& value : readout.values) {
        QCPItemTracer& ring = RingOf(value.trace);
        ring.position->setCoords(readout.x, value.y);
        ring.setVisible(true);
    }
    box_->setText(Text(readout));
    PlaceBox(chart_.Mapping().PixelAtX(readout.x), pointer);
    shown_ = readout;
    line_->setVisible(true);
    box_->setVisible(true);
    chart_.RepaintMarks();
}

void ChartTracker::PlaceBox(double lineX, QPointF pointer)
{
    const PixelRect area = chart_.Mapping().area;
    const QSizeF size = box_->Size();
    // Right of the line and below the pointer, unless that leaves the plot.
    double left = lineX + kLineGap;
    if (left + size.width() > area.left + area.width)
        left = lineX - kLineGap - size.width();
    const double top = std::max(area.top, std::min(pointer.y() + kLineGap, area.top + area.height - size.height()));
    box_->PlaceAt({left, top});
}

QString ChartTracker::Text(const Readout& readout) const
{
    const AxisUnits& units = chart_.View().Units();
    QString text = units.seconds ? QCoreApplication::translate("ChartTracker", "t = %1 с")
                                       .arg(ReadoutNumber(TimeOfStep(readout.x, units.secondsPerStep)))
                                 : QCoreApplication::translate("ChartTracker", "Шаг %1").arg(QString::fromStdString(toolkit::StepText(readout.x)));
    for (const ReadoutValue& value : readout.values)
        text += QStringLiteral("\n%1: %2")
                    .arg(QString::fromStdString(chart_.View().Traces().Heading(value.trace)), ReadoutNumber(value.y));
    // Measured samples fall between the steps: each is named with its own
    // time.
    for (const MeasuredReading& reading : chart_.Measured().NearestTo(readout.x))
        text += QCoreApplication::translate("ChartTracker", "\n%1 при t = %2 с: %3")
                    .arg(reading.name, ReadoutNumber(reading.seconds), ReadoutNumber(reading.value));
    return text;
}

QCPItemTracer& ChartTracker::RingOf(int trace)
{
    const auto slot = static_cast<std::size_t>(trace);
    while (rings_.size() <= slot)
        rings_.push_back(NewReadoutRing(chart_));
    QCPItemTracer& ring = *rings_[slot];
    ring.setPen(QPen(chart_.TraceColour(trace), 1.5));
    ring.position->setAxes(chart_.xAxis, chart_.ValueAxisOf(trace));
    return ring;
}
