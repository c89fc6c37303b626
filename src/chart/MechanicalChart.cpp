#include "chart/MechanicalChart.h"

#include "chart/LegendPlace.h"

#include "chart/MeasuredLines.h"
#include "chart/PlaneLines.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <utility>

namespace {

// The operating point's mark, large enough to find at a glance on a slide;
// a path's end is marked by a ring as large.
constexpr double kMarkSize = 11;
// Between a labelled point and its label, in pixels.
constexpr int kLabelGap = 6;
// A path lies along the static curve for most of its way: drawn wider, over
// the curve, it stays in sight there.
constexpr double kPathWidth = 2.5;
constexpr double kStaticWidth = 1.5;
// Kloss's formula lies on the static curve: its dashes, wider, show over it.
constexpr double kKlossWidth = 2.5;

QPen PenOf(const PlaneCurve& curve)
{
    switch (curve.kind) {
    case CurveKind::Static:
        return QPen(ToQColor(curve.colour), kStaticWidth);
    case CurveKind::Load:
    case CurveKind::LoadLowest:
    case CurveKind::LoadHighest:
        return QPen(ToQColor(curve.colour), 1.5, Qt::DashDotLine);
    case CurveKind::Kloss:
        return QPen(ToQColor(curve.colour), kKlossWidth, Qt::DashLine);
    case CurveKind::Measured:
        return QPen(ToQColor(kMeasuredLine), 0);
    case CurveKind::OperatingPoint:
    case CurveKind::Breakdown:
    case CurveKind::StartingTorque:
    case CurveKind::Path:
    case CurveKind::PathEnd:
        break;
    }
    return QPen(ToQColor(curve.colour), kPathWidth, curve.dashed ? Qt::DashLine : Qt::SolidLine);
}

// A curve's label, written in the legend's font, as the style for reports
// sets it, above its point and right of it, or left of it where the plot's
// edge would cut it: a breakdown point stands where the curve reaches
// furthest right.
class CurveLabel final : public QCPItemText {
public:
    using QCPItemText::QCPItemText;

protected:
    void draw(QCPPainter* painter) override
    {
        setFont(parentPlot()->legend->font());
        const double end = position->pixelPosition().x() + kLabelGap + QFontMetricsF(font()).horizontalAdvance(text());
        const bool leftward = end > clipRect().right();
        setPositionAlignment((leftward ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignBottom);
        setPadding(leftward ? QMargins(0, 0, kLabelGap, kLabelGap) : QMargins(kLabelGap, 0, 0, kLabelGap));
        QCPItemText::draw(painter);
    }
};

// Sets the line to draw the curve, in place of what it drew.
void DrawAs(PlaneLines& line, const PlaneCurve& curve)
{
    line.setName(QString::fromStdString(LegendName(curve.name)));
    line.setPen(PenOf(curve));
    // A point of the model's curves is a dot; a path's end, a ring.
    const bool dot = curve.kind == CurveKind::OperatingPoint || curve.kind == CurveKind::Breakdown ||
                     curve.kind == CurveKind::StartingTorque;
    const bool end = curve.kind == CurveKind::PathEnd;
    line.SetLined(!dot && !end);
    if (dot)
        line.SetMark(QCPScatterStyle(QCPScatterStyle::ssDisc, ToQColor(curve.colour), kMarkSize));
    else if (end)
        line.SetMark(QCPScatterStyle(QCPScatterStyle::ssCircle, kMarkSize));
    else if (curve.kind == CurveKind::Measured)
        // The torque's dot: the samples stand where torque and speed were
        // taken together.
        line.SetMark(MeasuredDot(Quantity::Md));
    else
        line.SetMark(QCPScatterStyle());
    line.SetPoints(curve.points);
}

} // namespace

MechanicalChart::MechanicalChart(QWidget* parent) : PlotChart(parent)
{
    ApplyAxes();
    View().SetSpanning([this] {
        std::vector<AxisRanges> shown;
        for (int i : ShownIndices())
            shown.push_back(bounds_[static_cast<std::size_t>(i)]);
        return SpanOfBounds(shown);
    });
    // Torque across has no steps: the spiral into the operating point may
    // be zoomed as finely as its labels tell values apart.
    View().SetLimits(ValueLimitsFor);
    // After the chart has shown its entries as the view state says.
    connect(&View(), &ChartViewState::Changed, this, &MechanicalChart::ShowMarksOfShownCurves);
    connect(this, &QCustomPlot::afterLayout, this, [this] { CutAheadOfAFrame(lines_); });
    connect(&indices_, &TrackerIndices::Sorted, this, &MechanicalChart::Sorted);
}

MechanicalChart::~MechanicalChart() = default;

void MechanicalChart::ApplyAxes()
{
    xAxis->setLabel(tr("Md, Н·м"));
    yAxis->setLabel(tr("Omega, рад/с"));
}

void MechanicalChart::ShowCurves(std::vector<PlaneCurve> curves)
{
    std::set<std::string> hidden;
    const ShownTraces& before = View().Traces();
    for (int i = 0; i < before.Count(); ++i)
        if (!before.IsShown(i))
            hidden.insert(before.Heading(i));

    // A run or a pin changes one or two curves at a time: the others keep
    // their lines and legend entries as they are.
    while (lines_.size() > curves.size()) {
        removePlottable(lines_.back());
        lines_.pop_back();
    }
    std::deque<Trace> entries;
    ShownTraces traces;
    std::vector<bool> changed;
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const PlaneCurve& curve = curves[i];
        if (i == lines_.size())
            lines_.push_back(new PlaneLines(xAxis, yAxis));
        changed.push_back(i >= curves_.size() || curve != curves_[i]);
        const int index = traces.Add(entries.emplace_back(curve.name, curve.colour), curve.name);
        traces.SetShown(index, !hidden.contains(curve.name));
    }
    curves_ = std::move(curves);
    // The lines draw the points where they now are.
    bounds_.resize(curves_.size());
    std::vector<const PlanePoints*> kept;
    for (std::size_t i = 0; i < curves_.size(); ++i) {
        kept.push_back(&curves_[i].points);
        if (changed[i]) {
            DrawAs(*lines_[i], curves_[i]);
            bounds_[i] = BoundsOf(curves_[i].points);
        }
        else
            lines_[i]->PointsMoved(curves_[i].points);
    }
    indices_.KeepOnly(kept);
    WriteLabels();
    // Swapped, not assigned: the new entries keep their addresses, which
    // the view state holds.
    entries_.swap(entries);
    View().SetTraces(std::move(traces));
}

