#include "plot/ShownTraces.h"

#include <utility>

int ShownTraces::Add(const Trace& trace, std::string heading)
{
    entries_.push_back({&trace, std::move(heading), true});
    return Count() - 1;
}

std::vector<int> ShownTraces::ShownIndices() const
{
    std::vector<int> indices;
    for (int i = 0; i < Count(); ++i)
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
