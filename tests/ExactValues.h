#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <ostream>
#include <string_view>

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

// Step indices and the times of their states at the default step size as
// a lab report writes them: index i holds the state after i + 1 steps, and
// each time is the double nearest the decimal, and prints as it.
struct StepTime {
    double step;
    const char* seconds;
};

inline constexpr StepTime kStepTimes[] = {{0, "0.001"}, {1, "0.002"}, {349, "0.35"}, {999, "1"}, {1999, "2"}};

// The step response to a load of 10 ends at its largest Omega and Md's
// largest value, as doubles.
inline constexpr double kStep10Omega = 157.06422059784802;
inline constexpr double kStep10Md = 24.615899217041328;

// Where the default motor's static curve meets a held load of 10, as x86
// computes it: every machine must give these bits.
inline constexpr double kOperatingOmega10 = 89.68544966185938;

// Results of single x87 extended operations, each known from the format:
// a 64-bit significand, ties to even, overflow to infinity beyond
// 0xF.FFFFFFFFFFFFFFFp+16380 and subnormals down to 2^-16445. Written as
// hexadecimal long doubles, which hold them exactly both where long double
// is the x87 format and where it is binary128; binary128 or double
// arithmetic gives another answer for all but one.
namespace x87 {

inline constexpr long double kLargest = 0xF.FFFFFFFFFFFFFFFp+16380L;
inline constexpr long double kSmallestSubnormal = 0x1p-16445L;

struct Operation {
    const char* name;
    char op; // + - * / or s for the square root of a
    long double a;
    long double b;
    long double result;
};

inline void PrintTo(const Operation& o, std::ostream* out) { *out << o.name; }

inline constexpr Operation kOperations[] = {
    {"third", '/', 1, 3, 0xA.AAAAAAAAAAAAAABp-5L},
    {"tie_to_even_stays", '+', 1, 0x1p-64L, 1},
    {"tie_to_even_rounds_up", '+', 1, 0x3p-64L, 1 + 0x1p-62L},
    {"product_tie", '*', 0x1.00000001p0L, 0x1.00000001p0L, 1 + 0x1p-31L},
    {"overflow", '*', kLargest, 2, std::numeric_limits<long double>::infinity()},
    {"largest_stays_finite", '+', kLargest, 0x1p16318L, kLargest},
    {"overflow_by_rounding", '+', kLargest, 0x1p16319L, std::numeric_limits<long double>::infinity()},
    {"half_smallest_subnormal_ties_to_zero", '/', kSmallestSubnormal, 2, 0},
    {"subnormal_tie_to_even", '/', 3 * kSmallestSubnormal, 2, 2 * kSmallestSubnormal},
    {"subnormal_product", '*', 0x1p-16382L, 0x1.8p-10L, 0x1.8p-16392L},
    {"subnormal_tie_stays", '*', 0x1.0000000000000004p-16382L, 0x1p-2L, 0x1p-16384L},
    {"subnormal_tie_rounds_up", '*', 0x1.000000000000000Cp-16382L, 0x1p-2L, 0x1.000000000000001p-16384L},
    {"square_root_of_two", 's', 2, 0, 0xB.504F333F9DE6484p-3L},
};

} // namespace x87

// sin correctly rounded to double, known to many more digits than a double
// holds: sin(1e22) needs an argument reduction exact to over a hundred bits.
struct Sine {
    double x;
    double sin;
};
inline constexpr Sine kSines[] = {
    {0.0, 0.0},
    {1e22, -0.8522008497671888},
    {0x1.921fb54442d18p+1, 1.2246467991473532e-16}, // the double nearest pi
    {0x1.0c152382d7365p-1, 0.49999999999999994},    // the double nearest pi/6
};

// Induction machines as their sources document them, for the d-q model.
namespace machines {

// The squirrel-cage machine of the Modelica Standard Library
// (Machines.Utilities.ParameterRecords.IM_SquirrelCageData, once
// AIM_SquirrelCageData) with its examples' load inertia: Xs = Xr at 50 Hz
// and the total leakage factor sigma = 1 - Lm^2 / (Ls Lr) give the
// inductances. Delta-connected, 100 V across each winding; its nominal
// point, with Is the winding's current.
struct ModelicaMachine {
    double Rs = 0.03, Rr = 0.04, Xs = 3, sigma = 0.0667, f = 50, U = 100, p = 2, J = 0.29 + 0.29;
    double nominalMd = 161.4, nominalRpm = 1440.45, nominalIs = 100, nominalCosPhi = 0.875;
};
inline constexpr ModelicaMachine kModelica;

// Krause, Analysis of Electric Machinery, table of induction-machine
// parameters: star-connected, 60 Hz, 4 poles, reactances at 60 Hz.
struct KrauseMachine {
    const char* name;
    double lineVoltage, rs, Xls, XM, Xlr, rr, J;
};
inline constexpr KrauseMachine kKrause3hp{"Krause3hp", 220, 0.435, 0.754, 26.13, 0.754, 0.816, 0.089};
inline constexpr KrauseMachine kKrause2250hp{"Krause2250hp", 2300, 0.029, 0.226, 13.04, 0.226, 0.022, 63.87};

} // namespace machines

// FNV-1a hashes of the d-q model's Md, Omega, Is and ia, bit for bit, over
// 30000 steps of 0.1 ms of the Modelica machine under its fan, with the
// supply dipped to 0.3 from step 3000 to 4499 and two phases swapped at
// step 20000, as x86-64 computes them.
inline constexpr std::uint64_t kDqRungeKutta4Checksum = 0xcc986f158f4768a9;
inline constexpr std::uint64_t kDqEulerChecksum = 0x0c2948eb80ec002f;

// The experiment file of the default settings, as the program has always
// written it.
inline constexpr std::string_view kDefaultExperimentFile = R"(# motormodel experiment
[model]
J = 0.0172
Mk = 25.25
sk = 0.46
p = 2.0
dt = 0.001
w0 = 314.15000000000003

[run]
steps = 2000
limit = 30

[gauss]
mean = 15.0
sd = 3.0

[uniform]
low = 12.0
high = 18.0
levels = 1001

[step]
profile = "step"
on = 0
ramp = 0
k = 0.0
amplitude = 0.0
period = 1000.0
)";
