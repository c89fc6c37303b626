#pragma once

#include "experiments/Settings.h"
#include "plot/CsvTable.h"

#include <optional>
#include <string>

// What the batch tool's commands give for the d-q machine where they differ
// from the three-state model's.
namespace cli {

struct CharacteristicText {
    // The curve as CSV.
    std::string csv;
    // The lines for standard error: the breakdown point, and the operating
    // point under the load when one is given.
    std::string points{};
};

// The d-q machine's static characteristic over the speeds of the
// three-state model's, -w0/p to 1.5 w0/p at 1001 speeds, with its slip,
// current and power factor; its breakdown point, and where the step
// response's load, held, meets it.
CharacteristicText DqCharacteristicText(const Settings& settings, std::optional<double> load, CsvStyle style);

} // namespace cli
