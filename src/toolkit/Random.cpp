#include "toolkit/Random.h"

#include <chrono>

namespace runtime {

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

} // namespace toolkit
