// The library reduction at full scale: 13 triple-marked matches at level 2.
#include "lottery/UnitToTo.h"
#include "platform/Random.h"
#include "reduction/UnitOptimize.h"
#include "settings/UnitOption.h"

#include <benchmark/benchmark.h>

namespace {

struct Setup
{
    TOption option;
    TTipSheet sheet;
    Setup()
    {
        option.ExpandOption.Guarantee = false;
        option.ExpandOption.Prizelevel = 2;
        sheet.Option = &option;
        for (int i = 0; i < 13; ++i)
            sheet.Match(i).SetTips(TTips::all());
    }
};

void BM_Estimate(benchmark::State &state)
{
    Setup s;
    TSheetOptimizer optimizer;
    for (auto _ : state)
        benchmark::DoNotOptimize(optimizer.Estimate(s.sheet));
}
BENCHMARK(BM_Estimate)->Unit(benchmark::kMicrosecond);

void BM_LibraryExpansion(benchmark::State &state)
{
    Setup s;
    Random::Seed(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(s.sheet.Expand(false));
    state.counters["singles"] = s.sheet.Singles().Count();
}
BENCHMARK(BM_LibraryExpansion)->Unit(benchmark::kMillisecond);

void BM_CheckCoverage(benchmark::State &state)
{
    Setup s;
    Random::Seed(1);
    s.sheet.Expand(false);
    for (auto _ : state)
        benchmark::DoNotOptimize(TSheetOptimizer::CoversAllCombinations(s.sheet, 2));
}
BENCHMARK(BM_CheckCoverage)->Unit(benchmark::kMillisecond);

void BM_CheckCoverageFullExpansion(benchmark::State &state)
{
    Setup s;
    s.option.ExpandOption.OptimizeLevel = 0;
    s.sheet.Expand(false); // 1,594,323 singles
    for (auto _ : state)
        benchmark::DoNotOptimize(TSheetOptimizer::CoversAllCombinations(s.sheet, 2));
}
BENCHMARK(BM_CheckCoverageFullExpansion)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
