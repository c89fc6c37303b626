#include "experiments/Runs.h"

#include "plot/Trace.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

const RunDefinition& RunFilling(int series)
{
    const auto run = std::find_if(kRuns.begin(), kRuns.end(), [series](const RunDefinition& r) {
        return r.mdSeries == series || r.omegaSeries == series;
    });
    if (run == kRuns.end())
        throw std::out_of_range("no run fills Series" + std::to_string(series));
    return *run;
}

std::string SeriesHeading(int series)
{
    const TraceDefinition& trace = kTraceDefinitions.at(static_cast<std::size_t>(series - 1));
    return std::string(trace.title) + " (" + std::string(RunFilling(series).name) + ")";
}

LoadSchedule StepLoadSchedule(const Settings& settings)
{
    return {settings.step.on, settings.LoadOff(), settings.run.steps};
}

RunOrigin OriginOf(RunKind kind, const Settings& settings, std::optional<FamilyPlace> family)
{
    return {kind, StepLoadSchedule(settings), settings.model.dt, std::move(family)};
}
