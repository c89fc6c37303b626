#pragma once

#include <Qt>

#include <string>
#include <vector>
#include <string_view>

class QCPAbstractLegendItem;
class QCPLegend;
class QCustomPlot;

// Where a chart's legend goes: beside the plot while it takes no more than
// a third of the plot's width, else below it in as many columns as the
// chart's width holds, so a legend of long names never squeezes the plot.
struct LegendLayout {
    bool below = false;
    // Entries a row, below the plot.
    int columns = 1;
    bool operator==(const LegendLayout&) const = default;
};

// The layout for a chart `chartWidth` pixels wide (the legend's margins
// aside) whose legend is `besideWidth` wide beside the plot, its widest
// entry `widestEntry`, its columns `spacing` apart.
LegendLayout ChooseLegendLayout(int chartWidth, int besideWidth, int widestEntry, int spacing);

// About as many ticks as an axis `length` pixels long holds with room
// between their labels, and never more than the library's five.
int TickCountFor(int length, Qt::Orientation along);

// A name as the legend shows it: a run's settings, a space apart in brackets
// after the quantity, "Omega (Mc=10 J=0.0344 steps=4000)", shortened to the
// first two, "Omega (Mc=10 · J=0.0344 …)"; the readouts, tables and files
// name it whole.
std::string LegendName(std::string_view name);

// Moves the chart's legend beside its plot, `rowsBeside` entries a column,
// or below it, as ChooseLegendLayout says for the chart's width now, and
// sets its axes' tick counts for the plot's size. The legend sits in the
// layout PlotChart builds: the plot and, to its right, a column holding the
// legend, in one grid.
void PlaceLegend(QCustomPlot& chart, int rowsBeside);

// The legend's entries in its order, the empty cells of its grid left out:
// below the plot, its last row may be short.
std::vector<QCPAbstractLegendItem*> LegendItems(const QCPLegend& legend);
