#pragma once

#include "plot/ChartRange.h"
#include "plot/Trace.h"

#include <array>
#include <span>
#include <vector>

// The chart's traces and which of them the user shows. A hidden trace
// counts for nothing: not in the automatic ranges, the readout or the
// exported data.
class ShownTraces {
public:
    // All shown at first. The traces must outlive this.
    explicit ShownTraces(std::span<const Trace, kTraceCount> traces);

    const Trace& At(int index) const { return *traces_[Slot(index)]; }
    bool IsShown(int index) const { return shown_[Slot(index)]; }
    void SetShown(int index, bool shown) { shown_[Slot(index)] = shown; }

    // In chart order.
    std::vector<int> ShownIndices() const;

    // The ranges that span every point of the shown traces.
    AxisRanges Spanning() const;

private:
    static std::size_t Slot(int index) { return static_cast<std::size_t>(index); }

    std::array<const Trace*, kTraceCount> traces_;
    std::array<bool, kTraceCount> shown_;
};
