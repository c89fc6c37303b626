// What the windows do where the window system draws captions in the
// window's own surface or cannot place windows, checked on the offscreen
// platform with the title bar and the dock column given.

#include "MainWindowFixture.h"
#include "ui/FamilyWindow.h"
#include "ui/FormGeometry.h"
#include "ui/MeasurementsWindow.h"
#include "ui/MechanicalWindow.h"
#include "ui/ParametersWindow.h"
#include "ui/ScreenFit.h"
#include "ui/ToolWindows.h"
#include "ui/ToolDocks.h"
#include "ui/WindowSystem.h"

#include <QDockWidget>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QStaticText>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Extent {
    const char* what;
    std::vector<QRect> controls;
    QSize size;
};

TEST(FormExtent, HoldsEveryControlWithTheFormsMarginsMirrored)
{
    // The main window's form: the tool bar 4 pixels from the top, the chart
    // 16 from the left; the widest label ends at 857, "Выход" and the
    // progress bar at 609.
    const std::vector<QRect> mainForm = {{16, 4, 809, 32},   {16, 40, 625, 545}, {664, 376, 193, 13},
                                         {664, 560, 161, 49}, {16, 592, 625, 17}, {659, 440, 46, 13}};
    for (const Extent& e : {
             Extent{"the main window's form", mainForm, {873, 613}},
             Extent{"one control", {{10, 5, 20, 30}}, {40, 40}},
             Extent{"against the top left corner", {{0, 0, 50, 60}}, {50, 60}},
             Extent{"the margins of the outermost controls", {{30, 8, 10, 10}, {5, 50, 100, 20}}, {110, 78}},
             Extent{"no controls", {}, {0, 0}},
         })
        EXPECT_EQ(FormExtent(e.controls), e.size) << e.what;
}

TEST(WindowSystem, OffscreenPlacesWindowsAndDrawsNoTitleBar)
{
    EXPECT_TRUE(PlatformPlacesWindows());
    EXPECT_FALSE(ClientDrawnTitleBar().has_value());
}

QFont PixelFont(int pixels)
{
    QFont font;
    font.setPixelSize(pixels);
    return font;
}

int Advance(int pixels, const QString& text)
{
    return QFontMetrics(PixelFont(pixels)).horizontalAdvance(text);
}

struct CaptionCase {
    const char* what;
    std::int64_t limit;
    TitleBar bar;
    // The client width that shows the caption whole, from its widths in the
    // two fonts.
    int (*needed)(const QString& caption);
};

TEST(Alert, WidensUntilItsCaptionFitsTheTitleBarKeepingItsHeightAndEmptyBody)
{
    for (const CaptionCase& c : {
             CaptionCase{"centred by its own width: the caption and the buttons' side twice", 30,
                         {PixelFont(14), PixelFont(14), 35, 77, 6},
                         [](const QString& caption) { return Advance(14, caption) + 2 * 77 - 6; }},
             CaptionCase{"centred as narrower than drawn: shifted right by the difference", 30,
                         {PixelFont(14), PixelFont(11), 35, 77, 6},
                         [](const QString& caption) {
                             return 2 * Advance(14, caption) - Advance(11, caption) + 2 * 77 - 6;
                         }},
             CaptionCase{"a long limit", 1'000'000'000'000, {PixelFont(14), PixelFont(14), 35, 77, 6},
                         [](const QString& caption) { return Advance(14, caption) + 2 * 77 - 6; }},
             CaptionCase{"centred as far wider than drawn: the left side binds", 30,
                         {PixelFont(6), PixelFont(14), 60, 0, 6},
                         [](const QString& caption) { return Advance(14, caption) + 2 * 60 - 6; }},
         }) {
        TForm2 alert(nullptr, c.bar);
        alert.SetLimit(c.limit);
        alert.Show();
        const int needed = c.needed(alert.windowTitle());
        ASSERT_GT(needed, 409) << c.what;
        // The widths at a scale of 1 in whole pixels; other scales' layouts
        // of the caption are a few per cent wider at most.
        EXPECT_GE(alert.minimumWidth(), needed) << c.what;
        EXPECT_LE(alert.minimumWidth(), needed + needed / 20) << c.what;
        EXPECT_EQ(alert.width(), alert.minimumWidth()) << c.what;
        // Offscreen frames its windows, 2 pixels a side.
        EXPECT_EQ(alert.frameGeometry().height(), 114) << c.what;
        EXPECT_TRUE(alert.findChildren<QWidget*>().isEmpty()) << c.what;
    }
}

