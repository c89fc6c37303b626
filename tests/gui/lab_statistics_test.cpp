// The statistics of measured samples in the measurements window, against
// the batch tool's over the same steps.

#include "LabWindowFixture.h"

#include "../CliProcess.h"
#include "experiments/ExperimentFile.h"
#include "experiments/Runs.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>

namespace {

// The CSV's rows by their first cell, each a map of heading to cell.
std::map<std::string, std::map<std::string, std::string>> RowsByTrace(const std::string& csv)
{
    const auto cellsOf = [](const std::string& line) {
        std::vector<std::string> cells;
        std::istringstream fields(line + ',');
        for (std::string cell; std::getline(fields, cell, ',');)
            cells.push_back(cell);
        return cells;
    };
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    const std::vector<std::string> heading = cellsOf(line);
    std::map<std::string, std::map<std::string, std::string>> rows;
    while (std::getline(lines, line)) {
        const std::vector<std::string> cells = cellsOf(line);
        for (std::size_t i = 0; i < heading.size() && i < cells.size(); ++i)
            rows[cells.front()][heading[i]] = cells[i];
    }
    return rows;
}

// The window's rows of the samples of Md and Omega and of the run's Omega,
// zoomed to steps 301 to 1700, are the batch tool's over those steps, cell
// for cell; the samples give times where the run gives steps.
TEST_F(LabWindow, StatisticsOfTheSamplesAreTheBatchToolsOverTheStepsShown)
{
    RunStepResponse(QStringLiteral("10"));
    const std::string bench = SampledFile({Quantity::Md, Quantity::Omega}, "t", {"Md", "Omega"});
    Lab().Open(bench);
    ASSERT_TRUE(errors_.empty()) << errors_.front();
    Trigger(QStringLiteral("Измерения"));
    AxisRanges band = Shown();
    band.x = {300.4, 1700.6};
    Chart()->View().ZoomTo(band);
    QCoreApplication::processEvents();

    const std::filesystem::path folder = TestFolder();
    ExperimentFile::Save((folder / "lab.toml").string(), form1_->SettingsInForce());
    const Outcome tool = RunCliIn(folder, "",
                                  "step 10 --settings " + (folder / "lab.toml").string() + " --measured " + bench +
                                      " --stats - --from 301 --to 1700",
                                  "");
    ASSERT_EQ(tool.status, 0) << tool.err;
    const auto rows = RowsByTrace(tool.out);

    const auto& table = *form1_->Measurements().findChild<QTableWidget*>(QStringLiteral("StatisticsTable"));
    const std::map<std::string, QString> columns{
        {"from", "От шага"}, {"to", "До шага"},      {"count", "Точек"},           {"min", "Мин"},
        {"min_step", "Шаг мин"}, {"min_seconds", "Время мин, с"}, {"max", "Макс"}, {"max_step", "Шаг макс"},
        {"max_seconds", "Время макс, с"}, {"mean", "Среднее"}, {"rms", "СКЗ"},   {"std", "СКО"}};
    const std::map<std::string, QString> traces{
        {"Omega", QString::fromStdString(TraceHeading(RunKind::Step, Quantity::Omega))},
        {"Md (measured)", QStringLiteral("Md (измерено)")},
        {"Omega (measured)", QStringLiteral("Omega (измерено)")}};
    ASSERT_EQ(table.columnCount(), static_cast<int>(columns.size()) + 1);
    for (const auto& [trace, heading] : traces) {
        int row = 0;
        while (row < table.rowCount() && table.item(row, 0)->text() != heading)
            ++row;
        ASSERT_LT(row, table.rowCount()) << heading.toStdString();
        ASSERT_EQ(rows.at(trace).at("count"), trace == "Omega" ? "1400" : "140");
        for (int column = 1; column < table.columnCount(); ++column) {
            const QTableWidgetItem* cell = table.item(row, column);
            EXPECT_EQ(cell ? cell->toolTip() : QString(),
                      QString::fromStdString(rows.at(trace).at(
                          std::ranges::find(columns, table.horizontalHeaderItem(column)->text(),
                                            [](const auto& named) { return named.second; })
                              ->first)))
                << trace << ", " << table.horizontalHeaderItem(column)->text().toStdString();
        }
    }
}

} // namespace
