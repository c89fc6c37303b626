#include "toolkit/Random.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <sstream>

namespace {

// The text the library writes of an engine, with at most the state's words
// and the place of the next, each a whole number the engine's words hold.
// The library's own reading takes any number, and a word wider than the
// engine's is undefined to draw from.
template <typename Engine>
bool EngineText(std::string_view text)
{
    std::size_t words = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] == ' ') {
            ++at;
            continue;
        }
        std::uint64_t word = 0;
        const auto [end, error] = std::from_chars(text.data() + at, text.data() + text.size(), word);
        if (error != std::errc{} || (end != text.data() + text.size() && *end != ' ') || word > Engine::max())
            return false;
        if (++words > Engine::state_size && word > Engine::state_size)
            return false;
        at = static_cast<std::size_t>(end - text.data());
    }
    return words == Engine::state_size || words == Engine::state_size + 1;
}

// Whether the engine draws nothing but zeros: its recurrence is linear, so a
// state that is not all zeros never becomes one, and a whole state's worth
// of draws after the words in hand shows it.
template <typename Engine>
bool OnlyZeros(Engine engine)
{
    engine.discard(Engine::state_size);
    for (std::size_t i = 0; i < Engine::state_size; ++i)
        if (engine() != 0)
            return false;
    return true;
}

template <typename Value>
std::string Written(const Value& value)
{
    std::ostringstream text;
    text << value;
    return text.str();
}

// Reads the text as the library writes values, all of it and nothing else.
template <typename... Values>
bool ReadWhole(std::string_view text, Values&... values)
{
    std::istringstream stream{std::string(text)};
    (stream >> ... >> values);
    return !stream.fail() && (stream >> std::ws).eof();
}

template <typename Engine>
bool RestoreEngine(Engine& engine, std::string_view text)
{
    Engine restored;
    if (!EngineText<Engine>(text) || !ReadWhole(text, restored) || OnlyZeros(restored))
        return false;
    engine = restored;
    return true;
}

} // namespace

namespace runtime {

std::string IntegerSource::State() const
{
    return Written(engine_);
}

bool IntegerSource::Restore(std::string_view state)
{
    // The distribution keeps nothing between draws: its range is fixed.
    return RestoreEngine(engine_, state);
}

void IntegerSource::srand(unsigned seed)
{
    engine_.seed(seed);
    distribution_.reset();
}

std::int64_t time()
{
    return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

} // namespace runtime

namespace toolkit {

void NormalSource::Seed(std::uint64_t seed)
{
    engine_.seed(seed);
    // Drops the second variate the distribution keeps from its last pair.
    distribution_.reset();
}

std::string NormalSource::State() const
{
    return Written(engine_) + ';' + Written(distribution_);
}

bool NormalSource::Restore(std::string_view state)
{
    const std::size_t line = state.find(';');
    if (line == std::string_view::npos)
        return false;
    // The distribution's own parameters stay the standard ones: RandG gives
    // its mean and deviation with each draw.
    // The second variate is written only when one is kept.
    long double mean = 0;
    long double deviation = 0;
    int kept = 0;
    long double variate = 0;
    const std::string_view distribution = state.substr(line + 1);
    const bool read = ReadWhole(distribution, mean, deviation, kept) ||
                      (ReadWhole(distribution, mean, deviation, kept, variate) && kept == 1 && std::isfinite(variate));
    if (!read || mean != 0 || deviation != 1 || (kept != 0 && kept != 1))
        return false;
    std::mt19937_64 engine = engine_;
    if (!RestoreEngine(engine, state.substr(0, line)))
        return false;
    std::normal_distribution<long double> restored;
    if (!ReadWhole(distribution, restored))
        return false;
    engine_ = engine;
    distribution_ = restored;
    return true;
}

} // namespace toolkit