// The columns the caption's ink covers, drawn as Qt's Wayland decoration
// draws it on a title bar `outer` pixels wide at the device pixel ratio
// given: laid out in the application's font, centred by that width, then
// drawn in its 14-pixel font. In the title bar's pixels.
std::pair<qreal, qreal> CaptionInk(const QString& caption, int outer, qreal ratio)
{
    QImage bar((QSizeF(outer, 30) * ratio).toSize(), QImage::Format_RGB32);
    bar.setDevicePixelRatio(ratio);
    bar.fill(Qt::white);
    QPainter painter(&bar);
    QStaticText text(caption);
    text.prepare();
    painter.setPen(Qt::black);
    // Painted on every frame: the second paint lays the text out at the ratio.
    for (int frame = 0; frame < 2; ++frame) {
        const int dx = static_cast<int>((outer - text.size().width()) / 2);
        QFont font = painter.font();
        font.setPixelSize(14);
        painter.setFont(font);
        painter.drawStaticText(QPoint(dx, 8), text);
    }
    painter.end();
    int first = bar.width();
    int last = -1;
    for (int y = 0; y < bar.height(); ++y)
        for (int x = 0; x < bar.width(); ++x)
            if (bar.pixel(x, y) != qRgb(255, 255, 255)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first / ratio, (last + 1) / ratio};
}

TEST(Alert, ItsCaptionShowsWholeInQtsTitleBarInAnyFontAndAtAnyScale)
{
    const QFont before = QGuiApplication::font();
    for (const auto& [family, points] : {std::pair{"Liberation Sans", 9.0}, {"DejaVu Sans", 9.0},
                                         {"Cantarell", 11.0}, {"DejaVu Sans", 16.0}, {"Liberation Serif", 20.0}})
        for (const qreal ratio : {1.0, 1.5, 2.0}) {
            SCOPED_TRACE(std::string(family) + " " + std::to_string(points) + " pt at " + std::to_string(ratio));
            QFont font(QString::fromLatin1(family));
            font.setPointSizeF(points);
            QGuiApplication::setFont(font);
            // Qt's decoration, as ClientDrawnTitleBar describes it.
            QFont drawn = font;
            drawn.setPixelSize(14);
            const TitleBar bar{drawn, font, 35, 77, 6};
            const QString caption = QStringLiteral("Некорректно введенное значение Мс<30");
            const int outer = WidthShowingCaption(bar, caption) + bar.frames;
            const auto [first, last] = CaptionInk(caption, outer, ratio);
            EXPECT_GE(first, bar.left) << "the caption's first letter clear of the icon";
            EXPECT_LE(last, outer - bar.right) << "its last letter clear of the buttons";
        }
    QGuiApplication::setFont(before);
}

TEST(Alert, KeepsTheFormsWidthWhereTheCaptionFits)
{
    TForm2 alert(nullptr, TitleBar{PixelFont(8), PixelFont(8), 0, 0, 0});
    alert.Show();
    EXPECT_LT(alert.minimumWidth(), 300);
    EXPECT_EQ(alert.frameGeometry().size(), QSize(409, 114));
}

TEST(Alert, ANewLimitWidensTheShownAlertAgain)
{
    const TitleBar bar{PixelFont(14), PixelFont(14), 35, 77, 6};
    TForm2 alert(nullptr, bar);
    alert.Show();
    const int before = alert.width();
    alert.SetLimit(std::int64_t{1} << 62);
    EXPECT_GT(alert.width(), before);
    EXPECT_EQ(alert.width(), WidthShowingCaption(bar, alert.windowTitle()));
}

TEST_F(MainWindow, AlertIsTransientForTheMainWindow)
{
    RunStepResponse("31");
    ASSERT_TRUE(form2_->isVisible());
    ASSERT_NE(form2_->windowHandle(), nullptr);
    EXPECT_EQ(form2_->windowHandle()->transientParent(), form1_->windowHandle());
    EXPECT_EQ(form2_->parentWidget(), nullptr) << "a window of its own, not deleted with the main window";
}

