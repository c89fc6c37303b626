#pragma once

#include <QApplication>
#include <QTranslator>

#include <exception>
#include <functional>
#include <string>

// The application object. Qt lets no exception pass through its event
// loop, so dispatch catches whatever escapes an event handler, shows it with
// ShowException and carries on. It also makes Qt's own dialogs speak the
// program's language.
class TApplication : public QApplication {
    Q_OBJECT

public:
    // Takes the message as the user reads it.
    using ExceptionDisplay = std::function<void(const std::string& message)>;

    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the error's message to the user in a message box, in Russian
    // where the error has it.
    void ShowException(const std::exception& error);

    // Replaces how errors are shown (tests record them instead of opening a
    // modal box); an empty function restores the message box.
    void SetExceptionDisplay(ExceptionDisplay display);

private:
    void LoadQtTranslations();

    ExceptionDisplay display_;
    QTranslator qtTranslations_;
};

// The one application object, once it exists.
TApplication* Application();

// Runs a command handler and shows an error it raises with ShowException.
// The error is caught here rather than in notify(): unwinding through Qt's
// event code skips Qt's own clean-up.
void RunCommand(const std::function<void()>& handler);
