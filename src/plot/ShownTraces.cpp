#include "plot/ShownTraces.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

int ShownTraces::Add(const Trace& trace, std::string heading, std::optional<RunTrace> of)
{
    Insert(Count(), trace, std::move(heading), of);
    return Count() - 1;
}

void ShownTraces::Insert(int index, const Trace& trace, std::string heading, std::optional<RunTrace> of)
{
    if (index < 0 || index > Count())
        throw std::out_of_range("there is no place " + std::to_string(index) + " among " + std::to_string(Count()) +
                                " traces");
    entries_.insert(entries_.begin() + index, {&trace, std::move(heading), of, true});
}

void ShownTraces::Remove(int index)
{
    if (index < 0 || index >= Count())
        throw std::out_of_range("there is no trace " + std::to_string(index));
    entries_.erase(entries_.begin() + index);
}

std::optional<int> ShownTraces::IndexOf(const Trace& trace) const
{
    const auto found =
        std::find_if(entries_.begin(), entries_.end(), [&trace](const Line& line) { return line.trace == &trace; });
    if (found == entries_.end())
        return std::nullopt;
    return static_cast<int>(found - entries_.begin());
}

std::string UnusedHeading(const std::string& wanted, const std::function<bool(const std::string&)>& used)
{
    std::string heading = wanted;
    for (int number = 2; used(heading); ++number)
        heading = wanted + " (" + std::to_string(number) + ")";
    return heading;
}

std::string ShownTraces::UnusedHeading(const std::string& wanted) const
{
    return ::UnusedHeading(wanted, [this](const std::string& heading) {
        return std::any_of(entries_.begin(), entries_.end(),
                           [&heading](const Line& line) { return line.heading == heading; });
    });
}

std::vector<int> ShownTraces::ShownIndices() const
{
    std::vector<int> indices;
    for (int i = 0; i < Count(); ++i)
        if (IsShown(i))
            indices.push_back(i);
    return indices;
}

std::vector<int> ShownTraces::ShownWithPoints() const
{
    std::vector<int> indices = ShownIndices();
    std::erase_if(indices, [this](int i) { return At(i).Points().empty(); });
    return indices;
}

AxisRanges ShownTraces::Spanning() const
{
    std::vector<const Trace*> shown;
    for (int i : ShownIndices())
        shown.push_back(&At(i));
    return SpanningRanges(shown);
}
