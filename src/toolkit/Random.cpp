#include "toolkit/Random.h"

#include <chrono>
#include <random>

namespace runtime {

namespace {

struct IntegerSource {
    std::mt19937 engine;
    std::uniform_int_distribution<std::int32_t> distribution{0, INT32_MAX};
};

IntegerSource& integerSource()
{
    static IntegerSource source;
    return source;
}

} // namespace

void srand(unsigned seed)
{
    IntegerSource& source = integerSource();
    source.engine.seed(seed);
    source.distribution.reset();
}

std::int64_t time()
{
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::int32_t _lrand()
{
    IntegerSource& source = integerSource();
    return source.distribution(source.engine);
}

std::int32_t RandomBelow(std::int32_t n)
{
    return n == 0 ? 0 : _lrand() % n;
}

} // namespace runtime

namespace toolkit {

namespace {

struct NormalSource {
    std::mt19937_64 engine;
    std::normal_distribution<long double> distribution;
};

NormalSource& normalSource()
{
    static NormalSource source;
    return source;
}

} // namespace

long double RandG(long double mean, long double standardDeviation)
{
    NormalSource& source = normalSource();
    using Parameters = std::normal_distribution<long double>::param_type;
    return source.distribution(source.engine, Parameters(mean, standardDeviation));
}

void SeedRandG(std::uint64_t seed)
{
    NormalSource& source = normalSource();
    source.engine.seed(seed);
    // Drops the second variate the distribution keeps from its last pair.
    source.distribution.reset();
}

} // namespace toolkit
