#pragma once

#include "ui/WindowSystem.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>

namespace Ui {
class TForm2;
}

// The alert window: no controls, its caption is the message that a typed
// load was refused. Closing it only hides it, and it never keeps the
// program running. It is a window of its own, not the main window's child,
// but transient for the main window, so that compositors that place
// windows themselves put it over the main window. Where the title bar is
// drawn in less room than the caption needs, the window widens until the
// caption fits, since the caption is the whole message.
class TForm2 : public QWidget {
    Q_OBJECT

public:
    explicit TForm2(QWidget* mainWindow = nullptr, std::optional<TitleBar> titleBar = ClientDrawnTitleBar());
    ~TForm2() override;

    // The caption names the largest load allowed.
    void SetLimit(std::int64_t limit);
    // Makes the window visible without making it modal; a window already
    // shown is brought to the front, so there is only ever one.
    void Show();

protected:
    // The caption in the language now in force.
    void changeEvent(QEvent* event) override;

private:
    std::unique_ptr<Ui::TForm2> ui_;
    QPointer<QWidget> mainWindow_;
    std::optional<TitleBar> titleBar_;
    std::int64_t limit_ = 0;
};

extern TForm2* Form2;
