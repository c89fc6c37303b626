#include "ChartWindowFixture.h"

#include "analysis/StepCharacteristics.h"
#include "chart/ChartPins.h"
#include "chart/LegendPlace.h"
#include "chart/MechanicalChart.h"
#include "experiments/ExperimentFile.h"
#include "experiments/Experiments.h"
#include "experiments/Family.h"
#include "toolkit/Conversions.h"
#include "ui/FamilyWindow.h"
#include "ui/ParametersWindow.h"
#include "ui/MeasurementTables.h"
#include "ui/MeasurementsWindow.h"
#include "ui/MechanicalWindow.h"

#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QTableWidget>
#include <QToolBar>
#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

class Family : public ChartWindow {
protected:
    const ChartPins& Pins() const { return *Tools().pins; }

    // The family as the user asks for it in its window.
    void Build(const FamilyChoice& request)
    {
        form1_->Family().SetRequest(request);
        QTest::mouseClick(form1_->Family().findChild<QPushButton*>(QStringLiteral("BuildButton")), Qt::LeftButton);
        WaitForWork();
    }

    std::vector<std::string> PinNames() const
    {
        std::vector<std::string> names;
        for (const PinnedTrace& pin : Pins().Pinned())
            names.push_back(pin.trace.Title());
        return names;
    }

    QTableWidget& PinsTable() const
    {
        return *form1_->Measurements().findChild<QTableWidget*>(QStringLiteral("PinsTable"));
    }

    // The table's column as its cells copy.
    QStringList Column(int column) const
    {
        QStringList cells;
        for (int row = 0; row < PinsTable().rowCount(); ++row)
            cells << PinsTable().item(row, column)->data(Qt::UserRole).toString();
        return cells;
    }
};

// What a plain step response makes with a load and settings.
RunResult PlainStepResponse(const std::string& load, const Settings& settings = {})
{
    return RunExperiment({RunKind::Step, settings, load, {}});
}

bool SameBits(const Trace& a, const Trace& b)
{
    return std::equal(a.Points().begin(), a.Points().end(), b.Points().begin(), b.Points().end(),
                      [](const TracePoint& p, const TracePoint& q) {
                          return Bits(p.x) == Bits(q.x) && Bits(p.y) == Bits(q.y);
                      });
}

