// Built twice: into motormodel-bench with the extended arithmetic this
// machine has, and into motormodel-bench-mpfr with MPFR's, so the two are
// timed in the same sitting.

#include "model/MotorModel.h"

#include <benchmark/benchmark.h>

namespace {

// One run's arithmetic: 2000 bare steps, load removed halfway.
void BM_TwoThousandSteps(benchmark::State& state)
{
    MotorModel model{};
    for (auto _ : state) {
        model.Reset();
        for (int i = 0; i < 2000; ++i)
            model.Step(i < 1000 ? 10.0 : 0.0);
        benchmark::DoNotOptimize(model);
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_TwoThousandSteps);

} // namespace
