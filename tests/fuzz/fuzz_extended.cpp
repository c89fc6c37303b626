// Feeds any x87 operands to MPFR's extended arithmetic and to the x87
// hardware: the two must give the same bits (or both NaN). An input is an
// operation and two operands, each a sign, a biased exponent and a
// significand; the integer bit follows from the exponent, so every input is
// a value of the format (the hardware would treat the non-canonical ones as
// invalid).

#include "X87Bits.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace {

// 1 byte for the operation, then for each operand 2 for the sign and
// exponent and 8 for the significand.
constexpr std::size_t kInputSize = 21;

long double Operand(const std::uint8_t* bytes)
{
    std::uint16_t signAndExponent = 0;
    std::uint64_t significand = 0;
    std::memcpy(&signAndExponent, bytes, sizeof signAndExponent);
    std::memcpy(&significand, bytes + sizeof signAndExponent, sizeof significand);
    const int biasedExponent = signAndExponent & 0x7FFF;
    // The exponent of infinities and NaNs: infinity itself, whose integer
    // bit is set and the rest clear.
    if (biasedExponent == 0x7FFF)
        significand = 0;
    return differential::FromFields((signAndExponent & 0x8000) != 0, biasedExponent, significand);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < kInputSize)
        return 0;
    const differential::Operation& o =
        differential::kOperations[data[0] % std::size(differential::kOperations)];
    const long double a = Operand(data + 1);
    const long double b = Operand(data + 11);
    const long double hardware = o.hardware(a, b);
    const long double mpfr = o.mpfr(MpfrExtended::Nearest(a), MpfrExtended::Nearest(b)).Value();
    if (!differential::SameBits(hardware, mpfr)) {
        std::fprintf(stderr, "%s: %La and %La give %La on the hardware, %La through MPFR\n", o.name, a, b, hardware,
                     mpfr);
        std::abort();
    }
    return 0;
}
