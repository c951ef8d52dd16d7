#pragma once

#include <QString>

class TIniFile;

enum TFilterTypeMatch { mfAll, mfLeague, mfCup };
enum TFilterTypeHomeAway { hafAll, hafHome, hafAway };

// A match filter of the reference viewer (home side and away side).
class TMatchFilter
{
public:
    TFilterTypeMatch MatchFilter = mfAll;
    TFilterTypeHomeAway HomeAwayFilter = hafAll;
    QString StadiumFilter;

    void Reset() { *this = TMatchFilter{}; }
    bool operator==(const TMatchFilter &) const = default;
    void Load(const TIniFile &ini, const QString &section);
    void Save(TIniFile &ini, const QString &section) const;
};
