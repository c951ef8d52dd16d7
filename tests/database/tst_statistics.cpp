#include "database/Match.h"
#include "database/Team.h"
#include "database/unitSQLite.h"
#include "platform/PelvaneError.h"
#include "support/TempFolders.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QMap>
#include <QTest>

#include <map>
#include <set>

namespace {

const QString kReference = QStringLiteral(PELVANE_REFERENCE_DB);

// One published line: 年度,節,チーム,順位,勝点,試合,勝,分,敗,得点,失点,得失点差,カテゴリ
struct TPublished
{
    QString team;
    int place, points, played, won, drawn, lost, goalsFor, goalsAgainst;
};

using TSnapshots = std::map<std::tuple<int, QString, int>, std::vector<TPublished>>;

const TSnapshots &published()
{
    static const TSnapshots snapshots = [] {
        TSnapshots out;
        QFile f(QStringLiteral(PELVANE_TEST_DATA "/standings/jleague-standings-2012-2017.csv"));
        if (!f.open(QIODevice::ReadOnly))
            qFatal("standings missing");
        const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
        for (int i = 1; i < lines.size(); ++i) {
            const QStringList c = lines[i].trimmed().split(u',');
            auto n = [&](int k) { return int(c[k].toDouble()); };
            out[{n(0), c[12], n(1)}].push_back({c[2], n(3), n(4), n(5), n(6), n(7), n(8), n(9), n(10)});
        }
        return out;
    }();
    return snapshots;
}

// A small season: four teams, one section a day.
QStringList seasonFixture()
{
    return {QStringLiteral("Insert Into Team (TeamNo, TeamName, ShortName) Values (1, 'A FC', 'A'), (2, 'B FC', 'B'), (3, 'C FC', 'C'), (4, 'D FC', 'D')"),
            QStringLiteral("Insert Into Teams Values (2000, 1, 1, 3), (2000, 2, 1, 1), (2000, 3, 1, 2), (2000, 4, 1, 4)"),
            QStringLiteral("Insert Into Holding Values (2000, 1, 1, 1, 2, '2000-03-01', '2000-03-08'), (2000, 1, 2, 3, 3, '2000-03-15', '2000-03-15')"),
            // Section 1: A beats B 2-1 in extra time; C and D draw 1-1.
            // Section 2: A and C draw 0-0; D beats B 1-0. Section 3: B beats C 3-1; a cup match
            // with the same section number does not count.
            QStringLiteral("Insert Into Match (MatchDate, Time, Division, Stage, Section, HomeTeam, AwayTeam, HomeScore, AwayScore, Extension, Stadium) Values"
                           " ('2000-03-01', '19:00', 1, 1, 1, 1, 2, 2, 1, 1, 'A''s ground'),"
                           " ('2000-03-01', '19:00', 1, 1, 1, 3, 4, 1, 1, 0, 'C park'),"
                           " ('2000-03-08', '19:00', 1, 1, 2, 1, 3, 0, 0, 0, 'A''s ground'),"
                           " ('2000-03-08', '19:00', 1, 1, 2, 4, 2, 1, 0, 0, 'D field'),"
                           " ('2000-03-15', '19:00', 1, 2, 3, 2, 3, 3, 1, 0, 'B hall'),"
                           " ('2000-03-15', NULL, 0, 0, 3, 1, 4, 5, 0, 0, 'A''s ground'),"
                           " ('2000-03-22', NULL, 1, 2, 4, 1, 4, NULL, NULL, 0, 'A''s ground')")};
}

} // namespace

class TstStatistics : public QObject
{
    Q_OBJECT

private slots:
    void matchProperties_data()
    {
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("home");
        QTest::addColumn<int>("away");
        QTest::addColumn<bool>("vgoal");
        QTest::addColumn<bool>("calledOff");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("marks");
        QTest::newRow("V-goal 2-1 in round 20 is a home win") << 20 << 2 << 1 << true << false << int(TTips({tpHome}).bits()) << "2v - 1" << "□■";
        QTest::newRow("V-goal 2-1 in round 40 is a draw") << 40 << 2 << 1 << true << false << int(TTips({tpDraw}).bits()) << "2v - 1" << "□■";
        QTest::newRow("away win") << 40 << 0 << 3 << false << false << int(TTips({tpAway}).bits()) << "0 - 3" << "●○";
        QTest::newRow("draw") << 40 << 1 << 1 << false << false << int(TTips({tpDraw}).bits()) << "1 - 1" << "△△";
        QTest::newRow("not played") << 40 << -1 << -1 << false << false << 0 << " - " << "　　";
        QTest::newRow("called off") << 40 << -1 << -1 << false << true << 7 << " - " << "　　";
    }
    void matchProperties()
    {
        QFETCH(int, round);
        QFETCH(int, home);
        QFETCH(int, away);
        QFETCH(bool, vgoal);
        QFETCH(bool, calledOff);
        QFETCH(int, result);
        QFETCH(QString, text);
        QFETCH(QString, marks);
        TMatch m;
        m.TotoNumber = round;
        m.HomeScore = home;
        m.AwayScore = away;
        m.VGoal = vgoal;
        m.TotoCalledOff = calledOff;
        QCOMPARE(int(m.TotoResult().bits()), result);
        QCOMPARE(m.ResultText(), text);
        QCOMPARE(m.HomeResultMark() + m.AwayResultMark(), marks);
    }

