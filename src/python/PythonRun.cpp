#include "PythonRun.h"

#include "PythonSettings.h"
#include "PythonTables.h"

#include "cli/Texts.h"
#include "plot/AxisUnits.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <array>
#include <span>
#include <string_view>
#include <utility>

namespace py = pybind11;

namespace python {

namespace {

// The runs as the batch tool names them.
constexpr std::array<std::pair<std::string_view, RunKind>, 3> kKindNames{{
    {"gauss", RunKind::Gauss}, {"uniform", RunKind::Uniform}, {"step", RunKind::Step}}};

std::string_view NameOf(RunKind kind)
{
    return kKindNames[static_cast<std::size_t>(kind)].first;
}

std::string_view OutcomeName(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Refused:
        return "refused";
    case RunOutcome::Failed:
        return "failed";
    case RunOutcome::Cancelled:
        return "cancelled";
    case RunOutcome::Done:
        break;
    }
    return "done";
}

// Why the run did not run whole, in the batch tool's words; None when it did.
py::object Message(const RunResult& run)
{
    if (run.outcome == RunOutcome::Refused)
        return py::str(cli::RefusedLoadText(run.settings.run.limit));
    if (run.outcome == RunOutcome::Failed && run.error) {
        try {
            std::rethrow_exception(run.error);
        } catch (const std::exception& error) {
            return py::str(error.what());
        }
    }
    return py::none();
}

// The values as a read-only array over their own memory, which owner keeps.
py::array View(std::span<const double> values, const py::handle& owner)
{
    py::array_t<double> array({values.size()}, {sizeof(double)}, values.data(), owner);
    array.attr("flags").attr("writeable") = false;
    return array;
}

Quantity QuantityNamed(const RunResult& run, const std::string& name)
{
    std::string names;
    for (Quantity quantity : run.Quantities()) {
        if (QuantityName(quantity) == name)
            return quantity;
        names += (names.empty() ? "" : ", ") + std::string(QuantityName(quantity));
    }
    throw py::key_error("this run's quantities are " + names + ", not '" + name + "'");
}

py::array QuantityArray(const py::object& self, Quantity quantity)
{
    return View(self.cast<const PythonResult&>().run->Of(quantity).Values(), self);
}

// Step i's state is at t = (i + 1) dt, as the batch tool's --time gives it.
py::array_t<double> Times(const PythonResult& result)
{
    const RunResult& run = *result.run;
    py::array_t<double> times(static_cast<py::ssize_t>(run.Of(Quantity::Md).Size()));
    auto t = times.mutable_unchecked<1>();
    for (py::ssize_t i = 0; i < t.shape(0); ++i)
        t(i) = TimeOfStep(static_cast<double>(i), run.settings.model.dt);
    return times;
}

py::object Maxima(const RunResult& run)
{
    if (run.kind != RunKind::Step)
        return py::none();
    py::dict maxima;
    maxima["Md"] = run.mdMax;
    maxima["Omega"] = run.omegaMax;
    return maxima;
}

std::string ResultRepr(const PythonResult& result)
{
    const RunResult& run = *result.run;
    std::string text = "motormodel.Result(" + std::string(NameOf(run.kind));
    if (run.load)
        text += ", load " + std::to_string(*run.load);
    if (result.member)
        text += ", " + FamilyMemberLabel(result.member->setting, result.member->value);
    return text + ", " + std::string(OutcomeName(run.outcome)) + ", " +
           std::to_string(run.Of(Quantity::Md).Size()) + " steps)";
}

} // namespace

Watch::Watch(py::object progress, std::int64_t total) : progress_(std::move(progress)), total_(total) {}

RunControl Watch::ForRun()
{
    return {.progress = [this](std::int64_t done) { Look(done); }, .cancel = &cancel_};
}

FamilyControl Watch::ForFamily()
{
    return {.progress = [this](std::int64_t done, std::int64_t) { Look(done); }, .cancel = &cancel_};
}

void Watch::Look(std::optional<std::int64_t> done)
{
    py::gil_scoped_acquire gil;
    if (raised_)
        return;
    try {
        // Runs the handlers of the signals that came, in the main thread
        // only: Ctrl+C's raises KeyboardInterrupt.
        if (PyErr_CheckSignals() != 0)
            throw py::error_already_set();
        if (done && !progress_.is_none())
            progress_(*done, total_);
    } catch (py::error_already_set& error) {
        raised_ = std::move(error);
        cancel_ = true;
    }
}

void Watch::RaiseIfStopped()
{
    if (raised_)
        throw py::error_already_set(std::move(*raised_));
}

RunKind KindNamed(const std::string& name)
{
    for (const auto& [known, kind] : kKindNames)
        if (known == name)
            return kind;
    throw py::value_error("a run is gauss, uniform or step, not '" + name + "'");
}

Settings SettingsWithSeed(const py::object& settings, const py::object& seed)
{
    Settings given = SettingsFrom(settings);
    if (seed.is_none())
        return given;
    if (!py::isinstance<py::int_>(seed) || py::isinstance<py::bool_>(seed))
        throw py::type_error("seed is an int");
    SetSetting(given, "run.seed", SettingValueFrom(seed));
    CheckSettings(given);
    return given;
}

