#include "experiments/RecordingHost.h"

#include <stdexcept>
#include <string>
#include <utility>

const Trace& RecordingHost::Series(int n) const
{
    if (n < 1 || n > kTraceCount)
        throw std::out_of_range("no series " + std::to_string(n));
    return traces_[static_cast<std::size_t>(n - 1)];
}

Trace& RecordingHost::Series(int n)
{
    return const_cast<Trace&>(std::as_const(*this).Series(n));
}
