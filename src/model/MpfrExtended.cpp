#include "model/Extended.h"

#include <limits>

#include <mpfr.h>

namespace {

// MPFR's settings that make its results the x87 format's: a 64-bit
// significand, and exponents from the smallest subnormal, 2^-16445, to the
// largest finite value, just under 2^16384 (MPFR counts a significand in
// [1/2, 1), so both bounds are one above the x87 exponents).
constexpr mpfr_prec_t kSignificandBits = 64;
constexpr mpfr_exp_t kSmallestExponent = -16444;
constexpr mpfr_exp_t kLargestExponent = 16384;

// One set per thread, made once: MPFR's variables allocate, and its
// exponent range is a per-thread setting.
struct Registers {
    mpfr_t a;
    mpfr_t b;
    mpfr_t sine; // a double's precision

    Registers()
    {
        mpfr_set_emin(kSmallestExponent);
        mpfr_set_emax(kLargestExponent);
        mpfr_init2(a, kSignificandBits);
        mpfr_init2(b, kSignificandBits);
        mpfr_init2(sine, std::numeric_limits<double>::digits);
    }
    ~Registers()
    {
        mpfr_clear(a);
        mpfr_clear(b);
        mpfr_clear(sine);
    }
    Registers(const Registers&) = delete;
    Registers& operator=(const Registers&) = delete;

    // a holds a result MPFR rounded to 64 bits with an unbounded exponent
    // (ternary says which way). Outside the x87 range mpfr_check_range
    // overflows it to infinity, and for a tiny result mpfr_subnormalize
    // rounds the exact value again to the bits a subnormal has left, as the
    // hardware does in one rounding.
    long double Finish(int ternary)
    {
        ternary = mpfr_check_range(a, ternary, MPFR_RNDN);
        mpfr_subnormalize(a, ternary, MPFR_RNDN);
        return mpfr_get_ld(a, MPFR_RNDN);
    }
};

Registers& ThreadRegisters()
{
    thread_local Registers registers;
    return registers;
}

using Operation = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);

long double Apply(Operation operation, long double x, long double y)
{
    Registers& r = ThreadRegisters();
    // Exact: 64 bits hold every value of the format, and a long double
    // every 64-bit result.
    mpfr_set_ld(r.a, x, MPFR_RNDN);
    mpfr_set_ld(r.b, y, MPFR_RNDN);
    return r.Finish(operation(r.a, r.a, r.b, MPFR_RNDN));
}

} // namespace

MpfrExtended operator+(MpfrExtended a, MpfrExtended b)
{
    return MpfrExtended::Exactly(Apply(mpfr_add, a.value_, b.value_));
}

MpfrExtended operator-(MpfrExtended a, MpfrExtended b)
{
    return MpfrExtended::Exactly(Apply(mpfr_sub, a.value_, b.value_));
}

MpfrExtended operator*(MpfrExtended a, MpfrExtended b)
{
    return MpfrExtended::Exactly(Apply(mpfr_mul, a.value_, b.value_));
}

MpfrExtended operator/(MpfrExtended a, MpfrExtended b)
{
    return MpfrExtended::Exactly(Apply(mpfr_div, a.value_, b.value_));
}

MpfrExtended sqrt(MpfrExtended x)
{
    Registers& r = ThreadRegisters();
    mpfr_set_ld(r.a, x.value_, MPFR_RNDN);
    return MpfrExtended::Exactly(r.Finish(mpfr_sqrt(r.a, r.a, MPFR_RNDN)));
}

MpfrExtended MpfrExtended::Nearest(long double value)
{
    Registers& r = ThreadRegisters();
    return Exactly(r.Finish(mpfr_set_ld(r.a, value, MPFR_RNDN)));
}

double CorrectlyRoundedSin(double x)
{
    Registers& r = ThreadRegisters();
    // Exact: the register has a double's 53 bits. |sin x| <= 1 cannot
    // overflow, and it is subnormal only for subnormal x, where it rounds to
    // x itself, so no subnormal rounding is needed.
    mpfr_set_d(r.sine, x, MPFR_RNDN);
    mpfr_sin(r.sine, r.sine, MPFR_RNDN);
    return mpfr_get_d(r.sine, MPFR_RNDN);
}
