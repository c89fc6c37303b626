#include "ChartWindowFixture.h"

#include "chart/ChartCursors.h"
#include "chart/ChartExporter.h"
#include "chart/ChartTracker.h"
#include "plot/AxisUnits.h"
#include "toolkit/Conversions.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <string>

namespace {

const QString kSeconds = QStringLiteral("Время в секундах");
const QString kTitles = QStringLiteral("Подписи осей");

class AxisUnitsWindow : public ChartWindow {
protected:
    const AxisUnits& Units() const { return Chart()->View().Units(); }
};

TEST_F(AxisUnitsWindow, EachItemChangesTheViewOnceAndTheAxesTitlesFollow)
{
    RunAll();
    EXPECT_FALSE(Item(kSeconds)->isChecked());
    EXPECT_FALSE(Item(kTitles)->isChecked());
    EXPECT_EQ(Chart()->xAxis->label(), QString()) << "the default picture has no titles";
    EXPECT_EQ(Chart()->yAxis->label(), QString());
    struct Step {
        const QString& item;
        bool seconds;
        bool titles;
        const char* x;
        const char* y;
    };
    const char* y = "Md, Н·м; Omega, рад/с";
    for (const Step& step : {Step{kTitles, false, true, "Шаг", y}, Step{kSeconds, true, true, "t, с", y},
                             Step{kTitles, true, false, "", ""}, Step{kSeconds, false, false, "", ""}}) {
        QSignalSpy changed(&Chart()->View(), &ChartViewState::Changed);
        QSignalSpy painted(Chart(), &QCustomPlot::afterReplot);
        Trigger(step.item);
        QCoreApplication::processEvents();
        const std::string name = step.item.toStdString();
        EXPECT_EQ(changed.count(), 1) << name;
        EXPECT_EQ(painted.count(), 1) << name;
        EXPECT_EQ(Units().seconds, step.seconds) << name;
        EXPECT_EQ(Units().titles, step.titles) << name;
        EXPECT_EQ(Item(kSeconds)->isChecked(), step.seconds) << name;
        EXPECT_EQ(Item(kTitles)->isChecked(), step.titles) << name;
        EXPECT_EQ(Chart()->xAxis->label(), QString::fromUtf8(step.x)) << name;
        EXPECT_EQ(Chart()->yAxis->label(), QString::fromUtf8(step.y)) << name;
    }
}

// The library forms ticks as whole multiples of a rounded tick step, which
// carry rounding in their last bits, and labels them with six digits: a
// label reads the tick's time to well within a millionth of a second.
TEST_F(AxisUnitsWindow, TicksInSecondsStandAtTheStepsOfTheirTimes)
{
    RunAll();
    Trigger(kSeconds);
    for (double dt : {0.001, 0.002, 0.0005}) {
        Chart()->View().SetSecondsPerStep(dt);
        for (Range steps : {Range{0, 1999}, Range{340, 352}}) {
            Chart()->View().MoveTo({steps, {0, 160}}, HistoryStep::New);
            Settled();
            const QVector<double> ticks = Chart()->xAxis->tickVector();
            const QVector<QString> labels = Chart()->xAxis->tickVectorLabels();
            ASSERT_GE(ticks.size(), 3) << dt;
            ASSERT_EQ(ticks.size(), labels.size());
            for (qsizetype i = 0; i < ticks.size(); ++i)
                EXPECT_NEAR(labels[i].toDouble(), TimeOfStep(ticks[i], dt), 1e-9)
                    << "dt " << dt << ", tick at step " << ticks[i] << " labelled " << labels[i].toStdString();
        }
    }
    Chart()->View().SetSecondsPerStep(0.001);
    Chart()->View().MoveTo({{0, 1999}, {0, 160}}, HistoryStep::New);
    Settled();
    EXPECT_EQ(Chart()->xAxis->tickVectorLabels().first(), QStringLiteral("0"));
    EXPECT_TRUE(Chart()->xAxis->tickVectorLabels().contains(QStringLiteral("1"))) << "a second at step 1000";
}

TEST_F(AxisUnitsWindow, TheTrackerAndTheCursorsReadTheStepsInSeconds)
{
    RunStepResponse(QStringLiteral("10"));
    Trigger(kSeconds);
    const PlotMapping mapping = Settled();
    Mouse(QEvent::MouseMove, {mapping.PixelAtX(349.2), mapping.PixelAtY(80)}, Qt::NoButton, Qt::NoButton);
    ASSERT_TRUE(Tools().tracker->Shown());
    EXPECT_TRUE(Tools().tracker->BoxText().startsWith(QStringLiteral("t = 0.349 с\n")))
        << Tools().tracker->BoxText().toStdString();
}

TEST_F(AxisUnitsWindow, CursorFlagsStayInsideThePlotAtEveryStep)
{
    RunAll();
    ChartCursors& cursors = *Tools().cursors;
    cursors.SetShown(true);
    for (bool titles : {false, true}) {
        Chart()->View().SetAxisTitles(titles);
        for (double step : {0.0, 1.0, 1000.0, 1998.0, 1999.0}) {
            cursors.MoveTo(0, step);
            cursors.MoveTo(1, 1999 - step);
            Settled();
            const QRectF area = Chart()->axisRect()->rect();
            for (int cursor : {0, 1}) {
                const QRectF flag = cursors.FlagRect(cursor);
                EXPECT_TRUE(area.contains(flag)) << "titles " << titles << ", cursor " << cursor << " at step "
                                                 << (cursor ? 1999 - step : step) << ": flag " << flag.left()
                                                 << ".." << flag.right() << " in " << area.left() << ".."
                                                 << area.right();
            }
        }
        cursors.MoveTo(0, 1000);
        const double middle = Settled().PixelAtX(1000);
        // Halves of the flag's width either side, as the library adds them.
        EXPECT_NEAR(cursors.FlagRect(0).center().x(), middle, 1e-9) << "centred over a line in the middle";
    }
}

TEST_F(AxisUnitsWindow, CsvGainsTheTimesWhileTheChartReadsSeconds)
{
    RunStepResponse(QStringLiteral("10"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.csv"));
    const ChartExporter& exporter = Tools().menu->Exporter();
    exporter.SaveCsv(path);
    auto contents = [&path] {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    };
    EXPECT_TRUE(contents().startsWith("step,Md (Step),Omega (Step)\n0,")) << "none while off";
    Trigger(kSeconds);
    exporter.SaveCsv(path);
    const QList<QByteArray> rows = contents().split('\n');
    EXPECT_EQ(rows[0], "step,t,Md (Step),Omega (Step)");
    for (const StepTime& time : kStepTimes) {
        const QList<QByteArray> cells = rows[static_cast<qsizetype>(time.step) + 1].split(',');
        EXPECT_EQ(cells[0].toStdString(), toolkit::FloatToStr(time.step));
        EXPECT_EQ(cells[1].toStdString(), time.seconds);
    }
}

} // namespace
