#include "MainWindowFixture.h"
#include "ui/ParametersWindow.h"

#include <QApplication>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

TEST_F(MainWindow, StartsEmptyWithItsCaptionsAndAHiddenAlert)
{
    EXPECT_EQ(form1_->windowTitle(), QStringLiteral("модель асинхронного двигателя"));
    EXPECT_EQ(Text("Label1"), QString());
    EXPECT_EQ(Text("Label2"), QString());
    EXPECT_EQ(Control<QLineEdit>("Edit1")->text(), QString());
    EXPECT_EQ(Progress(), 0);
    for (int n = 1; n <= 6; ++n)
        EXPECT_EQ(ChartPoints(n), 0) << "Series" << n;
    EXPECT_EQ(Chart()->TitleText(), QStringLiteral("Графики"));
    EXPECT_FALSE(form1_->windowIcon().isNull());
    EXPECT_FALSE(form2_->isVisible());
    EXPECT_EQ(form2_->windowTitle(), QStringLiteral("Некорректно введенное значение Мс<30"));
    EXPECT_EQ(form2_->frameGeometry(), QRect(324, 226, 409, 114));
}

TEST_F(MainWindow, ControlsSitWhereTheFormPutsThemAndTheChartTakesWhatTheWindowGrows)
{
    struct Placed {
        const char* name;
        QRect rect;
        // 219 and 155 pixels beyond the form.
        QRect grown;
    };
    const std::vector<Placed> layout = {
        {"Chart1", {16, 40, 625, 545}, {16, 40, 844, 700}},
        {"Button1", {664, 40, 161, 49}, {883, 40, 161, 49}},
        {"Button2", {664, 312, 161, 49}, {883, 312, 161, 49}},
        {"Button3", {664, 104, 161, 49}, {883, 104, 161, 49}},
        {"Button4", {664, 248, 161, 49}, {883, 248, 161, 49}},
        {"Button5", {664, 560, 161, 49}, {883, 560, 161, 49}},
        {"Edit1", {664, 208, 73, 25}, {883, 208, 73, 25}},
        {"ProgressBar1", {16, 592, 625, 17}, {16, 747, 844, 17}},
    };
    const std::vector<std::pair<const char*, QPoint>> labels = {
        {"Label3", {664, 376}}, {"StaticText1", {664, 416}}, {"StaticText2", {664, 464}}, {"StaticText3", {664, 176}}};
    // Without a window manager's frame the whole outer size is client area.
    EXPECT_EQ(form1_->frameGeometry(), QRect(68, 67, 881, 645));
    const QSize form = form1_->size();
    EXPECT_EQ(form1_->minimumSize(), form) << "the size it opens at is the smallest";
    // Grown, then back to the form's size, then asked for less than that.
    for (const QSize extra : {QSize(219, 155), QSize(0, 0), QSize(-281, -245)}) {
        form1_->resize(form + extra);
        const bool grown = extra.width() > 0;
        EXPECT_EQ(form1_->size(), grown ? form + extra : form);
        for (const Placed& placed : layout)
            EXPECT_EQ(Control<QWidget>(placed.name)->geometry(), grown ? placed.grown : placed.rect)
                << placed.name << " with " << extra.width() << "x" << extra.height() << " more";
        for (const auto& [label, at] : labels) {
            EXPECT_EQ(Control<QLabel>(label)->pos(), at + QPoint(grown ? 219 : 0, 0)) << label;
            EXPECT_LE(Control<QLabel>(label)->sizeHint().width(), Control<QLabel>(label)->width()) << label;
        }
    }
}

TEST_F(MainWindow, TabOrderRunsFromTheChartThroughTheButtonsToTheLoadBox)
{
    // The controls of the form that take the focus by Tab, in chain order.
    std::vector<std::string> order;
    QWidget* widget = Chart();
    do {
        if (widget->parentWidget() == form1_.get() && (widget->focusPolicy() & Qt::TabFocus))
            order.push_back(widget->objectName().toStdString());
        widget = widget->nextInFocusChain();
    } while (widget != Chart());
    EXPECT_EQ(order, (std::vector<std::string>{"Chart1", "Button1", "Button2", "Button3", "Button4", "Button5", "Edit1"}));
}

