#pragma once

#include "experiments/Settings.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The facts about the runs that the chart, the analysis, the batch tool and
// the window share.

enum class RunKind { Gauss, Uniform, Step };

// A run and the two traces it fills, SeriesN of the chart with n from 1 to 6.
struct RunDefinition {
    RunKind kind;
    std::string_view name;
    int mdSeries;
    int omegaSeries;
};

inline constexpr std::array<RunDefinition, 3> kRuns{{
    {RunKind::Gauss, "Gauss", 1, 2},
    {RunKind::Uniform, "Uniform", 3, 4},
    {RunKind::Step, "Step", 5, 6},
}};

constexpr const RunDefinition& RunOf(RunKind kind)
{
    return kRuns[static_cast<std::size_t>(kind)];
}

// The run that fills SeriesN; raises std::out_of_range for any n but 1 to 6.
const RunDefinition& RunFilling(int series);

// How SeriesN is named where several runs meet, in the tracker and the
// exported data: its title and run, as "Md (Gauss)".
std::string SeriesHeading(int series);

// When the step response's load acts: from step on to step off - 1, in a run
// of steps steps.
struct LoadSchedule {
    std::int64_t on;
    std::int64_t off;
    std::int64_t steps;
    bool operator==(const LoadSchedule&) const = default;
};

LoadSchedule StepLoadSchedule(const Settings& settings);

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
// the load schedule and the step size it ran with (the schedule matters to
// a step response only), and its place if it is a family's member.
struct RunOrigin {
    RunKind kind;
    LoadSchedule schedule;
    double dt;
    std::optional<FamilyPlace> family;
    bool operator==(const RunOrigin&) const = default;
};

RunOrigin OriginOf(RunKind kind, const Settings& settings, std::optional<FamilyPlace> family = {});
