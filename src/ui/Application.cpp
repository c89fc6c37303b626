#include "ui/Application.h"

#include <QFont>
#include <QMessageBox>
#include <QWidget>

#include <utility>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("motormodel"));
    // The forms are designed in MS Sans Serif; Liberation Sans has Arial's
    // metrics, close enough for the captions to fit their controls.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(std::runtime_error("Unknown error"));
    }
    return false;
}

void TApplication::ShowException(const std::exception& error)
{
    if (display_) {
        display_(error);
        return;
    }
    QMessageBox::critical(activeWindow(), applicationName(), QString::fromUtf8(error.what()));
}

void TApplication::SetExceptionDisplay(ExceptionDisplay display)
{
    display_ = std::move(display);
}

TApplication* Application()
{
    return qobject_cast<TApplication*>(QCoreApplication::instance());
}

void RunCommand(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        TApplication* application = Application();
        if (!application)
            throw;
        application->ShowException(error);
    }
}