QCPAbstractPlottable* MechanicalChart::Plottable(int index) const
{
    return lines_.at(static_cast<std::size_t>(index));
}

bool MechanicalChart::InLegend(int index) const
{
    return curves_.at(static_cast<std::size_t>(index)).kind != CurveKind::PathEnd;
}

bool MechanicalChart::IsShown(int index) const
{
    const PlaneCurve& curve = curves_.at(static_cast<std::size_t>(index));
    if (curve.kind != CurveKind::PathEnd)
        return View().Traces().IsShown(index);
    const auto path = std::find_if(curves_.begin(), curves_.end(), [&curve](const PlaneCurve& other) {
        return other.kind == CurveKind::Path && other.name == curve.name;
    });
    return path != curves_.end() && View().Traces().IsShown(static_cast<int>(path - curves_.begin()));
}

std::vector<int> MechanicalChart::ShownIndices() const
{
    std::vector<int> shown;
    for (int i = 0; i < static_cast<int>(curves_.size()); ++i)
        if (IsShown(i))
            shown.push_back(i);
    return shown;
}

std::vector<const PlaneCurve*> MechanicalChart::ShownCurves() const
{
    std::vector<const PlaneCurve*> shown;
    for (int i : ShownIndices())
        shown.push_back(&curves_[static_cast<std::size_t>(i)]);
    return shown;
}

void MechanicalChart::ShowMarksOfShownCurves()
{
    for (std::size_t i = 0; i < curves_.size(); ++i)
        if (curves_[i].kind == CurveKind::PathEnd)
            lines_[i]->setVisible(IsShown(static_cast<int>(i)));
    for (const auto& [curve, label] : labels_)
        label->setVisible(IsShown(curve));
}

void MechanicalChart::WriteLabels()
{
    for (const auto& [curve, label] : labels_)
        removeItem(label);
    labels_.clear();
    for (std::size_t i = 0; i < curves_.size(); ++i) {
        const PlaneCurve& curve = curves_[i];
        if (curve.label.empty() || curve.points.empty())
            continue;
        auto* label = new CurveLabel(this);
        label->setText(QString::fromStdString(curve.label));
        label->setColor(ToQColor(curve.colour));
        label->position->setCoords(curve.points.front().Md, curve.points.front().Omega);
        labels_.emplace_back(static_cast<int>(i), label);
    }
}

std::vector<int> MechanicalChart::ShownDistinctIndices() const
{
    // A pin shows the points of its run: none of them is nearer again.
    std::vector<int> distinct;
    for (int i : ShownIndices()) {
        const PlanePoints& points = curves_[static_cast<std::size_t>(i)].points;
        if (std::ranges::none_of(distinct, [&](int before) {
                return curves_[static_cast<std::size_t>(before)].points.SharesWith(points);
            }))
            distinct.push_back(i);
    }
    return distinct;
}

bool MechanicalChart::Sorting() const
{
    return std::ranges::any_of(ShownDistinctIndices(),
                               [this](int i) { return indices_.Sorting(curves_[static_cast<std::size_t>(i)].points); });
}

std::optional<NearestPlanePoint> MechanicalChart::NearestPoint(QPointF pixel, double reach) const
{
    // Measured in values scaled to pixels, squared: the axes map values
    // linearly. Each curve's index looks at a small part of its points, at
    // every move of the pointer and every view change, and at none beyond
    // reach.
    const PlotMapping m = Mapping();
    const PlaneScale scale{m.area.width / m.ranges.x.Span(), m.area.height / m.ranges.y.Span()};
    const double md = m.ValueAtX(pixel.x());
    const double omega = m.ValueAtY(pixel.y());
    std::optional<NearestPlanePoint> nearest;
    // The index finds only points strictly nearer than this.
    double best = std::nextafter(reach * reach, std::numeric_limits<double>::infinity());
    bool sorting = false;
    for (int i : ShownDistinctIndices()) {
        const PlanePoints& points = curves_[static_cast<std::size_t>(i)].points;
        const PlaneIndex* index = indices_.Of(points);
        sorting = sorting || !index;
        if (!index)
            continue;
        if (const std::optional<PlaneFound> found = index->Nearest(points, md, omega, scale, best)) {
            nearest = NearestPlanePoint{i, points[found->index]};
            best = found->distance;
        }
    }
    return sorting ? std::nullopt : nearest;
}

void MechanicalChart::WriteCsv(CsvStyle style, const CsvWrite& write) const
{
    // A path's end is its last row already.
    std::vector<const PlaneCurve*> rows = ShownCurves();
    std::erase_if(rows, [](const PlaneCurve* curve) { return curve->kind == CurveKind::PathEnd; });
    WritePlaneCsv(rows, style, write);
}
