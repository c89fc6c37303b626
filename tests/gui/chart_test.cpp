#include "MainWindowFixture.h"

#include "../CsvCells.h"

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
#include <QRubberBand>
#include <QTemporaryDir>
#include <QValueAxis>
#include <QWheelEvent>

#include <string>
#include <vector>

namespace {

class ChartTools : public MainWindow {
protected:
    // Lays the chart out, as the event loop would before the user sees
    // it, so Mapping() is what is drawn.
    PlotMapping SettledMapping() const
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

    void Drag(Qt::MouseButton button, QPointF from, QPointF to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        Mouse(QEvent::MouseButtonPress, from, button, button, modifiers);
        Mouse(QEvent::MouseMove, (from + to) / 2, Qt::NoButton, button, modifiers);
        Mouse(QEvent::MouseMove, to, Qt::NoButton, button, modifiers);
        Mouse(QEvent::MouseButtonRelease, to, button, Qt::NoButton, modifiers);
    }

    void Point(QPointF at) const { Mouse(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); }

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

    void ClickLegendEntry(int index) const
    {
        emit Chart()->chart()->legend()->markers(Chart()->SeriesOf(index)).front()->clicked();
    }

    static QPointF Middle(const PlotMapping& mapping)
    {
        return {mapping.area.left + mapping.area.width / 2, mapping.area.top + mapping.area.height / 2};
    }

