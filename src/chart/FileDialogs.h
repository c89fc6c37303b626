#pragma once

#include <QFileDialog>

// Whether the program runs on a Wayland compositor, under any of the names
// of Qt's plugin for it.
bool OnWayland();

// The options of every file dialog the program opens. On Wayland the
// desktop's own dialog (GTK's, through Qt's platform theme) is a window of
// another toolkit that cannot name a Qt window as its parent: neither
// centred on the window that asked nor kept above it. Qt's dialog is the
// program's window, a dialog of the window that opens it.
QFileDialog::Options FileDialogOptions();

// The window a file dialog belongs to, for a widget that asks for one: the
// program's main window, whose windows all descend from it. A tool window
// may ask while hidden (a key pressed in the main window) or docked, and a
// dialog of a hidden window is neither centred nor kept above anything.
QWidget* DialogParent(QWidget& asking);

// Asks where to save, starting in folder, which then becomes the chosen
// file's; a name typed without a suffix gets suffix. Empty when cancelled.
QString AskSavePath(QWidget* parent, const QString& caption, QString& folder, const QString& filters,
                    const QString& suffix);
