// Builds the bundled reference database: the schema, then the league result files through the
// program's own import. Written to a temporary file and renamed, so a failed build leaves no
// half-filled database behind.
#include "database/JLeagueImport.h"
#include "database/unitSQLite.h"
#include "platform/PelvaneError.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: make_database SCHEMA.sql TEAMS.csv MATCH-FOLDER OUT.db\n");
        return 2;
    }
    const QString schema = args[1], teams = args[2], folder = args[3], out = args[4];
    const QString temp = out + QStringLiteral(".part");
    QElapsedTimer timer;
    timer.start();
    try {
        CreateDatabaseFromSchema(temp, schema);
        int matches = 0;
        {
            TDM dm(temp);
            if (!dm.Connected())
                throw EPelvaneError(dm.OpenError());
            TJLeagueImport import(dm);
            import.LoadTeamMap(teams);
            import.ImportFolder(folder);
            matches = import.MatchRows();
            if (import.UndatedFixtures() > 0)
                std::printf("%d fixtures without a date left out\n", import.UndatedFixtures());
            dm.ExecSQL(QStringLiteral("Analyze"));
        }
        {
            TSqliteConnection db;
            db.Open(temp);
            db.Execute(QStringLiteral("Vacuum"));
        }
        QFile::remove(out);
        if (!QFile::rename(temp, out))
            throw EPelvaneError(QStringLiteral("%1を作成できません").arg(out));
        std::printf("%s: %d matches, %lld bytes, %.1f s\n", qPrintable(out), matches,
                    static_cast<long long>(QFileInfo(out).size()), double(timer.elapsed()) / 1000.0);
        return 0;
    } catch (const EPelvaneError &e) {
        QFile::remove(temp);
        std::fprintf(stderr, "make_database: %s\n", e.what());
        return 1;
    }
}
