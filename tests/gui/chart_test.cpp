#include "MainWindowFixture.h"

#include "plot/PlotNavigation.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"
#include "ui/ChartExporter.h"
#include "ui/ChartInteraction.h"
#include "ui/ChartMenu.h"
#include "ui/ChartTracker.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLegend>
#include <QLegendMarker>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QWheelEvent>

#include <charconv>
#include <cstddef>
#include <string>

namespace {

class ChartTools : public MainWindow {
protected:
    // Lays the chart out, as the event loop does before the user sees it,
    // so Mapping() is what is drawn.
    PlotMapping Settled() const
    {
        QCoreApplication::processEvents();
        return Chart()->Mapping();
    }

    AxisRanges Shown() const
    {
        return {{Chart()->AxisX()->min(), Chart()->AxisX()->max()}, {Chart()->AxisY()->min(), Chart()->AxisY()->max()}};
    }

    void Mouse(QEvent::Type type, QPointF at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QMouseEvent event(type, at, Chart()->viewport()->mapToGlobal(at), button, held, modifiers);
        QApplication::sendEvent(Chart()->viewport(), &event);
    }

    void Drag(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF from, QPointF to) const
    {
        Mouse(QEvent::MouseButtonPress, from, button, button, modifiers);
        Mouse(QEvent::MouseMove, to, Qt::NoButton, button, modifiers);
        Mouse(QEvent::MouseButtonRelease, to, button, Qt::NoButton, modifiers);
    }

    void Wheel(QPointF at, int angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QWheelEvent event(at, Chart()->viewport()->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Chart()->viewport(), &event);
    }

    void RunAll()
    {
        RunStepResponse(QStringLiteral("10"));
        Click("Button1");
        Click("Button3");
    }

    QLegendMarker* LegendEntry(int index) const
    {
        return Chart()->chart()->legend()->markers(Chart()->SeriesOf(index)).front();
    }

