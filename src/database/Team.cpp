#include "database/Team.h"

#include "database/unitSQLite.h"
#include "platform/EventPump.h"
#include "platform/PelvaneError.h"

#include <algorithm>
#include <numeric>

qint64 ColorFromText(const QString &text)
{
    static const std::pair<const char16_t *, qint64> names[] = {
        {u"clBlack", 0x000000},  {u"clMaroon", 0x000080}, {u"clGreen", 0x008000},   {u"clOlive", 0x008080},
        {u"clNavy", 0x800000},   {u"clPurple", 0x800080}, {u"clTeal", 0x808000},    {u"clGray", 0x808080},
        {u"clSilver", 0xC0C0C0}, {u"clRed", 0x0000FF},    {u"clLime", 0x00FF00},    {u"clYellow", 0x00FFFF},
        {u"clBlue", 0xFF0000},   {u"clFuchsia", 0xFF00FF}, {u"clAqua", 0xFFFF00},   {u"clWhite", 0xFFFFFF},
    };
    const QString t = text.trimmed();
    for (const auto &[name, value] : names)
        if (t.compare(QString::fromUtf16(name), Qt::CaseInsensitive) == 0)
            return value;
    bool ok = false;
    qint64 n = -1;
    if (t.startsWith(u'$'))
        n = t.mid(1).toLongLong(&ok, 16);
    else if (t.startsWith(u'#') && t.size() == 7) {
        const qint64 rgb = t.mid(1).toLongLong(&ok, 16);
        n = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
    } else
        n = t.toLongLong(&ok);
    return ok && n >= 0 ? n : -1;
}

bool TTeam::LoadFrom(const TDataRow &row)
{
    const QVariant no = row.Value(u"TeamNo");
    bool ok = false;
    TeamNo = qint32(no.toLongLong(&ok));
    if (no.isNull() || !ok)
        return false;
    Name = FieldText(row, u"ShortName");
    LongName = FieldText(row, u"TeamName");
    Stadium = FieldText(row, u"Stadium");
    if (row.Has(u"LastYearOrder"))
        LastYearOrder = FieldInt(row, u"LastYearOrder", 0);
    if (row.Has(u"Division"))
        Division = FieldInt(row, u"Division", 0);
    const QVariant color = row.Value(u"TeamColor");
    TeamColor = color.isNull() ? -1 : ColorFromText(color.toString());
    return true;
}

void TTeam::ResetStats()
{
    VictoryPoint = 0;
    HomeResultCount.fill(0);
    AwayResultCount.fill(0);
    HomeGetScore = AwayGetScore = HomeLostScore = AwayLostScore = 0;
}

int TTeam::HomeMatchCountTotal() const
{
    return std::accumulate(HomeResultCount.begin(), HomeResultCount.end(), 0);
}

int TTeam::AwayMatchCountTotal() const
{
    return std::accumulate(AwayResultCount.begin(), AwayResultCount.end(), 0);
}

void TTeam::AddResult(bool home, int kind, int ownGoals, int otherGoals, const TVictoryPoints &points)
{
    if (home) {
        HomeGetScore += ownGoals;
        HomeLostScore += otherGoals;
        ++HomeResultCount[size_t(kind)];
    } else {
        AwayGetScore += ownGoals;
        AwayLostScore += otherGoals;
        ++AwayResultCount[size_t(kind)];
    }
    VictoryPoint += points[size_t(kind)];
}

namespace {

int kindOf(int own, int other, bool extension)
{
    if (own == other)
        return rkDraw;
    if (own > other)
        return extension ? rkWinExtra : rkWin;
    return extension ? rkLoseExtra : rkLose;
}

} // namespace

