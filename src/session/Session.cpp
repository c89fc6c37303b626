#include "session/Session.h"

#include "experiments/Family.h"
#include "experiments/TomlFile.h"
#include "session/OptionalTables.h"
#include "session/SessionToml.h"
#include "toolkit/AtomicFile.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <span>
#include <string>
#include <utility>

using sessionfile::Flag;
using sessionfile::MeasuredText;
using sessionfile::Number;
using sessionfile::Quoted;
using sessionfile::ReadMeasured;
using sessionfile::ReadReport;
using sessionfile::Reader;
using sessionfile::ReportText;

namespace {

// The recipe's own lines: its kind, load and sources.
std::string RecipeLines(const RunRecipe& recipe)
{
    return "kind = " + Quoted(RunOf(recipe.kind).name) + "\nload = " + Quoted(recipe.loadText) +
           "\nsources = " + Quoted(recipe.sources.State()) + '\n';
}

std::string RecipeSettings(const RunRecipe& recipe, std::string_view array)
{
    return '\n' + SettingsTablesText(recipe.settings, std::string(array) + ".settings.");
}

std::string RunsText(const std::vector<SessionRun>& runs)
{
    std::string text;
    for (const SessionRun& run : runs) {
        text += "\n[[runs]]\n" + RecipeLines(run.recipe);
        for (Quantity quantity : QuantitiesOf(run.recipe.settings))
            text += "shown_" + std::string(QuantityName(quantity)) + " = " +
                    Flag(run.shown[static_cast<std::size_t>(quantity)]) + '\n';
        text += RecipeSettings(run.recipe, "runs");
    }
    return text;
}

std::string PinsText(const std::vector<SessionPin>& pins)
{
    std::string text;
    for (const SessionPin& pin : pins) {
        text += "\n[[pins]]\n" + RecipeLines(pin.recipe);
        if (const auto& family = pin.family)
            text += "\n[pins.family]\nsetting = " + Quoted(family->setting) + "\nvalue = " + Quoted(family->value) +
                    "\nindex = " + std::to_string(family->index) + "\ncount = " + std::to_string(family->count) + '\n';
        for (const SessionPinTrace& trace : pin.traces)
            text += "\n[[pins.traces]]\nquantity = " + Quoted(QuantityName(trace.quantity)) +
                    "\nheading = " + Quoted(trace.heading) + "\ncolour = " + std::to_string(trace.colour) +
                    "\nshown = " + Flag(trace.shown) + '\n';
        text += RecipeSettings(pin.recipe, "pins");
    }
    return text;
}

std::vector<SessionRun> ReadRuns(const Reader& read, const toml::table& file)
{
    std::vector<SessionRun> runs;
    for (const toml::table* table : read.Tables(file, "runs", kRuns.size())) {
        read.Only(*table, {"kind", "load", "sources", "shown_Md", "shown_Omega", "shown_Is", "shown_ia", "settings"},
                  "runs");
        SessionRun& run = runs.emplace_back(SessionRun{read.RecipeOf(*table, "runs")});
        // One run of each kind, in the chart's order.
        if (runs.size() > 1 && runs[runs.size() - 2].recipe.kind >= run.recipe.kind)
            read.Refuse(*table, "runs.kind");
        // Whether each quantity the run reports is shown, and nothing of
        // those it does not.
        for (Quantity quantity : kDqQuantities) {
            const std::string key = "shown_" + std::string(QuantityName(quantity));
            if (Reports(run.recipe.settings, quantity))
                run.shown[static_cast<std::size_t>(quantity)] = read.Get<bool>(*table, key, "runs");
            else if (const toml::node* node = table->get(key))
                read.Refuse(*node, "runs." + key);
        }
    }
    return runs;
}

std::optional<FamilyPlace> ReadFamily(const Reader& read, const toml::table& pin)
{
    if (!pin.contains("family"))
        return std::nullopt;
    const toml::table& family = read.Table(pin, "family", "pins");
    read.Only(family, {"setting", "value", "index", "count"}, "pins.family");
    const auto count = read.WholeBetween(family, "count", "pins.family", 1, kMaxFamilyValues);
    return FamilyPlace{read.Get<std::string>(family, "setting", "pins.family"),
                       read.Get<std::string>(family, "value", "pins.family"),
                       static_cast<std::size_t>(read.WholeBetween(family, "index", "pins.family", 0, count - 1)),
                       static_cast<std::size_t>(count)};
}

std::vector<SessionPin> ReadPins(const Reader& read, const toml::table& file, std::size_t most)
{
    std::vector<SessionPin> pins;
    for (const toml::table* table : read.Tables(file, "pins", most)) {
        read.Only(*table, {"kind", "load", "sources", "family", "traces", "settings"}, "pins");
        SessionPin pin{read.RecipeOf(*table, "pins"), ReadFamily(read, *table), {}};
        const std::span<const Quantity> reported = QuantitiesOf(pin.recipe.settings);
        const std::vector<const toml::table*> traces = read.Tables(*table, "traces", reported.size());
        if (traces.empty())
            read.Refuse(*table, "pins.traces");
        for (const toml::table* trace : traces) {
            read.Only(*trace, {"quantity", "heading", "colour", "shown"}, "pins.traces");
            const Quantity quantity = read.QuantityOf(*trace, reported, "pins.traces");
            if (!pin.traces.empty() && pin.traces.back().quantity >= quantity)
                read.Refuse(*trace, "pins.traces.quantity");
            pin.traces.push_back({quantity, read.Get<std::string>(*trace, "heading", "pins.traces"),
                                  static_cast<Colour>(read.WholeBetween(*trace, "colour", "pins.traces", 0, 0xFFFFFF)),
                                  read.Get<bool>(*trace, "shown", "pins.traces")});
        }
        pins.push_back(std::move(pin));
    }
    return pins;
}

void ReadView(const Reader& read, const toml::table& file, Session& session)
{
    const toml::table& view = read.Table(file, "view", "");
    read.Only(view, {"seconds", "titles", "report", "seconds_per_step", "zoom"}, "view");
    session.units.seconds = read.Get<bool>(view, "seconds", "view");
    session.units.titles = read.Get<bool>(view, "titles", "view");
    // Written only while on: a session saved before the style was there
    // reads as one without it.
    session.units.report = view.contains("report") && read.Get<bool>(view, "report", "view");
    const toml::node& step = read.Node<double>(view, "seconds_per_step", "view");
    session.units.secondsPerStep = *step.value<double>();
    if (!std::isfinite(session.units.secondsPerStep) || session.units.secondsPerStep <= 0)
        read.Refuse(step, "view.seconds_per_step");
    if (!view.contains("zoom"))
        return;
    const toml::node& zoom = read.Node<toml::array>(view, "zoom", "view");
    const toml::array& ends = *zoom.as_array();
    std::array<double, 4> values{};
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (ends.size() != values.size() || !ends[i].is_floating_point())
            read.Refuse(zoom, "view.zoom");
        values[i] = *ends[i].value<double>();
    }
    const AxisRanges ranges{{values[0], values[1]}, {values[2], values[3]}};
    if (!Viewable(ranges))
        read.Refuse(zoom, "view.zoom");
    session.zoom = ranges;
}

