#pragma once

#include "plot/Colour.h"
#include "plot/MinMaxPyramid.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// What a run's trace shows: the motor's torque, its rotor's speed, and for
// the d-q machine the stator current's RMS value and phase a's current.
enum class Quantity { Md, Omega, Is, ia };
// The quantities every model reports, which the chart shows.
inline constexpr std::array<Quantity, 2> kQuantities{Quantity::Md, Quantity::Omega};
// The d-q machine's, in the order its tables list them.
inline constexpr std::array<Quantity, 4> kDqQuantities{Quantity::Md, Quantity::Omega, Quantity::Is, Quantity::ia};
// The d-q machine's currents, in amperes.
inline constexpr std::array<Quantity, 2> kCurrents{Quantity::Is, Quantity::ia};

// Whether the quantity is a current, which the chart reads on an axis of
// amperes of its own.
constexpr bool IsCurrent(Quantity quantity)
{
    return quantity == Quantity::Is || quantity == Quantity::ia;
}

// The quantity's name, which titles its traces and heads its columns.
constexpr std::string_view QuantityName(Quantity quantity)
{
    constexpr std::array<std::string_view, kDqQuantities.size()> kNames{"Md", "Omega", "Is", "ia"};
    return kNames[static_cast<std::size_t>(quantity)];
}

// A point of a trace: its step across, its value up.
struct TracePoint {
    double x;
    double y;
    bool operator==(const TracePoint&) const = default;
};

// A trace's points, or a stretch of them, made on the fly from its values:
// the value at index i is the point of step first + i. A run's steps are
// not stored.
class TracePoints {
public:
    class Iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = TracePoint;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = TracePoint;

        Iterator() = default;
        Iterator(const double* values, std::size_t firstStep, std::size_t index)
            : values_(values), firstStep_(firstStep), index_(index)
        {
        }
        TracePoint operator*() const { return {static_cast<double>(firstStep_ + index_), values_[index_]}; }
        TracePoint operator[](difference_type n) const { return *(*this + n); }
        Iterator& operator++() { return *this += 1; }
        Iterator operator++(int) { return std::exchange(*this, *this + 1); }
        Iterator& operator--() { return *this -= 1; }
        Iterator operator--(int) { return std::exchange(*this, *this - 1); }
        Iterator& operator+=(difference_type n) { index_ = Offset(n); return *this; }
        Iterator& operator-=(difference_type n) { return *this += -n; }
        friend Iterator operator+(Iterator it, difference_type n) { return it += n; }
        friend Iterator operator+(difference_type n, Iterator it) { return it += n; }
        friend Iterator operator-(Iterator it, difference_type n) { return it -= n; }
        friend difference_type operator-(Iterator a, Iterator b)
        {
            return static_cast<difference_type>(a.index_) - static_cast<difference_type>(b.index_);
        }
        friend bool operator==(Iterator a, Iterator b) { return a.index_ == b.index_; }
        friend auto operator<=>(Iterator a, Iterator b) { return a.index_ <=> b.index_; }

    private:
        std::size_t Offset(difference_type n) const
        {
            return static_cast<std::size_t>(static_cast<difference_type>(index_) + n);
        }

        const double* values_ = nullptr;
        std::size_t firstStep_ = 0;
        std::size_t index_ = 0;
    };

    TracePoints() = default;
    TracePoints(std::span<const double> values, std::size_t firstStep) : values_(values), firstStep_(firstStep) {}

    std::size_t size() const { return values_.size(); }
    bool empty() const { return values_.empty(); }
    TracePoint operator[](std::size_t i) const { return {static_cast<double>(firstStep_ + i), values_[i]}; }
    TracePoint front() const { return (*this)[0]; }
    TracePoint back() const { return (*this)[size() - 1]; }
    Iterator begin() const { return {values_.data(), firstStep_, 0}; }
    Iterator end() const { return {values_.data(), firstStep_, size()}; }
    std::reverse_iterator<Iterator> rbegin() const { return std::reverse_iterator(end()); }
    std::reverse_iterator<Iterator> rend() const { return std::reverse_iterator(begin()); }

    std::span<const double> Values() const { return values_; }
    std::size_t FirstStep() const { return firstStep_; }

    // The points from index `from` on, `count` of them.
    TracePoints Stretch(std::size_t from, std::size_t count) const
    {
        return {values_.subspan(from, count), firstStep_ + from};
    }

private:
    std::span<const double> values_;
    std::size_t firstStep_ = 0;
};

