#include "plot/PlotNavigation.h"

bool PlotMapping::Contains(PixelPoint point) const
{
    return point.x >= area.left && point.x <= area.left + area.width && point.y >= area.top &&
           point.y <= area.top + area.height;
}
