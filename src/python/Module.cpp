// The Python module `motormodel`: the runs, their measurements, the static
// characteristic, families and sessions, on the libraries the window and
// the batch tool use, so it gives their numbers to the last bit.

#include "PythonCommands.h"
#include "PythonErrors.h"
#include "PythonNameplate.h"
#include "PythonRun.h"
#include "PythonSettings.h"
#include "PythonTables.h"

PYBIND11_MODULE(motormodel, module)
{
    module.doc() = "Simulates the induction motor of motormodel: runs, measurements, the static characteristic,\n"
                   "families of runs and sessions, with numpy arrays that view the runs' values.";
    python::AddErrors(module);
    python::AddSettings(module);
    python::AddTables(module);
    python::AddRuns(module);
    python::AddCommands(module);
    python::AddNameplate(module);
}
