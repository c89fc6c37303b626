#include "chart/MeasuredLines.h"

#include "chart/PlotChart.h"
#include "plot/AxisUnits.h"
#include "plot/Readout.h"

#include <qcustomplot.h>

#include <QCoreApplication>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

void Widen(Range& range, double value)
{
    // A missing sample (NaN) widens nothing.
    if (std::isfinite(value)) {
        range.min = std::min(range.min, value);
        range.max = std::max(range.max, value);
    }
}

bool OnRight(Quantity quantity, bool report)
{
    return report ? quantity == Quantity::Omega : IsCurrent(quantity);
}

// A graph whose legend entry shows its dots and line, as the runs' lines'
// entries show theirs.
class MeasuredGraph final : public QCPGraph, public LegendIcon {
public:
    using QCPGraph::QCPGraph;
    void DrawIcon(QCPPainter* painter, const QRectF& rect) const override { drawLegendIcon(painter, rect); }
};

} // namespace

QCPScatterStyle MeasuredDot(Quantity quantity)
{
    constexpr std::array kShapes{QCPScatterStyle::ssDisc, QCPScatterStyle::ssSquare, QCPScatterStyle::ssTriangle,
                                 QCPScatterStyle::ssDiamond};
    return {kShapes[static_cast<std::size_t>(quantity)], Qt::black, Qt::black, 4};
}

std::vector<double> MeasuredKeys(const std::vector<double>& seconds, double secondsPerStep)
{
    std::vector<double> keys;
    keys.reserve(seconds.size());
    for (double t : seconds)
        keys.push_back(StepOfTime(t, secondsPerStep));
    return keys;
}

MeasuredSpans SpansOf(const std::vector<const MeasuredSeries*>& series, double secondsPerStep, bool report)
{
    MeasuredSpans spans{{kInfinity, -kInfinity}, {kInfinity, -kInfinity}, {kInfinity, -kInfinity}};
    for (const MeasuredSeries* shown : series) {
        const MeasuredSeries& one = *shown;
        // A report charts no currents.
        if (report && IsCurrent(one.quantity))
            continue;
        Range& values = OnRight(one.quantity, report) ? spans.right : spans.left;
        for (std::size_t i = 0; i < one.values.size(); ++i)
            if (std::isfinite(one.values[i])) {
                Widen(values, one.values[i]);
                Widen(spans.x, StepOfTime(one.seconds[i], secondsPerStep));
            }
    }
    return spans;
}

AxisRanges Including(AxisRanges found, Range x, Range y)
{
    Widen(found.x, x.min);
    Widen(found.x, x.max);
    Widen(found.y, y.min);
    Widen(found.y, y.max);
    return found;
}

MeasuredLines::~MeasuredLines() = default;

void MeasuredLines::Show(std::vector<MeasuredSeries> series)
{
    Clear();
    series_ = std::move(series);
    for (const MeasuredSeries& one : series_) {
        // Registers itself with the chart, which owns it.
        auto* graph = new MeasuredGraph(chart_.xAxis, chart_.yAxis);
        const QString quantity = QString::fromUtf8(QuantityName(one.quantity));
        graph->setScatterStyle(one.residual ? QCPScatterStyle(QCPScatterStyle::ssCross, Qt::red, 4) : MeasuredDot(one.quantity));
        graph->setLineStyle(one.residual ? QCPGraph::lsNone : QCPGraph::lsLine);
        graph->setName(one.residual ? QCoreApplication::translate("MeasuredLines", "%1 (остаток подбора)").arg(quantity)
                                    : QCoreApplication::translate("MeasuredLines", "%1 (измерено)").arg(quantity));
        graphs_.push_back(graph);
    }
}

void MeasuredLines::Clear()
{
    for (QCPGraph* graph : graphs_)
        chart_.removeGraph(graph);
    graphs_.clear();
    series_.clear();
    keys_.clear();
    ++revision_;
    keyedFor_.reset();
    shownOutOfReport_.reset();
}

std::vector<QCPAbstractPlottable*> MeasuredLines::Graphs() const
{
    return {graphs_.begin(), graphs_.end()};
}

std::vector<const MeasuredSeries*> MeasuredLines::ShownSeries() const
{
    std::vector<const MeasuredSeries*> shown;
    for (const NamedSeries& named : ShownNamed())
        shown.push_back(named.series);
    return shown;
}

std::vector<MeasuredLines::NamedSeries> MeasuredLines::ShownNamed() const
{
    std::vector<NamedSeries> shown;
    for (std::size_t i = 0; i < graphs_.size(); ++i)
        if (graphs_[i]->visible())
            shown.push_back({graphs_[i]->name(), &series_[i]});
    return shown;
}

std::optional<CsvSamples> MeasuredLines::ShownSamples() const
{
    std::optional<CsvSamples> samples;
    for (const MeasuredSeries* one : ShownSeries())
        if (!one->residual) {
            if (!samples)
                samples.emplace(CsvSamples{one->seconds, {}});
            samples->columns.push_back({one->quantity, one->values});
        }
    return samples;
}

std::vector<MeasuredReading> MeasuredLines::NearestTo(double step) const
{
    std::vector<MeasuredReading> readings;
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        const MeasuredSeries& one = series_[i];
        if (!graphs_[i]->visible())
            continue;
        if (const std::optional<std::size_t> at = NearestSample(keys_[i], one.values, step))
            readings.push_back({graphs_[i]->name(), one.seconds[*at], one.values[*at]});
    }
    return readings;
}

void MeasuredLines::Apply(double secondsPerStep, bool report, QCPAxis& left, QCPAxis& right)
{
    const bool rekey = keyedFor_ != secondsPerStep;
    keyedFor_ = secondsPerStep;
    // A report charts no currents; out of its style they are shown as the
    // user left them.
    if (report && !shownOutOfReport_) {
        shownOutOfReport_.emplace();
        for (QCPGraph* graph : graphs_)
            shownOutOfReport_->push_back(graph->visible());
    }
    if (!report && shownOutOfReport_) {
        for (std::size_t i = 0; i < graphs_.size(); ++i)
            graphs_[i]->setVisible((*shownOutOfReport_)[i]);
        shownOutOfReport_.reset();
    }
    for (std::size_t i = 0; i < graphs_.size(); ++i) {
        QCPGraph& graph = *graphs_[i];
        const MeasuredSeries& one = series_[i];
        if (rekey) {
            keys_.resize(graphs_.size());
            keys_[i] = MeasuredKeys(one.seconds, secondsPerStep);
            graph.setData(QVector<double>(keys_[i].begin(), keys_[i].end()),
                          QVector<double>(one.values.begin(), one.values.end()), true);
        }
        graph.setValueAxis(OnRight(one.quantity, report) ? &right : &left);
        if (report && IsCurrent(one.quantity))
            graph.setVisible(false);
        QColor line = ToQColor(kMeasuredLine);
        line.setAlpha(graph.visible() ? 255 : 77);
        graph.setPen(QPen(line, 0));
    }
}
