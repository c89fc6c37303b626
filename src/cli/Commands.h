#pragma once

#include "cli/Options.h"
#include "cli/Output.h"
#include "experiments/Experiments.h"
#include "plot/ShownTraces.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// The batch tool's commands, once the command line has passed: each
// writes its outputs and returns the exit status.
namespace cli {

inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitRefused = 3;

// The command the options name, with the settings in force; a sweep's run
// once per value.
int RunCommand(const Options& options, const Settings& settings, const Streams& streams);

// One run per value of the setting swept, on every core.
int RunSweep(const Options& options, const Settings& settings, const Streams& streams);

// What a single run and a sweep share.

// The step size that times in seconds take, with --time.
std::optional<double> TimeStep(const RunResult& run, const Options& options);

// A run's traces as the chart shows them, headed by their quantities: "Md"
// and "Omega", and the d-q machine's currents "Is" and "ia" after them.
ShownTraces RunTraces(const RunResult& run);

// The run's characteristics with the tool's options.
std::string MetricsText(const RunResult& run, const Options& options);

// The step response's load: a typed load wins over the settings' one.
std::string LoadText(const Options& options, const Settings& settings);

RunKind KindOfRun(Command command);

// Says before a run whose step is past the stable one that it will not
// settle; the run goes ahead. A family member's warning starts with its
// setting and value.
void WarnOfUnstableStep(const Settings& settings, std::ostream& err, const std::string& member = {});

// The session the window would save after making the runs or pinning the
// family's members, in a window that had none before; after the run alone.
Session SessionOf(const Options& options, const Settings& settings, const RandomSources& next,
                  std::vector<SessionRun> runs, std::vector<SessionPin> pins);
Session SessionOf(const Options& options, const RunResult& run);
// Writes the session to --session, its measured data's file named as a
// session there names it.
void WriteSession(const Options& options, Session session);
// Writes that session to --session.
void WriteSessionOf(const Options& options, const Settings& settings, const RandomSources& next,
                    std::vector<SessionRun> runs, std::vector<SessionPin> pins);

} // namespace cli
