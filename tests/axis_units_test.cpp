#include "plot/AxisUnits.h"
#include "plot/CsvTable.h"
#include "plot/PlotNavigation.h"
#include "plot/ShownTraces.h"
#include "plot/Trace.h"
#include "toolkit/Conversions.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <string>

namespace {

constexpr double kDefaultDt = 0.001;

double Parsed(const char* text)
{
    double value = 0;
    std::from_chars(text, text + std::char_traits<char>::length(text), value);
    return value;
}

TEST(AxisUnits, TitlesNameTheUnitsOfWhatEachAxisShowsAndAreEmptyWhenOff)
{
    struct Case {
        bool seconds;
        bool titles;
        const char* x;
        const char* y;
    };
    for (const Case& c : {Case{false, false, "", ""}, Case{true, false, "", ""},
                          Case{false, true, "Шаг", "Md, Н·м; Omega, рад/с"},
                          Case{true, true, "t, с", "Md, Н·м; Omega, рад/с"}}) {
        const AxisUnits units{c.seconds, c.titles, kDefaultDt};
        EXPECT_EQ(XAxisTitle(units), c.x) << c.seconds << c.titles;
        EXPECT_EQ(YAxisTitle(units), c.y) << c.seconds << c.titles;
    }
    EXPECT_EQ(AxisUnits{}, (AxisUnits{false, false, kDefaultDt})) << "off by default, at the model's step size";
}

TEST(AxisUnits, AStepsTimeAtTheDefaultStepSizeIsTheDecimalTime)
{
    for (const StepTime& time : kStepTimes) {
        EXPECT_EQ(TimeOfStep(time.step, kDefaultDt), Parsed(time.seconds)) << time.step;
        EXPECT_EQ(toolkit::FloatToStr(TimeOfStep(time.step, kDefaultDt)), time.seconds) << time.step;
        EXPECT_EQ(StepOfTime(Parsed(time.seconds), kDefaultDt), time.step) << time.seconds;
    }
}

TEST(FlagCentre, AFlagStaysOverItsLineOrAgainstTheNearerEdgeOfTheArea)
{
    struct Case {
        double line;
        double width;
        double centre;
    };
    // An area from 50 to 450.
    for (const Case& c : {Case{50, 20, 60}, Case{55, 20, 60}, Case{60, 20, 60}, Case{200, 20, 200},
                          Case{440, 20, 440}, Case{450, 20, 440}, Case{-1000, 20, 60}, Case{5000, 20, 440},
                          Case{100, 400, 250}, Case{100, 500, 250}}) {
        const double centre = FlagCentre(c.line, c.width, 50, 450);
        EXPECT_EQ(centre, c.centre) << "line " << c.line << ", width " << c.width;
        if (c.width <= 400) {
            EXPECT_GE(centre - c.width / 2, 50) << c.line;
            EXPECT_LE(centre + c.width / 2, 450) << c.line;
        }
    }
}

TEST(CsvTable, GivenTheStepSizeATimeColumnFollowsTheStepsInEitherStyle)
{
    ChartTraces traces = MakeTraces();
    for (const StepTime& time : kStepTimes)
        traces[1].AppendPoint(time.step, -time.step, "", clBlack);
    ShownTraces shown;
    shown.Add(traces[1], "Omega");

    std::string plain = "step,t,Omega\n";
    std::string russian = "step;t;Omega\n";
    for (const StepTime& time : kStepTimes) {
        const std::string step = toolkit::FloatToStr(time.step);
        plain += step + ',' + time.seconds + ",-" + step + '\n';
        std::string seconds = time.seconds;
        std::replace(seconds.begin(), seconds.end(), '.', ',');
        russian += step + ';' + seconds + ";-" + step + '\n';
    }
    EXPECT_EQ(CsvTable(shown, {0}, kPlainCsv, kDefaultDt), plain);
    EXPECT_EQ(CsvTable(shown, {0}, kRussianCsv, kDefaultDt), russian);
    EXPECT_EQ(CsvTable(shown, {0}, kPlainCsv), CsvTable(shown)) << "no time column unless asked";

    // At another step size the column holds each step's time as the chart
    // reads it.
    const std::string halves = CsvTable(shown, {0}, kPlainCsv, 0.5);
    EXPECT_NE(halves.find("\n349,174.5,-349\n"), std::string::npos) << halves;
    EXPECT_NE(halves.find("\n1999,999.5,-1999\n"), std::string::npos) << halves;
}

} // namespace
