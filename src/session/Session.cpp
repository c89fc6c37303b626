#include "session/Session.h"

#include "experiments/Family.h"
#include "experiments/TomlFile.h"
#include "plot/CsvTable.h"
#include "plot/ShownTraces.h"
#include "toolkit/AtomicFile.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <span>
#include <string>
#include <utility>

namespace {

// A text as a TOML basic string: quotes, backslashes and control
// characters escaped.
std::string Quoted(std::string_view text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            quoted += '\\';
        } else if (byte < 0x20 || byte == 0x7F) {
            std::array<char, 8> escape{};
            std::snprintf(escape.data(), escape.size(), "\\u%04X", static_cast<unsigned>(byte));
            quoted += escape.data();
            continue;
        }
        quoted += c;
    }
    return quoted + '"';
}

std::string Number(double value)
{
    return ValueText(SettingValue(value));
}

std::string Flag(bool value)
{
    return value ? "true" : "false";
}

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

// Reads a session's values, refusing, at its place, whatever is not as
// SessionText writes it.
class Reader {
public:
    Reader(std::string_view text, std::string_view source) : text_(text), source_(source) {}

    [[noreturn]] void Refuse(const toml::node& at, std::string_view key) const
    {
        FailAt(source_, at.source().begin, {.kind = ProblemKind::BadEntry, .setting = std::string(key)});
    }

    // Refuses a key the table should not hold.
    void Only(const toml::table& table, std::initializer_list<std::string_view> keys, std::string_view path) const
    {
        const std::vector<std::string_view> known(keys);
        for (const auto& [key, node] : table)
            if (std::find(known.begin(), known.end(), key.str()) == known.end())
                FailAt(source_, key.source().begin,
                       UnknownSetting(Joined(path, key.str()), Joined(path, NearestName(key.str(), known))).Cause());
    }

    template <typename Value>
    const toml::node& Node(const toml::table& table, std::string_view key, std::string_view path) const
    {
        const toml::node* node = table.get(key);
        if (!node)
            Refuse(table, Joined(path, key));
        if (!node->is<Value>())
            Refuse(*node, Joined(path, key));
        return *node;
    }

    template <typename Value>
    Value Get(const toml::table& table, std::string_view key, std::string_view path) const
    {
        return *Node<Value>(table, key, path).template value<Value>();
    }

    const toml::table& Table(const toml::table& table, std::string_view key, std::string_view path) const
    {
        return *Node<toml::table>(table, key, path).as_table();
    }

    // The array's tables, at most most of them.
    std::vector<const toml::table*> Tables(const toml::table& table, std::string_view key, std::size_t most) const
    {
        std::vector<const toml::table*> tables;
        const toml::node* node = table.get(key);
        if (!node)
            return tables;
        const toml::array* array = node->as_array();
        if (!array || array->size() > most)
            Refuse(*node, key);
        for (const toml::node& item : *array) {
            if (!item.is_table())
                Refuse(item, key);
            tables.push_back(item.as_table());
        }
        return tables;
    }

    Settings SettingsOf(const toml::table& table, std::string_view path) const
    {
        const toml::table& tables = Table(table, "settings", path);
        Settings settings = SettingsFromTables(tables, text_, source_, Settings{});
        try {
            CheckSettings(settings);
        } catch (const SettingsError& error) {
            // At the setting's line, where the setting is written.
            const toml::node_view<const toml::node> setting = tables.at_path(error.Cause().setting);
            FailAt(source_, setting ? setting.node()->source().begin : tables.source().begin, error.Cause());
        }
        return settings;
    }

    RandomSources SourcesOf(const toml::table& table, std::string_view path) const
    {
        RandomSources sources;
        const toml::node& state = Node<std::string>(table, "sources", path);
        if (!sources.Restore(*state.value<std::string>()))
            Refuse(state, Joined(path, "sources"));
        return sources;
    }

    RunRecipe RecipeOf(const toml::table& table, std::string_view path) const
    {
        const toml::node& kind = Node<std::string>(table, "kind", path);
        const auto run = std::find_if(kRuns.begin(), kRuns.end(),
                                      [&](const RunDefinition& r) { return r.name == *kind.value<std::string>(); });
        if (run == kRuns.end())
            Refuse(kind, Joined(path, "kind"));
        return {run->kind, SettingsOf(table, path), Get<std::string>(table, "load", path), SourcesOf(table, path)};
    }

