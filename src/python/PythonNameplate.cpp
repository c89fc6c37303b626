#include "PythonNameplate.h"

#include "PythonSettings.h"
#include "PythonTables.h"

#include "cli/NameplateTexts.h"
#include "lab/Nameplate.h"

#include <pybind11/stl.h>

#include <optional>
#include <string>

namespace py = pybind11;

namespace python {

namespace {

lab::Connection ConnectionNamed(const std::string& name)
{
    if (name == "star")
        return lab::Connection::Star;
    if (name == "delta")
        return lab::Connection::Delta;
    throw py::value_error("connection must be \"star\" or \"delta\", not \"" + name + "\"");
}

Table FiguresTable(const lab::NameplateEstimate& estimate)
{
    Table table{{"figure", "unit", "target", "fitted", "deviation_percent", "assumed"}, py::list()};
    for (const lab::FigureFit& figure : estimate.figures) {
        py::dict row;
        row["figure"] = std::string(cli::FigureName(figure.figure));
        row["unit"] = std::string(cli::FigureUnit(figure.figure));
        row["target"] = figure.target;
        row["fitted"] = figure.fitted;
        row["deviation_percent"] = figure.DeviationPercent();
        row["assumed"] = figure.assumed;
        table.rows.append(std::move(row));
    }
    return table;
}

py::tuple FromNameplate(double power, double voltage, const std::string& connection, double frequency,
                        double speed, double current, double cosPhi, double efficiency,
                        std::optional<double> polePairs, std::optional<double> mk, std::optional<double> mst,
                        std::optional<double> ist, const py::object& settings)
{
    const Settings base = SettingsFrom(settings);
    const lab::Nameplate plate{.power = power,
                               .voltage = voltage,
                               .connection = ConnectionNamed(connection),
                               .frequency = frequency,
                               .speed = speed,
                               .current = current,
                               .cosPhi = cosPhi,
                               .efficiency = efficiency,
                               .polePairs = polePairs,
                               .breakdownRatio = mk,
                               .startingTorqueRatio = mst,
                               .startingCurrentRatio = ist};
    if (const auto problems = lab::NameplateProblems(plate); !problems.empty())
        throw py::value_error(cli::NameplateErrorText(problems.front()));
    lab::NameplateEstimate estimate;
    {
        py::gil_scoped_release released;
        estimate = lab::EstimateFromNameplate(plate);
    }
    const Settings machine = estimate.ApplyTo(base);
    CheckSettings(machine);
    return py::make_tuple(machine, FiguresTable(estimate));
}

} // namespace

void AddNameplate(py::module_& module)
{
    module.def("parameters_from_nameplate", &FromNameplate, py::kw_only(), py::arg("power"), py::arg("voltage"),
               py::arg("connection"), py::arg("frequency"), py::arg("speed"), py::arg("current"),
               py::arg("cos_phi"), py::arg("efficiency"), py::arg("pole_pairs") = py::none(),
               py::arg("mk") = py::none(), py::arg("mst") = py::none(), py::arg("ist") = py::none(),
               py::arg("settings") = py::none(),
               "The d-q machine of a rating plate, as the batch tool's parameters command finds it: power (W,\n"
               "at the shaft), voltage (V, line to line), connection (\"star\" or \"delta\"), frequency (Hz),\n"
               "speed (rated, rpm), current (A, in the line), cos_phi, efficiency, and where given pole_pairs\n"
               "and the catalogue's mk (Mk/Mn), mst (Mst/Mn) and ist (Ist/In). Returns (settings, figures):\n"
               "settings made that d-q machine, and a Table of each figure's target, fitted value and\n"
               "deviation in percent. A figure no machine could have raises ValueError naming it.");
}

} // namespace python