    void backfire_data()
    {
        QTest::addColumn<int>("home");
        QTest::addColumn<int>("away");
        QTest::addColumn<double>("homeRate");
        QTest::addColumn<double>("drawRate");
        QTest::addColumn<double>("awayRate");
        QTest::addColumn<bool>("upset");
        QTest::newRow("home win with 30% while the draw had 40%") << 1 << 0 << 30.0 << 40.0 << 30.0 << true;
        QTest::newRow("favourite won") << 1 << 0 << 50.0 << 30.0 << 20.0 << false;
        QTest::newRow("tied shares") << 0 << 0 << 40.0 << 40.0 << 20.0 << false;
        QTest::newRow("no shares") << 0 << 2 << 0.0 << 0.0 << 0.0 << false;
        QTest::newRow("not played") << -1 << -1 << 10.0 << 10.0 << 80.0 << false;
    }
    void backfire()
    {
        QFETCH(int, home);
        QFETCH(int, away);
        QFETCH(double, homeRate);
        QFETCH(double, drawRate);
        QFETCH(double, awayRate);
        QFETCH(bool, upset);
        TMatch m;
        m.TotoNumber = 100;
        m.HomeScore = home;
        m.AwayScore = away;
        m.VoteRate = {drawRate, homeRate, awayRate};
        QCOMPARE(m.Backfire(), upset);
    }

    void extraTimeKindsAndPoints()
    {
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")), seasonFixture()));
        TTeamList2 teams(dm);
        teams.Year = 2000;
        teams.LoadTeams();
        teams.CalcStandings(1, 0);
        const TTeam &a = teams.At(teams.IndexOfTeamNo(1));
        const TTeam &b = teams.At(teams.IndexOfTeamNo(2));
        QCOMPARE(a.HomeResultCount[rkWinExtra], 1);
        QCOMPARE(a.VictoryPoint, 2 + 1); // extra-time win, draw; the cup match and the unplayed one count nothing
        QCOMPARE(b.AwayResultCount[rkLoseExtra], 1);
        QCOMPARE(b.VictoryPoint, 0 + 0 + 3);
        QCOMPARE(b.GetScore(), 1 + 0 + 3);
        QCOMPARE(b.LostScore(), 2 + 1 + 1);
        QCOMPARE(a.MatchCountTotal(), 2);

        // Only the first stage; the second stage alone.
        teams.CalcStandings(1, 1);
        QCOMPARE(teams.At(teams.IndexOfTeamNo(2)).VictoryPoint, 0);
        teams.CalcStandings(1, 2);
        QCOMPARE(teams.At(teams.IndexOfTeamNo(2)).VictoryPoint, 3);

        // Section by section gives the same as the whole range.
        TTeamList2 bySection(dm);
        bySection.Year = 2000;
        bySection.LoadTeams();
        for (int i = 0; i < bySection.Count(); ++i)
            bySection.At(i).ResetStats();
        QVERIFY(bySection.AddSectionResults(1, 1));
        QCOMPARE(bySection.At(bySection.IndexOfTeamNo(3)).Data, 1);
        QVERIFY(bySection.AddSectionResults(1, 2));
        QVERIFY(bySection.AddSectionResults(1, 3));
        QVERIFY(!bySection.AddSectionResults(1, 4));
        teams.CalcStandings(1, 0);
        for (int no = 1; no <= 4; ++no)
            QCOMPARE(bySection.At(bySection.IndexOfTeamNo(no)).VictoryPoint, teams.At(teams.IndexOfTeamNo(no)).VictoryPoint);

        // Points of the settings: a V-goal win worth 3 as well.
        TTeamList2 custom(dm, {3, 3, 1, 0, 0});
        custom.Year = 2000;
        custom.LoadTeams();
        custom.CalcStandings(1, 0);
        QCOMPARE(custom.At(custom.IndexOfTeamNo(1)).VictoryPoint, 4);
    }