    static QPointF At(const PlotMapping& mapping, double x, double y) { return {mapping.PixelAtX(x), mapping.PixelAtY(y)}; }
};

struct WheelCase {
    const char* name;
    Qt::KeyboardModifiers modifiers;
    ZoomAxes axes;
};

void PrintTo(const WheelCase& c, std::ostream* out) { *out << c.name; }

class WheelZoom : public ChartTools, public testing::WithParamInterface<WheelCase> {};

TEST_P(WheelZoom, ZoomsAboutThePointerAndANewRunKeepsTheZoomUntilReset)
{
    RunStepResponse(QStringLiteral("10"));
    const PlotMapping before = SettledMapping();
    const QPointF pointer = At(before, 700, 40);
    Wheel(pointer, 120, GetParam().modifiers);
    const AxisRanges zoomed = ZoomedAbout(before, ToPixel(pointer), ZoomFactor(1), GetParam().axes);
    EXPECT_EQ(Shown(), zoomed);
    EXPECT_NE(Shown(), before.ranges);
    EXPECT_TRUE(Chart()->IsZoomed());

    Click("Button1");
    EXPECT_EQ(Shown(), zoomed) << "a new run keeps the user's view";

    Mouse(QEvent::MouseButtonDblClick, Middle(SettledMapping()), Qt::LeftButton, Qt::LeftButton);
    EXPECT_FALSE(Chart()->IsZoomed());
    EXPECT_EQ(Shown(), Chart()->Traces()->Spanning()) << "back to ranges that span both runs";
}

INSTANTIATE_TEST_SUITE_P(Modifiers, WheelZoom,
                         testing::Values(WheelCase{"both", Qt::NoModifier, ZoomAxes::Both},
                                         WheelCase{"ctrl x only", Qt::ControlModifier, ZoomAxes::XOnly},
                                         WheelCase{"shift y only", Qt::ShiftModifier, ZoomAxes::YOnly}));

TEST_F(ChartTools, WheelOutsideThePlotAreaLeavesTheRanges)
{
    RunStepResponse(QStringLiteral("10"));
    const PlotMapping mapping = SettledMapping();
    Wheel({mapping.area.left - 20, mapping.area.top + 10}, 120);
    EXPECT_FALSE(Chart()->IsZoomed());
    EXPECT_EQ(Shown(), mapping.ranges);
}

struct DragCase {
    const char* name;
    Qt::MouseButton button;
    Qt::KeyboardModifiers modifiers;
    enum { Band, Pan, Nothing } effect;
};

void PrintTo(const DragCase& c, std::ostream* out) { *out << c.name; }

class MouseDrag : public ChartTools, public testing::WithParamInterface<DragCase> {};

TEST_P(MouseDrag, ZoomsToTheBandOrPansByTheButtonHeld)
{
    RunStepResponse(QStringLiteral("10"));
    const PlotMapping mapping = SettledMapping();
    const QPointF from = At(mapping, 400, 100);
    const QPointF to = At(mapping, 1200, 20);
    Drag(GetParam().button, from, to, GetParam().modifiers);
    switch (GetParam().effect) {
    case DragCase::Band:
        EXPECT_EQ(Shown(), BandRanges(mapping, ToPixel(from), ToPixel(to)));
        break;
    case DragCase::Pan:
        EXPECT_EQ(Shown(), Panned(mapping, to.x() - from.x(), to.y() - from.y()));
        break;
    case DragCase::Nothing:
        EXPECT_EQ(Shown(), mapping.ranges);
        break;
    }
    EXPECT_FALSE(Chart()->viewport()->findChild<QRubberBand*>()->isVisible()) << "the band goes with the release";
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, MouseDrag,
    testing::Values(DragCase{"left draws a band", Qt::LeftButton, Qt::NoModifier, DragCase::Band},
                    DragCase{"middle pans", Qt::MiddleButton, Qt::NoModifier, DragCase::Pan},
                    DragCase{"ctrl left pans", Qt::LeftButton, Qt::ControlModifier, DragCase::Pan},
                    DragCase{"right is the menu's, not a zoom out", Qt::RightButton, Qt::NoModifier,
                             DragCase::Nothing}));

TEST_F(ChartTools, AClickWithoutDragIsNoBand)
{
    RunStepResponse(QStringLiteral("10"));
    const PlotMapping mapping = SettledMapping();
    Drag(Qt::LeftButton, Middle(mapping), Middle(mapping) + QPointF(3, 30));
    EXPECT_FALSE(Chart()->IsZoomed());
}

struct KeyCase {
    Qt::Key key;
    double steps;
    double panAcross;
    double panDown;
};

class Keys : public ChartTools, public testing::WithParamInterface<KeyCase> {};

TEST_P(Keys, ZoomAboutTheMiddleOrPanByATenthAndHomeResets)
{
    RunStepResponse(QStringLiteral("10"));
    const PlotMapping mapping = SettledMapping();
    QTest::keyClick(Chart(), GetParam().key);
    const PixelRect& area = mapping.area;
    const AxisRanges expected = GetParam().steps != 0
                                    ? ZoomedAbout(mapping, ToPixel(Middle(mapping)), ZoomFactor(GetParam().steps), ZoomAxes::Both)
                                    : Panned(mapping, GetParam().panAcross * area.width, GetParam().panDown * area.height);
    EXPECT_EQ(Shown(), expected);
    QTest::keyClick(Chart(), Qt::Key_Home);
    EXPECT_EQ(Shown(), mapping.ranges);
}

INSTANTIATE_TEST_SUITE_P(Keyboard, Keys,
                         testing::Values(KeyCase{Qt::Key_Plus, 1, 0, 0}, KeyCase{Qt::Key_Equal, 1, 0, 0},
                                         KeyCase{Qt::Key_Minus, -1, 0, 0}, KeyCase{Qt::Key_Left, 0, 0.1, 0},
                                         KeyCase{Qt::Key_Right, 0, -0.1, 0}, KeyCase{Qt::Key_Up, 0, 0, 0.1},
                                         KeyCase{Qt::Key_Down, 0, 0, -0.1}));

TEST_F(ChartTools, ZoomingWithoutEndStopsWhereTheAxesStillTick)
{
    RunStepResponse(QStringLiteral("10"));
    const QPointF middle = Middle(SettledMapping());
    // 400 notches at a time: 1.25 to the power 400 is about 1e39, so a
    // double overflows within ten turns.
    for (int angle : {-48000, 48000}) {
        for (int turn = 0; turn < 20; ++turn)
            Wheel(middle, angle);
        EXPECT_TRUE(Viewable(Shown())) << "after turns of " << angle;
    }
    EXPECT_TRUE(Chart()->IsZoomed());
}

TEST_F(ChartTools, LegendClicksHideAndShowATraceAndTheRangesFollow)
{
    RunAll();
    const int omegaStep = 5;
    const AxisRanges all = Shown();
    auto marker = [this, omegaStep] { return Chart()->chart()->legend()->markers(Chart()->SeriesOf(omegaStep)).front(); };

    ClickLegendEntry(omegaStep);
    EXPECT_FALSE(Chart()->SeriesOf(omegaStep)->isVisible());
    EXPECT_FALSE(Chart()->Traces()->IsShown(omegaStep));
    EXPECT_TRUE(marker()->isVisible()) << "the entry stays to be clicked again";
    EXPECT_LT(marker()->labelBrush().color().alphaF(), 1.0);
    EXPECT_EQ(Shown().x, all.x);
    EXPECT_LT(Shown().y.max, all.y.max) << "Omega of the step response reaches 157, the random runs do not";
    EXPECT_EQ(Shown(), Chart()->Traces()->Spanning());

    ClickLegendEntry(omegaStep);
    EXPECT_TRUE(Chart()->SeriesOf(omegaStep)->isVisible());
    EXPECT_EQ(marker()->labelBrush().color().alphaF(), 1.0);
    EXPECT_EQ(Shown(), all);
}

TEST_F(ChartTools, HidingATraceKeepsTheUsersZoom)
{
    RunAll();
    const PlotMapping mapping = SettledMapping();
    Wheel(Middle(mapping), -240);
    const AxisRanges zoomed = Shown();
    ClickLegendEntry(0);
    EXPECT_EQ(Shown(), zoomed);
}

TEST_F(ChartTools, TrackerShowsNothingUntilThePointerIsOverThePlot)
{
    RunStepResponse(QStringLiteral("10"));
    const PlotMapping mapping = SettledMapping();
    EXPECT_FALSE(Chart()->Tracker().Shown());
    Point({mapping.area.left - 5, mapping.area.top + 5});
    EXPECT_FALSE(Chart()->Tracker().Shown());
    EXPECT_EQ(Chart()->Tracker().BoxText(), QString());
}

TEST_F(ChartTools, TrackerFollowsTheNearestStepAndLeavesWithThePointer)
{
    RunStepResponse(QStringLiteral("10"));
    const PlotMapping mapping = SettledMapping();
    const auto& md = form1_->Series(5).Points();
    const auto& omega = form1_->Series(6).Points();

    Point({mapping.PixelAtX(1000.3), mapping.area.top + 40});
    const Readout atStep1000{1000, {{4, md[1000].y}, {5, omega[1000].y}}};
    EXPECT_EQ(Chart()->Tracker().Shown(), atStep1000);
    const QString text = Chart()->Tracker().BoxText();
    for (double shown : {1000.0, md[1000].y, omega[1000].y})
        EXPECT_TRUE(text.contains(QString::fromStdString(toolkit::FloatToStr(shown)))) << text.toStdString();

    ClickLegendEntry(4);
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

TEST_F(Export, CsvReadsBackToExactlyThePointsOfTheShownTraces)
{
    RunAll();
    ClickLegendEntry(2);
    Chart()->Exporter().SaveCsv(PathOf("runs.csv"));
    const auto rows = CsvRows(Contents(PathOf("runs.csv")).toStdString());

    ASSERT_EQ(rows.size(), 2001u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"step", "Md (Gauss)", "Omega (Gauss)", "Omega (Uniform)", "Md (Step)",
                                                 "Omega (Step)"}));
    const std::vector<int> columns = {1, 2, 4, 5, 6};
    for (std::size_t column = 0; column < columns.size(); ++column) {
        const auto& points = form1_->Series(columns[column]).Points();
        for (std::size_t step = 0; step < points.size(); ++step) {
            ASSERT_EQ(CsvNumber(rows[step + 1][0]), points[step].x);
            ASSERT_EQ(CsvNumber(rows[step + 1][column + 1]), points[step].y) << rows[0][column + 1] << " step " << step;
        }
    }
}

