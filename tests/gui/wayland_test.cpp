// The windows under a real Wayland compositor, started by
// tests/e2e/wayland_e2e.sh: Qt draws the title bars, and the program cannot
// place its windows.

#include "MainWindowFixture.h"
#include "ui/MeasurementsWindow.h"
#include "ui/ParametersWindow.h"
#include "ui/ToolDocks.h"
#include "ui/WindowSystem.h"

#include <QAction>
#include <QDockWidget>
#include <QGuiApplication>
#include <QWindow>

namespace {

TEST_F(MainWindow, RunsOnQtsWaylandPlugin)
{
    EXPECT_TRUE(QGuiApplication::platformName().startsWith(QStringLiteral("wayland")))
        << QGuiApplication::platformName().toStdString();
    EXPECT_FALSE(PlatformPlacesWindows());
    EXPECT_TRUE(ClientDrawnTitleBar().has_value());
}

// The controls of the form: the main window's children but the dock column
// and windows of their own.
QWidgetList FormControls(const QWidget& main)
{
    QWidgetList controls;
    for (QWidget* child : main.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (!child->isWindow() && !qobject_cast<ToolDocks*>(child))
            controls.push_back(child);
    return controls;
}

TEST_F(MainWindow, MinimumSizeHoldsEveryControlUnderQtsTitleBar)
{
    const QMargins frame = form1_->windowHandle()->frameMargins();
    EXPECT_GT(frame.top(), 0) << "Qt draws the title bar";
    EXPECT_GE(form1_->minimumHeight(), 613);
    for (const QWidget* control : FormControls(*form1_))
        EXPECT_TRUE(form1_->rect().contains(control->geometry())) << control->objectName().toStdString();
}

TEST_F(MainWindow, ParametersAndMeasurementsDockBesideEveryControl)
{
    const int formWidth = form1_->width();
    for (const char* action : {"ActionParameters", "ActionMeasurements"})
        form1_->findChild<QAction*>(QString::fromLatin1(action))->trigger();
    const auto* docks = form1_->findChild<ToolDocks*>();
    ASSERT_NE(docks, nullptr);
    for (const QWidget* tool : {static_cast<QWidget*>(&form1_->Parameters()), static_cast<QWidget*>(&form1_->Measurements())}) {
        const auto* dock = ToolDocks::DockOf(*tool);
        ASSERT_NE(dock, nullptr) << tool->objectName().toStdString();
        EXPECT_FALSE(dock->isFloating());
        EXPECT_TRUE(tool->isVisible());
        EXPECT_EQ(tool->window(), form1_.get());
        EXPECT_TRUE(docks->rect().contains(dock->geometry()));
    }
    EXPECT_EQ(form1_->width(), formWidth + docks->Room().width());
    for (const QWidget* control : FormControls(*form1_)) {
        const std::string name = control->objectName().toStdString();
        EXPECT_TRUE(control->isVisible()) << name;
        EXPECT_TRUE(form1_->rect().contains(control->geometry())) << name;
        EXPECT_FALSE(control->geometry().intersects(docks->geometry())) << name;
    }
}

TEST_F(MainWindow, AlertWidensToShowItsWholeCaptionOverTheMainWindow)
{
    RunStepResponse("31");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form2_.get()));
    EXPECT_GE(form2_->width(), WidthShowingCaption(*ClientDrawnTitleBar(), form2_->windowTitle()));
    EXPECT_GT(form2_->frameGeometry().width(), 409) << "the form's width is too little";
    EXPECT_EQ(form2_->frameGeometry().height(), 114);
    EXPECT_EQ(form2_->windowHandle()->transientParent(), form1_->windowHandle());
}

} // namespace
