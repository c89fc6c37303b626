// The chart at the largest runs allowed: three runs of a million steps,
// six lines of a million points. Times a full replot, and a wheel turn over
// the plot, which the library zooms and replots at once. Offscreen unless a
// platform is asked for.

#include "chart/TraceChart.h"
#include "experiments/Settings.h"
#include "ui/Application.h"
#include "ui/ParametersWindow.h"
#include "ui/Unit1.h"

#include <benchmark/benchmark.h>

#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>

#include <cstdlib>

namespace {

TraceChart& ChartOfThreeLongRuns()
{
    static TForm1* const window = [] {
        auto* form = new TForm1;
        Settings settings;
        settings.run.steps = 1'000'000;
        form->Parameters().ShowSettings(settings);
        form->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("10"));
        for (const char* button : {"Button1", "Button3", "Button4"})
            form->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        form->show();
        return form;
    }();
    return *window->findChild<TraceChart*>(QStringLiteral("Chart1"));
}

void BM_ReplotThreeMillionStepRuns(benchmark::State& state)
{
    TraceChart& chart = ChartOfThreeLongRuns();
    for (auto _ : state)
        chart.replot();
}
BENCHMARK(BM_ReplotThreeMillionStepRuns)->Unit(benchmark::kMillisecond);

void BM_WheelTurnOverThreeMillionStepRuns(benchmark::State& state)
{
    TraceChart& chart = ChartOfThreeLongRuns();
    const QPointF at = chart.rect().center();
    int angle = 120;
    for (auto _ : state) {
        QWheelEvent turn(at, chart.mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(&chart, &turn);
        // In and out by turns, so the view stays about the whole run.
        angle = -angle;
    }
}
BENCHMARK(BM_WheelTurnOverThreeMillionStepRuns)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char* argv[])
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    TApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