TEST_F(MainWindow, StepResponseShowsItsTwoLinesAndExactMaxima)
{
    RunStepResponse("10");
    EXPECT_EQ(ChartPoints(5), 2000);
    EXPECT_EQ(ChartPoints(6), 2000);
    EXPECT_EQ(Text("Label1"), QString::fromLatin1(StepMaximaOf("10").md));
    EXPECT_EQ(Text("Label2"), QString::fromLatin1(StepMaximaOf("10").omega));
    EXPECT_EQ(Progress(), 100);
    const TracePoint& last = form1_->Series(RunKind::Step, Quantity::Omega).Points().back();
    EXPECT_EQ(last.x, 1999);
    EXPECT_EQ(last.y, kStep10Omega);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainWindow, AxesSpanAllTracesAfterEachRun)
{
    for (const char* button : {"Button1", "Button3", "Button4", "Button2"}) {
        if (std::string(button) == "Button4")
            RunStepResponse("-5");
        else
            Click(button);
        double yMin = std::numeric_limits<double>::infinity();
        double yMax = -yMin;
        double xMax = -yMin;
        for (int series = 0; series < kTraceCount; ++series)
            for (const TracePoint& point : SeriesAt(static_cast<std::size_t>(series)).Points()) {
                yMin = std::min(yMin, point.y);
                yMax = std::max(yMax, point.y);
                xMax = std::max(xMax, point.x);
            }
        if (xMax < 0) {
            EXPECT_EQ(Chart()->ShownRanges(), kEmptyChartRanges) << "after " << button;
            continue;
        }
        EXPECT_EQ(Chart()->ShownRanges(), (AxisRanges{{0, 1999}, {yMin, yMax}})) << "after " << button;
    }
}

TEST_F(MainWindow, RandomRunsLeaveBothPairsAndClearingKeepsLabelsAndProgress)
{
    RunStepResponse("15");
    Click("Button1");
    Click("Button3");
    for (int n = 1; n <= 6; ++n)
        EXPECT_EQ(ChartPoints(n), 2000) << "Series" << n;

    Click("Button2");
    for (int n = 1; n <= 6; ++n) {
        EXPECT_EQ(ChartPoints(n), 0) << "Series" << n;
        EXPECT_TRUE(SeriesAt(static_cast<std::size_t>(n - 1)).Points().empty()) << "Series" << n;
    }
    EXPECT_EQ(Text("Label1"), QString::fromLatin1(StepMaximaOf("15").md));
    EXPECT_EQ(Text("Label2"), QString::fromLatin1(StepMaximaOf("15").omega));
    EXPECT_EQ(Progress(), 100);
}

TEST_F(MainWindow, TextThatIsNoIntegerIsShownAndTheWindowCarriesOn)
{
    Click("Button1");
    RunStepResponse("10");
    RunStepResponse("");
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], "'' is not a valid integer value");
    EXPECT_EQ(ChartPoints(5), 0);
    EXPECT_EQ(ChartPoints(6), 0);
    EXPECT_EQ(ChartPoints(1), 2000);
    EXPECT_EQ(Progress(), 100);
    EXPECT_EQ(Text("Label1"), QString::fromLatin1(StepMaximaOf("10").md));

    RunStepResponse("10");
    EXPECT_EQ(ChartPoints(5), 2000);
    EXPECT_EQ(errors_.size(), 1u);
}

TEST_F(MainWindow, RefusedLoadShowsOneAlertWindowAndZeroLabels)
{
    RunStepResponse("31");
    EXPECT_TRUE(form2_->isVisible());
    EXPECT_FALSE(form2_->isModal());
    EXPECT_EQ(Text("Label1"), QStringLiteral("0"));
    EXPECT_EQ(Text("Label2"), QStringLiteral("0"));
    EXPECT_EQ(ChartPoints(5), 0);

    RunStepResponse("2147483647");
    const QWidgetList windows = QApplication::topLevelWidgets();
    const auto alerts = std::count_if(windows.begin(), windows.end(),
                                      [](QWidget* w) { return qobject_cast<TForm2*>(w) && w->isVisible(); });
    EXPECT_EQ(alerts, 1);

    // Closing only hides it; a later refusal shows it again.
    EXPECT_TRUE(form2_->close());
    EXPECT_FALSE(form2_->isVisible());
    RunStepResponse("100");
    EXPECT_TRUE(form2_->isVisible());
    EXPECT_TRUE(errors_.empty());

    // The caption names the limit in force.
    Settings settings;
    settings.run.limit = 50;
    form1_->Parameters().ShowSettings(settings);
    RunStepResponse("51");
    EXPECT_EQ(form2_->windowTitle(), QStringLiteral("Некорректно введенное значение Мс<50"));
}

TEST_F(MainWindow, ClosingTheMainWindowEndsTheProgramEvenWithTheAlertOpen)
{
    RunStepResponse("31");
    form2_->close();
    form2_->Show();
    ASSERT_TRUE(form2_->isVisible());
    QTimer::singleShot(0, form1_.get(), [this] { Click("Button5"); });
    EXPECT_EQ(RunEventLoopUntilItEnds(), 0);
    EXPECT_FALSE(form1_->isVisible());
}

TEST_F(MainWindow, ClosingTheAlertAloneDoesNotEndTheProgram)
{
    RunStepResponse("31");
    QTimer::singleShot(0, form2_.get(), [this] { form2_->close(); });
    EXPECT_EQ(RunEventLoopUntilItEndsOrIsIdle(), 1);
    EXPECT_FALSE(form2_->isVisible());
    EXPECT_TRUE(form1_->isVisible());
}

} // namespace
