#pragma once

#include "plot/Colour.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A point's label is kept by its trace (see Trace::Label); points stay
// plain values so a run's appends are cheap copies.
struct TracePoint {
    double x;
    double y;
    Colour colour;
    std::uint32_t labelIndex;
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

    // Removes every point; the storage is kept for the next run.
    void Clear();

    void Reserve(std::size_t pointCount) { points_.reserve(pointCount); }

    // Counts changes, so a view can tell which traces to redraw.
    std::uint64_t Revision() const { return revision_; }

private:
    std::uint32_t KeepLabel(std::string_view label);
    void InsertBeforeLargerX(const TracePoint& point);

    std::string title_;
    Colour lineColour_;
    std::vector<TracePoint> points_;
    // Labels of the points; index 0 is the empty label every run passes.
    std::vector<std::string> labels_{std::string()};
    std::uint64_t revision_ = 0;
};

// The six traces of the chart, in its order; the runs fill them in pairs.
struct TraceDefinition {
    std::string_view title;
    Colour lineColour;
    Colour pointColour;
};

inline constexpr int kTraceCount = 6;

inline constexpr std::array<TraceDefinition, kTraceCount> kTraceDefinitions{{
    {"Md", clRed, clGreen},
    {"Omega", clGreen, clRed},
    {"Md", clYellow, clBlue},
    {"Omega", clBlue, clBlack},
    {"Md", clFuchsia, clYellow},
    {"Omega", clOrange, clGray},
}};

using ChartTraces = std::array<Trace, kTraceCount>;

// Series1 ... Series6 made from the definitions, empty.
ChartTraces MakeTraces();

// The colour a run passes with each point of SeriesN, n from 1 to 6.
constexpr Colour PointColourOfSeries(int n)
{
    return kTraceDefinitions.at(static_cast<std::size_t>(n - 1)).pointColour;
}

// SeriesN for n from 1 to 6; raises std::out_of_range for any other n.
Trace& SeriesNumbered(ChartTraces& traces, int n);
const Trace& SeriesNumbered(const ChartTraces& traces, int n);
