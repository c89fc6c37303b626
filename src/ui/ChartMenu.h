#pragma once

#include <QString>

#include <functional>
#include <utility>

class ChartExporter;
class QMenu;
class QPoint;
class TraceChart;

// The chart's context menu: reset the zoom, save the picture, export the
// shown traces' data, copy the picture. It only asks where to write; the
// exporter writes.
class ChartMenu {
public:
    // Asks for a file to save to, as QFileDialog::getSaveFileName does:
    // an empty path if the user cancels, and the filter chosen.
    using AskSavePath =
        std::function<QString(const QString& caption, const QString& filters, QString* chosenFilter)>;

    ChartMenu(TraceChart& chart, ChartExporter& exporter);

    void Popup(QPoint globalPosition);
    QMenu& Menu() const { return *menu_; }

    // Puts something else in place of the file dialog, as tests do.
    void SetAskSavePath(AskSavePath ask) { askSavePath_ = std::move(ask); }

private:
    void SaveImage();
    void SaveCsv();

    ChartExporter& exporter_;
    QMenu* menu_;
    AskSavePath askSavePath_;
};
