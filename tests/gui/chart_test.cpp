#include "ChartWindowFixture.h"

#include "chart/ChartExporter.h"
#include "chart/ChartMenu.h"
#include "chart/ChartNavigator.h"
#include "chart/ChartTracker.h"
#include "plot/PlotNavigation.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"

#include <QAction>
#include <QRegularExpression>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <sys/resource.h>

#include <charconv>
#include <csignal>
#include <functional>
#include <optional>
#include <cmath>
#include <string>
#include <string_view>
#include <utility>

namespace {

// Zoom and pan come out of pixel arithmetic of their own, so they are
// compared to what the plot mapping predicts within a rounding.
void ExpectNear(const AxisRanges& shown, const AxisRanges& expected, const std::string& what)
{
    auto near = [](Range got, Range wanted) {
        const double tolerance = 1e-9 * wanted.Span();
        return std::abs(got.min - wanted.min) <= tolerance && std::abs(got.max - wanted.max) <= tolerance;
    };
    EXPECT_TRUE(near(shown.x, expected.x) && near(shown.y, expected.y))
        << what << ": shown x " << shown.x.min << ".." << shown.x.max << " y " << shown.y.min << ".." << shown.y.max
        << ", expected x " << expected.x.min << ".." << expected.x.max << " y " << expected.y.min << ".."
        << expected.y.max;
}

Range Scaled(Range range, double fixed, double factor)
{
    return {fixed - (fixed - range.min) * factor, fixed + (range.max - fixed) * factor};
}

Range Shifted(Range range, double by)
{
    return {range.min + by, range.max + by};
}

TEST_F(ChartWindow, WheelZoomsAboutThePointerAndANewRunKeepsTheZoomUntilADoubleClick)
{
    RunStepResponse(QStringLiteral("10"));
    for (auto [modifiers, scalesX, scalesY] : {std::tuple{Qt::NoModifier, true, true},
                                               std::tuple{Qt::ControlModifier, true, false},
                                               std::tuple{Qt::ShiftModifier, false, true}}) {
        const PlotMapping before = Settled();
        const QPointF pointer = At(before, 700, 40);
        Wheel(pointer, 120, modifiers);
        const double factor = ChartNavigator::kZoomPerStep;
        const AxisRanges zoomed{
            scalesX ? Scaled(before.ranges.x, before.ValueAtX(pointer.x()), factor) : before.ranges.x,
            scalesY ? Scaled(before.ranges.y, before.ValueAtY(pointer.y()), factor) : before.ranges.y};
        ExpectNear(Shown(), zoomed, "wheel with modifiers " + std::to_string(modifiers));

        const AxisRanges shown = Shown();
        Click("Button1");
        EXPECT_EQ(Shown(), shown) << "a new run keeps the user's view";
        Mouse(QEvent::MouseButtonDblClick, pointer, Qt::LeftButton, Qt::LeftButton);
        EXPECT_FALSE(Chart()->View().IsZoomed());
        EXPECT_EQ(Shown(), Chart()->View().Traces().Spanning()) << "back to ranges that span both runs";
    }
}

TEST_F(ChartWindow, LeftDragZoomsToTheBandMiddleOrCtrlDragPansRightDragDoesNothing)
{
    RunStepResponse(QStringLiteral("10"));
    enum Effect { Band, Pan, None };
    struct Case {
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
        Effect effect;
    };
    for (const Case& c : {Case{Qt::LeftButton, Qt::NoModifier, Band}, Case{Qt::MiddleButton, Qt::NoModifier, Pan},
                          Case{Qt::LeftButton, Qt::ControlModifier, Pan},
                          Case{Qt::RightButton, Qt::NoModifier, None}}) {
        QTest::keyClick(Chart(), Qt::Key_Home);
        const PlotMapping m = Settled();
        const QPointF from = At(m, 400, 100);
        const QPointF to = At(m, 1200, 20);
        Drag(c.button, c.modifiers, from, to);
        const AxisRanges expected[] = {
            {{m.ValueAtX(from.x()), m.ValueAtX(to.x())}, {m.ValueAtY(to.y()), m.ValueAtY(from.y())}},
            {Shifted(m.ranges.x, m.ValueAtX(from.x()) - m.ValueAtX(to.x())),
             Shifted(m.ranges.y, m.ValueAtY(from.y()) - m.ValueAtY(to.y()))},
            m.ranges};
        ExpectNear(Shown(), expected[c.effect], "button " + std::to_string(c.button));
        EXPECT_EQ(Chart()->View().IsZoomed(), c.effect != None);
    }
    QTest::keyClick(Chart(), Qt::Key_Home);
    const QPointF middle = At(Settled(), 1000, 80);
    Drag(Qt::LeftButton, Qt::NoModifier, middle, middle + QPointF(3, 30));
    EXPECT_FALSE(Chart()->View().IsZoomed()) << "a band 3 pixels wide is a click";
}

TEST_F(ChartWindow, KeysZoomAboutTheMiddleAndPanByATenthEachWay)
{
    RunStepResponse(QStringLiteral("10"));
    const AxisRanges whole = Settled().ranges;
    const double zoom = ChartNavigator::kZoomPerStep;
    const double middleX = (whole.x.min + whole.x.max) / 2;
    const double middleY = (whole.y.min + whole.y.max) / 2;
    const double tenthX = whole.x.Span() / 10;
    const double tenthY = whole.y.Span() / 10;
    const std::pair<Qt::Key, AxisRanges> keys[] = {
        {Qt::Key_Plus, {Scaled(whole.x, middleX, zoom), Scaled(whole.y, middleY, zoom)}},
        {Qt::Key_Minus, {Scaled(whole.x, middleX, 1 / zoom), Scaled(whole.y, middleY, 1 / zoom)}},
        {Qt::Key_Right, {Shifted(whole.x, tenthX), whole.y}},
        {Qt::Key_Left, {Shifted(whole.x, -tenthX), whole.y}},
        {Qt::Key_Up, {whole.x, Shifted(whole.y, tenthY)}},
        {Qt::Key_Down, {whole.x, Shifted(whole.y, -tenthY)}},
    };
    for (const auto& [key, expected] : keys) {
        QTest::keyClick(Chart(), key);
        ExpectNear(Shown(), expected, "key " + std::to_string(key));
        QTest::keyClick(Chart(), Qt::Key_Home);
        EXPECT_EQ(Shown(), whole);
    }
}

TEST_F(ChartWindow, ZoomStopsWhereLabelsDifferAndAtAHundredTimesTheTracesAndANotchBeyondDoesNothing)
{
    RunStepResponse(QStringLiteral("10"));
    const ViewLimits limits = Chart()->View().Limits();
    const QPointF pointer = At(Settled(), 1000, 80);
    // 400 notches in one turn: 1.25 to the 400th is about 1e39, far past
    // either limit.
    for (int angle : {48000, -48000}) {
        const bool in = angle > 0;
        Wheel(pointer, angle);
        const AxisRanges shown = Shown();
        // The spans come out of a factor that is a quotient: within a
        // relative rounding.
        EXPECT_NEAR(shown.x.Span(), in ? limits.x.finest : limits.x.widest, 1e-9 * shown.x.Span());
        EXPECT_NEAR(shown.y.Span(), in ? limits.y.finest : limits.y.widest, 1e-9 * shown.y.Span());
        Settled();
        for (QCPAxis* axis : {Chart()->xAxis, Chart()->yAxis}) {
            const QVector<QString> labels = axis->tickVectorLabels();
            EXPECT_GE(labels.size(), 2) << "after turns of " << angle;
            EXPECT_EQ(QSet<QString>(labels.begin(), labels.end()).size(), labels.size())
                << labels.join(' ').toStdString();
        }

        QSignalSpy changed(&Chart()->View(), &ChartViewState::Changed);
        Wheel(pointer, in ? 120 : -120);
        QTest::keyClick(Chart(), in ? Qt::Key_Plus : Qt::Key_Minus);
        QCoreApplication::processEvents();
        EXPECT_EQ(changed.count(), 0) << "beyond the limit a notch or a key does nothing";
        EXPECT_EQ(Shown(), shown);
        EXPECT_TRUE(errors_.empty());
    }
}

// Whatever the user does to the view changes it once, and the chart paints
// that once.
TEST_F(ChartWindow, EveryActionOnTheViewChangesItOnceAndIsPainted)
{
    RunAll();
    const PlotMapping m = Settled();
    const QPointF middle = At(m, 1000, 80);
    const QPoint legendEntry = Chart()->LegendEntryRect(5).center();
    // The tracker's first showing lays out marks of its own: done before
    // counting what the view's changes paint.
    Mouse(QEvent::MouseMove, middle, Qt::NoButton, Qt::NoButton);
    auto key = [this](Qt::Key pressed, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return [this, pressed, modifiers] { QTest::keyClick(Chart(), pressed, modifiers); };
    };
    const std::pair<const char*, std::function<void()>> actions[] = {
        {"wheel notch", [&] { Wheel(middle, 120); }},
        {"drag step", [&] { Drag(Qt::MiddleButton, Qt::NoModifier, middle, middle + QPointF(8, 4)); }},
        {"ctrl drag step", [&] { Drag(Qt::LeftButton, Qt::ControlModifier, middle, middle - QPointF(8, 4)); }},
        {"right", key(Qt::Key_Right)},
        {"up", key(Qt::Key_Up)},
        {"plus", key(Qt::Key_Plus)},
        {"left", key(Qt::Key_Left)},
        {"down", key(Qt::Key_Down)},
        {"minus", key(Qt::Key_Minus)},
        {"band", [&] { Drag(Qt::LeftButton, Qt::NoModifier, middle, middle + QPointF(60, 40)); }},
        {"back", key(Qt::Key_Z, Qt::ControlModifier)},
        {"forward", key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier)},
        {"menu back", [this] { Trigger(QStringLiteral("Предыдущий масштаб")); }},
        {"home", key(Qt::Key_Home)},
        {"new run", [this] { Click("Button1"); }},
        {"double click", [&] {
             Wheel(middle, 120);
             QCoreApplication::processEvents();
             Mouse(QEvent::MouseButtonDblClick, middle, Qt::LeftButton, Qt::LeftButton);
         }},
        {"legend click", [&] { QTest::mouseClick(Chart(), Qt::LeftButton, {}, legendEntry); }},
    };
    for (const auto& [name, act] : actions) {
        const AxisRanges before = Shown();
        QSignalSpy changed(&Chart()->View(), &ChartViewState::Changed);
        QSignalSpy painted(Chart(), &QCustomPlot::afterReplot);
        act();
        QCoreApplication::processEvents();
        // The double click zooms first, to have something to reset.
        const int expected = std::string_view(name) == "double click" ? 2 : 1;
        EXPECT_EQ(changed.count(), expected) << name;
        EXPECT_EQ(painted.count(), expected) << name;
        EXPECT_EQ(Shown(), Chart()->View().Ranges()) << name << ": the axes show the view";
        // The others end at the automatic ranges, which may be as before.
        if (std::string_view(name) != "new run" && std::string_view(name) != "legend click" &&
            std::string_view(name) != "double click") {
            EXPECT_NE(Shown(), before) << name;
        }
    }
}

