#pragma once

#include <gtest/gtest.h>

#include <ostream>

#include <bit>
#include <cstdint>
#include <limits>
#include <string_view>

// The exact values hold for x87 80-bit extended arithmetic only; elsewhere
// they differ in their last digits.
inline constexpr bool kX87Extended = std::numeric_limits<long double>::digits == 64;

#define SKIP_UNLESS_X87_EXTENDED()                                                                 \
    if (!kX87Extended)                                                                             \
    GTEST_SKIP() << "long double is not the x87 80-bit format on this target, "                    \
                    "so exact results differ in their last digits"

inline std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

// The step response's largest Md and Omega for a typed load, as the window
// and the batch tool write them, exact to the last bit.
struct StepMaxima {
    const char* load;
    const char* md;
    const char* omega;
};

inline void PrintTo(const StepMaxima& m, std::ostream* out) { *out << "load " << m.load; }

inline constexpr StepMaxima kStepMaxima[] = {
    {"0", "24.058080167502872", "157.07499601842073"},  {"10", "24.615899217041328", "157.06422059784802"},
    {"15", "24.944308549001565", "157.05916421087156"}, {"20", "25.307717082168242", "157.05458330962637"},
    {"30", "29.999989639551142", "157.04716500127404"}, {"-5", "23.808949536036444", "190.43232313270283"},
    {"-100", "20.58568990955606", "509.8212894250492"},
};

inline constexpr const StepMaxima& StepMaximaOf(std::string_view load)
{
    for (const StepMaxima& maxima : kStepMaxima)
        if (load == maxima.load)
            return maxima;
    throw "no step maxima for this load";
}

// Steps and their times at the default step size as a lab report writes
// them: each time is the double nearest the decimal, and prints as it.
struct StepTime {
    double step;
    const char* seconds;
};

inline constexpr StepTime kStepTimes[] = {{0, "0"}, {1, "0.001"}, {349, "0.349"}, {1000, "1"}, {1999, "1.999"}};

// The step response to a load of 10 ends at its largest Omega and Md's
// largest value, as doubles.
inline constexpr double kStep10Omega = 157.06422059784802;
inline constexpr double kStep10Md = 24.615899217041328;
