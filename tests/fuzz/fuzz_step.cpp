// Runs the step response with any text typed as the load, as the window and
// the batch tool make it. A run may fail only with EConvertError or
// EOverflow (any other exception escapes and ends the run as a crash), and
// whatever it ends in, its result must hold something the window can show:
// at most one run of finite points per trace, a refusal for a load above
// the limit and for nothing else, and maxima that are the largest values
// plotted.

#include "experiments/Experiments.h"
#include "model/MotorModel.h"
#include "plot/Trace.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"

#include <cmath>
#include <exception>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

// Each input costs a 2000-step run; what longer text does to the parser is
// the other harness's business.
constexpr std::size_t kLongestInput = 256;

// The documented edge: from this load down, a state leaves the double range.
constexpr std::int32_t kFirstOverflowingLoad = -579;

[[noreturn]] void Fail(const char* what, std::string_view text)
{
    std::fprintf(stderr, "step response: %s (load text of %zu bytes)\n", what, text.size());
    std::abort();
}

void Check(bool holds, const char* what, std::string_view text)
{
    if (!holds)
        Fail(what, text);
}

std::optional<std::int32_t> LoadOf(std::string_view text)
{
    try {
        return toolkit::StrToInt(text);
    } catch (const toolkit::EConvertError&) {
        return std::nullopt;
    }
}

// The largest y of the trace, starting from the resting value 0, compared
// as the run compares them.
double LargestY(const Trace& trace)
{
    double largest = 0.0;
    for (const TracePoint& point : trace.Points())
        if (point.y > largest)
            largest = point.y;
    return largest;
}

// How a failed run failed.
enum class Ending { Done, NotAnInteger, Overflow };

Ending EndingOf(const RunResult& run)
{
    if (run.outcome != RunOutcome::Failed)
        return Ending::Done;
    try {
        std::rethrow_exception(run.error);
    } catch (const toolkit::EConvertError&) {
        return Ending::NotAnInteger;
    } catch (const toolkit::EOverflow&) {
        return Ending::Overflow;
    }
}

} // namespace

// The default run's length.
const auto kSteps = static_cast<std::size_t>(Settings{}.run.steps);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > kLongestInput)
        return -1;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> load = LoadOf(text);

    const RunResult run = RunExperiment({RunKind::Step, {}, std::string(text), {}});
    const Ending ending = EndingOf(run);

    const auto& md = run.Of(Quantity::Md).Points();
    const auto& omega = run.Of(Quantity::Omega).Points();
    Check(md.size() == omega.size(), "left its two traces of different lengths", text);
    Check(md.size() <= kSteps, "plotted more points than a run has", text);
    for (const auto* points : {&md, &omega}) {
        for (std::size_t i = 0; i < points->size(); ++i) {
            Check((*points)[i].x == static_cast<double>(i), "plotted a point off its step", text);
            Check(std::isfinite((*points)[i].y), "plotted a value that is not finite", text);
        }
    }

    const bool refused = load && *load > Settings{}.run.limit;
    Check((run.outcome == RunOutcome::Refused) == refused, "refused a load it takes, or took one it refuses", text);
    Check((ending == Ending::NotAnInteger) == !load, "disagreed with StrToInt on whether the text is a load",
          text);
    Check(run.load == load, "reports a load other than the one typed", text);

    switch (ending) {
    case Ending::NotAnInteger:
        Check(md.empty(), "plotted points for text that is no load", text);
        break;
    case Ending::Overflow:
        Check(*load <= kFirstOverflowingLoad, "overflowed for a load that stays in range", text);
        Check(md.size() < kSteps, "overflowed after the last step", text);
        break;
    case Ending::Done:
        if (refused) {
            Check(md.empty(), "plotted points for a refused load", text);
            Check(run.mdMax == 0 && run.omegaMax == 0, "has maxima but 0 for a refused load", text);
            break;
        }
        Check(*load > kFirstOverflowingLoad, "finished a run that should overflow", text);
        Check(md.size() == kSteps, "finished with a part of a run", text);
        Check(run.mdMax == LargestY(run.Of(Quantity::Md)), "has an Md maximum other than the largest Md plotted", text);
        Check(run.omegaMax == LargestY(run.Of(Quantity::Omega)),
              "has an Omega maximum other than the largest Omega plotted", text);
        break;
    }
    return 0;
}
