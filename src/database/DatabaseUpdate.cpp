#include "database/DatabaseUpdate.h"

#include "database/Match.h"
#include "lottery/UnitToTo.h"
#include "platform/AtomicFile.h"
#include "platform/CommaText.h"
#include "platform/Cp932Codec.h"
#include "platform/Format.h"
#include "platform/PelvaneError.h"
#include "settings/UnitOption.h"
#include "web/UnitInternet.h"

#include <QDir>

namespace {

struct TFileDef
{
    int group;
    const char *table;
    const char *file;
    int keys;
};

constexpr TFileDef kFiles[TDatabaseUpdate::kFileCount] = {
    {0, "holding", "holding.csv", 3},           {1, "match", "match%4.4d.csv", 6},
    {2, "odds", "odds%4.4d.csv", 2},             {2, "prize", "prize%4.4d.csv", 2},
    {3, "oddsmini", "oddsmini%4.4d.csv", 3},     {3, "prizemini", "prizemini%4.4d.csv", 3},
    {3, "resultmini", "resultmini%4.4d.csv", 3}, {4, "resultgoal3", "resultgoal3%4.4d.csv", 2},
    {4, "oddsgoal3", "oddsgoal3%4.4d.csv", 2},   {4, "prizegoal3", "prizegoal3%4.4d.csv", 2},
    {5, "team", "team.csv", 1},                  {5, "teams", "teams.csv", 3},
};

} // namespace

const std::array<const char *, 6> &TDatabaseUpdate::GroupCaptions()
{
    static const std::array<const char *, 6> captions = {"日程データ", "対戦データ", "totoデータ", "mini-totoデータ", "GOAL3データ", "チームデータ"};
    return captions;
}

TDatabaseUpdate::TDatabaseUpdate(TDM &dm, const TOption *option)
    : Year(QDate::currentDate().year()), m_dm(dm), m_option(option)
{
    m_base = option ? option->PelvaneURL : TOption::DefaultPelvaneURL();
    for (int i = 0; i < kFileCount; ++i) {
        TDownloadInfo &f = Files[size_t(i)];
        f.Group = kFiles[i].group;
        f.Position = i;
        f.TableName = QString::fromLatin1(kFiles[i].table);
        f.FileName = QString::fromLatin1(kFiles[i].file);
        f.KeyCount = kFiles[i].keys;
    }
}

QString TDatabaseUpdate::FileNameOf(const TDownloadInfo &file) const
{
    return file.FileName.contains(u'%') ? Format(file.FileName, {Year}) : file.FileName;
}

QString TDatabaseUpdate::KeyOf(const TDownloadInfo &file) const
{
    const QString name = FileNameOf(file);
    return name.left(name.lastIndexOf(u'.'));
}

QString TDatabaseUpdate::UrlOf(const TDownloadInfo &file) const
{
    return m_base + QStringLiteral("Data/") + FileNameOf(file);
}

bool TDatabaseUpdate::Check(const TAbortCheck &aborted)
{
    GroupRows.fill(0);
    bool any = false;
    for (TDownloadInfo &f : Files) {
        f.Selected = false;
        f.Status.clear();
        f.LastModified.clear();
    }
    for (TDownloadInfo &f : Files) {
        if (aborted && aborted())
            break;
        TInternet client;
        if (m_option)
            m_option->ApplyInternetSettings(client);
        const QStringList lines = client.GetHeader(UrlOf(f)).toLower().split(QStringLiteral("\r\n"));
        for (const QString &line : lines) {
            if (line.contains(QStringLiteral("not found")))
                break;
            if (line.contains(QStringLiteral("last-modified"))) {
                f.LastModified = line;
                const TDataRows rows = m_dm.Query(QStringLiteral("QueryFileList"), {{QStringLiteral("TableName"), KeyOf(f)}});
                f.Selected = rows.empty() || rows.front().Value(u"LastModified").isNull() ||
                             FieldText(rows.front(), u"LastModified") != line;
                break;
            }
        }
        any = any || f.Selected;
    }
    return any;
}

bool TDatabaseUpdate::Download(const TAbortCheck &aborted)
{
    bool all = true;
    for (TDownloadInfo &f : Files) {
        if (!f.Selected)
            continue;
        if (aborted && aborted()) {
            all = false;
            break;
        }
        f.Status = QStringLiteral("ダウンロード中");
        TInternet client;
        if (m_option)
            m_option->ApplyInternetSettings(client);
        // An error page is not a data file.
        if (!client.Get(UrlOf(f), false) || client.StatusCode() >= 400) {
            f.Status = QStringLiteral("ダウンロード失敗");
            all = false;
            continue;
        }
        f.Status = QStringLiteral("更新中");
        const QString first = f.TableName == u"match"
                                  ? QStringLiteral("Delete From %1 Where SubStr(MatchDate, 1, 4) = '%2'").arg(f.TableName).arg(Year)
                                  : QString();
        int rows = 0;
        QString error;
        if (m_dm.ImportRows(f.TableName, f.KeyCount, aborted, first, client.Body, &rows, &error)) {
            GroupRows[size_t(f.Group)] += rows;
            f.Status = Format(u"終了 (%d件)", {GroupRows[size_t(f.Group)]});
            m_dm.SaveRow(QStringLiteral("FileList"), {{QStringLiteral("TableName"), KeyOf(f)}},
                         {{QStringLiteral("LastModified"), f.LastModified}});
            Updated = true;
        } else {
            f.Status = QStringLiteral("更新失敗");
            f.Error = error;
            all = false;
        }
    }
    return all;
}

