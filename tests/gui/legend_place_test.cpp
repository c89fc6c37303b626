// Where the legend goes and how it names the traces: beside the plot while
// it takes no more than a third of the plot's width, else below it; a pin's
// long name shortened on the chart and whole in its readouts.

#include "ChartWindowFixture.h"

#include "chart/LegendPlace.h"
#include "experiments/Settings.h"
#include "ui/ParametersWindow.h"

#include <gtest/gtest.h>
#include <qcustomplot.h>

namespace {

struct Placing {
    const char* what;
    int chartWidth;
    int besideWidth;
    int widestEntry;
    LegendLayout layout;
};

TEST(LegendPlace, BesideWhileAThirdOfThePlotElseBelowInColumnsTheChartHolds)
{
    for (const Placing& p : {
             Placing{"the six live traces", 625, 80, 80, {}},
             Placing{"just a third of the plot: beside", 600, 150, 150, {}},
             // Three entries and the two spaces between them: 3 x 150 + 2 x 8.
             Placing{"a pixel more: below", 466, 151, 150, {true, 3}},
             Placing{"no room for the third's spacing: two a row", 465, 151, 150, {true, 2}},
             Placing{"long pin names: below, as many a row as fit", 625, 330, 330, {true, 1}},
             Placing{"many short entries in columns: below", 625, 400, 80, {true, 7}},
             Placing{"an entry wider than the chart: one a row", 300, 500, 500, {true, 1}},
         })
        EXPECT_EQ(ChooseLegendLayout(p.chartWidth, p.besideWidth, p.widestEntry, 8), p.layout) << p.what;
}

TEST(LegendPlace, TicksHaveRoomForTheirLabelsAndNeverExceedTheLibrarysFive)
{
    for (const auto& [length, ticks] : {std::pair{545, 5}, {500, 5}, {400, 5}, {399, 4}, {240, 3}, {100, 2}, {0, 2}})
        EXPECT_EQ(TickCountFor(length, Qt::Horizontal), ticks) << length;
    for (const auto& [length, ticks] : {std::pair{545, 5}, {200, 5}, {199, 4}, {120, 3}, {79, 2}})
        EXPECT_EQ(TickCountFor(length, Qt::Vertical), ticks) << length;
}

TEST(LegendPlace, LongRunNamesKeepTheirFirstTwoSettings)
{
    for (const auto& [name, shown] : {
             std::pair{"Omega (Mc=10 J=0.0344 steps=4000 on=2000 off=4000)", "Omega (Mc=10 · J=0.0344 …)"},
             {"Md (Mc=10 J=0.0344)", "Md (Mc=10 · J=0.0344)"},
             {"Omega (Mc=10 J=0.0344 steps=4000) (2)", "Omega (Mc=10 · J=0.0344 …) (2)"},
             {"Omega (Mc=20)", "Omega (Mc=20)"},
             {"Md (Gauss) (3)", "Md (Gauss) (3)"},
             {"Omega", "Omega"},
             {"Mc=10", "Mc=10"},
             {"Md (unclosed", "Md (unclosed"},
         })
        EXPECT_EQ(LegendName(name), shown) << name;
}

class LongNames : public ChartWindow {};

TEST_F(LongNames, PinsOfManySettingsLeaveThePlotTwoThirdsOfTheChartAndTheirNamesWholeInTheCsv)
{
    PinThreeLongNamedRuns();
    Settled();
    const QRect plot = Chart()->axisRect()->rect();
    EXPECT_GE(3 * plot.width(), 2 * Chart()->width() - 3 * 32) << "the plot, its axes' margins aside";
    const ShownTraces& traces = Chart()->View().Traces();
    bool longName = false;
    for (int i = 0; i < traces.Count(); ++i) {
        const std::string& heading = traces.Heading(i);
        longName = longName || heading.find("steps=4000") != std::string::npos;
        const QRect entry = Chart()->LegendEntryRect(i);
        EXPECT_TRUE(entry.isEmpty() || Chart()->rect().contains(entry)) << heading;
    }
    EXPECT_TRUE(longName) << "the headings, which the CSV and the readouts use, keep every setting";
    // The chart's names are the legend's short ones, made from the very
    // names the window gives its pins.
    bool shortened = false;
    for (QCPAbstractLegendItem* item : LegendItems(*Chart()->legend))
        if (auto* entry = qobject_cast<QCPPlottableLegendItem*>(item)) {
            const QString name = entry->plottable()->name();
            EXPECT_FALSE(name.contains(QStringLiteral("steps="))) << name.toStdString();
            shortened = shortened || name.contains(QStringLiteral("(Mc=10 · J=0.0344 …)"));
        }
    EXPECT_TRUE(shortened) << "a pin of many settings is named by its load and inertia on the chart";
}

} // namespace
