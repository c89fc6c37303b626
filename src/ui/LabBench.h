#pragma once

#include "lab/Fit.h"
#include "lab/Measured.h"
#include "session/KeptMeasured.h"
#include "session/Session.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class FitDialog;
class ParametersWindow;
class QMenu;
class QWidget;
class TraceChart;

// The measured data on the main window's chart: opened from a CSV, its
// columns mapped in a dialog where the file names them otherwise, drawn
// over the runs in seconds, and taken off again; and the fit of the
// settings to it, whose residual goes on the chart beside it.
class LabBench : public QObject {
    Q_OBJECT

public:
    // The dialog that maps a file's columns: given its headings, what each
    // holds, or none when the user cancels. The window's own unless told.
    using AskMapping =
        std::function<std::optional<std::vector<lab::ColumnMapping>>(const std::vector<std::string>& columns)>;

    // request gives the step response as the window would make it now.
    LabBench(TraceChart& chart, QWidget& window, ParametersWindow& parameters,
             std::function<lab::FitRequest()> request);

    // "Открыть измерения…", "Подобрать параметры…" and "Убрать измерения"
    // in the menu.
    void AddCommands(QMenu& menu);
    void SetAskMapping(AskMapping ask) { askMapping_ = std::move(ask); }

    // Reads the file and shows it in place of the measured data before.
    // A file whose columns are not named as the program names them is
    // mapped by the user first; cancelled, nothing changes. Raises
    // lab::MeasuredError naming what was wrong, and then changes nothing.
    void Open(const std::string& path);
    void OpenWithDialog();
    void Close();
    // The measured data shown as a session keeps it: its file, hash and
    // mappings; none while none is shown.
    std::optional<SessionMeasured> Kept() const;
    // Shows what a session kept: its file read again with its mappings,
    // asking nothing. Raises toolkit::Exception naming the file and what is
    // wrong where it cannot be read or is not the file the session was saved
    // with, and then shows no measured data.
    void Restore(const SessionMeasured& kept);
    const std::optional<lab::Measured>& Measured() const { return measured_; }
    // "Подобрать параметры…": the fit's dialog for the measured data open
    // now. Raises toolkit::Exception while none is.
    FitDialog& OpenFit();
    // The fit's residual, shown beside the measured data until either goes.
    void ShowResidual(const lab::Comparison& residual);

    // Whether a file dropped on the window is measured data: a CSV.
    static bool IsMeasuredFile(const QString& path);

signals:
    // The measured data was shown, replaced or taken off.
    void Changed();

private:
    // Why a session opened without its measured data, in the window's words.
    static QString NotRestoredText(const KeptMeasuredProblem& problem);
    void Show(lab::Measured measured, std::vector<lab::ColumnMapping> mappings);
    // The measured series and the residual's, on the chart.
    void Draw();
    std::optional<std::vector<lab::ColumnMapping>> AskWithDialog(const std::vector<std::string>& columns);

    TraceChart& chart_;
    QWidget& window_;
    ParametersWindow& parameters_;
    std::function<lab::FitRequest()> request_;
    AskMapping askMapping_;
    std::optional<lab::Measured> measured_;
    // The user's mappings the measured data was read with.
    std::vector<lab::ColumnMapping> mappings_;
    std::optional<lab::Comparison> residual_;
    // The fit's dialog while it is open.
    FitDialog* fit_ = nullptr;
    QString folder_;
};
