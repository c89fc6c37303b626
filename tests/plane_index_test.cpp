// The tracker's index of a curve's points finds the point a walk over all
// of them finds, whatever the points, the place and the scale.

#include "plot/PlaneIndex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <random>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The walk over every point the tracker made before: the first point
// strictly nearer than all before it, and than `than` if given; points that
// are not numbers left out.
std::optional<PlaneFound> Walk(const std::vector<PlanePoint>& points, double md, double omega, PlaneScale scale,
                               double than)
{
    std::optional<PlaneFound> best;
    if (!std::isnan(than))
        best = PlaneFound{0, than};
    bool found = false;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double across = (points[i].Md - md) * scale.md;
        const double up = (points[i].Omega - omega) * scale.omega;
        const double distance = across * across + up * up;
        if (!std::isnan(distance) && (!best || distance < best->distance)) {
            best = PlaneFound{i, distance};
            found = true;
        }
    }
    return found ? best : std::nullopt;
}

struct PointSet {
    const char* name;
    std::function<std::vector<PlanePoint>(std::mt19937&)> make;
};

void PrintTo(const PointSet& set, std::ostream* out) { *out << set.name; }

std::vector<PlanePoint> Scattered(std::mt19937& random, std::size_t count, double spread)
{
    std::normal_distribution<double> normal(0, spread);
    std::vector<PlanePoint> points;
    for (std::size_t i = 0; i < count; ++i)
        points.push_back({normal(random), 100 + normal(random), static_cast<double>(i)});
    return points;
}

class NearestOfAPointSet : public testing::TestWithParam<PointSet> {};

TEST_P(NearestOfAPointSet, IsTheOneAWalkOverAllFinds)
{
    std::mt19937 random(20261208);
    const std::vector<PlanePoint> points = GetParam().make(random);
    const PlaneIndex index(points);
    std::uniform_real_distribution<double> place(-30, 30);
    std::uniform_real_distribution<double> scaleOf(0.01, 1000);
    for (int query = 0; query < 2000; ++query) {
        // Some places on a point itself, where ties are likeliest.
        const bool onPoint = query % 4 == 0 && !points.empty();
        const PlanePoint& at = points.empty() ? PlanePoint{0, 0, {}} : points[static_cast<std::size_t>(query) % points.size()];
        const double md = onPoint ? at.Md : place(random);
        const double omega = onPoint ? at.Omega : 100 + place(random);
        const PlaneScale scale{scaleOf(random), scaleOf(random)};
        const double than = query % 3 == 0 ? scaleOf(random) * 10 : kNaN;
        const std::optional<PlaneFound> expected = Walk(points, md, omega, scale, than);
        const std::optional<PlaneFound> found = index.Nearest(points, md, omega, scale, than);
        ASSERT_EQ(found.has_value(), expected.has_value()) << "query " << query;
        if (expected) {
            ASSERT_EQ(found->index, expected->index) << "query " << query;
            ASSERT_EQ(found->distance, expected->distance) << "query " << query;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sets, NearestOfAPointSet,
    testing::Values(
        PointSet{"none", [](std::mt19937&) { return std::vector<PlanePoint>{}; }},
        PointSet{"one", [](std::mt19937&) { return std::vector<PlanePoint>{{1, 101, 0}}; }},
        PointSet{"scattered", [](std::mt19937& r) { return Scattered(r, 5000, 10); }},
        PointSet{"a spiral settling on one point, then resting there",
                 [](std::mt19937&) {
                     std::vector<PlanePoint> points;
                     for (int i = 0; i < 6000; ++i) {
                         const double radius = i < 3000 ? 20 * std::exp(-i / 300.0) : 0;
                         points.push_back({radius * std::cos(i / 10.0), 100 + radius * std::sin(i / 10.0),
                                           static_cast<double>(i)});
                     }
                     return points;
                 }},
        PointSet{"a cloud within a millionth, and its points again later",
                 [](std::mt19937& r) {
                     std::vector<PlanePoint> points = Scattered(r, 3000, 1e-6);
                     const std::vector<PlanePoint> again(points.begin(), points.begin() + 1000);
                     points.insert(points.end(), again.begin(), again.end());
                     return points;
                 }},
        PointSet{"on a grid: many at the same distance",
                 [](std::mt19937&) {
                     std::vector<PlanePoint> points;
                     for (int i = 0; i < 4000; ++i)
                         points.push_back({static_cast<double>(i % 61 - 30), static_cast<double>(100 + i * 7 % 61 - 30), {}});
                     return points;
                 }},
        PointSet{"on one line across",
                 [](std::mt19937& r) {
                     std::vector<PlanePoint> points = Scattered(r, 3000, 10);
                     for (PlanePoint& point : points)
                         point.Omega = 100;
                     return points;
                 }},
        PointSet{"with points that are not numbers",
                 [](std::mt19937& r) {
                     std::vector<PlanePoint> points = Scattered(r, 3000, 10);
                     for (std::size_t i = 0; i < points.size(); i += 7)
                         (i % 2 ? points[i].Md : points[i].Omega) = kNaN;
                     return points;
                 }}),
    [](const auto& test) {
        std::string name;
        for (const char* c = test.param.name; *c; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return name;
    });

} // namespace
