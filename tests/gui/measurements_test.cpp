#include "ChartWindowFixture.h"

#include "analysis/SignalStatistics.h"
#include "chart/ChartCursors.h"
#include "chart/ChartNavigator.h"
#include "chart/ChartPins.h"
#include "plot/CsvTable.h"
#include "toolkit/Conversions.h"
#include "ui/MeasurementsWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTableWidget>

#include <algorithm>
#include <string>
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

    // The cells of the table's row that starts with the name; empty if none.
    QStringList Row(const char* table, const QString& name) const
    {
        const QTableWidget& cells = Table(table);
        for (int row = 0; row < cells.rowCount(); ++row) {
            if (cells.item(row, 0)->text() != name)
                continue;
            QStringList texts;
            for (int column = 0; column < cells.columnCount(); ++column)
                texts << cells.item(row, column)->text();
            return texts;
        }
        return {};
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
    const auto& omega = form1_->Series(6).Points();
    const auto inView = std::span(omega).subspan(static_cast<std::size_t>(zoomed->first),
                                                 static_cast<std::size_t>(zoomed->last - zoomed->first + 1));
    const double largest = std::max_element(inView.begin(), inView.end(), [](auto& a, auto& b) { return a.y < b.y; })->y;
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
    EXPECT_FALSE(Chart()->View().IsZoomed());
    EXPECT_EQ(Shown(), before);

    EXPECT_EQ(Row("CursorTable", QStringLiteral("Шаг")), (QStringList{"Шаг", "730", "1499", "769"}));
    EXPECT_EQ(Row("CursorTable", QStringLiteral("Время, с")), (QStringList{"Время, с", "0.73", "1.499", "0.769"}));
    for (int series : {5, 6}) {
        const auto& points = form1_->Series(series).Points();
        EXPECT_EQ(Row("CursorTable", QString::fromStdString(Chart()->View().Traces().Heading(series - 1))).mid(1),
                  (QStringList{Number(points[730].y), Number(points[1499].y), Number(points[1499].y - points[730].y)}));
    }

    QTableWidget& table = Table("CursorTable");
    table.setRangeSelected(QTableWidgetSelectionRange(0, 1, 1, 3), true);
    QTest::keyClick(&table, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("730\t1499\t769\n0.73\t1.499\t0.769"));

    Trigger(QStringLiteral("Курсоры A и B"));
    EXPECT_FALSE(Cursors().IsShown());
    EXPECT_TRUE(table.isHidden());
}

TEST_F(Measurements, PinnedRunsKeepTheirPointsThroughNewRunsAndGoWithAClear)
{
    RunStepResponse(QStringLiteral("10"));
    const std::vector<TracePoint> omegaAt10 = form1_->Series(6).Points();
    PinRun();
    RunStepResponse(QStringLiteral("20"));
    Click("Button1");
    PinRun();

    const std::vector<std::string> pinned{"Md (Mc=10)", "Omega (Mc=10)",    "Md (Gauss) #2",
                                          "Omega (Gauss) #2", "Md (Mc=20)", "Omega (Mc=20)"};
    std::vector<std::string> headings = Headings();
    EXPECT_EQ(std::vector(headings.begin() + 6, headings.end()), pinned);
    const Trace& omegaPin = Chart()->View().Traces().At(7);
    ASSERT_EQ(omegaPin.Points().size(), omegaAt10.size());
    EXPECT_TRUE(std::equal(omegaAt10.begin(), omegaAt10.end(), omegaPin.Points().begin(),
                           [](const TracePoint& a, const TracePoint& b) { return a.x == b.x && a.y == b.y; }));
    EXPECT_EQ(Chart()->graph(7)->name(), QStringLiteral("Omega (Mc=10)")) << "the legend names the run";
    EXPECT_EQ(Chart()->graph(7)->pen().style(), Qt::DashLine);
    EXPECT_EQ(Chart()->TraceColour(7), Chart()->TraceColour(5));
    EXPECT_TRUE(CsvTable(Chart()->View().Traces()).starts_with(
        "step,Md (Gauss),Omega (Gauss),Md (Uniform),Omega (Uniform),Md (Step),Omega (Step),Md (Mc=10),"
        "Omega (Mc=10),Md (Gauss) #2,"));
    Trigger(QStringLiteral("Измерения"));
    EXPECT_EQ(Row("StatisticsTable", QStringLiteral("Omega (Mc=10)"))[6],
              Number(std::max_element(omegaAt10.begin(), omegaAt10.end(), [](auto& a, auto& b) { return a.y < b.y; })->y));

    ClickLegendEntry(7);
    EXPECT_FALSE(Chart()->View().Traces().IsShown(7)) << "hidden from the legend like any trace";
    Click("Button2");
    EXPECT_EQ(Chart()->TraceCount(), 6);
    EXPECT_EQ(Chart()->legend->itemCount(), 6);
    EXPECT_TRUE(Pins().Pinned().empty());
}

TEST_F(Measurements, BeyondTheLimitTheOldestPinsGo)
{
    for (int load = 1; load <= 7; ++load) {
        RunStepResponse(QString::number(load));
        PinRun();
    }
    ASSERT_EQ(Pins().Pinned().size(), ChartPins::kMostKept);
    EXPECT_EQ(Pins().Pinned().front().Title(), "Md (Mc=2)");
    EXPECT_EQ(Pins().Pinned().back().Title(), "Omega (Mc=7)");
    const std::vector<std::string> headings = Headings();
    EXPECT_EQ(headings.size(), 6 + ChartPins::kMostKept);
    EXPECT_EQ(std::count(headings.begin(), headings.end(), "Md (Mc=1)"), 0);

    RunStepResponse(QStringLiteral("-579"));
    PinRun();
    EXPECT_EQ(Pins().Pinned().back().Title(), "Omega (Step) #2") << "a run that failed has no load to name it by";
}

} // namespace
