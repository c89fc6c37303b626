#include "chart/FileDialogs.h"

#include <QFileInfo>
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

QString AskSavePath(QWidget* parent, const QString& caption, QString& folder, const QString& filters,
                    const QString& suffix)
{
    QString path = QFileDialog::getSaveFileName(parent, caption, folder, filters, nullptr, FileDialogOptions());
    if (path.isEmpty())
        return path;
    folder = QFileInfo(path).absolutePath();
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + suffix;
    return path;
}
