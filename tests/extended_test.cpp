#include "model/Extended.h"

#include "ExactValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <type_traits>

namespace {

template <class Number>
Number Apply(char op, Number a, Number b)
{
    using std::sqrt;
    switch (op) {
    case '+':
        return a + b;
    case '-':
        return a - b;
    case '*':
        return a * b;
    case '/':
        return a / b;
    default:
        return sqrt(a);
    }
}

// The same x87 value, sign of zero included, or both NaN.
bool SameValue(long double x, long double y)
{
    if (std::isnan(x) || std::isnan(y))
        return std::isnan(x) && std::isnan(y);
    return x == y && std::signbit(x) == std::signbit(y);
}

// The operation in Number, from and back to x87 values.
template <class Number>
long double Result(const x87::Operation& o)
{
    if constexpr (std::is_same_v<Number, long double>)
        return Apply(o.op, o.a, o.b);
    else
        return Apply(o.op, Number::Nearest(o.a), Number::Nearest(o.b)).Value();
}

class ExtendedOperation : public testing::TestWithParam<x87::Operation> {};

// Both the program's extended type (the hardware's on x86, MPFR elsewhere)
// and MPFR's everywhere give the x87 result.
TEST_P(ExtendedOperation, GivesTheX87Result)
{
    const x87::Operation& o = GetParam();
    EXPECT_TRUE(SameValue(Result<MpfrExtended>(o), o.result)) << std::hexfloat << Result<MpfrExtended>(o);
    EXPECT_TRUE(SameValue(Result<Extended>(o), o.result)) << std::hexfloat << Result<Extended>(o);
}

INSTANTIATE_TEST_SUITE_P(X87, ExtendedOperation, testing::ValuesIn(x87::kOperations),
                         [](const testing::TestParamInfo<x87::Operation>& row) { return std::string(row.param.name); });

TEST(MpfrExtended, WidensDoublesAndIntegersExactlyAndRoundsToDoubleToNearestEven)
{
    // 2^63 - 1 needs 63 bits; a double cannot hold it.
    const MpfrExtended big = std::int64_t{0x7FFF'FFFF'FFFF'FFFF};
    EXPECT_EQ(big.Value(), 0x7.FFFFFFFFFFFFFFFp60L);
    EXPECT_EQ(MpfrExtended(0.1).Value(), static_cast<long double>(0.1));
    // 1 + 2^-53 is halfway between two doubles: the even one is 1.
    EXPECT_EQ(static_cast<double>(MpfrExtended(1.0) + 0x1p-53), 1.0);
    EXPECT_EQ(static_cast<double>(MpfrExtended(1.0) + 0x3p-53), 1.0 + 0x1p-51);
    // Rounding happens once, from the extended value, and may overflow.
    EXPECT_EQ(static_cast<double>(MpfrExtended::Nearest(x87::kLargest)), HUGE_VAL);
}

TEST(MpfrExtended, ComparesExactly)
{
    const MpfrExtended one = 1.0;
    const MpfrExtended justAbove = one + 0x1p-63;
    EXPECT_TRUE(justAbove > 1.0);
    EXPECT_TRUE(one < justAbove);
    EXPECT_FALSE(justAbove == one);
    EXPECT_TRUE(one == 1);
    const MpfrExtended nan = MpfrExtended(HUGE_VAL) - HUGE_VAL;
    EXPECT_FALSE(nan > 0.0);
    EXPECT_FALSE(nan < 0.0);
    EXPECT_FALSE(nan == nan);
}

TEST(CorrectlyRoundedSin, GivesTheDoubleNearestTheSine)
{
    for (const Sine& s : kSines)
        EXPECT_EQ(Bits(CorrectlyRoundedSin(s.x)), Bits(s.sin)) << s.x;
}

TEST(CorrectlyRoundedSin, IsOddAndIdentityBelowTwoToMinus26)
{
    // sin x = x - x^3/6 + ...: below 2^-26 the cubic term is under half a
    // unit in the last place, so the nearest double is x itself.
    for (double x : {0x1p-27, 0x1.5p-40, 1e-300, 0x1p-1074}) {
        EXPECT_EQ(CorrectlyRoundedSin(x), x);
        EXPECT_EQ(CorrectlyRoundedSin(-x), -x);
    }
    for (double x : {0.5, 1.0, 3.0, 100.0, 1e10})
        EXPECT_EQ(CorrectlyRoundedSin(-x), -CorrectlyRoundedSin(x));
}

} // namespace
