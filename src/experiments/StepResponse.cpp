#include "experiments/Experiments.h"
#include "experiments/Runs.h"

#include <cmath>

std::string RefusedLoadText(std::int64_t limit)
{
    return "Некорректно введенное значение Мс<" + std::to_string(limit);
}
