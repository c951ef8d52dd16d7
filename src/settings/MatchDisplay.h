#pragma once

#include "platform/DateTime.h"

#include <QString>

class TIniFile;

enum TMatchDisplayMode { mdAll, mdTop, mdDate };

// How the reference viewer lists matches: all, the latest MatchCount, or from MatchDate on.
class TMatchDisplay
{
public:
    TMatchDisplayMode DisplayMode = mdAll;
    int MatchCount = 30;
    TDateTime MatchDate = 36526; // 2000-01-01

    void Reset() { *this = TMatchDisplay{}; }
    bool operator==(const TMatchDisplay &) const = default;
    void Load(const TIniFile &ini, const QString &section);
    void Save(TIniFile &ini, const QString &section) const;
};
