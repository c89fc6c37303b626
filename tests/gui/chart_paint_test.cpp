// What the charts paint on screen, where they draw faster than the chart
// library would: each view change drawn once, with the marks, and the lines
// as the library draws them.

#include "ChartWindowFixture.h"

#include "chart/ChartLines.h"
#include "chart/ReadoutBox.h"
#include "chart/TraceChart.h"

#include "Pictures.h"

#include <QImage>

#include <cmath>
#include <limits>
#include <functional>
#include <ostream>
#include <utility>

namespace {

// A run of a million steps: a noisy settling swing, a stretch that is not
// a number, a spike one step wide, so every pixel column holds a first,
// least, largest and last value of its own, and a flat stretch, where the
// line is one level pixel row, with a gap.
const Trace& LongRun()
{
    static const Trace run = [] {
        Trace trace("Omega", clGreen);
        constexpr std::size_t kSteps = 1'000'000;
        trace.Start(clRed);
        for (std::size_t i = 0; i < kSteps; ++i) {
            const double t = static_cast<double>(i);
            const double noise = static_cast<double>((i * 2654435761u) % 1000) / 1000 - 0.5;
            double value = 157 * (1 - std::exp(-t / 90000)) * (1 + 0.2 * std::sin(t / 7000)) + noise * 6;
            if (i >= 400'000 && i < 400'050)
                value = std::numeric_limits<double>::quiet_NaN();
            if (i == 612'345)
                value = 400;
            if (i >= 800'000 && i < 900'000)
                value = i >= 850'000 && i < 850'010 ? std::numeric_limits<double>::quiet_NaN() : 100;
            trace.AppendNext(value);
        }
        return trace;
    }();
    return run;
}

// The runs drawn by the main chart's lines, sharing one cut of the
// columns, or by the library's graphs from every point, over steps `from`
// to `to` and values -20 to 260.
QImage DrawnRuns(bool ours, const std::vector<const Trace*>& runs, double from, double to, const QPen& pen,
                 QSize size = QSize(600, 300))
{
    ColumnCuts cuts;
    QCustomPlot plot;
    plot.setNotAntialiasedElements(QCP::aeAll);
    plot.setPlottingHint(QCP::phFastPolylines, true);
    plot.resize(size);
    plot.xAxis->setRange(from, to);
    plot.yAxis->setRange(-20, 260);
    for (const Trace* run : runs) {
        QCPAbstractPlottable* line = nullptr;
        if (ours)
            line = new TraceLine(plot.xAxis, plot.yAxis, *run, cuts);
        else {
            auto* graph = new QCPGraph(plot.xAxis, plot.yAxis);
            QVector<double> keys;
            for (std::size_t i = 0; i < run->Size(); ++i)
                keys.append(static_cast<double>(i));
            graph->setData(keys, QVector<double>(run->Values().begin(), run->Values().end()), true);
            line = graph;
        }
        line->setPen(pen);
    }
    plot.show();
    plot.replot();
    return plot.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage DrawnRun(bool ours, double from, double to, const QPen& pen)
{
    return DrawnRuns(ours, {&LongRun()}, from, to, pen);
}

struct RunView {
    const char* name;
    double from;
    double to;
    QPen pen = QPen(Qt::blue, 1);
};

void PrintTo(const RunView& view, std::ostream* out) { *out << view.name; }

class LongRunLines : public testing::TestWithParam<RunView> {};

// Whatever the zoom, the main chart's line shows the very pixels the
// library's graph draws from every point.
TEST_P(LongRunLines, AreThePixelsTheLibraryDrawsFromEveryPoint)
{
    const RunView& view = GetParam();
    const QImage library = DrawnRun(false, view.from, view.to, view.pen);
    QImage blank(library.size(), library.format());
    blank.fill(Qt::white);
    EXPECT_GT(PixelsDiffering(library, blank), 300) << "the run is drawn";
    EXPECT_EQ(PixelsDiffering(DrawnRun(true, view.from, view.to, view.pen), library), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Views, LongRunLines,
    testing::Values(RunView{"whole run", -0.5, 999'999.5}, RunView{"zoomed x10", 350'000, 450'000},
                    RunView{"zoomed x1000 about a gap", 399'700.25, 400'700.25},
                    RunView{"zoomed to single steps", 612'300, 612'400},
                    RunView{"panned to the end", 999'000, 1'001'000},
                    RunView{"wide pen", 0, 1e6, QPen(Qt::blue, 2.5)},
                    RunView{"onto a flat stretch", 799'950, 800'050},
                    RunView{"wide pen over a gap in a flat stretch", 849'950, 850'050, QPen(Qt::blue, 2.5)},
                    RunView{"dashed", 590'000, 640'000, QPen(Qt::blue, 1, Qt::DashLine)}));

// Lines share one cut of the pixel columns while the view, the plot's
// size and the runs' length stay: through views, sizes and a shorter run,
// they show what the library's graphs draw.
TEST(TraceLines, SharingTheirColumnsShowWhatTheLibraryDraws)
{
    static const Trace shorter = [] {
        Trace trace("Md", clRed);
        trace.Start(clRed);
        for (std::size_t i = 0; i < 700'000; ++i)
            trace.AppendNext(LongRun().Values()[i] / 2);
        return trace;
    }();
    struct Frame {
        const char* name;
        std::vector<const Trace*> runs;
        double from;
        double to;
        QSize size = QSize(600, 300);
    };
    const Frame frames[] = {
        {"one run", {&LongRun()}, -0.5, 999'999.5},
        {"beyond both ends", {&LongRun()}, -200'000, 1'200'000},
        {"and a shorter one", {&LongRun(), &shorter}, -200'000, 1'200'000},
        {"zoomed", {&LongRun(), &shorter}, 350'000, 450'000},
        {"narrower", {&LongRun(), &shorter}, 350'000, 450'000, QSize(500, 300)},
    };
    // One plot for all frames, as the chart's.
    ColumnCuts cuts;
    QCustomPlot plot;
    plot.setNotAntialiasedElements(QCP::aeAll);
    plot.setPlottingHint(QCP::phFastPolylines, true);
    plot.yAxis->setRange(-20, 260);
    plot.show();
    for (const Frame& frame : frames) {
        plot.resize(frame.size);
        plot.xAxis->setRange(frame.from, frame.to);
        for (std::size_t i = static_cast<std::size_t>(plot.plottableCount()); i < frame.runs.size(); ++i)
            (new TraceLine(plot.xAxis, plot.yAxis, *frame.runs[i], cuts))->setPen(QPen(Qt::blue, 1));
        plot.replot();
        const QImage ours = plot.grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(PixelsDiffering(ours, DrawnRuns(false, frame.runs, frame.from, frame.to, QPen(Qt::blue, 1), frame.size)),
                  0)
            << frame.name;
    }
}

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

// The chart's title measures its text as the library's does, after each
// change of its text, font or margins.
TEST_F(ChartWindow, TitleMeasuresItselfAsTheLibrarysDoes)
{
    QCPLayoutElement& title = *Chart()->plotLayout()->elementAt(0);
    auto& text = *qobject_cast<QCPTextElement*>(&title);
    QFont large = text.font();
    large.setPixelSize(40);
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"as it is", [] {}},
        {"text", [&] { text.setText(QStringLiteral("Разгон двигателя")); }},
        {"font", [&] { text.setFont(large); }},
        {"margins", [&] { text.setMargins(QMargins(5, 20, 5, 20)); }},
        {"no text", [&] { text.setText(QString()); }},
    };
    for (const auto& [name, change] : changes) {
        change();
        QCPTextElement twin(Chart(), text.text(), text.font());
        twin.setMargins(text.margins());
        const QCPLayoutElement& library = twin;
        EXPECT_EQ(title.minimumOuterSizeHint(), library.minimumOuterSizeHint()) << name;
        EXPECT_EQ(title.maximumOuterSizeHint(), library.maximumOuterSizeHint()) << name;
    }
}

// The chart's title keeps its picture while it stays; it shows what the
// library's title draws after each change of its text, colour, font or
// place.
TEST_F(ChartWindow, TitleDrawsAsTheLibrarysDoes)
{
    auto& title = *qobject_cast<QCPTextElement*>(Chart()->plotLayout()->elementAt(0));
    QFont large = title.font();
    large.setPixelSize(30);
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"as it is", [] {}},
        {"text", [&] { title.setText(QStringLiteral("Механическая характеристика")); }},
        {"colour", [&] { title.setTextColor(Qt::darkRed); }},
        {"font", [&] { title.setFont(large); }},
        {"place", [this] { Chart()->resize(Chart()->size() + QSize(40, 0)); }},
    };
    for (const auto& [name, change] : changes) {
        change();
        Chart()->replot();
        const QImage ours = Chart()->grab().toImage();
        auto* twin = new QCPTextElement(Chart(), title.text(), title.font());
        twin->setTextColor(title.textColor());
        twin->setTextFlags(title.textFlags());
        twin->setMargins(title.margins());
        twin->setLayer(title.layer());
        // Out of the layout, the title would still draw on its layer.
        Chart()->plotLayout()->take(&title);
        title.setVisible(false);
        Chart()->plotLayout()->addElement(0, 0, twin);
        Chart()->replot();
        EXPECT_EQ(PixelsDiffering(ours, Chart()->grab().toImage()), 0) << name;
        Chart()->plotLayout()->remove(twin);
        Chart()->plotLayout()->addElement(0, 0, &title);
        title.setVisible(true);
    }
}

// The library's own text item, set up as the box is.
QCPItemText& LibraryTwin(const ReadoutBox& box, QCustomPlot& plot)
{
    auto& twin = *new QCPItemText(&plot);
    twin.setLayer(box.layer());
    twin.setClipToAxisRect(box.clipToAxisRect());
    twin.position->setType(box.position->type());
    twin.setPositionAlignment(box.positionAlignment());
    twin.setTextAlignment(box.textAlignment());
    twin.setPadding(box.padding());
    twin.setPen(box.pen());
    twin.setBrush(box.brush());
    twin.setFont(box.font());
    twin.setColor(box.color());
    return twin;
}

// The trackers' box keeps its picture while its text stays: moved, given
// another text or shown at another pixel ratio, it shows the pixels the
// library's item draws there.
TEST(ReadoutBoxes, DrawWhatTheLibrarysTextItemDraws)
{
    QCustomPlot plot;
    plot.setNotAntialiasedElements(QCP::aeAll);
    plot.addLayer(QStringLiteral("marks"));
    plot.layer(QStringLiteral("marks"))->setMode(QCPLayer::lmBuffered);
    plot.resize(400, 300);
    plot.show();
    auto& box = *new ReadoutBox(plot);
    QCPItemText& twin = LibraryTwin(box, plot);
    const auto picture = [&plot](QCPAbstractItem& shown, QCPAbstractItem& hidden) {
        shown.setVisible(true);
        hidden.setVisible(false);
        plot.replot();
        return plot.grab().toImage();
    };
    const QString values = QStringLiteral("Шаг 1000\nMd: 1.5\nOmega: 157.25");
    const QString time = QStringLiteral("t = 0.25 с");
    const struct {
        QString text;
        QPointF at;
        double pixelRatio;
    } moves[] = {
        {values, {100, 50}, 1}, {values, {237, 181}, 1}, {time, {5, 5}, 1},
        {time, {40.4, 60.6}, 1}, {time, {40, 61}, 2},    {values, {100, 50}, 2},
    };
    QImage before;
    for (const auto& [text, at, pixelRatio] : moves) {
        plot.setBufferDevicePixelRatio(pixelRatio);
        box.setText(text);
        box.PlaceAt(at);
        twin.setText(text);
        twin.position->setCoords(box.position->coords());
        const QImage ours = picture(box, twin);
        EXPECT_NE(ours, before) << "moved to " << at.x() << ", " << at.y();
        EXPECT_EQ(ours, picture(twin, box)) << "at " << at.x() << ", " << at.y() << " by " << pixelRatio;
        before = ours;
    }
}

} // namespace
