#include "experiments/Family.h"

#include "experiments/ExperimentFile.h"
#include "experiments/Experiments.h"
#include "model/Extended.h"
#include "model/MotorModel.h"
#include "toolkit/Conversions.h"
#include "toolkit/Cores.h"

#include <array>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

namespace {

std::string_view Trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

[[noreturn]] void Refuse(std::string_view text, ProblemKind why)
{
    throw SettingsError({.kind = why, .value = std::string(text), .count = static_cast<std::int64_t>(kMaxFamilyValues)});
}

void CheckCount(std::string_view text, double count)
{
    if (!(count <= static_cast<double>(kMaxFamilyValues)))
        Refuse(text, ProblemKind::TooManyValues);
}

std::vector<std::string> RangeValues(std::string_view text, const std::array<std::string_view, 3>& parts)
{
    std::array<double, 3> bounds{};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string_view part = Trimmed(parts[i]);
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), bounds[i]);
        if (part.empty() || error != std::errc{} || end != part.data() + part.size() || !std::isfinite(bounds[i]))
            Refuse(text, ProblemKind::RangeNotNumbers);
    }
    const auto [from, to, by] = bounds;
    if (!(by > 0))
        Refuse(text, ProblemKind::RangeStepNotAboveZero);
    if (to < from)
        Refuse(text, ProblemKind::RangeEndBelowStart);
    const double count = std::floor((to - from) / by + 1e-6) + 1;
    CheckCount(text, count);
    std::vector<std::string> values;
    for (int i = 0; i < static_cast<int>(count); ++i)
        values.push_back(toolkit::FloatToStr(from + i * by));
    return values;
}

} // namespace

std::vector<std::string> ParseFamilyValues(std::string_view text)
{
    if (const auto colon = text.find(':'); colon != std::string_view::npos) {
        const std::string_view rest = text.substr(colon + 1);
        const auto second = rest.find(':');
        if (second == std::string_view::npos)
            Refuse(text, ProblemKind::NotARange);
        return RangeValues(text, {text.substr(0, colon), rest.substr(0, second), rest.substr(second + 1)});
    }
    std::vector<std::string> values;
    for (std::size_t start = 0;;) {
        const auto comma = text.find(',', start);
        const std::string_view item = Trimmed(text.substr(start, comma - start));
        if (item.empty())
            Refuse(text, ProblemKind::EmptyValue);
        values.emplace_back(item);
        CheckCount(text, static_cast<double>(values.size()));
        if (comma == std::string_view::npos)
            return values;
        start = comma + 1;
    }
}

Settings FamilyMemberSettings(const Settings& base, std::string_view name, std::string_view value)
{
    Settings member = base;
    SetSettingText(member, name, value);
    CheckSettings(member);
    return member;
}

std::string FamilyMemberLabel(std::string_view name, std::string_view value)
{
    const std::string_view shortName = name == "step.load" ? "Mc" : name.substr(name.find('.') + 1);
    return std::string(shortName) + '=' + std::string(value);
}

namespace {

// The member's settings and outcome, before its run.
FamilyMember Prepare(const FamilyRequest& request, std::size_t i)
{
    const std::string& value = request.values[i];
    FamilyMember member{.place = {request.setting, value, i, request.values.size()},
                        .outcome = MemberOutcome::Ran,
                        .error = {},
                        .settings = request.base,
                        .run = std::nullopt};
    try {
        member.settings = FamilyMemberSettings(request.base, request.setting, value);
    } catch (const SettingsError& error) {
        member.outcome = MemberOutcome::NotAllowed;
        member.error = error.Cause();
    }
    return member;
}

// Takes the run's result into the member, whose run was allowed.
void TakeRun(FamilyMember& member, RunResult run)
{
    if (run.outcome == RunOutcome::Refused)
        member.outcome = MemberOutcome::Refused;
    if (run.outcome == RunOutcome::Failed) {
        member.outcome = MemberOutcome::Failed;
        try {
            std::rethrow_exception(run.error);
        } catch (const toolkit::Exception& error) {
            member.error = Problem{.kind = ProblemKind::RunFailed, .value = error.what()};
        }
    }
    member.run = std::move(run);
}

// Calls work(i) for each i below count, on up to threads threads at once,
// until stop() says so. The first error stops the others and is raised
// here once they end.
template <typename Work, typename Stop>
void OnThreads(std::size_t count, std::size_t threads, const Work& work, const Stop& stop)
{
    std::atomic<std::size_t> next = 0;
    std::atomic<bool> failed = false;
    std::exception_ptr failure;
    auto take = [&] {
        for (std::size_t i; !failed && !stop() && (i = next++) < count;) {
            try {
                work(i);
            } catch (...) {
                if (!failed.exchange(true))
                    failure = std::current_exception();
            }
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (std::size_t t = 1; t < std::min<std::size_t>(threads, count); ++t)
            helpers.emplace_back(take);
        take();
    }
    if (failure)
        std::rethrow_exception(failure);
}

// The steps the members made so far, told one report at a time.
class FamilyProgress {
public:
    FamilyProgress(const FamilyControl& control, std::int64_t total) : control_(control), total_(total) {}

    // The member, which had made reported steps, has made steps.
    void Made(std::int64_t& reported, std::int64_t steps)
    {
        const std::lock_guard lock(mutex_);
        done_ += steps - std::exchange(reported, steps);
        if (control_.progress)
            control_.progress(done_, total_);
    }

private:
    const FamilyControl& control_;
    std::int64_t total_;
    std::int64_t done_ = 0;
    std::mutex mutex_;
};

} // namespace

FamilyResult RunFamily(FamilyRequest request, const FamilyControl& control, unsigned threads)
{
    std::vector<FamilyMember> members;
    std::vector<RunRequest> runs;
    std::int64_t total = 0;
    for (std::size_t i = 0; i < request.values.size(); ++i) {
        FamilyMember& member = members.emplace_back(Prepare(request, i));
        const std::optional<std::int64_t>& load = member.settings.step.load;
        runs.push_back({request.kind, member.settings,
                        request.setting == "step.load" && load ? std::to_string(*load) : request.loadText,
                        request.sources.Fork()});
        if (member.outcome == MemberOutcome::Ran)
            total += member.settings.run.steps;
    }

    FamilyProgress progress(control, total);
    std::vector<std::optional<RunResult>> results(members.size());
    auto cancelled = [&control] { return control.cancel && *control.cancel; };
    // Where MPFR stands in for the x87 format, its state is per thread, and
    // under qemu's aarch64 emulation two members made at once did not end:
    // there a family is made on one thread.
    if (!kHardwareExtended)
        threads = 1;
    OnThreads(
        members.size(), threads ? threads : Cores(),
        [&](std::size_t i) {
            if (members[i].outcome != MemberOutcome::Ran)
                return;
            std::int64_t reported = 0;
            results[i] = RunExperiment(
                std::move(runs[i]), {[&](std::int64_t steps) { progress.Made(reported, steps); }, control.cancel});
            progress.Made(reported, members[i].settings.run.steps);
        },
        cancelled);
    if (cancelled())
        return {.members = {}, .cancelled = true, .sources = std::move(request.sources)};
    for (std::size_t i = 0; i < members.size(); ++i)
        if (results[i])
            TakeRun(members[i], std::move(*results[i]));
    return {.members = std::move(members), .cancelled = false, .sources = std::move(request.sources)};
}
