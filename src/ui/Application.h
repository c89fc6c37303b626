#pragma once

#include "ui/Language.h"

#include <QApplication>
#include <QTranslator>

#include <exception>
#include <functional>
#include <string>

// The application object. Qt lets no exception pass through its event
// loop, so dispatch catches whatever escapes an event handler, shows it with
// ShowException and carries on. It also sets the language the windows and
// Qt's own dialogs speak.
class TApplication : public QApplication {
    Q_OBJECT

public:
    // Takes the message as the user reads it.
    using ExceptionDisplay = std::function<void(const std::string& message)>;

    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the error's message to the user in a message box, in the
    // window's language where the error carries values rather than words.
    void ShowException(const std::exception& error);

    // Speaks the language from now on: every window is told of the change
    // (QEvent::LanguageChange) and shows its texts again in it. Russian at
    // first.
    void SetLanguage(Language language);
    Language CurrentLanguage() const { return language_; }

    // Replaces how errors are shown (tests record them instead of opening a
    // modal box); an empty function restores the message box.
    void SetExceptionDisplay(ExceptionDisplay display);

private:
    // Installs the translator loaded from the file, if there is one.
    void Install(QTranslator& translator, const QString& file, const QString& directory);

    ExceptionDisplay display_;
    Language language_ = Language::Russian;
    QTranslator programTexts_;
    QTranslator qtTexts_;
};

// The one application object, once it exists.
TApplication* Application();

// Runs a command handler and shows an error it raises with ShowException.
// The error is caught here rather than in notify(): unwinding through Qt's
// event code skips Qt's own clean-up.
void RunCommand(const std::function<void()>& handler);
