#include "analysis/DqCharacteristic.h"

#include "analysis/MechanicalCharacteristic.h"

#include <cmath>

namespace analysis {

namespace {

// The golden ratio's conjugate, (sqrt 5 - 1) / 2.
const double kGolden = (std::sqrt(5.0) - 1) / 2;

} // namespace

double KlossFormula::At(double s) const
{
    return 2 * Mk * (1 + a * sk) / (s / sk + sk / s + 2 * a * sk);
}

// The stator current and the rotor's air-gap power at a slip. The rotor
// branch is taken times s, Rr + j s w0 Llr, so that s = 0 (the rotor
// branch open) needs no division by s.
struct DqCharacteristic::Circuit {
    Complex Is;
    Complex impedance;
    double Md;
};

DqCharacteristic::DqCharacteristic(const DqParameters& parameters) : parameters_(parameters) {}

double DqCharacteristic::SynchronousSpeed() const { return parameters_.w0 / parameters_.p; }
double DqCharacteristic::SpeedAt(double s) const { return (1 - s) * SynchronousSpeed(); }
double DqCharacteristic::SlipAt(double Omega) const { return 1 - Omega / SynchronousSpeed(); }

DqCharacteristic::Circuit DqCharacteristic::Solve(double s) const
{
    const auto& [Rs, Rr, Lls, Llr, Lm, U, w0, p, J, dt, integrator] = parameters_;
    const Complex stator{Rs, w0 * Lls};
    const Complex magnetising{0, w0 * Lm};
    const Complex rotorTimesS{Rr, s * w0 * Llr};
    // Zm || Zr = Zm (s Zr) / (s Zm + s Zr)
    const Complex loop = magnetising * s + rotorTimesS;
    const Complex impedance = stator + magnetising * rotorTimesS / loop;
    const Complex Is = Complex{U, 0} / impedance;
    // Ir = Is Zm / (Zm + Zr) = Is s Zm / loop; M = 3 p / w0 |Ir|^2 Rr / s.
    const double Md = 3 * p / w0 * (Norm(Is * magnetising) * s * Rr / Norm(loop));
    return {Is, impedance, Md};
}

double DqCharacteristic::Torque(double s) const { return Solve(s).Md; }

DqSteadyPoint DqCharacteristic::At(double s) const
{
    const Circuit c = Solve(s);
    const double Z = std::sqrt(Norm(c.impedance));
    return {s, SpeedAt(s), c.Md, std::sqrt(Norm(c.Is)), c.impedance.re / Z};
}

BreakdownPoint DqCharacteristic::Breakdown() const
{
    // The torque rises from 0 at s = 0 to one peak and falls after it: the
    // peak lies below the first doubling at which the torque falls.
    double high = 1;
    while (Torque(2 * high) > Torque(high))
        high *= 2;
    double low = 0;
    high *= 2;
    double left = high - kGolden * (high - low);
    double right = low + kGolden * (high - low);
    double Mleft = Torque(left);
    double Mright = Torque(right);
    // 0.618^160 of the bracket is far below a double's resolution of sk.
    for (int i = 0; i < 160 && left < right; ++i) {
        if (Mleft < Mright) {
            low = left;
            left = right;
            Mleft = Mright;
            right = low + kGolden * (high - low);
            Mright = Torque(right);
        } else {
            high = right;
            right = left;
            Mright = Mleft;
            left = high - kGolden * (high - low);
            Mleft = Torque(left);
        }
    }
    const double sk = Mleft < Mright ? right : left;
    return {sk, Torque(sk)};
}

KlossFormula DqCharacteristic::Kloss() const
{
    const auto& [Rs, Rr, Lls, Llr, Lm, U, w0, p, J, dt, integrator] = parameters_;
    const Complex stator{Rs, w0 * Lls};
    const Complex magnetising{0, w0 * Lm};
    const Complex sum = stator + magnetising;
    const Complex Zth = stator * magnetising / sum;
    const double Uth2 = Norm(Complex{U, 0} * magnetising / sum);
    const double X = Zth.im + w0 * Llr;
    const double Z = std::sqrt(Zth.re * Zth.re + X * X);
    return {3 * p / w0 * Uth2 / (2 * (Zth.re + Z)), Rr / Z, Zth.re / Rr};
}

std::vector<DqSteadyPoint> DqCharacteristic::Curve(double sFrom, double sTo, int intervals) const
{
    std::vector<DqSteadyPoint> points;
    points.reserve(static_cast<std::size_t>(intervals) + 1);
    for (int k = 0; k <= intervals; ++k)
        points.push_back(At(k == intervals ? sTo : sFrom + (sTo - sFrom) * k / intervals));
    return points;
}

std::vector<DqSteadyPoint> DqCharacteristic::CurveOverSpeeds(double from, double span, int intervals) const
{
    std::vector<DqSteadyPoint> points;
    points.reserve(static_cast<std::size_t>(intervals) + 1);
    for (int k = 0; k <= intervals; ++k) {
        const double Omega = from + k * span / intervals;
        points.push_back(At(SlipAt(Omega)));
        points.back().Omega = Omega;
    }
    return points;
}

std::optional<DqSteadyPoint> DqCharacteristic::OperatingPoint(const std::function<double(double)>& load) const
{
    const auto excess = [&](double s) { return Torque(s) - load(SpeedAt(s)); };
    double low = 0;
    double high = Breakdown().sk;
    if (!(excess(low) <= 0 && excess(high) > 0))
        return std::nullopt;
    for (double middle = low + (high - low) / 2; low < middle && middle < high; middle = low + (high - low) / 2)
        (excess(middle) > 0 ? high : low) = middle;
    return At(std::fabs(excess(low)) <= std::fabs(excess(high)) ? low : high);
}

std::optional<double> DqStepResponseRests::Of(Quantity quantity, Segment segment) const
{
    const std::optional<DqSteadyPoint> point = segment == Segment::On ? on : off;
    if (!point)
        return std::nullopt;
    switch (quantity) {
    case Quantity::Md:
        return point->Md;
    case Quantity::Omega:
        return point->Omega;
    case Quantity::Is:
        return point->Is;
    case Quantity::ia:
        break;
    }
    return std::nullopt;
}

DqStepResponseRests DqRestsOfStepResponse(const DqParameters& machine, const StepSettings& step, double load)
{
    const DqCharacteristic motor(machine);
    DqStepResponseRests rests{.on = std::nullopt, .off = motor.At(0)};
    const LoadCharacteristic held = LoadCharacteristic::Of(step, load);
    if (step.profile != LoadProfile::Periodic)
        if (std::optional<DqSteadyPoint> point = motor.OperatingPoint([&](double Omega) { return held.At(Omega); })) {
            point->Md = held.At(point->Omega);
            rests.on = point;
        }
    return rests;
}

} // namespace analysis
