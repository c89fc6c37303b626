#pragma once

#include "chart/ChartViewState.h"
#include "plot/Colour.h"
#include "plot/CsvTable.h"
#include "plot/PlotNavigation.h"

#include <qcustomplot.h>

#include <optional>
#include <vector>
#include <string>

class QPaintDevice;

// The font of every text of a report, charts and all.
inline const QString kReportFontFamily = QStringLiteral("Liberation Sans");

// The program's colour as the chart library takes it.
QColor ToQColor(Colour colour);

// What the charts' legends draw of a line beside its name.
class LegendIcon {
public:
    virtual void DrawIcon(QCPPainter* painter, const QRectF& rect) const = 0;

protected:
    ~LegendIcon() = default;
};

// What every chart of the program shares: the silver background, a
// right-justified title above the plot, the legend to the right of it
// where a click hides or shows an entry, the view state that says what is
// shown, and pictures for files. The tools (zoom and pan, menu, export)
// work on this, so every view has the same ones. A chart of a kind says
// how its entries are drawn: each entry of the view state is one
// plottable.
class PlotChart : public QCustomPlot {
    Q_OBJECT
    // Set from the window's form.
    Q_PROPERTY(QString titleText READ TitleText WRITE SetTitleText)

public:
    explicit PlotChart(QWidget* parent = nullptr);
    ~PlotChart() override;

    ChartViewState& View() { return *view_; }
    const ChartViewState& View() const { return *view_; }

    // The ranges the axes show now.
    AxisRanges ShownRanges() const;
    // The plot area in the chart's pixels and the ranges it shows.
    PlotMapping Mapping() const;
    bool InPlotArea(QPointF pixel) const;
    // Where the entry's legend item is, in the chart's pixels; empty while
    // the legend lists only the shown entries.
    QRect LegendEntryRect(int index) const;
    QColor TraceColour(int index) const { return Plottable(index)->pen().color(); }
    // Repaints the layer of marks ("marks": the trackers, the cursors, the
    // zoom rectangle) alone, after they moved.
    void RepaintMarks();

    // Paints the chart as a picture for a file or the clipboard: lines
    // smoothed, and the legend listing the shown entries only. A vector
    // device gets one path per line, each as wide as its pen. Laid out at
    // `size` where one is given, else at the chart's.
    void PaintPicture(QPaintDevice& device, qreal scale, bool vector, QSize size = QSize());
    // The shown entries' points as separated values, given to write in
    // pieces so that a long run's table is never held whole.
    virtual void WriteCsv(CsvStyle style, const CsvWrite& write) const = 0;

    QString TitleText() const;
    void SetTitleText(const QString& text);

    // The background, title, grid, font and number format of the style for
    // reports (white, untitled, a light grid, Liberation Sans, a decimal
    // comma), or the chart's own.
    void ShowReportLook(bool report);

protected:
    // Sets what the axes read in and how the lines are drawn, before the
    // legend dims the hidden entries and the ranges are applied; a chart
    // whose axes never change keeps the default.
    virtual void ApplyAxes() {}
    // Whether the legend lists the entry; every one unless told.
    virtual bool InLegend(int) const { return true; }
    // The plottable that draws the view state's entry.
    virtual QCPAbstractPlottable* Plottable(int index) const = 0;
    // Plottables drawn over the entries that are no traces of the view
    // state, listed in the legend after them, where a click hides or shows
    // each; none unless told.
    virtual std::vector<QCPAbstractPlottable*> Overlays() const { return {}; }
    // Once after a view change, the layout it made for the replot it put
    // off stands, unless the chart was resized meanwhile.
    void updateLayout() override;
    // A change of language titles the axes again.
    void changeEvent(QEvent* event) override;

private:
    void BuildLayout();
    void ApplyView();
    void ToggleOnLegendClick(QCPAbstractLegendItem* item);
    bool LegendListsEntries() const;
    void FillLegend(bool shownOnly);
    std::vector<int> LegendEntries() const;
    // The plottables the legend lists, in its order.
    std::vector<QCPAbstractPlottable*> LegendPlottables(bool shownOnly) const;
    void DimLegendEntry(int index);
    void DimLegendItem(QCPAbstractPlottable& line, bool hidden);

    ChartViewState* view_;
    QCPTextElement* title_;
    QCPLayer* marks_;
    // What the numbers are written in, and the fonts of the axes and the
    // legend, out of the style for reports.
    QLocale ownLocale_;
    QFont ownAxisFont_;
    QFont ownLegendFont_;
    // The viewport a view change laid the chart out for.
    std::optional<QRect> laidOutFor_;
    // Whether a replot is on its way; any replot does its work.
    bool replotQueued_ = false;
};
