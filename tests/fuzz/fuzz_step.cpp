// Runs the step response with any text typed as the load, through the
// recording host the batch tool uses. A run may end only in EConvertError
// or EOverflow (any other exception escapes and ends the run as a crash),
// and whatever it ends in, the host must hold something the window can
// show: full progress, at most one run of finite points per trace, the
// alert for a refused load and for nothing else, and maxima that are the
// largest values plotted.

#include "experiments/Experiments.h"
#include "experiments/RecordingHost.h"
#include "model/MotorModel.h"
#include "plot/Trace.h"
#include "toolkit/Conversions.h"
#include "toolkit/Exception.h"

#include <cmath>
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

constexpr std::string_view kEarlierText = "earlier run";

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

enum class Ending { Done, NotAnInteger, Overflow };

} // namespace

// The default run's length.
const auto kSteps = static_cast<std::size_t>(Settings{}.run.steps);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > kLongestInput)
        return -1;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> load = LoadOf(text);

    RecordingHost host{std::string(text)};
    // What an earlier run left, which this one must clear or keep.
    for (int series : {5, 6})
        host.Series(series).AppendPoint(0, 1, "", clWhite);
    host.SetMdMaxText(std::string(kEarlierText));
    host.SetOmegaMaxText(std::string(kEarlierText));

    MotorModel model{};
    Ending ending = Ending::Done;
    try {
        RunStepResponse(model, host);
    } catch (const toolkit::EConvertError&) {
        ending = Ending::NotAnInteger;
    } catch (const toolkit::EOverflow&) {
        ending = Ending::Overflow;
    }

    const auto& md = host.Series(5).Points();
    const auto& omega = host.Series(6).Points();
    Check(host.Progress() == 100, "left the progress bar short of 100", text);
    for (int series = 1; series <= 4; ++series)
        Check(host.Series(series).Points().empty(), "drew on a trace of another run", text);
    Check(md.size() == omega.size(), "left its two traces of different lengths", text);
    Check(md.size() <= kSteps, "plotted more points than a run has", text);
    for (const auto* points : {&md, &omega}) {
        for (std::size_t i = 0; i < points->size(); ++i) {
            Check((*points)[i].x == static_cast<double>(i), "plotted a point off its step", text);
            Check(std::isfinite((*points)[i].y), "plotted a value that is not finite", text);
        }
    }

    const bool refused = load && *load > Settings{}.run.limit;
    Check(host.AlertCount() == (refused ? 1 : 0), "showed the alert for a load it takes, or none for one it refuses",
          text);
    Check((ending == Ending::NotAnInteger) == !load, "disagreed with StrToInt on whether the text is a load",
          text);

    const bool labelsKept = host.MdMaxText() == kEarlierText && host.OmegaMaxText() == kEarlierText;
    switch (ending) {
    case Ending::NotAnInteger:
        Check(md.empty(), "plotted points for text that is no load", text);
        Check(labelsKept, "changed the labels for text that is no load", text);
        break;
    case Ending::Overflow:
        Check(*load <= kFirstOverflowingLoad, "overflowed for a load that stays in range", text);
        Check(md.size() < kSteps, "overflowed after the last step", text);
        Check(labelsKept, "changed the labels on overflow", text);
        break;
    case Ending::Done:
        if (refused) {
            Check(md.empty(), "plotted points for a refused load", text);
            Check(host.MdMaxText() == "0" && host.OmegaMaxText() == "0", "showed maxima but 0 for a refused load",
                  text);
            break;
        }
        Check(*load > kFirstOverflowingLoad, "finished a run that should overflow", text);
        Check(md.size() == kSteps, "finished with a part of a run", text);
        Check(host.MdMaxText() == toolkit::FloatToStr(LargestY(host.Series(5))),
              "shows an Md maximum other than the largest Md plotted", text);
        Check(host.OmegaMaxText() == toolkit::FloatToStr(LargestY(host.Series(6))),
              "shows an Omega maximum other than the largest Omega plotted", text);
        break;
    }
    return 0;
}
