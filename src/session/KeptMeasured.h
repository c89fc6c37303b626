#pragma once

#include "lab/Measured.h"
#include "session/Session.h"
#include "toolkit/Exception.h"

#include <string>
#include <vector>

// Measured data as a session keeps it, by its file's name, and as the
// window and the batch tool read it again.

enum class KeptMeasuredFault {
    // A mapping is not "COLUMN=" and one of t, Md, Omega, Is or ia.
    BadMapping,
    // The file cannot be read as measured data; `unread` says why.
    Unreadable,
    // The file's bytes are not those the session was saved with.
    Changed,
};

struct KeptMeasuredProblem {
    KeptMeasuredFault fault = KeptMeasuredFault::Changed;
    std::string file{};
    std::string mapping{};
    lab::MeasuredProblem unread{};
};

class KeptMeasuredError : public toolkit::Exception {
public:
    explicit KeptMeasuredError(KeptMeasuredProblem problem)
        : Exception("kept measured data not read"), problem_(std::move(problem))
    {
    }
    const KeptMeasuredProblem& Cause() const { return problem_; }

private:
    KeptMeasuredProblem problem_;
};

struct RestoredMeasured {
    lab::Measured measured;
    std::vector<lab::ColumnMapping> mappings;
};

// What a session keeps of the data read with the mappings.
SessionMeasured KeptOf(const lab::Measured& measured, const std::vector<lab::ColumnMapping>& mappings);

// The kept data read again from its file with its mappings, the same bytes
// as when kept. Raises KeptMeasuredError.
RestoredMeasured ReadKept(const SessionMeasured& kept);
