// The window from the keyboard: its keys in every tool window, on its own,
// docked and floated, F1's manual, the chart's menu and its focus mark.

#include "ChartWindowFixture.h"

#include "chart/ChartMenu.h"
#include "chart/FocusMark.h"
#include "ui/FamilyWindow.h"
#include "ui/ManualWindow.h"
#include "ui/MeasurementsWindow.h"
#include "ui/MechanicalWindow.h"
#include "ui/ParametersWindow.h"
#include "ui/ToolDocks.h"
#include "ui/ToolWindows.h"

#include <QAction>
#include <QDialog>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>
#include <QUrl>

#include <string>
#include <utility>
#include <vector>

namespace {

// Where a tool window stands as a key is pressed in it.
enum class Standing { OnItsOwn, Docked, Floated };

class Keyboard : public ChartWindow {
protected:
    // The key where the focus of the window is, the window made active as
    // a real window manager would.
    static void Press(QWidget& window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QApplication::setActiveWindow(&window);
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus && focus->window() == window.window() ? focus : &window, static_cast<Qt::Key>(key),
                        modifiers);
    }

    FocusMark& Mark() const { return *Chart()->findChild<FocusMark*>(); }

    void PressTheWindowsKeys(std::initializer_list<Standing> standings);
};

// Closes whatever dialog the window opens, as a user who changes their mind
// would, and tells the window it belonged to.
class DialogCloser {
public:
    DialogCloser()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                owner_ = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
                dialog->reject();
            }
        });
        timer_.start(10);
    }

    // The window the last dialog belonged to, forgotten as it is told.
    QWidget* Owner() { return std::exchange(owner_, nullptr); }

private:
    QTimer timer_;
    QWidget* owner_ = nullptr;
};

// Presses each of the window's keys in each tool window standing as told,
// and checks what it did. A tool window stands on its own where the
// platform places windows and docked (or floated) where it does not, never
// both in one run of the program.
void Keyboard::PressTheWindowsKeys(std::initializer_list<Standing> standings)
{
    struct Key {
        const char* what;
        int key;
        Qt::KeyboardModifiers modifiers;
        // The main window's action the key triggers, or none for F1 and
        // Escape, whose results are seen.
        const char* action;
    };
    const std::initializer_list<Key> keys{
        {"Ctrl+O opens an experiment", Qt::Key_O, Qt::ControlModifier, "ActionOpen"},
        {"Ctrl+S saves the experiment", Qt::Key_S, Qt::ControlModifier, "ActionSave"},
        {"Ctrl+P shows the experiment's settings", Qt::Key_P, Qt::ControlModifier, "ActionParameters"},
        {"F1 opens the manual", Qt::Key_F1, Qt::NoModifier, nullptr},
        {"Escape", Qt::Key_Escape, Qt::NoModifier, nullptr},
    };
    DialogCloser closer;
    ManualWindow& manual = form1_->Manual();
    for (QWidget* tool : std::initializer_list<QWidget*>{&form1_->Measurements(), &form1_->Mechanical(),
                                                         &form1_->Parameters(), &form1_->Family()})
        for (Standing standing : standings)
            for (const Key& key : keys) {
                SCOPED_TRACE(tool->objectName().toStdString() + ", standing " +
                             std::to_string(static_cast<int>(standing)) + ": " + key.what);
                if (standing == Standing::OnItsOwn)
                    ShowToolWindow(*tool, *form1_);
                else
                    ToolDocks::Of(*form1_).Show(*tool);
                auto* dock = ToolDocks::DockOf(*tool);
                if (dock && dock->isFloating() != (standing == Standing::Floated))
                    dock->setFloating(standing == Standing::Floated);
                manual.close();
                ASSERT_TRUE(tool->isVisible()) << "shown before the key";
                auto* action =
                    form1_->findChild<QAction*>(QString::fromLatin1(key.action ? key.action : "ActionManual"));
                ASSERT_NE(action, nullptr);
                QSignalSpy triggered(action, &QAction::triggered);
                Press(*tool, key.key, key.modifiers);
                if (key.action) {
                    EXPECT_EQ(triggered.count(), 1);
                    if (key.key != Qt::Key_P) {
                        EXPECT_EQ(closer.Owner(), form1_.get()) << "the file dialog is the main window's";
                    }
                } else if (key.key == Qt::Key_F1) {
                    EXPECT_TRUE(manual.isVisible());
                } else if (standing == Standing::Docked) {
                    EXPECT_TRUE(tool->isVisible()) << "docked, Escape is the main window's, which stops the work";
                } else {
                    EXPECT_FALSE(tool->window()->isVisible()) << "on its own or floated, Escape closes it";
                }
            }
}