TEST_F(ChartWindow, CtrlZGoesBackThroughTheViewsAWheelTurnIsOneStepAndANewRunIsNone)
{
    RunStepResponse(QStringLiteral("10"));
    const QPointF middle = At(Settled(), 1000, 80);
    // Two notches at once, well within a turn's pause.
    Wheel(middle, 120);
    Wheel(middle, 120);
    const AxisRanges turned = Shown();
    QTest::keyClick(Chart(), Qt::Key_Right);
    const AxisRanges moved = Shown();
    Click("Button1");
    EXPECT_EQ(Shown(), moved) << "a new run keeps the view";

    const auto back = [this] { QTest::keyClick(Chart(), Qt::Key_Z, Qt::ControlModifier); };
    const auto forward = [this] { QTest::keyClick(Chart(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); };
    back();
    EXPECT_EQ(Shown(), turned) << "the new run was no step";
    back();
    EXPECT_FALSE(Chart()->View().IsZoomed()) << "both notches were one step";
    EXPECT_EQ(Shown(), Chart()->View().Traces().Spanning()) << "the whole of both runs";
    back();
    EXPECT_FALSE(Chart()->View().IsZoomed()) << "nothing before the first view";
    forward();
    EXPECT_EQ(Shown(), turned);
    forward();
    EXPECT_EQ(Shown(), moved);

    QTest::keyClick(Chart(), Qt::Key_Home);
    EXPECT_FALSE(Chart()->View().IsZoomed());
    Trigger(QStringLiteral("Предыдущий масштаб"));
    EXPECT_EQ(Shown(), moved) << "a reset is a step";
}

TEST_F(ChartWindow, ALegendClickHidesATraceDimsItsEntryAndTheRangesFollow)
{
    RunAll();
    const AxisRanges all = Shown();
    const int omegaStep = 5;
    ClickLegendEntry(omegaStep);
    EXPECT_FALSE(Chart()->View().Traces().IsShown(omegaStep));
    EXPECT_FALSE(Chart()->plottable(omegaStep)->visible());
    ASSERT_FALSE(Chart()->LegendEntryRect(omegaStep).isEmpty()) << "the entry stays to be clicked again";
    EXPECT_LT(Chart()->legend->itemWithPlottable(Chart()->plottable(omegaStep))->textColor().alpha(), 255);
    EXPECT_EQ(Shown(), Chart()->View().Traces().Spanning());
    EXPECT_LT(Shown().y.max, all.y.max) << "only Omega of the step response reaches 157";

    ClickLegendEntry(omegaStep);
    EXPECT_TRUE(Chart()->plottable(omegaStep)->visible());
    EXPECT_EQ(Chart()->legend->itemWithPlottable(Chart()->plottable(omegaStep))->textColor().alpha(), 255);
    EXPECT_EQ(Shown(), all);
}

TEST_F(ChartWindow, TrackerNamesEachShownTraceWithItsRunAtTheNearestStep)
{
    RunStepResponse(QStringLiteral("10"));
    Click("Button1");
    const PlotMapping mapping = Settled();
    const auto& md = form1_->Series(RunKind::Step, Quantity::Md).Points();
    const auto& omega = form1_->Series(RunKind::Step, Quantity::Omega).Points();
    const ChartTracker& tracker = *Tools().tracker;
    auto pointAt = [this](QPointF at) { Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); };

    pointAt({mapping.area.left - 5, mapping.area.top + 5});
    EXPECT_FALSE(tracker.Shown()) << "nothing until the pointer is over the plot";
    pointAt({mapping.PixelAtX(1000.3), mapping.PixelAtY(80)});
    ASSERT_TRUE(tracker.Shown());
    EXPECT_EQ(tracker.Shown()->x, 1000);
    EXPECT_EQ(tracker.Shown()->values.size(), 4u);
    const QString text = tracker.BoxText();
    for (const char* heading : {"Md (Gauss)", "Omega (Gauss)", "Md (Step)", "Omega (Step)"})
        EXPECT_TRUE(text.contains(QLatin1String(heading))) << text.toStdString();
    for (double shown : {md[1000].y, omega[1000].y})
        EXPECT_TRUE(text.contains(QString::fromStdString(toolkit::FloatToStr(shown)))) << text.toStdString();

    ClickLegendEntry(4);
    pointAt({mapping.PixelAtX(1000.3), mapping.PixelAtY(80)});
    ASSERT_TRUE(tracker.Shown());
    EXPECT_EQ(tracker.Shown()->values.size(), 3u) << "hidden traces drop out";
    EXPECT_FALSE(tracker.BoxText().contains(QLatin1String("Md (Step)")));
    QTest::keyClick(Chart(), Qt::Key_Right);
    QCoreApplication::processEvents();
    ASSERT_TRUE(tracker.Shown());
    EXPECT_GT(tracker.Shown()->x, 1000) << "the readout follows the view under a pointer kept still";
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Chart(), &leave);
    EXPECT_FALSE(tracker.Shown());
    EXPECT_EQ(tracker.BoxText(), QString());
}

