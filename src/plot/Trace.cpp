#include "plot/Trace.h"

#include <atomic>
#include <string>
#include <utility>

namespace {

// Revisions are numbered across all traces, so that no two values share
// one, even after a trace is assigned another's.
std::uint64_t NextRevision()
{
    static std::atomic<std::uint64_t> last = 0;
    return ++last;
}

} // namespace

Trace::Trace(std::string title, Colour lineColour)
    : title_(std::move(title)), lineColour_(lineColour)
{
}

void Trace::Start(Colour pointColour)
{
    Clear();
    pointColour_ = pointColour;
}

void Trace::ReplacePoints(const Trace& other)
{
    revision_ = NextRevision();
    shared_ = other.shared_;
    pointColour_ = other.pointColour_;
}

void Trace::SwapPoints(Trace& other)
{
    revision_ = NextRevision();
    other.revision_ = NextRevision();
    std::swap(shared_, other.shared_);
    std::swap(pointColour_, other.pointColour_);
}

void Trace::TakeOwnCopy()
{
    auto own = std::make_shared<Shared>();
    own->values = Stored();
    shared_ = std::move(own);
}

const MinMaxPyramid& Trace::Pyramid() const
{
    auto& pyramid = shared_->pyramid;
    if (!pyramid || pyramid->first != shared_->changes)
        pyramid.emplace(shared_->changes, MinMaxPyramid(shared_->values));
    return pyramid->second;
}

double* Trace::MakeRoom(std::size_t count)
{
    revision_ = NextRevision();
    if (shared_.use_count() != 1)
        TakeOwnCopy();
    std::vector<double>& values = shared_->values;
    const std::size_t before = values.size();
    values.resize(before + count);
    ++shared_->changes;
    return values.data() + before;
}

void Trace::Written(const double* end)
{
    std::vector<double>& values = shared_->values;
    values.resize(static_cast<std::size_t>(end - values.data()));
}

void Trace::Clear()
{
    revision_ = NextRevision();
    if (shared_.use_count() == 1) {
        shared_->values.clear();
        ++shared_->changes;
    } else {
        shared_ = std::make_shared<Shared>();
    }
}

Trace MakeTrace(const TraceDefinition& definition)
{
    return Trace(std::string(QuantityName(definition.quantity)), definition.lineColour);
}

ChartTraces MakeTraces(const std::array<TraceDefinition, kTraceCount>& definitions)
{
    const auto& d = definitions;
    return {MakeTrace(d[0]), MakeTrace(d[1]), MakeTrace(d[2]), MakeTrace(d[3]), MakeTrace(d[4]), MakeTrace(d[5])};
}
