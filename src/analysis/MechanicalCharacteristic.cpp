#include "analysis/MechanicalCharacteristic.h"

#include <cmath>
#include <cstddef>

namespace analysis {

StaticCharacteristic::StaticCharacteristic(const MotorParameters& parameters)
{
    // T as the model forms it at its reset.
    MotorModel model{};
    model.Reset(parameters);
    w0_ = model.w0;
    p_ = model.p;
    Mk_ = model.Mk;
    T_ = model.T;
}

double StaticCharacteristic::SynchronousSpeed() const
{
    return static_cast<double>(w0_ / p_);
}

SpeedRange StaticCharacteristic::Range() const
{
    const double synchronous = SynchronousSpeed();
    return {-synchronous, 2.5 * synchronous};
}

std::optional<StaticPoint> StaticCharacteristic::At(double Omega) const
{
    // In the model's arithmetic, so that the curve is the same bits on
    // every machine.
    using std::sqrt;
    const Extended gap = w0_ - p_ * Omega;
    const Extended A = p_ * T_ * T_ * gap;
    const Extended B = 1 + Omega * T_ * T_ * gap;
    const Extended C = 2 * Mk_;
    const Extended discriminant = B * B - 4 * A * C;
    // NaN has no root either.
    if (!(discriminant > 0 || discriminant == 0))
        return std::nullopt;
    const Extended K = 2 * C / (B + sqrt(discriminant));
    return StaticPoint{Omega, static_cast<double>(T_ * gap * K), static_cast<double>(K)};
}

std::vector<StaticPoint> StaticCharacteristic::Curve(SpeedRange range, int intervals) const
{
    std::vector<StaticPoint> points;
    points.reserve(static_cast<std::size_t>(intervals) + 1);
    for (int k = 0; k <= intervals; ++k) {
        if (const auto point = At(range.from + k * range.span / intervals))
            points.push_back(*point);
    }
    return points;
}

LoadCharacteristic LoadCharacteristic::Of(const StepSettings& step, double load)
{
    return {load, step.profile == LoadProfile::Fan ? step.k : 0.0,
            step.profile == LoadProfile::Periodic ? step.amplitude : 0.0};
}

double LoadCharacteristic::At(double Omega) const
{
    return load + k * Omega * std::fabs(Omega);
}

std::optional<StaticPoint> OperatingPoint(const StaticCharacteristic& motor, const LoadCharacteristic& load)
{
    // The motor's torque less the load's: above 0 the motor speeds up.
    auto excess = [&](const StaticPoint& point) { return point.Md - load.At(point.Omega); };

    const std::vector<StaticPoint> curve = motor.Curve(motor.Range(), 1000);
    for (std::size_t i = curve.size(); i-- > 1;) {
        StaticPoint below = curve[i - 1];
        StaticPoint above = curve[i];
        if (!(excess(below) > 0 && excess(above) <= 0))
            continue;
        for (;;) {
            const double middle = below.Omega + (above.Omega - below.Omega) / 2;
            if (middle == below.Omega || middle == above.Omega)
                break;
            const std::optional<StaticPoint> point = motor.At(middle);
            if (!point)
                return std::nullopt;
            (excess(*point) > 0 ? below : above) = *point;
        }
        return std::fabs(excess(below)) < std::fabs(excess(above)) ? below : above;
    }
    return std::nullopt;
}

std::optional<double> StepResponseRests::Of(Quantity quantity, Segment segment) const
{
    const std::optional<StaticPoint> point = segment == Segment::On ? on : off;
    if (!point)
        return std::nullopt;
    return quantity == Quantity::Md ? point->Md : point->Omega;
}

StepResponseRests RestsOfStepResponse(const MotorParameters& model, const StepSettings& step, double load)
{
    const StaticCharacteristic motor(model);
    const double synchronous = motor.SynchronousSpeed();
    StepResponseRests rests{.on = std::nullopt, .off = {synchronous, 0, motor.At(synchronous).value_or(StaticPoint{}).K}};
    const LoadCharacteristic held = LoadCharacteristic::Of(step, load);
    if (step.profile != LoadProfile::Periodic)
        if (const std::optional<StaticPoint> point = OperatingPoint(motor, held))
            rests.on = StaticPoint{point->Omega, held.At(point->Omega), point->K};
    return rests;
}

} // namespace analysis
