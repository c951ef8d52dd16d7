#include "settings/MatchFilter.h"

#include "platform/IniFile.h"

void TMatchFilter::Load(const TIniFile &ini, const QString &section)
{
    const int match = ini.readInteger(section, QStringLiteral("MatchType"), MatchFilter);
    const int homeAway = ini.readInteger(section, QStringLiteral("HomeAway"), HomeAwayFilter);
    if (match >= mfAll && match <= mfCup)
        MatchFilter = TFilterTypeMatch(match);
    if (homeAway >= hafAll && homeAway <= hafAway)
        HomeAwayFilter = TFilterTypeHomeAway(homeAway);
    StadiumFilter = ini.readString(section, QStringLiteral("Stadium"), StadiumFilter);
}

void TMatchFilter::Save(TIniFile &ini, const QString &section) const
{
    ini.writeInteger(section, QStringLiteral("MatchType"), MatchFilter);
    ini.writeInteger(section, QStringLiteral("HomeAway"), HomeAwayFilter);
    ini.writeString(section, QStringLiteral("Stadium"), StadiumFilter);
}