    // One of the quantities the run reports.
    Quantity QuantityOf(const toml::table& table, std::span<const Quantity> reported, std::string_view path) const
    {
        const toml::node& name = Node<std::string>(table, "quantity", path);
        for (Quantity quantity : reported)
            if (QuantityName(quantity) == *name.value<std::string>())
                return quantity;
        Refuse(name, Joined(path, "quantity"));
    }

    std::int64_t WholeBetween(const toml::table& table, std::string_view key, std::string_view path,
                              std::int64_t min, std::int64_t max) const
    {
        const toml::node& node = Node<std::int64_t>(table, key, path);
        const std::int64_t value = *node.value<std::int64_t>();
        if (value < min || value > max)
            Refuse(node, Joined(path, key));
        return value;
    }

    std::string_view Source() const { return source_; }

    static std::string Joined(std::string_view path, std::string_view key)
    {
        return path.empty() ? std::string(key) : std::string(path) + '.' + std::string(key);
    }

private:
    std::string_view text_;
    std::string_view source_;
};

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

// Written only where the user gave notes or chose portrait pages.
void ReadReport(const Reader& read, const toml::table& file, Session& session)
{
    if (!file.contains("report"))
        return;
    const toml::table& report = read.Table(file, "report", "");
    read.Only(report, {"notes", "portrait"}, "report");
    session.report.notes = read.Get<std::string>(report, "notes", "report");
    session.report.portrait = read.Get<bool>(report, "portrait", "report");
}

// The hash as 16 lowercase hexadecimal digits: TOML's integers are signed.
std::string HashText(std::uint64_t hash)
{
    std::array<char, 16> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), hash, 16).ptr;
    const auto written = static_cast<std::size_t>(end - digits.data());
    return std::string(digits.size() - written, '0') + std::string(digits.data(), written);
}

std::string MeasuredText(const std::optional<SessionMeasured>& measured)
{
    if (!measured)
        return {};
    std::string mappings;
    for (const std::string& mapping : measured->mappings)
        mappings += (mappings.empty() ? "" : ", ") + Quoted(mapping);
    return "\n[measured]\nfile = " + Quoted(measured->file) + "\nhash = " + Quoted(HashText(measured->hash)) +
           "\nmappings = [" + mappings + "]\n";
}

// Each of the time and the quantities is taken by one column at most.
constexpr std::size_t kMostMappings = kDqQuantities.size() + 1;

void ReadMeasured(const Reader& read, const toml::table& file, Session& session)
{
    if (!file.contains("measured"))
        return;
    const toml::table& table = read.Table(file, "measured", "");
    read.Only(table, {"file", "hash", "mappings"}, "measured");
    SessionMeasured measured;
    const toml::node& name = read.Node<std::string>(table, "file", "measured");
    measured.file = *name.value<std::string>();
    if (measured.file.empty())
        read.Refuse(name, "measured.file");
    const toml::node& hash = read.Node<std::string>(table, "hash", "measured");
    const std::string digits = *hash.value<std::string>();
    const char* end = digits.data() + digits.size();
    if (digits.size() != 16 || digits.find_first_not_of("0123456789abcdef") != std::string::npos ||
        std::from_chars(digits.data(), end, measured.hash, 16).ptr != end)
        read.Refuse(hash, "measured.hash");
    // "COLUMN=Omega": a column's heading and, after the last "=", its role.
    const toml::node& mappings = read.Node<toml::array>(table, "mappings", "measured");
    if (mappings.as_array()->size() > kMostMappings)
        read.Refuse(mappings, "measured.mappings");
    for (const toml::node& item : *mappings.as_array()) {
        const std::optional<std::string> mapping = item.value<std::string>();
        if (!item.is_string() || mapping->find('=') == 0 || mapping->rfind('=') + 1 >= mapping->size())
            read.Refuse(item, "measured.mappings");
        measured.mappings.push_back(*mapping);
    }
    session.measured = std::move(measured);
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
    if (!session.report.notes.empty() || session.report.portrait)
        text += "\n[report]\nnotes = " + Quoted(session.report.notes) + "\nportrait = " +
                Flag(session.report.portrait) + '\n';
    text += MeasuredText(session.measured);
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