namespace {

QString csvValue(const QVariant &v)
{
    if (v.isNull())
        return QString();
    return CommaText::quoteIfNeeded(v.toString());
}

QStringList rowsOf(TDM &dm, const QString &sql, const TParams &params)
{
    QStringList lines;
    for (const TDataRow &row : dm.Select(sql, params)) {
        QStringList fields;
        for (int i = 0; i < row.Count(); ++i)
            fields << csvValue(row.At(i));
        lines << fields.join(QStringLiteral(", "));
    }
    return lines;
}

} // namespace

QStringList WriteServerTree(TDM &dm, const QString &folder, const std::vector<int> &years)
{
    const QString data = folder + QStringLiteral("/Data/");
    if (!QDir().mkpath(data))
        throw EPelvaneError(QStringLiteral("%1を作成できません").arg(data));
    QStringList written;
    auto write = [&](const QString &name, const QStringList &lines) {
        QByteArray bytes;
        for (const QString &l : lines)
            bytes += Cp932::encode(l) + "\r\n";
        WriteFileAtomic(data + name, bytes);
        written << QStringLiteral("Data/") + name;
    };
    write(QStringLiteral("holding.csv"), rowsOf(dm, QStringLiteral("Select * From Holding Order By \"Year\", Division, Stage"), {}));
    write(QStringLiteral("team.csv"), rowsOf(dm, QStringLiteral("Select * From Team Order By TeamNo"), {}));
    write(QStringLiteral("teams.csv"), rowsOf(dm, QStringLiteral("Select * From Teams Order By \"Year\", TeamNo, Division"), {}));
    for (int year : years) {
        const QString y = QString::number(year);
        write(Format(u"match%4.4d.csv", {year}),
              rowsOf(dm, QStringLiteral("Select * From Match Where SubStr(MatchDate, 1, 4) = :Y Order By MatchDate, Time, Division, Section, HomeTeam"),
                     {{QStringLiteral("Y"), y}}));
        // The lottery tables by the year's toto rounds.
        int first = 0, last = 0;
        dm.TotoRoundRange(year, first, last);
        const TParams range{{QStringLiteral("F"), first}, {QStringLiteral("L"), last}};
        for (const char *table : {"odds", "prize", "oddsmini", "prizemini", "resultmini", "resultgoal3", "oddsgoal3", "prizegoal3"})
            write(Format(u"%s%4.4d.csv", {QString::fromLatin1(table), year}),
                  rowsOf(dm, QStringLiteral("Select * From %1 Where Number Between :F And :L Order By rowid").arg(QString::fromLatin1(table)), range));
    }
    // "Sheet/": the match card of every toto round the database knows, as a match-sheet file.
    const QString sheets = folder + QStringLiteral("/Sheet/");
    auto shortName = [&](int teamNo) {
        const TDataRows rows = dm.Query(QStringLiteral("QueryTeam"), {{QStringLiteral("TeamNo"), teamNo}});
        return rows.empty() ? QString() : FieldText(rows.front(), u"ShortName");
    };
    if (!QDir().mkpath(sheets))
        throw EPelvaneError(QStringLiteral("%1を作成できません").arg(sheets));
    for (int year : years) {
        const TDataRows rounds = dm.Select(QStringLiteral("Select Distinct totoNumber From Match Where SubStr(MatchDate, 1, 4) = :Y And totoNumber > 0 Order By 1"),
                                           {{QStringLiteral("Y"), QString::number(year)}});
        for (const TDataRow &round : rounds) {
            TTipSheet sheet;
            sheet.SetNumber(FieldInt(round, u"totoNumber", 0));
            TMatchList list(dm);
            list.LoadTotoRounds(sheet.Number(), sheet.Number());
            for (int i = 0; i < list.Count(); ++i) {
                const TMatch &m = list.MatchAt(i);
                if (m.TotoIndex < 1 || m.TotoIndex > sheet.MaxMatch())
                    continue;
                TExceptMatch &card = sheet.Match(m.TotoIndex - 1);
                card.SetDateTime(m.DateTime);
                card.SetStadium(m.Stadium);
                card.SetDivision(m.Division);
                card.MatchName = m.Division > 0 ? QStringLiteral("J%1").arg(m.Division) : QString();
                card.HomeTeamNo = m.HomeTeamNo;
                card.AwayTeamNo = m.AwayTeamNo;
                card.HomeTeamRef().SetName(shortName(m.HomeTeamNo));
                card.AwayTeamRef().SetName(shortName(m.AwayTeamNo));
            }
            QString name = sheet.DefaultFileName();
            name = name.left(name.lastIndexOf(u'.')) + QStringLiteral(".tts");
            sheet.SaveToFile(sheets + name, true);
            written << QStringLiteral("Sheet/") + name;
        }
    }
    return written;
}
