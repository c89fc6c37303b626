#include "ui/Application.h"

#include "chart/TranslatedText.h"
#include "experiments/Problem.h"
#include "ui/ErrorTexts.h"
#include "ui/LabTexts.h"

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
    SetLanguage(Language::Russian);
}

void TApplication::SetLanguage(Language language)
{
    removeTranslator(&programTexts_);
    removeTranslator(&qtTexts_);
    language_ = language;
    // Russian is written in the code and the forms: only English has a
    // translation of the program's texts, built into it.
    if (language == Language::English)
        Install(programTexts_, QStringLiteral("motormodel_en"), QStringLiteral(":/translations"));
    // The file dialogs, message boxes and edit menus Qt draws for the program
    // speak its language too. The translators change texts only: numbers are
    // written by the program's own locale-independent conversions.
    Install(qtTexts_, QStringLiteral("qtbase_") + LanguageCode(language),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    // The forms' texts follow QEvent::LanguageChange; the actions made in
    // code are given theirs here.
    RetranslateActions();
}

void TApplication::Install(QTranslator& translator, const QString& file, const QString& directory)
{
    if (translator.load(file, directory))
        installTranslator(&translator);
    else
        qWarning("%s.qm not found in %s: its texts stay as written", qPrintable(file), qPrintable(directory));
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowException(std::runtime_error(tr("Неизвестная ошибка").toStdString()));
    }
    return false;
}

void TApplication::ShowException(const std::exception& error)
{
    const auto* settings = dynamic_cast<const SettingsError*>(&error);
    const auto* measured = dynamic_cast<const lab::MeasuredError*>(&error);
    const auto* fit = dynamic_cast<const lab::FitError*>(&error);
    const std::string message = settings   ? ErrorText(settings->Cause()).toStdString()
                                : measured ? ErrorText(measured->Cause()).toStdString()
                                : fit      ? ErrorText(fit->Cause()).toStdString()
                                           : error.what();
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
