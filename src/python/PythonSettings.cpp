#include "PythonSettings.h"

#include "experiments/ExperimentFile.h"

#include <pybind11/operators.h>
#include <pybind11/stl.h>

#include <string>
#include <variant>

namespace py = pybind11;

namespace python {

namespace {

py::object ToPython(const SettingValue& value)
{
    return std::visit([](const auto& held) -> py::object { return py::cast(held); }, value);
}

py::object GetItem(const Settings& settings, const std::string& name)
{
    const std::optional<SettingValue> value = GetSetting(settings, name);
    return value ? ToPython(*value) : py::none();
}

// Every setting of the chosen model that has a value, by its full name, in
// the order files list them: what a file writes of them.
py::dict ToDict(const Settings& settings)
{
    py::dict values;
    for (std::string_view name : SettingNamesInForce(settings))
        if (const std::optional<SettingValue> value = GetSetting(settings, name))
            values[py::str(std::string(name))] = ToPython(*value);
    return values;
}

Settings FromDict(const py::dict& values)
{
    Settings settings;
    for (const auto& [name, value] : values)
        SetSetting(settings, py::cast<std::string>(name), SettingValueFrom(value));
    CheckSettings(settings);
    return settings;
}

// The file's settings over the defaults, checked whole; a value not allowed
// is placed where the file wrote it.
Settings Load(const std::string& path)
{
    WrittenValues written;
    const Settings settings = ExperimentFile::Load(path, Settings{}, &written);
    try {
        CheckSettings(settings);
    } catch (const SettingsError& error) {
        throw written.Placed(error);
    }
    return settings;
}

// The settings that differ from the defaults, as a call that makes them.
std::string SettingsRepr(const Settings& settings)
{
    const py::dict defaults = ToDict(Settings{});
    py::dict changed;
    for (const auto& [name, value] : ToDict(settings))
        if (!defaults.contains(name) || !py::object(defaults[name]).equal(value))
            changed[name] = value;
    return "motormodel.Settings(" + (changed.empty() ? std::string() : py::repr(changed).cast<std::string>()) + ")";
}

} // namespace

SettingValue SettingValueFrom(const py::handle& value)
{
    // A bool is an int to Python, but no setting is a truth value.
    if (py::isinstance<py::bool_>(value))
        throw py::type_error("a setting's value is an int, a float or a str, not a bool");
    if (py::isinstance<py::int_>(value)) {
        int overflow = 0;
        const long long whole = PyLong_AsLongLongAndOverflow(value.ptr(), &overflow);
        if (overflow == 0)
            return std::int64_t{whole};
        // Beyond 64 bits: refused as a number out of range, in its words.
        return py::cast<double>(value);
    }
    if (py::isinstance<py::float_>(value))
        return py::cast<double>(value);
    if (py::isinstance<py::str>(value))
        return py::cast<std::string>(value);
    throw py::type_error("a setting's value is an int, a float or a str, not " +
                         py::cast<std::string>(py::str(value.get_type().attr("__name__"))));
}

Settings SettingsFrom(const py::handle& given)
{
    if (given.is_none())
        return Settings{};
    if (py::isinstance<py::dict>(given))
        return FromDict(py::reinterpret_borrow<py::dict>(given));
    if (py::isinstance<Settings>(given)) {
        Settings settings = py::cast<Settings>(given);
        CheckSettings(settings);
        return settings;
    }
    throw py::type_error("settings are a dict of settings' names and values, or a motormodel.Settings");
}

void AddSettings(py::module_& module)
{
    py::class_<Settings>(module, "Settings",
                         "Everything a run uses, by the settings' full names: s[\"model.J\"] = 0.0344.\n"
                         "Values are checked whole by check() and before every run.")
        .def(py::init([](const py::object& values) { return SettingsFrom(values); }),
             py::arg("values") = py::none(), "The defaults, or a dict's values over them, checked whole.")
        .def_static("from_dict", &FromDict, py::arg("values"))
        .def_static("load", &Load, py::arg("path"), "The settings of an experiment file (TOML), checked whole.")
        .def_static("from_toml", [](const std::string& text) {
            const Settings settings = ExperimentFile::Parse(text, "<text>", Settings{});
            CheckSettings(settings);
            return settings;
        }, py::arg("text"))
        .def_static("names", [] {
            py::list names;
            for (std::string_view name : SettingNames())
                names.append(py::str(std::string(name)));
            return names;
        }, "Every setting's full name, in the order files list them.")
        .def("to_dict", &ToDict, "Every setting of the chosen model that has a value, as an experiment file holds them.")
        .def("to_toml", &ExperimentFile::Text, "The settings as a complete experiment file.")
        .def("save", [](const Settings& settings, const std::string& path) { ExperimentFile::Save(path, settings); },
             py::arg("path"), "Replaces the file with to_toml(), whole or not at all.")
        .def("check", &CheckSettings, "Raises SettingsError for the first setting not allowed.")
        .def("__getitem__", &GetItem)
        .def("__setitem__", [](Settings& settings, const std::string& name, const py::handle& value) {
            SetSetting(settings, name, SettingValueFrom(value));
        })
        .def("__repr__", &SettingsRepr)
        .def("copy", [](const Settings& settings) { return settings; })
        .def(py::self == py::self);
}

} // namespace python
