#pragma once

#include "experiments/Problem.h"

#include <QString>

// The window's words for what went wrong in the layers below: one table of
// texts, in Russian.

// The problem as one message, "lab.toml:2:5: model.J: нужно число больше 0,
// а не -1".
QString ErrorText(const Problem& problem);

// What a setting allows: "целое число от 0 до step.off (1000)".
QString AllowedText(const Allowed& allowed);
