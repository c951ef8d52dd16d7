#include "database/Match.h"

#include "database/unitSQLite.h"

#include <cmath>

namespace {

bool readInt(const TDataRow &row, QStringView name, qint32 &out)
{
    const QVariant v = row.Value(name);
    if (v.isNull())
        return false;
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (!ok)
        return false;
    out = qint32(n);
    return true;
}

} // namespace

bool TMatch::LoadFrom(const TDataRow &row)
{
    const TDateTime date = DateFromSQL(row.Value(u"MatchDate"));
    if (date == 0)
        return false;
    DateTime = date;
    const double time = TimeFromSQL(row.Value(u"Time"));
    if (time >= 0)
        DateTime = date + time;
    if (!readInt(row, u"Division", Division) || !readInt(row, u"Section", Section) ||
        !readInt(row, u"HomeTeam", HomeTeamNo) || !readInt(row, u"AwayTeam", AwayTeamNo))
        return false;
    VGoal = FieldBool(row, u"Extension");
    Stadium = FieldText(row, u"Stadium");
    TotoNumber = FieldInt(row, u"totoNumber", 0);
    TotoIndex = FieldInt(row, u"totoIndex", 0);
    if (TotoNumber == 0 || TotoIndex == 0) {
        TotoNumber = FieldInt(row, u"totoNumber2", 0);
        TotoIndex = FieldInt(row, u"totoIndex2", 0);
    }
    TotoCalledOff = FieldBool(row, u"totoCalledOff");
    HomeScore = FieldInt(row, u"HomeScore", -1);
    AwayScore = FieldInt(row, u"AwayScore", -1);
    VoteRate = {0, 0, 0};
    if (FieldInt(row, u"Number", 0) != 0) {
        const double home = double(FieldInt64(row, u"Home", 0));
        const double draw = double(FieldInt64(row, u"Draw", 0));
        const double away = double(FieldInt64(row, u"Away", 0));
        const double total = home + draw + away;
        if (total > 0)
            VoteRate = {draw / total * 100, home / total * 100, away / total * 100};
    }
    return true;
}

void TMatch::AssignTo(TMatch &other) const
{
    other.DateTime = DateTime;
    other.Division = Division;
    other.Section = Section;
    other.HomeTeamNo = HomeTeamNo;
    other.AwayTeamNo = AwayTeamNo;
    other.HomeScore = HomeScore;
    other.AwayScore = AwayScore;
    other.VGoal = VGoal;
    other.Stadium = Stadium;
    other.TotoNumber = TotoNumber;
    other.TotoIndex = TotoIndex;
}

TTips TMatch::resultOf(bool withCalledOff) const
{
    return ResultFromScore(TotoNumber, HomeScore, AwayScore, withCalledOff && TotoCalledOff, VGoal);
}

TTips TMatch::TotoResult() const
{
    return resultOf(true);
}

QString TMatch::scoreText(int own, int other) const
{
    if (HomeScore < 0 || AwayScore < 0)
        return {};
    return QString::number(own) + (VGoal && own > other ? QStringLiteral("v") : QString());
}

QString TMatch::HomeScoreText() const
{
    return scoreText(HomeScore, AwayScore);
}

QString TMatch::AwayScoreText() const
{
    return scoreText(AwayScore, HomeScore);
}

QString TMatch::ResultText() const
{
    return HomeScoreText() + QStringLiteral(" - ") + AwayScoreText();
}

QString TMatch::resultMark(int own, int other) const
{
    if (HomeScore < 0 || AwayScore < 0)
        return QStringLiteral("　");
    if (own > other)
        return VGoal ? QStringLiteral("□") : QStringLiteral("○");
    if (own == other)
        return QStringLiteral("△");
    return VGoal ? QStringLiteral("■") : QStringLiteral("●");
}

QString TMatch::HomeResultMark() const
{
    return resultMark(HomeScore, AwayScore);
}

QString TMatch::AwayResultMark() const
{
    return resultMark(AwayScore, HomeScore);
}