TEST_F(ChartWindow, StepAxisLabelsOnlyWholeSteps)
{
    RunStepResponse(QStringLiteral("10"));
    for (Range steps : {Range{1975, 1976.5}, Range{1970, 1981}, Range{0, 1999}}) {
        Chart()->View().MoveTo({steps, {0, 160}}, HistoryStep::New);
        Settled();
        const QVector<QString> labels = Chart()->xAxis->tickVectorLabels();
        ASSERT_FALSE(labels.isEmpty());
        for (const QString& label : labels)
            EXPECT_TRUE(QRegularExpression(QStringLiteral("^-?\\d+$")).match(label).hasMatch())
                << label.toStdString() << " on " << steps.min << ".." << steps.max;
    }
}

TEST_F(ChartWindow, PictureKeepsTheWindowsLook)
{
    const PlotMapping empty = Settled();
    EXPECT_EQ(empty.ranges, kEmptyChartRanges) << "an empty chart shows one run's steps";
    EXPECT_EQ(Chart()->toPixmap().toImage().pixelColor(2, 2), QColor(192, 192, 192)) << "a silver background";
    auto* title = qobject_cast<QCPTextElement*>(Chart()->plotLayout()->element(0, 0));
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), QStringLiteral("Графики"));
    EXPECT_EQ(title->textColor(), QColor(Qt::blue));
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->textFlags() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_GE(Chart()->legend->outerRect().left(), Chart()->axisRect()->outerRect().right())
        << "the legend is right of the plot, outside it";

    const QColor lineColours[] = {Qt::red, QColor(0, 128, 0), Qt::yellow, Qt::blue, Qt::magenta, QColor(255, 128, 0)};
    ASSERT_EQ(Chart()->legend->itemCount(), 6);
    for (int i = 0; i < 6; ++i) {
        auto* entry = qobject_cast<QCPPlottableLegendItem*>(Chart()->legend->item(i));
        ASSERT_NE(entry, nullptr);
        EXPECT_EQ(entry->plottable(), Chart()->plottable(i)) << "entries in series order";
        EXPECT_EQ(entry->plottable()->name(), QLatin1String(i % 2 ? "Omega" : "Md"));
        EXPECT_EQ(Chart()->TraceColour(i), lineColours[i]) << "Series" << i + 1;
    }
}

