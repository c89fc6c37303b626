#pragma once

#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "model/DqModel.h"
#include "plot/CsvTable.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// Runs of the d-q machine as values: what it reports at each step, made
// under the step response's load profile and schedule, and written as the
// batch tool writes it.

// The quantities a d-q run reports, in the order its tables list them.
enum class DqQuantity { Md, Omega, Is, ia };
inline constexpr std::array<DqQuantity, 4> kDqQuantities{DqQuantity::Md, DqQuantity::Omega, DqQuantity::Is,
                                                        DqQuantity::ia};

constexpr std::string_view DqQuantityName(DqQuantity quantity)
{
    constexpr std::array<std::string_view, 4> names{"Md", "Omega", "Is", "ia"};
    return names[static_cast<std::size_t>(quantity)];
}

struct DqRunResult {
    // Each quantity at each step made: index i holds the state after step i.
    std::array<std::vector<double>, kDqQuantities.size()> values;
    // Whether a step left the double range: the run stopped there, keeping
    // the steps before it.
    bool overflowed = false;

    const std::vector<double>& Of(DqQuantity quantity) const { return values[static_cast<std::size_t>(quantity)]; }
    std::size_t Steps() const { return values.front().size(); }
};

// A d-q run of schedule.steps steps under the step response's load: its
// profile from step.on to schedule.off - 1, nothing outside, formed from the
// speed at the start of each step as the three-state run forms it.
DqRunResult RunDq(const DqParameters& model, const DqSupplyEvents& supply, const StepSettings& step,
                  const LoadSchedule& schedule, double load);

// step,Md,Omega,Is,ia (step,t,Md,... given the step size), a row per step,
// each number in the shortest form that reads back exactly; given to write
// in pieces, so a run of millions of steps is never held as one text.
void WriteDqRunCsv(const DqRunResult& run, CsvStyle style, std::optional<double> secondsPerStep,
                   const CsvWrite& write);
