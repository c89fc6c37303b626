#pragma once

#include "plot/ChartRange.h"
#include "plot/Trace.h"

#include <cstdint>
#include <optional>
#include <functional>
#include <string>
#include <vector>

// Which run's which quantity a chart trace shows. Runs are told apart by a
// number their owner gives, live runs from pinned ones.
struct RunTrace {
    bool pinned;
    std::uint64_t run;
    Quantity quantity;
    bool operator==(const RunTrace&) const = default;
};

// The chart's traces, each with the heading that names it and its run
// ("Md (Gauss)"), and which of them the user shows. A hidden trace counts
// for nothing: not in the automatic ranges, the readout or the exported
// data. Indices are in the order the traces were added; removing a trace
// The wanted heading if it is not used; otherwise the wanted one numbered
// "(2)", "(3)" and so on, the first that is not.
std::string UnusedHeading(const std::string& wanted, const std::function<bool(const std::string&)>& used);

// moves the later ones down by one.
class ShownTraces {
public:
    // Adds a shown trace, which must outlive this, and the run it shows if
    // it shows one; returns its index.
    int Add(const Trace& trace, std::string heading, std::optional<RunTrace> of = {});
    // The same at the index, before the trace there: the later ones move up
    // by one.
    void Insert(int index, const Trace& trace, std::string heading, std::optional<RunTrace> of = {});
    void Remove(int index);
    // Where the trace is, if it is here.
    std::optional<int> IndexOf(const Trace& trace) const;

    int Count() const { return static_cast<int>(entries_.size()); }
    const Trace& At(int index) const { return *Entry(index).trace; }
    const std::string& Heading(int index) const { return Entry(index).heading; }
    const std::optional<RunTrace>& Of(int index) const { return Entry(index).of; }
    bool IsShown(int index) const { return Entry(index).shown; }
    void SetShown(int index, bool shown) { Entry(index).shown = shown; }

    // In the order added.
    std::vector<int> ShownIndices() const;
    // The shown traces that hold points, in the order added: what the
    // measurements and the exported data list, as an empty trace has
    // nothing to tell.
    std::vector<int> ShownWithPoints() const;

    // The wanted heading if no trace has it yet; otherwise as the free
    // function below numbers it: every column of the exported data and
    // every line of the readout names one trace.
    std::string UnusedHeading(const std::string& wanted) const;

    // The ranges that span every point of the shown traces.
    AxisRanges Spanning() const;

private:
    struct Line {
        const Trace* trace;
        std::string heading;
        std::optional<RunTrace> of;
        bool shown;
    };

    const Line& Entry(int index) const { return entries_.at(static_cast<std::size_t>(index)); }
    Line& Entry(int index) { return entries_.at(static_cast<std::size_t>(index)); }

    std::vector<Line> entries_;
};
