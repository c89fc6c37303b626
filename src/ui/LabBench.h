#pragma once

#include "lab/Measured.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QMenu;
class QWidget;
class TraceChart;

// The measured data on the main window's chart: opened from a CSV, its
// columns mapped in a dialog where the file names them otherwise, drawn
// over the runs in seconds, and taken off again.
class LabBench : public QObject {
    Q_OBJECT

public:
    // The dialog that maps a file's columns: given its headings, what each
    // holds, or none when the user cancels. The window's own unless told.
    using AskMapping =
        std::function<std::optional<std::vector<lab::ColumnMapping>>(const std::vector<std::string>& columns)>;

    LabBench(TraceChart& chart, QWidget& window);

    // "Открыть измерения…" and "Убрать измерения" in the menu.
    void AddCommands(QMenu& menu);
    void SetAskMapping(AskMapping ask) { askMapping_ = std::move(ask); }

    // Reads the file and shows it in place of the measured data before.
    // A file whose columns are not named as the program names them is
    // mapped by the user first; cancelled, nothing changes. Raises
    // lab::MeasuredError naming what was wrong, and then changes nothing.
    void Open(const std::string& path);
    void OpenWithDialog();
    void Close();
    const std::optional<lab::Measured>& Measured() const { return measured_; }

    // Whether a file dropped on the window is measured data: a CSV.
    static bool IsMeasuredFile(const QString& path);

signals:
    // The measured data was shown, replaced or taken off.
    void Changed();

private:
    void Show(lab::Measured measured);
    std::optional<std::vector<lab::ColumnMapping>> AskWithDialog(const std::vector<std::string>& columns);

    TraceChart& chart_;
    QWidget& window_;
    AskMapping askMapping_;
    std::optional<lab::Measured> measured_;
    QString folder_;
};
