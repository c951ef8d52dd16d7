#pragma once

#include "database/DataRow.h"
#include "lottery/TotoTypes.h"
#include "platform/DateTime.h"
#include "settings/MatchDisplay.h"
#include "settings/MatchFilter.h"

#include <QString>

#include <array>
#include <memory>
#include <vector>

class TDM;

// One league match of the reference database with its toto vote shares.
class TMatch
{
public:
    TDateTime DateTime = 0;
    qint32 Division = 0;
    qint32 Section = 0;
    qint32 HomeTeamNo = 0;
    qint32 AwayTeamNo = 0;
    QString Stadium;
    qint32 HomeScore = -1;
    qint32 AwayScore = -1;
    bool VGoal = false;
    std::array<double, 3> VoteRate{0, 0, 0}; // by TTip: draw, home, away, in percent
    qint32 TotoNumber = 0;
    qint32 TotoIndex = 0;
    bool TotoCalledOff = false;

    // False when a required column is null or not a number; the match is then unusable.
    bool LoadFrom(const TDataRow &row);
    void AssignTo(TMatch &other) const;

    TTips TotoResult() const;
    QString HomeScoreText() const;
    QString AwayScoreText() const;
    QString ResultText() const;
    QString HomeResultMark() const;
    QString AwayResultMark() const;
    bool Backfire() const;

private:
    TTips resultOf(bool withCalledOff) const;
    QString scoreText(int own, int other) const;
    QString resultMark(int own, int other) const;
};

// An owning list of matches chosen by team, filter, pair of teams or toto round.
class TMatchList
{
public:
    explicit TMatchList(TDM &dm) : m_dm(dm) {}

    int Count() const { return int(m_items.size()); }
    TMatch &MatchAt(int index) { return *m_items.at(size_t(index)); }
    const TMatch &MatchAt(int index) const { return *m_items.at(size_t(index)); }
    void Clear() { m_items.clear(); }
    void Add(std::unique_ptr<TMatch> match) { m_items.push_back(std::move(match)); }

    // Adds the rows that load; returns how many were added.
    int AddRows(const TDataRows &rows, int limit = -1);

    int LoadTeamHistory(int teamNo, const TMatchFilter &filter, const TMatchDisplay &display, TDateTime before);
    int LoadHeadToHead(int team1, int team2, TDateTime date = 0);
    bool LoadTotoRounds(int firstRound, int lastRound);
    TMatch *FindToto(int round, int index);
    int IndexOfSection(int section) const;

    TNotifyEvent<TMatchList> OnProgress;

private:
    TDM &m_dm;
    std::vector<std::unique_ptr<TMatch>> m_items;
};
