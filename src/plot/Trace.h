#pragma once

#include "plot/Colour.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a run's trace shows: the motor's torque or its rotor's speed.
enum class Quantity { Md, Omega };
inline constexpr std::array<Quantity, 2> kQuantities{Quantity::Md, Quantity::Omega};

// The quantity's name, which titles its traces.
constexpr std::string_view QuantityName(Quantity quantity)
{
    return quantity == Quantity::Md ? "Md" : "Omega";
}

// A point's label is kept by its trace (see Trace::Label); points stay
// plain values so a run's appends are cheap copies.
struct TracePoint {
    double x;
    double y;
    Colour colour;
    std::uint32_t labelIndex;
};

// The least and the largest of a trace's values, NaN left out; min > max
// when it holds no number.
struct ValueSpan {
    double min;
    double max;
};

// One plotted line: a titled, coloured list of points in ascending x.
class Trace {
public:
    Trace(std::string title, Colour lineColour);

    const std::string& Title() const { return title_; }
    Colour LineColour() const { return lineColour_; }
    const std::vector<TracePoint>& Points() const { return points_; }
    std::string_view Label(const TracePoint& point) const { return labels_[point.labelIndex]; }

    // Inserts the point where it keeps x ascending (after any equal x). The
    // runs append x in increasing order, which is a plain append.
    void AppendPoint(double x, double y, std::string_view label, Colour colour)
    {
        ++revision_;
        const TracePoint point{x, y, colour, label.empty() ? 0 : KeepLabel(label)};
        if (points_.empty() || !(x < points_.back().x))
            points_.push_back(point);
        else
            InsertBeforeLargerX(point);
    }

    // Appends an unlabelled point at an x not below the last one's: a run's
    // next step, made without AppendPoint's checks, as a run makes millions.
    void AppendNext(double x, double y, Colour colour)
    {
        ++revision_;
        points_.push_back({x, y, colour, 0});
    }

    // Removes every point; the storage is kept for the next run.
    void Clear();

    // Takes the other's points and labels, keeping this one's title and
    // colour: a pin's copy of a run.
    void ReplacePoints(const Trace& other);
    // Trades points and labels with the other, each keeping its title and
    // colour: a run's result shown in the chart's trace without a copy, and
    // the storage of what it showed kept for the next run.
    void SwapPoints(Trace& other);

    void Reserve(std::size_t pointCount) { points_.reserve(pointCount); }

    // Counts changes, so a view can tell which traces to redraw.
    std::uint64_t Revision() const { return revision_; }

    // Walks the points once per revision, not at every view change.
    ValueSpan Values() const;

private:
    std::uint32_t KeepLabel(std::string_view label);
    void InsertBeforeLargerX(const TracePoint& point);

    std::string title_;
    Colour lineColour_;
    std::vector<TracePoint> points_;
    // Labels of the points; index 0 is the empty label every run passes.
    std::vector<std::string> labels_{std::string()};
    std::uint64_t revision_ = 0;
    struct SpannedValues {
        std::uint64_t revision;
        ValueSpan values;
    };
    mutable std::optional<SpannedValues> values_;
};

// The six traces of the chart, in its order; the runs fill them in pairs.
struct TraceDefinition {
    Quantity quantity;
    Colour lineColour;
    Colour pointColour;
};

inline constexpr int kTraceCount = 6;

inline constexpr std::array<TraceDefinition, kTraceCount> kTraceDefinitions{{
    {Quantity::Md, clRed, clGreen},
    {Quantity::Omega, clGreen, clRed},
    {Quantity::Md, clYellow, clBlue},
    {Quantity::Omega, clBlue, clBlack},
    {Quantity::Md, clFuchsia, clYellow},
    {Quantity::Omega, clOrange, clGray},
}};

using ChartTraces = std::array<Trace, kTraceCount>;

// A trace made from the definition, empty.
Trace MakeTrace(const TraceDefinition& definition);

// Series1 ... Series6 made from the definitions, empty.
ChartTraces MakeTraces();