    void places()
    {
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")), seasonFixture()));
        TTeamList2 teams(dm);
        teams.Year = 2000;
        teams.LoadTeams();
        // Before any match: everyone first, in last season's order.
        teams.SortByOrder(1);
        QStringList order;
        for (int i = 0; i < teams.TeamCount(1); ++i) {
            order << teams.TeamAt(1, i).Name;
            QCOMPARE(teams.TeamAt(1, i).LeagueOrder, 1);
        }
        QCOMPARE(order, (QStringList{"B", "C", "A", "D"}));
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, teams.TeamAt(1, 4));

        // After section 1: C and D drew 1-1 and are equal in everything.
        for (int i = 0; i < teams.Count(); ++i)
            teams.At(i).ResetStats();
        teams.AddSectionResults(1, 1);
        teams.SortByOrder(1);
        QCOMPARE(teams.TeamAt(1, 0).Name, QStringLiteral("A"));
        QCOMPARE(teams.TeamAt(1, 1).LeagueOrder, 2);
        QCOMPARE(teams.TeamAt(1, 2).LeagueOrder, 2);
        QCOMPARE(teams.TeamAt(1, 3).LeagueOrder, 4);
        // Equal teams keep last season's order: C (2nd) before D (4th).
        QCOMPARE(teams.TeamAt(1, 1).Name, QStringLiteral("C"));
        teams.RankTeams(1);
        QCOMPARE(teams.At(teams.IndexOfTeamNo(3)).LeagueOrder, 2);
        QCOMPARE(teams.At(teams.IndexOfTeamNo(4)).LeagueOrder, 3);

