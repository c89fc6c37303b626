#include "PythonLab.h"

#include "PythonRun.h"
#include "PythonSettings.h"

#include "cli/Texts.h"
#include "lab/Fit.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <memory>
#include <span>
#include <vector>

namespace py = pybind11;

namespace python {

namespace {

using SharedMeasured = std::shared_ptr<lab::Measured>;

py::array_t<double> Array(std::span<const double> values)
{
    return py::array_t<double>(static_cast<py::ssize_t>(values.size()), values.data());
}

SharedMeasured ReadMeasured(const std::string& path, const py::object& map)
{
    std::vector<lab::ColumnMapping> mappings;
    if (!map.is_none())
        for (const auto& [column, name] : map.cast<py::dict>()) {
            const std::string text = py::cast<std::string>(column) + "=" + py::cast<std::string>(name);
            const auto mapping = lab::ParseMapping(text);
            if (!mapping)
                throw py::value_error("map takes a column to t, Md, Omega, Is or ia, not '" + text + "'");
            mappings.push_back(*mapping);
        }
    try {
        return std::make_shared<lab::Measured>(lab::ReadMeasured(path, mappings));
    } catch (const lab::MeasuredError& error) {
        throw py::value_error(cli::MeasuredErrorText(error.Cause()));
    }
}

// Each quantity compared: its figures, and its error as a trace against
// the measured times.
py::dict ComparisonDict(const lab::Comparison& comparison)
{
    py::dict quantities;
    for (const lab::QuantityComparison& q : comparison.quantities) {
        py::dict c;
        c["samples"] = q.Samples();
        c["rms"] = q.rms;
        c["largest"] = q.largest;
        c["largest_seconds"] = q.largestTime;
        c["r_squared"] = q.rSquared;
        c["t"] = Array(q.times);
        c["error"] = Array(q.errors);
        quantities[py::str(std::string(QuantityName(q.quantity)))] = c;
    }
    return quantities;
}

py::dict FitDict(const lab::FitResult& fit)
{
    py::dict values, stderrs, starts;
    for (const lab::FittedSetting& f : fit.fitted) {
        values[py::str(f.name)] = f.value;
        stderrs[py::str(f.name)] = f.standardError;
        starts[py::str(f.name)] = f.start;
    }
    const auto n = static_cast<py::ssize_t>(fit.fitted.size());
    py::array_t<double> correlation({n, n});
    std::copy(fit.correlation.begin(), fit.correlation.end(), correlation.mutable_data());
    py::dict result;
    result["outcome"] = std::string(lab::OutcomeName(fit.outcome));
    result["values"] = values;
    result["stderr"] = stderrs;
    result["start"] = starts;
    result["correlation"] = correlation;
    result["residuals"] = ComparisonDict(fit.residual);
    result["runs"] = fit.runs;
    result["iterations"] = fit.iterations;
    result["settings"] = fit.settings;
    return result;
}

py::dict Fit(const SharedMeasured& measured, const std::vector<std::string>& names, const std::string& kind,
             const py::object& settings, const py::object& load, const py::object& seed, const py::object& progress)
{
    const RunKind runKind = KindNamed(kind);
    Settings start = SettingsWithSeed(settings, seed);
    const lab::FitRequest request{runKind, start, LoadTextOf(runKind, load, start), SourcesOf(start), names};
    constexpr std::int64_t kMostIterations = 100;
    Watch watch(progress, kMostIterations);
    const RunControl look = watch.ForRun();
    const auto told = [&](const lab::FitProgress& p) { look.progress(static_cast<std::int64_t>(p.iteration)); };
    const lab::FitControl control{told, look.cancel};
    std::optional<lab::FitResult> fit;
    try {
        fit = watch.Await([&] { return lab::FitSettings(request, *measured, control); });
    } catch (const lab::FitError& error) {
        throw py::value_error(cli::FitErrorText(error.Cause(), start.Kind()));
    }
    watch.RaiseIfStopped();
    return FitDict(*fit);
}

} // namespace

void AddLab(py::module_& module)
{
    py::class_<lab::Measured, SharedMeasured>(module, "Measured",
                                              "Measured data: times in seconds and the quantities measured.")
        .def_readonly("file", &lab::Measured::file)
        .def_readonly("hash", &lab::Measured::hash, "The file's FNV-1a 64-bit hash, in hexadecimal.")
        .def_property_readonly("t", [](const lab::Measured& m) { return Array(m.times); })
        .def_property_readonly("quantities", [](const lab::Measured& m) {
            py::tuple names(m.Quantities().size());
            for (std::size_t i = 0; i < names.size(); ++i)
                names[i] = py::str(std::string(QuantityName(m.Quantities()[i])));
            return names;
        })
        .def("__getitem__", [](const lab::Measured& m, const std::string& name) {
            const auto role = lab::RoleNamed(name);
            if (!role || !role->quantity || !m.Has(*role->quantity))
                throw py::key_error(name);
            return Array(m.Of(*role->quantity));
        }, "A measured quantity's samples, NaN where its cell was empty.")
        .def("__len__", [](const lab::Measured& m) { return m.times.size(); });

    module.def("read_measured", &ReadMeasured, py::arg("path"), py::arg("map") = py::none(),
               "Reads a CSV of measured data as the batch tool's --measured does: a column t in seconds and\n"
               "any of Md, Omega, Is and ia; map gives other columns theirs, {\"speed\": \"Omega\"}.\n"
               "Raises ValueError naming the line and column of what cannot be read.");

    auto result = py::reinterpret_borrow<py::class_<PythonResult>>(module.attr("Result"));
    result.def("compare", [](const PythonResult& r, const lab::Measured& m) {
        return ComparisonDict(lab::Compare(*r.run, m));
    }, py::arg("measured"),
       "The run against measured data: for each quantity both have, the samples within the run, the RMS\n"
       "and largest error (run less measured) with its time, R², and the error as arrays t and error.");

    module.def("fit", &Fit, py::arg("measured"), py::kw_only(), py::arg("fit"), py::arg("kind") = "step",
               py::arg("settings") = py::none(), py::arg("load") = py::none(), py::arg("seed") = py::none(),
               py::arg("progress") = py::none(),
               "Fits the settings named in fit (model.J, model.Mk, model.sk for the three-state model; model.Rs,\n"
               "model.Rr, model.Lls, model.Lm, model.J for the d-q model) to the measured data, by runs of kind\n"
               "from settings, as the batch tool's fit does. Returns a dict: outcome, values, stderr, start (by\n"
               "setting), correlation (an array in fit's order), residuals (as compare gives them), runs,\n"
               "iterations and the fitted settings. progress, if given, is called as progress(iteration, 100).\n"
               "Runs without the GIL; Ctrl+C stops it with KeyboardInterrupt.");
}

} // namespace python