// Step runs that overflow keep points up to about 1e306, beyond what the
// axes can span.
TEST_F(ChartWindow, OverflowingRunsShowASensibleRangeAndLeaveTheOthersReadable)
{
    Click("Button1");
    const AxisRanges gauss = Shown();
    for (const char* load : {"-579", "-1000", "-2147483648"}) {
        RunStepResponse(QString::fromLatin1(load));
        ASSERT_EQ(errors_.size(), 1u) << load;
        errors_.clear();
        ASSERT_GT(ChartPoints(5), 0) << load;
        EXPECT_TRUE(Viewable(Shown())) << load;
        // How long it takes is measured by motormodel-window-bench.
        const QImage picture = Chart()->toPixmap().toImage();
        EXPECT_EQ(picture.pixelColor(2, 2), QColor(192, 192, 192)) << load;

        for (int step : {4, 5})
            Chart()->View().SetTraceShown(step, false);
        EXPECT_EQ(Shown(), gauss) << load << ": hiding the run brings the others back";
        for (int step : {4, 5})
            Chart()->View().SetTraceShown(step, true);
    }
    RunStepResponse(QStringLiteral("10"));
    EXPECT_EQ(Shown(), Chart()->View().Traces().Spanning());
    Click("Button2");
    EXPECT_EQ(Shown(), kEmptyChartRanges);
}