// What the session holds, written last: a file cut short at any line lacks
// it, and one with lines lost from between counts other than it says.
struct Holds {
    std::size_t runs;
    std::size_t pins;
    std::size_t traces;
};

Holds HoldsOf(const Session& session)
{
    std::size_t traces = 0;
    for (const SessionPin& pin : session.pins)
        traces += pin.traces.size();
    return {session.runs.size(), session.pins.size(), traces};
}

std::string HoldsText(const Session& session)
{
    const Holds holds = HoldsOf(session);
    return "\n[holds]\nruns = " + std::to_string(holds.runs) + "\npins = " + std::to_string(holds.pins) +
           "\ntraces = " + std::to_string(holds.traces) + '\n';
}

void CheckHolds(const Reader& read, const toml::table& file, const Session& session)
{
    const toml::node* said = file.get("holds");
    if (!said || !said->is_table() || said->as_table()->size() < 3)
        FailAt(read.Source(), toml::source_position{}, {.kind = ProblemKind::CutShort, .setting = "holds"});
    const toml::table& holds = *said->as_table();
    read.Only(holds, {"runs", "pins", "traces"}, "holds");
    const Holds found = HoldsOf(session);
    for (const auto& [key, count] : {std::pair{"runs", found.runs}, {"pins", found.pins}, {"traces", found.traces}}) {
        const toml::node& node = read.Node<std::int64_t>(holds, key, "holds");
        if (*node.value<std::int64_t>() != static_cast<std::int64_t>(count))
            FailAt(read.Source(), node.source().begin,
                   {.kind = ProblemKind::HoldsOtherThanSaid,
                    .setting = std::string("holds.") + key,
                    .value = std::to_string(count),
                    .count = *node.value<std::int64_t>()});
    }
}

} // namespace

constexpr std::string_view kFirstLine = "# motormodel session\n";