    static QPointF At(const PlotMapping& mapping, double x, double y)
    {
        return {mapping.PixelAtX(x), mapping.PixelAtY(y)};
    }
};

TEST_F(ChartTools, WheelZoomsAboutThePointerAndANewRunKeepsTheZoomUntilADoubleClick)
{
    RunStepResponse(QStringLiteral("10"));
    for (auto [modifiers, axes] : {std::pair{Qt::NoModifier, ZoomAxes::Both},
                                   std::pair{Qt::ControlModifier, ZoomAxes::XOnly},
                                   std::pair{Qt::ShiftModifier, ZoomAxes::YOnly}}) {
        const PlotMapping before = Settled();
        const QPointF pointer = At(before, 700, 40);
        Wheel(pointer, 120, modifiers);
        const AxisRanges zoomed = ZoomedAbout(before, ToPixel(pointer), ZoomFactor(1), axes);
        EXPECT_EQ(Shown(), zoomed) << int(axes);

        Click("Button1");
        EXPECT_EQ(Shown(), zoomed) << "a new run keeps the user's view";
        Mouse(QEvent::MouseButtonDblClick, pointer, Qt::LeftButton, Qt::LeftButton);
        EXPECT_FALSE(Chart()->IsZoomed());
        EXPECT_EQ(Shown(), Chart()->Traces()->Spanning()) << "back to ranges that span both runs";
    }
}

TEST_F(ChartTools, LeftDragZoomsToTheBandMiddleOrCtrlDragPansRightDragDoesNothing)
{
    RunStepResponse(QStringLiteral("10"));
    enum Effect { Band, Pan, None };
    struct Case {
        Qt::MouseButton button;
        Qt::KeyboardModifiers modifiers;
        Effect effect;
    };
    // The right button is the menu's; QChartView's own band would zoom out.
    for (const Case& c : {Case{Qt::LeftButton, Qt::NoModifier, Band}, Case{Qt::MiddleButton, Qt::NoModifier, Pan},
                          Case{Qt::LeftButton, Qt::ControlModifier, Pan},
                          Case{Qt::RightButton, Qt::NoModifier, None}}) {
        QTest::keyClick(Chart(), Qt::Key_Home);
        const PlotMapping mapping = Settled();
        const QPointF from = At(mapping, 400, 100);
        const QPointF to = At(mapping, 1200, 20);
        Drag(c.button, c.modifiers, from, to);
        const AxisRanges expected[] = {BandRanges(mapping, ToPixel(from), ToPixel(to)),
                                       Panned(mapping, to.x() - from.x(), to.y() - from.y()), mapping.ranges};
        EXPECT_EQ(Shown(), expected[c.effect]) << "button " << c.button << ", effect " << c.effect;
    }
    QTest::keyClick(Chart(), Qt::Key_Home);
    const QPointF middle = At(Settled(), 1000, 80);
    Drag(Qt::LeftButton, Qt::NoModifier, middle, middle + QPointF(3, 30));
    EXPECT_FALSE(Chart()->IsZoomed()) << "a band 3 pixels wide is a click";
}

TEST_F(ChartTools, KeysZoomAboutTheMiddleAndPanByATenth)
{
    RunStepResponse(QStringLiteral("10"));
    const PlotMapping mapping = Settled();
    const PixelRect& area = mapping.area;
    const PixelPoint middle{area.left + area.width / 2, area.top + area.height / 2};
    const std::pair<Qt::Key, AxisRanges> keys[] = {
        {Qt::Key_Plus, ZoomedAbout(mapping, middle, ZoomFactor(1), ZoomAxes::Both)},
        {Qt::Key_Minus, ZoomedAbout(mapping, middle, ZoomFactor(-1), ZoomAxes::Both)},
        {Qt::Key_Left, Panned(mapping, area.width / 10, 0)},
        {Qt::Key_Right, Panned(mapping, -area.width / 10, 0)},
        {Qt::Key_Up, Panned(mapping, 0, area.height / 10)},
        {Qt::Key_Down, Panned(mapping, 0, -area.height / 10)},
    };
    for (const auto& [key, expected] : keys) {
        QTest::keyClick(Chart(), key);
        EXPECT_EQ(Shown(), expected) << key;
        QTest::keyClick(Chart(), Qt::Key_Home);
        EXPECT_EQ(Shown(), mapping.ranges);
    }
}

TEST_F(ChartTools, ZoomingWithoutEndStopsWhereTheAxesStillTick)
{
    RunStepResponse(QStringLiteral("10"));
    const QPointF pointer = At(Settled(), 1000, 80);
    // 400 notches a turn: 1.25 to the 400th is about 1e39, so a double
    // would overflow within ten turns.
    for (int angle : {-48000, 48000}) {
        for (int turn = 0; turn < 20; ++turn)
            Wheel(pointer, angle);
        EXPECT_TRUE(Viewable(Shown())) << "after turns of " << angle;
    }
}

TEST_F(ChartTools, ALegendClickHidesATraceDimsItsEntryAndTheRangesFollow)
{
    RunAll();
    const AxisRanges all = Shown();
    const int omegaStep = 5;
    emit LegendEntry(omegaStep)->clicked();
    EXPECT_FALSE(Chart()->SeriesOf(omegaStep)->isVisible());
    EXPECT_TRUE(LegendEntry(omegaStep)->isVisible()) << "the entry stays to be clicked again";
    EXPECT_LT(LegendEntry(omegaStep)->labelBrush().color().alphaF(), 1.0);
    EXPECT_EQ(Shown(), Chart()->Traces()->Spanning());
    EXPECT_LT(Shown().y.max, all.y.max) << "only Omega of the step response reaches 157";

    emit LegendEntry(omegaStep)->clicked();
    EXPECT_TRUE(Chart()->SeriesOf(omegaStep)->isVisible());
    EXPECT_EQ(LegendEntry(omegaStep)->labelBrush().color().alphaF(), 1.0);
    EXPECT_EQ(Shown(), all);
}

TEST_F(ChartTools, TrackerFollowsThePointerOverThePlotToTheNearestStep)
{
    RunStepResponse(QStringLiteral("10"));
    const PlotMapping mapping = Settled();
    const auto& md = form1_->Series(5).Points();
    const auto& omega = form1_->Series(6).Points();
    auto pointAt = [this](QPointF at) { Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); };

    pointAt({mapping.area.left - 5, mapping.area.top + 5});
    EXPECT_FALSE(Chart()->Tracker().Shown()) << "nothing until the pointer is over the plot";
    pointAt(At(mapping, 1000.3, 80));
    EXPECT_EQ(Chart()->Tracker().Shown(), (Readout{1000, {{4, md[1000].y}, {5, omega[1000].y}}}));
    const QString text = Chart()->Tracker().BoxText();
    for (double shown : {1000.0, md[1000].y, omega[1000].y})
        EXPECT_TRUE(text.contains(QString::fromStdString(toolkit::FloatToStr(shown)))) << text.toStdString();

    emit LegendEntry(4)->clicked();
    EXPECT_EQ(Chart()->Tracker().Shown(), (Readout{1000, {{5, omega[1000].y}}})) << "hidden traces drop out";
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Chart(), &leave);
    EXPECT_FALSE(Chart()->Tracker().Shown());
    EXPECT_EQ(Chart()->Tracker().BoxText(), QString());
}

