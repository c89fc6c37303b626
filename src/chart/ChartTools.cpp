#include "chart/ChartTools.h"

#include "chart/ChartCurrents.h"
#include "chart/ChartCursors.h"
#include "chart/ChartMenu.h"
#include "chart/ChartNavigator.h"
#include "chart/ChartPins.h"
#include "chart/ChartTracker.h"
#include "chart/TraceChart.h"

#include <QCoreApplication>

ChartTools AttachTools(TraceChart& chart, const ChartMenu::CommandRunner& run)
{
    // Event filters installed later see events first: the tracker follows
    // every move, even those the navigator takes for a drag, and a press on
    // a cursor takes hold of it before the navigator would zoom or pan.
    auto* navigator = new ChartNavigator(chart);
    auto* tracker = new ChartTracker(chart);
    auto* cursors = new ChartCursors(chart);
    auto* pins = new ChartPins(chart);
    auto* menu = new ChartMenu(chart, cursors, run);
    menu->AddEntryItem(
        "ChartTools", QT_TRANSLATE_NOOP("ChartTools", "Убрать"), [pins](int index) { return pins->IsPin(index); },
        [pins](int index) { pins->Remove(index); });
    auto* currents = new ChartCurrents(chart, menu->Menu());
    return {navigator, tracker, cursors, pins, menu, currents};
}
