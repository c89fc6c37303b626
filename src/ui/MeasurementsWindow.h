#pragma once

#include "analysis/SignalStatistics.h"
#include "experiments/Experiments.h"
#include "ui/ReportDocument.h"

#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class ChartCursors;
class ChartPins;
class QTableWidget;
class Trace;
class TraceChart;

namespace Ui {
class MeasurementsWindow;
}

// The measurements window: the statistics of each shown trace that holds
// points over the steps the chart shows, the step characteristics of the
// step response and of every pinned one (a row per pin and segment, a
// family's value first), and what the two cursors read. It follows the chart while
// it is open, through runs, clears, zoom, pan, legend clicks and cursor
// drags. Numbers show six significant digits and their exact value, which
// reads back, in the tooltip; selected cells copy exactly as tab-separated
// text. The tables are as tall as their rows, as far as the window's
// height goes. Closing it only hides it.
class MeasurementsWindow : public QWidget {
    Q_OBJECT

public:
    // The step response's two traces are also on the chart; the settings and
    // the load are the ones they were made with. Times in seconds at the
    // cursors take the step size of the run the chart shows.
    MeasurementsWindow(TraceChart& chart, const ChartCursors& cursors, const ChartPins& pins, const Trace& stepMd,
                       const Trace& stepOmega, const std::optional<RunRecipe>& stepRecipe, const std::optional<std::int32_t>& stepLoad,
                       QWidget* parent = nullptr);
    ~MeasurementsWindow() override;

    // The selected cells of the table, exactly, a line per row and a tab
    // between cells, under a line of the columns' headings and each after
    // its row's name; unselected cells within the selection's rectangle are
    // empty.
    static QString SelectionText(const QTableWidget& table);

    // The statistics, the step characteristics and the pinned responses
    // as the window shows them now, whether it is open or not, each under
    // its box's title; a table with nothing to show is left out.
    std::vector<ReportTable> ReportTables();

protected:
    // Shows what the cursors read once they moved.
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Shows every heading and name again in the language now in force.
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The pins table's headings of the step characteristics.
    void NameCharacteristicColumns();
    void Update();
    // Statistics over many points are taken now, for a report, or on a
    // worker while the window shows the rest.
    enum class Measure { Now, Meanwhile };
    void ShowTables(Measure measure);
    void ShowStatistics(Measure measure);
    void ShowStepCharacteristics();
    void ShowPinnedSteps();
    void ShowCursors();

    std::unique_ptr<Ui::MeasurementsWindow> ui_;
    // Whether the cursors' reading is on its way.
    bool cursorsQueued_ = false;
    TraceChart& chart_;
    const ChartCursors& cursors_;
    const ChartPins& pins_;
    // The pins' revision the pins table shows: it changes only with them.
    std::optional<std::uint64_t> pinsShown_;
    // The step response the step table shows: its traces' revisions and
    // what made them.
    struct StepShown {
        std::uint64_t md;
        std::uint64_t omega;
        std::optional<std::int32_t> load;
        bool recipe;
        bool operator==(const StepShown&) const = default;
    };
    std::optional<StepShown> stepShown_;
    // The statistics table's traces, each at its revision over the steps
    // measured, with what was found.
    struct MeasuredTrace {
        const Trace* trace;
        std::uint64_t revision;
        std::optional<analysis::StepRange> range;
        std::optional<analysis::SignalStatistics> statistics;
        // Alike when the same were measured, whatever was found.
        bool operator==(const MeasuredTrace& other) const
        {
            return trace == other.trace && revision == other.revision && range == other.range;
        }
    };
    std::vector<MeasuredTrace> measured_;
    // A trace's statistics to be taken on the worker, and its values, kept
    // for the worker whatever the trace does meanwhile.
    struct ToMeasure {
        MeasuredTrace key;
        std::shared_ptr<const std::vector<double>> values;
    };
    void MeasureMeanwhile(std::vector<ToMeasure> toMeasure);
    bool measuring_ = false;
    // The pins' revision measured_ was taken at.
    std::optional<std::uint64_t> measuredPins_;
    const Trace& stepMd_;
    const Trace& stepOmega_;
    // What made the step response on the chart, if anything.
    const std::optional<RunRecipe>& stepRecipe_;
    const std::optional<std::int32_t>& stepLoad_;
    // Last, so it ends before the window's other members go.
    std::jthread statisticsWork_;
};
