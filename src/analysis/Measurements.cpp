#include "analysis/Measurements.h"

#include "plot/AxisUnits.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace analysis {

namespace {

struct FigureDefinition {
    std::string_view name;
    FigureKind kind;
};

constexpr std::array<FigureDefinition, kFigureCount> kFigureDefinitions{{
    {"initial", FigureKind::Number},
    {"final", FigureKind::Number},
    {"peak", FigureKind::Number},
    {"peak_step", FigureKind::Whole},
    {"trough", FigureKind::Number},
    {"trough_step", FigureKind::Whole},
    {"rise_steps", FigureKind::Whole},
    {"settling_steps", FigureKind::Whole},
    {"overshoot_percent", FigureKind::Number},
    {"undershoot_percent", FigureKind::Number},
    {"t63_steps", FigureKind::Whole},
    {"end", FigureKind::Number},
    {"rest", FigureKind::Number},
    {"settled", FigureKind::Flag},
    {"peak_seconds", FigureKind::Number},
    {"trough_seconds", FigureKind::Number},
    {"rise_seconds", FigureKind::Number},
    {"settling_seconds", FigureKind::Number},
    {"t63_seconds", FigureKind::Number},
    {"from", FigureKind::Whole},
    {"to", FigureKind::Whole},
    {"count", FigureKind::Whole},
    {"min", FigureKind::Number},
    {"min_step", FigureKind::Whole},
    {"max", FigureKind::Number},
    {"max_step", FigureKind::Whole},
    {"mean", FigureKind::Number},
    {"rms", FigureKind::Number},
    {"std", FigureKind::Number},
    {"min_seconds", FigureKind::Number},
    {"max_seconds", FigureKind::Number},
}};

const FigureDefinition& DefinitionOf(Figure figure)
{
    return kFigureDefinitions[static_cast<std::size_t>(figure)];
}

// Steps are whole and far below 2^53, so a double holds them exactly.
std::optional<double> Whole(const std::optional<Step>& steps)
{
    return steps ? std::optional(static_cast<double>(*steps)) : std::nullopt;
}

std::optional<double> LengthOf(const std::optional<Step>& steps, double secondsPerStep)
{
    return steps ? std::optional(DurationOfSteps(static_cast<double>(*steps), secondsPerStep)) : std::nullopt;
}

// The figures a trace's and a measured quantity's statistics share.
template <typename Statistics>
Figures RangeFigures(const std::optional<StepRange>& range, const std::optional<Statistics>& statistics)
{
    Figures f;
    if (range) {
        f[Figure::From] = static_cast<double>(range->first);
        f[Figure::To] = static_cast<double>(range->last);
    }
    f[Figure::Count] = statistics ? static_cast<double>(statistics->count) : 0;
    if (!statistics)
        return f;
    f[Figure::Min] = statistics->min;
    f[Figure::Max] = statistics->max;
    f[Figure::Mean] = statistics->mean;
    f[Figure::Rms] = statistics->rms;
    f[Figure::Std] = statistics->standardDeviation;
    return f;
}

} // namespace

std::string_view FigureName(Figure figure)
{
    return DefinitionOf(figure).name;
}

FigureKind KindOf(Figure figure)
{
    return DefinitionOf(figure).kind;
}