std::string CannotSave(const QString& path)
{
    return "Не удалось сохранить \"" + path.toStdString() + "\": ";
}

class Export : public ChartWindow {
protected:
    QString PathOf(const QString& name) const { return dir_.filePath(name); }
    const ChartExporter& Exporter() const { return Tools().menu->Exporter(); }

    static QByteArray Contents(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
        return file.readAll();
    }

    QTemporaryDir dir_;
};

// Parsed as any program reading the file would, exactly.
double CsvNumber(const QByteArray& cell)
{
    double value = 0;
    const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    EXPECT_TRUE(error == std::errc{} && end == cell.data() + cell.size()) << cell.toStdString();
    return value;
}

TEST_F(Export, CsvReadsBackToExactlyThePointsOfTheShownTraces)
{
    RunAll();
    ClickLegendEntry(2);
    Exporter().SaveCsv(PathOf("runs.csv"));
    const QList<QByteArray> rows = Contents(PathOf("runs.csv")).split('\n');

    ASSERT_EQ(rows.size(), 2002) << "heading, 2000 steps, and the empty rest after the last line end";
    EXPECT_EQ(rows[0], "step,Md (Gauss),Omega (Gauss),Omega (Uniform),Md (Step),Omega (Step)");
    const std::size_t columnSeries[] = {0, 1, 3, 4, 5};
    for (int step = 0; step < 2000; ++step) {
        const QList<QByteArray> cells = rows[step + 1].split(',');
        ASSERT_EQ(cells.size(), 6);
        ASSERT_EQ(CsvNumber(cells[0]), step);
        for (int column = 1; column < 6; ++column)
            ASSERT_EQ(CsvNumber(cells[column]), SeriesAt(columnSeries[column - 1]).Values()[std::size_t(step)])
                << rows[0].split(',')[column].toStdString() << " at step " << step;
    }
}

