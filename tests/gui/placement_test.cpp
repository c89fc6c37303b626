// The arithmetic that places controls in a resized window and tool windows
// beside the main window, with given screens and no window shown.

#include "ui/FormAnchors.h"
#include "ui/ScreenFit.h"
#include "ui/ToolWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

struct Anchoring {
    const char* what;
    QRect designed;
    Anchors anchors;
    QSize extra;
    QRect placed;
};

TEST(FormAnchors, ControlsKeepTheirDistanceToTheEdgesTheyAreAnchoredTo)
{
    constexpr Anchors kAll{.left = true, .top = true, .right = true, .bottom = true};
    constexpr Anchors kTopRight{.left = false, .top = true, .right = true, .bottom = false};
    constexpr Anchors kUnder{.left = true, .top = false, .right = true, .bottom = true};
    const QRect chart(16, 40, 625, 545);
    for (const Anchoring& a : {
             Anchoring{"chart at the form's size", chart, kAll, {0, 0}, chart},
             Anchoring{"chart takes width and height", chart, kAll, {300, 200}, {16, 40, 925, 745}},
             Anchoring{"button moves right only", {664, 40, 161, 49}, kTopRight, {300, 200}, {964, 40, 161, 49}},
             Anchoring{"progress bar stays under the chart", {16, 592, 625, 17}, kUnder, {300, 200},
                       {16, 792, 925, 17}},
             Anchoring{"left and top only: stays", {664, 208, 73, 25}, Anchors{}, {300, 200}, {664, 208, 73, 25}},
             Anchoring{"bottom only: moves down", {1, 2, 3, 4}, {.top = false, .bottom = true}, {0, 7}, {1, 9, 3, 4}},
             Anchoring{"narrower: chart gives width and height", chart, kAll, {-100, -50}, {16, 40, 525, 495}},
             Anchoring{"narrower: button moves left", {664, 40, 161, 49}, kTopRight, {-100, -50}, {564, 40, 161, 49}},
             Anchoring{"narrower: progress bar moves up", {16, 592, 625, 17}, kUnder, {-100, -50}, {16, 542, 525, 17}},
             Anchoring{"narrower: left only gives its reach past the edge", {16, 4, 809, 32}, Anchors{}, {-100, -50},
                       {16, 4, 709, 32}},
         }) {
        EXPECT_EQ(Anchored(a.designed, a.anchors, a.extra), a.placed) << a.what;
        // Anchoring is relative to the form: no extra, no change.
        EXPECT_EQ(Anchored(a.designed, a.anchors, {0, 0}), a.designed) << a.what;
    }
}

// The main window's column on the right and its tool bar, where the form
// puts them: bands 4..36, 40..89, 104..153, 176..193, 208..233, 248..297,
// 312..361, 376..389, 416..433, 440..453, 464..481, 488..513, 560..609.
const std::vector<QRect> kTopKept = {
    {16, 4, 809, 32},  {664, 40, 161, 49},  {664, 104, 161, 49}, {664, 176, 137, 17}, {664, 208, 73, 25},
    {664, 248, 161, 49}, {664, 312, 161, 49}, {664, 376, 193, 13}, {664, 416, 39, 17},  {659, 440, 46, 13},
    {664, 464, 61, 17},  {659, 488, 22, 25},  {664, 560, 161, 49}};

TEST(VerticalSqueeze, BandsGiveTheirRoomBeyondTheGapInProportionKeepingSizesAndOrder)
{
    const VerticalSqueeze squeeze(kTopKept);
    // The twelve gaps between the bands, each less the four pixels kept:
    // 0 + 11 + 19 + 11 + 11 + 11 + 11 + 23 + 3 + 7 + 3 + 43.
    EXPECT_EQ(squeeze.Slack(), 153);
    for (int by : {0, 1, 50, 152, 153, 400}) {
        const int taken = std::min(by, squeeze.Slack());
        EXPECT_EQ(squeeze.Top(4, by), 4) << "the first band stays, by " << by;
        EXPECT_EQ(squeeze.Top(560, by), 560 - taken) << "the last band rises by all that is taken, by " << by;
        for (std::size_t i = 1; i < kTopKept.size(); ++i) {
            const QRect& above = kTopKept[i - 1];
            const QRect& control = kTopKept[i];
            const int gap = squeeze.Top(control.top(), by) - (squeeze.Top(above.top(), by) + above.height());
            // 440..453 lies below 416..433 with a 6-pixel gap; the 659-wide
            // labels share no band with the buttons.
            EXPECT_GE(gap, std::min(VerticalSqueeze::kGap, control.top() - above.bottom() - 1))
                << "no overlap between " << i - 1 << " and " << i << ", by " << by;
            EXPECT_LE(squeeze.Top(control.top(), by), control.top()) << "never lower, by " << by;
        }
    }
}

