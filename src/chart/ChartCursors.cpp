#include "chart/ChartCursors.h"

#include "chart/TraceChart.h"

#include <QMouseEvent>

namespace {

constexpr std::array<const char*, 2> kNames{"A", "B"};
constexpr Qt::GlobalColor kCursorColour = Qt::darkBlue;

} // namespace

ChartCursors::ChartCursors(TraceChart& chart) : QObject(&chart), chart_(chart)
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        lines_[i] = new QCPItemStraightLine(&chart);
        lines_[i]->setPen(QPen(kCursorColour, 1));
        // The name sits at the top of the plot, on the cursor's step, or
        // against the plot's edge where a flag there would be cut off.
        labels_[i] = new QCPItemText(&chart);
        labels_[i]->setText(QString::fromLatin1(kNames[i]));
        labels_[i]->setColor(Qt::white);
        labels_[i]->setBrush(kCursorColour);
        labels_[i]->setPadding(QMargins(3, 1, 3, 1));
        labels_[i]->setPositionAlignment(Qt::AlignHCenter | Qt::AlignTop);
        labels_[i]->position->setTypeX(QCPItemPosition::ptAbsolute);
        labels_[i]->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
        for (auto* item : std::initializer_list<QCPAbstractItem*>{lines_[i], labels_[i]}) {
            item->setLayer(QStringLiteral("marks"));
            item->setSelectable(false);
            item->setVisible(false);
        }
    }
    chart_.installEventFilter(this);
    // The plot area moves with the view, the window's size and the legend
    // a picture lists: the flags find their places on each layout.
    connect(&chart_, &QCustomPlot::afterLayout, this, &ChartCursors::PlaceFlags);
}

QRectF ChartCursors::FlagRect(int cursor) const
{
    const QCPItemText& label = *labels_.at(static_cast<std::size_t>(cursor));
    return QRectF(label.topLeft->pixelPosition(), label.bottomRight->pixelPosition());
}

void ChartCursors::SetShown(bool shown)
{
    if (shown == IsShown())
        return;
    if (shown)
        steps_ = PlaceCursors(chart_.View().Ranges().x);
    else
        steps_.reset();
    Place();
}

void ChartCursors::MoveTo(int cursor, double x)
{
    if (!steps_)
        return;
    const double step = SnapToStep(x, chart_.View().Ranges().x);
    double& at = steps_->at(static_cast<std::size_t>(cursor));
    if (at == step)
        return;
    at = step;
    Place();
}

bool ChartCursors::eventFilter(QObject*, QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return Pressed(static_cast<QMouseEvent&>(*event));
    case QEvent::MouseMove:
        return Moved(static_cast<QMouseEvent&>(*event));
    case QEvent::MouseButtonRelease:
        if (!dragged_ || static_cast<QMouseEvent&>(*event).button() != Qt::LeftButton)
            return false;
        dragged_.reset();
        return true;
    default:
        return false;
    }
}

bool ChartCursors::Pressed(const QMouseEvent& event)
{
    // With Ctrl the left button pans, whatever is under it.
    if (event.button() != Qt::LeftButton || event.modifiers().testFlag(Qt::ControlModifier))
        return false;
    dragged_ = CursorUnder(event);
    // Taken here, the press reaches neither the zoom rectangle nor the
    // chart's own drag.
    return dragged_.has_value();
}

bool ChartCursors::Moved(const QMouseEvent& event)
{
    if (dragged_)
        MoveTo(*dragged_, chart_.Mapping().ValueAtX(event.position().x()));
    else
        ShowSplitCursor(CursorUnder(event).has_value());
    // The tracker follows the pointer along, showing the values there.
    return false;
}

void ChartCursors::ShowSplitCursor(bool split)
{
    // Set only when it changes: every setting goes to the window system,
    // which draws the pointer anew.
    if (split == chart_.testAttribute(Qt::WA_SetCursor))
        return;
    if (split)
        chart_.setCursor(Qt::SplitHCursor);
    else
        chart_.unsetCursor();
}

std::optional<int> ChartCursors::CursorUnder(const QMouseEvent& event) const
{
    if (!steps_)
        return std::nullopt;
    return CursorNear(chart_.Mapping(), *steps_, {event.position().x(), event.position().y()}, kReach);
}

void ChartCursors::Place()
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (steps_) {
            const double step = (*steps_)[i];
            lines_[i]->point1->setCoords(step, 0);
            lines_[i]->point2->setCoords(step, 1);
        }
        lines_[i]->setVisible(IsShown());
        labels_[i]->setVisible(IsShown());
    }
    PlaceFlags();
    chart_.RepaintMarks();
    emit Changed();
}

void ChartCursors::PlaceFlags()
{
    if (!steps_)
        return;
    const PlotMapping mapping = chart_.Mapping();
    const double right = mapping.area.left + mapping.area.width;
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        const double width = FlagRect(static_cast<int>(i)).width();
        const double centre = FlagCentre(mapping.PixelAtX((*steps_)[i]), width, mapping.area.left, right);
        labels_[i]->position->setCoords(centre, 0);
    }
}
