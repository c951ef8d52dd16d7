#include "database/JLeagueImport.h"

#include "database/Team.h"
#include "platform/CommaText.h"
#include "platform/PelvaneError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QStringList readLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EPelvaneError(QStringLiteral("%1を読み込めません").arg(fileName));
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.split(u'\n');
}

QString field(const QStringList &fields, const QHash<QString, int> &columns, const QString &name)
{
    const int i = columns.value(name, -1);
    return i >= 0 && i < fields.size() ? fields[i].trimmed() : QString();
}

int yearOf(const QString &sqlDate)
{
    return sqlDate.left(4).toInt();
}

} // namespace

QStringList TJLeagueImport::SplitCsvLine(QStringView line)
{
    QStringList fields;
    QString current;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"') {
                if (i + 1 < line.size() && line[i + 1] == u'"') {
                    current += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                current += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << current;
            current.clear();
        } else {
            current += c;
        }
    }
    fields << current;
    return fields;
}

bool TJLeagueImport::ParseFileName(const QString &fileName, TFileInfo &info)
{
    static const QRegularExpression re(
        QStringLiteral("^(\\d{4}|\\d{2}-\\d{2})([A-Za-z]*)_allmatch_result-(J1|J2|J3|JLeagueCup|J1PO|J2J3PO)\\.csv$"));
    const QRegularExpressionMatch m = re.match(QFileInfo(fileName).fileName());
    if (!m.hasMatch())
        return false;
    info.season = m.captured(1);
    info.part = m.captured(2);
    info.competition = m.captured(3);
    if (info.competition == u"JLeagueCup")
        info.division = 0;
    else if (info.competition == u"J1" || info.competition == u"J1PO")
        info.division = 1;
    else if (info.competition == u"J3")
        info.division = 3;
    else
        info.division = 2;
    // Only the J1 seasons of two stages mark them; the groups of other seasons share stage 0.
    info.stage = 0;
    if (info.competition == u"J1" && info.part == u"A")
        info.stage = 1;
    else if (info.competition == u"J1" && info.part == u"B")
        info.stage = 2;
    return true;
}

void TJLeagueImport::LoadTeamMap(const QString &fileName)
{
    m_teams.clear();
    m_numberOfName.clear();
    const QStringList lines = readLines(fileName);
    bool header = true;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        if (header) {
            header = false;
            continue;
        }
        const QStringList f = SplitCsvLine(line);
        bool ok = false;
        const int no = f.value(0).toInt(&ok);
        if (f.size() != 4 || !ok || no <= 0 || f[1].isEmpty() || f[2].isEmpty())
            throw EPelvaneError(QStringLiteral("%1 %2行目が読めません").arg(fileName).arg(i + 1));
        if (m_teams.contains(no))
            throw EPelvaneError(QStringLiteral("%1 %2行目: チーム番号 %3 が重複しています").arg(fileName).arg(i + 1).arg(no));
        m_teams.insert(no, {f[1], f[2]});
        for (const QString &name : f[3].split(u'|', Qt::SkipEmptyParts)) {
            if (m_numberOfName.contains(name))
                throw EPelvaneError(QStringLiteral("%1 %2行目: %3 が重複しています").arg(fileName).arg(i + 1).arg(name));
            m_numberOfName.insert(name, no);
        }
    }
}

int TJLeagueImport::teamNumber(const QString &dataName, const QString &fileName, int lineNo) const
{
    const int no = m_numberOfName.value(dataName, 0);
    if (no == 0)
        throw EPelvaneError(QStringLiteral("%1 %2行目: チーム「%3」がチーム表にありません").arg(fileName).arg(lineNo).arg(dataName));
    return no;
}

void TJLeagueImport::import(const QString &table, int keys, const QStringList &lines, const TAbortCheck &aborted)
{
    QString error;
    int rows = 0;
    if (!m_dm.ImportRows(table, keys, aborted, QString(), lines, &rows, &error))
        throw EPelvaneError(QStringLiteral("更新失敗: %1").arg(error));
}

