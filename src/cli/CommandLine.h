#pragma once

#include <ostream>
#include <span>
#include <string>

namespace cli {

// Runs the batch tool on the arguments after the program's name, as
// motormodel-cli would: writes what it writes to out and err, and returns
// its exit status. Called any number of times in one process.
int RunCommandLine(std::span<const std::string> arguments, std::ostream& out, std::ostream& err);

} // namespace cli
