#pragma once

#include "experiments/Settings.h"
#include "plot/Trace.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The facts about the runs that the chart, the analysis, the batch tool and
// the window share.

enum class RunKind { Gauss, Uniform, Step };

struct RunDefinition {
    RunKind kind;
    std::string_view name;
};

inline constexpr std::array<RunDefinition, 3> kRuns{{
    {RunKind::Gauss, "Gauss"},
    {RunKind::Uniform, "Uniform"},
    {RunKind::Step, "Step"},
}};

constexpr const RunDefinition& RunOf(RunKind kind)
{
    return kRuns[static_cast<std::size_t>(kind)];
}

// The chart holds each run's two traces, Md then Omega, in kRuns' order,
// and in the same order its currents, Is then ia: the index among those of
// the quantity's kind.
constexpr std::size_t ChartIndex(RunKind kind, Quantity quantity)
{
    const auto first = IsCurrent(quantity) ? Quantity::Is : Quantity::Md;
    return 2 * static_cast<std::size_t>(kind) + static_cast<std::size_t>(quantity) - static_cast<std::size_t>(first);
}

constexpr const TraceDefinition& DefinitionOf(RunKind kind, Quantity quantity)
{
    return (IsCurrent(quantity) ? kCurrentDefinitions : kTraceDefinitions)[ChartIndex(kind, quantity)];
}

// How a run's trace is named where several runs meet, in the tracker and
// the exported data: its quantity and run, as "Md (Gauss)".
std::string TraceHeading(RunKind kind, Quantity quantity);

// When the step response's load acts: from step on to step off - 1, in a run
// of steps steps.
struct LoadSchedule {
    std::int64_t on;
    std::int64_t off;
    std::int64_t steps;
    bool operator==(const LoadSchedule&) const = default;
};

LoadSchedule StepLoadSchedule(const Settings& settings);

// The parts of a step response, each from a step where the load changes:
// the run-up from the reset to the first change, while the load is on, from
// step on to off - 1, and after it is removed, to the run's end.
enum class Segment { RunUp, On, Off };
inline constexpr std::array<Segment, 3> kSegments{Segment::RunUp, Segment::On, Segment::Off};

// The most traces the chart keeps pinned.
inline constexpr std::size_t kMostPins = 48;

// A family member's place in its family: the setting swept, the value's
// text as the user gave it, and its place among count values.
struct FamilyPlace {
    std::string setting;
    std::string value;
    std::size_t index;
    std::size_t count;
    bool operator==(const FamilyPlace&) const = default;
};

// Where a run's traces came from, kept with them once they are pinned, so
// that what is measured on a pin later is measured as on the run: the run,
// the load schedule, the motor (with its step size) and the step
// response's settings and load it ran with (the schedule, the step settings
// and the load matter to a step response only), and its place if it is a
// family's member.
struct RunOrigin {
    RunKind kind;
    LoadSchedule schedule;
    MotorParameters model;
    StepSettings step;
    std::optional<std::int32_t> load;
    std::optional<FamilyPlace> family;
    // The d-q machine, for a run of it; model then holds the settings'
    // three-state parameters, which it did not use.
    std::optional<DqParameters> dq = std::nullopt;
    bool operator==(const RunOrigin&) const = default;
};

RunOrigin OriginOf(RunKind kind, const Settings& settings, std::optional<std::int32_t> load = {},
                   std::optional<FamilyPlace> family = {});
