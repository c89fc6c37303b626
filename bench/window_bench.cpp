// Benchmarks of the window, headless as the window tests are: drawing the
// chart of a run that overflowed, and the memory a long session of commands
// holds. What the tests once asserted about time and memory is measured here.

#include "chart/TraceChart.h"
#include "experiments/ExperimentFile.h"
#include "ui/Application.h"
#include "ui/BackgroundWork.h"
#include "ui/FamilyWindow.h"
#include "ui/Unit1.h"
#include "ui/Unit2.h"

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

// The program's two windows, shown, with errors passed over instead of
// shown in a message box that would wait for a click.
class Windows {
public:
    Windows() : form1_(std::make_unique<TForm1>()), form2_(std::make_unique<TForm2>())
    {
        Form1 = form1_.get();
        Form2 = form2_.get();
        Application()->SetExceptionDisplay([](const std::string&) {});
        form1_->show();
    }
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;
    ~Windows()
    {
        Application()->SetExceptionDisplay({});
        Form1 = nullptr;
        Form2 = nullptr;
    }

    void Click(const char* button) const
    {
        QTest::mouseClick(form1_->findChild<QPushButton*>(QString::fromLatin1(button)), Qt::LeftButton);
    }
    void RunStepResponse(const QString& load) const
    {
        form1_->findChild<QLineEdit*>(QStringLiteral("Edit1"))->setText(load);
        Click("Button4");
    }
    TraceChart& Chart() const { return *form1_->findChild<TraceChart*>(QStringLiteral("Chart1")); }
    TForm1& Form() const { return *form1_; }

    void WaitForWork() const
    {
        while (form1_->Work().Busy())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }

private:
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
};

// Resident set size of this process in kilobytes.
double ResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string field;
    while (status >> field)
        if (field == "VmRSS:") {
            double kilobytes = 0;
            status >> kilobytes;
            return kilobytes;
        }
    return -1;
}

// A step run that overflows keeps points up to about 1e306, beyond what the
// axes span: its picture must still be drawn at once.
void BM_PictureOfAnOverflowedRun(benchmark::State& state)
{
    const Windows windows;
    windows.Click("Button1");
    windows.RunStepResponse(QStringLiteral("-1000"));
    for (auto _ : state)
        benchmark::DoNotOptimize(windows.Chart().toPixmap().toImage());
}
BENCHMARK(BM_PictureOfAnOverflowedRun)->Unit(benchmark::kMillisecond);

// Thousands of commands in a random order, every trace full after the
// first few hundred: the memory held after them, less that held then,
// should stay near zero.
void BM_SoakOfCommands(benchmark::State& state)
{
    const std::vector<QString> loads = {"10", "-5", "30", "31", "abc", "", "-1000", "2147483648", "0"};
    const std::vector<const char*> buttons = {"Button1", "Button2", "Button3", "Button4", "Button4"};
    constexpr int kCommands = 3000;
    constexpr int kWarmUp = 300;
    for (auto _ : state) {
        const Windows windows;
        std::mt19937 choose(20261207);
        double warm = 0;
        for (int i = 0; i < kCommands; ++i) {
            const char* button = buttons[choose() % buttons.size()];
            if (std::string(button) == "Button4")
                windows.RunStepResponse(loads[choose() % loads.size()]);
            else
                windows.Click(button);
            if (i == kWarmUp)
                warm = ResidentKilobytes();
        }
        state.counters["growth_kB"] = ResidentKilobytes() - warm;
    }
}
BENCHMARK(BM_SoakOfCommands)->Unit(benchmark::kMillisecond)->Iterations(1);

// A family of 8 step responses of a million steps made on the workers
// while the wheel turns over the chart of a run as long: the time each
// turn takes to be handled and drawn on the window's thread, largest and
// middle, and the family's time.
void BM_WheelWhileAFamilyRuns(benchmark::State& state)
{
    const QTemporaryDir dir;
    Settings settings;
    settings.run.steps = 1'000'000;
    const std::string path = dir.filePath(QStringLiteral("long.toml")).toStdString();
    ExperimentFile::Save(path, settings);
    for (auto _ : state) {
        const Windows windows;
        windows.Form().OpenExperiment(path);
        windows.RunStepResponse(QStringLiteral("10"));
        windows.WaitForWork();
        QElapsedTimer family;
        family.start();
        windows.Form().PinFamily(FamilyChoice{"step.load", "0:28:4", RunKind::Step});
        std::vector<double> turns;
        TraceChart& chart = windows.Chart();
        const QPointF middle = QRectF(chart.rect()).center();
        for (int turn = 0; windows.Form().Work().Busy(); ++turn) {
            QElapsedTimer handled;
            handled.start();
            QWheelEvent wheel(middle, chart.mapToGlobal(middle), QPoint(), QPoint(0, turn % 2 ? 120 : -120),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&chart, &wheel);
            chart.repaint();
            turns.push_back(static_cast<double>(handled.nsecsElapsed()) / 1e6);
            QCoreApplication::processEvents();
            QThread::msleep(30);
        }
        state.counters["family_ms"] = static_cast<double>(family.elapsed());
        std::sort(turns.begin(), turns.end());
        state.counters["wheel_turns"] = static_cast<double>(turns.size());
        state.counters["wheel_median_ms"] = turns.empty() ? 0 : turns[turns.size() / 2];
        state.counters["wheel_max_ms"] = turns.empty() ? 0 : turns.back();
    }
}
BENCHMARK(BM_WheelWhileAFamilyRuns)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char* argv[])
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_FONT_DPI", "96", 1);
    TApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
