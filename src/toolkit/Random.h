#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <string_view>

// The random sources the runs draw from, as values: a run takes them, draws,
// and hands them back, so successive runs continue one sequence and a run
// on another thread draws exactly what it would have drawn here.

namespace runtime {

// The integer generator behind _lrand, seeded by srand.
class IntegerSource {
public:
    void srand(unsigned seed);

    // Uniformly distributed integer from 0 to 2^31 - 1.
    std::int32_t _lrand() { return distribution_(engine_); }

    // Integer below n (0 when n is 0), drawn as _lrand() modulo n.
    std::int32_t RandomBelow(std::int32_t n) { return n == 0 ? 0 : _lrand() % n; }

    // The generator's whole state as text, and back: restored, it draws
    // what it would have drawn from where the text was taken. Restore
    // refuses, changing nothing, a text that is not such a state or one
    // that would draw nothing but zeros.
    std::string State() const;
    bool Restore(std::string_view state);

    bool operator==(const IntegerSource&) const = default;

private:
    std::mt19937 engine_;
    std::uniform_int_distribution<std::int32_t> distribution_{0, INT32_MAX};
};

// Current calendar time in seconds.
std::int64_t time();

} // namespace runtime

namespace toolkit {

// The generator behind RandG. The program never seeds it unless a run's
// settings give a seed.
class NormalSource {
public:
    // Normally distributed value with the given mean and standard deviation.
    long double RandG(long double mean, long double standardDeviation)
    {
        return distribution_(engine_, Parameters(mean, standardDeviation));
    }

    // Restarts the generator from a known seed.
    void Seed(std::uint64_t seed);

    // A whole number from the engine, to seed another source with.
    std::uint64_t Draw() { return engine_(); }

    // As IntegerSource's: the engine's state and the variate the
    // distribution keeps from its last pair.
    std::string State() const;
    bool Restore(std::string_view state);

    bool operator==(const NormalSource&) const = default;

private:
    using Parameters = std::normal_distribution<long double>::param_type;
    std::mt19937_64 engine_;
    std::normal_distribution<long double> distribution_;
};

} // namespace toolkit
