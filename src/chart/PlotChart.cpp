#include "chart/PlotChart.h"

#include "chart/ChartElements.h"
#include "chart/LegendPlace.h"

#include "plot/Colour.h"
#include "toolkit/Exception.h"

#include <cstddef>
#include <vector>

namespace {

// The most entries the legend lists in one column.
constexpr int kLegendRows = 28;

// The grid of the style for reports: light, so that it reads on paper
// without competing with the lines.
const QColor kReportGrid(0xDC, 0xDC, 0xDC);

// How much of its colour a hidden entry's legend item keeps.
constexpr int kDimmedAlpha = 77;

// The font in the report's family, or as it is.
QFont InReport(QFont font, bool report)
{
    if (report)
        font.setFamily(kReportFontFamily);
    return font;
}

QColor Faded(QColor colour, bool faded)
{
    colour.setAlpha(faded ? kDimmedAlpha : 255);
    return colour;
}

} // namespace

QColor ToQColor(Colour colour)
{
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

PlotChart::PlotChart(QWidget* parent)
    : QCustomPlot(parent), view_(new ChartViewState(this)), title_(NewChartTitle(this)), marks_(nullptr),
      ownLocale_(locale()), ownAxisFont_(xAxis->tickLabelFont()), ownLegendFont_(legend->font())
{
    setBackground(ToQColor(clSilver));
    // Lines are drawn as they are, unsmoothed, on screen: it is faster and
    // the dense random runs stay crisp. Pictures for files are smoothed.
    setNotAntialiasedElements(QCP::aeAll);
    // On screen, solid lines are drawn segment by segment, which is faster
    // than one polyline; pictures for files keep the polylines.
    setPlottingHint(QCP::phFastPolylines, true);
    // The legend lists the view state's entries, in its order, in entries
    // of the chart's own.
    setAutoAddPlottableToLegend(false);
    for (QCPAxis* axis : {xAxis, yAxis}) {
        axis->grid()->setPen(QPen(Qt::white, 0));
        axis->grid()->setZeroLinePen(Qt::NoPen);
    }
    // The chart covers itself whole with its background, so the window
    // need not paint its own under it first at every frame.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The tracker and other marks go on a layer of their own, so moving
    // them repaints no line. The zoom rectangle joins them there, and the
    // library's own overlay layer shares the lines' buffer: one buffer
    // fewer to clear at each replot and to blend at each frame.
    addLayer(QStringLiteral("marks"));
    marks_ = layer(QStringLiteral("marks"));
    marks_->setMode(QCPLayer::lmBuffered);
    layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    selectionRect()->setLayer(marks_);
    BuildLayout();

    connect(view_, &ChartViewState::Changed, this, &PlotChart::ApplyView);
    connect(this, &QCustomPlot::beforeReplot, this, [this] { replotQueued_ = false; });
    connect(this, &QCustomPlot::legendClick, this,
            [this](QCPLegend*, QCPAbstractLegendItem* item, QMouseEvent*) { ToggleOnLegendClick(item); });
    ApplyView();
}

PlotChart::~PlotChart() = default;

void PlotChart::BuildLayout()
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
    // A column holds as many entries as the designed window's height has
    // room for: the six live traces and eleven runs' pins. More go into
    // further columns rather than past the chart's foot.
    legend->setFillOrder(QCPLayoutGrid::foRowsFirst, false);
    legend->setWrap(kLegendRows);
}

