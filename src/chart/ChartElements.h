#pragma once

#include <qcustomplot.h>

// Elements of the chart's layout that measure and lay out their text once
// for each text and font, where the library's do it at every layout and
// replot, and the chart is laid out and replotted at every view change.

// The chart's title, kept as pixels while its text, look and place stay.
QCPTextElement* NewChartTitle(QCustomPlot* chart);

// The legend's entry of a line: its name, and its icon where the line
// draws one (LegendIcon).
QCPAbstractLegendItem* NewChartLegendItem(QCPLegend* legend, QCPAbstractPlottable* line);
