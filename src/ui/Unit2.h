#pragma once

#include <QWidget>

#include <cstdint>
#include <memory>

namespace Ui {
class TForm2;
}

// The alert window: no controls, its caption is the message that a typed
// load was refused. Closing it only hides it, and it never keeps the
// program running.
class TForm2 : public QWidget {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    // The caption names the largest load allowed.
    void SetLimit(std::int64_t limit);
    // Makes the window visible without making it modal; a window already
    // shown is brought to the front, so there is only ever one.
    void Show();

private:
    std::unique_ptr<Ui::TForm2> ui_;
};

extern TForm2* Form2;