void PlotChart::ApplyView()
{
    // Laid out now, so those who follow the view after the chart find the
    // plot area in place and put their marks on it; drawn once, marks and
    // all, when they are done, before the next frame.
    const ShownTraces& traces = view_->Traces();
    ApplyAxes();
    if (!LegendListsEntries())
        FillLegend(false);
    for (int i = 0; i < traces.Count(); ++i) {
        Plottable(i)->setVisible(traces.IsShown(i));
        DimLegendEntry(i);
    }
    const AxisRanges ranges = view_->Ranges();
    xAxis->setRange(ranges.x.min, ranges.x.max);
    yAxis->setRange(ranges.y.min, ranges.y.max);
    PlaceLegend(*this, kLegendRows);
    QCustomPlot::updateLayout();
    laidOutFor_ = viewport();
    // Put off as the library's rpQueuedReplot does, but a replot done
    // meanwhile (a picture for a file, a test) leaves nothing to do.
    if (!replotQueued_) {
        replotQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (replotQueued_)
                    replot();
            },
            Qt::QueuedConnection);
    }
}

void PlotChart::updateLayout()
{
    const bool laidOut = laidOutFor_ == viewport();
    laidOutFor_.reset();
    if (laidOut)
        return;
    PlaceLegend(*this, kLegendRows);
    QCustomPlot::updateLayout();
}

void PlotChart::RepaintMarks()
{
    // A replot on its way draws the marks with everything else.
    if (!replotQueued_)
        marks_->replot();
}

AxisRanges PlotChart::ShownRanges() const
{
    return {{xAxis->range().lower, xAxis->range().upper}, {yAxis->range().lower, yAxis->range().upper}};
}

PlotMapping PlotChart::Mapping() const
{
    // As the axes map values, to the pixel.
    const double left = xAxis->coordToPixel(xAxis->range().lower);
    const double top = yAxis->coordToPixel(yAxis->range().upper);
    return {{left, top, xAxis->coordToPixel(xAxis->range().upper) - left, yAxis->coordToPixel(yAxis->range().lower) - top},
            ShownRanges()};
}

bool PlotChart::InPlotArea(QPointF pixel) const
{
    return Mapping().Contains({pixel.x(), pixel.y()});
}

QRect PlotChart::LegendEntryRect(int index) const
{
    const QCPPlottableLegendItem* item = legend->itemWithPlottable(Plottable(index));
    return item ? item->outerRect() : QRect();
}

void PlotChart::ToggleOnLegendClick(QCPAbstractLegendItem* item)
{
    auto* entry = qobject_cast<QCPPlottableLegendItem*>(item);
    if (!entry)
        return;
    for (int i = 0; i < view_->Traces().Count(); ++i)
        if (Plottable(i) == entry->plottable())
            return view_->SetTraceShown(i, !view_->Traces().IsShown(i));
    // An overlay is no trace of the view: it shows or hides itself.
    QCPAbstractPlottable& overlay = *entry->plottable();
    overlay.setVisible(!overlay.visible());
    DimLegendItem(overlay, !overlay.visible());
    view_->PointsChanged();
}

std::vector<int> PlotChart::LegendEntries() const
{
    std::vector<int> entries;
    for (int i = 0; i < view_->Traces().Count(); ++i)
        if (InLegend(i))
            entries.push_back(i);
    return entries;
}

std::vector<QCPAbstractPlottable*> PlotChart::LegendPlottables(bool shownOnly) const
{
    std::vector<QCPAbstractPlottable*> listed;
    for (int i : LegendEntries())
        if (!shownOnly || view_->Traces().IsShown(i))
            listed.push_back(Plottable(i));
    for (QCPAbstractPlottable* overlay : Overlays())
        if (!shownOnly || overlay->visible())
            listed.push_back(overlay);
    return listed;
}

bool PlotChart::LegendListsEntries() const
{
    const std::vector<QCPAbstractPlottable*> listed = LegendPlottables(false);
    const std::vector<QCPAbstractLegendItem*> items = LegendItems(*legend);
    if (items.size() != listed.size())
        return false;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        auto* entry = qobject_cast<QCPPlottableLegendItem*>(items[i]);
        if (!entry || entry->plottable() != listed[i])
            return false;
    }
    return true;
}