std::string LoadTextOf(RunKind kind, const py::object& load, const Settings& settings)
{
    if (kind != RunKind::Step) {
        if (!load.is_none())
            throw py::value_error("a " + std::string(NameOf(kind)) + " run draws its load: give no load");
        return {};
    }
    if (load.is_none()) {
        if (!settings.step.load)
            throw py::value_error("step needs a load, or step.load in the settings");
        return std::to_string(*settings.step.load);
    }
    if (py::isinstance<py::int_>(load) && !py::isinstance<py::bool_>(load))
        return py::cast<std::string>(py::str(load));
    if (py::isinstance<py::str>(load))
        return py::cast<std::string>(load);
    throw py::type_error("a step response's load is an int, or its text as typed");
}

PythonResult Run(const std::string& kind, const py::object& load, const py::object& settings, const py::object& seed,
                 const py::object& progress)
{
    const RunKind runKind = KindNamed(kind);
    Settings inForce = SettingsWithSeed(settings, seed);
    std::string loadText = LoadTextOf(runKind, load, inForce);
    if (const std::optional<Problem> warning = UnstableStep(inForce))
        if (PyErr_WarnEx(PyExc_RuntimeWarning, cli::ErrorText(*warning).c_str(), 1) != 0)
            throw py::error_already_set();
    RandomSources sources = SourcesOf(inForce);
    Watch watch(progress, inForce.run.steps);
    std::optional<RunResult> run;
    {
        py::gil_scoped_release released;
        run.emplace(RunExperiment({runKind, std::move(inForce), std::move(loadText), std::move(sources)},
                                  watch.ForRun()));
    }
    watch.RaiseIfStopped();
    return {std::make_shared<const RunResult>(std::move(*run))};
}

void AddRuns(py::module_& module)
{
    py::class_<PythonResult>(module, "Result",
                             "A run: its arrays view the run's own values, kept while any of them is.")
        .def_property_readonly("kind", [](const PythonResult& r) { return NameOf(r.run->kind); })
        .def_property_readonly("outcome", [](const PythonResult& r) { return OutcomeName(r.run->outcome); },
                               "\"done\", \"refused\", \"failed\" or \"cancelled\".")
        .def_property_readonly("message", [](const PythonResult& r) { return Message(*r.run); },
                               "Why the run was refused or failed, as the batch tool says it; None when done.")
        .def_property_readonly("load", [](const PythonResult& r) { return r.run->load; })
        .def_property_readonly("maxima", [](const PythonResult& r) { return Maxima(*r.run); },
                               "A step response's largest Md and Omega; None for a random run.")
        .def_property_readonly("settings", [](const PythonResult& r) { return r.run->settings; })
        .def_property_readonly("member", [](const PythonResult& r) -> py::object {
            if (!r.member)
                return py::none();
            return py::make_tuple(r.member->setting, r.member->value);
        }, "A family's member: its setting and value; None otherwise.")
        .def_property_readonly("quantities", [](const PythonResult& r) {
            const std::span<const Quantity> quantities = r.run->Quantities();
            py::tuple names(quantities.size());
            for (std::size_t i = 0; i < quantities.size(); ++i)
                names[i] = py::str(std::string(QuantityName(quantities[i])));
            return names;
        }, "The names of the quantities the run's model reports: Md and Omega, and Is and ia for the d-q machine.")
        .def_property_readonly("Md", [](const py::object& self) { return QuantityArray(self, Quantity::Md); })
        .def_property_readonly("Omega", [](const py::object& self) { return QuantityArray(self, Quantity::Omega); })
        .def("__getitem__", [](const py::object& self, const std::string& name) {
            return QuantityArray(self, QuantityNamed(*self.cast<const PythonResult&>().run, name));
        })
        .def_property_readonly("step", [](const PythonResult& r) {
            return py::module_::import("numpy").attr("arange")(r.run->Of(Quantity::Md).Size(),
                                                                py::arg("dtype") = "int64");
        }, "Each point's step, from 0.")
        .def_property_readonly("t", &Times, "Each point's time in seconds: step i is the state at (i + 1) dt.")
        .def("metrics", [](const PythonResult& r) { return MetricsTable(*r.run); },
             "The step characteristics, a row per quantity and segment.")
        .def("stats", [](const PythonResult& r, analysis::Step first, std::optional<analysis::Step> last) {
            return StatsTable(*r.run, first, last.value_or(static_cast<analysis::Step>(r.run->Of(Quantity::Md).Size()) - 1));
        }, py::arg("first") = 0, py::arg("last") = py::none(),
             "The statistics of each quantity over steps first to last, both included (the whole run by default).")
        .def("__len__", [](const PythonResult& r) { return r.run->Of(Quantity::Md).Size(); })
        .def("__repr__", &ResultRepr);

    module.def("run", &Run, py::arg("kind"), py::arg("load") = py::none(), py::arg("settings") = py::none(),
               py::arg("seed") = py::none(), py::kw_only(), py::arg("progress") = py::none(),
               "Makes a run, \"gauss\", \"uniform\" or \"step\", as the batch tool does. load is a step\n"
               "response's (an int; step.load when None), settings a dict or a Settings, seed as --seed.\n"
               "progress, if given, is called as progress(done, total) every 65536 steps.\n"
               "Runs without the GIL; Ctrl+C stops it with KeyboardInterrupt.");
}

} // namespace python
