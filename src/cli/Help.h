#pragma once

#include <string>

namespace cli {

// The text of --help, with the settings' defaults and their section filled
// in, laid out for help2man, which writes the man page from it.
std::string HelpText();

} // namespace cli