// The length an svg element's attribute gives, in millimetres.
double SvgLength(const QByteArray& svg, const char* attribute)
{
    const QByteArray opening = QByteArray(attribute) + "=\"";
    const qsizetype start = svg.indexOf(opening) + opening.size();
    return svg.mid(start, svg.indexOf("mm\"", start) - start).toDouble();
}

TEST_F(Export, ImagesAreValidFilesAtTheChartsSizeFitForAReport)
{
    RunAll();
    ClickLegendEntry(0);
    const QSize size = Chart()->size();
    Exporter().SaveImage(PathOf("chart.png"), ImageFormat::Png);
    EXPECT_TRUE(Contents(PathOf("chart.png")).startsWith("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(QImage(PathOf("chart.png")).size(), size * 2);

    Exporter().SaveImage(PathOf("chart.svg"), ImageFormat::Svg);
    const QByteArray svg = Contents(PathOf("chart.svg"));
    EXPECT_TRUE(svg.startsWith("<?xml"));
    // Millimetres at 96 pixels to the inch, as SVG viewers show them.
    EXPECT_NEAR(SvgLength(svg, "width") / 25.4 * 96, size.width(), 0.01);
    EXPECT_NEAR(SvgLength(svg, "height") / 25.4 * 96, size.height(), 0.01);
    // Each shown line is one element a vector editor can pick up.
    const QRegularExpression longLine(QStringLiteral("<polyline[^>]*points=\"([^\" ]+ ){100,}"));
    EXPECT_EQ(QString::fromUtf8(svg).count(longLine), 5);
    EXPECT_EQ(svg.count(">Md</text>"), 2) << "the legend lists only the shown traces";
    EXPECT_EQ(svg.count(">Omega</text>"), 3);
    EXPECT_EQ(Chart()->legend->itemCount(), 6) << "the window's legend keeps every entry";

    Exporter().SaveImage(PathOf("chart.pdf"), ImageFormat::Pdf);
    const QByteArray pdf = Contents(PathOf("chart.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    const QString mediaBox = QStringLiteral("/MediaBox [0 0 %1.000000 %2.000000]").arg(size.width()).arg(size.height());
    EXPECT_TRUE(pdf.contains(mediaBox.toUtf8())) << "a point to a pixel";

    Exporter().CopyImage();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), size);
}

// Caps the size of files this process writes, and makes a write past it
// fail with EFBIG rather than end the process, as the program does.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
};

// Every way a save can fail, for every kind of file: the error names the
// path and the reason, an earlier file stays byte for byte, no temporary
// file is left, and a device stays a device.
TEST_F(Export, AFailedSaveNamesPathAndReasonAndLeavesTheOldFileAsItWas)
{
    RunStepResponse(QStringLiteral("10"));
    using Save = std::function<void(const QString&)>;
    const std::pair<const char*, Save> kinds[] = {
        {"png", [this](const QString& path) { Exporter().SaveImage(path, ImageFormat::Png); }},
        {"svg", [this](const QString& path) { Exporter().SaveImage(path, ImageFormat::Svg); }},
        {"pdf", [this](const QString& path) { Exporter().SaveImage(path, ImageFormat::Pdf); }},
        {"csv", [this](const QString& path) { Exporter().SaveCsv(path); }},
    };
    for (const auto& [suffix, save] : kinds) {
        const QString oldRun = PathOf(QStringLiteral("прогон 1.") + QLatin1String(suffix));
        QFile old(oldRun);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("old run") == 7);
        old.close();
        struct Fault {
            const char* name;
            QString path;
            bool sizeLimited;
        };
        for (const Fault& fault : {Fault{"a missing folder", PathOf(QStringLiteral("no such folder/chart")), false},
                                   Fault{"a folder as the file", dir_.path(), false},
                                   Fault{"a full device", QStringLiteral("/dev/full"), false},
                                   Fault{"a size limit over the old file", oldRun, true}}) {
            const std::string what = std::string(suffix) + ", " + fault.name;
            std::optional<FileSizeLimit> limit;
            if (fault.sizeLimited)
                limit.emplace(4096);
            try {
                save(fault.path);
                ADD_FAILURE() << what << ": no error";
            } catch (const toolkit::Exception& error) {
                const std::string prefix = CannotSave(fault.path);
                EXPECT_EQ(std::string(error.what()).rfind(prefix, 0), 0u) << what << ": " << error.what();
                EXPECT_GT(std::string(error.what()).size(), prefix.size()) << what << ": a reason";
            }
        }
        EXPECT_EQ(Contents(oldRun), "old run") << suffix;
        EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{QFileInfo(oldRun).fileName()})
            << suffix << ": no temporary file is left";
        save(oldRun);
        EXPECT_NE(Contents(oldRun), "old run") << suffix << ": a Cyrillic name with a space is replaced whole";
        QFile::remove(oldRun);
    }
    EXPECT_FALSE(QFileInfo(QStringLiteral("/dev/full")).isFile()) << "the device is still a device";
    // In the system's words, as Qt gives them in the program's language.
    const QString missing = PathOf(QStringLiteral("no such folder/chart"));
    QFile opened(missing);
    ASSERT_FALSE(opened.open(QIODevice::WriteOnly));
    try {
        Exporter().SaveCsv(missing);
        ADD_FAILURE() << "no error";
    } catch (const toolkit::Exception& error) {
        EXPECT_EQ(std::string(error.what()), CannotSave(missing) + opened.errorString().toStdString());
    }
}

