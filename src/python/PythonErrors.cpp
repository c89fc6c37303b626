#include "PythonErrors.h"

#include "cli/Texts.h"
#include "experiments/Problem.h"

#include <pybind11/eval.h>

#include <exception>

namespace py = pybind11;

namespace python {

namespace {

void AddProblemKinds(py::module_& module)
{
    py::enum_<ProblemKind>(module, "ProblemKind", "What kind of problem a SettingsError is.")
        .value("NotAllowed", ProblemKind::NotAllowed)
        .value("TimeConstantUnusable", ProblemKind::TimeConstantUnusable)
        .value("StepPastStableLimit", ProblemKind::StepPastStableLimit)
        .value("UnknownSetting", ProblemKind::UnknownSetting)
        .value("UnknownTable", ProblemKind::UnknownTable)
        .value("CannotRead", ProblemKind::CannotRead)
        .value("FileTooLarge", ProblemKind::FileTooLarge)
        .value("BinaryData", ProblemKind::BinaryData)
        .value("BeyondAscii", ProblemKind::BeyondAscii)
        .value("KeysTooDeep", ProblemKind::KeysTooDeep)
        .value("ValuesTooDeep", ProblemKind::ValuesTooDeep)
        .value("NotToml", ProblemKind::NotToml)
        .value("TooManyValues", ProblemKind::TooManyValues)
        .value("NotARange", ProblemKind::NotARange)
        .value("RangeNotNumbers", ProblemKind::RangeNotNumbers)
        .value("RangeStepNotAboveZero", ProblemKind::RangeStepNotAboveZero)
        .value("RangeEndBelowStart", ProblemKind::RangeEndBelowStart)
        .value("EmptyValue", ProblemKind::EmptyValue)
        .value("NewerFormat", ProblemKind::NewerFormat)
        .value("BadEntry", ProblemKind::BadEntry)
        .value("CutShort", ProblemKind::CutShort)
        .value("HoldsOtherThanSaid", ProblemKind::HoldsOtherThanSaid)
        .value("RunFailed", ProblemKind::RunFailed);
}

// The exception's class, written in Python: its attributes are plain ones,
// and it pickles and prints as Python's own exceptions do.
constexpr const char* kSettingsError = R"(
class SettingsError(ValueError):
    """A setting, an experiment file or a family's values that are not allowed.

    kind is a ProblemKind, setting the setting it is about (empty when none),
    value the value given as it was written, nearest the known name nearest
    an unknown one, file and line where in a file it stands (None and 0
    when it is not a file's)."""

    def __init__(self, message, kind, setting, value, nearest="", file=None, line=0):
        super().__init__(message)
        self.kind = kind
        self.setting = setting
        self.value = value
        self.nearest = nearest
        self.file = file
        self.line = line
)";

} // namespace

void AddErrors(py::module_& module)
{
    AddProblemKinds(module);
    py::exec(kSettingsError, module.attr("__dict__"));
    module.attr("SettingsError").attr("__module__") = "motormodel";
    py::register_exception_translator([](std::exception_ptr raised) {
        try {
            if (raised)
                std::rethrow_exception(raised);
        } catch (const SettingsError& error) {
            const Problem& problem = error.Cause();
            const py::object type = py::module_::import("motormodel").attr("SettingsError");
            const py::object file = problem.place.file.empty() ? py::object(py::none()) : py::str(problem.place.file);
            const py::object instance = type(cli::ErrorText(problem), problem.kind, problem.setting, problem.value,
                                             problem.nearest, file, problem.place.line);
            PyErr_SetObject(type.ptr(), instance.ptr());
        }
    });
}

} // namespace python