void PlotChart::FillLegend(bool shownOnly)
{
    laidOutFor_.reset();
    legend->clearItems();
    for (QCPAbstractPlottable* line : LegendPlottables(shownOnly))
        legend->addItem(NewChartLegendItem(legend, line));
    for (int i = 0; i < view_->Traces().Count(); ++i)
        DimLegendEntry(i);
    for (QCPAbstractPlottable* overlay : Overlays())
        DimLegendItem(*overlay, !overlay->visible());
}

void PlotChart::DimLegendEntry(int index)
{
    // A hidden entry keeps its legend item, faded, so a click can bring it
    // back.
    DimLegendItem(*Plottable(index), !view_->Traces().IsShown(index));
}

void PlotChart::DimLegendItem(QCPAbstractPlottable& line, bool hidden)
{
    if (QCPPlottableLegendItem* entry = legend->itemWithPlottable(&line))
        entry->setTextColor(Faded(Qt::black, hidden));
    QPen pen = line.pen();
    pen.setColor(Faded(pen.color(), hidden));
    line.setPen(pen);
}

void PlotChart::ShowReportLook(bool report)
{
    if (report == !title_->visible())
        return;
    setBackground(report ? QColor(Qt::white) : ToQColor(clSilver));
    for (QCPAxis* axis : {xAxis, yAxis})
        axis->grid()->setPen(QPen(report ? kReportGrid : QColor(Qt::white), 0));
    for (QCPAxis* axis : {xAxis, yAxis, yAxis2}) {
        axis->setLabelFont(InReport(ownAxisFont_, report));
        axis->setTickLabelFont(InReport(ownAxisFont_, report));
    }
    // The legend gives its font to the entries it makes; those it has take
    // it here.
    const QFont legendFont = InReport(ownLegendFont_, report);
    legend->setFont(legendFont);
    for (QCPAbstractLegendItem* item : LegendItems(*legend))
        item->setFont(legendFont);
    // The title leaves the layout, and is not drawn where it last stood.
    title_->setVisible(!report);
    if (report) {
        plotLayout()->take(title_);
        plotLayout()->simplify();
        QLocale russian(QLocale::Russian, QLocale::Russia);
        russian.setNumberOptions(QLocale::OmitGroupSeparator);
        setLocale(russian);
    }
    else {
        plotLayout()->insertRow(0);
        plotLayout()->addElement(0, 0, title_);
        setLocale(ownLocale_);
    }
    laidOutFor_.reset();
}

void PlotChart::PaintPicture(QPaintDevice& device, qreal scale, bool vector, QSize size)
{
    QCPPainter painter;
    if (!painter.begin(&device))
        throw toolkit::Exception(tr("картинку графика не удалось нарисовать").toStdString());
    painter.setMode(QCPPainter::pmVectorized, vector);
    // A vector file's lines are as wide as their pens say, as the lines'
    // are: the grid's and the axes' one-pixel cosmetic pens would be
    // hairlines there, the thinnest the viewer draws at each zoom.
    painter.setMode(QCPPainter::pmNonCosmetic, vector);
    painter.setMode(QCPPainter::pmNoCaching);
    painter.scale(scale, scale);
    const QCP::AntialiasedElements onScreen = notAntialiasedElements();
    setNotAntialiasedElements(QCP::aeNone);
    setAntialiasedElements(QCP::aeAll);
    FillLegend(true);
    toPainter(&painter, size.isEmpty() ? width() : size.width(), size.isEmpty() ? height() : size.height());
    FillLegend(false);
    setAntialiasedElements(QCP::aeNone);
    setNotAntialiasedElements(onScreen);
    replot(rpQueuedReplot);
}

void PlotChart::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        ApplyView();
    QCustomPlot::changeEvent(event);
}

QString PlotChart::TitleText() const
{
    return title_->text();
}

void PlotChart::SetTitleText(const QString& text)
{
    title_->setText(text);
    laidOutFor_.reset();
    replot(rpQueuedReplot);
}
