// Long work on a worker: the window shows the same run as when it is made
// within the click, its progress bar moves meanwhile, and a stopped run or
// family changes nothing.

#include "MainWindowFixture.h"

#include "chart/ChartPins.h"
#include "experiments/ExperimentFile.h"
#include "analysis/SignalStatistics.h"
#include "toolkit/Conversions.h"
#include "ui/FamilyWindow.h"
#include "ui/MeasurementsWindow.h"

#include <QAction>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>

namespace {

class Background : public MainWindow {
protected:
    void SetUp() override
    {
        MainWindow::SetUp();
        ASSERT_TRUE(dir_.isValid());
        settings_.run.steps = 4 * TForm1::kStepsInClick;
        const std::string path = dir_.filePath(QStringLiteral("long.toml")).toStdString();
        ExperimentFile::Save(path, settings_);
        form1_->OpenExperiment(path);
    }

    QAction& Stop() const { return *form1_->findChild<QAction*>(QStringLiteral("ActionStop")); }

    QTemporaryDir dir_;
    Settings settings_;
};

TEST_F(Background, ALongRunMovesTheProgressBarAndShowsWhatTheBatchToolMakes)
{
    QSignalSpy progress(Control<QProgressBar>("ProgressBar1"), &QProgressBar::valueChanged);
    RunStepResponse(QStringLiteral("10"));
    EXPECT_TRUE(form1_->Work().Busy());
    EXPECT_TRUE(Stop().isVisible());
    EXPECT_FALSE(Control<QPushButton>("Button1")->isEnabled()) << "one piece of work at a time";
    WaitForWork();

    std::vector<int> positions;
    for (const QList<QVariant>& change : progress)
        positions.push_back(change.front().toInt());
    ASSERT_GE(positions.size(), 3u) << "from 0 the bar moves on at least twice";
    EXPECT_EQ(positions.back(), 100);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end())) << "the bar only moves on";
    EXPECT_FALSE(Stop().isVisible());

    const RunResult plain = RunExperiment({RunKind::Step, settings_, "10", {}});
    EXPECT_EQ(form1_->Series(RunKind::Step, Quantity::Omega).Points().size(), plain.Of(Quantity::Omega).Points().size());
    EXPECT_EQ(form1_->Series(RunKind::Step, Quantity::Omega).Points().back().y, plain.Of(Quantity::Omega).Points().back().y);
    EXPECT_EQ(Text("Label1"), QString::fromStdString(toolkit::FloatToStr(plain.mdMax)));
    EXPECT_EQ(Text("Label2"), QString::fromStdString(toolkit::FloatToStr(plain.omegaMax)));
}

// Escape, or Остановить on the tool bar, stops the run or the family: no
// trace, label, pin or random draw changes, and the bar goes back.
TEST_F(Background, AStoppedRunOrFamilyChangesNothing)
{
    const auto stopWith = [this](bool escape) {
        if (escape)
            QTest::keyClick(form1_.get(), Qt::Key_Escape);
        else
            Stop().trigger();
    };
    for (bool escape : {true, false}) {
        SCOPED_TRACE(escape ? "Escape" : "Остановить");
        Click("Button1");
        stopWith(escape);
        WaitForWork();
        Control<QLineEdit>("Edit1")->setText(QStringLiteral("10"));
        form1_->PinFamily(FamilyChoice{"step.load", "0, 10, 20", RunKind::Step});
        stopWith(escape);
        WaitForWork();
        for (const RunDefinition& run : kRuns)
            for (Quantity quantity : kQuantities)
                EXPECT_TRUE(form1_->Series(run.kind, quantity).Points().empty());
        EXPECT_TRUE(form1_->Tools().pins->Pinned().empty());
        EXPECT_EQ(Text("Label1"), QString());
        EXPECT_EQ(Progress(), 0);
        EXPECT_TRUE(errors_.empty());
    }
    // The Gaussian run stopped twice drew nothing the next one misses: it
    // is the program's first.
    Click("Button1");
    WaitForWork();
    const RunResult first = RunExperiment({RunKind::Gauss, settings_, "", {}});
    EXPECT_EQ(form1_->Series(RunKind::Gauss, Quantity::Md).Points().back().y, first.Of(Quantity::Md).Points().back().y);
}

// Over a long run the statistics come from a worker: the table shows the
// steps measured at once and the numbers when found, as the batch tool
// finds them, for the view shown last however many passed meanwhile; a
// report waits for them.
TEST_F(Background, StatisticsOverALongRunFollowTheViewWithoutHoldingItUp)
{
    RunStepResponse(QStringLiteral("10"));
    WaitForWork();
    MeasurementsWindow& window = form1_->Measurements();
    const auto& table = *window.findChild<QTableWidget*>(QStringLiteral("StatisticsTable"));
    const TracePoints omega = form1_->Series(RunKind::Step, Quantity::Omega).Points();
    // The cells of Omega's row after its steps: their text, or as found for
    // the chart's view.
    const auto shown = [&table] {
        QStringList texts;
        for (int column = 4; column < table.columnCount(); ++column)
            texts << table.item(table.rowCount() - 1, column)->toolTip();
        return texts;
    };
    const auto found = [&] {
        const auto range = analysis::WholeStepsWithin(Chart()->View().Ranges().x);
        const analysis::SignalStatistics s = *analysis::ComputeStatistics(omega, *range);
        QStringList texts;
        for (double value : {s.min, s.max, s.mean, s.rms, s.standardDeviation})
            texts << QString::fromStdString(toolkit::FloatToStr(value));
        texts.insert(1, QString::number(s.minStep));
        texts.insert(3, QString::number(s.maxStep));
        return texts;
    };

    window.show();
    EXPECT_EQ(table.item(table.rowCount() - 1, 4)->text(), QStringLiteral("…")) << "being found";
    EXPECT_EQ(table.item(table.rowCount() - 1, 3)->toolTip(), QString::number(omega.size())) << "whole, not 4e+05";
    QTRY_COMPARE(shown(), found());

    Chart()->setFocus();
    for (Qt::Key key : {Qt::Key_Plus, Qt::Key_Right, Qt::Key_Right})
        QTest::keyClick(Chart(), key);
    QTRY_COMPARE(shown(), found());

    QTest::keyClick(Chart(), Qt::Key_Left);
    const std::vector<ReportTable> report = window.ReportTables();
    ASSERT_FALSE(report.empty());
    const QStringList omegaRow = report.front().rows.back();
    EXPECT_FALSE(omegaRow.contains(QStringLiteral("…")));
    EXPECT_EQ(shown(), found()) << "the table shows what the report took";
}

} // namespace
