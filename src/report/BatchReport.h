#pragma once

#include "session/Session.h"

#include <filesystem>

// The batch tool's report: the one the window writes, made by the window's
// own code without showing it.

// Writes the report of the session, whose runs are made, as the window
// shows it just opened with the mechanical characteristic's window open.
// Makes the application object if there is none, on Qt's offscreen
// platform unless QT_QPA_PLATFORM names one. Raises toolkit::Exception if
// the file cannot be written.
void WriteBatchReport(const Session& session, SessionResults results, const std::filesystem::path& file);
