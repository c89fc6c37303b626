#include "chart/TraceChart.h"

#include "plot/AxisUnits.h"
#include "plot/Colour.h"
#include "toolkit/Exception.h"

#include <algorithm>
#include <utility>

namespace {

QColor ToQColor(Colour colour)
{
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

// How much of its colour a hidden trace's legend entry keeps.
constexpr int kDimmedAlpha = 77;

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

// A line the mouse never picks: the readouts find points themselves. The
// library's hit test walks every point under the pointer on each wheel turn
// and click, a pass over a million-step run per line.
class TraceLine : public QCPGraph {
public:
    using QCPGraph::QCPGraph;
    double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }
};

QColor Faded(QColor colour, bool faded)
{
    colour.setAlpha(faded ? kDimmedAlpha : 255);
    return colour;
}

} // namespace

TraceChart::TraceChart(QWidget* parent)
    : QCustomPlot(parent), view_(new ChartViewState(this)), title_(new QCPTextElement(this))
{
    setBackground(ToQColor(clSilver));
    // Lines are drawn as they are, unsmoothed, on screen: it is faster and
    // the dense random runs stay crisp. Pictures for files are smoothed.
    setNotAntialiasedElements(QCP::aeAll);
    // On screen, solid lines are drawn segment by segment, which is faster
    // than one polyline; pictures for files keep the polylines.
    setPlottingHint(QCP::phFastPolylines, true);
    for (QCPAxis* axis : {xAxis, yAxis}) {
        axis->grid()->setPen(QPen(Qt::white, 0));
        axis->grid()->setZeroLinePen(Qt::NoPen);
    }
    // The tracker and other marks go on a layer of their own, so moving
    // them repaints no line.
    addLayer(QStringLiteral("marks"));
    layer(QStringLiteral("marks"))->setMode(QCPLayer::lmBuffered);
    BuildLayout();

    connect(view_, &ChartViewState::Changed, this, &TraceChart::ApplyView);
    connect(this, &QCustomPlot::legendClick, this,
            [this](QCPLegend*, QCPAbstractLegendItem* item, QMouseEvent*) { ToggleOnLegendClick(item); });
    ApplyView();
}

TraceChart::~TraceChart() = default;

void TraceChart::BuildLayout()
{
    // The title above everything, right-justified; below it the plot, and
    // the legend to its right, outside it, centred in height.
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPixelSize(21);
    titleFont.setBold(true);
    title_->setFont(titleFont);
    title_->setTextColor(ToQColor(clBlue));
    title_->setTextFlags(Qt::AlignRight | Qt::AlignVCenter);
    title_->setMargins(QMargins(0, 6, 18, 0));
    // One column: the title spans the plot and the legend.
    auto* plotAndLegend = new QCPLayoutGrid;
    QCPAxisRect* plot = axisRect();
    plotLayout()->take(plot);
    plotLayout()->simplify();
    plotLayout()->addElement(0, 0, title_);
    plotLayout()->addElement(1, 0, plotAndLegend);
    plotAndLegend->addElement(0, 0, plot);
    auto* legendColumn = new QCPLayoutGrid;
    plotAndLegend->addElement(0, 1, legendColumn);
    plotAndLegend->setColumnStretchFactor(1, 0.001);
    legendColumn->addElement(0, 0, new QCPLayoutElement);
    legendColumn->addElement(1, 0, legend);
    legendColumn->addElement(2, 0, new QCPLayoutElement);
    legend->setVisible(true);
    legend->setBrush(Qt::NoBrush);
    legend->setBorderPen(Qt::NoPen);
    legend->setIconSize(14, 10);
    legend->setSelectableParts(QCPLegend::spNone);
}

int TraceChart::AddTrace(const Trace& trace, std::string heading, LineStyle style)
{
    // Registers itself with the chart, as addGraph() would.
    QCPGraph* graph = new TraceLine(xAxis, yAxis);
    graph->setName(QString::fromStdString(trace.Title()));
    graph->setPen(QPen(ToQColor(trace.LineColour()), 1, style == LineStyle::Dashed ? Qt::DashLine : Qt::SolidLine));
    Draw(lines_.emplace_back(Line{graph, 0}), trace);
    return view_->AddTrace(trace, std::move(heading));
}

void TraceChart::RemoveTrace(int index)
{
    removeGraph(Graph(index));
    lines_.erase(lines_.begin() + index);
    view_->RemoveTrace(index);
}

void TraceChart::Draw(Line& line, const Trace& trace)
{
    QVector<double> keys;
    QVector<double> values;
    keys.reserve(static_cast<qsizetype>(trace.Points().size()));
    values.reserve(keys.capacity());
    for (const TracePoint& point : trace.Points()) {
        keys.append(point.x);
        values.append(point.y);
    }
    // Traces hold their points in ascending x.
    line.graph->setData(keys, values, true);
    line.drawnRevision = trace.Revision();
}

