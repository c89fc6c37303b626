#pragma once

#include "experiments/Experiments.h"
#include "experiments/Family.h"

#include <pybind11/pybind11.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>

// A run for Python: made with the GIL released and stopped by Ctrl+C, its
// result a value whose arrays view the run's traces.
namespace python {

// Looks after a long piece of work done without the GIL: between stretches
// of steps it takes the GIL for a moment to run Python's signal handlers
// (Ctrl+C raises KeyboardInterrupt in them) and the caller's progress
// callback; an exception from either stops the work through its cancel
// flag and is raised once the work is back.
class Watch {
public:
    // progress is None or called as progress(done, total).
    Watch(pybind11::object progress, std::int64_t total);

    RunControl ForRun();
    FamilyControl ForFamily();

    // Does the work on a thread of its own without the GIL, while this one
    // looks for signals every 20 ms: for work that reports from other
    // threads than Python's main one, where no signal handler runs.
    template <typename Work>
    auto Await(Work&& work)
    {
        pybind11::gil_scoped_release released;
        auto done = std::async(std::launch::async, std::forward<Work>(work));
        while (done.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
            Look(std::nullopt);
        return done.get();
    }

    // With the GIL: raises what stopped the work, if anything did.
    void RaiseIfStopped();

private:
    // Without the GIL: runs the signal handlers, then tells progress the
    // steps done, if given.
    void Look(std::optional<std::int64_t> done);

    pybind11::object progress_;
    std::int64_t total_;
    std::atomic<bool> cancel_{false};
    std::optional<pybind11::error_already_set> raised_;
};

// A run's result as Python sees it: shared by the result object and the
// arrays that view its traces.
struct PythonResult {
    std::shared_ptr<const RunResult> run;
    // A family's member: its setting and value.
    std::optional<FamilyPlace> member{};
};

// Makes the run of the kind ("gauss", "uniform" or "step") with the GIL
// released; a step response's load is an int, or its text as typed.
PythonResult Run(const std::string& kind, const pybind11::object& load, const pybind11::object& settings,
                 const pybind11::object& seed, const pybind11::object& progress);

// The kind of run a name gives; raises ValueError for another name.
RunKind KindNamed(const std::string& name);

// The settings of an argument with a seed as --seed gives it, over run.seed.
Settings SettingsWithSeed(const pybind11::object& settings, const pybind11::object& seed);

// The step response's load as the batch tool takes it: the given one,
// else step.load; ValueError for a step response without either, or a load
// given to a random run.
std::string LoadTextOf(RunKind kind, const pybind11::object& load, const Settings& settings);

void AddRuns(pybind11::module_& module);

} // namespace python
