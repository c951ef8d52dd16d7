#pragma once

#include "lottery/TotoTypes.h"
#include "platform/DateTime.h"

#include <QString>

#include <array>

class TIniFile;

// One vote-rate table of a round: the votes per match and outcome, and the three prize estimates
// derived from it.
class TOdds
{
public:
    TDateTime OddsDate = 0;

    virtual ~TOdds() = default;
    // Date 0, every count and total 0; the prize estimates stay.
    virtual void Clear();

    // votes / total x 100, rounded half away from zero; 0 when the total is 0.
    int Percent(int matchIndex, TTip tip) const;
    double Rate(int matchIndex, TTip tip) const;
    int VotesOf(int matchIndex, TTip tip) const;
    int TotalOf(int matchIndex) const;
    void SetVotes(int matchIndex, TTip tip, int count);

    // One section of a vote-rate file: "Date" and "01".."13" = home, draw, away counts.
    // A missing section leaves the table cleared.
    void Load(const TIniFile &ini, const QString &section);
    void Save(TIniFile &ini, const QString &section) const;

    // Levels 1..3; reads outside give 0, writes outside are ignored.
    qint64 PrizeOf(int level) const;
    void SetPrize(int level, qint64 value);

private:
    static bool validMatch(int matchIndex) { return matchIndex >= 0 && matchIndex < kMaxMatches; }

    std::array<std::array<int, 3>, kMaxMatches> m_votes{};
    std::array<qint64, kMaxMatches> m_totals{};
    std::array<qint64, 3> m_prizes{};
};
