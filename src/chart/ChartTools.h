#pragma once

#include "chart/ChartMenu.h"

class ChartCurrents;
class ChartCursors;
class ChartNavigator;
class ChartPins;
class ChartTracker;
class TraceChart;

// The user's tools on a chart: zoom and pan, the value tracker, the two
// cursors, the pinned copies of runs, the context menu with its exports and
// the item that shows the d-q machine's currents. The chart owns them.
struct ChartTools {
    ChartNavigator* navigator;
    ChartTracker* tracker;
    ChartCursors* cursors;
    ChartPins* pins;
    ChartMenu* menu;
    ChartCurrents* currents;
};

// Every command of the chart's menu runs through run.
ChartTools AttachTools(TraceChart& chart, const ChartMenu::CommandRunner& run);
