// Building the reference database from the bundled league files, and one season's league table.
#include "database/JLeagueImport.h"
#include "database/SqliteConnection.h"
#include "database/Team.h"
#include "database/unitSQLite.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString build(const QString &file)
{
    CreateDatabaseFromSchema(file, QStringLiteral(PELVANE_SOURCE_DIR "/data/database/schema.sql"));
    TDM dm(file);
    TJLeagueImport import(dm);
    import.LoadTeamMap(QStringLiteral(PELVANE_SOURCE_DIR "/data/database/teams.csv"));
    import.ImportFolder(QStringLiteral(PELVANE_SOURCE_DIR "/data/jleague/matches-by-division"));
    return file;
}

void BM_BuildDatabase(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("pelvane.db"));
    for (auto _ : state)
        build(file);
    state.counters["bytes"] = double(QFileInfo(file).size());
}
BENCHMARK(BM_BuildDatabase)->Unit(benchmark::kSecond)->Iterations(1);

// One season: the teams, the J1 and J2 tables and their order.
void BM_SeasonStandings(benchmark::State &state)
{
    QTemporaryDir dir;
    TDM dm(build(dir.filePath(QStringLiteral("pelvane.db"))));
    for (auto _ : state) {
        TTeamList2 teams(dm);
        teams.SetYear(2014);
        teams.SortByOrder(1);
        teams.SortByOrder(2);
        benchmark::DoNotOptimize(teams.At(0).VictoryPoint);
    }
}
BENCHMARK(BM_SeasonStandings)->Unit(benchmark::kMillisecond);

} // namespace
