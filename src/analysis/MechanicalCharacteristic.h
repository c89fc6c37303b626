#pragma once

#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "model/MotorModel.h"

#include <cmath>
#include <optional>
#include <vector>

namespace analysis {

// One rest point of the motor: at the speed Omega the model stays put with
// the torque Md and the gain K.
struct StaticPoint {
    double Omega;
    double Md;
    double K;
};

// Speeds from `from` to `from + span`, both included.
struct SpeedRange {
    double from;
    double span;
};

// The model's static (mechanical) characteristic: the torque at which the
// model rests, as a function of its speed. With the load held, all three
// derivatives of the model's step vanish where
//   Md = Mc,  (w0 - p Omega) K = Md / T,  2 Mk / T - K / T = (Omega - p K) Md.
// Putting the second into the third gives, for each Omega, a quadratic in K:
//   A K^2 - B K + C = 0,  A = p T^2 (w0 - p Omega),
//                         B = 1 + Omega T^2 (w0 - p Omega),  C = 2 Mk,
// and then Md = T (w0 - p Omega) K. Of its two roots this takes the one that
// meets K = 2 Mk, Md = 0 at the synchronous speed w0 / p, where A is 0 and
// the quadratic is linear: K = 2 C / (B + sqrt(B^2 - 4 A C)), which needs no
// division by A and loses nothing to cancellation while B > 0. Where
// B^2 < 4 A C there is no real root and no rest point.
//
// The arithmetic is extended, from the model's double parameters and its T
// as the model forms it, and each result is rounded to double once.
class StaticCharacteristic {
public:
    explicit StaticCharacteristic(const MotorParameters& parameters);

    // w0 / p, in double: where the motor turns with no torque.
    double SynchronousSpeed() const;

    // From -w0/p (turning backwards as fast as it turns forwards with no
    // load) over 2.5 w0/p, to 1.5 w0/p (driven half as fast again as the
    // field).
    SpeedRange Range() const;

    // The rest point at the speed Omega; none where the quadratic has no
    // real root.
    std::optional<StaticPoint> At(double Omega) const;

    // The rest points at Omega_k = from + k span / intervals, k = 0 ...
    // intervals, each operation in double, in increasing Omega; speeds
    // without a real root are left out. With Range() and 1000 intervals
    // these are the speeds -w0/p + k (2.5 w0/p) / 1000.
    std::vector<StaticPoint> Curve(SpeedRange range, int intervals) const;

private:
    Extended w0_;
    Extended p_;
    Extended Mk_;
    Extended T_;
};

// The load's torque against speed for the step response's profile, as the
// run applies it once the load is on: a constant load (the step and, once
// its ramp is up, the ramp), a constant plus k Omega |Omega| against the
// rotation (the fan), or a load that swings by amplitude either side of its
// mean (periodic), drawn as the band between the two.
struct LoadCharacteristic {
    // The step response's characteristic under the typed (or set) load.
    static LoadCharacteristic Of(const StepSettings& step, double load);

    double load = 0;
    // The fan's k; 0 for every other profile.
    double k = 0;
    // The periodic swing; 0 for every other profile.
    double amplitude = 0;

    // The load at the speed Omega, in double as the run forms it:
    // load + k Omega |Omega|; the middle of the band for a periodic load.
    double At(double Omega) const;
    double Lowest(double Omega) const { return At(Omega) - std::fabs(amplitude); }
    double Highest(double Omega) const { return At(Omega) + std::fabs(amplitude); }
};

// Where the load's characteristic crosses the static one: the highest speed
// in the range at which the motor's torque falls through the load's as the
// speed rises, a stable rest (with the defaults the curve falls all the way,
// so it is the only crossing and the rest of every held run). The crossing
// is bracketed on the curve's points over the range (1000 intervals) and
// then bisected on the closed form down to adjacent doubles, the one nearer
// the crossing given. A periodic load crosses at the middle of its band.
// None when they do not cross in the range, or when the bisection meets a
// speed without a rest point.
std::optional<StaticPoint> OperatingPoint(const StaticCharacteristic& motor, const LoadCharacteristic& load);

// Where the model comes to rest in each part of a step response: while the
// load acts, Md at the load and Omega at the operating point; after it is
// removed, Md 0 at the synchronous speed. None while a periodic load acts,
// which swings without rest, nor where the load does not cross the curve.
struct StepResponseRests {
    std::optional<StaticPoint> on;
    StaticPoint off;

    std::optional<double> Of(Quantity quantity, Segment segment) const;
};

StepResponseRests RestsOfStepResponse(const MotorParameters& model, const StepSettings& step, double load);

} // namespace analysis
