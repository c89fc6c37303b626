#include "ui/Application.h"

#include "experiments/Problem.h"
#include "ui/ErrorTexts.h"

#include <QFont>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QWidget>

#include <utility>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("motormodel"));
    // Lets the desktop match the window to the menu entry and its icon
    // (under Wayland the window has no other name to be matched by).
    setDesktopFileName(QStringLiteral("io.github.motormodel.MotorModel"));
    // The forms are designed in MS Sans Serif; Liberation Sans has Arial's
    // metrics, close enough for the captions to fit their controls.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    LoadQtTranslations();
}

void TApplication::LoadQtTranslations()
{
    // The program's own texts are Russian whatever the user's locale, so the
    // file dialogs, message boxes and edit menus Qt draws for it are too. The
    // translator changes texts only: numbers are written by the program's own
    // locale-independent conversions.
    const QString directory = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (qtTranslations_.load(QStringLiteral("qtbase_ru"), directory))
        installTranslator(&qtTranslations_);
    else
        qWarning("qtbase_ru.qm not found in %s: Qt's standard dialogs stay in English", qPrintable(directory));
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(std::runtime_error("Неизвестная ошибка"));
    }
    return false;
}

void TApplication::ShowException(const std::exception& error)
{
    const auto* settings = dynamic_cast<const SettingsError*>(&error);
    const std::string message = settings ? ErrorText(settings->Cause()).toStdString() : error.what();
    if (display_) {
        display_(message);
        return;
    }
    QMessageBox::critical(activeWindow(), applicationName(), QString::fromStdString(message));
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
