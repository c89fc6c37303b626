// Reads any bytes as a session file. Reading may end only in a
// SettingsError (any other exception escapes and ends the run as a crash),
// and a session that reads must write out as a file that reads back to the
// same session and the same text, and that is refused when cut short at any
// line. The runs are not made: their settings
// were checked, and the step response's harness makes runs.

#include "experiments/Problem.h"
#include "session/Session.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Session session;
    try {
        session = ParseSession(text, "fuzz.toml");
    } catch (const SettingsError&) {
        return 0;
    }
    const std::string written = SessionText(session, "fuzz");
    const Session read = ParseSession(written, "written.toml");
    if (!(read == session) || SessionText(read, "fuzz") != written) {
        std::fprintf(stderr, "session: a session did not read back as it was written (%zu bytes)\n", size);
        std::abort();
    }
    for (std::size_t end = written.find('\n'); end + 1 < written.size(); end = written.find('\n', end + 1)) {
        try {
            ParseSession(std::string_view(written).substr(0, end + 1), "cut.toml");
        } catch (const SettingsError&) {
            continue;
        }
        std::fprintf(stderr, "session: a session cut after byte %zu read as whole\n", end + 1);
        std::abort();
    }
    return 0;
}
