// Nothing the user does is lost without asking: the load typed is the
// experiment's, saving keeps the file's own text, closing asks, and the
// view and the tool windows' places last from one start to the next.

#include "ChartWindowFixture.h"

#include "chart/ChartPins.h"
#include "chart/ChartViewState.h"
#include "experiments/ExperimentFile.h"
#include "ui/FamilyWindow.h"
#include "ui/MeasurementsWindow.h"
#include "ui/ParametersWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>

#include <fstream>
#include <functional>
#include <iterator>
#include <optional>

namespace {

const QString kCaption = QStringLiteral("модель асинхронного двигателя");

constexpr std::string_view kLab = "# Lab 1: the loaded start\n"
                                  "[step]\n"
                                  "load = 15   # N*m\n";
constexpr std::string_view kLabAt10 = "# Lab 1: the loaded start\n"
                                      "[step]\n"
                                      "load = 10   # N*m\n";

// Answers the question the window asks next with the button chosen, and
// keeps its text; asks nothing of a window that asks nothing.
class Answer {
public:
    explicit Answer(std::function<QAbstractButton*(QMessageBox&)> choose)
    {
        QObject::connect(&timer_, &QTimer::timeout, [this, choose = std::move(choose)] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                timer_.stop();
                asked_ = box->text();
                choose(*box)->click();
            }
        });
        timer_.start(10);
    }

    const std::optional<QString>& Asked() const { return asked_; }

private:
    QTimer timer_;
    std::optional<QString> asked_;
};

// The button of the given text.
std::function<QAbstractButton*(QMessageBox&)> Button(const QString& text)
{
    return [text](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons())
            if (button->text() == text)
                return button;
        ADD_FAILURE() << "no button " << text.toStdString();
        return box.escapeButton();
    };
}

class Keeping : public ChartWindow {
protected:
    std::string WriteFile(std::string_view text) const
    {
        std::ofstream(path_, std::ios::binary) << text;
        return path_;
    }

