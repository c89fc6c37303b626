#include "chart/LegendPlace.h"

#include <qcustomplot.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

constexpr int kMostTicks = 5;

// The grid the plot sits in, with the legend's column to its right; the
// legend is in that column, or in the row below the plot.
QCPLayoutGrid* PlotAndLegend(QCustomPlot& chart)
{
    return qobject_cast<QCPLayoutGrid*>(chart.axisRect()->layout());
}

} // namespace

LegendLayout ChooseLegendLayout(int chartWidth, int besideWidth, int widestEntry, int spacing)
{
    const int plot = chartWidth - besideWidth;
    if (3 * besideWidth <= plot)
        return {};
    return {true, std::max(1, (chartWidth + spacing) / std::max(1, widestEntry + spacing))};
}

int TickCountFor(int length, Qt::Orientation along)
{
    // What a tick's label takes along the axis, with room on either side:
    // a number's width across, a line's height up.
    const int room = along == Qt::Horizontal ? 80 : 40;
    return std::clamp(length / room, 2, kMostTicks);
}

std::string LegendName(std::string_view name)
{
    // The run's settings lie between the first " (" and the first ")" after
    // it, a space apart; what follows, such as the number " (2)" that tells
    // two pins of one name apart, stays as it is.
    const std::size_t open = name.find(" (");
    const std::size_t close = open == std::string_view::npos ? open : name.find(')', open);
    if (close == std::string_view::npos)
        return std::string(name);
    std::string_view run = name.substr(open + 2, close - open - 2);
    std::string shown(name.substr(0, open + 2));
    for (int kept = 0; !run.empty(); ++kept) {
        if (kept == 2) {
            shown += " …";
            break;
        }
        const std::size_t space = run.find(' ');
        shown += (kept ? " · " : "") + std::string(run.substr(0, space));
        run = space == std::string_view::npos ? std::string_view() : run.substr(space + 1);
    }
    return shown + std::string(name.substr(close));
}

void PlaceLegend(QCustomPlot& chart, int rowsBeside)
{
    QCPLegend& legend = *chart.legend;
    QCPLayoutGrid* grid = PlotAndLegend(chart);
    auto* column = grid ? qobject_cast<QCPLayoutGrid*>(grid->element(0, 1)) : nullptr;
    if (!column)
        return;
    // Its width beside the plot, `rowsBeside` entries a column, each column
    // as wide as its widest entry.
    std::vector<int> widths;
    for (const QCPAbstractLegendItem* item : LegendItems(legend))
        widths.push_back(item->minimumOuterSizeHint().width());
    int besideWidth = legend.margins().left() + legend.margins().right();
    int widest = 0;
    for (std::size_t first = 0; first < widths.size(); first += static_cast<std::size_t>(rowsBeside)) {
        const auto end = widths.begin() + static_cast<std::ptrdiff_t>(std::min(widths.size(), first + static_cast<std::size_t>(rowsBeside)));
        const int columnWidth = *std::max_element(widths.begin() + static_cast<std::ptrdiff_t>(first), end);
        besideWidth += columnWidth + (first > 0 ? legend.columnSpacing() : 0);
        widest = std::max(widest, columnWidth);
    }
    const int margins = legend.margins().left() + legend.margins().right();
    const LegendLayout layout = ChooseLegendLayout(chart.width() - margins, besideWidth, widest, legend.columnSpacing());
    const bool below = legend.layout() == grid;
    if (layout.below != below) {
        if (layout.below) {
            column->take(&legend);
            grid->addElement(1, 0, &legend);
            // As tall as its entries, the plot taking the rest.
            grid->setRowStretchFactor(1, 0.001);
        } else {
            grid->take(&legend);
            grid->simplify();
            column->addElement(1, 0, &legend);
        }
    }
    const int wrap = layout.below ? layout.columns : rowsBeside;
    const QCPLayoutGrid::FillOrder order = layout.below ? QCPLayoutGrid::foColumnsFirst : QCPLayoutGrid::foRowsFirst;
    if (legend.wrap() != wrap || legend.fillOrder() != order) {
        legend.setWrap(wrap);
        legend.setFillOrder(order, true);
    }
    const QRect plot = chart.axisRect()->rect();
    for (QCPAxis* axis : chart.axisRect()->axes())
        axis->ticker()->setTickCount(
            TickCountFor(axis->orientation() == Qt::Horizontal ? plot.width() : plot.height(), axis->orientation()));
}

std::vector<QCPAbstractLegendItem*> LegendItems(const QCPLegend& legend)
{
    std::vector<QCPAbstractLegendItem*> items;
    for (int i = 0; i < legend.itemCount(); ++i)
        if (QCPAbstractLegendItem* item = legend.item(i))
            items.push_back(item);
    return items;
}
