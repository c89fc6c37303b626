// Loads any bytes as an experiment file. Loading may end only in a
// SettingsError (any other exception escapes and ends the run as a crash),
// and a file that loads and passes the checks must write out as a file that
// loads back to the same settings. Saved over in place, it must stay byte
// for byte as it was, and with every setting changed, read back as the
// settings it was saved with.

#include "experiments/ExperimentFile.h"
#include "experiments/Settings.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Settings settings;
    try {
        settings = ExperimentFile::Parse(text, "fuzz.toml", Settings{});
        CheckSettings(settings);
    } catch (const SettingsError&) {
        return 0;
    }
    const std::string written = ExperimentFile::Text(settings);
    if (ExperimentFile::Text(ExperimentFile::Parse(written, "written.toml", Settings{})) != written) {
        std::fprintf(stderr, "settings: a file did not read back as it was written (%zu bytes)\n", size);
        std::abort();
    }
    if (ExperimentFile::Edited(text, settings) != text) {
        std::fprintf(stderr, "settings: a file saved unchanged did not stay as it was (%zu bytes)\n", size);
        std::abort();
    }
    Settings changed = settings;
    changed.model.J *= 2;
    changed.run.steps = settings.run.steps == 1 ? 2 : 1;
    changed.step.load = settings.step.load ? std::nullopt : std::optional<std::int64_t>(7);
    if (const std::optional<std::string> edited = ExperimentFile::Edited(text, changed);
        edited && ExperimentFile::Parse(*edited, "edited.toml", Settings{}) != changed) {
        std::fprintf(stderr, "settings: a file saved in place did not read back as saved (%zu bytes)\n", size);
        std::abort();
    }
    return 0;
}
