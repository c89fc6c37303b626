#pragma once

#include "cli/Options.h"

#include <ostream>
#include <span>
#include <string>

namespace cli {

// Runs the batch tool on the arguments after the program's name, as
// motormodel-cli would: writes what it writes to out and err, and returns
// its exit status. Called any number of times in one process. Writes a
// report with `report`, where given.
int RunCommandLine(std::span<const std::string> arguments, std::ostream& out, std::ostream& err,
                   const ReportWriter& report = {});

} // namespace cli
