// The main chart's traces as it shows them: the legend, the tracker, the
// axis labels, its look, and runs that overflow.

#include "ChartWindowFixture.h"

#include "chart/ChartTracker.h"
#include "plot/PlotNavigation.h"
#include "toolkit/Conversions.h"

#include <QImage>
#include <QRegularExpression>

#include <string>

namespace {

TEST_F(ChartWindow, ALegendClickHidesATraceDimsItsEntryAndTheRangesFollow)
{
    RunAll();
    const AxisRanges all = Shown();
    const int omegaStep = 5;
    ClickLegendEntry(omegaStep);
    EXPECT_FALSE(Chart()->View().Traces().IsShown(omegaStep));
    EXPECT_FALSE(Chart()->plottable(omegaStep)->visible());
    ASSERT_FALSE(Chart()->LegendEntryRect(omegaStep).isEmpty()) << "the entry stays to be clicked again";
    EXPECT_LT(Chart()->legend->itemWithPlottable(Chart()->plottable(omegaStep))->textColor().alpha(), 255);
    EXPECT_EQ(Shown(), Chart()->View().Traces().Spanning());
    EXPECT_LT(Shown().y.max, all.y.max) << "only Omega of the step response reaches 157";

    ClickLegendEntry(omegaStep);
    EXPECT_TRUE(Chart()->plottable(omegaStep)->visible());
    EXPECT_EQ(Chart()->legend->itemWithPlottable(Chart()->plottable(omegaStep))->textColor().alpha(), 255);
    EXPECT_EQ(Shown(), all);
}

TEST_F(ChartWindow, TrackerNamesEachShownTraceWithItsRunAtTheNearestStep)
{
    RunStepResponse(QStringLiteral("10"));
    Click("Button1");
    const PlotMapping mapping = Settled();
    const auto& md = form1_->Series(RunKind::Step, Quantity::Md).Points();
    const auto& omega = form1_->Series(RunKind::Step, Quantity::Omega).Points();
    const ChartTracker& tracker = *Tools().tracker;
    auto pointAt = [this](QPointF at) { Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); };

    pointAt({mapping.area.left - 5, mapping.area.top + 5});
    EXPECT_FALSE(tracker.Shown()) << "nothing until the pointer is over the plot";
    pointAt({mapping.PixelAtX(1000.3), mapping.PixelAtY(80)});
    ASSERT_TRUE(tracker.Shown());
    EXPECT_EQ(tracker.Shown()->x, 1000);
    EXPECT_EQ(tracker.Shown()->values.size(), 4u);
    const QString text = tracker.BoxText();
    for (const char* heading : {"Md (Gauss)", "Omega (Gauss)", "Md (Step)", "Omega (Step)"})
        EXPECT_TRUE(text.contains(QLatin1String(heading))) << text.toStdString();
    for (double shown : {md[1000].y, omega[1000].y})
        EXPECT_TRUE(text.contains(QString::fromStdString(toolkit::FloatToStr(shown)))) << text.toStdString();

    ClickLegendEntry(4);
    pointAt({mapping.PixelAtX(1000.3), mapping.PixelAtY(80)});
    ASSERT_TRUE(tracker.Shown());
    EXPECT_EQ(tracker.Shown()->values.size(), 3u) << "hidden traces drop out";
    EXPECT_FALSE(tracker.BoxText().contains(QLatin1String("Md (Step)")));
    QTest::keyClick(Chart(), Qt::Key_Right);
    QCoreApplication::processEvents();
    ASSERT_TRUE(tracker.Shown());
    EXPECT_GT(tracker.Shown()->x, 1000) << "the readout follows the view under a pointer kept still";
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Chart(), &leave);
    EXPECT_FALSE(tracker.Shown());
    EXPECT_EQ(tracker.BoxText(), QString());
}

TEST_F(ChartWindow, StepAxisLabelsOnlyWholeSteps)
{
    RunStepResponse(QStringLiteral("10"));
    for (Range steps : {Range{1975, 1976.5}, Range{1970, 1981}, Range{0, 1999}}) {
        Chart()->View().MoveTo({steps, {0, 160}}, HistoryStep::New);
        Settled();
        const QVector<QString> labels = Chart()->xAxis->tickVectorLabels();
        ASSERT_FALSE(labels.isEmpty());
        for (const QString& label : labels)
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^-?\\d+$")).match(label).hasMatch())
                << label.toStdString() << " on " << steps.min << ".." << steps.max;
    }
}

TEST_F(ChartWindow, PictureKeepsTheWindowsLook)
{
    const PlotMapping empty = Settled();
    EXPECT_EQ(empty.ranges, kEmptyChartRanges) << "an empty chart shows one run's steps";
    EXPECT_EQ(Chart()->toPixmap().toImage().pixelColor(2, 2), QColor(192, 192, 192)) << "a silver background";
    auto* title = qobject_cast<QCPTextElement*>(Chart()->plotLayout()->element(0, 0));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), QStringLiteral("Графики"));
    EXPECT_EQ(title->textColor(), QColor(Qt::blue));
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->textFlags() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_GE(Chart()->legend->outerRect().left(), Chart()->axisRect()->outerRect().right())
        << "the legend is right of the plot, outside it";

    const QColor lineColours[] = {Qt::red, QColor(0, 128, 0), Qt::yellow, Qt::blue, Qt::magenta, QColor(255, 128, 0)};
    ASSERT_EQ(Chart()->legend->itemCount(), 6);
    for (int i = 0; i < 6; ++i) {
        auto* entry = qobject_cast<QCPPlottableLegendItem*>(Chart()->legend->item(i));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->plottable(), Chart()->plottable(i)) << "entries in series order";
        EXPECT_EQ(entry->plottable()->name(), QLatin1String(i % 2 ? "Omega" : "Md"));
        EXPECT_EQ(Chart()->TraceColour(i), lineColours[i]) << "Series" << i + 1;
    }
}

// Step runs that overflow keep points up to about 1e306, beyond what the
// axes can span.
TEST_F(ChartWindow, OverflowingRunsShowASensibleRangeAndLeaveTheOthersReadable)
{
    Click("Button1");
    const AxisRanges gauss = Shown();
    for (const char* load : {"-579", "-1000", "-2147483648"}) {
        RunStepResponse(QString::fromLatin1(load));
        ASSERT_EQ(errors_.size(), 1u) << load;
        errors_.clear();
        ASSERT_GT(ChartPoints(5), 0) << load;
        EXPECT_TRUE(Viewable(Shown())) << load;
        // How long it takes is measured by motormodel-window-bench.
        const QImage picture = Chart()->toPixmap().toImage();
        EXPECT_EQ(picture.pixelColor(2, 2), QColor(192, 192, 192)) << load;

        for (int step : {4, 5})
            Chart()->View().SetTraceShown(step, false);
        EXPECT_EQ(Shown(), gauss) << load << ": hiding the run brings the others back";
        for (int step : {4, 5})
            Chart()->View().SetTraceShown(step, true);
    }
    RunStepResponse(QStringLiteral("10"));
    EXPECT_EQ(Shown(), Chart()->View().Traces().Spanning());
    Click("Button2");
    EXPECT_EQ(Shown(), kEmptyChartRanges);
}

} // namespace
