#include "lottery/Odds.h"

#include "shell/UnitTypes.h"

void TOdds::Clear()
{
    OddsDate = 0;
    m_votes = {};
    m_totals = {};
}

int TOdds::Percent(int matchIndex, TTip tip) const
{
    if (!validMatch(matchIndex) || m_totals[matchIndex] == 0)
        return 0;
    return int(RoundHalfAway(double(m_votes[matchIndex][tip]) / double(m_totals[matchIndex]) * 100.0));
}

double TOdds::Rate(int matchIndex, TTip tip) const
{
    if (!validMatch(matchIndex) || m_totals[matchIndex] == 0)
        return 0;
    return double(m_votes[matchIndex][tip]) / double(m_totals[matchIndex]);
}

int TOdds::VotesOf(int matchIndex, TTip tip) const
{
    return validMatch(matchIndex) ? m_votes[matchIndex][tip] : 0;
}

int TOdds::TotalOf(int matchIndex) const
{
    return validMatch(matchIndex) ? int(m_totals[matchIndex]) : 0;
}

void TOdds::SetVotes(int matchIndex, TTip tip, int count)
{
    if (!validMatch(matchIndex) || m_votes[matchIndex][tip] == count)
        return;
    m_votes[matchIndex][tip] = count;
    const auto &v = m_votes[matchIndex];
    m_totals[matchIndex] = qint64(v[0]) + v[1] + v[2];
}

qint64 TOdds::PrizeOf(int level) const
{
    return level >= 1 && level <= 3 ? m_prizes[level - 1] : 0;
}

void TOdds::SetPrize(int level, qint64 value)
{
    if (level >= 1 && level <= 3)
        m_prizes[level - 1] = value;
}
