#include "experiments/Runs.h"

#include "plot/Trace.h"

#include <utility>

std::string TraceHeading(RunKind kind, Quantity quantity)
{
    return std::string(QuantityName(quantity)) + " (" + std::string(RunOf(kind).name) + ")";
}

LoadSchedule StepLoadSchedule(const Settings& settings)
{
    return {settings.step.on, settings.LoadOff(), settings.run.steps};
}

RunOrigin OriginOf(RunKind kind, const Settings& settings, std::optional<std::int32_t> load,
                   std::optional<FamilyPlace> family)
{
    std::optional<DqParameters> dq;
    if (settings.Kind() == ModelKind::Dq)
        dq = DqParametersOf(settings);
    return {kind, StepLoadSchedule(settings), settings.model, settings.step, load, std::move(family), dq};
}
