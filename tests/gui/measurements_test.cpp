#include "ChartWindowFixture.h"

#include "analysis/Measurements.h"
#include "analysis/SignalStatistics.h"
#include "chart/ChartCursors.h"
#include "chart/ChartNavigator.h"
#include "chart/ChartPins.h"
#include "experiments/ExperimentFile.h"
#include "plot/CsvTable.h"
#include "toolkit/Conversions.h"
#include "ui/MeasurementsWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>

#include <algorithm>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

QString Number(double value)
{
    return QString::fromStdString(toolkit::FloatToStr(value));
}

class Measurements : public ChartWindow {
protected:
    MeasurementsWindow& Window() const { return form1_->Measurements(); }
    const ChartCursors& Cursors() const { return *Tools().cursors; }
    const ChartPins& Pins() const { return *Tools().pins; }

    QTableWidget& Table(const char* name) const
    {
        auto* table = Window().findChild<QTableWidget*>(QString::fromLatin1(name));
        EXPECT_NE(table, nullptr) << name;
        return *table;
    }

    // The exact values of the table's row that starts with the name, as
    // the cells' tooltips give them; empty if there is no such row.
    QStringList Row(const char* table, const QString& name) const
    {
        const QTableWidget& cells = Table(table);
        for (int row = 0; row < cells.rowCount(); ++row) {
            if (cells.item(row, 0)->text() != name)
                continue;
            QStringList texts;
            for (int column = 0; column < cells.columnCount(); ++column)
                if (!cells.isColumnHidden(column))
                    texts << cells.item(row, column)->toolTip();
            return texts;
        }
        return {};
    }

    // The headings of the table's rows, in order.
    QStringList RowNames(const char* table) const
    {
        QStringList names;
        for (int row = 0; row < Table(table).rowCount(); ++row)
            names << Table(table).item(row, 0)->text();
        return names;
    }

    std::vector<std::string> Headings() const
    {
        std::vector<std::string> headings;
        for (int i = 0; i < Chart()->TraceCount(); ++i)
            headings.push_back(Chart()->View().Traces().Heading(i));
        return headings;
    }

    void PinRun() { Trigger(QStringLiteral("Закрепить графики")); }
};

