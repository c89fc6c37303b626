#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>

// The exact values hold for x87 80-bit extended arithmetic only; elsewhere
// they differ in their last digits.
inline constexpr bool kX87Extended = std::numeric_limits<long double>::digits == 64;

#define SKIP_UNLESS_X87_EXTENDED()                                                                 \
    if (!kX87Extended)                                                                             \
    GTEST_SKIP() << "long double is not the x87 80-bit format on this target, "                    \
                    "so exact results differ in their last digits"

inline std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }
