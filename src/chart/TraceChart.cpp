#include "chart/TraceChart.h"

#include "chart/LegendPlace.h"

#include "chart/ChartLines.h"
#include "chart/MeasuredLines.h"
#include "plot/AxisUnits.h"
#include "plot/ReportStyle.h"

#include <QCoreApplication>
#include <algorithm>
#include <utility>

namespace {

// Ticks on the step axis are whole steps: a run has no step 1975.5.
class StepTicker : public QCPAxisTicker {
protected:
    double getTickStep(const QCPRange& range) override { return std::max(1.0, QCPAxisTicker::getTickStep(range)); }
};

// Ticks at round times, on an axis whose values are steps: the library
// places them in seconds, and they go back to steps to be drawn.
class SecondsTicker : public QCPAxisTicker {
public:
    explicit SecondsTicker(double secondsPerStep) : secondsPerStep_(secondsPerStep) {}

    void generate(const QCPRange& range, const QLocale& locale, QChar formatChar, int precision,
                  QVector<double>& ticks, QVector<double>* subTicks, QVector<QString>* tickLabels) override
    {
        const QCPRange seconds(TimeOfStep(range.lower, secondsPerStep_), TimeOfStep(range.upper, secondsPerStep_));
        QCPAxisTicker::generate(seconds, locale, formatChar, precision, ticks, subTicks, tickLabels);
        for (QVector<double>* positions : {&ticks, subTicks})
            if (positions)
                for (double& position : *positions)
                    position = StepOfTime(position, secondsPerStep_);
    }

private:
    double secondsPerStep_;
};

// The axes' titles; empty while titles are off, except in the style for
// reports, which always titles its axes and gives each quantity its own.
QString XAxisTitle(const AxisUnits& units)
{
    if (!units.titles && !units.report)
        return {};
    return units.seconds ? QCoreApplication::translate("TraceChart", "t, с")
                         : QCoreApplication::translate("TraceChart", "Шаг");
}

QString YAxisTitle(const AxisUnits& units)
{
    if (units.report)
        return QCoreApplication::translate("TraceChart", "Md, Н·м");
    return units.titles ? QCoreApplication::translate("TraceChart", "Md, Н·м; Omega, рад/с") : QString();
}

QString RightAxisTitle(const AxisUnits& units)
{
    // The currents' axis is titled whatever the units say: amperes are read
    // on no other.
    return units.report ? QCoreApplication::translate("TraceChart", "Omega, рад/с")
                        : QCoreApplication::translate("TraceChart", "Is, ia, А");
}

bool ShowsCurrent(const ShownTraces& traces, int index)
{
    return IsCurrent(AxisQuantity(traces, index));
}

QPen LinePen(Colour colour, LineStyle style)
{
    return QPen(ToQColor(colour), 1, style == LineStyle::Dashed ? Qt::DashLine : Qt::SolidLine);
}

} // namespace

TraceChart::TraceChart(QWidget* parent)
    : PlotChart(parent), cuts_(std::make_unique<ColumnCuts>()), measured_(std::make_unique<MeasuredLines>(*this))
{
    // In the style for reports the left axis spans Md alone, and out of it
    // Md and Omega without the currents.
    View().SetSpanning([this] { return Spanning().left; });
    // The base's first layout could not reach this override.
    ApplyAxes();
}

void TraceChart::ApplyAxes()
{
    const AxisUnits& units = View().Units();
    ShowReportLook(units.report);
    xAxis->setTicker(units.seconds ? QSharedPointer<QCPAxisTicker>(new SecondsTicker(units.secondsPerStep))
                                   : QSharedPointer<QCPAxisTicker>(new StepTicker));
    xAxis->setLabel(XAxisTitle(units));
    yAxis->setLabel(YAxisTitle(units));
    yAxis2->setLabel(RightAxisTitle(units));
    yAxis2->setVisible(units.report);
    StyleLines(units.report);
    measured_->Apply(units.secondsPerStep, units.report, *yAxis, *yAxis2);
    if (!units.report)
        return ApplyCurrentAxis();
    // The right axis follows the left one's zoom and pan.
    const ReportSpans spans = Spanning();
    const Range right = FollowingRange(View().Ranges().y, Drawable(spans.left).y, Drawable({spans.left.x, spans.right}).y);
    yAxis2->setRange(right.min, right.max);
}

void TraceChart::ApplyCurrentAxis()
{
    const ShownTraces& traces = View().Traces();
    const std::vector<int> shown = traces.ShownIndices();
    const std::vector<const MeasuredSeries*> measured = measured_->ShownSeries();
    if (std::none_of(shown.begin(), shown.end(), [&traces](int i) { return ShowsCurrent(traces, i); }) &&
        std::none_of(measured.begin(), measured.end(),
                     [](const MeasuredSeries* series) { return IsCurrent(series->quantity); }))
        return;
    yAxis2->setVisible(true);
    // Zoomed or panned, the currents move with Md and Omega, each span
    // whole in the unzoomed view.
    const ReportSpans spans = Spanning();
    const Range right = FollowingRange(View().Ranges().y, Drawable(spans.left).y, Drawable({spans.left.x, spans.right}).y);
    yAxis2->setRange(right.min, right.max);
}