bool TMatch::Backfire() const
{
    const TTips result = resultOf(false);
    if (result.isEmpty() || (VoteRate[0] == 0 && VoteRate[1] == 0 && VoteRate[2] == 0))
        return false;
    const TTip won = result.contains(tpHome) ? tpHome : result.contains(tpAway) ? tpAway : tpDraw;
    const double share = VoteRate[won];
    for (int t = 0; t < 3; ++t)
        if (t != won && share < VoteRate[size_t(t)])
            return true;
    return false;
}

int TMatchList::AddRows(const TDataRows &rows, int limit)
{
    int added = 0;
    for (const TDataRow &row : rows) {
        if (limit >= 0 && added >= limit)
            break;
        auto match = std::make_unique<TMatch>();
        if (!match->LoadFrom(row))
            continue;
        m_items.push_back(std::move(match));
        ++added;
    }
    return added;
}

int TMatchList::LoadTeamHistory(int teamNo, const TMatchFilter &filter, const TMatchDisplay &display, TDateTime before)
{
    // Every value is a parameter: a stadium name may hold quotes.
    QStringList conditions;
    TParams params{{QStringLiteral("TEAM"), teamNo}};
    if (filter.MatchFilter == mfLeague)
        conditions << QStringLiteral("Division > 0");
    else if (filter.MatchFilter == mfCup)
        conditions << QStringLiteral("Division = 0");
    switch (filter.HomeAwayFilter) {
    case hafAll:
        conditions << QStringLiteral("( (HomeTeam = :TEAM And AwayTeam <> :TEAM) or (HomeTeam <> :TEAM And AwayTeam = :TEAM) )");
        break;
    case hafHome:
        conditions << QStringLiteral("HomeTeam = :TEAM");
        break;
    case hafAway:
        conditions << QStringLiteral("AwayTeam = :TEAM");
        break;
    }
    if (!filter.StadiumFilter.isEmpty()) {
        conditions << QStringLiteral("Stadium = :STADIUM");
        params.emplace_back(QStringLiteral("STADIUM"), filter.StadiumFilter);
    }
    if (display.DisplayMode == mdDate) {
        conditions << QStringLiteral("MatchDate >= :FROMDATE");
        params.emplace_back(QStringLiteral("FROMDATE"), DateToSQL(display.MatchDate));
    }
    conditions << QStringLiteral("MatchDate < :BEFORE");
    params.emplace_back(QStringLiteral("BEFORE"), DateToSQL(before));
    const QString sql = QStringLiteral("Select Match.*, Odds.* From Match Left Join Odds On Match.totoNumber = Odds.Number "
                                       "And Match.totoIndex = [Index] Where ") +
                        conditions.join(QStringLiteral(" And ")) + QStringLiteral(" Order By MatchDate desc, Section Desc");
    return AddRows(m_dm.Select(sql, params), display.DisplayMode == mdTop ? display.MatchCount : -1);
}

int TMatchList::LoadHeadToHead(int team1, int team2, TDateTime date)
{
    if (date == 0)
        date = DateTime::now();
    return AddRows(m_dm.Query(QStringLiteral("QueryPastMatch"), {{QStringLiteral("TEAM1"), team1},
                                                                 {QStringLiteral("TEAM2"), team2},
                                                                 {QStringLiteral("DATE"), date}}));
}

bool TMatchList::LoadTotoRounds(int firstRound, int lastRound)
{
    Clear();
    if (lastRound < firstRound)
        lastRound = firstRound;
    bool any = false;
    for (int round = firstRound; round <= lastRound; ++round) {
        if (OnProgress)
            OnProgress(this);
        any = AddRows(m_dm.Query(QStringLiteral("QueryTotoMatch"), {{QStringLiteral("Number"), round}})) > 0 || any;
    }
    return any;
}

TMatch *TMatchList::FindToto(int round, int index)
{
    for (auto &m : m_items)
        if (m->TotoNumber == round && m->TotoIndex == index)
            return m.get();
    return nullptr;
}

int TMatchList::IndexOfSection(int section) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->Section == section)
            return int(i);
    return -1;
}
