#pragma once

#include "chart/ChartExporter.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <functional>
#include <utility>

class ChartCursors;
class QMenu;
class QPoint;
class TraceChart;

// The chart's context menu: reset the zoom, save the picture, export the
// shown traces' data, copy the picture, show or hide the cursors. It asks where to write, and
// remembers the folder and the kinds of picture and CSV while the program runs; the
// exporter writes. Errors go to the chart's error signal.
class ChartMenu : public QObject {
public:
    // Asks for a file to save to, as QFileDialog::getSaveFileName does:
    // an empty path if the user cancels, and the filter chosen.
    using AskSavePath = std::function<QString(const QString& caption, const QString& folder, const QString& filters,
                                              QString* chosenFilter)>;

    ChartMenu(TraceChart& chart, ChartCursors& cursors);

    QMenu& Menu() const { return *menu_; }
    const ChartExporter& Exporter() const { return exporter_; }

    // Puts something else in place of the file dialog, as tests do.
    void SetAskSavePath(AskSavePath ask) { askSavePath_ = std::move(ask); }

private:
    void AddCursorsItem(ChartCursors& cursors);
    void Popup(QPoint position);
    void Run(const std::function<void()>& command);
    void SaveImage();
    void SaveCsv();
    // Asks for a path, offering the filters with the given one chosen;
    // keeps the path's folder and the filter chosen for the next time, and
    // gives the chosen filter's index.
    QString AskPath(const QString& caption, const QStringList& filters, QString& filter, std::size_t& chosen);

    TraceChart& chart_;
    ChartExporter exporter_;
    QMenu* menu_;
    AskSavePath askSavePath_;
    QString folder_;
    QString imageFilter_;
    QString csvFilter_;
};
