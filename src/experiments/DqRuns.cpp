#include "experiments/DqRuns.h"

#include "experiments/Experiments.h"
#include "plot/AxisUnits.h"

#include <array>
#include <cmath>
#include <string>

namespace {

bool Finite(const DqQuantities& q)
{
    return std::isfinite(q.Md) && std::isfinite(q.Omega) && std::isfinite(q.Is) && std::isfinite(q.ia);
}

} // namespace

DqRunResult RunDq(const DqParameters& model, const DqSupplyEvents& supply, const StepSettings& step,
                  const LoadSchedule& schedule, double load)
{
    DqRunResult run;
    for (std::vector<double>& column : run.values)
        column.reserve(static_cast<std::size_t>(schedule.steps));
    DqModel machine(model, supply);
    WithProfile(step.profile, [&](auto profile) {
        for (std::int64_t i = 0; i < schedule.steps; ++i) {
            const double Mc = ProfileLoad<profile()>(step, schedule.off, load, i, machine.State().Omega);
            const DqQuantities q = machine.Step(Mc);
            if (!Finite(q)) {
                run.overflowed = true;
                return;
            }
            const std::array<double, kDqQuantities.size()> row{q.Md, q.Omega, q.Is, q.ia};
            for (std::size_t k = 0; k < row.size(); ++k)
                run.values[k].push_back(row[k]);
        }
    });
    return run;
}

void WriteDqRunCsv(const DqRunResult& run, CsvStyle style, std::optional<double> secondsPerStep,
                   const CsvWrite& write)
{
    std::string piece = "step";
    if (secondsPerStep)
        (piece += style.separator) += 't';
    for (const DqQuantity quantity : kDqQuantities)
        (piece += style.separator) += DqQuantityName(quantity);
    piece += '\n';
    for (std::size_t i = 0; i < run.Steps(); ++i) {
        piece += std::to_string(i);
        if (secondsPerStep) {
            piece += style.separator;
            AppendCsvNumber(piece, TimeOfStep(static_cast<double>(i), *secondsPerStep), style);
        }
        for (const std::vector<double>& column : run.values) {
            piece += style.separator;
            AppendCsvNumber(piece, column[i], style);
        }
        piece += '\n';
        if (piece.size() >= kCsvPiece) {
            write(piece);
            piece.clear();
        }
    }
    write(piece);
}
