#pragma once

#include "chart/ChartExporter.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

class ChartCursors;
class ChartViewState;
struct AxisUnits;
class QAction;
class QMenu;
class QPoint;
class PlotChart;

// A chart's context menu: reset the zoom, go back to the previous view,
// save the picture, export the shown entries' data, copy the picture; on the
// time chart also show or hide the cursors, read the steps in seconds,
// title the axes and draw in the style for reports. It asks where to write, and remembers the folder and the
// kinds of picture and CSV while the program runs; the exporter writes. Every
// command runs through the runner the window gives it, which shows its
// errors as the window shows every other.
class ChartMenu : public QObject {
public:
    // Asks for a file to save to, as QFileDialog::getSaveFileName does:
    // an empty path if the user cancels, and the filter chosen.
    using AskSavePath = std::function<QString(const QString& caption, const QString& folder, const QString& filters,
                                              QString* chosenFilter)>;

    // Runs a command and deals with what it throws.
    using CommandRunner = std::function<void(const std::function<void()>& command)>;

    // A chart without cursors has no cursors item.
    ChartMenu(PlotChart& chart, ChartCursors* cursors, CommandRunner run);

    QMenu& Menu() const { return *menu_; }
    const ChartExporter& Exporter() const { return exporter_; }

    // An item the menu offers only when it opens over a legend entry that
    // offered accepts; the command is given that entry's index. Its text is
    // translated in the context, as TranslatedText.h says.
    void AddEntryItem(const char* context, const char* text, std::function<bool(int)> offered,
                      std::function<void(int)> command);

    // Puts something else in place of the file dialog, as tests do.
    void SetAskSavePath(AskSavePath ask) { askSavePath_ = std::move(ask); }

private:
    struct EntryItem {
        QAction* action;
        std::function<bool(int)> offered;
    };

    // An item whose command goes through the runner; its text is the
    // Russian source, translated in the context "ChartMenu".
    QAction* AddItem(const char* text, std::function<void()> command);
    void AddCursorsItem(ChartCursors& cursors);
    // A checkable item that shows and sets one of the axes' units.
    void AddUnitsItem(const char* text, bool AxisUnits::*shown, void (ChartViewState::*set)(bool));
    void Popup(QPoint position);
    void SaveImage();
    void SaveCsv();
    // Asks for a path, offering the filters with the one at chosen chosen;
    // keeps the path's folder and the index of the filter chosen for the
    // next time (an index, so a change of language keeps it).
    QString AskPath(const QString& caption, const QStringList& filters, std::size_t& chosen);

    PlotChart& chart_;
    ChartExporter exporter_;
    QMenu* menu_;
    CommandRunner run_;
    AskSavePath askSavePath_;
    QString folder_;
    std::size_t imageType_ = 0;
    std::size_t csvType_ = 0;
    std::vector<EntryItem> entryItems_;
    // The legend entry the menu was opened over, if any.
    int entryAt_ = -1;
};