TEST_F(Measurements, OpenWithMOverTheChartAndFollowZoomAndLegendClicks)
{
    RunAll();
    EXPECT_FALSE(Window().isVisible()) << "nothing shows until asked for";
    Chart()->setFocus();
    QTest::keyClick(Chart(), Qt::Key_M);
    ASSERT_TRUE(Window().isVisible());
    EXPECT_EQ(Window().windowTitle(), QStringLiteral("Измерения"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    const QStringList whole = Row("StatisticsTable", QStringLiteral("Omega (Step)"));
    ASSERT_EQ(whole.size(), 11);
    EXPECT_EQ(whole.mid(1, 3), (QStringList{"0", "1999", "2000"}));
    EXPECT_EQ(whole[6], Text("Label2")) << "the largest Omega of the run, as the window shows it";

    QTest::keyClick(Chart(), Qt::Key_Plus);
    const std::optional<analysis::StepRange> zoomed = analysis::WholeStepsWithin(Shown().x);
    ASSERT_TRUE(zoomed && zoomed->first > 0 && zoomed->last < 1999) << "zoomed about the middle";
    const TracePoints omega = form1_->Series(RunKind::Step, Quantity::Omega).Points();
    const auto inView = omega.Values().subspan(static_cast<std::size_t>(zoomed->first),
                                               static_cast<std::size_t>(zoomed->last - zoomed->first + 1));
    const double largest = *std::max_element(inView.begin(), inView.end());
    const QStringList shown = Row("StatisticsTable", QStringLiteral("Omega (Step)"));
    EXPECT_EQ(shown.mid(1, 3), (QStringList{Number(static_cast<double>(zoomed->first)),
                                             Number(static_cast<double>(zoomed->last)),
                                             Number(static_cast<double>(inView.size()))}));
    EXPECT_EQ(shown[6], Number(largest));
    EXPECT_EQ(shown[8], Number(analysis::ComputeStatistics(omega, *zoomed)->mean));

    ClickLegendEntry(5);
    EXPECT_EQ(Table("StatisticsTable").rowCount(), 5);
    EXPECT_TRUE(Row("StatisticsTable", QStringLiteral("Omega (Step)")).isEmpty());
    ClickLegendEntry(5);
    EXPECT_EQ(Row("StatisticsTable", QStringLiteral("Omega (Step)")), shown);

    // The characteristics of load 10, steps and seconds.
    EXPECT_EQ(Row("StepTable", QStringLiteral("Нарастание 10–90 %, шагов")).mid(1),
              (QStringList{"0", "251", "236", "251"}));
    EXPECT_EQ(Row("StepTable", QStringLiteral("Нарастание 10–90 %, с")).mid(1),
              (QStringList{"0", "0.251", "0.236", "0.251"}));
    EXPECT_EQ(Row("StepTable", QStringLiteral("Постоянная времени t63, с")).mid(1),
              (QStringList{"0.002", "0.116", "0.11", "0.115"}))
        << "as the batch tool gives them";
    EXPECT_EQ(Row("StepTable", QStringLiteral("Установление")).mid(1), QStringList(4, QStringLiteral("установилось")));
    Click("Button2");
    EXPECT_TRUE(Table("StepTable").isHidden()) << "no whole run to characterise";
    EXPECT_FALSE(Window().findChild<QLabel*>(QStringLiteral("StepHint"))->isHidden());
}

TEST_F(Measurements, CursorsReadExactPointsDragByWholeStepsAndCopy)
{
    RunStepResponse(QStringLiteral("10"));
    Trigger(QStringLiteral("Измерения"));
    EXPECT_TRUE(Table("CursorTable").isHidden());
    Trigger(QStringLiteral("Курсоры A и B"));
    ASSERT_EQ(Cursors().Steps(), (CursorSteps{500, 1499})) << "a quarter and three quarters of steps 0 to 1999";

    const AxisRanges before = Shown();
    const PlotMapping mapping = Settled();
    Drag(Qt::LeftButton, Qt::NoModifier, {mapping.PixelAtX(500) + 2, mapping.PixelAtY(80)},
         {mapping.PixelAtX(730.3), mapping.PixelAtY(20)});
    EXPECT_EQ(Cursors().Steps(), (CursorSteps{730, 1499}));
    EXPECT_EQ(Row("CursorTable", QStringLiteral("Шаг")).value(1), QStringLiteral("500"))
        << "the table follows at the event loop's next turn, after the chart's frame";
    QCoreApplication::processEvents();
    EXPECT_FALSE(Chart()->View().IsZoomed());
    EXPECT_EQ(Shown(), before);

    EXPECT_EQ(Row("CursorTable", QStringLiteral("Шаг")), (QStringList{"Шаг", "730", "1499", "769"}));
    EXPECT_EQ(Row("CursorTable", QStringLiteral("Время, с")), (QStringList{"Время, с", "0.731", "1.5", "0.769"}));
    for (Quantity quantity : kQuantities) {
        const auto& points = form1_->Series(RunKind::Step, quantity).Points();
        EXPECT_EQ(Row("CursorTable", QString::fromStdString(TraceHeading(RunKind::Step, quantity))).mid(1),
                  (QStringList{Number(points[730].y), Number(points[1499].y), Number(points[1499].y - points[730].y)}));
    }

    QTableWidget& table = Table("CursorTable");
    table.setRangeSelected(QTableWidgetSelectionRange(0, 1, 1, 3), true);
    QTest::keyClick(&table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("\tA\tB\tB − A\nШаг\t730\t1499\t769\nВремя, с\t0.731\t1.5\t0.769"))
        << "the heading row and the rows' names go with the cells";

    Trigger(QStringLiteral("Курсоры A и B"));
    EXPECT_FALSE(Cursors().IsShown());
    EXPECT_TRUE(table.isHidden());
}

// Counts the pointer shape's changes on a widget: each goes to the window
// system.
struct CursorChanges : QObject {
    explicit CursorChanges(QWidget& widget) { widget.installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::CursorChange;
        return false;
    }
    int count = 0;
};

TEST_F(Measurements, ThePointerSplitsOverACursorAndChangesOnlyWhereItCrossesOne)
{
    RunStepResponse(QStringLiteral("10"));
    Trigger(QStringLiteral("Курсоры A и B"));
    const PlotMapping m = Settled();
    const CursorChanges changes(*Chart());
    // Away from A, onto it and along it within reach, then off it again:
    // the shape splits after an odd count of changes.
    const std::pair<double, int> moves[] = {{m.PixelAtX(300), 0},     {m.PixelAtX(320), 0}, {m.PixelAtX(500) - 2, 1},
                                            {m.PixelAtX(500) + 2, 1}, {m.PixelAtX(700), 2}, {m.PixelAtX(720), 2}};
    for (const auto& [x, count] : moves) {
        Mouse(QEvent::MouseMove, {x, m.PixelAtY(50)}, Qt::NoButton, Qt::NoButton);
        EXPECT_EQ(changes.count, count) << "at x " << x;
        EXPECT_EQ(Chart()->cursor().shape(), count % 2 ? Qt::SplitHCursor : Qt::ArrowCursor) << "at x " << x;
    }
}

TEST_F(Measurements, PinnedRunsKeepTheirPointsThroughNewRunsAndGoWithAClear)
{
    RunStepResponse(QStringLiteral("10"));
    const std::span<const double> shownAt10 = form1_->Series(RunKind::Step, Quantity::Omega).Values();
    const std::vector<double> omegaAt10(shownAt10.begin(), shownAt10.end());
    PinRun();
    RunStepResponse(QStringLiteral("20"));
    Click("Button1");
    PinRun();

    const std::vector<std::string> pinned{"Md (Mc=10)", "Omega (Mc=10)",    "Md (Gauss) (2)",
                                          "Omega (Gauss) (2)", "Md (Mc=20)", "Omega (Mc=20)"};
    std::vector<std::string> headings = Headings();
    EXPECT_EQ(std::vector(headings.begin() + 6, headings.end()), pinned);
    const Trace& omegaPin = Chart()->View().Traces().At(7);
    EXPECT_TRUE(std::ranges::equal(omegaAt10, omegaPin.Values()));
    EXPECT_EQ(Chart()->plottable(7)->name(), QStringLiteral("Omega (Mc=10)")) << "the legend names the run";
    EXPECT_EQ(Chart()->plottable(7)->pen().style(), Qt::DashLine);
    EXPECT_EQ(Chart()->TraceColour(7), ToQColor(kPinPalette[1])) << "the second pin's colour, not its trace's";
    EXPECT_TRUE(CsvTable(Chart()->View().Traces()).starts_with(
        "step,Md (Gauss),Omega (Gauss),Md (Uniform),Omega (Uniform),Md (Step),Omega (Step),Md (Mc=10),"
        "Omega (Mc=10),Md (Gauss) (2),"));
    Trigger(QStringLiteral("Измерения"));
    EXPECT_EQ(Row("StatisticsTable", QStringLiteral("Omega (Mc=10)"))[6],
              Number(*std::max_element(omegaAt10.begin(), omegaAt10.end())));

    ClickLegendEntry(7);
    EXPECT_FALSE(Chart()->View().Traces().IsShown(7)) << "hidden from the legend like any trace";
    Click("Button2");
    EXPECT_EQ(Chart()->TraceCount(), 6);
    EXPECT_EQ(Chart()->legend->itemCount(), 6);
    EXPECT_TRUE(Pins().Pinned().empty());
}

TEST_F(Measurements, BeyondTheLimitTheOldestPinsGo)
{
    // A run pins two traces: one run more than the pins kept hold.
    const int runs = static_cast<int>(ChartPins::kMostKept / 2) + 1;
    for (int load = 1; load <= runs; ++load) {
        RunStepResponse(QString::number(load));
        PinRun();
    }
    ASSERT_EQ(Pins().Pinned().size(), ChartPins::kMostKept);
    EXPECT_EQ(Pins().Pinned().front().trace.Title(), "Md (Mc=2)");
    EXPECT_EQ(Pins().Pinned().back().trace.Title(), "Omega (Mc=" + std::to_string(runs) + ")");
    const std::vector<std::string> headings = Headings();
    EXPECT_EQ(headings.size(), 6 + ChartPins::kMostKept);
    EXPECT_EQ(std::count(headings.begin(), headings.end(), "Md (Mc=1)"), 0);

    RunStepResponse(QStringLiteral("-579"));
    PinRun();
    EXPECT_EQ(Pins().Pinned().back().trace.Title(), "Omega (Step) (2)") << "a run that failed has no load to name it by";
}

TEST_F(Measurements, CellsShowSixDigitsTheirTooltipsAndCopiesTheExactValue)
{
    RunAll();
    Trigger(QStringLiteral("Измерения"));
    Trigger(QStringLiteral("Курсоры A и B"));
    int numbers = 0;
    for (const char* name : {"StatisticsTable", "StepTable", "CursorTable"}) {
        const QTableWidget& table = Table(name);
        for (int row = 0; row < table.rowCount(); ++row)
            for (int column = 1; column < table.columnCount(); ++column) {
                const QTableWidgetItem& cell = *table.item(row, column);
                // Whether a segment settled is a word, not a number.
                if (cell.toolTip().isEmpty() || table.item(row, 0)->text() == QStringLiteral("Установление"))
                    continue;
                // Qt's own %g rounding, an independent reading of six digits.
                bool parsed = false;
                const double exact = cell.toolTip().toDouble(&parsed);
                ASSERT_TRUE(parsed) << cell.toolTip().toStdString();
                EXPECT_EQ(cell.text(), QString::number(exact, 'g', 6)) << name << " " << row << "," << column;
                EXPECT_EQ(QString::fromStdString(toolkit::FloatToStr(exact)), cell.toolTip()) << "reads back exactly";
                ++numbers;
            }
    }
    EXPECT_GT(numbers, 6 * 10 + 14 * 4 + 8 * 3 - 20) << "nearly every cell holds a number";

    // The largest Omega of the step response, which has 17 digits.
    QTableWidget& table = Table("StatisticsTable");
    const int row = static_cast<int>(RowNames("StatisticsTable").indexOf(QStringLiteral("Omega (Step)")));
    ASSERT_GE(row, 0);
    EXPECT_EQ(table.item(row, 6)->text(), QStringLiteral("157.064"));
    table.setRangeSelected(QTableWidgetSelectionRange(row, 6, row, 6), true);
    QTest::keyClick(&table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "График\tМакс\nOmega (Step)\t" + Text("Label2"));
}

TEST_F(Measurements, TracesWithoutPointsAreLeftOutOfTheTables)
{
    RunStepResponse(QStringLiteral("10"));
    Trigger(QStringLiteral("Измерения"));
    Trigger(QStringLiteral("Курсоры A и B"));
    EXPECT_EQ(RowNames("StatisticsTable"), (QStringList{"Md (Step)", "Omega (Step)"}));
    EXPECT_EQ(RowNames("CursorTable"), (QStringList{"Шаг", "Время, с", "Md (Step)", "Omega (Step)"}));
    EXPECT_EQ(Chart()->View().Traces().ShownIndices().size(), 6u) << "the empty traces are on the chart all the same";
    Click("Button1");
    EXPECT_EQ(RowNames("StatisticsTable"), (QStringList{"Md (Gauss)", "Omega (Gauss)", "Md (Step)", "Omega (Step)"}));
    Click("Button2");
    EXPECT_EQ(Table("StatisticsTable").rowCount(), 0);
}

TEST_F(Measurements, TablesShowEveryRowUntilTheWindowIsFullThenShareItsHeight)
{
    Trigger(QStringLiteral("Измерения"));
    Trigger(QStringLiteral("Курсоры A и B"));
    const auto scrolls = [this](const char* name) { return Table(name).verticalScrollBar()->maximum() > 0; };
    // A table with room to spare shows every row and no more.
    const auto fitsItsRows = [this](const char* name) {
        const QTableWidget& table = Table(name);
        return table.viewport()->height() == table.verticalHeader()->length();
    };
    // Two runs and then ever more pins, up to the most kept.
    RunStepResponse(QStringLiteral("10"));
    Click("Button1");
    for (int pins = 0; pins <= 6; ++pins) {
        // A table's new height goes up to its box and then to the window,
        // a layout request each.
        for (int level = 0; level < 3; ++level)
            QApplication::processEvents();
        const QRect window = Window().rect();
        const int used = Window().findChild<QWidget*>(QStringLiteral("CursorBox"))->geometry().bottom() +
                         Window().layout()->contentsMargins().bottom() + 1;
        const bool full = window.height() - used == 0;
        for (const char* name : {"StatisticsTable", "StepTable", "CursorTable"}) {
            EXPECT_TRUE(!scrolls(name) || full) << name << " scrolls below empty space, with " << pins << " pins";
            EXPECT_TRUE(scrolls(name) || fitsItsRows(name)) << name << " with " << pins << " pins";
            EXPECT_EQ(Table(name).horizontalScrollBar()->maximum(), 0) << name << " is as wide as its columns";
        }
        if (pins == 0) {
            EXPECT_FALSE(scrolls("StatisticsTable") || scrolls("StepTable") || scrolls("CursorTable"))
                << "two runs fit the window";
        }
        PinRun();
    }
}

TEST_F(Measurements, TheWindowStaysWhereTheUserPutsIt)
{
    Trigger(QStringLiteral("Измерения"));
    ASSERT_TRUE(Window().isVisible());
    Window().move(10, 20);
    Window().close();
    Trigger(QStringLiteral("Измерения"));
    EXPECT_EQ(Window().pos(), QPoint(10, 20));
}

// A d-q machine's step response has columns of Is and ia in the step
// table, each figure the value of the run as the batch tool measures it,
// and rows of them in the statistics; the report takes the tables from the
// measurements, as the window shows them.
TEST_F(Measurements, ADqRunsCurrentsAreMeasuredAndTheReportHoldsWhatTheWindowShows)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath(QStringLiteral("dq.toml")).toStdString();
    std::ofstream(path) << "[model]\nkind = \"dq\"\ndt = 1e-4\n[run]\nsteps = 3000\n[step]\non = 1000\noff = 2000\n";
    form1_->OpenExperiment(path);
    RunStepResponse(QStringLiteral("10"));
    Trigger(QStringLiteral("Измерения"));
    const RunResult plain = RunExperiment({RunKind::Step, ExperimentFile::Load(path, Settings{}), "10", {}});
    const analysis::Measurements measured = analysis::MeasureRun(plain);

    const QTableWidget& step = Table("StepTable");
    ASSERT_EQ(step.columnCount(), 1 + static_cast<int>(measured.steps.size()));
    for (int column = 1; column < step.columnCount(); ++column) {
        const analysis::StepRow& row = measured.steps[static_cast<std::size_t>(column - 1)];
        EXPECT_TRUE(step.horizontalHeaderItem(column)->text().startsWith(QString::fromStdString(
            std::string(QuantityName(row.quantity)) + ": ")));
        EXPECT_EQ(step.item(11, column)->toolTip(), row.figures[analysis::Figure::RiseSteps]
                                                        ? QString::number(static_cast<qint64>(*row.figures[analysis::Figure::RiseSteps]))
                                                        : QString())
            << "rise steps of column " << column;
        EXPECT_EQ(step.item(0, column)->toolTip(), Number(*row.figures[analysis::Figure::Initial]));
    }
    EXPECT_TRUE(std::ranges::any_of(measured.steps, [](const auto& row) { return row.quantity == Quantity::ia; }));
    EXPECT_EQ(Row("StatisticsTable", QStringLiteral("Is (Step)")).value(3), QStringLiteral("3000"));
    EXPECT_EQ(Row("StatisticsTable", QStringLiteral("ia (Step)")).value(3), QStringLiteral("3000"));

    const std::vector<ReportTable> report = Window().ReportTables();
    ASSERT_EQ(report.size(), 2u) << "statistics and the step table; no pins";
    for (const auto& [table, name] : {std::pair{&report[0], "StatisticsTable"}, std::pair{&report[1], "StepTable"}}) {
        const QTableWidget& shown = Table(name);
        ASSERT_EQ(table->rows.size(), shown.rowCount()) << name;
        for (int row = 0; row < shown.rowCount(); ++row)
            for (int column = 0; column < shown.columnCount(); ++column) {
                EXPECT_EQ(table->header[column], shown.horizontalHeaderItem(column)->text()) << name;
                EXPECT_EQ(table->rows[row][column], shown.item(row, column)->text()) << name << " " << row;
            }
    }
}

} // namespace