class Export : public ChartTools {
protected:
    QString PathOf(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

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
    emit LegendEntry(2)->clicked();
    Chart()->Exporter().SaveCsv(PathOf("runs.csv"));
    const QList<QByteArray> rows = Contents(PathOf("runs.csv")).split('\n');

    ASSERT_EQ(rows.size(), 2002) << "heading, 2000 steps, and the empty rest after the last line end";
    EXPECT_EQ(rows[0], "step,Md (Gauss),Omega (Gauss),Omega (Uniform),Md (Step),Omega (Step)");
    const int columnSeries[] = {1, 2, 4, 5, 6};
    for (int step = 0; step < 2000; ++step) {
        const QList<QByteArray> cells = rows[step + 1].split(',');
        ASSERT_EQ(cells.size(), 6);
        ASSERT_EQ(CsvNumber(cells[0]), step);
        for (int column = 1; column < 6; ++column)
            ASSERT_EQ(CsvNumber(cells[column]),
                      form1_->Series(columnSeries[column - 1]).Points()[static_cast<std::size_t>(step)].y)
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

TEST_F(Export, ImagesAreValidFilesAtTheChartsSize)
{
    RunAll();
    const QSize size = Chart()->size();
    Chart()->Exporter().SaveImage(PathOf("chart.png"), ImageFormat::Png);
    EXPECT_TRUE(Contents(PathOf("chart.png")).startsWith("\x89PNG\r\n\x1a\n"));
    EXPECT_EQ(QImage(PathOf("chart.png")).size(), size * 2);

    Chart()->Exporter().SaveImage(PathOf("chart.svg"), ImageFormat::Svg);
    const QByteArray svg = Contents(PathOf("chart.svg"));
    EXPECT_TRUE(svg.startsWith("<?xml"));
    // Millimetres at 96 pixels to the inch, as SVG viewers show them.
    EXPECT_NEAR(SvgLength(svg, "width") / 25.4 * 96, size.width(), 0.01);
    EXPECT_NEAR(SvgLength(svg, "height") / 25.4 * 96, size.height(), 0.01);

    Chart()->Exporter().SaveImage(PathOf("chart.pdf"), ImageFormat::Pdf);
    const QByteArray pdf = Contents(PathOf("chart.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    const QString mediaBox = QStringLiteral("/MediaBox [0 0 %1.000000 %2.000000]").arg(size.width()).arg(size.height());
    EXPECT_TRUE(pdf.contains(mediaBox.toUtf8())) << "a point to a pixel";

    Chart()->Exporter().CopyImage();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), size);
}

TEST_F(Export, AFileThatCannotBeCreatedIsReported)
{
    const QString path = PathOf("no such folder/chart");
    for (ImageFormat format : {ImageFormat::Png, ImageFormat::Svg, ImageFormat::Pdf})
        EXPECT_THROW(Chart()->Exporter().SaveImage(path, format), toolkit::Exception);
    EXPECT_THROW(Chart()->Exporter().SaveCsv(path), toolkit::Exception);
}

class Menu : public Export {
protected:
    void Trigger(const QString& text) const
    {
        for (QAction* action : Chart()->Menu().Menu().actions())
            if (action->text() == text)
                return action->trigger();
        ADD_FAILURE() << "no action " << text.toStdString();
    }

    // Answers the file dialog as a user would: this path, this filter.
    void Answer(const QString& path, const QString& filter = {}) const
    {
        Chart()->Menu().SetAskSavePath([path, filter](const QString&, const QString&, QString* chosen) {
            if (!filter.isEmpty())
                *chosen = filter;
            return path;
        });
    }
};

TEST_F(Menu, SavesInTheFormatOfTheChosenFilterAddingItsSuffix)
{
    RunStepResponse(QStringLiteral("10"));
    Answer(PathOf("chart"), QStringLiteral("Рисунок SVG (*.svg)"));
    Trigger(QStringLiteral("Сохранить изображение…"));
    EXPECT_TRUE(Contents(PathOf("chart.svg")).startsWith("<?xml"));

    Answer(PathOf("data"));
    Trigger(QStringLiteral("Экспорт данных в CSV…"));
    EXPECT_TRUE(Contents(PathOf("data.csv")).startsWith("step,"));
}

TEST_F(Menu, WritesNothingWhenTheDialogIsCancelledAndShowsWhatCannotBeWritten)
{
    Answer(QString());
    Trigger(QStringLiteral("Сохранить изображение…"));
    Trigger(QStringLiteral("Экспорт данных в CSV…"));
    EXPECT_TRUE(QDir(dir_.path()).isEmpty());

    Answer(PathOf("no such folder/data.csv"));
    Trigger(QStringLiteral("Экспорт данных в CSV…"));
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], "Cannot create file \"" + PathOf("no such folder/data.csv").toStdString() + "\"");
}

} // namespace
