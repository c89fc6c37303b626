#include "PythonTables.h"

#include "analysis/Measurements.h"

#include <pybind11/stl.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>

namespace py = pybind11;

namespace python {

namespace {

// A figure as Python holds it: a float, an int for a whole count, a bool
// for yes or no, None where it is undefined.
py::object FigureObject(analysis::Figure figure, const std::optional<double>& value)
{
    if (!value)
        return py::none();
    switch (analysis::KindOf(figure)) {
    case analysis::FigureKind::Whole:
        return py::int_(static_cast<std::int64_t>(*value));
    case analysis::FigureKind::Flag:
        return py::bool_(*value != 0);
    case analysis::FigureKind::Number:
        break;
    }
    return py::float_(*value);
}

// Adds a row of the quantity's figures, and the columns the first time.
class Rows {
public:
    explicit Rows(Table& table) : table_(table) {}

    // The figures of each list in `shown`, in their order.
    template <typename... Lists>
    void Add(std::optional<Quantity> quantity, std::optional<Segment> segment, const analysis::Figures& figures,
             const Lists&... shown)
    {
        const bool first = table_.columns.empty();
        py::dict row;
        auto add = [&](std::string_view name, py::object value) {
            if (first)
                table_.columns.emplace_back(name);
            row[py::str(std::string(name))] = std::move(value);
        };
        add("quantity", quantity ? py::object(py::str(std::string(QuantityName(*quantity)))) : py::none());
        if (segment)
            add("segment", py::str(std::string(analysis::SegmentName(*segment))));
        for (const auto& list : {std::span<const analysis::Figure>(shown)...})
            for (const analysis::Figure figure : list)
                add(analysis::FigureName(figure), FigureObject(figure, figures[figure]));
        table_.rows.append(std::move(row));
    }

private:
    Table& table_;
};

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
    Rows rows(table);
    for (const analysis::StepRow& row : analysis::MeasureRun(run).steps)
        rows.Add(row.quantity, row.segment, row.figures, analysis::kStepFigures,
                 analysis::kStepTimeFigures);
    return table;
}

Table StatsTable(const RunResult& run, analysis::Step first, analysis::Step last)
{
    const auto steps = static_cast<analysis::Step>(run.Of(Quantity::Md).Size());
    if (first < 0 || last >= steps || first > last)
        throw py::value_error("steps " + std::to_string(first) + " to " + std::to_string(last) +
                              " are not a range within the run's 0 to " + std::to_string(steps - 1));
    Table table;
    Rows rows(table);
    for (const analysis::RangeRow& row : analysis::MeasureStatistics(analysis::TracesOf(run), {first, last}))
        rows.Add(row.quantity, std::nullopt, row.figures, analysis::kStatisticsFigures);
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
