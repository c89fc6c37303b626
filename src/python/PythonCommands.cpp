#include "PythonCommands.h"

#include "PythonRun.h"
#include "PythonSettings.h"

#include "analysis/MechanicalCharacteristic.h"
#include "cli/Texts.h"
#include "session/Session.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <string>
#include <vector>

namespace py = pybind11;

namespace python {

namespace {

// The static curve, one array per column, and where the load crosses it.
struct Characteristic {
    py::array Omega;
    py::array Md;
    py::array K;
    std::optional<double> load;
    py::object operatingPoint;
};

py::dict PointDict(const analysis::StaticPoint& point)
{
    py::dict values;
    values["Omega"] = point.Omega;
    values["Md"] = point.Md;
    values["K"] = point.K;
    return values;
}

Characteristic MakeCharacteristic(const py::object& settings, const py::object& load)
{
    const Settings inForce = SettingsFrom(settings);
    const analysis::StaticCharacteristic motor(inForce.model);
    const std::vector<analysis::StaticPoint> curve = motor.Curve(motor.Range(), 1000);
    std::vector<double> Omega, Md, K;
    for (const analysis::StaticPoint& point : curve) {
        Omega.push_back(point.Omega);
        Md.push_back(point.Md);
        K.push_back(point.K);
    }
    Characteristic made{py::array(py::cast(Omega)), py::array(py::cast(Md)), py::array(py::cast(K)), {}, py::none()};
    if (!load.is_none())
        made.load = py::cast<double>(load);
    else if (inForce.step.load)
        made.load = static_cast<double>(*inForce.step.load);
    if (made.load)
        if (const auto point =
                analysis::OperatingPoint(motor, analysis::LoadCharacteristic::Of(inForce.step, *made.load)))
            made.operatingPoint = PointDict(*point);
    return made;
}

// A family's values as SetSettingText takes them: a text as a range
// ("0:30:10") or a list ("0, 10"), or a Python list of values.
std::vector<std::string> FamilyValues(const py::object& values)
{
    if (py::isinstance<py::str>(values))
        return ParseFamilyValues(py::cast<std::string>(values));
    std::vector<std::string> texts;
    for (const py::handle value : values) {
        const SettingValue setting = SettingValueFrom(value);
        texts.push_back(std::holds_alternative<std::string>(setting) ? std::get<std::string>(setting)
                                                                     : ShownText(setting));
    }
    if (texts.size() > kMaxFamilyValues)
        throw py::value_error("a family holds at most " + std::to_string(kMaxFamilyValues) + " values, not " +
                              std::to_string(texts.size()));
    return texts;
}

// Every member's settings checked before any runs, each step past the
// stable one warned of, as the batch tool does.
void CheckMembers(const Settings& base, const std::string& setting, const std::vector<std::string>& values)
{
    for (const std::string& value : values)
        if (const auto warning = UnstableStep(FamilyMemberSettings(base, setting, value)))
            if (PyErr_WarnEx(PyExc_RuntimeWarning, (setting + '=' + value + ": " + cli::ErrorText(*warning)).c_str(),
                             1) != 0)
                throw py::error_already_set();
}

py::list Sweep(const std::string& setting, const py::object& values, const std::string& kind, const py::object& load,
               const py::object& settings, const py::object& seed, const py::object& progress)
{
    GetSetting(Settings{}, setting);
    const RunKind runKind = KindNamed(kind);
    const Settings base = SettingsWithSeed(settings, seed);
    const bool sweepsLoad = setting == "step.load";
    if (sweepsLoad && !load.is_none())
        throw py::value_error("a sweep of step.load takes its loads from values: give no load");
    FamilyRequest request{.base = base,
                          .setting = setting,
                          .values = FamilyValues(values),
                          .kind = runKind,
                          .loadText = sweepsLoad ? std::string("0") : LoadTextOf(runKind, load, base),
                          .sources = SourcesOf(base)};
    CheckMembers(base, setting, request.values);
    Watch watch(progress, base.run.steps * static_cast<std::int64_t>(request.values.size()));
    FamilyResult family = watch.Await([&] { return RunFamily(std::move(request), watch.ForFamily()); });
    watch.RaiseIfStopped();
    py::list members;
    for (FamilyMember& member : family.members)
        members.append(PythonResult{std::make_shared<const RunResult>(std::move(*member.run)), member.place});
    return members;
}

struct SessionRuns {
    Settings settings;
    py::list runs;
    py::list pins;
};

SessionRuns MakeSession(const std::string& path)
{
    const Session session = LoadSession(path);
    std::optional<SessionResults> results;
    {
        py::gil_scoped_release released;
        results.emplace(RunSession(session));
    }
    SessionRuns made{session.settings, py::list(), py::list()};
    for (RunResult& run : results->runs)
        made.runs.append(PythonResult{std::make_shared<const RunResult>(std::move(run))});
    for (std::size_t i = 0; i < results->pins.size(); ++i)
        made.pins.append(PythonResult{std::make_shared<const RunResult>(std::move(results->pins[i])),
                                      session.pins[i].family});
    return made;
}

} // namespace

void AddCommands(py::module_& module)
{
    py::class_<Characteristic>(module, "Characteristic",
                               "The motor's static characteristic: the torque Md and gain K at which it rests at\n"
                               "each speed Omega, over the batch tool's 1001 speeds (those without a rest left out).")
        .def_readonly("Omega", &Characteristic::Omega)
        .def_readonly("Md", &Characteristic::Md)
        .def_readonly("K", &Characteristic::K)
        .def_readonly("load", &Characteristic::load)
        .def_readonly("operating_point", &Characteristic::operatingPoint,
                      "Where the load crosses the curve, {\"Omega\", \"Md\", \"K\"}; None without a load or a crossing.");
    module.def("characteristic", &MakeCharacteristic, py::arg("settings") = py::none(), py::arg("load") = py::none(),
               "The static characteristic, and the operating point under the load (or step.load).");

    module.def("sweep", &Sweep, py::arg("setting"), py::arg("values"), py::arg("kind"), py::arg("load") = py::none(),
               py::arg("settings") = py::none(), py::arg("seed") = py::none(), py::kw_only(),
               py::arg("progress") = py::none(),
               "One run of the kind per value of the setting, on every core: a list of results in the\n"
               "values' order, each with its member. values is a list, or a text \"0,10,20\" or \"0:30:10\".");

    py::class_<SessionRuns>(module, "SessionRuns", "The runs of a session the window saved, made again.")
        .def_readonly("settings", &SessionRuns::settings)
        .def_readonly("runs", &SessionRuns::runs, "The live runs, in the chart's order.")
        .def_readonly("pins", &SessionRuns::pins, "The pinned runs, oldest first.");
    module.def("session", &MakeSession, py::arg("path"),
               "The runs of a session file made again from its recipes, to the last bit.");
}

} // namespace python
