#pragma once

#include <QMainWindow>
#include <QSize>

#include <vector>

class QDockWidget;

// The main window's tool windows where the platform cannot place windows
// (Wayland): each goes into a dock in a column on the main window's right,
// and the main window grows by the column's width, so that no tool window
// covers a control. Where the screen is too short for the docks one above
// another, they become tabs. The user can float a dock (its title bar's
// button) and dock it back (the button the floating window shows above the
// tool, a double click on its title where the title bar is Qt's own, or
// choosing its window again from the menu or the tool bar); a dock closed
// and opened again comes back as it was left. The column is a main window of Qt's
// inside ours, as our main window is a plain form whose controls sit where
// it puts them.
class ToolDocks final : public QMainWindow {
    Q_OBJECT

public:
    explicit ToolDocks(QWidget& main);
    ~ToolDocks() override;

    // The column of this main window, made the first time it is asked for.
    static ToolDocks& Of(QWidget& main);

    // Shows a tool window in its dock, made the first time, and brings it
    // to the front: docked in the column again if it was floated.
    void Show(QWidget& tool);

    // The dock that holds a tool window, or none while it stands alone.
    static QDockWidget* DockOf(const QWidget& tool);

    // The room the column takes beside the form: none while no dock is
    // docked and shown.
    QSize Room() const { return room_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QDockWidget& DockFor(QWidget& tool);
    // The docks in the column and shown.
    std::vector<QDockWidget*> Docked() const;
    void TabifyWhereTooTall();
    // Gives the column the room its docked windows need, within the
    // screen, and grows or shrinks the main window by the difference.
    void Fit();
    // Puts the column against the main window's right edge, its whole
    // height.
    void Place();

    QWidget& main_;
    QSize room_{0, 0};
    // What the column adds to the main window's minimum size: its width,
    // and the height it needs beyond the form's.
    QSize added_{0, 0};
};
