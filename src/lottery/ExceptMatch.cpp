#include "lottery/ExceptMatch.h"

#include "lottery/UnitToTo.h"

TExceptMatch::TExceptMatch(TTipSheet *sheet)
    : m_sheet(sheet)
{
}

int TExceptMatch::roundNumber() const
{
    return m_sheet ? m_sheet->Number() : kDefaultRoundNumber;
}

void TExceptMatch::SetIndex(int index)
{
    m_index = index;
    m_homeTeam.Index = index;
    m_awayTeam.Index = index;
}

void TExceptMatch::SetHomeTeam(const TExceptTeam &team)
{
    if (m_homeTeam.SameAs(team))
        return;
    team.AssignTo(m_homeTeam);
    DoChanged();
}

void TExceptMatch::SetAwayTeam(const TExceptTeam &team)
{
    if (m_awayTeam.SameAs(team))
        return;
    team.AssignTo(m_awayTeam);
    DoChanged();
}

void TExceptMatch::SetTips(TTips tips)
{
    if (tips == m_tips)
        return;
    m_tips = tips;
    DoChanged();
    DoTipsChanged();
}

TTip TExceptMatch::FirstTip() const
{
    for (TTip t : {tpDraw, tpHome, tpAway})
        if (m_tips.contains(t))
            return t;
    return tpDraw;
}

TTip TExceptMatch::SecondTip() const
{
    for (TTip t : {tpAway, tpHome, tpDraw})
        if (m_tips.contains(t))
            return t;
    return tpDraw;
}

void TExceptMatch::SetDateTime(TDateTime value)
{
    if (value == m_dateTime)
        return;
    m_dateTime = value;
    DoChanged();
    DoDateTimeChanged();
}

void TExceptMatch::SetStadium(const QString &value)
{
    if (value == m_stadium)
        return;
    m_stadium = value;
    DoChanged();
    DoStadiumChanged();
}

void TExceptMatch::SetDivision(int value)
{
    if (value < 0)
        value = m_index > 7 ? 2 : 1;
    if (value == m_division)
        return;
    m_division = value;
    DoChanged();
}

void TExceptMatch::SetComment(const QString &value)
{
    if (value == m_comment)
        return;
    m_comment = value;
    DoChanged();
    DoCommentChanged();
}

void TExceptMatch::SetHomeScore(int value)
{
    if (value == m_homeScore)
        return;
    m_homeScore = value;
    DoChanged();
    DoScoreChanged();
}

void TExceptMatch::SetAwayScore(int value)
{
    if (value == m_awayScore)
        return;
    m_awayScore = value;
    DoChanged();
    DoScoreChanged();
}

void TExceptMatch::SetScore(int homeScore, int awayScore)
{
    if (homeScore == m_homeScore && awayScore == m_awayScore)
        return;
    m_homeScore = homeScore;
    m_awayScore = awayScore;
    SetCalledOff(false);
    DoChanged();
    DoScoreChanged();
}

void TExceptMatch::SetVGoal(bool value)
{
    if (value == m_vGoal)
        return;
    m_vGoal = value;
    DoChanged();
    DoScoreChanged();
}

void TExceptMatch::SetCalledOff(bool value)
{
    if (value == m_calledOff)
        return;
    m_calledOff = value;
    DoChanged();
    DoScoreChanged();
}

void TExceptMatch::SetResult(TTips value)
{
    if (value == m_result)
        return;
    m_result = value;
    DoChanged();
    DoResultChanged();
}

void TExceptMatch::UpdateResult()
{
    SetResult(ResultFromScore(roundNumber(), m_homeScore, m_awayScore, m_calledOff, m_vGoal));
}

void TExceptMatch::DoChanged() { raise(OnChanged); }
void TExceptMatch::DoTipsChanged() { raise(OnTipsChanged); }
void TExceptMatch::DoStadiumChanged() { raise(OnStadiumChanged); }
void TExceptMatch::DoResultChanged() { raise(OnResultChanged); }
void TExceptMatch::DoDateTimeChanged() { raise(OnDateTimeChanged); }
void TExceptMatch::DoCommentChanged() { raise(OnCommentChanged); }

void TExceptMatch::DoScoreChanged()
{
    UpdateResult();
    raise(OnScoreChanged);
}

QString TExceptMatch::ScoreText() const
{
    if (m_homeScore < 0 || m_awayScore < 0)
        return {};
    QString s = QString::number(m_homeScore);
    if (m_vGoal && m_homeScore > m_awayScore)
        s += u'v';
    s += QStringLiteral(" - ") + QString::number(m_awayScore);
    if (m_vGoal && m_awayScore > m_homeScore)
        s += u'v';
    return s;
}

void TExceptMatch::ClearCard()
{
    m_homeTeam.Clear();
    m_awayTeam.Clear();
    HomeTeamNo = 0;
    AwayTeamNo = 0;
    SetStadium(QString());
    SetDateTime(0);
    MatchName.clear();
    DispTeamDataURL.clear();
}

void TExceptMatch::ClearForecast()
{
    SetHomeScore(-1);
    SetAwayScore(-1);
    SetVGoal(false);
    SetCalledOff(false);
    SetTips({});
    SetResult({});
    SetComment(QString());
}

void TExceptMatch::AssignTo(TExceptMatch &dest) const
{
    dest.SetIndex(m_index);
    dest.SetHomeScore(m_homeScore);
    dest.SetAwayScore(m_awayScore);
    dest.SetHomeTeam(m_homeTeam);
    dest.SetAwayTeam(m_awayTeam);
    dest.SetTips(m_tips);
    dest.SetResult(m_result);
    dest.SetStadium(m_stadium);
    dest.SetDivision(m_division);
    dest.HomeTeamNo = HomeTeamNo;
    dest.AwayTeamNo = AwayTeamNo;
    dest.MatchName = MatchName;
    dest.SetDateTime(m_dateTime);
    dest.SetComment(m_comment);
    dest.SetCalledOff(m_calledOff);
    dest.DispTeamDataURL = DispTeamDataURL;
}
