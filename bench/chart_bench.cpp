// The chart with three long runs: of a million steps, and of ten million,
// the most allowed: six lines of that many points. Times a full replot, and
// a wheel turn over the plot with the replot it asks for. Then the
// mechanical characteristic's window with three runs and twelve pins of the
// default length: a replot, a wheel turn, a legend click and a move of the
// tracker, each with its replot, and a drag step and a replot at a scale
// not seen before, at the default length, at a million steps and at ten
// million. Offscreen unless a platform is asked for.

#include "chart/MechanicalChart.h"
#include "chart/TraceChart.h"
#include "plot/PlaneIndex.h"
#include "experiments/Settings.h"
#include "ui/Application.h"
#include "ui/BackgroundWork.h"
#include "ui/MechanicalWindow.h"
#include "ui/ParametersWindow.h"
#include "ui/Unit1.h"

#include <benchmark/benchmark.h>

#include <QAction>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QWheelEvent>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace {

// Clicks the button and waits for the run it starts on the worker.
void Press(TForm1& form, const char* button)
{
    form.findChild<QPushButton*>(QString::fromLatin1(button))->click();
    while (form.Work().Busy())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TraceChart& ChartOfThreeLongRuns(std::int64_t steps)
{
    static std::map<std::int64_t, TForm1*> windows;
    TForm1*& window = windows[steps];
    if (!window) {
        // The last scene's window goes first: three scenes of ten million
        // steps would not fit in memory together.
        for (auto& [other, form] : windows)
            if (form && form != window)
                delete std::exchange(form, nullptr);
        auto* form = new TForm1;
        Settings settings;
        settings.run.steps = steps;
        form->Parameters().ShowSettings(settings);
        form->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("10"));
        for (const char* button : {"Button1", "Button3", "Button4"})
            Press(*form, button);
        form->show();
        window = form;
    }
    return *window->findChild<TraceChart*>(QStringLiteral("Chart1"));
}

void BM_ReplotThreeLongRuns(benchmark::State& state)
{
    TraceChart& chart = ChartOfThreeLongRuns(state.range(0));
    for (auto _ : state)
        chart.replot();
}
BENCHMARK(BM_ReplotThreeLongRuns)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

// Turns the wheel over the middle of the chart, in and out by turns, so
// the view stays about the whole run, and draws each turn as the event loop
// would next. The two scales are drawn once first: on the mechanical
// characteristic, a scale not seen before has its own benchmark.
void TurnWheel(benchmark::State& state, PlotChart& chart)
{
    const QPointF at = chart.rect().center();
    int angle = 120;
    const auto turn = [&] {
        QWheelEvent wheel(at, chart.mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&chart, &wheel);
        chart.replot();
        angle = -angle;
    };
    turn();
    turn();
    for (auto _ : state)
        turn();
}

void BM_WheelTurnOverThreeLongRuns(benchmark::State& state)
{
    TurnWheel(state, ChartOfThreeLongRuns(state.range(0)));
}
BENCHMARK(BM_WheelTurnOverThreeLongRuns)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);


// The three runs of so many steps, pinned twice over (twelve pins), and
// the three runs again, as the window's measurement sets them up.
MechanicalChart& PlaneOfThreeRunsAndTwelvePins(const benchmark::State& state)
{
    static std::map<std::int64_t, TForm1*> windows;
    TForm1*& window = windows[state.range(0)];
    if (!window) {
        for (auto& [other, form] : windows)
            if (form && form != window)
                delete std::exchange(form, nullptr);
        auto* form = new TForm1;
        Settings settings;
        settings.run.steps = state.range(0);
        form->Parameters().ShowSettings(settings);
        form->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(QStringLiteral("10"));
        const auto runAll = [form] {
            for (const char* button : {"Button1", "Button3", "Button4"})
                Press(*form, button);
        };
        runAll();
        for (int pin = 0; pin < 2; ++pin)
            for (QAction* action : form->Tools().menu->Menu().actions())
                if (action->text() == QStringLiteral("Закрепить графики"))
                    action->trigger();
        runAll();
        form->show();
        form->Mechanical().show();
        window = form;
    }
    return window->Mechanical().Chart();
}

void BM_PlaneReplot(benchmark::State& state)
{
    MechanicalChart& chart = PlaneOfThreeRunsAndTwelvePins(state);
    chart.replot();
    for (auto _ : state)
        chart.replot();
}
BENCHMARK(BM_PlaneReplot)->Unit(benchmark::kMillisecond)->Arg(2000)->Arg(1'000'000)->Arg(10'000'000);