bool TTeam::AddMatches(TDM &dm, const TVictoryPoints &points, int year, int firstSection, int lastSection)
{
    if (lastSection < 0)
        lastSection = firstSection;
    const TDataRows rows = dm.Query(QStringLiteral("QueryPoints"), {{QStringLiteral("YEAR"), QString::number(year)},
                                                                    {QStringLiteral("HOMETEAM"), TeamNo},
                                                                    {QStringLiteral("AWAYTEAM"), TeamNo},
                                                                    {QStringLiteral("SSection"), firstSection},
                                                                    {QStringLiteral("ESection"), lastSection}});
    for (const TDataRow &r : rows) {
        const bool home = FieldInt(r, u"HomeTeam", -1) == TeamNo;
        const int hs = FieldInt(r, u"HomeScore", 0), as = FieldInt(r, u"AwayScore", 0);
        const int own = home ? hs : as, other = home ? as : hs;
        AddResult(home, kindOf(own, other, FieldBool(r, u"Extension")), own, other, points);
    }
    return !rows.empty();
}

void TTeam::LoadMatchList(TDM &dm, int year, int firstSection, int lastSection)
{
    if (!m_matchList)
        m_matchList = std::make_unique<TMatchList>(dm);
    m_matchList->Clear();
    m_matchList->AddRows(dm.Query(QStringLiteral("QueryMatchList"), {{QStringLiteral("YEAR"), QString::number(year)},
                                                                      {QStringLiteral("TEAMNO"), TeamNo},
                                                                      {QStringLiteral("SSection"), firstSection},
                                                                      {QStringLiteral("ESection"), lastSection}}));
}

void TTeam::AssignTo(TTeam &other) const
{
    other.TeamNo = TeamNo;
    other.Name = Name;
    other.LongName = LongName;
    other.Stadium = Stadium;
    other.TeamColor = TeamColor;
    other.Division = Division;
    other.LeagueOrder = LeagueOrder;
    other.VictoryPoint = VictoryPoint;
    other.HomeResultCount = HomeResultCount;
    other.AwayResultCount = AwayResultCount;
    other.HomeGetScore = HomeGetScore;
    other.AwayGetScore = AwayGetScore;
    other.HomeLostScore = HomeLostScore;
    other.AwayLostScore = AwayLostScore;
    other.LastYearOrder = LastYearOrder;
    other.Data = Data;
}

// --- the list -----------------------------------------------------------------------------

int TTeamList2::Compare(const TTeam &a, const TTeam &b)
{
    if (a.VictoryPoint != b.VictoryPoint)
        return a.VictoryPoint > b.VictoryPoint ? -1 : 1;
    if (a.GetLostDiffScore() != b.GetLostDiffScore())
        return a.GetLostDiffScore() > b.GetLostDiffScore() ? -1 : 1;
    if (a.GetScore() != b.GetScore())
        return a.GetScore() > b.GetScore() ? -1 : 1;
    return 0;
}

void TTeamList2::SetYear(int year)
{
    if (year == Year)
        return;
    TBusyCursor cursor;
    Year = year;
    LoadTeams();
    CalcStandings(1, 0);
    CalcStandings(2, 0);
}

void TTeamList2::LoadTeams()
{
    Clear();
    const TDataRows rows =
        Year <= 0 ? m_dm.Select(QStringLiteral("Select * From Team"))
                  : m_dm.Select(QStringLiteral("Select * From Teams, Team  Where Teams.\"Year\"= :YEAR And Teams.TeamNo=Team.TeamNo"
                                               " Order By Division, LastYearOrder, Teams.TeamNo"),
                                {{QStringLiteral("YEAR"), Year}});
    for (const TDataRow &row : rows) {
        auto team = std::make_unique<TTeam>();
        if (team->LoadFrom(row))
            m_items.push_back(std::move(team));
    }
}

void TTeamList2::CalcStandings(int division, int stage)
{
    int minSection = 0, maxSection = 0;
    m_dm.SectionRange(Year, division, stage, minSection, maxSection);
    if (stage == 2 && maxSection == 0)
        m_dm.SectionRange(Year, division, 1, minSection, maxSection);
    for (auto &team : m_items) {
        if (team->Division != division)
            continue;
        if (OnProgress)
            OnProgress(this);
        team->ResetStats();
        team->AddMatches(m_dm, m_points, Year, minSection, maxSection);
    }
}

