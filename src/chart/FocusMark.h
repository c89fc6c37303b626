#pragma once

#include <QWidget>

// Shows that a chart has the keyboard, once the keyboard brought it there
// (Tab, Shift+Tab, a shortcut): a frame just inside its edge, which files
// and copied pictures never hold. A click gives the chart the keyboard
// without the mark, as buttons show their focus only to the keyboard.
class FocusMark final : public QWidget {
    Q_OBJECT

public:
    explicit FocusMark(QWidget& chart);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget& chart_;
};
