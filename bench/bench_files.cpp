// Saving and opening a prediction of 1,594,323 singles (13 triple-marked matches).
#include "lottery/UnitToTo.h"
#include "platform/MessageService.h"
#include "settings/UnitOption.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void fill(TTipSheet &sheet)
{
    TOption option;
    option.ExpandOption.Guarantee = false;
    option.ExpandOption.OptimizeLevel = 0; // every combination
    sheet.Option = &option;
    for (int i = 0; i < sheet.MaxMatch(); ++i)
        sheet.Match(i).SetTips(TTips::all());
    sheet.Expand(false);
    sheet.Option = nullptr;
}

void BM_SavePrediction(benchmark::State &state)
{
    QTemporaryDir dir;
    qputenv("PELVANE_DOCUMENTS_DIR", dir.path().toLocal8Bit());
    TTipSheet sheet;
    fill(sheet);
    const QString path = dir.filePath(QStringLiteral("toto1154.tot"));
    for (auto _ : state)
        sheet.SaveToFile(path);
}
BENCHMARK(BM_SavePrediction)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_OpenPrediction(benchmark::State &state)
{
    QTemporaryDir dir;
    qputenv("PELVANE_DOCUMENTS_DIR", dir.path().toLocal8Bit());
    const QString path = dir.filePath(QStringLiteral("toto1154.tot"));
    {
        TTipSheet sheet;
        fill(sheet);
        sheet.SaveToFile(path);
    }
    for (auto _ : state) {
        TTipSheet sheet;
        sheet.OpenPrediction(path, false);
        benchmark::DoNotOptimize(sheet.Singles().Count());
    }
}
BENCHMARK(BM_OpenPrediction)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
