#pragma once

class ChartMenu;
class ChartNavigator;
class ChartTracker;
class TraceChart;

// The user's tools on a chart: zoom and pan, the value tracker, and the
// context menu with its exports. The chart owns them.
struct ChartTools {
    ChartNavigator* navigator;
    ChartTracker* tracker;
    ChartMenu* menu;
};

ChartTools AttachTools(TraceChart& chart);
