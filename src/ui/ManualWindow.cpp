#include "ui/ManualWindow.h"

#include "experiments/MachineFiles.h"
#include "ui/ToolWindows.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <filesystem>

ManualWindow::ManualWindow(QWidget& main) : QTextBrowser(&main)
{
    setObjectName(QStringLiteral("ManualWindow"));
    setWindowFlags(Qt::Window);
    setAttribute(Qt::WA_QuitOnClose, false);
    setOpenExternalLinks(true);
    // Shrunk to the screen where it is smaller, as every window is.
    resize(760, 640);
    CloseOnEscape(*this);
    Retitle();
}

QString ManualWindow::WindowPage()
{
    const std::filesystem::path programs(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString());
    return QDir(QFile::decodeName(ManualFolder(programs).c_str())).filePath(QStringLiteral("window.md"));
}

void ManualWindow::Open()
{
    const QString page = WindowPage();
    if (QFileInfo::exists(page))
        setSource(QUrl::fromLocalFile(page), QTextDocument::MarkdownResource);
    else
        setPlainText(tr("Руководство не найдено: нет файла %1. Оно ставится вместе с программой.")
                         .arg(QDir::toNativeSeparators(page)));
    show();
    raise();
    activateWindow();
}

void ManualWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        Retitle();
    QTextBrowser::changeEvent(event);
}

void ManualWindow::Retitle()
{
    setWindowTitle(tr("Руководство"));
}
