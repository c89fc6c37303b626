#pragma once

#include "lab/Measured.h"

#include <QString>

// The window's words for measured data that could not be read: "bench.csv:
// строка 7, столбец 2: «x» — не число".
QString ErrorText(const lab::MeasuredProblem& problem);
