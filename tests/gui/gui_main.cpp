// Runs the GUI tests inside the program's application object, headless
// unless a platform is asked for, at a fixed DPI so geometry is the same
// on every machine.

#include "ui/Application.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char* argv[])
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_FONT_DPI", "96", 1);
    testing::InitGoogleTest(&argc, argv);
    TApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
