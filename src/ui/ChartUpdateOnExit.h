#pragma once

#include "chart/TraceChart.h"

// Hands a command's trace changes to the chart once, when the command ends,
// whether it finished or failed: runs stop on an error with points kept.
class ChartUpdateOnExit {
public:
    explicit ChartUpdateOnExit(TraceChart& chart) : chart_(chart) {}
    ~ChartUpdateOnExit() { chart_.Refresh(); }
    ChartUpdateOnExit(const ChartUpdateOnExit&) = delete;
    ChartUpdateOnExit& operator=(const ChartUpdateOnExit&) = delete;

private:
    TraceChart& chart_;
};