void TJLeagueImport::ImportFile(const QString &fileName, const TAbortCheck &aborted)
{
    TFileInfo info;
    if (!ParseFileName(fileName, info))
        throw EPelvaneError(QStringLiteral("%1は試合結果のファイルではありません").arg(fileName));
    const QString base = QFileInfo(fileName).fileName();
    const QStringList lines = readLines(fileName);
    if (lines.isEmpty() || lines.front().trimmed().isEmpty())
        throw EPelvaneError(QStringLiteral("%1に見出しがありません").arg(base));
    QHash<QString, int> columns;
    const QStringList header = SplitCsvLine(lines.front());
    for (int i = 0; i < header.size(); ++i)
        columns.insert(header[i].trimmed(), i);
    for (const char *required : {"match_date", "section_no", "start_time", "stadium", "home_team", "home_goal",
                                 "away_goal", "away_team", "status"})
        if (!columns.contains(QString::fromLatin1(required)))
            throw EPelvaneError(QStringLiteral("%1に列 %2 がありません").arg(base, QString::fromLatin1(required)));

    // The second stage continues the section numbers of the first.
    int sectionOffset = 0;
    if (info.stage == 2) {
        const auto it = m_stageOneSections.find(info.season + info.competition);
        if (it == m_stageOneSections.end())
            throw EPelvaneError(QStringLiteral("%1: 第1ステージのファイルがありません").arg(base));
        sectionOffset = it->second;
    }

    QStringList rows;
    int lastSection = 0;
    struct TRowFacts
    {
        QString date;
        int section, home, away;
        QString stadium;
    };
    std::vector<TRowFacts> facts;
    for (int i = 1; i < lines.size(); ++i) {
        if (lines[i].trimmed().isEmpty())
            continue;
        const QStringList f = SplitCsvLine(lines[i]);
        if (f.size() != header.size())
            throw EPelvaneError(QStringLiteral("%1 %2行目: 項目の数が %3 です(見出しは %4)")
                                    .arg(base)
                                    .arg(i + 1)
                                    .arg(f.size())
                                    .arg(header.size()));
        const QString status = field(f, columns, QStringLiteral("status"));
        const bool played = status.startsWith(QStringLiteral("試合終了"));
        const QVariant date = DateToSQL(field(f, columns, QStringLiteral("match_date")));
        // A fixture whose day is not set yet has no place among dated matches; it comes with a
        // later file.
        if (!played && field(f, columns, QStringLiteral("match_date")).isEmpty()) {
            ++m_undated;
            continue;
        }
        if (date.typeId() != QMetaType::QString)
            throw EPelvaneError(QStringLiteral("%1 %2行目: 日付「%3」が読めません").arg(base).arg(i + 1).arg(field(f, columns, QStringLiteral("match_date"))));
        bool ok = false;
        const int section = field(f, columns, QStringLiteral("section_no")).toInt(&ok);
        if (!ok)
            throw EPelvaneError(QStringLiteral("%1 %2行目: 節「%3」が読めません").arg(base).arg(i + 1).arg(field(f, columns, QStringLiteral("section_no"))));
        const int home = teamNumber(field(f, columns, QStringLiteral("home_team")), base, i + 1);
        const int away = teamNumber(field(f, columns, QStringLiteral("away_team")), base, i + 1);
        QString time = field(f, columns, QStringLiteral("start_time"));
        if (TimeFromSQL(time) < 0)
            time.clear(); // "未定": the kick-off was not fixed
        QString homeScore, awayScore;
        bool extension = false;
        if (played) {
            bool okHome = false, okAway = false;
            const int hs = field(f, columns, QStringLiteral("home_goal")).toInt(&okHome);
            const int as = field(f, columns, QStringLiteral("away_goal")).toInt(&okAway);
            if (!okHome || !okAway)
                throw EPelvaneError(QStringLiteral("%1 %2行目: 得点が読めません").arg(base).arg(i + 1));
            homeScore = QString::number(hs);
            awayScore = QString::number(as);
            // Goals in extra time decided the match only when they broke the tie.
            const int extra = field(f, columns, QStringLiteral("home_score_ex")).toInt() +
                              field(f, columns, QStringLiteral("away_score_ex")).toInt();
            extension = extra > 0 && hs != as;
        }
        const int storedSection = section > 0 ? section + sectionOffset : section;
        lastSection = std::max(lastSection, storedSection);
        const QString stadium = field(f, columns, QStringLiteral("stadium"));
        rows << CommaText::join({date.toString(), time, QString::number(info.division), QString::number(info.stage),
                                 QString::number(storedSection), QString::number(home), QString::number(away), homeScore,
                                 awayScore, extension ? QStringLiteral("1") : QStringLiteral("0"), stadium});
        facts.push_back({date.toString(), storedSection, home, away, played ? stadium : QString()});
    }
    import(QStringLiteral("Match"), 6, rows, aborted);
    m_matchRows += int(rows.size());
    ++m_files;
    if (info.stage == 1)
        m_stageOneSections[info.season + info.competition] = lastSection;

    // What the derived tables need, taken only once the file is in.
    const bool league = info.competition == u"J1" || info.competition == u"J2" || info.competition == u"J3";
    if (!league)
        return;
    for (const TRowFacts &r : facts) {
        const int year = yearOf(r.date);
        m_memberships.insert({year, r.home, info.division});
        m_memberships.insert({year, r.away, info.division});
        // A stage's match counts for that stage and for the whole season.
        const auto widen = [&](int stage) {
            THolding &h = m_holdings[{year, info.division, stage}];
            if (r.section > 0) {
                h.minSection = std::min(h.minSection, r.section);
                h.maxSection = std::max(h.maxSection, r.section);
            }
            if (h.start.isEmpty() || r.date < h.start)
                h.start = r.date;
            if (h.end.isEmpty() || r.date > h.end)
                h.end = r.date;
        };
        widen(0);
        if (info.stage != 0)
            widen(info.stage);
        // The home ground is where the team played its home matches of its latest season.
        if (!r.stadium.isEmpty() && year >= m_stadiumYear[r.home]) {
            if (year > m_stadiumYear[r.home]) {
                m_stadiumYear[r.home] = year;
                m_homeStadiums[r.home].clear();
            }
            ++m_homeStadiums[r.home][r.stadium];
        }
    }
}

