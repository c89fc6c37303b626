#pragma once

#include "plot/ChartRange.h"
#include "plot/Colour.h"
#include "plot/CsvTable.h"
#include "plot/ShownTraces.h"

#include <optional>
#include <string>
#include <vector>

// A point in the plane of the mechanical characteristic: torque across,
// speed up. A run's point keeps its step; a point of the model's curves
// has none.
struct PlanePoint {
    double Md;
    double Omega;
    std::optional<double> step;
    bool operator==(const PlanePoint&) const = default;
};

// A load's curve is its characteristic, or the lowest or highest edge of a
// periodic load's band. A path's end is the mark on a family member's last
// point, named as its path and shown with it.
enum class CurveKind { Path, Static, Load, LoadLowest, LoadHighest, OperatingPoint, PathEnd };

// One line of the mechanical characteristic's view: a run's path in order
// of its steps, or one of the model's curves, or the operating point, or a
// path's end. A labelled curve has its label written beside its first
// point, as a family member's operating point is ("Mc=10").
struct PlaneCurve {
    std::string name;
    Colour colour;
    bool dashed;
    CurveKind kind;
    std::vector<PlanePoint> points;
    std::string label;
    bool operator==(const PlaneCurve&) const = default;
};

// A run's two traces on the chart: Md and Omega.
struct RunTraces {
    int md;
    int omega;
    bool operator==(const RunTraces&) const = default;
};

// The runs whose Omega trace is shown and holds points, in chart order,
// each with the Md trace of the same run.
std::vector<RunTraces> ShownRuns(const ShownTraces& traces);

// The run's path: at each step both traces hold a point, Md across and
// Omega up, in the steps' order.
std::vector<PlanePoint> PathOf(const Trace& md, const Trace& omega);

// The ranges that span every point of the curves, Md across and Omega up,
// as SpanningRanges spans traces.
AxisRanges PlaneSpan(const std::vector<const PlaneCurve*>& curves);

// The least and largest Md (x) and Omega (y) of the points; a range's min
// is above its max when there are none. A view keeps its curves' bounds, to
// span them without a walk over a million points at every wheel notch.
AxisRanges BoundsOf(const std::vector<PlanePoint>& points);

// The ranges that span all the bounds, as PlaneSpan spans their curves.
AxisRanges SpanOfBounds(const std::vector<AxisRanges>& bounds);

// The curves as separated values, one row per point: "curve,step,Md,Omega",
// the step empty for the model's curves; numbers as in CsvTable.
std::string PlaneCsv(const std::vector<const PlaneCurve*>& curves, CsvStyle style);
