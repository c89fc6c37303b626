// The window and the batch tool measure the same runs: generated
// experiments are run in both, and every cell of the measurements window's
// tables is compared with the batch tool's --metrics and --stats, measured
// samples' statistics among them.

#include "MainWindowFixture.h"

#include "experiments/ExperimentFile.h"
#include "experiments/Family.h"
#include "lab/Measured.h"
#include "plot/AxisUnits.h"
#include "ui/FamilyWindow.h"
#include "ui/LabBench.h"
#include "ui/MeasurementsWindow.h"

#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

// The batch tool's characteristic columns and the window's rows that show
// them.
const std::vector<std::pair<std::string, QString>> kCharacteristics{
    {"initial", QStringLiteral("Начальное значение")},
    {"final", QStringLiteral("Конечное значение")},
    {"peak", QStringLiteral("Пик")},
    {"peak_step", QStringLiteral("Шаг пика")},
    {"trough", QStringLiteral("Минимум")},
    {"trough_step", QStringLiteral("Шаг минимума")},
    {"rise_steps", QStringLiteral("Нарастание 10–90 %, шагов")},
    {"settling_steps", QStringLiteral("Установление в 2 %, шагов")},
    {"overshoot_percent", QStringLiteral("Перерегулирование, %")},
    {"undershoot_percent", QStringLiteral("Недорегулирование, %")},
};

// The segments as the batch tool and the window name them.
const std::map<std::string, QString> kSegments{
    {"run-up", QStringLiteral("разгон")}, {"on", QStringLiteral("наброс")}, {"off", QStringLiteral("сброс")}};

// A CSV's rows after its heading, each cell by its column's heading.
using CsvRows = std::vector<std::map<std::string, std::string>>;

CsvRows ReadCsv(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    if (lines.isEmpty())
        return {};
    const QStringList heading = lines.front().split(',');
    CsvRows rows;
    for (const QString& line : lines.mid(1)) {
        const QStringList cells = line.split(',');
        auto& row = rows.emplace_back();
        for (qsizetype i = 0; i < heading.size(); ++i)
            row[heading[i].toStdString()] = i < cells.size() ? cells[i].toStdString() : "?";
    }
    return rows;
}

// An experiment as a lecturer might hand it out: a schedule at or near its
// edges, a profile, and a load typed or swept.
struct Experiment {
    RunKind kind;
    Settings settings;
    std::string load;
};

Experiment Generate(std::mt19937& random, int i)
{
    auto pick = [&random](std::int64_t from, std::int64_t to) {
        return std::uniform_int_distribution<std::int64_t>(from, to)(random);
    };
    Experiment e{RunKind::Step, {}, std::to_string(pick(-40, 31))};
    Settings& s = e.settings;
    s.run.steps = std::vector<std::int64_t>{1, 2, 40, 600, 2000, 3000}[static_cast<std::size_t>(pick(0, 5))];
    const std::int64_t middle = pick(0, s.run.steps);
    // Never applied, from the start, never removed, on the step it goes,
    // applied at steady speed and kept, anywhere.
    switch (i % 6) {
    case 0: s.step.on = 0, s.step.off = 0; break;
    case 1: s.step.on = 0, s.step.off = pick(0, s.run.steps); break;
    case 2: s.step.on = middle, s.step.off = s.run.steps; break;
    case 3: s.step.on = middle, s.step.off = middle; break;
    case 4: s.step.on = middle, s.step.off = pick(middle, s.run.steps); break;
    default: break; // the load removed at step 1000 or the run's end
    }
    s.step.profile = static_cast<LoadProfile>(i / 6 % 4);
    s.step.ramp = pick(0, s.run.steps);
    s.step.k = -static_cast<double>(pick(0, 1000)) / 1e6;
    s.step.amplitude = static_cast<double>(pick(0, 8));
    s.step.period = static_cast<double>(pick(1, 4000));
    // The random runs with a seed, which the window and the tool share.
    if (i % 7 == 6) {
        e.kind = i % 2 ? RunKind::Gauss : RunKind::Uniform;
        s.run.seed = pick(0, 1000);
    }
    return e;
}

