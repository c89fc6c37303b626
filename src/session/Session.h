#pragma once

#include "experiments/Experiments.h"
#include "experiments/Family.h"
#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "plot/AxisUnits.h"
#include "plot/ChartRange.h"
#include "plot/CsvTable.h"
#include "plot/Colour.h"
#include "plot/Trace.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A session: what the main window shows, kept as the recipes that made it,
// so that opened again it shows the same to the last bit. Runs are made
// again rather than their points kept: a recipe holds the random sources as
// the run found them, and a run is a value of its recipe.

// The run whose traces the chart shows for its kind, and which of them the
// user shows.
struct SessionRun {
    RunRecipe recipe;
    // By quantity: Md and Omega shown, and a d-q machine's currents hidden,
    // until the user says otherwise. The session keeps those of the
    // quantities the run reports.
    std::array<bool, kDqQuantities.size()> shown{true, true, false, false};
    bool operator==(const SessionRun&) const = default;
};

// A pinned copy of one of a run's traces, as the chart named and coloured it.
struct SessionPinTrace {
    Quantity quantity;
    std::string heading;
    Colour colour;
    bool shown = true;
    bool operator==(const SessionPinTrace&) const = default;
};

// A run pinned to the chart: its recipe, its place if it is a family's
// member, and those of its traces still pinned, in the order pinned.
struct SessionPin {
    RunRecipe recipe;
    std::optional<FamilyPlace> family{};
    std::vector<SessionPinTrace> traces{};
    bool operator==(const SessionPin&) const = default;
};

// What the user gave the window's report: notes printed under its heading,
// and pages upright rather than landscape.
struct SessionReport {
    std::string notes;
    bool portrait = false;
    bool operator==(const SessionReport&) const = default;
};

// The measured data shown over the runs: the file it was read from, the
// hash its bytes had then (FNV-1a, 64 bits), and the user's "COLUMN=Omega"
// mappings for headings the program does not name. The session keeps the
// file's name rather than its samples: a bench's log can be large, and the
// hash tells a file changed since from the one the session was made with.
struct SessionMeasured {
    // As the user opened it; in the file, relative to the session's folder
    // when it lies within it (see SaveSession and LoadSession).
    std::string file;
    std::uint64_t hash = 0;
    std::vector<std::string> mappings{};
    bool operator==(const SessionMeasured&) const = default;
};

struct Session {
    // The format this program writes and the newest it reads.
    static constexpr std::int64_t kFormat = 2;
    // From this format on a session ends with what it holds, so that a file
    // cut short is refused rather than read in part.
    static constexpr std::int64_t kFormatWithHolds = 2;
    // The most runs a session holds, live and pinned: the chart pins at most
    // 48 traces, one run at least one each, beside a live run of each kind.
    static constexpr std::size_t kMostRuns = 64;

    Settings settings;
    // The load box's text.
    std::string loadText;
    // The sources the next run draws from.
    RandomSources sources;
    // At most one of each kind, in kRuns' order.
    std::vector<SessionRun> runs{};
    // Oldest first.
    std::vector<SessionPin> pins{};
    AxisUnits units{};
    // The user's ranges while zoomed.
    std::optional<AxisRanges> zoom{};
    SessionReport report{};
    std::optional<SessionMeasured> measured{};
    bool operator==(const Session&) const = default;
};

// The session as a TOML file: format, the version that wrote it, and every
// number as the shortest text that reads back to the same bits.
std::string SessionText(const Session& session, std::string_view version);

// Reads a session file's text, named source in messages. Raises
// SettingsError placed at the line: for a format newer than kFormat, for a
// file that does not end with what it holds or holds other than it says, for
// anything not as SessionText writes it, for settings not allowed and for
// more than kMostRuns runs. Reading is bounded as for experiment files.
Session ParseSession(std::string_view text, std::string_view source);

// Appends the pin the window makes of a family's member that ran: its
// traces named by its value ("Md (Mc=20)", numbered if a pin before has
// the name) and coloured by its place.
void AddMemberPin(std::vector<SessionPin>& pins, const FamilyMember& member);

// Whether the text is meant as a session, damaged or not: it starts with
// the line every session starts with.
bool IsSessionText(std::string_view text);

// The measured data's file read back as the session at path names it:
// resolved against the session's folder.
Session LoadSession(const std::string& path);
// Replaces the file, whole or not at all. The measured data's file is
// written relative to the session's folder when it lies within it, so a
// folder moved or copied whole keeps its session working; else absolute.
void SaveSession(const std::string& path, const Session& session, std::string_view version);

// The measured data's file as a session at sessionPath names it, and back.
std::string FileInSession(const std::string& file, const std::string& sessionPath);
std::string FileOfSession(const std::string& named, const std::string& sessionPath);

// The runs made again from the session's recipes, in its order: those of
// runs, then those of pins.
struct SessionResults {
    std::vector<RunResult> runs;
    std::vector<RunResult> pins;
};
SessionResults RunSession(const Session& session);

// What the chart exports for the session in the style: its traces in the
// chart's order, the three runs' Md and Omega, the currents of those that
// ran a d-q machine, then the pins; the hidden and
// the empty ones left out; given to write in pieces.
void WriteSessionCsv(const Session& session, const SessionResults& results, CsvStyle style, const CsvWrite& write);