void TraceChart::Refresh()
{
    const ShownTraces& traces = view_->Traces();
    bool changed = false;
    for (int i = 0; i < traces.Count(); ++i) {
        Line& line = lines_[static_cast<std::size_t>(i)];
        if (traces.At(i).Revision() == line.drawnRevision)
            continue;
        Draw(line, traces.At(i));
        changed = true;
    }
    if (changed)
        view_->PointsChanged();
}

std::size_t TraceChart::PointsShown(int index) const
{
    return static_cast<std::size_t>(Graph(index)->data()->size());
}

QColor TraceChart::TraceColour(int index) const
{
    return Graph(index)->pen().color();
}

void TraceChart::ApplyView()
{
    // Laid out and drawn now, so those who follow the view after the chart
    // find it in place; the screen takes the frame at the next paint.
    const ShownTraces& traces = view_->Traces();
    for (int i = 0; i < traces.Count(); ++i) {
        Graph(i)->setVisible(traces.IsShown(i));
        DimLegendEntry(i);
    }
    const AxisUnits& units = view_->Units();
    xAxis->setTicker(units.seconds ? QSharedPointer<QCPAxisTicker>(new SecondsTicker(units.secondsPerStep))
                                   : QSharedPointer<QCPAxisTicker>(new StepTicker));
    xAxis->setLabel(QString::fromStdString(XAxisTitle(units)));
    yAxis->setLabel(QString::fromStdString(YAxisTitle(units)));
    const AxisRanges ranges = view_->Ranges();
    xAxis->setRange(ranges.x.min, ranges.x.max);
    yAxis->setRange(ranges.y.min, ranges.y.max);
    replot(rpQueuedRefresh);
}

AxisRanges TraceChart::ShownRanges() const
{
    return {{xAxis->range().lower, xAxis->range().upper}, {yAxis->range().lower, yAxis->range().upper}};
}

PlotMapping TraceChart::Mapping() const
{
    // As the axes map values, to the pixel.
    const double left = xAxis->coordToPixel(xAxis->range().lower);
    const double top = yAxis->coordToPixel(yAxis->range().upper);
    return {{left, top, xAxis->coordToPixel(xAxis->range().upper) - left, yAxis->coordToPixel(yAxis->range().lower) - top},
            ShownRanges()};
}

bool TraceChart::InPlotArea(QPointF pixel) const
{
    return Mapping().Contains({pixel.x(), pixel.y()});
}

QRect TraceChart::LegendEntryRect(int index) const
{
    const QCPPlottableLegendItem* item = legend->itemWithPlottable(Graph(index));
    return item ? item->outerRect() : QRect();
}

void TraceChart::ToggleOnLegendClick(QCPAbstractLegendItem* item)
{
    auto* entry = qobject_cast<QCPPlottableLegendItem*>(item);
    if (!entry)
        return;
    const auto line = std::find_if(lines_.begin(), lines_.end(),
                                   [entry](const Line& candidate) { return candidate.graph == entry->plottable(); });
    if (line == lines_.end())
        return;
    const int index = static_cast<int>(line - lines_.begin());
    view_->SetTraceShown(index, !view_->Traces().IsShown(index));
}

void TraceChart::FillLegend(bool shownOnly)
{
    legend->clearItems();
    for (int i = 0; i < TraceCount(); ++i)
        if (!shownOnly || view_->Traces().IsShown(i))
            Graph(i)->addToLegend();
    for (int i = 0; i < TraceCount(); ++i)
        DimLegendEntry(i);
}

void TraceChart::DimLegendEntry(int index)
{
    // A hidden trace keeps its entry, faded, so a click can bring it back.
    const bool hidden = !view_->Traces().IsShown(index);
    QCPGraph* line = Graph(index);
    if (QCPPlottableLegendItem* entry = legend->itemWithPlottable(line))
        entry->setTextColor(Faded(Qt::black, hidden));
    QPen pen = line->pen();
    pen.setColor(Faded(pen.color(), hidden));
    line->setPen(pen);
}

void TraceChart::PaintPicture(QPaintDevice& device, qreal scale, bool vector)
{
    QCPPainter painter;
    if (!painter.begin(&device))
        throw toolkit::Exception("картинку графика не удалось нарисовать");
    painter.setMode(QCPPainter::pmVectorized, vector);
    painter.setMode(QCPPainter::pmNoCaching);
    painter.scale(scale, scale);
    const QCP::AntialiasedElements onScreen = notAntialiasedElements();
    setNotAntialiasedElements(QCP::aeNone);
    setAntialiasedElements(QCP::aeAll);
    FillLegend(true);
    toPainter(&painter, width(), height());
    FillLegend(false);
    setAntialiasedElements(QCP::aeNone);
    setNotAntialiasedElements(onScreen);
    replot(rpQueuedReplot);
}

QString TraceChart::TitleText() const
{
    return title_->text();
}

void TraceChart::SetTitleText(const QString& text)
{
    title_->setText(text);
    replot(rpQueuedReplot);
}
