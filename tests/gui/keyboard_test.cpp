// The window from the keyboard: its keys in every tool window, Escape in a
// dock and on its own, the chart's menu and its focus mark.

#include "ChartWindowFixture.h"

#include "chart/ChartMenu.h"
#include "chart/FocusMark.h"
#include "ui/MeasurementsWindow.h"
#include "ui/ParametersWindow.h"
#include "ui/ToolDocks.h"
#include "ui/ToolWindows.h"

#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

#include <string>
#include <utility>
#include <vector>

namespace {

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
};

TEST_F(Keyboard, TheWindowsKeysWorkInItsToolWindows)
{
    for (QWidget* tool : std::initializer_list<QWidget*>{&form1_->Measurements(), &form1_->Mechanical()}) {
        SCOPED_TRACE(tool->objectName().toStdString());
        form1_->Parameters().close();
        ShowToolWindow(*tool, *form1_);
        Press(*tool, Qt::Key_P, Qt::ControlModifier);
        EXPECT_TRUE(form1_->Parameters().isVisible()) << "Ctrl+P opens the experiment's settings";
    }
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

TEST_F(Keyboard, EscapeClosesAFloatedDockAndIsTheMainWindowsWhileDocked)
{
    QWidget& measurements = form1_->Measurements();
    ToolDocks::Of(*form1_).Show(measurements);
    auto* dock = qobject_cast<QDockWidget*>(measurements.parentWidget());
    ASSERT_NE(dock, nullptr);
    Press(measurements, Qt::Key_Escape);
    EXPECT_TRUE(dock->isVisible()) << "docked, Escape stops the work and leaves the dock";
    dock->setFloating(true);
    Press(*dock, Qt::Key_Escape);
    EXPECT_FALSE(dock->isVisible()) << "floated, Escape closes it";
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
