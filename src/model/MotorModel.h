#pragma once

#include "model/Extended.h"

#include <bit>
#include <cstdint>

// The motor's parameters and the step size; the defaults are the motor the
// program was written for.
struct MotorParameters {
    double J = 0.0172;
    double Mk = 25.25;
    double sk = 0.46;
    double p = 2.0;
    double dt = 0.001;
    // One unit in the last place above the double nearest 314.15.
    double w0 = std::bit_cast<double>(std::uint64_t{0x4073A26666666667});
    bool operator==(const MotorParameters&) const = default;
};

// Lumped induction-motor model integrated by forward Euler.
//
// The state is held in x87 extended precision (Extended) and every
// operation of Step() is one rounded extended operation in a fixed order:
// the plotted curves and the displayed maxima depend on it down to the last
// bit. The field order is part of the record's layout.
struct MotorModel {
    Extended Md;
    Extended dMd;
    Extended dOmega;
    Extended dK;
    Extended Omega;
    Extended K;
    Extended MdPrev;
    Extended OmegaPrev;
    Extended KPrev;

    double w0;
    double dt;
    double p;
    double J;
    double Mk;
    double sk;
    double T;

    // Initial conditions and parameters. K starts at 0 while KPrev starts at
    // 2 Mk (50.5 by default), so the first step after a reset differs from
    // later ones.
    void Reset(const MotorParameters& parameters = {});

    // The reciprocals a step multiplies by. Each is a separate extended
    // division of the double parameters: dividing by T directly changes
    // single states in the last bit.
    struct Factors {
        Extended invT;
        Extended twoOverT;
        Extended invJ;
    };
    Factors StepFactors() const
    {
        return {Extended(1.0) / T, Extended(2.0) / T, Extended(1.0) / J};
    }

    // One Euler step of size dt against the load torque Mc, with the
    // factors formed afresh from the parameters. No checks: far negative
    // loads drive the states out of range.
    void Step(double Mc) { Step(Mc, StepFactors()); }
    // The same step with the factors formed before: a run forms them once,
    // as none of its steps changes the parameters, and keeps the divisions
    // out of its loop.
    void Step(double Mc, const Factors& factors);
};

// The largest dt at which forward Euler keeps the model's rest without load
// stable: min(2 T, J / (2 p Mk T)), from the model linearised at that rest
// (docs/settings.md derives it). Past it no run can settle; short of it a run
// from far off rest may still diverge. T is taken as Reset forms it.
double StableStepLimit(const MotorParameters& parameters);

// Inline: the run loops keep the state in registers across steps.
inline void MotorModel::Step(double Mc, const Factors& factors)
{
    const auto& [invT, twoOverT, invJ] = factors;
    dMd = (w0 - Omega * p) * K - invT * MdPrev;
    dOmega = (MdPrev - Mc) * invJ;
    dK = (twoOverT * Mk - invT * KPrev) - (OmegaPrev - KPrev * p) * Md;

    Md = dMd * dt + MdPrev;
    K = dK * dt + KPrev;
    Omega = dOmega * dt + OmegaPrev;

    MdPrev = Md;
    OmegaPrev = Omega;
    KPrev = K;
}