Figures FiguresOf(const StepCharacteristics& c, double secondsPerStep)
{
    Figures f;
    f[Figure::Initial] = c.initial;
    if (c.settled)
        f[Figure::Final] = c.final;
    f[Figure::Peak] = c.peak;
    f[Figure::PeakStep] = static_cast<double>(c.peakStep);
    f[Figure::Trough] = c.trough;
    f[Figure::TroughStep] = static_cast<double>(c.troughStep);
    f[Figure::RiseSteps] = Whole(c.riseSteps);
    f[Figure::SettlingSteps] = Whole(c.settlingSteps);
    f[Figure::OvershootPercent] = c.overshootPercent;
    f[Figure::UndershootPercent] = c.undershootPercent;
    f[Figure::T63Steps] = Whole(c.timeConstantSteps);
    f[Figure::End] = c.final;
    f[Figure::Rest] = c.rest;
    if (c.rest)
        f[Figure::Settled] = c.settled ? 1 : 0;
    f[Figure::PeakSeconds] = TimeOfStep(static_cast<double>(c.peakStep), secondsPerStep);
    f[Figure::TroughSeconds] = TimeOfStep(static_cast<double>(c.troughStep), secondsPerStep);
    f[Figure::RiseSeconds] = LengthOf(c.riseSteps, secondsPerStep);
    f[Figure::SettlingSeconds] = LengthOf(c.settlingSteps, secondsPerStep);
    f[Figure::T63Seconds] = LengthOf(c.timeConstantSteps, secondsPerStep);
    return f;
}

Figures FiguresOf(const std::optional<StepRange>& range, const std::optional<SignalStatistics>& statistics,
                  std::optional<double> secondsPerStep)
{
    Figures f = RangeFigures(range, statistics);
    if (!statistics)
        return f;
    const SignalStatistics& s = *statistics;
    f[Figure::MinStep] = static_cast<double>(s.minStep);
    f[Figure::MaxStep] = static_cast<double>(s.maxStep);
    if (secondsPerStep) {
        f[Figure::MinSeconds] = TimeOfStep(static_cast<double>(s.minStep), *secondsPerStep);
        f[Figure::MaxSeconds] = TimeOfStep(static_cast<double>(s.maxStep), *secondsPerStep);
    }
    return f;
}

Figures FiguresOf(const std::optional<StepRange>& range, const std::optional<SampleStatistics>& statistics)
{
    Figures f = RangeFigures(range, statistics);
    if (statistics) {
        f[Figure::MinSeconds] = statistics->minSeconds;
        f[Figure::MaxSeconds] = statistics->maxSeconds;
    }
    return f;
}

const Figures* Measurements::Of(Quantity quantity, Segment segment) const
{
    const auto row = std::ranges::find_if(
        steps, [&](const StepRow& r) { return r.quantity == quantity && r.segment == segment; });
    return row == steps.end() ? nullptr : &row->figures;
}

std::vector<RangeRow> MeasureStatistics(std::span<const QuantityTrace> traces, StepRange range)
{
    std::vector<RangeRow> rows;
    for (const QuantityTrace& trace : traces)
        rows.push_back({rows.size(), trace.quantity,
                        FiguresOf(range, ComputeStatistics(trace.trace.Points(), range))});
    return rows;
}

Measurements MeasureStepResponse(std::span<const QuantityTrace> traces, const RunOrigin& origin,
                                 const std::optional<StepRange>& statistics)
{
    Measurements measured;
    for (const QuantityTrace& trace : traces)
        for (const CharacteristicsRow& row : CharacterizeStepTrace(trace.trace, trace.quantity, origin))
            measured.steps.push_back({row.quantity, row.segment, FiguresOf(row.values, origin.model.dt)});
    if (statistics)
        measured.statistics = MeasureStatistics(traces, *statistics);
    return measured;
}

std::vector<QuantityTrace> TracesOf(const RunResult& run)
{
    std::vector<QuantityTrace> traces;
    for (const Quantity quantity : run.Quantities())
        traces.push_back({quantity, run.Of(quantity)});
    return traces;
}

Measurements MeasureRun(const RunResult& run, const std::optional<StepRange>& statistics)
{
    const std::vector<QuantityTrace> traces = TracesOf(run);
    if (run.kind == RunKind::Step && run.outcome == RunOutcome::Done)
        return MeasureStepResponse(traces, run.Origin(), statistics);
    Measurements measured;
    if (statistics)
        measured.statistics = MeasureStatistics(traces, *statistics);
    return measured;
}

} // namespace analysis
