#include "session/Session.h"

#include "plot/CsvTable.h"
#include "plot/ShownTraces.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace {

RunResult Rerun(const RunRecipe& recipe)
{
    return RunExperiment({recipe.kind, recipe.settings, recipe.loadText, recipe.sources});
}

} // namespace

SessionResults RunSession(const Session& session)
{
    SessionResults results;
    for (const SessionRun& run : session.runs)
        results.runs.push_back(Rerun(run.recipe));
    for (const SessionPin& pin : session.pins)
        results.pins.push_back(Rerun(pin.recipe));
    return results;
}

void WriteSessionCsv(const Session& session, const SessionResults& results, CsvStyle style, const CsvWrite& write)
{
    ShownTraces traces;
    // A kind that has not run shows its empty traces.
    const Trace none("", clBlack);
    for (const RunDefinition& definition : kRuns) {
        const auto run = std::find_if(session.runs.begin(), session.runs.end(),
                                      [&](const SessionRun& r) { return r.recipe.kind == definition.kind; });
        const auto index = static_cast<std::size_t>(run - session.runs.begin());
        for (Quantity quantity : kQuantities) {
            const auto q = static_cast<std::size_t>(quantity);
            const int added = traces.Add(run == session.runs.end() ? none : results.runs.at(index).traces[q],
                                         TraceHeading(definition.kind, quantity));
            traces.SetShown(added, run == session.runs.end() || run->shown[q]);
        }
    }
    // The currents of the runs that have them, in the runs' order.
    for (std::size_t i = 0; i < session.runs.size(); ++i)
        if (Reports(session.runs[i].recipe.settings, Quantity::Is))
            for (Quantity quantity : kCurrents)
                traces.SetShown(traces.Add(results.runs[i].Of(quantity),
                                           TraceHeading(session.runs[i].recipe.kind, quantity)),
                                session.runs[i].shown[static_cast<std::size_t>(quantity)]);
    for (std::size_t i = 0; i < session.pins.size(); ++i)
        for (const SessionPinTrace& pin : session.pins[i].traces)
            traces.SetShown(traces.Add(results.pins.at(i).Of(pin.quantity), pin.heading), pin.shown);
    const AxisUnits& units = session.units;
    WriteCsvTable(traces, traces.ShownWithPoints(), style,
                  units.seconds ? std::optional(units.secondsPerStep) : std::nullopt, write);
}
