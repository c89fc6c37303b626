#include "ChartWindowFixture.h"

#include "chart/ChartCursors.h"
#include "chart/ChartTracker.h"
#include "plot/AxisUnits.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <string>

namespace {

const QString kSeconds = QStringLiteral("Время в секундах");
const QString kTitles = QStringLiteral("Подписи осей");

TEST_F(ChartWindow, EachUnitsItemChangesTheViewOnceAndTheAxesAndTrackerFollow)
{
    RunStepResponse(QStringLiteral("10"));
    EXPECT_EQ(Chart()->xAxis->label() + Chart()->yAxis->label(), QString()) << "the default picture has no titles";
    const char* y = "Md, Н·м; Omega, рад/с";
    struct Step {
        const QString& item;
        bool seconds;
        const char* x;
        const char* y;
        const char* tracker;
    };
    for (const Step& step : {Step{kTitles, false, "Шаг", y, "Шаг 349\n"}, Step{kSeconds, true, "t, с", y, "t = 0.35 с\n"},
                             Step{kTitles, true, "", "", "t = 0.35 с\n"}, Step{kSeconds, false, "", "", "Шаг 349\n"}}) {
        QSignalSpy changed(&Chart()->View(), &ChartViewState::Changed);
        Trigger(step.item);
        const std::string name = step.item.toStdString();
        EXPECT_EQ(changed.count(), 1) << name;
        EXPECT_EQ(Item(kSeconds)->isChecked(), step.seconds) << name;
        EXPECT_EQ(Item(kTitles)->isChecked(), *step.x != 0) << name;
        const PlotMapping mapping = Settled();
        EXPECT_EQ(Chart()->xAxis->label(), QString::fromUtf8(step.x)) << name;
        EXPECT_EQ(Chart()->yAxis->label(), QString::fromUtf8(step.y)) << name;
        Mouse(QEvent::MouseMove, {mapping.PixelAtX(349.2), mapping.PixelAtY(80)}, Qt::NoButton, Qt::NoButton);
        EXPECT_TRUE(Tools().tracker->BoxText().startsWith(QString::fromUtf8(step.tracker))) << name;
    }
}

// The library forms ticks as whole multiples of a rounded tick step, which
// carry rounding in their last bits, and labels them with six digits: a
// label reads the tick's time to well within a millionth of a second.
TEST_F(ChartWindow, TicksInSecondsStandAtTheStepsOfTheirTimes)
{
    RunStepResponse(QStringLiteral("10"));
    Trigger(kSeconds);
    for (double dt : {0.001, 0.002, 0.0005}) {
        Chart()->View().SetSecondsPerStep(dt);
        for (Range steps : {Range{0, 1999}, Range{340, 352}}) {
            Chart()->View().MoveTo({steps, {0, 160}}, HistoryStep::New);
            Settled();
            const QVector<double> ticks = Chart()->xAxis->tickVector();
            ASSERT_GE(ticks.size(), 3) << dt;
            for (qsizetype i = 0; i < ticks.size(); ++i)
                EXPECT_NEAR(Chart()->xAxis->tickVectorLabels()[i].toDouble(), TimeOfStep(ticks[i], dt), 1e-9)
                    << "dt " << dt << ", tick at step " << ticks[i];
        }
    }
    QTemporaryDir dir;
    Tools().menu->Exporter().SaveCsv(dir.filePath(QStringLiteral("t.csv")));
    QFile csv(dir.filePath(QStringLiteral("t.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readLine(), "step,t,Md (Step),Omega (Step)\n") << "the export carries the times";
}

TEST_F(ChartWindow, CursorFlagsStayInsideThePlotAtEveryStep)
{
    RunStepResponse(QStringLiteral("10"));
    ChartCursors& cursors = *Tools().cursors;
    cursors.SetShown(true);
    for (bool titles : {false, true}) {
        Chart()->View().SetAxisTitles(titles);
        for (double step : {0.0, 1.0, 1998.0, 1999.0, 1000.0}) {
            cursors.MoveTo(0, step);
            cursors.MoveTo(1, 1999 - step);
            Settled();
            for (int cursor : {0, 1})
                EXPECT_TRUE(QRectF(Chart()->axisRect()->rect()).contains(cursors.FlagRect(cursor)))
                    << "titles " << titles << ", cursor " << cursor << ", A at step " << step;
        }
        // Halves of the flag's width either side, as the library adds them.
        EXPECT_NEAR(cursors.FlagRect(0).center().x(), Settled().PixelAtX(1000), 1e-9) << "over a line in the middle";
    }
}

} // namespace
