// Whatever is typed or clicked, the window carries on and stays right.

#include "MainWindowFixture.h"

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>

#include <random>

namespace {

enum class Outcome { NotAnInteger, Refused, Runs, Overflows };

struct TypedLoad {
    const char* name;
    QString text;
    Outcome outcome;
    qsizetype pointsKept = 0;  // for an overflow
};

void PrintTo(const TypedLoad& load, std::ostream* out) { *out << load.name; }

class TypedIntoTheWindow : public MainWindow, public testing::WithParamInterface<TypedLoad> {};

TEST_P(TypedIntoTheWindow, IsHandledAndTheNextRunIsExact)
{
    const TypedLoad& load = GetParam();
    RunStepResponse("0");
    RunStepResponse(load.text);

    const bool fails = load.outcome == Outcome::NotAnInteger || load.outcome == Outcome::Overflows;
    EXPECT_EQ(errors_.size(), fails ? 1u : 0u);
    EXPECT_EQ(form2_->isVisible(), load.outcome == Outcome::Refused);
    switch (load.outcome) {
    case Outcome::NotAnInteger:
        EXPECT_NE(errors_.at(0).find("is not a valid integer value"), std::string::npos) << errors_[0];
        EXPECT_EQ(ChartPoints(5), 0);
        break;
    case Outcome::Overflows:
        EXPECT_EQ(errors_.at(0), "Floating point overflow");
        EXPECT_EQ(ChartPoints(5), load.pointsKept);
        EXPECT_EQ(ChartPoints(6), load.pointsKept);
        break;
    case Outcome::Refused:
        EXPECT_EQ(Text("Label1"), QStringLiteral("0"));
        EXPECT_EQ(ChartPoints(5), 0);
        break;
    case Outcome::Runs:
        EXPECT_EQ(ChartPoints(5), 2000);
        break;
    }
    if (fails) {
        EXPECT_EQ(Text("Label1"), QString::fromLatin1(StepMaximaOf("0").md)) << "labels keep the last result";
        EXPECT_EQ(Text("Label2"), QString::fromLatin1(StepMaximaOf("0").omega));
    }

    RunStepResponse("10");
    EXPECT_EQ(Text("Label1"), QString::fromLatin1(StepMaximaOf("10").md));
    EXPECT_EQ(Text("Label2"), QString::fromLatin1(StepMaximaOf("10").omega));
    EXPECT_EQ(ChartPoints(5), 2000);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TypedIntoTheWindow,
    testing::Values(TypedLoad{"Empty", "", Outcome::NotAnInteger},
                    TypedLoad{"Blanks", "   ", Outcome::NotAnInteger},
                    TypedLoad{"Plus", "+", Outcome::NotAnInteger},
                    TypedLoad{"Minus", "-", Outcome::NotAnInteger},
                    TypedLoad{"DoubleMinus", "--5", Outcome::NotAnInteger},
                    TypedLoad{"Hex", "0x10", Outcome::NotAnInteger},
                    TypedLoad{"Exponent", "1e3", Outcome::NotAnInteger},
                    TypedLoad{"TrailingLetters", "10abc", Outcome::NotAnInteger},
                    TypedLoad{"ArabicIndicDigit", QStringLiteral("\u0663"), Outcome::NotAnInteger},
                    // The box keeps at most 32767 characters: still no integer.
                    TypedLoad{"HundredThousandDigits", QString(100000, '7'), Outcome::NotAnInteger},
                    TypedLoad{"Nul", QString("1") + QChar(0) + "2", Outcome::NotAnInteger},
                    TypedLoad{"LargestInteger", "2147483647", Outcome::Refused},
                    TypedLoad{"BeyondLargestInteger", "2147483648", Outcome::NotAnInteger},
                    TypedLoad{"LastFinite", "-578", Outcome::Runs},
                    TypedLoad{"FirstOverflowing", "-579", Outcome::Overflows, 306},
                    TypedLoad{"FarNegative", "-1000", Outcome::Overflows, 56},
                    TypedLoad{"SmallestInteger", "-2147483648", Outcome::Overflows, 9}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(MainWindow, ErrorWhileTheAlertIsOpenLeavesBothWindowsWorking)
{
    RunStepResponse("31");
    ASSERT_TRUE(form2_->isVisible());
    RunStepResponse("abc");
    EXPECT_EQ(errors_.size(), 1u);
    EXPECT_TRUE(form2_->isVisible());
    RunStepResponse("20");
    EXPECT_EQ(Text("Label1"), QString::fromLatin1(StepMaximaOf("20").md));
}

TEST_F(MainWindow, ClosingTheMainWindowUnderAnErrorMessageEndsTheProgram)
{
    // The real message box this time: it runs a loop of its own.
    Application()->SetExceptionDisplay({});
    Control<QLineEdit>("Edit1")->setText("abc");
    QTimer::singleShot(0, form1_.get(), [this] { Click("Button4"); });
    QTimer::singleShot(200, form1_.get(), [this] {
        EXPECT_NE(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()), nullptr);
        form1_->close();
    });
    EXPECT_EQ(RunEventLoopUntilItEnds(), 0);
}

TEST_F(MainWindow, ClicksQueuedDuringARunAreHandledInTurn)
{
    Control<QLineEdit>("Edit1")->setText("10");
    // As if the user clicked two buttons while a run kept the loop busy.
    for (const char* name : {"Button4", "Button1", "Button4", "Button3"}) {
        QPushButton* button = Control<QPushButton>(name);
        const QPointF centre = QRectF(button->rect()).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(button, new QMouseEvent(type, centre, button->mapToGlobal(centre),
                                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
    }
    QCoreApplication::processEvents();
    for (int n = 1; n <= 6; ++n)
        EXPECT_EQ(ChartPoints(n), 2000) << "Series" << n;
    EXPECT_EQ(Text("Label1"), QString::fromLatin1(StepMaximaOf("10").md));
    EXPECT_TRUE(errors_.empty());
}

// The memory such a session holds is measured by motormodel-window-bench.
TEST_F(MainWindow, SoakOfThousandsOfCommandsKeepsTracesBounded)
{
    const std::vector<QString> loads = {"10", "-5", "30", "31", "abc", "", "-1000", "2147483648", "0"};
    const std::vector<const char*> buttons = {"Button1", "Button2", "Button3", "Button4", "Button4"};
    std::mt19937 choose(20261207);
    constexpr int kCommands = 3000;
    for (int i = 0; i < kCommands; ++i) {
        const char* button = buttons[choose() % buttons.size()];
        if (std::string(button) == "Button4")
            Control<QLineEdit>("Edit1")->setText(loads[choose() % loads.size()]);
        Click(button);
        for (int n = 0; n < kTraceCount; ++n) {
            const Trace& series = SeriesAt(static_cast<std::size_t>(n));
            ASSERT_LE(series.Points().size(), 2000u);
            ASSERT_EQ(ChartPoints(n + 1), static_cast<qsizetype>(series.Points().size()));
        }
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    EXPECT_EQ(std::count_if(windows.begin(), windows.end(), [](QWidget* w) { return qobject_cast<TForm2*>(w); }), 1);
}

} // namespace
