#include "cli/Commands.h"

#include "analysis/AnalysisCsv.h"
#include "cli/Texts.h"
#include "experiments/Family.h"
#include "plot/CsvTable.h"
#include "session/Session.h"
#include "toolkit/Cores.h"

#include <algorithm>
#include <cstddef>

namespace cli {

namespace {

// A number's text in front of a table's row, its decimal point the style's
// mark, quoted where that makes it hold a separator, as a decimal comma is.
std::string RowLead(std::string value, CsvStyle style)
{
    std::replace(value.begin(), value.end(), '.', style.decimalMark);
    std::string lead;
    AppendCsvText(lead, value, style);
    return lead + style.separator;
}

// A table's rows after its heading row, each led by lead.
std::string RowsWithLead(const std::string& table, const std::string& lead)
{
    std::string rows;
    for (std::size_t start = table.find('\n') + 1; start < table.size();) {
        const std::size_t end = table.find('\n', start) + 1;
        rows.append(lead).append(table, start, end - start);
        start = end;
    }
    return rows;
}

// The heading row of a table with the name in front.
std::string HeadingWithName(const std::string& table, const std::string& name, CsvStyle style)
{
    return name + style.separator + table.substr(0, table.find('\n') + 1);
}

// The tables' headings as the options make them, for any run: a heading
// row depends on whether times are given, not on their step.
std::string PointsHeading(const Options& options, const Settings& settings)
{
    const RunResult none{.kind = RunKind::Step, .settings = settings, .traces = {Trace({}, {}), Trace({}, {})}, .sources = {}};
    const ShownTraces traces = RunTraces(none);
    return CsvHeading(traces, traces.ShownIndices(), options.style, options.time);
}

std::string MetricsHeading(const Options& options)
{
    const std::optional<double> anyStep = options.time ? std::optional(1.0) : std::nullopt;
    return analysis::CharacteristicsCsv({}, options.style, anyStep);
}

// The sweep's members a few at a time, on every core, each given to take in
// the values' order as it is made and dropped after, so a sweep of many long
// runs holds only as many as there are cores.
template <typename Take>
RandomSources RunSweepMembers(const Options& options, const Settings& settings, const Take& take)
{
    const std::vector<std::string>& values = options.sweepValues;
    const std::size_t atOnce = Cores();
    // Each member forks the sources in the values' order, so members made a
    // few at a time are the bits of one family of them all.
    RandomSources sources = SourcesOf(settings);
    for (std::size_t first = 0; first < values.size(); first += atOnce) {
        const auto begin = values.begin() + static_cast<std::ptrdiff_t>(first);
        FamilyResult family = RunFamily({.base = settings,
                                         .setting = *options.sweepName,
                                         .values = {begin, begin + static_cast<std::ptrdiff_t>(
                                                                       std::min(atOnce, values.size() - first))},
                                         .kind = KindOfRun(options.command),
                                         .loadText = LoadText(options, settings),
                                         .sources = std::move(sources)});
        sources = std::move(family.sources);
        for (const FamilyMember& member : family.members)
            take(member);
    }
    return sources;
}

} // namespace

// One run per value, on every core. A value the settings refuse, or whose
// run fails, is reported and the others go on; refused loads are listed
// once at the end, as one alert would list them. The points are written as
// the members are made; a file is replaced once the sweep has ended.
int RunSweep(const Options& options, const Settings& settings, const Streams& streams)
{
    const std::string& name = *options.sweepName;
    const CsvStyle style = options.style;
    std::string metrics = HeadingWithName(MetricsHeading(options), name, style);
    std::vector<std::string> refused;
    std::vector<SessionPin> pins;
    RandomSources next;
    int status = 0;
    for (const std::string& value : options.sweepValues) {
        try {
            WarnOfUnstableStep(FamilyMemberSettings(settings, name, value), streams.err, name + '=' + value + ": ");
        } catch (const SettingsError&) {
            // Reported with the family's outcome below.
        }
    }
    auto sweep = [&](const CsvWrite* points) {
        if (points)
            (*points)(HeadingWithName(PointsHeading(options, settings), name, style));
        next = RunSweepMembers(options, settings, [&](const FamilyMember& member) {
            const std::string& value = member.place.value;
            switch (member.outcome) {
            case MemberOutcome::NotAllowed:
                streams.err << "motormodel-cli: " << ErrorText(*member.error) << '\n';
                status = std::max(status, kExitUsage);
                return;
            case MemberOutcome::Failed:
                streams.err << "motormodel-cli: " << name << '=' << value << ": " << ErrorText(*member.error)
                          << '\n';
                status = std::max(status, kExitFailed);
                return;
            case MemberOutcome::Refused:
                refused.push_back(FamilyMemberLabel(name, value));
                status = std::max(status, kExitRefused);
                return;
            case MemberOutcome::Ran:
                break;
            }
            if (options.sessionOut)
                AddMemberPin(pins, member);
            const std::string lead = RowLead(value, style);
            if (points) {
                const ShownTraces traces = RunTraces(*member.run);
                WriteCsvRows(traces, traces.ShownIndices(), style, TimeStep(*member.run, options), lead, *points);
            }
            if (options.metrics)
                metrics += RowsWithLead(MetricsText(*member.run, options), lead);
        });
    };
    if (options.csv || !options.metrics)
        options.csv.value_or(OutputSink::StandardOutput(streams.out)).Stream([&](const CsvWrite& write) { sweep(&write); });
    else
        sweep(nullptr);
    if (!refused.empty()) {
        std::string list;
        for (const std::string& label : refused)
            list += (list.empty() ? "" : ", ") + label;
        streams.err << RefusedLoadText(settings.run.limit) << ": " << list << '\n';
    }
    if (options.metrics)
        options.metrics->Write(metrics);
    if (options.sessionOut)
        WriteSessionOf(options, settings, next, {}, std::move(pins));
    return status;
}

} // namespace cli
