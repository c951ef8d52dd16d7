// Singles at full scale: the 1,594,323 singles of 13 triple-marked matches.
#include "lottery/UnitToTo.h"
#include "platform/MessageService.h"
#include "settings/UnitOption.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <random>

namespace {

class TAlwaysYes : public TMessageService
{
public:
    TModalResult show(const TMessage &) override { return TModalResult::mrYes; }
};

void markAllTriple(TTipSheet &sheet)
{
    for (int i = 0; i < sheet.MaxMatch(); ++i)
        sheet.Match(i).SetTips(TTips::all());
}

// Every combination: the library expansion with no table (optimisation level 0).
void ExpandAllCombinations(TTipSheet &sheet)
{
    static TOption option = [] {
        TOption o;
        o.ExpandOption.Guarantee = false;
        o.ExpandOption.OptimizeLevel = 0;
        return o;
    }();
    sheet.Option = &option;
    sheet.Expand(false);
}

// One expanded sheet shared by the read-only benchmarks.
TTipSheet &expandedSheet()
{
    static TTipSheet *sheet = [] {
        auto *s = new TTipSheet;
        markAllTriple(*s);
        ExpandAllCombinations(*s);
        for (int i = 0; i < 13; ++i) {
            s->OfficialOdds().SetVotes(i, tpHome, 50 + i);
            s->OfficialOdds().SetVotes(i, tpDraw, 30);
            s->OfficialOdds().SetVotes(i, tpAway, 20 + 2 * i);
        }
        return s;
    }();
    return *sheet;
}

void BM_CreateSingles(benchmark::State &state)
{
    TTipSheet sheet;
    markAllTriple(sheet);
    for (auto _ : state) {
        ExpandAllCombinations(sheet);
        benchmark::DoNotOptimize(sheet.Singles().Count());
    }
    state.counters["singles"] = sheet.Singles().Count();
}
BENCHMARK(BM_CreateSingles)->Unit(benchmark::kMillisecond);

void BM_Sort(benchmark::State &state)
{
    TTipSheet &sheet = expandedSheet();
    std::mt19937 rng(1);
    for (auto _ : state) {
        state.PauseTiming();
        // Start from a shuffled order so that each run sorts for real.
        sheet.Singles().SortBy(5, false, false);
        std::vector<bool> none;
        auto &list = sheet.Singles();
        for (int i = list.Count() - 1; i > 0; --i)
            std::swap(list[i], list[int(rng() % unsigned(i + 1))]);
        state.ResumeTiming();
        list.SortBy(int(state.range(0)), false, false);
    }
}
BENCHMARK(BM_Sort)->Arg(0)->Arg(6)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Checksum(benchmark::State &state)
{
    TTipSheet &sheet = expandedSheet();
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet.SinglesChecksum());
}
BENCHMARK(BM_Checksum)->Unit(benchmark::kMillisecond);

void BM_ExportText(benchmark::State &state)
{
    TTipSheet &sheet = expandedSheet();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("singles.csv"));
    for (auto _ : state)
        sheet.ExportCSV(path);
}
BENCHMARK(BM_ExportText)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RemoveDuplicates(benchmark::State &state)
{
    TAlwaysYes yes;
    TMessageService *previous = SetMessageService(&yes);
    TTipSheet sheet;
    markAllTriple(sheet);
    for (auto _ : state) {
        state.PauseTiming();
        ExpandAllCombinations(sheet);
        // Every 10th single a second time at the end: 159,433 copies to find among 1.75 M.
        const int n = sheet.Singles().Count();
        for (int i = 0; i < n; i += 10)
            sheet.Singles().Add(sheet.Singles()[i]);
        state.ResumeTiming();
        benchmark::DoNotOptimize(sheet.RemoveDuplicates());
    }
    SetMessageService(previous);
}
BENCHMARK(BM_RemoveDuplicates)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

