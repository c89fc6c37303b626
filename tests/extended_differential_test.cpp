// MPFR's extended arithmetic against the x87 hardware's, bit for bit, over
// millions of random operands: the proof that MpfrExtended gives on other
// machines what long double gives on x86. Built on x86 only.
//
// Conversions and comparisons are not drawn here: on x86 MpfrExtended does
// them with the hardware's long double, and elsewhere the exact tests of
// the runs check them.

#include "X87Bits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>

namespace {

using namespace differential;

constexpr int kPairsPerOperation = 2'000'000;
// Operands from every corner: anywhere in the range; the second near the
// first's exponent, so that sums interact bit by bit (65 apart is where one
// library rounds wrongly); short significands, whose products and sums are
// often exact or exactly halfway (ties); exponents whose sum or difference
// lands near overflow or in the subnormals.
class Operands {
public:
    std::pair<long double, long double> Next(char op)
    {
        const bool signA = Bit();
        const bool signB = Bit();
        std::uint64_t sigA = engine_();
        std::uint64_t sigB = engine_();
        int expA = Uniform(0, kLargestBiasedExponent);
        int expB = Uniform(0, kLargestBiasedExponent);
        switch (Uniform(0, 5)) {
        case 0:
            break;
        case 1:
            expB = std::clamp(expA + Uniform(-70, 70), 0, kLargestBiasedExponent);
            break;
        case 2: // 33 significant bits, and b's just past a's last bit or near it
            sigA &= ~std::uint64_t{0} << 31;
            sigB &= ~std::uint64_t{0} << 31;
            expB = std::clamp(expA + Uniform(-66, 66), 0, kLargestBiasedExponent);
            break;
        case 3: // results near overflow
            expA = Uniform(kLargestBiasedExponent - 70, kLargestBiasedExponent);
            if (op == '*')
                expB = kBias + Uniform(-5, 70);
            else if (op == '/')
                expB = kBias - Uniform(-5, 70);
            else // sums from the largest exponent overflow as often as not
                expA = expB = kLargestBiasedExponent;
            break;
        case 4: // results near and in the subnormals
            expA = Uniform(0, 70);
            if (op == '*')
                expB = kBias - Uniform(-5, 70);
            else if (op == '/')
                expB = kBias + Uniform(-5, 70);
            else // sums of subnormals and of the smallest normals
                expA = expB = Uniform(0, 1);
            break;
        default: // one subnormal operand
            expB = 0;
            break;
        }
        return {FromFields(signA, expA, sigA), FromFields(signB, std::clamp(expB, 0, kLargestBiasedExponent), sigB)};
    }

private:
    bool Bit() { return (engine_() & 1) != 0; }
    int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(engine_); }

    std::mt19937_64 engine_{20261207};
};

class ExtendedDifferential : public testing::TestWithParam<Operation> {};

TEST_P(ExtendedDifferential, MpfrGivesTheHardwareBits)
{
    const Operation& o = GetParam();
    Operands operands;
    int mismatches = 0;
    int subnormal = 0;
    int infinite = 0;
    for (int i = 0; i < kPairsPerOperation; ++i) {
        const auto [a, b] = operands.Next(o.op);
        const long double hardware = o.hardware(a, b);
        const long double mpfr = o.mpfr(MpfrExtended::Nearest(a), MpfrExtended::Nearest(b)).Value();
        if (!SameBits(hardware, mpfr) && ++mismatches <= 5)
            ADD_FAILURE() << std::hexfloat << a << ' ' << o.op << ' ' << b << ": hardware " << hardware << ", MPFR "
                          << mpfr;
        subnormal += hardware != 0 && BiasedExponentOf(hardware) == 0;
        infinite += std::isinf(hardware);
    }
    EXPECT_EQ(mismatches, 0);
    // The corners were reached: results among the subnormals and overflow
    // to infinity (a square root can reach neither).
    if (o.op != 's') {
        EXPECT_GT(subnormal, 1000);
        EXPECT_GT(infinite, 1000);
    }
}

INSTANTIATE_TEST_SUITE_P(X87, ExtendedDifferential, testing::ValuesIn(kOperations),
                         [](const testing::TestParamInfo<Operation>& row) { return std::string(row.param.name); });

} // namespace