bool TTeamList2::AddSectionResults(int division, int section)
{
    for (auto &team : m_items)
        if (team->Division == division)
            team->Data = 0;
    bool any = false;
    const TDataRows rows = m_dm.Query(QStringLiteral("QuerySectionPoints"), {{QStringLiteral("YEAR"), QString::number(Year)},
                                                                             {QStringLiteral("DIVISION"), division},
                                                                             {QStringLiteral("SECTION"), section}});
    for (const TDataRow &r : rows) {
        const int hs = FieldInt(r, u"HomeScore", -1), as = FieldInt(r, u"AwayScore", -1);
        if (hs < 0 || as < 0)
            break;
        const int hi = indexInDivision(division, FieldInt(r, u"HomeTeam", -1));
        const int ai = indexInDivision(division, FieldInt(r, u"AwayTeam", -1));
        if (hi < 0 || ai < 0)
            continue;
        const bool extension = FieldBool(r, u"Extension");
        TTeam &home = At(hi);
        TTeam &away = At(ai);
        home.Data = away.Data = 1;
        home.AddResult(true, kindOf(hs, as, extension), hs, as, m_points);
        away.AddResult(false, kindOf(as, hs, extension), as, hs, m_points);
        any = true;
    }
    return any;
}

void TTeamList2::RankTeams(int division)
{
    std::vector<TTeam *> teams;
    for (auto &team : m_items)
        if (team->Division == division)
            teams.push_back(team.get());
    std::stable_sort(teams.begin(), teams.end(), [](const TTeam *a, const TTeam *b) { return Compare(*a, *b) < 0; });
    for (size_t i = 0; i < teams.size(); ++i)
        teams[i]->LeagueOrder = int(i) + 1;
}

void TTeamList2::SortByOrder(int division)
{
    qint64 total = 0;
    for (auto &team : m_items)
        if (team->Division == division)
            total += team->VictoryPoint;
    // Stable: equal teams keep the order they were loaded in (division, last season's place).
    if (total != 0)
        std::stable_sort(m_items.begin(), m_items.end(), [](const auto &a, const auto &b) { return Compare(*a, *b) < 0; });
    else
        std::stable_sort(m_items.begin(), m_items.end(),
                         [](const auto &a, const auto &b) { return a->LastYearOrder < b->LastYearOrder; });
    const TTeam *previous = nullptr;
    int position = 0;
    for (auto &team : m_items) {
        if (team->Division != division)
            continue;
        ++position;
        if (previous && Compare(*previous, *team) == 0)
            team->LeagueOrder = previous->LeagueOrder;
        else
            team->LeagueOrder = position;
        previous = team.get();
    }
}

int TTeamList2::TeamCount(int division) const
{
    return int(std::count_if(m_items.begin(), m_items.end(), [&](const auto &t) { return t->Division == division; }));
}

TTeam &TTeamList2::TeamAt(int division, int n)
{
    int seen = 0;
    for (auto &team : m_items)
        if (team->Division == division && seen++ == n)
            return *team;
    throw EPelvaneError(QStringLiteral("TEAMデータが見つかりません"));
}

int TTeamList2::IndexOfTeamNo(int teamNo) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->TeamNo == teamNo)
            return int(i);
    return -1;
}

int TTeamList2::indexInDivision(int division, int teamNo) const
{
    // A team may be listed in two divisions of one year; the section's own division counts.
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->TeamNo == teamNo && m_items[i]->Division == division)
            return int(i);
    return -1;
}

int TTeamList2::IndexOfName(const QString &name) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i]->Name == name)
            return int(i);
    return -1;
}

void TTeamList2::Assign(const TTeamList2 &other)
{
    Clear();
    Year = other.Year;
    for (const auto &team : other.m_items) {
        auto copy = std::make_unique<TTeam>();
        team->AssignTo(*copy);
        m_items.push_back(std::move(copy));
    }
}
