#include "settings/MatchDisplay.h"

#include "platform/Format.h"
#include "platform/IniFile.h"

void TMatchDisplay::Load(const TIniFile &ini, const QString &section)
{
    const int mode = ini.readInteger(section, QStringLiteral("DisplayMode"), DisplayMode);
    if (mode >= mdAll && mode <= mdDate)
        DisplayMode = TMatchDisplayMode(mode);
    MatchCount = ini.readInteger(section, QStringLiteral("Lines"), MatchCount);
    MatchDate = StrToDateTimeDef(ini.readString(section, QStringLiteral("Date")), MatchDate);
}

void TMatchDisplay::Save(TIniFile &ini, const QString &section) const
{
    ini.writeInteger(section, QStringLiteral("DisplayMode"), DisplayMode);
    ini.writeInteger(section, QStringLiteral("Lines"), MatchCount);
    ini.writeString(section, QStringLiteral("Date"), FormatDateTime(QStringLiteral("yyyy/mm/dd"), MatchDate));
}
