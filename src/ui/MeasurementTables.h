#pragma once

#include "ui/MeasurementCells.h"

#include <QString>

class QTableWidget;

// Shows the table's headings and rows in the widget, keeping the items of
// earlier updates so a selection survives a redraw, and lays it out again
// only when a cell or the number of rows changed: the layout is most of
// what an update costs, and a cursor drag or a zoom changes few of the
// tables. A cell's tooltip and a copy give its exact value.
void ShowRows(QTableWidget& widget, const MeasuredTable& table);

// As tall as its rows and as wide as its columns, with room for a vertical
// scroll bar: it scrolls up and down only when the window is too short for
// all the tables, and sideways only if its form lets it (the pins table,
// whose columns are the characteristics) or its columns are wider than the
// screen leaves room for, with room for that bar too.
void FitToCells(QTableWidget& table);

// The selected cells of the table, exactly, a line per row and a tab
// between cells, under a line of the columns' headings and each after its
// row's name; unselected cells within the selection's rectangle are empty.
QString SelectionText(const QTableWidget& table);