TEST(VerticalSqueeze, OverlappingControlsShareABandAndNothingToSqueezeLeavesTopsAlone)
{
    const VerticalSqueeze shared({{0, 0, 10, 20}, {20, 10, 10, 20}, {0, 60, 10, 10}});
    EXPECT_EQ(shared.Slack(), 30 - VerticalSqueeze::kGap);
    EXPECT_EQ(shared.Top(10, 10), 10) << "inside the first band";
    EXPECT_EQ(shared.Top(60, 10), 50);
    const VerticalSqueeze touching({{0, 0, 10, 20}, {0, 20, 10, 20}});
    EXPECT_EQ(touching.Slack(), 0);
    EXPECT_EQ(touching.Top(20, 5), 20);
    EXPECT_EQ(VerticalSqueeze({}).Top(7, 5), 7);
}

struct Fitting {
    const char* what;
    QRect outer;
    QRect available;
    QSize smallest;
    QRect fitted;
};

TEST(OnScreen, WindowsShrinkAndMoveIntoTheAvailableAreaAsFarAsTheirSmallestAllows)
{
    const QRect hd(0, 0, 1920, 1040);
    // 1366 x 768 at a scale factor of 1.5, a panel of 32 pixels at the top.
    const QRect small(0, 22, 910, 490);
    for (const Fitting& f : {
             Fitting{"held where it stands: unchanged", {68, 67, 881, 645}, hd, {881, 645}, {68, 67, 881, 645}},
             Fitting{"past the bottom: moved up", {68, 500, 881, 645}, hd, {881, 645}, {68, 395, 881, 645}},
             Fitting{"past the right: moved left", {1500, 67, 777, 645}, hd, {300, 300}, {1143, 67, 777, 645}},
             Fitting{"left of the screen: moved right", {-200, 67, 400, 300}, hd, {}, {0, 67, 400, 300}},
             Fitting{"taller than the screen: as tall, at its top", {68, 67, 881, 645}, small, {700, 400},
                     {29, 22, 881, 490}},
             Fitting{"wider and taller: the whole area", {68, 67, 1040, 880}, small, {300, 300}, small},
             Fitting{"larger than the screen at its smallest: top left kept on it", {68, 67, 881, 645}, small,
                     {950, 520}, {0, 22, 950, 520}},
             Fitting{"on a second screen", {1800, 100, 600, 400}, {1920, 0, 1280, 1024}, {}, {1920, 100, 600, 400}},
         })
        EXPECT_EQ(OnScreen(f.outer, f.available, f.smallest), f.fitted) << f.what;
}

// The main window's controls where the form puts them, on the screen, for
// a main window whose client area starts at the given point.
std::vector<QRect> FormControls(QPoint client)
{
    std::vector<QRect> controls;
    for (const QRect& control : {QRect(16, 40, 625, 545), QRect(664, 40, 161, 49), QRect(664, 104, 161, 49),
                                 QRect(664, 176, 137, 17), QRect(664, 208, 73, 25), QRect(664, 248, 161, 49),
                                 QRect(664, 312, 161, 49), QRect(664, 376, 193, 13), QRect(664, 416, 39, 17),
                                 QRect(659, 440, 46, 13), QRect(664, 464, 61, 17), QRect(659, 488, 22, 25),
                                 QRect(664, 560, 161, 49), QRect(16, 592, 625, 17)})
        controls.push_back(control.translated(client));
    return controls;
}

struct Placement {
    const char* what;
    QRect screen;
    QRect main;
    QSize tool;
    QPoint placed;
};

TEST(ToolWindows, GoRightOfTheMainWindowWithRoomElseWhereTheyCoverTheFewestControls)
{
    const QRect main(68, 67, 881, 645);
    for (const Placement& p : {
             Placement{"room on the right", {0, 0, 1920, 1080}, main, {790, 740}, {949, 67}},
             Placement{"on the right, raised to stay on the screen", {0, 0, 1920, 768}, main, {300, 740}, {949, 28}},
             Placement{"on a second screen", {1920, 0, 1280, 1024}, main.translated(1932, 0), {300, 400},
                       {2881, 67}},
             Placement{"no room on the right: on the left", {0, 0, 1920, 1080}, main.translated(932, 0), {790, 740},
                       {210, 67}},
             // Every button is free left of x = 727, on the chart.
             Placement{"no room beside it: over the chart, the buttons free", {0, 0, 1280, 800}, main, {680, 740},
                       {0, 60}},
             // Taller than the room below the main window: it covers all the
             // controls wherever it goes, and the least of the main window
             // at the screen's right edge.
             Placement{"too wide to leave the buttons free", {0, 0, 1280, 800}, main, {790, 740}, {490, 60}},
             Placement{"below the main window", {0, 0, 1024, 900}, main.translated(-68, -67), {300, 200},
                       {724, 645}},
             Placement{"larger than the screen: its top left corner", {0, 0, 800, 600}, main, {900, 700}, {0, 0}},
         })
        EXPECT_EQ(PlaceBeside(p.screen, p.main, FormControls(p.main.topLeft()), p.tool), p.placed) << p.what;
}

} // namespace