// One plotted line: a titled, coloured run of values, one a step from step
// 0, its points of the trace's point colour.
class Trace {
public:
    Trace(std::string title, Colour lineColour);

    const std::string& Title() const { return title_; }
    Colour LineColour() const { return lineColour_; }
    Colour PointColour() const { return pointColour_; }
    // The whole trace; a view that holds while the trace is unchanged.
    TracePoints Points() const { return {Stored(), 0}; }
    std::span<const double> Values() const { return Stored(); }
    // The values, kept for as long as the caller holds them; the trace's
    // next change takes storage of its own.
    std::shared_ptr<const std::vector<double>> SharedValues() const { return {shared_, &shared_->values}; }
    std::size_t Size() const { return Stored().size(); }
    bool Empty() const { return Stored().empty(); }

    // Begins a run: no values, points of the colour.
    void Start(Colour pointColour);

    // Appends the value of the next step.
    void AppendNext(double y) { *MakeRoom(1) = y; }

    // Removes every point; the storage is kept for the next run unless
    // another trace shows it.
    void Clear();

    // Makes room for `count` values after the last, to be written in order
    // by a run; the values written so far count from Written() on, and the
    // rest of the room goes. A run's steps go straight into the storage,
    // with no check at each of ten million appends.
    double* MakeRoom(std::size_t count);
    void Written(const double* end);

    // Shows the other's points, keeping this one's title and colour: a pin
    // of a run. The values are shared, not copied; whichever trace changes
    // next takes storage of its own.
    void ReplacePoints(const Trace& other);
    // Trades points with the other, each keeping its title and colour: a
    // run's result shown in the chart's trace without a copy, and the
    // storage of what it showed kept for the next run.
    void SwapPoints(Trace& other);

    // Changes with the values, to a number no other values of any trace
    // have had: a view can tell which traces to redraw, and what it found
    // in the values holds while the number does.
    std::uint64_t Revision() const { return revision_; }

    // The least and largest value, NaN left out.
    ValueSpan Spanned() const { return Pyramid().Over(Stored(), 0, Size()); }
    // The least and largest values of every stretch, made once for the
    // values and shared with the traces that show them.
    const MinMaxPyramid& Pyramid() const;

private:
    std::string title_;
    Colour lineColour_;
    Colour pointColour_ = clBlack;
    // The values and their pyramid, shared by the traces that show the same
    // points, and by the paths drawn from them, and changed in place only
    // while one trace holds them: a pin costs no copy. The pyramid is of the values after `changes` changes.
    struct Shared {
        std::vector<double> values;
        std::uint64_t changes = 0;
        std::optional<std::pair<std::uint64_t, MinMaxPyramid>> pyramid;
    };
    // Moving shares too, so a moved-from trace still holds values.
    struct SharedPointer : std::shared_ptr<Shared> {
        SharedPointer() : std::shared_ptr<Shared>(std::make_shared<Shared>()) {}
        SharedPointer(const SharedPointer&) = default;
        SharedPointer& operator=(const SharedPointer&) = default;
        SharedPointer& operator=(std::shared_ptr<Shared> other)
        {
            std::shared_ptr<Shared>::operator=(std::move(other));
            return *this;
        }
    };

    const std::vector<double>& Stored() const { return shared_->values; }
    void TakeOwnCopy();

    SharedPointer shared_;
    std::uint64_t revision_ = 0;
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

// The d-q machine's currents of the same runs, Is then ia, in pairs in the
// runs' order: dark colours no live trace has, far in hue from their own
// run's Md and Omega; the step response's, the run most often made, the
// farthest.
inline constexpr std::array<TraceDefinition, kTraceCount> kCurrentDefinitions{{
    {Quantity::Is, kPinPalette[8], clBlack},  // navy
    {Quantity::ia, kPinPalette[7], clBlack},  // brown
    {Quantity::Is, kPinPalette[9], clBlack},  // olive
    {Quantity::ia, kPinPalette[10], clBlack}, // charcoal
    {Quantity::Is, kPinPalette[5], clBlack},  // teal
    {Quantity::ia, kPinPalette[11], clBlack}, // cyan
}};

using ChartTraces = std::array<Trace, kTraceCount>;

// A trace made from the definition, empty.
Trace MakeTrace(const TraceDefinition& definition);

// Series1 ... Series6 made from the definitions, empty; or the currents'
// traces from theirs.
ChartTraces MakeTraces(const std::array<TraceDefinition, kTraceCount>& definitions = kTraceDefinitions);