class Menu : public Export {
protected:
    // Answers the file dialog as a user would: this path, this filter;
    // remembers what the dialog was opened with.
    void Answer(const QString& path, const QString& filter = {})
    {
        Tools().menu->SetAskSavePath([this, path, filter](const QString&, const QString& folder, const QString&,
                                                           QString* chosen) {
            askedFolder_ = folder;
            askedFilter_ = *chosen;
            if (!filter.isEmpty())
                *chosen = filter;
            return path;
        });
    }

    QString askedFolder_;
    QString askedFilter_;
};

TEST_F(Menu, ATypedSuffixChoosesTheFormatOtherwiseTheFilterDoesAndTheDialogRemembers)
{
    RunStepResponse(QStringLiteral("10"));
    const QString svgFilter = QStringLiteral("Рисунок SVG (*.svg)");
    const QString pngFilter = QStringLiteral("Рисунок PNG (*.png)");
    struct Save {
        const char* typed;
        QString filter;
        const char* written;
        QByteArray start;
    };
    for (const Save& save : {Save{"chart", svgFilter, "chart.svg", "<?xml"},
                             Save{"typed.svg", pngFilter, "typed.svg", "<?xml"},
                             Save{"typed.PDF", pngFilter, "typed.PDF", "%PDF-"},
                             Save{"report.v2", pngFilter, "report.v2.png", "\x89PNG"}}) {
        Answer(PathOf(QString::fromLatin1(save.typed)), save.filter);
        Trigger(QStringLiteral("Сохранить изображение…"));
        EXPECT_TRUE(Contents(PathOf(QString::fromLatin1(save.written))).startsWith(save.start)) << save.written;
    }
    Answer(QString());
    Trigger(QStringLiteral("Сохранить изображение…"));
    EXPECT_EQ(askedFolder_, QFileInfo(PathOf("x")).absolutePath());
    EXPECT_EQ(askedFilter_, pngFilter) << "the last filter chosen";

    Answer(PathOf(QStringLiteral("данные за день")));
    Trigger(QStringLiteral("Экспорт данных в CSV…"));
    EXPECT_TRUE(Contents(PathOf(QStringLiteral("данные за день.csv"))).startsWith("step,"));
}

