#pragma once

#include "plot/ChartRange.h"
#include "plot/Colour.h"
#include "plot/CsvTable.h"
#include "plot/ShownTraces.h"

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
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

// A curve's points: a run's path, made on the fly from the values of its
// two traces and sharing them, a point a step; or points held here, the
// model's curves of some thousand points. A copy shares the points: a
// path of ten million steps, shown and pinned, is never copied.
class PlanePoints {
public:
    class Iterator {
    public:
        using iterator_category = std::input_iterator_tag;
        using value_type = PlanePoint;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = PlanePoint;

        Iterator() = default;
        Iterator(const PlanePoints* points, std::size_t index) : points_(points), index_(index) {}
        PlanePoint operator*() const { return (*points_)[index_]; }
        Iterator& operator++() { ++index_; return *this; }
        Iterator operator++(int) { Iterator before = *this; ++index_; return before; }
        bool operator==(const Iterator& other) const { return index_ == other.index_; }

    private:
        const PlanePoints* points_ = nullptr;
        std::size_t index_ = 0;
    };

    PlanePoints() = default;
    PlanePoints(std::vector<PlanePoint> points);
    PlanePoints(std::initializer_list<PlanePoint> points) : PlanePoints(std::vector<PlanePoint>(points)) {}
    // A run's path: at each step both traces' values, Md across and Omega
    // up, on the steps both hold.
    PlanePoints(std::shared_ptr<const std::vector<double>> md, std::shared_ptr<const std::vector<double>> omega);

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    double Md(std::size_t i) const { return held_ ? (*held_)[first_ + i].Md : (*md_)[first_ + i]; }
    double Omega(std::size_t i) const { return held_ ? (*held_)[first_ + i].Omega : (*omega_)[first_ + i]; }
    PlanePoint operator[](std::size_t i) const
    {
        return held_ ? (*held_)[first_ + i] : PlanePoint{Md(i), Omega(i), static_cast<double>(first_ + i)};
    }
    // The point, or std::out_of_range past the last.
    PlanePoint at(std::size_t i) const;
    PlanePoint front() const { return (*this)[0]; }
    PlanePoint back() const { return (*this)[size_ - 1]; }
    Iterator begin() const { return {this, 0}; }
    Iterator end() const { return {this, size_}; }

    // Calls f with a function from a point's index to its Md and Omega that
    // looks them up without asking how they are kept: for walks over
    // millions of points.
    template <typename F>
    void WithCoordinates(F f) const
    {
        if (!md_) {
            const PlanePoint* points = held_ ? held_->data() + first_ : nullptr;
            return f([points](std::size_t i) { return std::pair{points[i].Md, points[i].Omega}; });
        }
        const double* md = md_->data() + first_;
        const double* omega = omega_->data() + first_;
        f([md, omega](std::size_t i) { return std::pair{md[i], omega[i]}; });
    }

    // The last point alone, sharing the storage and keeping its step.
    PlanePoints Last() const;
    // Whether both show the same stored points, which makes them equal.
    bool SharesWith(const PlanePoints& other) const;
    bool operator==(const PlanePoints& other) const;

private:
    std::shared_ptr<const std::vector<PlanePoint>> held_;
    std::shared_ptr<const std::vector<double>> md_;
    std::shared_ptr<const std::vector<double>> omega_;
    std::size_t first_ = 0;
    std::size_t size_ = 0;
};

// A load's curve is its characteristic, or the lowest or highest edge of a
// periodic load's band. A path's end is the mark on a family member's last
// point, named as its path and shown with it. Kloss's formula, the
// breakdown point and the starting torque belong to a machine whose curve
// has a peak, the d-q model's.
enum class CurveKind {
    Path,
    Static,
    Load,
    LoadLowest,
    LoadHighest,
    OperatingPoint,
    PathEnd,
    Kloss,
    Breakdown,
    StartingTorque,
    // The bench's samples of Md and Omega, drawn as the main chart draws
    // measured data.
    Measured
};

// One line of the mechanical characteristic's view: a run's path in order
// of its steps, or one of the model's curves, or the operating point, or a
// path's end. A labelled curve has its label written beside its first
// point, as a family member's operating point is ("Mc=10").
struct PlaneCurve {
    std::string name;
    Colour colour;
    bool dashed;
    CurveKind kind;
    PlanePoints points;
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
// Omega up, in the steps' order, sharing the traces' values.
PlanePoints PathOf(const Trace& md, const Trace& omega);

// Measured samples of Md and Omega taken at the same times: a point at
// each time both hold a number (an empty cell is NaN), in the times'
// order, with no step.
PlanePoints PathOfSamples(std::span<const double> md, std::span<const double> omega);

// The ranges that span every point of the curves, Md across and Omega up,
// as SpanningRanges spans traces.
AxisRanges PlaneSpan(const std::vector<const PlaneCurve*>& curves);

// The least and largest Md (x) and Omega (y) of the points; a range's min
// is above its max when there are none. A view keeps its curves' bounds, to
// span them without a walk over a million points at every wheel notch.
AxisRanges BoundsOf(const PlanePoints& points);

// The ranges that span all the bounds, as PlaneSpan spans their curves.
AxisRanges SpanOfBounds(const std::vector<AxisRanges>& bounds);

// The curves as separated values, one row per point: "curve,step,Md,Omega",
// the step empty for the model's curves; numbers as in CsvTable. Given to
// write in pieces, as WriteCsvTable gives a table.
void WritePlaneCsv(const std::vector<const PlaneCurve*>& curves, CsvStyle style, const CsvWrite& write);
std::string PlaneCsv(const std::vector<const PlaneCurve*>& curves, CsvStyle style);
