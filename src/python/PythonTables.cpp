#include "PythonTables.h"

#include "analysis/SignalStatistics.h"
#include "analysis/StepCharacteristics.h"
#include "plot/AxisUnits.h"

#include <pybind11/stl.h>

#include <optional>
#include <string_view>
#include <utility>

namespace py = pybind11;

namespace python {

namespace {

// Builds a row figure by figure, keeping the columns' order.
class Row {
public:
    explicit Row(std::vector<std::string>& columns) : columns_(columns) {}

    template <typename Value>
    Row& Add(std::string_view name, const Value& value)
    {
        const std::string key(name);
        if (columns_.size() <= count_)
            columns_.push_back(key);
        row_[py::str(key)] = Figure(value);
        ++count_;
        return *this;
    }

    py::dict Done() { return std::move(row_); }

private:
    template <typename Value>
    static py::object Figure(const std::optional<Value>& value)
    {
        return value ? py::cast(*value) : py::none();
    }
    template <typename Value>
    static py::object Figure(const Value& value)
    {
        return py::cast(value);
    }

    std::vector<std::string>& columns_;
    std::size_t count_ = 0;
    py::dict row_;
};

std::optional<double> LengthOf(const std::optional<analysis::Step>& steps, double secondsPerStep)
{
    return steps ? std::optional(DurationOfSteps(static_cast<double>(*steps), secondsPerStep)) : std::nullopt;
}

py::dict MetricsRow(const analysis::CharacteristicsRow& row, double dt, std::vector<std::string>& columns)
{
    const analysis::StepCharacteristics& c = row.values;
    Row line(columns);
    line.Add("quantity", std::string(QuantityName(row.quantity)))
        .Add("segment", std::string(analysis::SegmentName(row.segment)))
        .Add("initial", c.initial)
        .Add("final", c.settled ? std::optional(c.final) : std::nullopt)
        .Add("peak", c.peak)
        .Add("peak_step", c.peakStep)
        .Add("trough", c.trough)
        .Add("trough_step", c.troughStep)
        .Add("rise_steps", c.riseSteps)
        .Add("settling_steps", c.settlingSteps)
        .Add("overshoot_percent", c.overshootPercent)
        .Add("undershoot_percent", c.undershootPercent)
        .Add("t63_steps", c.timeConstantSteps)
        .Add("end", c.final)
        .Add("rest", c.rest)
        .Add("settled", c.rest ? std::optional(c.settled) : std::nullopt)
        .Add("peak_seconds", TimeOfStep(static_cast<double>(c.peakStep), dt))
        .Add("trough_seconds", TimeOfStep(static_cast<double>(c.troughStep), dt))
        .Add("rise_seconds", LengthOf(c.riseSteps, dt))
        .Add("settling_seconds", LengthOf(c.settlingSteps, dt))
        .Add("t63_seconds", LengthOf(c.timeConstantSteps, dt));
    return line.Done();
}

py::dict StatsRow(Quantity quantity, analysis::StepRange range, const analysis::SignalStatistics& s,
                  std::vector<std::string>& columns)
{
    Row line(columns);
    line.Add("quantity", std::string(QuantityName(quantity)))
        .Add("from", range.first)
        .Add("to", range.last)
        .Add("count", s.count)
        .Add("min", s.min)
        .Add("min_step", s.minStep)
        .Add("max", s.max)
        .Add("max_step", s.maxStep)
        .Add("mean", s.mean)
        .Add("rms", s.rms)
        .Add("std", s.standardDeviation);
    return line.Done();
}

py::object ToPandas(const Table& table)
{
    py::module_ pandas;
    try {
        pandas = py::module_::import("pandas");
    } catch (const py::error_already_set&) {
        throw py::import_error("to_pandas() needs pandas (Debian's python3-pandas)");
    }
    return pandas.attr("DataFrame")(table.rows, py::arg("columns") = table.columns);
}

std::string TableRepr(const Table& table)
{
    std::string text = "motormodel.Table(" + std::to_string(py::len(table.rows)) + " rows:";
    for (const std::string& column : table.columns)
        text += ' ' + column;
    return text + ')';
}

} // namespace

Table MetricsTable(const RunResult& run)
{
    if (run.kind != RunKind::Step || run.outcome != RunOutcome::Done)
        throw py::value_error("metrics() measures a step response that ran all its steps");
    Table table;
    for (const analysis::CharacteristicsRow& row : analysis::CharacterizeStepResponse(run))
        table.rows.append(MetricsRow(row, run.settings.model.dt, table.columns));
    return table;
}

Table StatsTable(const RunResult& run, analysis::Step first, analysis::Step last)
{
    const auto steps = static_cast<analysis::Step>(run.Of(Quantity::Md).Size());
    if (first < 0 || last >= steps || first > last)
        throw py::value_error("steps " + std::to_string(first) + " to " + std::to_string(last) +
                              " are not a range within the run's 0 to " + std::to_string(steps - 1));
    Table table;
    const analysis::StepRange range{first, last};
    for (Quantity quantity : run.Quantities())
        if (const auto statistics = analysis::ComputeStatistics(run.Of(quantity).Points(), range))
            table.rows.append(StatsRow(quantity, range, *statistics, table.columns));
    return table;
}

void AddTables(py::module_& module)
{
    py::class_<Table>(module, "Table", "Rows of figures by name; to_pandas() gives a pandas DataFrame.")
        .def_readonly("columns", &Table::columns)
        .def_readonly("rows", &Table::rows, "A dict per row, an undefined figure None.")
        .def("to_pandas", &ToPandas)
        .def("__len__", [](const Table& table) { return py::len(table.rows); })
        .def("__getitem__", [](const Table& table, const py::object& index) { return table.rows[index]; })
        .def("__iter__", [](const Table& table) { return table.rows.attr("__iter__")(); })
        .def("__repr__", &TableRepr);
}

} // namespace python
