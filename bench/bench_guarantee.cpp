// Guarantee mode: cut, greedy cover and redundancy removal at full scale.
#include "lottery/UnitToTo.h"
#include "platform/Random.h"
#include "reduction/UnitSingleOptimizer.h"
#include "settings/UnitOption.h"

#include <QElapsedTimer>

#include <benchmark/benchmark.h>

namespace {

void BM_GuaranteeCover(benchmark::State &state)
{
    const int level = int(state.range(0)), triples = int(state.range(1));
    TOption option;
    option.ExpandOption.Guarantee = true;
    option.ExpandOption.Prizelevel = level;
    TTipSheet sheet;
    sheet.Option = &option;
    for (int i = 0; i < 13; ++i)
        sheet.Match(i).SetTips(i < triples ? TTips::all() : TTips{tpHome});
    Random::Seed(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet.Expand(false));
    state.counters["singles"] = sheet.Singles().Count();
}
BENCHMARK(BM_GuaranteeCover)->Args({2, 10})->Args({3, 10})->Args({4, 10})->Args({2, 13})->Unit(benchmark::kMillisecond)->Iterations(1);

// One step of the open-ended search: the time of a bounded search less the greedy part, per step.
// Its cost should follow the neighbourhood (the level), not the number of patterns.
void BM_GuaranteeSearchStep(benchmark::State &state)
{
    const int level = int(state.range(0)), triples = int(state.range(1));
    const qint64 steps = state.range(2);
    TOption option;
    option.ExpandOption.Guarantee = true;
    option.ExpandOption.Prizelevel = level;
    TTipSheet sheet;
    sheet.Option = &option;
    for (int i = 0; i < 13; ++i)
        sheet.Match(i).SetTips(i < triples ? TTips::all() : TTips{tpHome});
    for (auto _ : state) {
        QElapsedTimer timer;
        Random::Seed(1);
        timer.start();
        sheet.Expand(false);
        const qint64 greedy = timer.nsecsElapsed();
        Random::Seed(1);
        SetGuaranteeSearchSteps(steps);
        timer.restart();
        sheet.Expand(true);
        const qint64 total = timer.nsecsElapsed();
        SetGuaranteeSearchSteps(-1);
        state.SetIterationTime(double(std::max<qint64>(total - greedy, 0)) / 1e9 / double(steps));
    }
    state.counters["singles"] = sheet.Singles().Count();
}
BENCHMARK(BM_GuaranteeSearchStep)
    ->Args({2, 8, 5000})->Args({2, 10, 5000})->Args({2, 12, 5000})->Args({3, 10, 5000})
    ->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(1);

} // namespace
