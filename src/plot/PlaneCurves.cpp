#include "plot/PlaneCurves.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

std::vector<RunTraces> ShownRuns(const ShownTraces& traces)
{
    std::vector<RunTraces> runs;
    for (int omega = 0; omega < traces.Count(); ++omega) {
        const std::optional<RunTrace>& of = traces.Of(omega);
        if (!of || of->quantity != Quantity::Omega || !traces.IsShown(omega) || traces.At(omega).Points().empty())
            continue;
        for (int md = 0; md < traces.Count(); ++md)
            if (traces.Of(md) == RunTrace{of->pinned, of->run, Quantity::Md})
                runs.push_back({md, omega});
    }
    return runs;
}

PlanePoints PathOf(const Trace& md, const Trace& omega)
{
    return {md.SharedValues(), omega.SharedValues()};
}

PlanePoints PathOfSamples(std::span<const double> md, std::span<const double> omega)
{
    std::vector<PlanePoint> points;
    for (std::size_t i = 0; i < std::min(md.size(), omega.size()); ++i)
        if (!std::isnan(md[i]) && !std::isnan(omega[i]))
            points.push_back({md[i], omega[i], std::nullopt});
    return points;
}

AxisRanges PlaneSpan(const std::vector<const PlaneCurve*>& curves)
{
    std::vector<AxisRanges> bounds;
    for (const PlaneCurve* curve : curves)
        bounds.push_back(BoundsOf(curve->points));
    return SpanOfBounds(bounds);
}

AxisRanges BoundsOf(const PlanePoints& points)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    Range x{inf, -inf};
    Range y{inf, -inf};
    for (std::size_t i = 0; i < points.size(); ++i) {
        x = {std::min(x.min, points.Md(i)), std::max(x.max, points.Md(i))};
        y = {std::min(y.min, points.Omega(i)), std::max(y.max, points.Omega(i))};
    }
    return {x, y};
}

AxisRanges SpanOfBounds(const std::vector<AxisRanges>& bounds)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    Range x{inf, -inf};
    Range y{inf, -inf};
    for (const AxisRanges& of : bounds) {
        x = {std::min(x.min, of.x.min), std::max(x.max, of.x.max)};
        y = {std::min(y.min, of.y.min), std::max(y.max, of.y.max)};
    }
    return SpanningFound(x, y);
}

void WritePlaneCsv(const std::vector<const PlaneCurve*>& curves, CsvStyle style, const CsvWrite& write)
{
    const char separator = style.separator;
    std::string piece = std::string("curve") + separator + "step" + separator + "Md" + separator + "Omega\n";
    piece.reserve(kCsvPiece + 1024);
    for (const PlaneCurve* curve : curves)
        for (const PlanePoint point : curve->points) {
            piece.append(curve->name).push_back(separator);
            if (point.step)
                AppendCsvNumber(piece, *point.step, style);
            piece.push_back(separator);
            AppendCsvNumber(piece, point.Md, style);
            piece.push_back(separator);
            AppendCsvNumber(piece, point.Omega, style);
            piece.push_back('\n');
            if (piece.size() >= kCsvPiece) {
                write(piece);
                piece.clear();
            }
        }
    write(piece);
}

std::string PlaneCsv(const std::vector<const PlaneCurve*>& curves, CsvStyle style)
{
    std::string csv;
    WritePlaneCsv(curves, style, [&csv](std::string_view piece) { csv += piece; });
    return csv;
}

PlanePoints::PlanePoints(std::vector<PlanePoint> points)
    : held_(std::make_shared<const std::vector<PlanePoint>>(std::move(points))), size_(held_->size())
{
}

PlanePoints::PlanePoints(std::shared_ptr<const std::vector<double>> md, std::shared_ptr<const std::vector<double>> omega)
    : md_(std::move(md)), omega_(std::move(omega)), size_(std::min(md_->size(), omega_->size()))
{
}

PlanePoint PlanePoints::at(std::size_t i) const
{
    if (i >= size_)
        throw std::out_of_range("no point " + std::to_string(i) + " of " + std::to_string(size_));
    return (*this)[i];
}

PlanePoints PlanePoints::Last() const
{
    PlanePoints last = *this;
    last.first_ += size_ - 1;
    last.size_ = 1;
    return last;
}

bool PlanePoints::SharesWith(const PlanePoints& other) const
{
    return held_ == other.held_ && md_ == other.md_ && omega_ == other.omega_ && first_ == other.first_ &&
           size_ == other.size_;
}

bool PlanePoints::operator==(const PlanePoints& other) const
{
    return SharesWith(other) || std::ranges::equal(*this, other);
}
