#include "model/MotorModel.h"

#include <bit>
#include <cstdint>

void MotorModel::Reset()
{
    Md = dMd = dOmega = dK = Omega = K = MdPrev = OmegaPrev = 0.0;
    KPrev = 50.5;

    // w0 is one unit in the last place above the double nearest 314.15.
    w0 = std::bit_cast<double>(std::uint64_t{0x4073A26666666667});
    dt = kStepSeconds;
    p = 2.0;
    J = 0.0172;
    Mk = 25.25;
    sk = 0.46;
    // Extended quotient of the stored doubles, rounded to double on store.
    T = static_cast<double>(Extended(sk) / w0);
}
