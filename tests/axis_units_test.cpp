#include "plot/AxisUnits.h"
#include "plot/CsvTable.h"
#include "plot/ShownTraces.h"
#include "plot/Trace.h"
#include "toolkit/Conversions.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The time column is each step's time as the chart and the measurements
// read it, the decimal time at the default step size, in either style.
TEST(CsvTable, GivenTheStepSizeATimeColumnFollowsTheSteps)
{
    ChartTraces traces = MakeTraces();
    for (const StepTime& time : kStepTimes)
        traces[1].AppendPoint(time.step, 5, "", clBlack);
    ShownTraces shown;
    shown.Add(traces[1], "Omega");
    std::string plain = "step,t,Omega\n";
    for (const StepTime& time : kStepTimes)
        plain += toolkit::FloatToStr(time.step) + ',' + time.seconds + ",5\n";
    EXPECT_EQ(CsvTable(shown, {0}, kPlainCsv, 0.001), plain);
    EXPECT_NE(CsvTable(shown, {0}, kRussianCsv, 0.001).find("\n349;0,349;5\n"), std::string::npos);
    EXPECT_NE(CsvTable(shown, {0}, kPlainCsv, 0.5).find("\n349,174.5,5\n"), std::string::npos);
    EXPECT_EQ(CsvTable(shown, {0}, kPlainCsv), CsvTable(shown)) << "no time column unless asked";
}

} // namespace
