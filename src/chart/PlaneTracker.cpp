#include "chart/PlaneTracker.h"

#include "chart/ChartTracker.h"
#include "chart/ReadoutBox.h"
#include "toolkit/Conversions.h"

#include <QCoreApplication>
#include <QMouseEvent>

namespace {

// Between the point and the box.
constexpr double kPointGap = 8;

} // namespace

PlaneTracker::PlaneTracker(MechanicalChart& chart)
    : QObject(&chart), chart_(chart), box_(new ReadoutBox(chart)), ring_(NewReadoutRing(chart))
{
    chart_.installEventFilter(this);
    // The curves and the ranges may change under a still pointer, and the
    // points may come in reach once sorted.
    connect(&chart_.View(), &ChartViewState::Changed, this, &PlaneTracker::Follow);
    connect(&chart_, &MechanicalChart::Sorted, this, &PlaneTracker::Follow);
}

QString PlaneTracker::BoxText() const
{
    return box_->visible() ? box_->text() : QString();
}

bool PlaneTracker::eventFilter(QObject*, QEvent* event)
{
    if (event->type() == QEvent::MouseMove) {
        pointer_ = static_cast<const QMouseEvent&>(*event).position();
        Follow();
    }
    else if (event->type() == QEvent::Leave || event->type() == QEvent::ContextMenu ||
             event->type() == QEvent::Resize) {
        pointer_.reset();
        Hide();
    }
    return false;
}

void PlaneTracker::Follow()
{
    const bool over = pointer_ && chart_.InPlotArea(*pointer_);
    const std::optional<NearestPlanePoint> nearest = over ? chart_.NearestPoint(*pointer_, kReach) : std::nullopt;
    if (over && !nearest && chart_.Sorting())
        return ShowSorting();
    const PlotMapping mapping = chart_.Mapping();
    const PlanePoint* point = nearest ? &nearest->point : nullptr;
    const QPointF at = point ? QPointF(mapping.PixelAtX(point->Md), mapping.PixelAtY(point->Omega)) : QPointF();
    if (!point || !mapping.Contains({at.x(), at.y()}))
        return Hide();
    QString text = QString::fromStdString(chart_.Curves()[static_cast<std::size_t>(nearest->curve)].name);
    if (point->step)
        text += QLatin1Char('\n') + QCoreApplication::translate("PlaneTracker", "Шаг %1").arg(QString::fromStdString(toolkit::StepText(*point->step)));
    text += QStringLiteral("\nMd: %1\nOmega: %2").arg(ReadoutNumber(point->Md), ReadoutNumber(point->Omega));
    box_->setText(text);
    box_->PlaceAt(at + QPointF(kPointGap, kPointGap));
    ring_->position->setCoords(point->Md, point->Omega);
    ring_->setPen(QPen(chart_.TraceColour(nearest->curve), 1.5));
    ring_->setVisible(true);
    box_->setVisible(true);
    chart_.RepaintMarks();
}

void PlaneTracker::ShowSorting()
{
    // As the statistics of a long run show while they are taken.
    box_->setText(QStringLiteral("…"));
    box_->PlaceAt(*pointer_ + QPointF(kPointGap, kPointGap));
    ring_->setVisible(false);
    box_->setVisible(true);
    chart_.RepaintMarks();
}

void PlaneTracker::Hide()
{
    if (!box_->visible())
        return;
    box_->setVisible(false);
    ring_->setVisible(false);
    chart_.RepaintMarks();
}