        TTeamList2 copy(dm);
        copy.Assign(teams);
        QCOMPARE(copy.Count(), 4);
        QCOMPARE(copy.At(0).VictoryPoint, teams.At(0).VictoryPoint);
        QCOMPARE(copy.IndexOfName(QStringLiteral("D")), teams.IndexOfName(QStringLiteral("D")));
    }

    void matchLists()
    {
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")), seasonFixture()));
        TMatchList list(dm);
        TMatchFilter filter;
        TMatchDisplay display;
        display.DisplayMode = mdTop;
        display.MatchCount = 2;
        // The two latest matches of A before 2000-04-01, newest first.
        QCOMPARE(list.LoadTeamHistory(1, filter, display, DateTime::encodeDate(2000, 4, 1)), 2);
        QCOMPARE(list.MatchAt(0).Section, 4);
        QCOMPARE(list.MatchAt(1).Division, 0);
        // League only, at a stadium whose name holds a quote.
        list.Clear();
        filter.MatchFilter = mfLeague;
        filter.StadiumFilter = QStringLiteral("A's ground");
        display.DisplayMode = mdAll;
        QCOMPARE(list.LoadTeamHistory(1, filter, display, DateTime::encodeDate(2000, 3, 20)), 2);
        QCOMPARE(list.IndexOfSection(1), 1);
        QCOMPARE(list.IndexOfSection(9), -1);
        // Head to head, either way round.
        list.Clear();
        QCOMPARE(list.LoadHeadToHead(4, 1, DateTime::encodeDate(2001, 1, 1)), 2);
        QVERIFY(!list.LoadTotoRounds(5, 1));

        // The team's match list of a section range is league only.
        TTeam a;
        a.TeamNo = 1;
        a.LoadMatchList(dm, 2000, 1, 4);
        QCOMPARE(a.MatchList()->Count(), 3);
    }

    void teamRow()
    {
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")),
                                {QStringLiteral("Insert Into Team Values (1, '鹿島アントラーズ', '鹿島', 'カシマ', 'clRed'), (2, 'x', 'y', NULL, 'nonsense'), (3, 'z', 'w', NULL, '$00FF00')")}));
        TTeamList2 all(dm);
        all.Year = 0;
        all.LoadTeams();
        QCOMPARE(all.Count(), 3);
        QCOMPARE(all.At(0).Name, QStringLiteral("鹿島"));
        QCOMPARE(all.At(0).LongName, QStringLiteral("鹿島アントラーズ"));
        QCOMPARE(all.At(0).TeamColor, qint64(0x0000FF));
        QCOMPARE(all.At(1).TeamColor, qint64(-1));
        QCOMPARE(all.At(2).TeamColor, qint64(0x00FF00));
        QCOMPARE(all.At(0).Division, 0);
    }

    // The bundled database against the published tables: the row for section N holds every match
    // before section N (the sections chosen are those whose snapshot was taken between sections).
    void publishedStandings_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("division");
        QTest::addColumn<int>("section");
        for (int n = 2; n <= 42; ++n)
            QTest::addRow("J2 2014 before section %d", n) << 2014 << 2 << n;
        const std::map<std::pair<int, int>, std::vector<int>> chosen = {
            {{2012, 1}, {5, 20, 34}}, {{2013, 1}, {6, 25, 34}}, {{2014, 1}, {8, 30, 34}}, {{2015, 1}, {5, 20, 34}},
            {{2016, 1}, {5, 25, 34}}, {{2017, 1}, {10, 30, 34}}, {{2012, 2}, {10, 30, 42}}, {{2013, 2}, {5, 20, 42}},
            {{2015, 2}, {10, 40, 42}}, {{2016, 2}, {5, 35, 42}}, {{2017, 2}, {10, 30, 42}}};
        for (const auto &[season, sections] : chosen)
            for (int n : sections)
                QTest::addRow("J%d %d before section %d", season.second, season.first, n) << season.first << season.second << n;
    }
    void publishedStandings()
    {
        QFETCH(int, year);
        QFETCH(int, division);
        QFETCH(int, section);
        TDM dm(kReference);
        QVERIFY2(dm.Connected(), qPrintable(dm.OpenError()));
        const auto it = published().find({year, QStringLiteral("J%1").arg(division), section});
        QVERIFY(it != published().end());

        TTeamList2 teams(dm);
        teams.Year = year;
        teams.LoadTeams();
        QCOMPARE(teams.TeamCount(division), int(it->second.size()));
        for (int i = 0; i < teams.Count(); ++i) {
            teams.At(i).ResetStats();
            teams.At(i).AddMatches(dm, teams.Points(), year, 1, section - 1);
        }
        teams.SortByOrder(division);

        std::multiset<std::tuple<int, int, int>> keys; // ties in our ordering
        for (int i = 0; i < teams.TeamCount(division); ++i) {
            const TTeam &t = teams.TeamAt(division, i);
            keys.insert({t.VictoryPoint, t.GetLostDiffScore(), t.GetScore()});
        }
        for (const TPublished &p : it->second) {
            const int no = dm.TeamNameToNumber(p.team);
            QVERIFY2(no > 0, qPrintable(p.team));
            const int index = teams.IndexOfTeamNo(no);
            QVERIFY2(index >= 0, qPrintable(p.team));
            const TTeam &t = teams.At(index);
            const QString who = QStringLiteral("%1 %2").arg(p.team).arg(section);
            QVERIFY2(t.Division == division, qPrintable(who));
            QCOMPARE(t.VictoryPoint, p.points);
            QCOMPARE(t.MatchCountTotal(), p.played);
            QCOMPARE(t.ResultCount(rkWin) + t.ResultCount(rkWinExtra), p.won);
            QCOMPARE(t.ResultCount(rkDraw), p.drawn);
            QCOMPARE(t.ResultCount(rkLose) + t.ResultCount(rkLoseExtra), p.lost);
            QCOMPARE(t.GetScore(), p.goalsFor);
            QCOMPARE(t.LostScore(), p.goalsAgainst);
            // The league breaks ties further (head to head …); places agree where we see none.
            if (p.played > 0 && keys.count({t.VictoryPoint, t.GetLostDiffScore(), t.GetScore()}) == 1)
                QVERIFY2(t.LeagueOrder == p.place, qPrintable(QStringLiteral("%1: %2 vs %3").arg(who).arg(t.LeagueOrder).arg(p.place)));
        }
    }

    // A V-goal season of two stages, and a two-stage season, against tables counted from the match
    // files by tests/data/standings/make_hand_tables.py.
    void handTables_data()
    {
        QTest::addColumn<QStringList>("row");
        QFile f(QStringLiteral(PELVANE_TEST_DATA "/standings/hand-tables.tsv"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
        for (int i = 1; i < lines.size(); ++i) {
            const QStringList c = lines[i].split(u'\t');
            QTest::addRow("%s stage %s %s", qPrintable(c[0]), qPrintable(c[1]), qPrintable(c[2])) << c;
        }
    }
    void handTables()
    {
        QFETCH(QStringList, row);
        TDM dm(kReference);
        QVERIFY(dm.Connected());
        TTeamList2 teams(dm);
        teams.SetYear(row[0].toInt());
        teams.CalcStandings(1, row[1].toInt());
        const int index = teams.IndexOfName(row[2]);
        QVERIFY(index >= 0);
        const TTeam &t = teams.At(index);
        QCOMPARE(t.VictoryPoint, row[3].toInt());
        QCOMPARE(t.MatchCountTotal(), row[4].toInt());
        QCOMPARE(t.ResultCount(rkWin), row[5].toInt());
        QCOMPARE(t.ResultCount(rkWinExtra), row[6].toInt());
        QCOMPARE(t.ResultCount(rkDraw), row[7].toInt());
        QCOMPARE(t.ResultCount(rkLose), row[8].toInt());
        QCOMPARE(t.ResultCount(rkLoseExtra), row[9].toInt());
        QCOMPARE(t.GetScore(), row[10].toInt());
        QCOMPARE(t.LostScore(), row[11].toInt());
    }
};

QTEST_GUILESS_MAIN(TstStatistics)
#include "tst_statistics.moc"
