#pragma once

#include "lab/Fit.h"
#include "lab/Measured.h"

#include <QString>

// The window's words for what the lab bench refused. Measured data that could not be read: "bench.csv:
// строка 7, столбец 2: «x» — не число".
QString ErrorText(const lab::MeasuredProblem& problem);
// A fit that cannot be made: "model.J начинается на границе допустимого, 0".
QString ErrorText(const lab::FitProblem& problem);
