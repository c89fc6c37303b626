#pragma once

#include "session/Session.h"
#include "session/SessionToml.h"

#include <optional>
#include <string>

// The tables a session holds only when the user gave them something: the
// report's notes and page, and the measured data shown over the runs.
namespace sessionfile {

// Written only where the user gave notes or chose portrait pages.
std::string ReportText(const SessionReport& report);
void ReadReport(const Reader& read, const toml::table& file, Session& session);

std::string MeasuredText(const std::optional<SessionMeasured>& measured);
void ReadMeasured(const Reader& read, const toml::table& file, Session& session);

} // namespace sessionfile