void BM_PlaneWheelTurn(benchmark::State& state)
{
    TurnWheel(state, PlaneOfThreeRunsAndTwelvePins(state));
}
BENCHMARK(BM_PlaneWheelTurn)->Unit(benchmark::kMillisecond)->Arg(2000)->Arg(1'000'000)->Arg(10'000'000);

void BM_PlaneLegendClick(benchmark::State& state)
{
    MechanicalChart& chart = PlaneOfThreeRunsAndTwelvePins(state);
    chart.replot();
    const int last = chart.View().Traces().Count() - 1;
    for (auto _ : state) {
        chart.View().SetTraceShown(last, !chart.View().Traces().IsShown(last));
        chart.replot();
    }
}
BENCHMARK(BM_PlaneLegendClick)->Unit(benchmark::kMillisecond)->Arg(2000)->Arg(1'000'000)->Arg(10'000'000);

void BM_PlaneTrackerMove(benchmark::State& state)
{
    MechanicalChart& chart = PlaneOfThreeRunsAndTwelvePins(state);
    chart.replot();
    QPointF at = chart.rect().center();
    // The first move sorts the points for the tracker, once, long paths
    // on workers.
    QMouseEvent first(QEvent::MouseMove, at, chart.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&chart, &first);
    while (chart.Sorting())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    for (auto _ : state) {
        QMouseEvent move(QEvent::MouseMove, at, chart.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&chart, &move);
        at.setX(at.x() + (static_cast<int>(at.x()) % 2 == 0 ? 3 : -3));
    }
}
BENCHMARK(BM_PlaneTrackerMove)->Unit(benchmark::kMillisecond)->Arg(2000)->Arg(1'000'000)->Arg(10'000'000);

// A step of a drag: the view moved by eight pixels across and four up, and
// back, each drawn.
void BM_PlaneDragStep(benchmark::State& state)
{
    MechanicalChart& chart = PlaneOfThreeRunsAndTwelvePins(state);
    chart.replot();
    const PlotMapping m = chart.Mapping();
    const double across = 8 * m.ranges.x.Span() / m.area.width;
    const double up = 4 * m.ranges.y.Span() / m.area.height;
    double sign = 1;
    for (auto _ : state) {
        const AxisRanges now = chart.View().Ranges();
        chart.View().MoveTo({{now.x.min - sign * across, now.x.max - sign * across},
                             {now.y.min + sign * up, now.y.max + sign * up}},
                            HistoryStep::Continued);
        chart.replot();
        sign = -sign;
    }
}
BENCHMARK(BM_PlaneDragStep)->Unit(benchmark::kMillisecond)->Arg(2000)->Arg(1'000'000)->Arg(10'000'000);

// A zoom to a scale the lines have not been drawn at: each turn zooms in a
// little further, back out after a dozen.
void BM_PlaneReplotAtANewScale(benchmark::State& state)
{
    MechanicalChart& chart = PlaneOfThreeRunsAndTwelvePins(state);
    chart.View().ResetZoom();
    chart.replot();
    const AxisRanges whole = chart.View().Ranges();
    int turn = 0;
    for (auto _ : state) {
        if (++turn % 12 == 0)
            chart.View().ResetZoom();
        else
            chart.View().Zoom((whole.x.min + whole.x.max) / 2, (whole.y.min + whole.y.max) / 2, 0.93, 0.93,
                              HistoryStep::Continued);
        chart.replot();
    }
}
BENCHMARK(BM_PlaneReplotAtANewScale)->Unit(benchmark::kMillisecond)->Arg(2000)->Arg(1'000'000)->Arg(10'000'000);

// Sorting a run's path for the tracker: a settling swing with noise.
void BM_PlaneIndexOfAPath(benchmark::State& state)
{
    const auto steps = static_cast<std::size_t>(state.range(0));
    auto md = std::make_shared<std::vector<double>>(steps);
    auto omega = std::make_shared<std::vector<double>>(steps);
    for (std::size_t i = 0; i < steps; ++i) {
        const double t = static_cast<double>(i) / static_cast<double>(steps);
        const double noise = static_cast<double>((i * 2654435761u) % 1000) / 1000 - 0.5;
        (*md)[i] = 10 + 20 * std::exp(-8 * t) * std::cos(40 * t) + noise;
        (*omega)[i] = 157 * (1 - std::exp(-8 * t)) + noise / 4;
    }
    const PlanePoints path(std::move(md), std::move(omega));
    for (auto _ : state)
        benchmark::DoNotOptimize(PlaneIndex(path));
}
BENCHMARK(BM_PlaneIndexOfAPath)->Unit(benchmark::kMillisecond)->Arg(2000)->Arg(1'000'000)->Arg(10'000'000);

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
