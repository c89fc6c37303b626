#include "model/MotorModel.h"

#include <algorithm>

void MotorModel::Reset(const MotorParameters& parameters)
{
    Md = dMd = dOmega = dK = Omega = K = MdPrev = OmegaPrev = 0.0;
    // K's value at rest without load, exact in extended: the first two steps
    // keep dK at 0 whatever Mk is.
    KPrev = Extended(parameters.Mk) * 2.0;

    w0 = parameters.w0;
    dt = parameters.dt;
    p = parameters.p;
    J = parameters.J;
    Mk = parameters.Mk;
    sk = parameters.sk;
    // Extended quotient of the stored doubles, rounded to double on store.
    T = static_cast<double>(Extended(sk) / w0);
}

double StableStepLimit(const MotorParameters& parameters)
{
    MotorModel model{};
    model.Reset(parameters);
    // K's own mode decays at the rate 1/T, which Euler follows while
    // dt < 2 T. Md and Omega form the pair  Md' = -Md/T - 2 p Mk dOmega,
    // dOmega' = Md/J: where its rates are complex, dt must also stay below
    // -2 Re(rate) / |rate|^2 = J / (2 p Mk T); where they are real, that
    // quotient is above 4 T and the first bound holds.
    const double pair = parameters.J / (2 * parameters.p * parameters.Mk * model.T);
    return std::min(2 * model.T, pair);
}
