#include "model/DqModel.h"

#include <cmath>

#include <mpfr.h>

// The state's rates of change, with the same five numbers.
struct DqModel::Derivative {
    Complex psiS;
    Complex psiR;
    double Omega;
};

namespace {

// x + h k, element by element.
template <typename Rate>
DqState Moved(const DqState& x, const Rate& k, double h)
{
    return {x.psiS + k.psiS * h, x.psiR + k.psiR * h, x.Omega + k.Omega * h};
}

} // namespace

namespace {

// MPFR keeps the constants it reduces angles with in a cache of each
// thread, which a thread's end does not free: a run on a worker frees its
// own when the worker ends.
struct ThreadCacheRelease {
    ~ThreadCacheRelease() { mpfr_free_cache2(MPFR_FREE_LOCAL_CACHE); }
};

} // namespace

Complex ExactRotation(double w0, double dt, std::int64_t k)
{
    static thread_local ThreadCacheRelease release;
    static_cast<void>(release);
    // w0 k dt holds exactly in 53 + 53 + 64 bits; sin and cos of it are
    // then rounded once to double, MPFR's correct rounding.
    mpfr_t angle, c, s;
    mpfr_init2(angle, 192);
    mpfr_init2(c, 53);
    mpfr_init2(s, 53);
    mpfr_set_d(angle, w0, MPFR_RNDN);
    mpfr_mul_d(angle, angle, dt, MPFR_RNDN);
    mpfr_mul_si(angle, angle, k, MPFR_RNDN);
    mpfr_sin_cos(s, c, angle, MPFR_RNDN);
    const Complex result{mpfr_get_d(c, MPFR_RNDN), mpfr_get_d(s, MPFR_RNDN)};
    mpfr_clears(angle, c, s, static_cast<mpfr_ptr>(nullptr));
    return result;
}

DqModel::DqModel(const DqParameters& parameters, const DqSupplyEvents& events)
    : parameters_(parameters), events_(events)
{
    const auto& [Rs, Rr, Lls, Llr, Lm, U, w0, p, J, dt, integrator] = parameters;
    // Ls Lr - Lm^2 without the cancellation of its two large terms.
    const double D = Lls * Llr + Lm * (Lls + Llr);
    a_ = (Llr + Lm) / D;
    b_ = Lm / D;
    c_ = (Lls + Lm) / D;
    torqueFactor_ = 1.5 * p;
    invJ_ = 1 / J;
    uPeak_ = std::sqrt(2.0) * U;
    turn_ = ExactRotation(w0, dt, 1);
}

DqCurrents DqModel::Currents(const DqState& x) const
{
    return {x.psiS * a_ - x.psiR * b_, x.psiR * c_ - x.psiS * b_};
}

double DqModel::Torque(const DqState& x) const
{
    return torqueFactor_ * Cross(x.psiS, Currents(x).is);
}

double DqModel::SupplyVoltage(std::int64_t step) const
{
    const bool dipped = events_.dipOn <= step && step < events_.dipOff;
    return dipped ? uPeak_ * events_.dipLevel : uPeak_;
}

Complex DqModel::Frame() const
{
    return sequence_ > 0 ? rotation_ : Conj(rotation_);
}

DqQuantities DqModel::Quantities() const
{
    const Complex is = Currents(state_).is;
    return {Torque(state_), state_.Omega, std::sqrt(0.5 * Norm(is)), (is * Frame()).re};
}

// In the frame turning at wf = sequence w0, with us real:
//   psiS' = us - Rs is - j wf psiS,   psiR' = -Rr ir - j (wf - p Omega) psiR,
//   Omega' = (3/2 p psiS x is - Mc) / J.
DqModel::Derivative DqModel::Rates(const DqState& x, double us, double Mc) const
{
    const auto [is, ir] = Currents(x);
    const double wf = sequence_ * parameters_.w0;
    const double slipSpeed = wf - parameters_.p * x.Omega;
    const Complex dPsiS = Complex{us, 0} - is * parameters_.Rs + TurnBack(x.psiS) * wf;
    const Complex dPsiR = TurnBack(x.psiR) * slipSpeed - ir * parameters_.Rr;
    const double dOmega = (torqueFactor_ * Cross(x.psiS, is) - Mc) * invJ_;
    return {dPsiS, dPsiR, dOmega};
}

DqState DqModel::Advance(double us, double Mc) const
{
    const double h = parameters_.dt;
    const Derivative k1 = Rates(state_, us, Mc);
    if (parameters_.integrator == DqIntegrator::Euler)
        return Moved(state_, k1, h);
    const Derivative k2 = Rates(Moved(state_, k1, 0.5 * h), us, Mc);
    const Derivative k3 = Rates(Moved(state_, k2, 0.5 * h), us, Mc);
    const Derivative k4 = Rates(Moved(state_, k3, h), us, Mc);
    const Derivative sum{
        ((k1.psiS + k2.psiS * 2) + k3.psiS * 2) + k4.psiS,
        ((k1.psiR + k2.psiR * 2) + k3.psiR * 2) + k4.psiR,
        ((k1.Omega + k2.Omega * 2) + k3.Omega * 2) + k4.Omega,
    };
    return Moved(state_, sum, h / 6);
}

// Swapping two phases makes the supply's vector turn the other way,
// e^(-j w0 t) in the stator's frame. The state moves into the frame that
// follows it, where the supply stays real: from the angle w0 t to -w0 t,
// each vector turned on by e^(2 j w0 t).
void DqModel::Reverse()
{
    const Complex twice = rotation_ * rotation_;
    state_.psiS = state_.psiS * twice;
    state_.psiR = state_.psiR * twice;
    sequence_ = -1;
}

void DqModel::TurnFrame()
{
    rotation_ = steps_ % kAnchorSteps == 0 ? ExactRotation(parameters_.w0, parameters_.dt, steps_) : rotation_ * turn_;
}

DqQuantities DqModel::Step(double Mc)
{
    if (events_.reverseOn == steps_)
        Reverse();
    state_ = Advance(SupplyVoltage(steps_), Mc);
    ++steps_;
    TurnFrame();
    return Quantities();
}
