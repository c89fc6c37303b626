// The arithmetic that places controls in a resized window and tool windows
// beside the main window, with given screens and no window shown.

#include "ui/FormAnchors.h"
#include "ui/ToolWindows.h"

#include <gtest/gtest.h>

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
         }) {
        EXPECT_EQ(Anchored(a.designed, a.anchors, a.extra), a.placed) << a.what;
        // Anchoring is relative to the form: no extra, no change.
        EXPECT_EQ(Anchored(a.designed, a.anchors, {0, 0}), a.designed) << a.what;
    }
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