struct ImageCase {
    ImageFormat format;
    const char* file;
    const char* magic;
};

void PrintTo(const ImageCase& c, std::ostream* out) { *out << c.file; }

class ImageExport : public Export, public testing::WithParamInterface<ImageCase> {
protected:
    // The length an svg element's attribute gives in millimetres.
    static double SvgLength(const QByteArray& svg, const char* attribute)
    {
        const QByteArray opening = QByteArray(attribute) + "=\"";
        const qsizetype start = svg.indexOf(opening) + opening.size();
        const QByteArray value = svg.mid(start, svg.indexOf("mm\"", start) - start);
        bool isNumber = false;
        const double length = value.toDouble(&isNumber);
        EXPECT_TRUE(isNumber) << attribute << "=\"" << value.toStdString();
        return length;
    }
};

TEST_P(ImageExport, WritesAValidFileAtTheChartsSize)
{
    RunAll();
    const QString path = PathOf(GetParam().file);
    Chart()->Exporter().SaveImage(path, GetParam().format);
    const QByteArray contents = Contents(path);
    ASSERT_TRUE(contents.startsWith(GetParam().magic)) << contents.left(16).toStdString();

    const QSize size = Chart()->size();
    switch (GetParam().format) {
    case ImageFormat::Png:
        EXPECT_EQ(QImage(path).size(), size * 2);
        break;
    case ImageFormat::Svg:
        // In millimetres, at 96 pixels to the inch.
        EXPECT_NEAR(SvgLength(contents, "width") / 25.4 * 96, size.width(), 0.01);
        EXPECT_NEAR(SvgLength(contents, "height") / 25.4 * 96, size.height(), 0.01);
        EXPECT_TRUE(contents.contains(QStringLiteral("viewBox=\"0 0 %1 %2\"").arg(size.width()).arg(size.height()).toUtf8()));
        break;
    case ImageFormat::Pdf:
        // A point to a pixel.
        EXPECT_TRUE(contents.contains(
            QStringLiteral("/MediaBox [0 0 %1.000000 %2.000000]").arg(size.width()).arg(size.height()).toUtf8()));
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ImageExport,
                         testing::Values(ImageCase{ImageFormat::Png, "chart.png", "\x89PNG\r\n\x1a\n"},
                                         ImageCase{ImageFormat::Svg, "chart.svg", "<?xml"},
                                         ImageCase{ImageFormat::Pdf, "chart.pdf", "%PDF-"}));

TEST_F(Export, AFileThatCannotBeCreatedIsReported)
{
    const QString path = PathOf("no such folder/chart");
    for (ImageFormat format : {ImageFormat::Png, ImageFormat::Svg, ImageFormat::Pdf})
        EXPECT_THROW(Chart()->Exporter().SaveImage(path, format), toolkit::Exception);
    EXPECT_THROW(Chart()->Exporter().SaveCsv(path), toolkit::Exception);
}

TEST_F(Export, CopyPutsThePictureOnTheClipboard)
{
    RunStepResponse(QStringLiteral("10"));
    QGuiApplication::clipboard()->clear();
    Chart()->Exporter().CopyImage();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), Chart()->size());
}