std::string SessionText(const Session& session, std::string_view version)
{
    std::string text = std::string(kFirstLine) + "format = " + std::to_string(Session::kFormat) +
                       "\nversion = " + Quoted(version) + "\nload = " + Quoted(session.loadText) +
                       "\nsources = " + Quoted(session.sources.State()) + "\n\n[view]\nseconds = " +
                       Flag(session.units.seconds) + "\ntitles = " + Flag(session.units.titles) +
                       (session.units.report ? "\nreport = true" : "") +
                       "\nseconds_per_step = " + Number(session.units.secondsPerStep) + '\n';
    if (const auto& zoom = session.zoom)
        text += "zoom = [" + Number(zoom->x.min) + ", " + Number(zoom->x.max) + ", " + Number(zoom->y.min) + ", " +
                Number(zoom->y.max) + "]\n";
    text += ReportText(session.report) + MeasuredText(session.measured);
    text += '\n' + SettingsTablesText(session.settings, "settings.");
    return text + RunsText(session.runs) + PinsText(session.pins) + HoldsText(session);
}

Session ParseSession(std::string_view text, std::string_view source)
{
    const toml::table file = ParseBoundedToml(text, source);
    const Reader read(text, source);
    // The format first: a newer one may hold anything.
    const toml::node& format = read.Node<std::int64_t>(file, "format", "");
    if (*format.value<std::int64_t>() > Session::kFormat)
        FailAt(source, format.source().begin,
               {.kind = ProblemKind::NewerFormat,
                .value = std::to_string(*format.value<std::int64_t>()),
                .count = Session::kFormat});
    read.WholeBetween(file, "format", "", 1, Session::kFormat);
    read.Only(file, {"format", "version", "load", "sources", "view", "report", "measured", "settings", "runs", "pins",
               "holds"},
              "");
    read.Get<std::string>(file, "version", "");
    Session session;
    session.settings = read.SettingsOf(file, "");
    session.loadText = read.Get<std::string>(file, "load", "");
    session.sources = read.SourcesOf(file, "");
    ReadView(read, file, session);
    ReadReport(read, file, session);
    ReadMeasured(read, file, session);
    session.runs = ReadRuns(read, file);
    session.pins = ReadPins(read, file, Session::kMostRuns - session.runs.size());
    if (*format.value<std::int64_t>() >= Session::kFormatWithHolds)
        CheckHolds(read, file, session);
    return session;
}

void AddMemberPin(std::vector<SessionPin>& pins, const FamilyMember& member)
{
    const RunResult& run = member.run.value();
    const std::string label = FamilyMemberLabel(member.place.setting, member.place.value);
    auto used = [&pins](const std::string& heading) {
        return std::ranges::any_of(pins, [&heading](const SessionPin& pin) {
            return std::ranges::any_of(pin.traces, [&heading](const SessionPinTrace& t) { return t.heading == heading; });
        });
    };
    SessionPin pin{run.Recipe(), member.place, {}};
    for (Quantity quantity : kQuantities)
        pin.traces.push_back({quantity, UnusedHeading(run.Of(quantity).Title() + " (" + label + ")", used),
                              FamilyColour(member.place.index, member.place.count)});
    pins.push_back(std::move(pin));
}

bool IsSessionText(std::string_view text)
{
    // A byte order mark, as some editors save, and line ends of either kind.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    const std::string_view line = kFirstLine.substr(0, kFirstLine.size() - 1);
    return text.starts_with(line) && (text.size() == line.size() || text[line.size()] == '\n' || text[line.size()] == '\r');
}

Session LoadSession(const std::string& path)
{
    Session session = ParseSession(ReadBoundedFile(path), path);
    if (session.measured)
        session.measured->file = FileOfSession(session.measured->file, path);
    return session;
}

void SaveSession(const std::string& path, const Session& session, std::string_view version)
{
    Session saved = session;
    if (saved.measured)
        saved.measured->file = FileInSession(saved.measured->file, path);
    toolkit::ReplaceFile(path, SessionText(saved, version));
}

namespace {

std::filesystem::path FolderOf(const std::string& sessionPath)
{
    return std::filesystem::absolute(sessionPath).lexically_normal().parent_path();
}

} // namespace

std::string FileInSession(const std::string& file, const std::string& sessionPath)
{
    const std::filesystem::path absolute = std::filesystem::absolute(file).lexically_normal();
    const std::filesystem::path relative = absolute.lexically_relative(FolderOf(sessionPath));
    // Written with forward slashes, which every system reads, so that a
    // folder copied to another keeps working.
    if (!relative.empty() && *relative.begin() != "..")
        return relative.generic_string();
    return absolute.string();
}

std::string FileOfSession(const std::string& named, const std::string& sessionPath)
{
    const std::filesystem::path path(named);
    return path.is_absolute() ? named : (FolderOf(sessionPath) / path).lexically_normal().string();
}