class Differential : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        ASSERT_TRUE(dir_.isValid());
        form1_->Measurements().show();
    }

    QString PathOf(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    QTableWidget& Table(const char* name) const
    {
        return *form1_->Measurements().findChild<QTableWidget*>(QString::fromLatin1(name));
    }

    // The exact text of the cell in the row and the column with these
    // headings, or "-" if there is none.
    static std::string Cell(const QTableWidget& table, const QString& row, const QString& column)
    {
        for (int r = 0; r < table.rowCount(); ++r)
            for (int c = 0; c < table.columnCount(); ++c)
                if (table.item(r, 0) && table.item(r, 0)->text() == row &&
                    table.horizontalHeaderItem(c)->text() == column && table.item(r, c))
                    return table.item(r, c)->data(Qt::UserRole).toString().toStdString();
        return "-";
    }

    // Runs the batch tool on the experiment file; its status.
    int Tool(const std::string& arguments) const
    {
        const std::string command = std::string(MOTORMODEL_CLI) + " " + arguments + " --settings " +
                                    PathOf("lab.toml").toStdString() + " >/dev/null 2>&1";
        return WEXITSTATUS(std::system(command.c_str()));
    }

    // Clears the chart and opens the settings in the window, as a file.
    void Open(const Settings& settings)
    {
        Click("Button2");
        ExperimentFile::Save(PathOf("lab.toml").toStdString(), settings);
        form1_->OpenExperiment(PathOf("lab.toml").toStdString());
    }

    void RunInWindow(const Experiment& e)
    {
        Open(e.settings);
        if (e.kind == RunKind::Step)
            RunStepResponse(QString::fromStdString(e.load));
        else
            Click(e.kind == RunKind::Gauss ? "Button1" : "Button3");
    }

    // Every step characteristic the tool gives is in the window's step
    // table under its quantity and segment, every cell the tool leaves out
    // is empty there, and a segment the tool has no row for has no column.
    void CompareSteps(const std::string& what)
    {
        // A run the tool does not measure, refused, has no table either.
        const bool measured = QFile::exists(PathOf("metrics.csv"));
        const QTableWidget& table = Table("StepTable");
        ASSERT_EQ(table.isVisible(), measured) << what;
        if (!measured)
            return;
        const CsvRows metrics = ReadCsv(PathOf("metrics.csv"));
        for (const std::string quantity : {"Md", "Omega"}) {
            for (const auto& [segment, segmentName] : kSegments) {
                const QString column = QString::fromStdString(quantity) + QStringLiteral(": ") + segmentName;
                const auto row = std::find_if(metrics.begin(), metrics.end(), [&](const auto& r) {
                    return r.at("trace") == quantity && r.at("segment") == segment;
                });
                for (const auto& [field, name] : kCharacteristics)
                    ASSERT_EQ(Cell(table, name, column), row == metrics.end() ? "-" : row->at(field))
                        << what << ": " << column.toStdString() << ", " << field;
            }
        }
    }

    // The statistics of the run's traces, and of measured samples where the
    // tool was given some, row by row and cell by cell.
    void CompareStatistics(RunKind kind, const std::string& what)
    {
        const CsvRows stats = ReadCsv(PathOf("stats.csv"));
        const QTableWidget& table = Table("StatisticsTable");
        ASSERT_EQ(table.rowCount(), static_cast<int>(stats.size())) << what;
        std::vector<std::pair<std::string, QString>> columns{
            {"from", QStringLiteral("От шага")}, {"to", QStringLiteral("До шага")},  {"count", QStringLiteral("Точек")},
            {"min", QStringLiteral("Мин")},       {"min_step", QStringLiteral("Шаг мин")}, {"max", QStringLiteral("Макс")},
            {"max_step", QStringLiteral("Шаг макс")}, {"mean", QStringLiteral("Среднее")}, {"rms", QStringLiteral("СКЗ")},
            {"std", QStringLiteral("СКО")}};
        if (stats.front().contains("min_seconds"))
            columns.insert(columns.end(), {{"min_seconds", QStringLiteral("Время мин, с")},
                                           {"max_seconds", QStringLiteral("Время макс, с")}});
        ASSERT_EQ(table.columnCount(), static_cast<int>(columns.size()) + 1) << what;
        for (const auto& row : stats) {
            // "Omega" is the run's trace, "Omega (measured)" the samples'.
            const std::string trace = row.at("trace");
            const std::string quantity = trace.substr(0, trace.find(' '));
            const QString heading = quantity == trace
                                        ? QString::fromStdString(TraceHeading(kind, *lab::RoleNamed(quantity)->quantity))
                                        : QString::fromStdString(quantity) + QStringLiteral(" (измерено)");
            for (const auto& [field, name] : columns)
                ASSERT_EQ(Cell(table, heading, name), row.at(field)) << what << ": " << heading.toStdString() << ", " << field;
        }
    }

    QTemporaryDir dir_;
};