void TraceChart::StyleLines(bool report)
{
    const ShownTraces& traces = View().Traces();
    const std::vector<Colour> colours = report ? ReportColours(traces) : std::vector<Colour>();
    for (int i = 0; i < traces.Count(); ++i) {
        const DrawnTrace& drawn = lines_[static_cast<std::size_t>(i)];
        TraceLine& line = *drawn.line;
        // A report charts Md and Omega: the currents have no axis there.
        line.setVisible(!report || !ShowsCurrent(traces, i));
        if (!report) {
            line.setValueAxis(ShowsCurrent(traces, i) ? yAxis2 : yAxis);
            line.setPen(LinePen(traces.At(i).LineColour(), drawn.style));
            line.setName(QString::fromStdString(LegendName(traces.At(i).Title())));
            continue;
        }
        // Md solid and Omega dashed, told apart on paper without colour.
        const bool omega = AxisQuantity(traces, i) == Quantity::Omega;
        line.setValueAxis(omega ? yAxis2 : yAxis);
        line.setPen(LinePen(colours[static_cast<std::size_t>(i)], omega ? LineStyle::Dashed : LineStyle::Solid));
        line.setName(QString::fromStdString(drawn.reportName.value_or(traces.Heading(i))));
    }
}

ReportSpans TraceChart::Spanning() const
{
    const ShownTraces& traces = View().Traces();
    const AxisUnits& units = View().Units();
    ReportSpans spans = units.report ? ReportSpanning(traces) : CurrentSpanning(traces);
    const MeasuredSpans measured = SpansOf(measured_->ShownSeries(), units.secondsPerStep, units.report);
    spans.left = Including(spans.left, measured.x, measured.left);
    spans.right = Including({spans.left.x, spans.right}, measured.x, measured.right).y;
    return spans;
}

std::vector<QCPAbstractPlottable*> TraceChart::Overlays() const
{
    return measured_->Graphs();
}

bool TraceChart::InLegend(int index) const
{
    const ShownTraces& traces = View().Traces();
    return !View().Units().report || (!traces.At(index).Points().empty() && !ShowsCurrent(traces, index));
}

TraceChart::~TraceChart() = default;

int TraceChart::AddTrace(const Trace& trace, std::string heading, LineStyle style, std::optional<RunTrace> of,
                         std::optional<std::string> reportName)
{
    // Registers itself with the chart; the view's change gives it its pen
    // and name.
    auto* line = new TraceLine(xAxis, yAxis, trace, *cuts_);
    lines_.push_back(DrawnTrace{line, trace.Revision(), style, std::move(reportName)});
    return View().AddTrace(trace, std::move(heading), of);
}

void TraceChart::InsertTrace(int index, const Trace& trace, std::string heading, RunTrace of, bool shown)
{
    auto* line = new TraceLine(xAxis, yAxis, trace, *cuts_);
    lines_.insert(lines_.begin() + index, DrawnTrace{line, trace.Revision(), LineStyle::Solid, std::nullopt});
    View().InsertTrace(index, trace, std::move(heading), of, shown);
}

void TraceChart::RemoveTrace(int index)
{
    removePlottable(Line(index));
    lines_.erase(lines_.begin() + index);
    View().RemoveTrace(index);
}

QCPAxis* TraceChart::ValueAxisOf(int index) const
{
    return Line(index)->valueAxis();
}

QCPAbstractPlottable* TraceChart::Plottable(int index) const
{
    return Line(index);
}

void TraceChart::Refresh()
{
    const ShownTraces& traces = View().Traces();
    bool changed = false;
    for (int i = 0; i < traces.Count(); ++i) {
        std::uint64_t& drawn = lines_[static_cast<std::size_t>(i)].drawnRevision;
        changed = changed || traces.At(i).Revision() != drawn;
        drawn = traces.At(i).Revision();
    }
    if (changed)
        View().PointsChanged();
}

LineStyle TraceChart::TraceStyle(int index) const
{
    return lines_.at(static_cast<std::size_t>(index)).style;
}

void TraceChart::WriteCsv(CsvStyle style, const CsvWrite& write) const
{
    const ShownTraces& traces = View().Traces();
    const AxisUnits& units = View().Units();
    const auto writeTable = [&](const CsvWrite& to) {
        WriteCsvTable(traces, traces.ShownWithPoints(), style,
                      units.seconds ? std::optional(units.secondsPerStep) : std::nullopt, to);
    };
    if (const std::optional<CsvSamples> samples = Measured().ShownSamples())
        WriteCsvWithSamples(*samples, style, write, writeTable);
    else
        writeTable(write);
}
