#include "chart/ChartTools.h"

#include "chart/ChartCursors.h"
#include "chart/ChartMenu.h"
#include "chart/ChartNavigator.h"
#include "chart/ChartPins.h"
#include "chart/ChartTracker.h"

ChartTools AttachTools(TraceChart& chart, const ChartMenu::CommandRunner& run)
{
    // Event filters installed later see events first: the tracker follows
    // every move, even those the navigator takes for a drag, and a press on
    // a cursor takes hold of it before the navigator would zoom or pan.
    auto* navigator = new ChartNavigator(chart);
    auto* tracker = new ChartTracker(chart);
    auto* cursors = new ChartCursors(chart);
    return {navigator, tracker, cursors, new ChartPins(chart), new ChartMenu(chart, *cursors, run)};
}
