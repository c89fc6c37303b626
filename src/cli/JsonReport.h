#pragma once

#include "analysis/Measurements.h"
#include "analysis/StepCharacteristics.h"
#include "cli/Characteristic.h"
#include "experiments/Settings.h"
#include "lab/Comparison.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The documents of --json: a run's or the characteristic's results as one
// JSON object, made from the values the analysis gives.
namespace cli {

// A step response's largest Md and Omega.
struct Maxima {
    double Md;
    double Omega;
};

struct RunReport {
    std::string_view command;
    const Settings& settings;
    bool refused;
    // The step response's load, once its text parsed.
    std::optional<std::int32_t> load;
    // What was measured; none where the command measures nothing of the
    // kind, or the run was refused.
    std::optional<Maxima> maxima;
    std::optional<std::span<const analysis::CharacteristicsRow>> metrics;
    std::optional<std::span<const analysis::StatisticsRow>> statistics;
    // The run against measured data, where --measured gives some.
    const lab::Comparison* comparison = nullptr;
};

// {"command", "settings", "outcome", "load", "maxima", "metrics", "stats"}:
// the settings in force by name; the characteristics' rows with the
// columns of --metrics by name, the times in seconds among them; the
// statistics' rows with those of --stats; with measured data, the extremes'
// times in those rows, and "comparison" after them, the rows of --compare.
// An undefined value is null.
std::string RunJson(const RunReport& report);

// {"command", "settings", "load", "operating_point", "searched",
// "breakdown"}: null where there is no load, no point where the load meets
// the curve, or no breakdown point (the three-state model's).
std::string CharacteristicJson(const Settings& settings, const CharacteristicResult& result);

} // namespace cli
