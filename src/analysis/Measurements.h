#pragma once

#include "analysis/SignalStatistics.h"
#include "analysis/StepCharacteristics.h"
#include "experiments/Experiments.h"
#include "experiments/Runs.h"

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace analysis {

// What a measurement finds: the step characteristics' figures, then the
// statistics'. Each is named as the batch tool's CSV heads its column.
enum class Figure {
    Initial, Final, Peak, PeakStep, Trough, TroughStep, RiseSteps, SettlingSteps, OvershootPercent,
    UndershootPercent, T63Steps, End, Rest, Settled, PeakSeconds, TroughSeconds, RiseSeconds, SettlingSeconds,
    T63Seconds, From, To, Count, Min, MinStep, Max, MaxStep, Mean, Rms, Std, MinSeconds, MaxSeconds,
};
inline constexpr std::size_t kFigureCount = static_cast<std::size_t>(Figure::MaxSeconds) + 1;

// How a figure reads: a number, a whole count of steps or points, or a
// yes (1) or no (0).
enum class FigureKind { Number, Whole, Flag };

// "rise_steps" for Figure::RiseSteps.
std::string_view FigureName(Figure figure);
FigureKind KindOf(Figure figure);

// A step response's figures in the steps, then in seconds.
inline constexpr std::array kStepFigures{
    Figure::Initial,     Figure::Final,         Figure::Peak,
    Figure::PeakStep,    Figure::Trough,        Figure::TroughStep,
    Figure::RiseSteps,   Figure::SettlingSteps, Figure::OvershootPercent,
    Figure::UndershootPercent, Figure::T63Steps, Figure::End,
    Figure::Rest,        Figure::Settled,
};
inline constexpr std::array kStepTimeFigures{Figure::PeakSeconds, Figure::TroughSeconds, Figure::RiseSeconds,
                                             Figure::SettlingSeconds, Figure::T63Seconds};
inline constexpr std::array kStatisticsFigures{Figure::From, Figure::To,      Figure::Count, Figure::Min,
                                               Figure::MinStep, Figure::Max, Figure::MaxStep, Figure::Mean,
                                               Figure::Rms,  Figure::Std};
// The times of the extremes, which measured samples have in place of steps.
inline constexpr std::array kStatisticsTimeFigures{Figure::MinSeconds, Figure::MaxSeconds};

// A row's figures, each found by its identity; an undefined one is empty.
class Figures {
public:
    std::optional<double> operator[](Figure figure) const { return values_[static_cast<std::size_t>(figure)]; }
    std::optional<double>& operator[](Figure figure) { return values_[static_cast<std::size_t>(figure)]; }
    bool operator==(const Figures&) const = default;

private:
    std::array<std::optional<double>, kFigureCount> values_{};
};

// The characteristics' figures, the times at the step size: Final only
// where the segment settled, Settled only where there was a rest to judge
// it by.
Figures FiguresOf(const StepCharacteristics& characteristics, double secondsPerStep);

// The statistics' figures over the range: a Count of 0 and no more where
// no point lies in it, and no From and To either without a range. With a
// step size, the extremes' times too.
Figures FiguresOf(const std::optional<StepRange>& range, const std::optional<SignalStatistics>& statistics,
                  std::optional<double> secondsPerStep = std::nullopt);
// Measured samples' figures over the range: their extremes' times, no
// steps.
Figures FiguresOf(const std::optional<StepRange>& range, const std::optional<SampleStatistics>& statistics);

// A trace's statistics under its name, as the batch tool tables them.
struct StatisticsRow {
    std::string trace;
    Figures figures;
};

// A quantity's step characteristics in a segment.
struct StepRow {
    Quantity quantity;
    Segment segment;
    Figures figures;
    bool operator==(const StepRow&) const = default;
};

// A trace's statistics, the trace found by its place among those measured;
// its quantity where it is known to show one.
struct RangeRow {
    std::size_t trace;
    std::optional<Quantity> quantity;
    Figures figures;
    bool operator==(const RangeRow&) const = default;
};

// What is measured of a run or of traces: the step characteristics a row
// per quantity and segment, the statistics a row per trace.
struct Measurements {
    std::vector<StepRow> steps;
    std::vector<RangeRow> statistics;
    bool operator==(const Measurements&) const = default;

    // The quantity's figures in the segment; none where it has no row.
    const Figures* Of(Quantity quantity, Segment segment) const;
};

// A trace to measure, and what it shows.
struct QuantityTrace {
    Quantity quantity;
    const Trace& trace;
};

// The step characteristics of traces that hold a whole step response of
// the origin, quantity by quantity in the order given and segment by
// segment, times at the origin's step size; with a range, the statistics
// of each trace over it. Raises std::invalid_argument for a trace that
// does not hold a whole run.
Measurements MeasureStepResponse(std::span<const QuantityTrace> traces, const RunOrigin& origin,
                                 const std::optional<StepRange>& statistics = std::nullopt);

// The traces of the quantities the run's model reports, in their order.
std::vector<QuantityTrace> TracesOf(const RunResult& run);

// The statistics of each trace over the range, in the order given.
std::vector<RangeRow> MeasureStatistics(std::span<const QuantityTrace> traces, StepRange range);

// A run's: the step characteristics of a step response that ran all its
// steps, of every quantity its model reports (none for another run), and
// with a range, the statistics of each quantity over it.
Measurements MeasureRun(const RunResult& run, const std::optional<StepRange>& statistics = std::nullopt);

} // namespace analysis
