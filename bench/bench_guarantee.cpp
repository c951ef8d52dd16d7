// Guarantee mode: cut, greedy cover and redundancy removal at full scale.
#include "lottery/UnitToTo.h"
#include "platform/Random.h"
#include "settings/UnitOption.h"

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

} // namespace
