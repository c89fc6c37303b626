#include "plot/ShownTraces.h"

ShownTraces::ShownTraces(std::span<const Trace, kTraceCount> traces)
{
    for (std::size_t i = 0; i < traces.size(); ++i) {
        traces_[i] = &traces[i];
        shown_[i] = true;
    }
}

std::vector<int> ShownTraces::ShownIndices() const
{
    std::vector<int> indices;
    for (int i = 0; i < kTraceCount; ++i)
        if (IsShown(i))
            indices.push_back(i);
    return indices;
}

AxisRanges ShownTraces::Spanning() const
{
    std::vector<const Trace*> shown;
    for (int i : ShownIndices())
        shown.push_back(&At(i));
    return SpanningRanges(shown);
}
