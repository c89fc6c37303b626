#pragma once

#include "lab/Nameplate.h"
#include "plot/CsvTable.h"

#include <string>
#include <string_view>

// The nameplate's words in English, for the batch tool and the Python
// module alike.
namespace cli {

// "efficiency must be a finite number above 0 and at most 1, not 1.2".
std::string NameplateErrorText(const lab::NameplateProblem& problem);

// The figure's name in the table, "Mk/Mn", and its unit ("" for a ratio).
std::string_view FigureName(lab::Figure figure);
std::string_view FigureUnit(lab::Figure figure);

// The figures as an aligned table for a reader: figure, target, fitted and
// deviation in percent, the assumed breakdown ratio marked so.
std::string FiguresTable(const lab::NameplateEstimate& estimate);

// The comment an experiment file of the estimate starts with: the plate's
// figures as given, the table, and what the plate leaves to be set.
std::string NameplateComment(const lab::Nameplate& plate, const lab::NameplateEstimate& estimate);

// The figures as CSV, figure,unit,target,fitted,deviation_percent,assumed
// (yes or no, as the tool's other CSV say it), every number as the
// shortest text that reads back to it.
std::string FiguresCsv(const lab::NameplateEstimate& estimate, CsvStyle style);

} // namespace cli
