#pragma once

#include "experiments/Problem.h"

#include <QString>

#include <cstdint>

// The window's words for what went wrong in the layers below: one table of
// texts, written in Russian and translated as the window's other texts.

// The problem as one message, "lab.toml:2:5: model.J: нужно число больше 0,
// а не -1".
QString ErrorText(const Problem& problem);

// What a setting allows: "целое число от 0 до step.off (1000)".
QString AllowedText(const Allowed& allowed);

// The alert's caption for a typed load above the limit, "Некорректно
// введенное значение Мс<30" with the default limit.
QString RefusedLoadText(std::int64_t limit);
