#include "chart/FileDialogs.h"

#include <QGuiApplication>

bool OnWayland()
{
    // "wayland", "wayland-egl", "wayland-generic": one plugin under several names.
    return QGuiApplication::platformName().startsWith(QStringLiteral("wayland"));
}

QFileDialog::Options FileDialogOptions()
{
    return OnWayland() ? QFileDialog::DontUseNativeDialog : QFileDialog::Options();
}

QWidget* DialogParent(QWidget& asking)
{
    QWidget* main = &asking;
    while (main->parentWidget())
        main = main->parentWidget();
    return main;
}