// A main window of a small form, so that the column fits offscreen's
// screen, with controls where its form puts them, and tool windows with
// layouts of their own.
class Docks : public testing::Test {
protected:
    void SetUp() override
    {
        main_.setMinimumSize(kForm);
        main_.resize(kForm);
        for (const QRect& place : {QRect(8, 8, 100, 30), QRect(8, 150, 200, 40), QRect(250, 8, 42, 180)})
            controls_.push_back({new QWidget(&main_), place});
        for (auto& [control, place] : controls_)
            control->setGeometry(place);
        main_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&main_));
    }

    static std::unique_ptr<QWidget> Tool(const QString& title, QSize minimum)
    {
        auto tool = std::make_unique<QWidget>(nullptr, Qt::Window);
        tool->setWindowTitle(title);
        tool->setMinimumSize(minimum);
        return tool;
    }

    static QDockWidget* DockOf(const QWidget& tool) { return ToolDocks::DockOf(tool); }

    // Every control where the form put it, none under the column.
    void ExpectControlsUncovered(const ToolDocks& docks, const char* when) const
    {
        for (const auto& [control, place] : controls_) {
            EXPECT_EQ(control->geometry(), place) << when;
            EXPECT_FALSE(control->geometry().intersects(docks.geometry())) << when;
        }
    }

    static constexpr QSize kForm{300, 200};
    QWidget main_;
    std::vector<std::pair<QWidget*, QRect>> controls_;
};

TEST_F(Docks, ToolWindowDocksBesideTheFormAndTheMainWindowGrowsToHoldIt)
{
    ToolDocks& docks = ToolDocks::Of(main_);
    EXPECT_EQ(&ToolDocks::Of(main_), &docks) << "one column a main window";
    auto tool = Tool(QStringLiteral("Измерения"), {150, 260});
    docks.Show(*tool);
    QDockWidget* dock = DockOf(*tool);
    ASSERT_NE(dock, nullptr);
    // Owned by the dock from now on.
    QWidget& shown = *tool.release();
    EXPECT_EQ(shown.window(), &main_) << "inside the main window";
    EXPECT_EQ(dock->windowTitle(), QStringLiteral("Измерения"));
    EXPECT_FALSE(shown.isWindow());
    EXPECT_TRUE(shown.isVisible());
    EXPECT_GE(docks.Room().width(), 150);
    EXPECT_EQ(main_.size(), QSize(kForm.width() + docks.Room().width(), docks.Room().height()));
    EXPECT_GE(main_.height(), 260) << "as tall as the tool window needs";
    EXPECT_EQ(main_.minimumSize(), main_.size());
    EXPECT_EQ(docks.geometry(), QRect(kForm.width(), 0, docks.Room().width(), main_.height()));
    ExpectControlsUncovered(docks, "docked");

    // Floated, the main window gives the room back; docked again, takes it.
    dock->setFloating(true);
    EXPECT_TRUE(dock->isWindow());
    EXPECT_TRUE(shown.isVisible());
    EXPECT_EQ(docks.Room(), QSize(0, 0));
    EXPECT_EQ(main_.width(), kForm.width());
    EXPECT_EQ(main_.minimumSize(), kForm);
    dock->setFloating(false);
    EXPECT_EQ(main_.width(), kForm.width() + docks.Room().width());
    EXPECT_GE(docks.Room().width(), 150);
    ExpectControlsUncovered(docks, "docked again");

    // Floated, and its window chosen again: back in the column.
    dock->setFloating(true);
    docks.Show(shown);
    EXPECT_FALSE(dock->isFloating());
    EXPECT_EQ(main_.width(), kForm.width() + docks.Room().width());
    ExpectControlsUncovered(docks, "chosen again");

    // Closed and shown again: the same dock, back in the column.
    dock->close();
    EXPECT_EQ(main_.width(), kForm.width());
    docks.Show(shown);
    EXPECT_EQ(DockOf(shown), dock);
    EXPECT_TRUE(dock->isVisible());
    EXPECT_EQ(main_.width(), kForm.width() + docks.Room().width());
}

