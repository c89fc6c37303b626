#pragma once

#include "analysis/DqCharacteristic.h"
#include "analysis/Measurements.h"
#include "analysis/MechanicalCharacteristic.h"
#include "analysis/SignalStatistics.h"
#include "analysis/StepCharacteristics.h"
#include "plot/CsvTable.h"

#include <optional>
#include <span>
#include <string>

namespace analysis {

// The tables as separated values with a heading row, in the style given
// (comma-separated with a decimal point by default). Numbers are in the
// shortest form that reads back exactly; an undefined value is an empty
// cell.

// trace,segment, then the names of kStepFigures, and with times those of
// kStepTimeFigures: the columns below. A whole figure reads as an integer,
// Settled as "yes" or "no".
std::string StepRowsCsv(std::span<const StepRow> rows, CsvStyle style = kPlainCsv, bool times = false);

// The same for the rows of the characteristics: trace,segment,initial,final,peak,peak_step,trough,trough_step,
// rise_steps,settling_steps,overshoot_percent,undershoot_percent,
// t63_steps,end,rest,settled; final is empty and settled is "no" for a
// segment that has not settled, whose end value is in end. Given the step
// size, the times follow in seconds: peak_seconds,trough_seconds (the
// times of the states), rise_seconds,settling_seconds,t63_seconds (the
// lengths of those steps).
std::string CharacteristicsCsv(std::span<const CharacteristicsRow> rows, CsvStyle style = kPlainCsv,
                               std::optional<double> secondsPerStep = std::nullopt);

// trace,from,to,count,min,min_step,max,max_step,mean,rms,std: the names of
// kStatisticsFigures after the trace's, which is its quantity's name.
std::string RangeRowsCsv(std::span<const RangeRow> rows, CsvStyle style = kPlainCsv);

// The same for rows that name their traces; with times, ending in
// min_seconds,max_seconds, which measured samples give in place of steps.
std::string StatisticsCsv(std::span<const StatisticsRow> rows, CsvStyle style = kPlainCsv, bool times = false);

// Omega,Md,K, one row per point in the order given.
std::string StaticCurveCsv(std::span<const StaticPoint> points, CsvStyle style = kPlainCsv);

// The d-q machine's: Omega,Md,slip,Is,cos_phi, one row per point in the
// order given.
std::string DqCurveCsv(std::span<const DqSteadyPoint> points, CsvStyle style = kPlainCsv);

} // namespace analysis
