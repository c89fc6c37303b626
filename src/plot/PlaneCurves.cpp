#include "plot/PlaneCurves.h"

#include <algorithm>
#include <limits>
#include <string_view>

namespace {

constexpr std::string_view kMd = "Md";
constexpr std::string_view kOmega = "Omega";

} // namespace

std::vector<RunTraces> ShownRuns(const ShownTraces& traces)
{
    std::vector<RunTraces> runs;
    for (int omega = 1; omega < traces.Count(); ++omega) {
        const std::string& omegaHeading = traces.Heading(omega);
        const std::string& mdHeading = traces.Heading(omega - 1);
        if (!omegaHeading.starts_with(kOmega) || !mdHeading.starts_with(kMd) ||
            std::string_view(omegaHeading).substr(kOmega.size()) != std::string_view(mdHeading).substr(kMd.size()))
            continue;
        if (traces.IsShown(omega) && !traces.At(omega).Points().empty())
            runs.push_back({omega - 1, omega});
    }
    return runs;
}

std::vector<PlanePoint> PathOf(const Trace& md, const Trace& omega)
{
    // Both hold their points in ascending steps: one pass pairs them.
    std::vector<PlanePoint> path;
    const std::vector<TracePoint>& torques = md.Points();
    const std::vector<TracePoint>& speeds = omega.Points();
    path.reserve(std::min(torques.size(), speeds.size()));
    auto torque = torques.begin();
    for (const TracePoint& speed : speeds) {
        while (torque != torques.end() && torque->x < speed.x)
            ++torque;
        if (torque != torques.end() && torque->x == speed.x)
            path.push_back({torque->y, speed.y, speed.x});
    }
    return path;
}

AxisRanges PlaneSpan(const std::vector<const PlaneCurve*>& curves)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    Range x{inf, -inf};
    Range y{inf, -inf};
    for (const PlaneCurve* curve : curves)
        for (const PlanePoint& point : curve->points) {
            x = {std::min(x.min, point.Md), std::max(x.max, point.Md)};
            y = {std::min(y.min, point.Omega), std::max(y.max, point.Omega)};
        }
    return SpanningFound(x, y);
}

std::string PlaneCsv(const std::vector<const PlaneCurve*>& curves, CsvStyle style)
{
    auto number = [style](double value) { return CsvNumber(value, style); };
    const char separator = style.separator;
    std::string csv = std::string("curve") + separator + "step" + separator + "Md" + separator + "Omega\n";
    for (const PlaneCurve* curve : curves)
        for (const PlanePoint& point : curve->points)
            csv += curve->name + separator + (point.step ? number(*point.step) : std::string()) + separator +
                   number(point.Md) + separator + number(point.Omega) + '\n';
    return csv;
}