TEST_F(Family, OpensFromTheChartMenuAndTheToolBar)
{
    FamilyWindow& window = form1_->Family();
    EXPECT_FALSE(window.isVisible());
    Trigger(QStringLiteral("Семейство кривых…"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Семейство кривых"));
    window.hide();
    auto* bar = Control<QToolBar>("ToolBar1");
    QTest::mouseClick(bar->widgetForAction(form1_->findChild<QAction*>(QStringLiteral("ActionFamily"))), Qt::LeftButton);
    EXPECT_TRUE(window.isVisible());
    // The load first, then every setting by name.
    const auto* settings = window.findChild<QComboBox*>(QStringLiteral("SettingBox"));
    ASSERT_EQ(settings->count(), static_cast<int>(SettingNames().size()));
    EXPECT_EQ(settings->itemText(0), QStringLiteral("step.load"));
    const FamilyChoice asked = window.Request();
    EXPECT_EQ(asked.setting, "step.load");
    EXPECT_EQ(asked.values, "0, 10, 20, 30");
    EXPECT_EQ(asked.kind, RunKind::Step);
}

struct FamilyCase {
    FamilyChoice request;
    const char* typedLoad;
    std::vector<std::string> pins;
    // The plain runs each member's traces are, bit for bit, as load and a
    // setting's text.
    std::vector<std::pair<std::string, std::string>> plain;
};

class FamilyRuns : public Family, public testing::WithParamInterface<FamilyCase> {};

// Each member is pinned named by its value, in value order, along the
// family's ramp, dashed, and is the plain run with its setting to the last
// bit; the live traces, the labels and the window's model stay as they were.
TEST_P(FamilyRuns, PinEachValueAsItsPlainRunAndLeaveTheLiveRunAlone)
{
    const FamilyCase& c = GetParam();
    RunStepResponse(QString::fromLatin1(c.typedLoad));
    const Trace liveOmega = form1_->Series(RunKind::Step, Quantity::Omega);
    const QString label1 = Text("Label1");
    const QString label2 = Text("Label2");
    const Extended modelOmega = form1_->Model().Omega;

    Build(c.request);
    EXPECT_TRUE(errors_.empty()) << errors_.front();
    EXPECT_EQ(PinNames(), c.pins);
    EXPECT_TRUE(SameBits(form1_->Series(RunKind::Step, Quantity::Omega), liveOmega)) << "the live Omega is untouched";
    EXPECT_EQ(Text("Label1"), label1);
    EXPECT_EQ(Text("Label2"), label2);
    EXPECT_TRUE(form1_->Model().Omega == modelOmega) << "the window's model is where its run left it";

    ASSERT_EQ(Pins().Pinned().size(), 2 * c.plain.size());
    auto pin = Pins().Pinned().begin();
    for (std::size_t i = 0; i < c.plain.size(); ++i) {
        Settings settings;
        if (c.request.setting != "step.load")
            SetSettingText(settings, c.request.setting, c.plain[i].second);
        const RunResult plain = PlainStepResponse(c.plain[i].first, settings);
        for (Quantity quantity : kQuantities) {
            EXPECT_EQ(pin->of.quantity, quantity);
            EXPECT_TRUE(SameBits(pin->trace, plain.Of(quantity))) << pin->trace.Title();
            EXPECT_EQ(pin->trace.LineColour(), FamilyColour(i, c.plain.size())) << pin->trace.Title();
            EXPECT_EQ(pin->origin.family->index, i);
            EXPECT_EQ(pin->origin.schedule, StepLoadSchedule(settings));
            const int index = Chart()->View().Traces().IndexOf(pin->trace).value();
            EXPECT_EQ(Chart()->plottable(index)->pen().style(), Qt::DashLine);
            ++pin;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sweeps, FamilyRuns,
    testing::Values(
        FamilyCase{{"step.load", "0:30:10", RunKind::Step},
                   "5",
                   {"Md (Mc=0)", "Omega (Mc=0)", "Md (Mc=10)", "Omega (Mc=10)", "Md (Mc=20)", "Omega (Mc=20)",
                    "Md (Mc=30)", "Omega (Mc=30)"},
                   {{"0", ""}, {"10", ""}, {"20", ""}, {"30", ""}}},
        FamilyCase{{"model.J", "0.0344, 0.0172", RunKind::Step},
                   "10",
                   {"Md (J=0.0344)", "Omega (J=0.0344)", "Md (J=0.0172)", "Omega (J=0.0172)"},
                   {{"10", "0.0344"}, {"10", "0.0172"}}}));

// Values left out are listed in one message with why, once the others are
// pinned, and the alert never opens.
TEST_F(Family, ValuesLeftOutAreListedInOneMessage)
{
    Build({"step.load", "10, 40, x, 20, 50", RunKind::Step});
    EXPECT_EQ(PinNames(), (std::vector<std::string>{"Md (Mc=10)", "Omega (Mc=10)", "Md (Mc=20)", "Omega (Mc=20)"}));
    ASSERT_EQ(errors_.size(), 1u);
    const std::string refused = form2_->windowTitle().toStdString();
    ASSERT_EQ(refused, "Некорректно введенное значение Мс<30");
    EXPECT_EQ(errors_[0], "Эти значения не построены:\nMc=40: " + refused + "\nMc=x: step.load: нужно целое число "
                          "от -2147483648 до 2147483647, а не \"x\"\nMc=50: " + refused);
    EXPECT_FALSE(form2_->isVisible()) << "no alert per value";
}

TEST_F(Family, MoreValuesThanPinsForThemAreRefusedWhole)
{
    const std::size_t most = ChartPins::kMostKept / 2;
    Build({"step.load", "0:" + std::to_string(most) + ":1", RunKind::Step});
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_NE(errors_[0].find("не больше " + std::to_string(most) + " значений"), std::string::npos) << errors_[0];
    EXPECT_TRUE(Pins().Pinned().empty());
    errors_.clear();
    Build({"step.load", "0:" + std::to_string(most - 1) + ":1", RunKind::Step});
    EXPECT_TRUE(errors_.empty());
    EXPECT_EQ(Pins().Pinned().size(), ChartPins::kMostKept);
}

// The mechanical window draws each member's path, named as its pins.
TEST_F(Family, MembersPathsAppearInTheMechanicalWindow)
{
    Trigger(QStringLiteral("Механическая характеристика"));
    Build({"step.load", "0, 10, 20, 30", RunKind::Step});
    std::vector<std::string> names;
    for (const PlaneCurve& curve : Plane().Curves())
        if (curve.kind == CurveKind::Path)
            names.push_back(curve.name);
    for (const char* load : {"0", "10", "20", "30"})
        EXPECT_EQ(std::count(names.begin(), names.end(), std::string("Omega (Mc=") + load + ")"), 1) << load;
}

// Seven members and three pins of long names, in the characteristic's
// window at its designed size: the legend goes below rather than squeeze the
// plot, and the ticks keep apart.
TEST_F(Family, SevenMembersAndThreeLongNamedPinsLeaveTheCharacteristicsPlotTwoThirdsOfItsChart)
{
    Trigger(QStringLiteral("Механическая характеристика"));
    PinThreeLongNamedRuns();
    Build({"step.load", "0, 5, 10, 15, 20, 25, 30", RunKind::Step});
    MechanicalChart& chart = Plane();
    chart.replot();
    const QRect plot = chart.axisRect()->rect();
    EXPECT_GE(3 * plot.width(), 2 * chart.width() - 3 * 32) << "the plot, its axes' margins aside";
    // Each pair of neighbouring tick labels apart: half of each lies on
    // either side of its tick.
    const QCPAxis& x = *chart.xAxis;
    const QVector<double> ticks = x.tickVector();
    const QVector<QString> labels = x.tickVectorLabels();
    const QFontMetrics metrics(x.tickLabelFont());
    for (qsizetype i = 1; i < ticks.size(); ++i)
        EXPECT_GT(std::abs(x.coordToPixel(ticks[i]) - x.coordToPixel(ticks[i - 1])),
                  (metrics.horizontalAdvance(labels[i - 1]) + metrics.horizontalAdvance(labels[i])) / 2.0)
            << labels[i - 1].toStdString() << " and " << labels[i].toStdString();
    for (QCPAbstractLegendItem* item : LegendItems(*chart.legend))
        EXPECT_TRUE(chart.rect().contains(item->outerRect())) << "every entry on the chart";
}

// A row per pinned step response's trace and segment, a family's value
// first and its rows in value order; the characteristics are those of the
// plain run, and a copy gives the table with its headings.
TEST_F(Family, PinsTableListsEveryPinnedStepResponse)
{
    Trigger(QStringLiteral("Измерения"));
    EXPECT_TRUE(PinsTable().isHidden()) << "nothing pinned yet";
    Build({"step.load", "30, 0", RunKind::Step});
    Click("Button1");
    Trigger(QStringLiteral("Закрепить графики")); // the Gauss run is no step response

    ASSERT_FALSE(PinsTable().isHidden());
    // A load of 0 changes nothing: its run is a run-up alone.
    EXPECT_EQ(Column(0), (QStringList{"Mc=30", "Mc=30", "Mc=30", "Mc=30", "Mc=0", "Mc=0"}));
    EXPECT_EQ(Column(1), (QStringList{"Md (Mc=30)", "Md (Mc=30)", "Omega (Mc=30)", "Omega (Mc=30)", "Md (Mc=0)",
                                      "Omega (Mc=0)"}));
    EXPECT_EQ(Column(2), (QStringList{"наброс", "сброс", "наброс", "сброс", "разгон", "разгон"}));
    const RunResult plain = PlainStepResponse("0");
    const auto rows = analysis::CharacterizeStepTrace(plain.Of(Quantity::Omega), Quantity::Omega, plain.Origin());
    ASSERT_EQ(rows.size(), 1u);
    // The value at the end and the settling steps of Omega's run-up at load
    // 0, as the plain run's characteristics give them.
    auto column = [this](const QString& heading) {
        for (int i = 0; i < PinsTable().columnCount(); ++i)
            if (PinsTable().horizontalHeaderItem(i)->text() == heading)
                return Column(i).mid(5);
        return QStringList();
    };
    auto settling = [](const analysis::CharacteristicsRow& row) {
        return row.values.settlingSteps ? QString::number(*row.values.settlingSteps) : QString();
    };
    EXPECT_EQ(column(QStringLiteral("Значение в конце участка")),
              QStringList{QString::fromStdString(toolkit::FloatToStr(rows[0].values.final))});
    EXPECT_EQ(column(QStringLiteral("Установление в 2 %, шагов")), QStringList{settling(rows[0])});

    PinsTable().selectAll();
    const QStringList lines = SelectionText(PinsTable()).split('\n');
    ASSERT_EQ(lines.size(), 7);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Значение\tГрафик\tУчасток\tНачальное значение\t")));
    EXPECT_EQ(lines[0].count('\t'), PinsTable().columnCount() - 1);
    EXPECT_TRUE(lines[6].startsWith(QStringLiteral("Mc=0\tOmega (Mc=0)\tразгон\t")));

    // It follows a pin taken off and a clear.
    Tools().pins->Remove(6);
    EXPECT_EQ(Column(1).first(2), (QStringList{"Omega (Mc=30)", "Omega (Mc=30)"}));
    Click("Button2");
    EXPECT_TRUE(PinsTable().isHidden());
}

} // namespace
