#pragma once

// x87 extended values taken apart and put together, and the operations
// MPFR's extended arithmetic must do as the x87 hardware does: shared by
// the differential test and its fuzzer, both on x86 only.

#include "model/Extended.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <ostream>

static_assert(kHardwareExtended, "comparing with the x87 hardware needs it");

namespace differential {

inline constexpr int kLargestBiasedExponent = 0x7FFE;
inline constexpr int kBias = 0x3FFF; // the biased exponent of 1

// An x87 value from its fields: a biased exponent of 0 makes a subnormal
// (or zero), whose explicit integer bit is clear; otherwise it is set.
inline long double FromFields(bool negative, int biasedExponent, std::uint64_t significand)
{
    significand = biasedExponent == 0 ? significand & ~(std::uint64_t{1} << 63) : significand | (std::uint64_t{1} << 63);
    const auto signAndExponent = static_cast<std::uint16_t>((negative ? 0x8000 : 0) | biasedExponent);
    long double value = 0;
    std::memcpy(&value, &significand, sizeof significand);
    std::memcpy(reinterpret_cast<char*>(&value) + sizeof significand, &signAndExponent, sizeof signAndExponent);
    return value;
}

inline int BiasedExponentOf(long double x)
{
    std::uint16_t signAndExponent = 0;
    std::memcpy(&signAndExponent, reinterpret_cast<const char*>(&x) + 8, sizeof signAndExponent);
    return signAndExponent & 0x7FFF;
}

// The ten bytes of the format, or both NaN (whose payloads the two may
// choose differently; the program never reads one).
inline bool SameBits(long double x, long double y)
{
    if (std::isnan(x) || std::isnan(y))
        return std::isnan(x) && std::isnan(y);
    return std::memcmp(&x, &y, 10) == 0;
}

struct Operation {
    const char* name;
    char op;
    long double (*hardware)(long double, long double);
    MpfrExtended (*mpfr)(MpfrExtended, MpfrExtended);
};

inline void PrintTo(const Operation& o, std::ostream* out) { *out << o.name; }

inline const Operation kOperations[] = {
    {"add", '+', [](long double a, long double b) { return a + b; },
     [](MpfrExtended a, MpfrExtended b) { return a + b; }},
    {"subtract", '-', [](long double a, long double b) { return a - b; },
     [](MpfrExtended a, MpfrExtended b) { return a - b; }},
    {"multiply", '*', [](long double a, long double b) { return a * b; },
     [](MpfrExtended a, MpfrExtended b) { return a * b; }},
    {"divide", '/', [](long double a, long double b) { return a / b; },
     [](MpfrExtended a, MpfrExtended b) { return a / b; }},
    {"square_root", 's', [](long double a, long double) { return std::sqrt(std::fabs(a)); },
     [](MpfrExtended a, MpfrExtended) { return sqrt(MpfrExtended::Nearest(std::fabs(a.Value()))); }},
};

} // namespace differential