TEST_F(Menu, CsvForARussianSpreadsheetHasTheSameDigitsWithCommasAndSemicolons)
{
    // The uniform run's traces hold no points: they are left out.
    RunStepResponse(QStringLiteral("10"));
    Click("Button1");
    const QString russian = QStringLiteral("CSV для русской локали (*.csv)");
    Answer(PathOf(QStringLiteral("plain")));
    Trigger(QStringLiteral("Экспорт данных в CSV…"));
    EXPECT_EQ(askedFilter_, QStringLiteral("CSV (*.csv)")) << "the default";
    Answer(PathOf(QStringLiteral("russian")), russian);
    Trigger(QStringLiteral("Экспорт данных в CSV…"));
    Answer(QString());
    Trigger(QStringLiteral("Экспорт данных в CSV…"));
    EXPECT_EQ(askedFilter_, russian) << "the last filter chosen";

    const QByteArray plain = Contents(PathOf(QStringLiteral("plain.csv")));
    EXPECT_TRUE(plain.startsWith("step,Md (Gauss),Omega (Gauss),Md (Step),Omega (Step)\n0,"));
    // No heading has a comma or a point, so the two files differ only by
    // the separators and the decimal marks, each number with one quoted.
    QByteArray expected = plain;
    expected.replace(',', ';');
    static const QRegularExpression withPoint(QStringLiteral("([^;\\n]*)\\.([^;\\n]*)"));
    expected = QString::fromLatin1(expected).replace(withPoint, QStringLiteral("\"\\1,\\2\"")).toLatin1();
    EXPECT_EQ(Contents(PathOf(QStringLiteral("russian.csv"))), expected);
    EXPECT_TRUE(expected.contains("\n1999;")) << "every step";
    EXPECT_TRUE(expected.contains(";\"157,06422059784802\"\n")) << "the decimal comma, all the digits";
}

TEST_F(Menu, WritesNothingWhenTheDialogIsCancelled)
{
    Answer(QString());
    Trigger(QStringLiteral("Сохранить изображение…"));
    Trigger(QStringLiteral("Экспорт данных в CSV…"));
    EXPECT_TRUE(QDir(dir_.path()).isEmpty());
    EXPECT_TRUE(errors_.empty());
}

// Every command that fails, copying included, ends where the window shows
// its other errors, in the window's language.
TEST_F(Menu, EveryCommandsErrorIsShownAsTheWindowShowsErrors)
{
    RunStepResponse(QStringLiteral("10"));
    const QString noFolder = PathOf(QStringLiteral("no such folder/data.csv"));
    const QString png = PathOf(QStringLiteral("chart.png"));
    const std::string cannotDraw = "картинку графика не удалось нарисовать";
    // In the system's words, as Qt gives them in the program's language.
    QFile missing(noFolder);
    ASSERT_FALSE(missing.open(QIODevice::WriteOnly));
    struct Command {
        const char* item;
        QString answer;
        std::string error;
    };
    const Command commands[] = {
        {"Экспорт данных в CSV…", noFolder, CannotSave(noFolder) + missing.errorString().toStdString()},
        {"Сохранить изображение…", png, CannotSave(png) + cannotDraw},
        {"Копировать изображение", {}, cannotDraw},
    };
    // A chart of no pixels has no picture to draw.
    Chart()->setFixedSize(0, 0);
    for (const Command& command : commands) {
        errors_.clear();
        Answer(command.answer);
        Trigger(QString::fromUtf8(command.item));
        ASSERT_EQ(errors_.size(), 1u) << command.item;
        EXPECT_EQ(errors_[0], command.error) << command.item;
    }
    EXPECT_FALSE(QFileInfo::exists(png)) << "nothing is written";
}

} // namespace
