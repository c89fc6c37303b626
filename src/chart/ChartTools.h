#pragma once

#include "chart/ChartMenu.h"

class ChartCursors;
class ChartNavigator;
class ChartPins;
class ChartTracker;
class TraceChart;

// The user's tools on a chart: zoom and pan, the value tracker, the two
// cursors, the pinned copies of runs, and the context menu with its
// exports. The chart owns them.
struct ChartTools {
    ChartNavigator* navigator;
    ChartTracker* tracker;
    ChartCursors* cursors;
    ChartPins* pins;
    ChartMenu* menu;
};

// Every command of the chart's menu runs through run.
ChartTools AttachTools(TraceChart& chart, const ChartMenu::CommandRunner& run);
