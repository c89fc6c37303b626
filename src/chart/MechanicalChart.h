#pragma once

#include "chart/PlotChart.h"
#include "chart/TrackerIndices.h"
#include "plot/PlaneCurves.h"

#include <deque>
#include <optional>
#include <utility>
#include <vector>

class PlaneLines;
class QCPItemText;

// The nearest point of a shown curve to a place in the plane.
struct NearestPlanePoint {
    int curve;
    PlanePoint point;
};

// The mechanical characteristic: speed up against torque across, each
// run's path a curve in the order of its steps (speed is no function of
// torque), with the model's curves beside them. The view state's entries
// are the curves, so the legend, the zoom and the exports work as on the
// main chart. A path's end mark is no entry of the legend: it is shown and
// hidden with its path.
class MechanicalChart : public PlotChart {
    Q_OBJECT

public:
    explicit MechanicalChart(QWidget* parent = nullptr);
    ~MechanicalChart() override;

    // Draws these in place of the curves before, in one change of the view;
    // a curve named as one the user hid stays hidden, and the zoom stays.
    void ShowCurves(std::vector<PlaneCurve> curves);
    const std::vector<PlaneCurve>& Curves() const { return curves_; }

    // The shown curves' point nearest the pixel, measured in pixels: the
    // first of those as near, in the curves' order and each curve's; none
    // if none is within `reach` pixels. The reach is what keeps a search
    // short where the pointer is far from ten million points. None too
    // while a shown path of many points is still being sorted for the
    // search: the first search sets that going, on a worker.
    std::optional<NearestPlanePoint> NearestPoint(QPointF pixel, double reach) const;
    // Whether a shown path is being sorted for the search; Sorted() is
    // emitted when a path is.
    bool Sorting() const;

    // One row per point of each shown curve.
    void WriteCsv(CsvStyle style, const CsvWrite& write) const override;

signals:
    void Sorted();

protected:
    void ApplyAxes() override;
    QCPAbstractPlottable* Plottable(int index) const override;
    bool InLegend(int index) const override;

private:
    // Whether the curve is in sight: a path's end while its path is.
    bool IsShown(int index) const;
    std::vector<int> ShownIndices() const;
    std::vector<const PlaneCurve*> ShownCurves() const;
    void ShowMarksOfShownCurves();
    void WriteLabels();
    // The shown curves, but those that show the points of one before.
    std::vector<int> ShownDistinctIndices() const;

    std::vector<PlaneCurve> curves_;
    // The labels of the labelled curves, each with its curve's index.
    std::vector<std::pair<int, QCPItemText*>> labels_;
    // The view state's entries name the curves; their points are here.
    std::deque<Trace> entries_;
    std::vector<PlaneLines*> lines_;
    // Each curve's least and largest values, for the view's ranges.
    std::vector<AxisRanges> bounds_;
    // The curves' points sorted for the tracker, once it asks.
    mutable TrackerIndices indices_;
};
