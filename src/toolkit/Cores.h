#pragma once

#include <algorithm>
#include <cstddef>
#include <thread>

// How many threads work side by side: one a core, and at least one where
// the machine does not say how many cores it has.
inline std::size_t Cores()
{
    return std::max(1u, std::thread::hardware_concurrency());
}