TEST_F(Keyboard, TheWindowsKeysWorkInEveryToolWindowOnItsOwn)
{
    PressTheWindowsKeys({Standing::OnItsOwn});
}

TEST_F(Keyboard, TheWindowsKeysWorkInEveryToolWindowDockedAndFloated)
{
    PressTheWindowsKeys({Standing::Docked, Standing::Floated});
}

TEST_F(Keyboard, F1OpensTheWindowsPageOfTheManualCopiedBesideTheProgram)
{
    ManualWindow& manual = form1_->Manual();
    Press(*form1_, Qt::Key_F1);
    ASSERT_TRUE(manual.isVisible());
    EXPECT_EQ(manual.source(), QUrl::fromLocalFile(ManualWindow::WindowPage()));
    EXPECT_TRUE(manual.toPlainText().contains(QStringLiteral("Параметры опыта")))
        << "the page's text, not the note of a missing page";
}

TEST_F(Keyboard, ShiftF10OpensTheChartsMenu)
{
    QMenu& menu = Tools().menu->Menu();
    ASSERT_FALSE(menu.isVisible());
    Chart()->setFocus();
    Press(*form1_, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}

TEST_F(Keyboard, TheChartIsMarkedWhenTheKeyboardBringsItTheFocusOnly)
{
    QApplication::setActiveWindow(form1_.get());
    struct Focusing {
        const char* what;
        Qt::FocusReason reason;
        bool marked;
    };
    for (const Focusing& f : {Focusing{"Tab", Qt::TabFocusReason, true}, Focusing{"a click", Qt::MouseFocusReason, false},
                              Focusing{"Shift+Tab", Qt::BacktabFocusReason, true},
                              Focusing{"the window's activation", Qt::ActiveWindowFocusReason, false}}) {
        Control<QPushButton>("Button1")->setFocus();
        EXPECT_FALSE(Mark().isVisible()) << "away from the chart, before " << f.what;
        Chart()->setFocus(f.reason);
        ASSERT_TRUE(Chart()->hasFocus()) << f.what;
        EXPECT_EQ(Mark().isVisible(), f.marked) << f.what;
        EXPECT_EQ(Mark().geometry(), Chart()->rect()) << f.what;
    }
}

TEST_F(Keyboard, AFieldsReasonMovesNoOtherField)
{
    ParametersWindow& parameters = form1_->Parameters();
    ShowToolWindow(parameters, *form1_);
    // Laid out as shown, scroll bars and all.
    QCoreApplication::processEvents();
    const auto places = [&parameters] {
        std::vector<std::pair<std::string, QPoint>> placed;
        for (const QLineEdit* field : parameters.findChildren<QLineEdit*>())
            placed.emplace_back(field->objectName().toStdString(), field->mapTo(&parameters, QPoint(0, 0)));
        return placed;
    };
    const auto before = places();


    ASSERT_GT(before.size(), 10U);
    auto* inertia = parameters.findChild<QLineEdit*>(QStringLiteral("model_J"));
    ASSERT_NE(inertia, nullptr);
    inertia->selectAll();
    QTest::keyClicks(inertia, QStringLiteral("-1"));
    QCoreApplication::processEvents();
    ASSERT_FALSE(parameters.findChild<QLabel*>(QStringLiteral("model_J_reason"))->text().isEmpty());
    EXPECT_EQ(places(), before);
}

} // namespace