    std::string FileText() const
    {
        std::ifstream file(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }

    void TypeLoad(const QString& load)
    {
        QLineEdit* box = Control<QLineEdit>("Edit1");
        box->clear();
        QTest::keyClicks(box, load);
    }

    QAction& Action(const char* name) const { return *Control<QAction>(name); }

    QLineEdit& LoadField() const
    {
        return *form1_->Parameters().findChild<QLineEdit*>(QStringLiteral("step_load"));
    }

    QTemporaryDir folder_;
    std::string path_ = folder_.filePath(QStringLiteral("lab.toml")).toStdString();
};

TEST_F(Keeping, ALoadTypedOrRunIsTheExperimentsAndEnterRunsIt)
{
    form1_->OpenExperiment(WriteFile(kLab));
    EXPECT_EQ(Control<QLineEdit>("Edit1")->text(), QStringLiteral("15"));
    TypeLoad(QStringLiteral("abc"));
    EXPECT_EQ(LoadField().text(), QStringLiteral("15")) << "a text that is no load leaves the load as it was";
    EXPECT_EQ(form1_->windowTitle(), kCaption + QStringLiteral(" — lab.toml"));
    TypeLoad(QStringLiteral("20"));
    QTest::keyClick(Control<QLineEdit>("Edit1"), Qt::Key_Return);
    EXPECT_EQ(Text("Label1"), QString::fromLatin1(StepMaximaOf("20").md));
    EXPECT_EQ(LoadField().text(), QStringLiteral("20"));
    EXPECT_EQ(form1_->windowTitle(), kCaption + QStringLiteral(" (параметры изменены)"));
}

// What closing finds unsaved, the answer given, and what comes of it.
struct CloseCase {
    const char* what;
    bool fileLoadChanged;
    bool pinned;
    // The pins saved in a session after pinning.
    bool sessionSaved;
    // Empty when nothing should be asked.
    QString answer;
    bool closes;
    std::string_view fileAfter;
};

void PrintTo(const CloseCase& c, std::ostream* out) { *out << c.what; }

class ClosingAsks : public Keeping, public testing::WithParamInterface<CloseCase> {};

TEST_P(ClosingAsks, BeforeLosingChanges)
{
    const CloseCase& c = GetParam();
    form1_->OpenExperiment(WriteFile(kLab));
    if (c.fileLoadChanged)
        TypeLoad(QStringLiteral("10"));
    if (c.pinned) {
        RunStepResponse(QStringLiteral("15"));
        Trigger(QStringLiteral("Закрепить графики"));
    }
    if (c.sessionSaved)
        form1_->WriteSession(folder_.filePath(QStringLiteral("lab.session.toml")).toStdString());
    const Answer answer(Button(c.answer.isEmpty() ? QStringLiteral("Отмена") : c.answer));
    EXPECT_EQ(form1_->close(), c.closes);
    EXPECT_EQ(answer.Asked().has_value(), !c.answer.isEmpty());
    EXPECT_EQ(FileText(), c.fileAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClosingAsks,
    testing::Values(
        CloseCase{"nothing unsaved", false, false, false, {}, true, kLab},
        CloseCase{"a changed load, cancelled", true, false, false, QStringLiteral("Отмена"), false, kLab},
        CloseCase{"a changed load, not saved", true, false, false, QStringLiteral("Не сохранять"), true, kLab},
        CloseCase{"a changed load, saved", true, false, false, QStringLiteral("Сохранить"), true, kLabAt10},
        CloseCase{"pins, cancelled", false, true, false, QStringLiteral("Отмена"), false, kLab},
        CloseCase{"pins, dropped", false, true, false, QStringLiteral("Не сохранять"), true, kLab},
        CloseCase{"pins kept in a session", false, true, true, {}, true, kLab}));

TEST_F(Keeping, OpeningAnotherExperimentOverUnsavedChangesAsksFirst)
{
    form1_->OpenExperiment(WriteFile(kLab));
    TypeLoad(QStringLiteral("10"));
    const Answer answer(Button(QStringLiteral("Отмена")));
    Action("ActionOpen").trigger();
    EXPECT_TRUE(answer.Asked());
    EXPECT_EQ(LoadField().text(), QStringLiteral("10")) << "cancelled, the experiment stays";
}

// A machine that came with the program opens as any experiment file does.
TEST_F(Keeping, OpeningAMachineOverUnsavedChangesAsksFirst)
{
    form1_->OpenExperiment(WriteFile(kLab));
    TypeLoad(QStringLiteral("10"));
    const Answer answer(Button(QStringLiteral("Отмена")));
    Tools().menu->Menu().findChild<QMenu*>(QStringLiteral("MachinesMenu"))->actions().front()->trigger();
    EXPECT_TRUE(answer.Asked());
    EXPECT_EQ(LoadField().text(), QStringLiteral("10")) << "cancelled, the experiment stays";
}

// A file that sets a value through an inline table is rewritten whole only
// when the user agrees.
TEST_F(Keeping, AFileThatCannotBeEditedInPlaceIsRewrittenOnlyWhenAllowed)
{
    constexpr std::string_view kInline = "step = { load = 15 } # inline\n";
    for (const QMessageBox::StandardButton choice : {QMessageBox::No, QMessageBox::Yes}) {
        SCOPED_TRACE(choice == QMessageBox::Yes ? "rewrite" : "keep");
        form1_->OpenExperiment(WriteFile(kInline));
        TypeLoad(QStringLiteral("10"));
        const Answer answer([choice](QMessageBox& box) { return box.button(choice); });
        Action("ActionSave").trigger();
        EXPECT_TRUE(answer.Asked());
        EXPECT_EQ(FileText(), choice == QMessageBox::Yes ? ExperimentFile::Text(form1_->SettingsInForce())
                                                         : std::string(kInline));
    }
}

TEST_F(Keeping, EscapeClosesTheToolWindowsAndTheAlert)
{
    QWidget* windows[] = {&form1_->Parameters(), &form1_->Measurements(), &form1_->Mechanical(), &form1_->Family(),
                          form2_.get()};
    for (QWidget* window : windows) {
        SCOPED_TRACE(window->objectName().toStdString());
        window->show();
        // Offscreen, a tool window asking to be active is not made so. The
        // key goes where the focus is, as a real key does.
        QApplication::setActiveWindow(window);
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : window, Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
    }
}

TEST_F(Keeping, AToolWindowComesBackWhereItStoodAndTheViewAsItWas)
{
    ChartViewState& view = Chart()->View();
    view.SetTimeInSeconds(true);
    view.SetAxisTitles(true);
    Action("ActionParameters").trigger();
    form1_->Parameters().showMinimized();
    Action("ActionParameters").trigger();
    EXPECT_FALSE(form1_->Parameters().isMinimized()) << "its entry brings it back";
    const QPoint place = form1_->Parameters().pos() + QPoint(17, 23);
    form1_->Parameters().move(place);
    ASSERT_TRUE(form1_->close());

    form1_ = std::make_unique<TForm1>();
    Form1 = form1_.get();
    EXPECT_TRUE(Chart()->View().Units().seconds);
    EXPECT_TRUE(Chart()->View().Units().titles);
    Action("ActionParameters").trigger();
    EXPECT_EQ(form1_->Parameters().pos(), place);
}

} // namespace
