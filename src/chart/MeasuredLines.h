#pragma once

#include "plot/ChartRange.h"
#include "plot/Colour.h"
#include "plot/CsvTable.h"
#include "plot/Trace.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class QCPAbstractPlottable;
class QCPScatterStyle;
class QCPAxis;
class QCPGraph;
class QCustomPlot;

// The thin line between measured samples: grey, so the dots read first and
// the runs' coloured lines stay in front of the eye.
inline constexpr Colour kMeasuredLine = Rgb(0x70, 0x70, 0x70);
// Each quantity's dot; Md and Omega are told apart without colour, as on
// paper.
QCPScatterStyle MeasuredDot(Quantity quantity);

// One measured quantity's samples, at their own times in seconds, in
// ascending time; any rate, evenly spaced or not.
// A residual is a fit's error, the run's value less the measured one, on
// the quantity's axis.
struct MeasuredSeries {
    Quantity quantity;
    std::vector<double> seconds;
    std::vector<double> values;
    bool residual = false;
};

// The least and largest steps and values of measured samples, as the
// chart's automatic ranges take them in: the left axis's quantities and
// the currents apart. A range with min > max holds nothing.
struct MeasuredSpans {
    Range x;
    Range left;
    Range right;
};

// A measured sample the tracker reads: its graph's name, its time and
// value.
struct MeasuredReading {
    QString name;
    double seconds;
    double value;
};

// Where measured samples stand on the chart, whose keys are the steps of
// the run shown: each sample at the step its time falls at, as the
// runs' times are read (AxisUnits.h), so a sample taken at a run's step
// lies on that step's point.
std::vector<double> MeasuredKeys(const std::vector<double>& seconds, double secondsPerStep);
// What the series span in steps, out of the style for reports (currents on
// the right) or in it (Omega on the right, currents left out).
MeasuredSpans SpansOf(const std::vector<const MeasuredSeries*>& series, double secondsPerStep, bool report);
// The ranges found, widened to take in the spans.
AxisRanges Including(AxisRanges found, Range x, Range y);

// The measured data drawn over the main chart's runs: a graph per
// quantity, its samples as dots on a thin grey line, each quantity's dot of
// its own shape, unlike the runs' and pins' solid coloured lines; a fit's
// residual as red crosses. The
// graphs follow the step size of the run shown and the style for reports.
class MeasuredLines {
public:
    explicit MeasuredLines(QCustomPlot& chart) : chart_(chart) {}
    ~MeasuredLines();
    MeasuredLines(const MeasuredLines&) = delete;
    MeasuredLines& operator=(const MeasuredLines&) = delete;

    // Puts these series in place of those shown before.
    void Show(std::vector<MeasuredSeries> series);
    void Clear();
    const std::vector<MeasuredSeries>& Series() const { return series_; }
    std::vector<QCPAbstractPlottable*> Graphs() const;
    // The series whose graph the user shows.
    std::vector<const MeasuredSeries*> ShownSeries() const;
    // The same, each with its graph's name.
    struct NamedSeries {
        QString name;
        const MeasuredSeries* series;
    };
    std::vector<NamedSeries> ShownNamed() const;

    // The shown series of measured data, all at the same times, as a CSV
    // export carries them; none while none is shown. A fit's residual is
    // the fit's, not the bench's, and stays out.
    std::optional<CsvSamples> ShownSamples() const;

    // Each shown graph's sample nearest the step that holds a number, as
    // the tracker and the cursors read it; a graph with none is left out.
    std::vector<MeasuredReading> NearestTo(double step) const;
    // Changes with every Show() and Clear(): what the series are.
    std::uint64_t Revision() const { return revision_; }

    // Keys for the step size, axes and pens for the style; the left axis
    // holds Md (and Omega out of the report's style), the right one the
    // currents, or Omega in that style.
    void Apply(double secondsPerStep, bool report, QCPAxis& left, QCPAxis& right);

private:
    QCustomPlot& chart_;
    std::vector<MeasuredSeries> series_;
    std::vector<QCPGraph*> graphs_;
    // Each series' samples' steps, as its graph has them.
    std::vector<std::vector<double>> keys_;
    std::uint64_t revision_ = 0;
    // The step size the graphs' keys were made for.
    std::optional<double> keyedFor_;
    // Which graphs the user showed, while the style for reports hides the
    // currents.
    std::optional<std::vector<bool>> shownOutOfReport_;
};
