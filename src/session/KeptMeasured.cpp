#include "session/KeptMeasured.h"

#include <charconv>
#include <cstdint>
#include <utility>

namespace {

// The hash's 16 hexadecimal digits as the session keeps them.
std::uint64_t HashOf(const lab::Measured& measured)
{
    std::uint64_t hash = 0;
    std::from_chars(measured.hash.data(), measured.hash.data() + measured.hash.size(), hash, 16);
    return hash;
}

} // namespace

SessionMeasured KeptOf(const lab::Measured& measured, const std::vector<lab::ColumnMapping>& mappings)
{
    SessionMeasured kept{measured.file, HashOf(measured)};
    for (const lab::ColumnMapping& mapping : mappings)
        kept.mappings.push_back(mapping.column + '=' + std::string(lab::RoleName(mapping.role)));
    return kept;
}

RestoredMeasured ReadKept(const SessionMeasured& kept)
{
    RestoredMeasured restored;
    for (const std::string& text : kept.mappings) {
        const std::optional<lab::ColumnMapping> mapping = lab::ParseMapping(text);
        if (!mapping)
            throw KeptMeasuredError({KeptMeasuredFault::BadMapping, kept.file, text});
        restored.mappings.push_back(*mapping);
    }
    try {
        restored.measured = lab::ReadMeasured(kept.file, restored.mappings);
    } catch (const lab::MeasuredError& error) {
        throw KeptMeasuredError({KeptMeasuredFault::Unreadable, kept.file, {}, error.Cause()});
    }
    if (HashOf(restored.measured) != kept.hash)
        throw KeptMeasuredError({KeptMeasuredFault::Changed, kept.file});
    return restored;
}
