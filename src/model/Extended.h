#pragma once

#include <limits>
#include <type_traits>

// The model's arithmetic: the x87 80-bit extended format, a 64-bit
// significand and a 15-bit exponent, every operation rounded once to nearest
// with ties to even. Where long double is that format (GCC on x86) Extended
// is long double and the hardware does the work. Elsewhere (aarch64's
// long double is binary128, MSVC's is binary64) MpfrExtended rounds each
// operation through MPFR to the same format, so every result is the same
// bits as on x86.

// Holds an x87 extended value and rounds each operation to that format
// through MPFR. The value is kept as long double between operations: on
// x86 that is the format itself, and binary128 holds every x87 value
// exactly. Double and integer operands widen exactly.
class MpfrExtended {
public:
    MpfrExtended() = default;
    MpfrExtended(double value) : value_(value) {}
    // Exact for every integer the program converts (up to 64 bits). No
    // concept here: Qt's moc reads this header through the windows' and
    // cannot parse <concepts>.
    template <typename Integer, typename = std::enable_if_t<std::is_integral_v<Integer>>>
    MpfrExtended(Integer value) : value_(static_cast<long double>(value))
    {
    }

    // Rounds to the nearest double, ties to even, as storing an x87 value
    // into a double does.
    explicit operator double() const { return static_cast<double>(value_); }

    MpfrExtended& operator+=(MpfrExtended other) { return *this = *this + other; }

    friend MpfrExtended operator+(MpfrExtended a, MpfrExtended b);
    friend MpfrExtended operator-(MpfrExtended a, MpfrExtended b);
    friend MpfrExtended operator*(MpfrExtended a, MpfrExtended b);
    friend MpfrExtended operator/(MpfrExtended a, MpfrExtended b);
    friend MpfrExtended sqrt(MpfrExtended a);

    // Comparisons are exact whatever the format that holds the values.
    friend bool operator==(MpfrExtended a, MpfrExtended b) { return a.value_ == b.value_; }
    friend bool operator<(MpfrExtended a, MpfrExtended b) { return a.value_ < b.value_; }
    friend bool operator>(MpfrExtended a, MpfrExtended b) { return a.value_ > b.value_; }

    // The value as this machine's long double, which holds it exactly.
    long double Value() const { return value_; }
    // The extended value nearest a long double: exact where long double is
    // the x87 format, so a test can start from any x87 bit pattern.
    static MpfrExtended Nearest(long double value);

private:
    // value is already an x87 value.
    static MpfrExtended Exactly(long double value)
    {
        MpfrExtended result;
        result.value_ = value;
        return result;
    }

    long double value_ = 0;
};

// The x87 format on this target, unless MOTORMODEL_MPFR_EXTENDED asks for
// MPFR on x86 too, to compare the two in one sitting.
inline constexpr bool kHardwareExtended =
    std::numeric_limits<long double>::digits == 64 && std::numeric_limits<long double>::max_exponent == 16384;

#if defined(MOTORMODEL_MPFR_EXTENDED)
using Extended = MpfrExtended;
#else
using Extended = std::conditional_t<kHardwareExtended, long double, MpfrExtended>;
#endif

// sin(x) correctly rounded to double (MPFR's), the same bits on every
// machine, where the C library's sin may differ in the last place.
double CorrectlyRoundedSin(double x);
