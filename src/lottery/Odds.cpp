#include "lottery/Odds.h"

#include "platform/CommaText.h"
#include "platform/Format.h"
#include "platform/IniFile.h"
#include "shell/UnitTypes.h"

#include <cmath>

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

void TOdds::Load(const TIniFile &ini, const QString &section)
{
    Clear();
    if (!ini.sectionExists(section))
        return;
    OddsDate = StrToDateTimeDef(ini.readString(section, QStringLiteral("Date")), 0);
    for (int i = 0; i < kMaxMatches; ++i) {
        const QStringList f = CommaText::split(ini.readString(section, Format(u"%2.2d", {i + 1}), QStringLiteral("0,0,0")));
        const TTip order[3] = {tpHome, tpDraw, tpAway};
        for (int k = 0; k < 3; ++k)
            SetVotes(i, order[k], k < f.size() ? StrToIntDef(f[k], 0) : 0);
    }
}

void TOdds::Save(TIniFile &ini, const QString &section) const
{
    // The date with the time, which is left out at midnight.
    const bool midnight = OddsDate == std::trunc(OddsDate);
    ini.writeString(section, QStringLiteral("Date"),
                    FormatDateTime(midnight ? QStringLiteral("yyyy/mm/dd") : QStringLiteral("yyyy/mm/dd h:nn:ss"), OddsDate));
    for (int i = 0; i < kMaxMatches; ++i)
        ini.writeString(section, Format(u"%2.2d", {i + 1}),
                        Format(u"%d, %d, %d", {m_votes[size_t(i)][tpHome], m_votes[size_t(i)][tpDraw], m_votes[size_t(i)][tpAway]}));
}
