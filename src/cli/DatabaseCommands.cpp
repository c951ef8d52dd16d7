#include "cli/DatabaseCommands.h"

#include "cli/CliCommands.h"
#include "cli/CliOutput.h"
#include "database/DatabaseUpdate.h"
#include "database/Team.h"
#include "platform/IniFile.h"
#include "settings/UnitOption.h"
#include "shell/UnitTypes.h"
#include "database/unitSQLite.h"
#include "platform/PelvaneError.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

int intOption(const TCliArgs &args, const QString &name, bool required, int def = 0)
{
    const QString text = required ? args.required(name) : args.value(name);
    if (text.isEmpty())
        return def;
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok)
        throw ECliUsage(QStringLiteral("--%1 takes a number, not '%2'").arg(name, text));
    return n;
}

int dbInfo(TDM &dm, bool json)
{
    QJsonArray tables;
    for (const TDataRow &row : dm.Select(QStringLiteral("Select name From sqlite_master Where type='table' And name Not Like 'sqlite%' Order By name"))) {
        const QString name = FieldText(row, u"name");
        const qint64 rows = dm.QueryValue(QStringLiteral("Select Count(*) From [%1]").arg(name)).toLongLong();
        tables.append(QJsonObject{{QStringLiteral("table"), name}, {QStringLiteral("rows"), rows}});
    }
    if (json) {
        CliPrintJson(QJsonObject{{QStringLiteral("path"), dm.FileName()}, {QStringLiteral("tables"), tables}});
        return 0;
    }
    CliPrint(QStringLiteral("database: %1").arg(dm.FileName()));
    for (const QJsonValue &t : tables)
        CliPrint(QStringLiteral("%1 %2").arg(t[QStringLiteral("table")].toString(), -12).arg(t[QStringLiteral("rows")].toInteger()));
    return 0;
}

int dbStandings(TDM &dm, const TCliArgs &args, bool json)
{
    const int year = intOption(args, QStringLiteral("year"), true);
    const int division = intOption(args, QStringLiteral("division"), true);
    const int stage = intOption(args, QStringLiteral("stage"), false, 0);
    if (division < 1 || division > 3)
        throw ECliUsage(QStringLiteral("--division is 1, 2 or 3"));
    if (stage < 0 || stage > 4)
        throw ECliUsage(QStringLiteral("--stage is 0 to 4"));
    TTeamList2 teams(dm);
    teams.Year = year;
    teams.LoadTeams();
    if (teams.TeamCount(division) == 0)
        throw EPelvaneError(QStringLiteral("%1年のJ%2のチームがありません").arg(year).arg(division));
    teams.CalcStandings(division, stage);
    teams.SortByOrder(division);

    QJsonArray table;
    for (int i = 0; i < teams.TeamCount(division); ++i) {
        const TTeam &t = teams.TeamAt(division, i);
        table.append(QJsonObject{{QStringLiteral("place"), t.LeagueOrder},
                                 {QStringLiteral("team"), t.Name},
                                 {QStringLiteral("played"), t.MatchCountTotal()},
                                 {QStringLiteral("points"), t.VictoryPoint},
                                 {QStringLiteral("won"), t.ResultCount(rkWin) + t.ResultCount(rkWinExtra)},
                                 {QStringLiteral("drawn"), t.ResultCount(rkDraw)},
                                 {QStringLiteral("lost"), t.ResultCount(rkLose) + t.ResultCount(rkLoseExtra)},
                                 {QStringLiteral("goalsFor"), t.GetScore()},
                                 {QStringLiteral("goalsAgainst"), t.LostScore()}});
    }
    if (json) {
        CliPrintJson(table);
        return 0;
    }
    CliPrint(QStringLiteral("%1 J%2%3").arg(year).arg(division).arg(stage ? QStringLiteral(" stage %1").arg(stage) : QString()));
    CliPrint(QStringLiteral("  # team          P  Pts   W   D   L  GF  GA"));
    for (const QJsonValue &v : table) {
        const QJsonObject o = v.toObject();
        auto n = [&](const char *key, int width) { return QStringLiteral("%1").arg(o.value(QLatin1String(key)).toInt(), width); };
        CliPrint(n("place", 3) + u' ' + o.value(QStringLiteral("team")).toString().leftJustified(10) + n("played", 4) +
                 n("points", 5) + n("won", 4) + n("drawn", 4) + n("lost", 4) + n("goalsFor", 4) + n("goalsAgainst", 4));
    }
    return 0;
}