class Menu : public Export {
protected:
    QAction* Action(const QString& text) const
    {
        for (QAction* action : Chart()->Menu().Menu().actions())
            if (action->text() == text)
                return action;
        ADD_FAILURE() << "no action " << text.toStdString();
        return nullptr;
    }

    // Answers the file dialog as a user would: this path, this filter.
    void Answer(const QString& path, const QString& filter = {})
    {
        Chart()->Menu().SetAskSavePath([this, path, filter](const QString&, const QString& filters, QString* chosen) {
            offered_ = filters;
            if (!filter.isEmpty())
                *chosen = filter;
            return path;
        });
    }

    QString offered_;
};

TEST_F(Menu, SavesInTheFormatOfTheChosenFilterAndAddsItsSuffix)
{
    RunStepResponse(QStringLiteral("10"));
    Answer(PathOf("chart"), QStringLiteral("Рисунок SVG (*.svg)"));
    Action(QStringLiteral("Сохранить изображение…"))->trigger();
    EXPECT_EQ(offered_, QStringLiteral("Рисунок PNG (*.png);;Рисунок SVG (*.svg);;Документ PDF (*.pdf)"));
    EXPECT_TRUE(Contents(PathOf("chart.svg")).startsWith("<?xml"));

    Answer(PathOf("data"));
    Action(QStringLiteral("Экспорт данных в CSV…"))->trigger();
    EXPECT_EQ(CsvRows(Contents(PathOf("data.csv")).toStdString()).size(), 2001u);
}

TEST_F(Menu, CancellingTheDialogWritesNothing)
{
    Answer(QString());
    Action(QStringLiteral("Сохранить изображение…"))->trigger();
    Action(QStringLiteral("Экспорт данных в CSV…"))->trigger();
    EXPECT_TRUE(QDir(dir_.path()).isEmpty());
}

TEST_F(Menu, ShowsAFileThatCannotBeCreatedAsAnError)
{
    Answer(PathOf("no such folder/data.csv"));
    Action(QStringLiteral("Экспорт данных в CSV…"))->trigger();
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], "Cannot create file \"" + PathOf("no such folder/data.csv").toStdString() + "\"");
}

TEST_F(Menu, ResetsTheZoom)
{
    RunStepResponse(QStringLiteral("10"));
    Wheel(Middle(SettledMapping()), 120);
    ASSERT_TRUE(Chart()->IsZoomed());
    Action(QStringLiteral("Сбросить масштаб"))->trigger();
    EXPECT_FALSE(Chart()->IsZoomed());
}

TEST_F(Menu, OffersItsActionsInTheWindowsLanguage)
{
    QStringList texts;
    for (QAction* action : Chart()->Menu().Menu().actions())
        if (!action->isSeparator())
            texts << action->text();
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Сбросить масштаб"), QStringLiteral("Сохранить изображение…"),
                                  QStringLiteral("Экспорт данных в CSV…"), QStringLiteral("Копировать изображение")}));
}

} // namespace
