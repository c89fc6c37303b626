#pragma once

#include "analysis/MechanicalCharacteristic.h"
#include "analysis/SignalStatistics.h"
#include "analysis/StepCharacteristics.h"

#include <span>
#include <string>

namespace analysis {

// The tables as comma-separated values with a heading row. Numbers are in
// the shortest form that reads back exactly; an undefined value is an
// empty cell.

// trace,segment,initial,final,peak,peak_step,trough,trough_step,
// rise_steps,settling_steps,overshoot_percent,undershoot_percent
std::string CharacteristicsCsv(std::span<const CharacteristicsRow> rows);

// trace,from,to,count,min,min_step,max,max_step,mean,rms,std
std::string StatisticsCsv(std::span<const StatisticsRow> rows);

// Omega,Md,K, one row per point in the order given.
std::string StaticCurveCsv(std::span<const StaticPoint> points);

} // namespace analysis
