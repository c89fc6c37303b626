#include "model/MotorModel.h"

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
