#pragma once

#include <cstdint>

// The random sources the runs draw from. Both are process-wide, as the
// runtime library's and the toolkit's generators are; tests seed them to
// make runs repeatable.

namespace runtime {

// Seeds the integer generator behind _lrand().
void srand(unsigned seed);

// Current calendar time in seconds.
std::int64_t time();

// Uniformly distributed integer from 0 to 2^31 - 1.
std::int32_t _lrand();

// Integer below n (0 when n is 0), drawn as _lrand() modulo n.
std::int32_t RandomBelow(std::int32_t n);

} // namespace runtime

namespace toolkit {

// Normally distributed value with the given mean and standard deviation.
// The program never seeds this generator.
long double RandG(long double mean, long double standardDeviation);

// Restarts the generator behind RandG from a known seed.
void SeedRandG(std::uint64_t seed);

} // namespace toolkit
