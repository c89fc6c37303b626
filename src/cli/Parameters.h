#pragma once

#include "cli/Options.h"
#include "cli/Output.h"
#include "experiments/Settings.h"
#include "lab/Nameplate.h"

#include <string>
#include <utility>
#include <vector>

// The parameters command: the d-q machine's parameters from a rating plate
// and a catalogue, written as an experiment file.
namespace cli {

// The plate --rated gives, figure by figure as NAME=VALUE; raises
// UsageError for an unknown or repeated name, a value that is not a finite
// number (or star or delta), a figure left out that the plate must give,
// or figures no machine could have.
lab::Nameplate NameplateFrom(const std::vector<std::pair<std::string, std::string>>& figures);

// The experiment file to --output (standard output by default), the
// settings in force made a d-q machine of the plate; the figures' table to
// standard error and as CSV to --csv.
int RunParameters(const Options& options, const Settings& settings, const Streams& streams);

} // namespace cli
