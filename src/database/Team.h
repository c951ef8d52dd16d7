#pragma once

#include "database/DataRow.h"
#include "database/Match.h"
#include "lottery/TotoTypes.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

class TDM;

// Result kinds: won, won in extra time, draw, lost in extra time, lost.
enum TResultKind { rkWin = 0, rkWinExtra = 1, rkDraw = 2, rkLoseExtra = 3, rkLose = 4 };
// League points per result kind.
using TVictoryPoints = std::array<int, 5>;
inline constexpr TVictoryPoints kDefaultVictoryPoints{3, 2, 1, 0, 0};

// A colour as its text is stored: a number (decimal or $hex, 0x00BBGGRR), "#RRGGBB" or one of the
// sixteen basic colour names ("clRed"); -1 when it is none of these.
qint64 ColorFromText(const QString &text);

// One team of a season with its results, goals and points.
class TTeam
{
public:
    qint32 TeamNo = 0;
    QString Name;     // short name
    QString LongName; // full name
    QString Stadium;
    qint64 TeamColor = -1;
    qint32 Division = 0;
    qint32 LeagueOrder = 0;
    qint32 VictoryPoint = 0;
    std::array<qint32, 5> HomeResultCount{};
    std::array<qint32, 5> AwayResultCount{};
    qint32 HomeGetScore = 0, AwayGetScore = 0, HomeLostScore = 0, AwayLostScore = 0;
    qint32 LastYearOrder = 0;
    qint32 Data = 0;

    TTeam() = default;
    TTeam(const TTeam &) = delete;
    TTeam &operator=(const TTeam &) = delete;

    bool LoadFrom(const TDataRow &row);
    void ResetStats();
    // Tallies the played matches of the section range (last -1 = the first section only).
    bool AddMatches(TDM &dm, const TVictoryPoints &points, int year, int firstSection, int lastSection);
    void LoadMatchList(TDM &dm, int year, int firstSection, int lastSection);
    TMatchList *MatchList() { return m_matchList.get(); }
    void AssignTo(TTeam &other) const;

    int ResultCount(int kind) const { return HomeResultCount[size_t(kind)] + AwayResultCount[size_t(kind)]; }
    int GetScore() const { return HomeGetScore + AwayGetScore; }
    int LostScore() const { return HomeLostScore + AwayLostScore; }
    int GetLostDiffScore() const { return GetScore() - LostScore(); }
    int HomeMatchCountTotal() const;
    int AwayMatchCountTotal() const;
    int MatchCountTotal() const { return HomeMatchCountTotal() + AwayMatchCountTotal(); }

    void AddResult(bool home, int kind, int ownGoals, int otherGoals, const TVictoryPoints &points);

private:
    std::unique_ptr<TMatchList> m_matchList;
};

// The teams of a season with the league table of each division.
class TTeamList2
{
public:
    explicit TTeamList2(TDM &dm, TVictoryPoints points = kDefaultVictoryPoints) : m_dm(dm), m_points(points) {}

    int Year = 0;
    TNotifyEvent<TTeamList2> OnProgress;

    int Count() const { return int(m_items.size()); }
    TTeam &At(int index) { return *m_items.at(size_t(index)); }
    const TTeam &At(int index) const { return *m_items.at(size_t(index)); }
    void Clear() { m_items.clear(); }
    const TVictoryPoints &Points() const { return m_points; }

    void SetYear(int year);
    void LoadTeams();
    void CalcStandings(int division, int stage);
    bool AddSectionResults(int division, int section);
    void RankTeams(int division);
    void SortByOrder(int division);
    int TeamCount(int division) const;
    TTeam &TeamAt(int division, int n);
    int IndexOfTeamNo(int teamNo) const;
    int IndexOfName(const QString &name) const;
    void Assign(const TTeamList2 &other);

    // The ordering of the tables: points, goal difference, goals scored.
    static int Compare(const TTeam &a, const TTeam &b);

private:
    int indexInDivision(int division, int teamNo) const;

    TDM &m_dm;
    TVictoryPoints m_points;
    std::vector<std::unique_ptr<TTeam>> m_items;
};
