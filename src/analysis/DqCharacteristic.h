#pragma once

#include "experiments/Runs.h"
#include "experiments/Settings.h"
#include "model/DqModel.h"
#include "plot/Trace.h"

#include <functional>
#include <optional>
#include <vector>

namespace analysis {

// The d-q machine in its steady state at the slip s, from its equivalent
// T-circuit: the stator branch Rs + j w0 Lls, the magnetising branch
// j w0 Lm and the rotor branch Rr / s + j w0 Llr, under U per phase. The
// d-q model settles exactly onto it: the circuit is the model's rest in the
// supply's frame.
struct DqSteadyPoint {
    double s;
    double Omega;  // mechanical speed, rad/s
    double Md;     // N m
    double Is;     // stator current, RMS, A
    double cosPhi; // power factor at the stator's terminals
};

struct BreakdownPoint {
    double sk;
    double Mk;
};

// Kloss's formula refined by the stator's resistance:
//   M = 2 Mk (1 + a sk) / (s / sk + sk / s + 2 a sk),  a = Rth / Rr,
// with Mk and sk of the Thevenin equivalent of the supply, stator and
// magnetising branches seen from the rotor (Rth its resistance). As that
// equivalent is exact, so is the formula, at every slip but 0.
struct KlossFormula {
    double Mk;
    double sk;
    double a;
    double At(double s) const;
};

class DqCharacteristic {
public:
    explicit DqCharacteristic(const DqParameters& parameters);

    // w0 / p, where the machine turns with no torque.
    double SynchronousSpeed() const;
    double SpeedAt(double s) const;
    double SlipAt(double Omega) const;

    double Torque(double s) const;
    double StartingTorque() const { return Torque(1); }
    DqSteadyPoint At(double s) const;

    // The greatest torque of motoring, 0 < s, found by a golden-section
    // search on Torque itself.
    BreakdownPoint Breakdown() const;
    KlossFormula Kloss() const;

    // Slips from sFrom to sTo in equal intervals, both ends included.
    std::vector<DqSteadyPoint> Curve(double sFrom, double sTo, int intervals) const;

    // The points at the speeds Omega_k = from + k span / intervals, k = 0
    // ... intervals, as the three-state curve takes them, each point's
    // Omega that speed itself.
    std::vector<DqSteadyPoint> CurveOverSpeeds(double from, double span, int intervals) const;

    // Where the torque meets a load given against speed on the stable
    // branch, 0 < s < sk, bisected down to adjacent doubles of s; none
    // where the load is not below the breakdown torque there.
    std::optional<DqSteadyPoint> OperatingPoint(const std::function<double(double Omega)>& load) const;

private:
    struct Circuit;
    Circuit Solve(double s) const;

    DqParameters parameters_;
};

// Where the d-q machine rests in each part of a step response: while the
// load acts, at its operating point, Md at the load there; after it is
// removed, at the synchronous speed with no torque and the magnetising
// current. None while a periodic load acts, which swings without rest, nor
// where the load meets the curve at no stable point; phase a's current
// alternates and has no rest.
struct DqStepResponseRests {
    std::optional<DqSteadyPoint> on;
    DqSteadyPoint off;

    std::optional<double> Of(Quantity quantity, Segment segment) const;
};

DqStepResponseRests DqRestsOfStepResponse(const DqParameters& machine, const StepSettings& step, double load);

} // namespace analysis