TEST_F(Docks, TwoToolWindowsShareTheColumnAndTheUsersExtraWidthStaysWithTheForm)
{
    main_.resize(kForm + QSize(40, 0));
    ToolDocks& docks = ToolDocks::Of(main_);
    auto first = Tool(QStringLiteral("Параметры опыта"), {200, 120});
    auto second = Tool(QStringLiteral("Измерения"), {120, 140});
    docks.Show(*first);
    const int oneWide = docks.Room().width();
    docks.Show(*second);
    QWidget& a = *first.release();
    QWidget& b = *second.release();
    EXPECT_TRUE(a.isVisible());
    EXPECT_TRUE(b.isVisible());
    EXPECT_FALSE(DockOf(a)->geometry().intersects(DockOf(b)->geometry()));
    EXPECT_GE(docks.Room().height(), 120 + 140);
    EXPECT_EQ(main_.width(), kForm.width() + 40 + docks.Room().width());
    EXPECT_GE(docks.Room().width(), oneWide);
    EXPECT_EQ(docks.geometry().right(), main_.width() - 1);
    // The controls are where the form puts them in a window 40 wider; these
    // are anchored to the left.
    ExpectControlsUncovered(docks, "two docked");
}

} // namespace

// On a screen too short for the main window's form: 1366 x 768 at a scale
// factor of 1.5 (CTest's gui.small_screen gives offscreen such a screen).
class SmallScreen : public testing::Test {
protected:
    void SetUp() override
    {
        QSettings(QStringLiteral("motormodel"), QStringLiteral("motormodel")).clear();
        keeper_.reset(KeepWindowsOnScreen(*Application()));
        form_ = std::make_unique<TForm1>();
        form_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        available_ = form_->screen()->availableGeometry();
        if (available_.height() >= 645)
            GTEST_SKIP() << "the screen holds the form; gui.small_screen runs this on one that does not";
    }

    // Every control inside the window, none over another.
    void ExpectControlsApart() const
    {
        std::vector<const QWidget*> controls;
        for (const QWidget* control : form_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (control->isVisible() && !control->isWindow() && !qobject_cast<const ToolDocks*>(control))
                controls.push_back(control);
        for (const QWidget* control : controls) {
            EXPECT_TRUE(form_->rect().contains(control->geometry())) << control->objectName().toStdString();
            for (const QWidget* other : controls)
                EXPECT_TRUE(control == other || !control->geometry().intersects(other->geometry()))
                    << control->objectName().toStdString() << " over " << other->objectName().toStdString();
        }
    }

    std::unique_ptr<QObject> keeper_;
    std::unique_ptr<TForm1> form_;
    QRect available_;
};

TEST_F(SmallScreen, MainWindowShrinksOntoTheScreenKeepingEveryControlWholeAndApart)
{
    EXPECT_TRUE(available_.contains(form_->frameGeometry()));
    ExpectControlsApart();
    // Made larger than the screen, it comes back.
    form_->resize(1200, 900);
    EXPECT_TRUE(available_.contains(form_->frameGeometry()));
    ExpectControlsApart();
}

TEST_F(SmallScreen, ToolWindowsOpenWithinTheScreenWhereverTheyStoodBefore)
{
    const std::array<QWidget*, 4> tools{&form_->Measurements(), &form_->Parameters(), &form_->Mechanical(),
                                        &form_->Family()};
    for (QWidget* tool : tools) {
        // As a place remembered on a larger screen would put it.
        RestorePlace(*tool, QPoint(1500, 900));
        ShowToolWindow(*tool, *form_);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(tool));
    }
    for (const QWidget* tool : tools)
        EXPECT_TRUE(available_.contains(tool->frameGeometry()))
            << tool->objectName().toStdString() << " at " << tool->frameGeometry().x() << ","
            << tool->frameGeometry().y() << " " << tool->frameGeometry().width() << "x"
            << tool->frameGeometry().height();
}

TEST_F(SmallScreen, FourDockedToolWindowsEachShowAUsefulHeightAsTabsWhereTheColumnIsTooShort)
{
    ToolDocks& docks = ToolDocks::Of(*form_);
    for (QWidget* tool : std::initializer_list<QWidget*>{&form_->Measurements(), &form_->Parameters(),
                                                         &form_->Mechanical(), &form_->Family()})
        docks.Show(*tool);
    QCoreApplication::processEvents();
    int showing = 0;
    for (const QDockWidget* dock : docks.findChildren<QDockWidget*>()) {
        // A dock behind another's tab shows when its tab is chosen.
        if (dock->visibleRegion().isEmpty())
            continue;
        ++showing;
        EXPECT_GE(dock->height(), std::min(dock->sizeHint().height(), 200)) << dock->objectName().toStdString();
    }
    EXPECT_GE(showing, 1);
    EXPECT_TRUE(available_.contains(form_->frameGeometry())) << "the docks scroll rather than widen it";
    ExpectControlsApart();
}
