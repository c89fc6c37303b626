#pragma once

#include "analysis/Measurements.h"
#include "experiments/Experiments.h"
#include "lab/Measured.h"
#include "plot/ChartRange.h"
#include "ui/MeasurementCells.h"
#include "ui/ReportDocument.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

class ChartCursors;
struct MeasuredSeries;
class ChartPins;
class QTableWidget;
class QGroupBox;
class Trace;
class TraceChart;

namespace Ui {
class MeasurementsWindow;
}

// The step response's traces by quantity: the chart's Md and Omega, and
// the d-q machine's Is and ia, which only this window shows.
using StepTraces = std::array<const Trace*, kDqQuantities.size()>;

// The measurements window: the statistics of each shown trace that holds
// points over the steps the chart shows, the step characteristics of the
// step response (of every quantity its model reports) and of every pinned one (a row per pin and segment, a
// family's value first), and what the two cursors read. It follows the chart while
// it is open, through runs, clears, zoom, pan, legend clicks and cursor
// drags. Numbers show six significant digits and their exact value, which
// reads back, in the tooltip; selected cells copy exactly as tab-separated
// text. The tables are as tall as their rows, as far as the window's
// height goes. Closing it only hides it.
class MeasurementsWindow : public QWidget {
    Q_OBJECT

public:
    // The step response's Md and Omega are also on the chart; the settings
    // and the load are the ones its traces were made with. Times in
    // seconds at the cursors take the step size of the run the chart shows.
    MeasurementsWindow(TraceChart& chart, const ChartCursors& cursors, const ChartPins& pins, StepTraces stepTraces,
                       const std::optional<RunRecipe>& stepRecipe, const std::optional<std::int32_t>& stepLoad,
                       QWidget* parent = nullptr);
    ~MeasurementsWindow() override;

    // The statistics, the step characteristics and the pinned responses,
    // measured now whether the window is open or not, each under its
    // box's title; a table with nothing to show is left out.
    std::vector<ReportTable> ReportTables();
    // The measured data the step response is compared with, which must
    // outlive the window; none until set.
    void CompareWith(const std::optional<lab::Measured>& measured) { comparedWith_ = &measured; }

protected:
    // Shows what the cursors read once they moved.
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Shows every heading and name again in the language now in force.
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Update();
    // Statistics over many points are taken now, for a report, or on a
    // worker while the window shows the rest.
    enum class Measure { Now, Meanwhile };
    void ShowTables(Measure measure);
    // A trace the statistics table lists, its heading and its quantity.
    struct ToList {
        const Trace* trace;
        std::string heading;
        std::optional<Quantity> quantity;
    };
    std::vector<ToList> StatisticsTraces() const;
    void ShowStatistics(Measure measure);
    // Appends to the statistics a row per shown series of measured samples,
    // over the steps in view.
    void ListSampleStatistics(Range view);
    void ShowStepCharacteristics();
    void ShowPinnedSteps();
    void ShowCursors();
    // The step response against the measured data, where both are.
    void ShowComparison();

    std::unique_ptr<Ui::MeasurementsWindow> ui_;
    // Whether the cursors' reading is on its way.
    bool cursorsQueued_ = false;
    TraceChart& chart_;
    const ChartCursors& cursors_;
    const ChartPins& pins_;
    // The pins' revision the pins table shows: it changes only with them.
    std::optional<std::uint64_t> pinsShown_;
    std::vector<PinMeasurement> pinsMeasured_;
    // The step response the step table shows: its traces' revisions and
    // what made them.
    struct StepShown {
        std::array<std::uint64_t, kDqQuantities.size()> revisions;
        std::optional<std::int32_t> load;
        bool recipe;
        bool operator==(const StepShown&) const = default;
    };
    std::optional<StepShown> stepShown_;
    // What the step table shows; nothing without a whole run.
    std::optional<analysis::Measurements> stepMeasured_;
    // What the statistics table shows, and its traces by the rows' places.
    std::vector<analysis::RangeRow> statistics_;
    std::vector<MeasuredTraceRow> statisticsTraces_;
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
    // The measured series' statistics the table shows, each taken once for
    // the steps in view at a step size.
    struct SampledStatistics {
        const MeasuredSeries* series;
        std::uint64_t revision;
        std::optional<analysis::StepRange> range;
        double secondsPerStep;
        std::optional<analysis::SampleStatistics> statistics;
        bool operator==(const SampledStatistics& other) const
        {
            return series == other.series && revision == other.revision && range == other.range &&
                   secondsPerStep == other.secondsPerStep;
        }
    };
    std::vector<SampledStatistics> sampled_;
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
    const std::optional<lab::Measured>* comparedWith_ = nullptr;
    // What the comparison table shows; none without measured data and a
    // step response.
    std::optional<lab::Comparison> comparison_;
    StepTraces stepTraces_;
    // What made the step response on the chart, if anything.
    const std::optional<RunRecipe>& stepRecipe_;
    const std::optional<std::int32_t>& stepLoad_;
    // Last, so it ends before the window's other members go.
    std::jthread statisticsWork_;
};