void TJLeagueImport::ImportDerived(const TAbortCheck &aborted)
{
    QStringList teamRows;
    for (auto it = m_teams.cbegin(); it != m_teams.cend(); ++it) {
        QString stadium;
        int best = 0;
        for (const auto &[name, count] : m_homeStadiums[it.key()])
            if (count > best) {
                best = count;
                stadium = name;
            }
        teamRows << CommaText::join({QString::number(it.key()), it.value().name, it.value().shortName, stadium});
    }
    import(QStringLiteral("Team"), 1, teamRows, aborted);

    // A J1 season of one stage is also cut into halves, as the stage queries of J1 ask.
    std::map<std::tuple<int, int, int>, THolding> holdings = m_holdings;
    for (const auto &[key, h] : m_holdings) {
        const auto [year, division, stage] = key;
        if (division != 1 || stage != 0 || m_holdings.count({year, division, 1}) || h.maxSection < h.minSection)
            continue;
        const int half = (h.maxSection - h.minSection + 1) / 2;
        THolding first = h, second = h;
        first.maxSection = h.minSection + half - 1;
        second.minSection = h.minSection + half;
        holdings[{year, 1, 1}] = first;
        holdings[{year, 1, 2}] = second;
    }
    QStringList holdingRows;
    for (const auto &[key, h] : holdings) {
        const auto [year, division, stage] = key;
        if (h.maxSection < h.minSection)
            continue;
        holdingRows << CommaText::join({QString::number(year), QString::number(division), QString::number(stage),
                                        QString::number(h.minSection), QString::number(h.maxSection), h.start, h.end});
    }
    import(QStringLiteral("Holding"), 3, holdingRows, aborted);

    // Teams year by year: last season's place comes from the tables the program computes.
    std::map<int, std::vector<std::pair<int, int>>> byYear; // year -> (team, division)
    for (const auto &[year, team, division] : m_memberships)
        byYear[year].push_back({team, division});
    std::map<int, int> previousOrder;
    for (const auto &[year, members] : byYear) {
        int next = 0;
        for (const auto &[team, order] : previousOrder)
            next = std::max(next, order);
        QStringList rows;
        std::map<int, int> newcomers;
        for (const auto &[team, division] : members) {
            auto it = previousOrder.find(team);
            int order = 0;
            if (it != previousOrder.end())
                order = it->second;
            else if (newcomers.count(team))
                order = newcomers[team];
            else
                order = newcomers[team] = ++next;
            rows << CommaText::join({QString::number(year), QString::number(team), QString::number(division), QString::number(order)});
        }
        import(QStringLiteral("Teams"), 3, rows, aborted);

        TTeamList2 list(m_dm);
        list.Year = year;
        list.LoadTeams();
        previousOrder.clear();
        int base = 0;
        for (int division = 1; division <= 3; ++division) {
            list.CalcStandings(division, 0);
            list.RankTeams(division);
            for (int i = 0; i < list.Count(); ++i) {
                const TTeam &t = list.At(i);
                if (t.Division != division || previousOrder.count(t.TeamNo))
                    continue;
                previousOrder[t.TeamNo] = base + t.LeagueOrder;
            }
            base += list.TeamCount(division);
        }
    }
}

void TJLeagueImport::ImportFolder(const QString &folder, const TAbortCheck &aborted)
{
    const QDir dir(folder);
    if (!dir.exists())
        throw EPelvaneError(QStringLiteral("%1がありません").arg(folder));
    QStringList names = dir.entryList({QStringLiteral("*_allmatch_result-*.csv")}, QDir::Files, QDir::Name);
    if (names.isEmpty())
        throw EPelvaneError(QStringLiteral("%1に試合結果のファイルがありません").arg(folder));
    for (const QString &name : names)
        ImportFile(dir.filePath(name), aborted);
    ImportDerived(aborted);
}
