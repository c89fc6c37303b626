#include "chart/ChartTools.h"

#include "chart/ChartMenu.h"
#include "chart/ChartNavigator.h"
#include "chart/ChartTracker.h"

ChartTools AttachTools(TraceChart& chart)
{
    // Event filters installed later see events first: the tracker follows
    // every move, even those the navigator takes for a drag.
    auto* navigator = new ChartNavigator(chart);
    auto* tracker = new ChartTracker(chart);
    return {navigator, tracker, new ChartMenu(chart)};
}
