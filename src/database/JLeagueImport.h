#pragma once

#include "database/unitSQLite.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>

#include <map>
#include <set>
#include <tuple>

// Fills the reference database from the J.League result files (one UTF-8 CSV per competition and
// season) through TDM::ImportRows, the path the download server's files take: Match from the
// files, then Team, Holding and Teams derived from them. The club names of the files are tied to
// team numbers by a mapping file. Toto rounds, votes and prizes are not in these files.
class TJLeagueImport
{
public:
    struct TFileInfo
    {
        QString season;      // "2015", "26-27"
        QString part;        // "A", "B", "East", "EastA" …, empty for a whole season
        QString competition; // "J1", "J2", "J3", "JLeagueCup", "J1PO", "J2J3PO"
        int division = 0;
        int stage = 0;
    };

    explicit TJLeagueImport(TDM &dm) : m_dm(dm) {}

    // "TeamNo,TeamName,ShortName,DataNames" with the data names separated by "|"; "#" lines are
    // comments. Raises on a line that does not read.
    void LoadTeamMap(const QString &fileName);
    // Every "*_allmatch_result-*.csv" of the folder, then the derived tables. Raises with the
    // file and the reason; a file that fails leaves nothing of itself behind.
    void ImportFolder(const QString &folder, const TAbortCheck &aborted = {});
    // One result file into Match; raises on a bad file.
    void ImportFile(const QString &fileName, const TAbortCheck &aborted = {});
    // Team, Holding and Teams from what the imported files held.
    void ImportDerived(const TAbortCheck &aborted = {});

    static bool ParseFileName(const QString &fileName, TFileInfo &info);
    // One line of RFC 4180 comma-separated values (quoted fields, doubled quotes).
    static QStringList SplitCsvLine(QStringView line);

    int MatchRows() const { return m_matchRows; }
    int FileCount() const { return m_files; }
    // Fixtures left out because their day was not fixed.
    int UndatedFixtures() const { return m_undated; }

private:
    int teamNumber(const QString &dataName, const QString &fileName, int lineNo) const;
    void import(const QString &table, int keys, const QStringList &lines, const TAbortCheck &aborted);

    struct TTeamInfo
    {
        QString name, shortName;
    };
    struct THolding
    {
        int minSection = 999, maxSection = -999;
        QString start, end;
    };

    TDM &m_dm;
    QMap<int, TTeamInfo> m_teams;
    QHash<QString, int> m_numberOfName;
    std::map<std::tuple<int, int, int>, THolding> m_holdings; // year, division, stage
    std::set<std::tuple<int, int, int>> m_memberships;         // year, team, division
    std::map<int, std::map<QString, int>> m_homeStadiums;      // team -> stadium -> matches (latest year)
    std::map<int, int> m_stadiumYear;                          // team -> year of m_homeStadiums
    std::map<QString, int> m_stageOneSections;                 // season of a two-stage J1 -> last section of stage 1
    int m_matchRows = 0;
    int m_files = 0;
    int m_undated = 0;
};
