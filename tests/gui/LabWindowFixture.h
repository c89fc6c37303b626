#pragma once

// The main window with a lab bench's measured data: files of the step
// response's own samples, and the cursors' readings of them.

#include "ChartWindowFixture.h"

#include "plot/AxisUnits.h"
#include "ui/LabBench.h"
#include "ui/MeasurementsWindow.h"

#include <QTableWidget>
#include <QTemporaryDir>

#include <charconv>
#include <fstream>
#include <string>
#include <vector>

// A number as the batch tool writes it: the shortest text that reads back
// the same double.
inline std::string Exact(double value)
{
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

class LabWindow : public ChartWindow {
protected:
    LabBench& Lab() const { return form1_->Lab(); }

    const Trace& Step(Quantity quantity) const { return form1_->Series(RunKind::Step, quantity); }

    // A file of every tenth step's samples of the step response, headed as
    // given, with the time as the chart reads the steps.
    std::string SampledFile(Quantity quantity, const std::string& timeHeading, const std::string& valueHeading)
    {
        return SampledFile(std::vector{quantity}, timeHeading, std::vector{valueHeading});
    }

    std::string SampledFile(const std::vector<Quantity>& quantities, const std::string& timeHeading,
                            const std::vector<std::string>& valueHeadings)
    {
        const std::string path = folder_.filePath(QStringLiteral("bench.csv")).toStdString();
        std::ofstream file(path);
        file << timeHeading;
        for (const std::string& heading : valueHeadings)
            file << ',' << heading;
        const double dt = form1_->SettingsInForce().model.dt;
        for (std::size_t i = 0; i < Step(quantities.front()).Size(); i += 10) {
            file << '\n' << Exact(TimeOfStep(static_cast<double>(i), dt));
            for (const Quantity quantity : quantities)
                file << ',' << Exact(Step(quantity).Values()[i]);
        }
        file << '\n';
        return path;
    }

    // The exact values of the measurements window's cursor table's row
    // named so, as the cells' tooltips give them; empty without the row.
    QStringList CursorRow(const QString& name) const
    {
        const auto* table = form1_->Measurements().findChild<QTableWidget*>(QStringLiteral("CursorTable"));
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->item(row, 0)->text() == name) {
                QStringList cells;
                for (int column = 1; column < table->columnCount(); ++column)
                    cells << table->item(row, column)->toolTip();
                return cells;
            }
        return {};
    }

    QTemporaryDir folder_;
};
