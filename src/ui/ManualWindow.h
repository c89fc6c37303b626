#pragma once

#include <QTextBrowser>

// The program's manual in a window of its own: its pages as installed with
// the program (or copied beside a build of it), opened at the window's page,
// their links to one another followed in place and links to the web handed
// to the desktop's browser. F1 opens it from every window of the program.
class ManualWindow final : public QTextBrowser {
    Q_OBJECT

public:
    explicit ManualWindow(QWidget& main);

    // The window's page, where the program's executables are.
    static QString WindowPage();

    // Shows the window's page, or where the manual should have been if it
    // is not there, and brings the window to the front.
    void Open();

protected:
    void changeEvent(QEvent* event) override;

private:
    void Retitle();
};