int dbTeam(TDM &dm, const QString &name, bool json)
{
    const int no = dm.TeamNameToNumber(name);
    if (no < 0)
        throw EPelvaneError(QStringLiteral("チーム「%1」がありません").arg(name));
    const TDataRows team = dm.Query(QStringLiteral("QueryTeam"), {{QStringLiteral("TeamNo"), no}});
    QJsonArray seasons;
    for (const TDataRow &row : dm.Select(QStringLiteral("Select * From Teams Where TeamNo=:NO Order By \"Year\", Division"),
                                         {{QStringLiteral("NO"), no}}))
        seasons.append(QJsonObject{{QStringLiteral("year"), FieldInt(row, u"Year", 0)},
                                   {QStringLiteral("division"), FieldInt(row, u"Division", 0)},
                                   {QStringLiteral("lastYearOrder"), FieldInt(row, u"LastYearOrder", 0)}});
    const TDataRow empty;
    const TDataRow &t = team.empty() ? empty : team.front();
    const QJsonObject out{{QStringLiteral("teamNo"), no},
                          {QStringLiteral("name"), FieldText(t, u"TeamName")},
                          {QStringLiteral("shortName"), FieldText(t, u"ShortName")},
                          {QStringLiteral("stadium"), FieldText(t, u"Stadium")},
                          {QStringLiteral("seasons"), seasons}};
    if (json) {
        CliPrintJson(out);
        return 0;
    }
    CliPrint(QStringLiteral("%1 %2 (%3), %4").arg(no).arg(FieldText(t, u"TeamName"), FieldText(t, u"ShortName"), FieldText(t, u"Stadium")));
    for (const QJsonValue &s : seasons)
        CliPrint(QStringLiteral("  %1 J%2").arg(s[QStringLiteral("year")].toInt()).arg(s[QStringLiteral("division")].toInt()));
    return 0;
}

int dbUpdate(TDM &dm, const TCliArgs &args, bool json)
{
    TOption option;
    TIniFile ini(GetIniFileName(), TIniFile::TMode::Profile);
    option.LoadFromIni(ini);
    if (args.has(QStringLiteral("server")))
        option.PelvaneURL = args.value(QStringLiteral("server"));
    TDatabaseUpdate update(dm, &option);
    if (args.has(QStringLiteral("year")))
        update.Year = intOption(args, QStringLiteral("year"), true);
    const bool newer = update.Check();
    const bool ok = !newer || update.Download();
    QJsonArray files;
    for (const TDownloadInfo &f : update.Files)
        files.append(QJsonObject{{QStringLiteral("file"), update.FileNameOf(f)},
                                 {QStringLiteral("selected"), f.Selected},
                                 {QStringLiteral("status"), f.Status},
                                 {QStringLiteral("error"), f.Error}});
    const QString summary = !newer ? QStringLiteral("ダウンロードすべきデータはありません") : QStringLiteral("データの更新が完了しました");
    if (json) {
        CliPrintJson(QJsonObject{{QStringLiteral("updated"), update.Updated}, {QStringLiteral("files"), files},
                                 {QStringLiteral("message"), summary}});
    } else {
        for (const QJsonValue &f : files)
            if (f[QStringLiteral("selected")].toBool())
                CliPrint(QStringLiteral("%1: %2 %3").arg(f[QStringLiteral("file")].toString(), f[QStringLiteral("status")].toString(),
                                                         f[QStringLiteral("error")].toString()));
        CliPrint(summary);
    }
    return ok ? 0 : 1;
}

int dbExport(TDM &dm, const QString &folder, const TCliArgs &args, bool json)
{
    std::vector<int> years;
    for (const QString &y : args.required(QStringLiteral("years")).split(u',', Qt::SkipEmptyParts)) {
        bool ok = false;
        years.push_back(y.trimmed().toInt(&ok));
        if (!ok)
            throw ECliUsage(QStringLiteral("--years takes years separated by commas"));
    }
    const QStringList written = WriteServerTree(dm, folder, years);
    if (json)
        CliPrintJson(QJsonArray::fromStringList(written));
    else
        CliPrint(QStringLiteral("%1 files in %2/Data").arg(written.size()).arg(folder));
    return 0;
}

} // namespace

int CmdDatabase(const TCliArgs &args, bool json)
{
    args.allowOnly({QStringLiteral("db"), QStringLiteral("year"), QStringLiteral("division"), QStringLiteral("stage"),
                    QStringLiteral("server"), QStringLiteral("years")});
    const QStringList &words = args.positional();
    const QString usage = QStringLiteral("usage: db info | db standings --year Y --division D [--stage S] | db team NAME | db update [--server URL] [--year Y] | db export DIR --years Y[,Y...] [--db FILE]");
    if (words.isEmpty())
        throw ECliUsage(usage);
    const QString file = args.value(QStringLiteral("db"), TDM::DefaultFileName());
    TDM dm(file);
    if (!dm.Connected())
        throw EPelvaneError(QStringLiteral("データベースが見つかりません: %1").arg(dm.OpenError()));
    if (words.front() == u"info" && words.size() == 1)
        return dbInfo(dm, json);
    if (words.front() == u"standings" && words.size() == 1)
        return dbStandings(dm, args, json);
    if (words.front() == u"team" && words.size() == 2)
        return dbTeam(dm, words[1], json);
    if (words.front() == u"update" && words.size() == 1)
        return dbUpdate(dm, args, json);
    if (words.front() == u"export" && words.size() == 2)
        return dbExport(dm, words[1], args, json);
    throw ECliUsage(usage);
}
