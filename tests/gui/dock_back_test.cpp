// A floated dock's own way back into the main window's column, for where
// the title bar of its floating window is not the dock's.

#include "ui/ToolDocks.h"

#include <QDockWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <vector>

namespace {

struct FloatedDockCase {
    const char* what;
    // The tool windows docked first; the last one is floated.
    std::vector<QSize> tools;
};

TEST(FloatedDock, ShowsAButtonOnlyWhileItFloatsThatDocksItAgain)
{
    constexpr QSize kForm{300, 200};
    for (const FloatedDockCase& f : {
             FloatedDockCase{"alone in the column", {{150, 120}}},
             FloatedDockCase{"with another dock staying in the column", {{120, 100}, {150, 120}}},
         }) {
        QWidget main;
        main.setMinimumSize(kForm);
        main.resize(kForm);
        main.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main)) << f.what;
        ToolDocks& docks = ToolDocks::Of(main);
        std::vector<QDockWidget*> shown;
        for (const QSize& minimum : f.tools) {
            // Owned by its dock once shown.
            auto* tool = new QWidget(nullptr, Qt::Window);
            tool->setMinimumSize(minimum);
            docks.Show(*tool);
            shown.push_back(ToolDocks::DockOf(*tool));
            ASSERT_NE(shown.back(), nullptr) << f.what;
        }
        const int docked = main.width();
        QDockWidget& dock = *shown.back();
        auto* back = dock.findChild<QToolButton*>(QStringLiteral("dockBack"));
        ASSERT_NE(back, nullptr) << f.what;
        EXPECT_FALSE(back->isVisible()) << f.what << ": docked, the dock's own title bar docks it";

        dock.setFloating(true);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dock)) << f.what;
        EXPECT_TRUE(back->isVisible()) << f.what;
        EXPECT_FALSE(back->text().isEmpty()) << f.what;
        EXPECT_TRUE(dock.rect().contains(QRect(back->mapTo(&dock, QPoint(0, 0)), back->size()))) << f.what;
        EXPECT_LT(main.width(), docked) << f.what << ": the column gave its room back";
        for (const QDockWidget* other : shown) {
            if (other != &dock) {
                EXPECT_FALSE(other->findChild<QToolButton*>(QStringLiteral("dockBack"))->isVisible()) << f.what;
            }
        }

        QTest::mouseClick(back, Qt::LeftButton);
        EXPECT_FALSE(dock.isFloating()) << f.what;
        EXPECT_FALSE(back->isVisible()) << f.what;
        EXPECT_EQ(main.width(), docked) << f.what << ": the column took its room again";
        EXPECT_EQ(dock.window(), &main) << f.what;
    }
}

} // namespace
