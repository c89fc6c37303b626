// Runs the GUI tests inside the program's application object, headless
// unless a platform is asked for, at a fixed DPI so geometry is the same
// on every machine.

#include "ui/Application.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char* argv[])
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_FONT_DPI", "96", 1);
    testing::InitGoogleTest(&argc, argv);
    TApplication application(argc, argv);
    // What the window remembers goes to a folder of the run's own, never
    // the user's.
    const QTemporaryDir remembered;
    for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, remembered.path());
    return RUN_ALL_TESTS();
}
