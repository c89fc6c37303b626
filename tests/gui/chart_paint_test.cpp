// What the charts paint on screen, where they draw faster than the chart
// library would: each view change drawn once, with the marks, and the lines
// as the library draws them.

#include "ChartWindowFixture.h"

#include "chart/ChartLines.h"
#include "chart/TraceChart.h"

#include <QImage>

#include <cmath>
#include <functional>
#include <ostream>
#include <utility>

namespace {

int PixelsDiffering(const QImage& a, const QImage& b)
{
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    return differing;
}

// A path that winds in towards a point and stays there, as a run's does on
// the mechanical characteristic, with a step's jitter; its last half in the
// same few pixels over and over.
std::pair<QVector<double>, QVector<double>> SettlingPath()
{
    QVector<double> x;
    QVector<double> y;
    for (int i = 0; i < 2000; ++i) {
        const double radius = 80 * std::exp(-i / 150.0);
        x.append(50 + radius * std::cos(i / 20.0) + (i % 7) * 0.05);
        y.append(50 + radius * std::sin(i / 20.0) - (i % 5) * 0.05);
    }
    return {x, y};
}

// A plot as the charts set theirs up on screen, the path on it drawn by a
// line of the charts' or by the library's own, in this pen.
QImage Drawn(bool ours, const QPen& pen)
{
    QCustomPlot plot;
    plot.setNotAntialiasedElements(QCP::aeAll);
    plot.setPlottingHint(QCP::phFastPolylines, true);
    plot.resize(400, 300);
    plot.xAxis->setRange(-40, 140);
    plot.yAxis->setRange(-40, 140);
    const auto [x, y] = SettlingPath();
    QCPGraph* line = ours ? new ChartGraph(plot.xAxis, plot.yAxis) : new QCPGraph(plot.xAxis, plot.yAxis);
    line->setData(x, y);
    line->setPen(pen);
    plot.show();
    plot.replot();
    return plot.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

struct LineKind {
    const char* name;
    QPen pen;
    // Pixels that may differ, in thousandths of those drawn.
    int differingPerMille;
};

void PrintTo(const LineKind& kind, std::ostream* out) { *out << kind.name; }

class ChartLines : public testing::TestWithParam<LineKind> {};

// Solid lines are the very pixels the library draws, each segment drawn
// once.
TEST_P(ChartLines, DrawWhatTheLibraryDraws)
{
    const LineKind& kind = GetParam();
    const QImage library = Drawn(false, kind.pen);
    QImage blank(library.size(), library.format());
    blank.fill(Qt::white);
    const int drawn = PixelsDiffering(library, blank);
    EXPECT_GT(drawn, 1000) << "the path is drawn";
    EXPECT_LE(PixelsDiffering(Drawn(true, kind.pen), library), drawn * kind.differingPerMille / 1000) << drawn << " drawn";
}

INSTANTIATE_TEST_SUITE_P(
    Pens, ChartLines,
    testing::Values(LineKind{"graph", QPen(Qt::blue, 1), 0}));

// The chart draws each view change once, after those who follow the view
// placed their marks, and the tracker's layer alone otherwise: whatever
// the user did, the screen shows what a full replot would.
TEST_F(ChartWindow, EachViewChangeShowsWhatAFullReplotWould)
{
    RunAll();
    const PlotMapping m = Settled();
    const QPointF middle = At(m, 1000, 80);
    // The tracker shows, and follows every change.
    Mouse(QEvent::MouseMove, middle, Qt::NoButton, Qt::NoButton);
    const std::pair<const char*, std::function<void()>> actions[] = {
        {"wheel notch", [&] { Wheel(middle, 120); }},
        {"drag step", [&] { Drag(Qt::MiddleButton, Qt::NoModifier, middle, middle + QPointF(8, 4)); }},
        {"key", [this] { QTest::keyClick(Chart(), Qt::Key_Right); }},
        {"band", [&] { Drag(Qt::LeftButton, Qt::NoModifier, middle, middle + QPointF(60, 40)); }},
        {"tracker move", [&] { Mouse(QEvent::MouseMove, middle + QPointF(5, 0), Qt::NoButton, Qt::NoButton); }},
        {"legend click", [this] { QTest::mouseClick(Chart(), Qt::LeftButton, {}, Chart()->LegendEntryRect(5).center()); }},
        {"new run", [this] { Click("Button1"); }},
        {"reset", [this] { QTest::keyClick(Chart(), Qt::Key_Home); }},
        // A view change laid out for one size, drawn at another.
        {"wheel notch and resize", [&] {
             Wheel(middle, 120);
             Chart()->resize(Chart()->size() + QSize(40, 20));
         }},
    };
    for (const auto& [name, act] : actions) {
        act();
        QCoreApplication::processEvents();
        const QImage shown = Chart()->grab().toImage();
        Chart()->replot();
        EXPECT_EQ(shown, Chart()->grab().toImage()) << name;
    }
}

// The chart's legend entries lay their names out once; what they draw is
// what the library's entries draw, a hidden entry's faded name included.
TEST_F(ChartWindow, LegendEntriesDrawAsTheLibrarysDo)
{
    RunAll();
    Chart()->View().SetTraceShown(2, false);
    QCoreApplication::processEvents();
    Chart()->replot();
    const QImage ours = Chart()->grab().toImage();
    QCPLegend& legend = *Chart()->legend;
    std::vector<std::pair<QCPAbstractPlottable*, QColor>> entries;
    for (int i = 0; i < legend.itemCount(); ++i) {
        auto* entry = qobject_cast<QCPPlottableLegendItem*>(legend.item(i));
        entries.emplace_back(entry->plottable(), entry->textColor());
    }
    ASSERT_EQ(entries.size(), 6U);
    legend.clearItems();
    for (const auto& [plottable, colour] : entries) {
        auto* entry = new QCPPlottableLegendItem(&legend, plottable);
        entry->setTextColor(colour);
        legend.addItem(entry);
    }
    Chart()->replot();
    EXPECT_EQ(ours, Chart()->grab().toImage());
}

} // namespace