TEST_F(Differential, TheMeasurementsWindowShowsTheBatchToolsNumbers)
{
    std::mt19937 random(20261208);
    // Each schedule with each profile four times: the schedules and
    // profiles repeat every 24 experiments.
    constexpr int kExperiments = 96;
    for (int i = 0; i < kExperiments; ++i) {
        const Experiment e = Generate(random, i);
        const std::string what = "experiment " + std::to_string(i) + ":\n" + ExperimentFile::Text(e.settings) +
                                 "load " + e.load;
        RunInWindow(e);
        QFile::remove(PathOf("metrics.csv"));
        QFile::remove(PathOf("stats.csv"));
        const std::string outputs = " --stats " + PathOf("stats.csv").toStdString();
        if (e.kind == RunKind::Step) {
            const int status = Tool("step " + e.load + outputs + " --metrics " + PathOf("metrics.csv").toStdString());
            ASSERT_EQ(status == 3, std::stoi(e.load) > e.settings.run.limit) << what;
            CompareSteps(what);
        } else {
            ASSERT_EQ(Tool(std::string(e.kind == RunKind::Gauss ? "gauss" : "uniform") + outputs), 0) << what;
        }
        CompareStatistics(e.kind, what);
    }
}

// Samples of the step response every seventh step, Md's every other one
// empty, have the tool's statistics over the steps the window is zoomed to.
TEST_F(Differential, MeasuredSamplesHaveTheBatchToolsStatisticsOverTheStepsShown)
{
    RunStepResponse(QStringLiteral("10"));
    const double dt = form1_->SettingsInForce().model.dt;
    const Trace& md = form1_->Series(RunKind::Step, Quantity::Md);
    const Trace& omega = form1_->Series(RunKind::Step, Quantity::Omega);
    std::ofstream bench(PathOf("bench.csv").toStdString());
    bench << std::setprecision(17) << "t,Md,Omega\n";
    for (std::size_t i = 0; i < md.Size(); i += 7) {
        bench << TimeOfStep(static_cast<double>(i), dt) << ',';
        if (i % 2 == 0)
            bench << md.Values()[i];
        bench << ',' << omega.Values()[i] << '\n';
    }
    bench.close();
    form1_->Lab().Open(PathOf("bench.csv").toStdString());
    ExperimentFile::Save(PathOf("lab.toml").toStdString(), form1_->SettingsInForce());
    AxisRanges band = Chart()->ShownRanges();
    band.x = {300.4, 1700.6};
    Chart()->View().ZoomTo(band);
    QCoreApplication::processEvents();
    ASSERT_EQ(Tool("step 10 --measured " + PathOf("bench.csv").toStdString() + " --stats " +
                   PathOf("stats.csv").toStdString() + " --from 301 --to 1700"),
              0);
    CompareStatistics(RunKind::Step, "measured");
}

// A family's pins are tabled as the tool's sweep measures its members.
TEST_F(Differential, ThePinsTableShowsTheSweepsNumbers)
{
    std::mt19937 random(8);
    for (int i = 0; i < 12; ++i) {
        Experiment e = Generate(random, i);
        e.settings.run.seed.reset();
        Open(e.settings);
        const std::string values = "-20, " + e.load + ", 10";
        form1_->PinFamily(FamilyChoice{"step.load", values, RunKind::Step});
        WaitForWork();
        QFile::remove(PathOf("metrics.csv"));
        Tool("sweep \"step.load=" + values + "\" step --metrics " + PathOf("metrics.csv").toStdString());
        const std::string what = "family " + std::to_string(i) + ":\n" + ExperimentFile::Text(e.settings);

        const CsvRows metrics = ReadCsv(PathOf("metrics.csv"));
        const QTableWidget& table = Table("PinsTable");
        ASSERT_EQ(table.rowCount(), metrics.empty() ? 0 : static_cast<int>(metrics.size())) << what;
        for (int r = 0; r < static_cast<int>(metrics.size()); ++r) {
            const auto& row = metrics[static_cast<std::size_t>(r)];
            auto cell = [&](int column) { return table.item(r, column)->data(Qt::UserRole).toString().toStdString(); };
            ASSERT_EQ(cell(0), "Mc=" + row.at("step.load")) << what;
            ASSERT_TRUE(cell(1).starts_with(row.at("trace") + " (")) << what;
            ASSERT_EQ(QString::fromStdString(cell(2)), kSegments.at(row.at("segment"))) << what;
            for (const auto& [field, name] : kCharacteristics) {
                for (int column = 3; column < table.columnCount(); ++column) {
                    if (table.horizontalHeaderItem(column)->text() == name) {
                        ASSERT_EQ(cell(column), row.at(field)) << what << ": row " << r << ", " << field;
                    }
                }
            }
        }
    }
}

} // namespace
