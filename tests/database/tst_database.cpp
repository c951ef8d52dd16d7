#include "database/JLeagueImport.h"
#include "database/unitSQLite.h"
#include "platform/PelvaneError.h"
#include "lottery/UnitToTo.h"
#include "settings/UnitOption.h"
#include "shell/UnitTypes.h"
#include "support/ScriptedMessages.h"
#include "support/TempFolders.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <unistd.h>

namespace {

qint64 count(TDM &dm, const QString &table)
{
    return dm.QueryValue(QStringLiteral("Select Count(*) From ") + table).toLongLong();
}

} // namespace

class TstDatabase : public QObject
{
    Q_OBJECT

private slots:
    void opening_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("connected");
        QTest::newRow("complete") << "complete" << true;
        QTest::newRow("missing file") << "missing" << false;
        QTest::newRow("not SQLite") << "text" << false;
        QTest::newRow("no Sheet table") << "nosheet" << false;
        QTest::newRow("empty file") << "empty" << false;
    }
    void opening()
    {
        QFETCH(QString, kind);
        QFETCH(bool, connected);
        TTempFolders temp;
        const QString file = temp.file(QStringLiteral("ref.db"));
        if (kind == u"complete" || kind == u"nosheet")
            MakeTestDatabase(file, kind == u"nosheet" ? QStringList{QStringLiteral("Drop Table Sheet")} : QStringList{});
        if (kind == u"text" || kind == u"empty") {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            if (kind == u"text")
                f.write("[Sheet]\r\nType=0\r\n this is not a database, but long enough to look like one ...................");
        }
        TDM dm(file);
        QCOMPARE(dm.Connected(), connected);
        if (!connected) {
            QVERIFY(!dm.OpenError().isEmpty());
            QVERIFY_THROWS_EXCEPTION(EPelvaneError, dm.TeamName(1));
        }
        // Opening never creates or changes the file.
        QCOMPARE(QFile::exists(file), kind != u"missing");
        if (kind == u"empty")
            QCOMPARE(QFileInfo(file).size(), 0);
    }

    void importRows()
    {
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db"))));
        QVERIFY(dm.Connected());
        int rows = 0;
        QString error;
        // Key (date, time, division, stage, section, home); an empty integer is null, an empty text is "".
        QVERIFY2(dm.ImportRows(QStringLiteral("Match"), 6, {}, {},
                               {QStringLiteral("2014/03/02, 13:04, 2, 0, 1, 10, 40, 1, 3, 0, 味スタ"),
                                QStringLiteral("2014-03-02, , 2, 0, 1, 34, 43, , , , \"\""),
                                QString(),
                                QStringLiteral("2014/03/02, 13:04, 2, 0, 1, 10, 40, 2, 3, 1, \"味の素 スタジアム\"")},
                               &rows, &error),
                 qPrintable(error));
        QCOMPARE(rows, 3);
        QCOMPARE(count(dm, QStringLiteral("Match")), 2); // the third line edited the first row
        const TDataRows first = dm.Select(QStringLiteral("Select * From Match Where HomeTeam=10"));
        QCOMPARE(first.front().Value(u"MatchDate").toString(), QStringLiteral("2014-03-02"));
        QCOMPARE(first.front().Value(u"HomeScore").toInt(), 2);
        QCOMPARE(first.front().Value(u"Stadium").toString(), QStringLiteral("味の素 スタジアム"));
        QCOMPARE(first.front().Value(u"totoNumber").toInt(), 0); // columns the line leaves out keep their value
        const TDataRows second = dm.Select(QStringLiteral("Select * From Match Where HomeTeam=34"));
        QVERIFY(second.front().Value(u"Time").isNull());
        QVERIFY(second.front().Value(u"HomeScore").isNull());
        QVERIFY(second.front().Value(u"Extension").isNull());
        QCOMPARE(second.front().Value(u"Stadium").typeId(), QMetaType::QString);
        QCOMPARE(second.front().Value(u"Stadium").toString(), QString());
    }

    void importRowsRollsBack_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("abort");
        QTest::addColumn<QString>("reason");
        const QString good = QStringLiteral("2015, 1, 0, 1, 34, 2015/03/07, 2015/12/05");
        QTest::newRow("extra field") << QStringList{good, QStringLiteral("2016, 1, 0, 1, 34, 2016/02/27, 2016/12/03, 9")} << false << "項目の数";
        QTest::newRow("missing key") << QStringList{good, QStringLiteral("2016, 1")} << false << "項目の数";
        QTest::newRow("date not a date") << QStringList{good, QStringLiteral("2016, 1, 0, 1, 34, 2016/13/45, 2016/12/03")} << false << "日付";
        QTest::newRow("integer not an integer") << QStringList{good, QStringLiteral("2016, 1, 0, one, 34")} << false << "整数";
        QTest::newRow("abort") << QStringList{good, good} << true << "中断";
    }
    void importRowsRollsBack()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, abort);
        QFETCH(QString, reason);
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")),
                                {QStringLiteral("Insert Into Holding Values (2014, 1, 0, 1, 34, '2014-03-01', '2014-12-06')")}));
        int rows = -1;
        QString error;
        int asked = 0;
        const bool ok = dm.ImportRows(QStringLiteral("Holding"), 3, abort ? TAbortCheck([&] { return ++asked == 2; }) : TAbortCheck(),
                                      QStringLiteral("Delete From Holding"), lines, &rows, &error);
        QVERIFY(!ok);
        QVERIFY2(error.contains(reason), qPrintable(error));
        QCOMPARE(rows, 0);
        // The first statement is undone with the rows: the old row is still there, no new one.
        const TDataRows left = dm.Select(QStringLiteral("Select \"Year\" From Holding"));
        QCOMPARE(left.size(), size_t(1));
        QCOMPARE(left.front().At(0).toInt(), 2014);
        // The module is usable afterwards.
        QVERIFY(dm.ImportRows(QStringLiteral("Holding"), 3, {}, {}, {lines.front()}, &rows, &error));
        QCOMPARE(count(dm, QStringLiteral("Holding")), 2);
    }

    void importRowsRefusesTableNames()
    {
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db"))));
        QString error;
        QVERIFY(!dm.ImportRows(QStringLiteral("Team; Drop Table Match"), 1, {}, {}, {QStringLiteral("1, a")}, nullptr, &error));
        QVERIFY(!error.isEmpty());
        QCOMPARE(count(dm, QStringLiteral("Match")), 0); // still there
    }

    void readOnlyFile()
    {
        if (geteuid() == 0)
            QSKIP("root writes through file permissions");
        TTempFolders temp;
        const QString file = MakeTestDatabase(temp.file(QStringLiteral("ref.db")));
        QFile::setPermissions(file, QFile::ReadOwner);
        TDM dm(file);
        QVERIFY(dm.Connected());
        QString error;
        QVERIFY(!dm.ImportRows(QStringLiteral("Team"), 1, {}, {}, {QStringLiteral("1, 鹿島アントラーズ, 鹿島")}, nullptr, &error));
        QVERIFY(error.contains(QStringLiteral("readonly")));
        QCOMPARE(count(dm, QStringLiteral("Team")), 0);
    }

    void teamNameToNumber_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::newRow("short name") << "鹿島" << 1;
        QTest::newRow("full name") << "鹿島アントラーズ" << 1;
        QTest::newRow("横浜FM is 横浜M") << "横浜FM" << 8;
        QTest::newRow("full-width 横浜ＦＭ") << "横浜ＦＭ" << 8;
        QTest::newRow("川崎F is 川崎") << "川崎F" << 21;
        QTest::newRow("横浜FC is 横浜C") << "横浜FC" << 29;
        QTest::newRow("pattern") << "%アントラーズ" << 1;
        QTest::newRow("quote in the name") << "鹿\"島" << -1;
        QTest::newRow("a column's name") << "ShortName" << -1;
        QTest::newRow("unknown") << "どこか" << -1;
    }
    void teamNameToNumber()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")),
                                {QStringLiteral("Insert Into Team Values (1, '鹿島アントラーズ', '鹿島', 'カシマ', 'clRed'),"
                                                " (8, '横浜Ｆ・マリノス', '横浜M', '日産ス', NULL), (21, '川崎フロンターレ', '川崎', '等々力', NULL),"
                                                " (29, '横浜ＦＣ', '横浜C', 'ニッパツ', NULL)")}));
        QCOMPARE(dm.TeamNameToNumber(name), number);
        if (number > 0)
            QVERIFY(!dm.TeamName(number).isEmpty());
    }

    void sectionRange_data()
    {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("division");
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::newRow("J2 2007 stage 2 of 48") << 2007 << 2 << 2 << 13 << 24;
        QTest::newRow("J2 2010 stage 2 of 36") << 2010 << 2 << 2 << 13 << 24;
        QTest::newRow("J2 2010 whole") << 2010 << 2 << 0 << 1 << 36;
        QTest::newRow("J1 2015 whole from both stages") << 2015 << 1 << 0 << 1 << 34;
        QTest::newRow("J1 2015 stage 2") << 2015 << 1 << 2 << 18 << 34;
        QTest::newRow("no holding") << 1990 << 1 << 0 << 0 << 0;
    }
    void sectionRange()
    {
        QFETCH(int, year);
        QFETCH(int, division);
        QFETCH(int, stage);
        QFETCH(int, min);
        QFETCH(int, max);
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")),
                                {QStringLiteral("Insert Into Holding Values (2007, 2, 0, 1, 48, '2007-03-03', '2007-12-01'),"
                                                " (2010, 2, 0, 1, 36, '2010-03-06', '2010-12-04'),"
                                                " (2015, 1, 1, 1, 17, '2015-03-07', '2015-06-27'),"
                                                " (2015, 1, 2, 18, 34, '2015-07-11', '2015-11-22')")}));
        int lo = -1, hi = -1;
        dm.SectionRange(year, division, stage, lo, hi);
        QCOMPARE(lo, min);
        QCOMPARE(hi, max);
    }

    void minMaxSectionFindsTheHolding()
    {
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")),
                                {QStringLiteral("Insert Into Holding Values (2015, 1, 1, 1, 17, '2015-03-07', '2015-06-27'),"
                                                " (2015, 1, 2, 18, 34, '2015-07-11', '2015-11-22')")}));
        const TDataRows rows = dm.Query(QStringLiteral("QueryMinMaxSection"),
                                        {{QStringLiteral("Division"), 1}, {QStringLiteral("Date"), DateTime::encodeDate(2015, 8, 1)}});
        QCOMPARE(rows.size(), size_t(1));
        QCOMPARE(FieldInt(rows.front(), u"Stage", 0), 2);
    }

    void roundSummary()
    {
        TTempFolders temp;
        // Round 500: home win with fewer votes than the draw (an upset), a V-goal 2-1 (a draw from
        // round 32 on), a called-off match (all three), a match of the round through its second
        // membership, and a position without votes.
        TDM dm(MakeTestDatabase(
            temp.file(QStringLiteral("ref.db")),
            {QStringLiteral("Insert Into Match (MatchDate, Time, Division, Stage, Section, HomeTeam, AwayTeam, HomeScore, AwayScore, Extension, totoNumber, totoIndex, totoNumber2, totoIndex2, totoCalledOff) Values"
                            " ('2010-05-01', '15:00', 1, 1, 10, 1, 2, 1, 0, 0, 500, 1, 0, 0, 0),"
                            " ('2010-05-01', '15:00', 1, 1, 10, 3, 4, 2, 1, 1, 500, 2, 0, 0, 0),"
                            " ('2010-05-01', '15:00', 1, 1, 10, 5, 6, NULL, NULL, 0, 500, 3, 0, 0, 1),"
                            " ('2010-05-02', '15:00', 2, 0, 10, 7, 8, 0, 2, 0, 499, 5, 500, 4, 0),"
                            " ('2010-05-02', '15:00', 2, 0, 10, 9, 10, 0, 0, 0, 500, 5, 0, 0, 0)"),
             QStringLiteral("Insert Into Odds Values (500, 1, 300, 400, 300), (500, 2, 500, 300, 200), (500, 3, 1, 1, 1),"
                            " (500, 4, 100, 100, 800), (500, 5, 0, 0, 0)"),
             QStringLiteral("Insert Into Prize Values (500, 1, 3000000000, 2, 100), (500, 2, 50000, 40, NULL), (500, 3, 2000, 900, 5)")}));
        TRoundSummary s;
        QVERIFY(dm.RoundSummary(500, s));
        QCOMPARE(s.ResultTips[0], TTips({tpHome}));
        QCOMPARE(s.ResultTips[1], TTips({tpDraw}));
        QCOMPARE(s.ResultTips[2], TTips::all());
        QCOMPARE(s.ResultTips[3], TTips({tpAway}));
        QCOMPARE(s.ResultTips[4], TTips({tpDraw}));
        QCOMPARE(s.ResultTips[5], TTips());
        QCOMPARE(s.Upset[0], true);
        QCOMPARE(s.Upset[1], true); // the draw had 300 votes against 500 for home
        QCOMPARE(s.Upset[3], false);
        QCOMPARE(s.Upset[4], false); // no votes: never an upset
        QCOMPARE(s.UpsetCount, 2);
        QCOMPARE(s.DrawUpsetCount, 1);
        QCOMPARE(s.HomeCount, 2);
        QCOMPARE(s.DrawCount, 3);
        QCOMPARE(s.AwayCount, 2);
        QCOMPARE(s.Sales, qint64(1000 * 100));
        QCOMPARE(s.Money[1], qint64(3000000000));
        QCOMPARE(s.Hits[2], 40);
        QCOMPARE(s.CarryOver, qint64(105));
        QCOMPARE(s.EstimatedPrize[1], 0.0); // positions 6 to 13 have no result: no estimate

        QVERIFY(!dm.RoundSummary(501, s));
        QCOMPARE(s.Sales, 0);
    }

    void zeroVotesRound()
    {
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")),
                                {QStringLiteral("Insert Into Match (MatchDate, Division, Stage, Section, HomeTeam, AwayTeam, HomeScore, AwayScore, totoNumber, totoIndex) Values"
                                                " ('2010-05-01', 1, 0, 1, 1, 2, 0, 1, 600, 1)"),
                                 QStringLiteral("Insert Into Odds Values (600, 1, 0, 0, 0)")}));
        TRoundSummary s;
        QVERIFY(dm.RoundSummary(600, s));
        QCOMPARE(s.UpsetCount, 0);
        QCOMPARE(s.Sales, 0);
    }

    void goal3Popularity_data()
    {
        QTest::addColumn<int>("score");
        QTest::addColumn<int>("place");
        // Votes 0:100, 1:300, 2:300, 3+:50 -> order 1, 2, 0, 3 (ties keep 1 before 2).
        QTest::newRow("one goal") << 1 << 1;
        QTest::newRow("two goals, tied with one") << 2 << 2;
        QTest::newRow("no goal") << 0 << 3;
        QTest::newRow("five goals count as three") << 5 << 4;
    }
    void goal3Popularity()
    {
        QFETCH(int, score);
        QFETCH(int, place);
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")),
                                {QStringLiteral("Insert Into ResultGOAL3 Values (10, 1, '2003-04-01', 5, %1)").arg(score),
                                 QStringLiteral("Insert Into OddsGOAL3 Values (10, 1, 100, 300, 300, 50)")}));
        QCOMPARE(dm.Goal3Popularity(10, 1), place);
        QCOMPARE(dm.Goal3Popularity(10, 2), -1);
    }

    void purchaseIsFoundUnderItsOwnKey()
    {
        TTempFolders temp;
        TScriptedMessages messages;
        TOption option;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db"))));
        // A row whose user is literally "User" must not match every row as pasted SQL would.
        dm.ExecSQL(QStringLiteral("Insert Into Sheet Values (1154, '', 'User', 'x')"));

        TTipSheet sheet;
        sheet.Option = &option;
        sheet.SetNumber(1154);
        sheet.Match(0).HomeTeamRef().SetName(QStringLiteral("鹿\"島"));
        sheet.Match(0).SetTips(TTips({tpHome, tpDraw}));
        sheet.SetFileName(temp.file(QStringLiteral("mine.tot")));
        QVERIFY(dm.SavePurchase(sheet));
        QVERIFY(dm.SavePurchase(sheet)); // saved again: edited, not doubled
        QCOMPARE(sheet.StoredFileName(), temp.file(QStringLiteral("mine.tot")));
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Count(*) From Sheet Where User=:U"), {{QStringLiteral("U"), GetLoginUserName()}}).toInt(), 1);

        TTipSheet other;
        other.Option = &option;
        other.SetNumber(1154);
        QVERIFY(dm.LoadPurchase(other, true));
        QCOMPARE(other.Match(0).HomeTeam().Name(), QStringLiteral("鹿\"島"));
        QCOMPARE(other.Match(0).Tips(), TTips({tpHome, tpDraw}));
        QVERIFY(other.UseOfficialOdds());

        other.SetNumber(1155);
        QVERIFY(!dm.LoadPurchase(other, false));
        other.SetNumber(1154);
        other.SetTotoType(ttMiniA);
        QVERIFY(!dm.LoadPurchase(other, false));
        QVERIFY(messages.asked.isEmpty());
    }

    void officialOddsKeepTheUsersTable_data()
    {
        QTest::addColumn<int>("type");
        QTest::newRow("toto") << int(ttToto);
        QTest::newRow("mini toto B") << int(ttMiniB);
    }
    void officialOddsKeepTheUsersTable()
    {
        QFETCH(int, type);
        TTempFolders temp;
        TOption option;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")),
                                {QStringLiteral("Insert Into Match (MatchDate, Division, Stage, Section, HomeTeam, AwayTeam, totoNumber, totoIndex) Values ('2010-05-02', 1, 0, 1, 1, 2, 700, 1), ('2010-05-01', 1, 0, 1, 3, 4, 700, 2)"),
                                 QStringLiteral("Insert Into Odds Values (700, 1, 600, 300, 100), (700, 2, 10, 20, 30)"),
                                 QStringLiteral("Insert Into ResultMini Values ('B', 700, 1, '2010-06-05', 1, 2)"),
                                 QStringLiteral("Insert Into OddsMini Values ('B', 700, 1, 70, 20, 10)")}));
        TTipSheet sheet;
        sheet.Option = &option;
        sheet.SetTotoType(TTotoType(type));
        sheet.SetNumber(700);
        sheet.UserOdds().SetVotes(0, tpHome, 42);
        QVERIFY(dm.LoadOfficialOdds(sheet));
        QVERIFY(sheet.UseOfficialOdds());
        QCOMPARE(sheet.UserOdds().VotesOf(0, tpHome), 42);
        if (type == ttToto) {
            QCOMPARE(sheet.OfficialOdds().VotesOf(0, tpHome), 600);
            QCOMPARE(sheet.OfficialOdds().VotesOf(1, tpAway), 30);
            QCOMPARE(DateTime::toDate(sheet.OfficialOdds().OddsDate), QDate(2010, 4, 30));
        } else {
            QCOMPARE(sheet.OfficialOdds().VotesOf(0, tpHome), 70);
            QCOMPARE(DateTime::toDate(sheet.OfficialOdds().OddsDate), QDate(2010, 6, 4));
        }
        // A round without matches reads with date 0.
        sheet.SetNumber(999);
        QVERIFY(dm.LoadOfficialOdds(sheet));
        QCOMPARE(sheet.OfficialOdds().OddsDate, 0.0);
    }

    void helpers()
    {
        QCOMPARE(DateToSQL(DateTime::encodeDate(2014, 3, 2)), QVariant(QStringLiteral("2014-03-02")));
        QCOMPARE(DateToSQL(0.0), QVariant(1));
        QCOMPARE(DateToSQL(QStringLiteral("2014/3/2")), QVariant(QStringLiteral("2014-03-02")));
        QCOMPARE(DateToSQL(QStringLiteral("2014/02/30")), QVariant(1));
        QCOMPARE(DateToSQL(QStringLiteral("未定")), QVariant(1));
        QCOMPARE(YearCondition(QStringLiteral("MatchDate"), 2014), QStringLiteral(" SubStr(MatchDate, 1, 4)='2014' "));
        QCOMPARE(TimeFromSQL(QStringLiteral("未定")), -1.0);
        QCOMPARE(TimeFromSQL(QStringLiteral("25:00")), -1.0);
        QVERIFY(qAbs(TimeFromSQL(QStringLiteral("13:30")) - 13.5 / 24) < 1e-9);
        const QString temp = TDM::MakeTempFileName();
        QVERIFY(QFileInfo(temp).fileName().startsWith(u'~'));
        QVERIFY(QFile::exists(temp));
        QFile::remove(temp);
    }

    // The league files: a whole two-stage season goes in with the second stage's sections after
    // the first's; a bad file leaves nothing of itself.
    void leagueImport()
    {
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db"))));
        QDir().mkpath(temp.file(QStringLiteral("m")));
        const QString header = QStringLiteral(",match_date,section_no,match_index_in_section,start_time,stadium,home_team,home_goal,away_goal,away_team,status,home_score_ex,away_score_ex\n");
        auto write = [&](const QString &name, const QString &body) {
            QFile f(temp.file(QStringLiteral("m/") + name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write((header + body).toUtf8());
        };
        write(QStringLiteral("1999A_allmatch_result-J1.csv"),
              QStringLiteral("0,1999/03/06,1,1,14:03,瑞穂陸,名古屋,2,1,福岡,試合終了,1,0\n"
                             "1,1999/03/13,2,1,未定,博多,福岡,1,1,名古屋,試合終了,0,0\n"));
        write(QStringLiteral("1999B_allmatch_result-J1.csv"),
              QStringLiteral("0,1999/08/07,1,1,19:00,瑞穂陸,名古屋,0,3,福岡,試合終了,,\n"
                             "1,,2,1,未定,博多,福岡,,,名古屋,ＶＳ,,\n"));
        write(QStringLiteral("1999_allmatch_result-JLeagueCup.csv"),
              QStringLiteral("0,1999/04/01,1,1,19:00,\"博多, の森\",福岡,1,0,名古屋,試合終了,,\n"));
        QFile map(temp.file(QStringLiteral("teams.csv")));
        QVERIFY(map.open(QIODevice::WriteOnly));
        map.write("# test teams\nTeamNo,TeamName,ShortName,DataNames\n3,名古屋グランパス,名古屋,名古屋\n16,アビスパ福岡,福岡,福岡\n");
        map.close();

        TJLeagueImport import(dm);
        import.LoadTeamMap(temp.file(QStringLiteral("teams.csv")));
        import.ImportFolder(temp.file(QStringLiteral("m")));
        QCOMPARE(import.MatchRows(), 4);
        QCOMPARE(import.UndatedFixtures(), 1);
        QCOMPARE(count(dm, QStringLiteral("Match")), 4);
        const TDataRows vgoal = dm.Select(QStringLiteral("Select * From Match Where MatchDate='1999-03-06'"));
        QCOMPARE(FieldInt(vgoal.front(), u"Extension", -1), 1);
        QCOMPARE(FieldText(dm.Select(QStringLiteral("Select * From Match Where Division=0")).front(), u"Stadium"),
                 QStringLiteral("博多, の森"));
        QCOMPARE(FieldInt(dm.Select(QStringLiteral("Select * From Match Where MatchDate='1999-08-07'")).front(), u"Section", 0), 3);
        QVERIFY(dm.Select(QStringLiteral("Select * From Match Where MatchDate='1999-03-13'")).front().Value(u"Time").isNull());
        int lo = 0, hi = 0;
        dm.SectionRange(1999, 1, 0, lo, hi);
        QCOMPARE(lo, 1);
        QCOMPARE(hi, 3);
        QCOMPARE(count(dm, QStringLiteral("Teams")), 2);
        QCOMPARE(dm.TeamNameToNumber(QStringLiteral("福岡")), 16);
        QCOMPARE(FieldText(dm.Query(QStringLiteral("QueryTeam"), {{QStringLiteral("TeamNo"), 3}}).front(), u"Stadium"),
                 QStringLiteral("瑞穂陸"));

        // Bad files: each refused with its reason, nothing of it kept.
        const std::vector<std::pair<QString, QString>> bad = {
            {QStringLiteral("0,2000/03/11,1,1,14:00,x,名古屋,1,0,福岡,試合終了,,,9\n"), QStringLiteral("項目の数")},
            {QStringLiteral("0,2000/03/11,1,1,14:00,x,名古屋,1,0,福岡,試合終了,,\n1,2000/13/01,2,1,14:00,x,名古屋,1,0,福岡,試合終了,,\n"), QStringLiteral("日付")},
            {QStringLiteral("0,2000/03/11,1,1,14:00,x,鹿島,1,0,福岡,試合終了,,\n"), QStringLiteral("チーム「鹿島」")},
            {QStringLiteral("0,2000/03/11,1,1,14:00,x,名古屋,one,0,福岡,試合終了,,\n"), QStringLiteral("得点")},
        };
        for (const auto &[body, reason] : bad) {
            write(QStringLiteral("2000_allmatch_result-J1.csv"), body);
            try {
                import.ImportFile(temp.file(QStringLiteral("m/2000_allmatch_result-J1.csv")));
                QFAIL(qPrintable(reason));
            } catch (const EPelvaneError &e) {
                QVERIFY2(e.message().contains(reason), qPrintable(e.message()));
            }
            QCOMPARE(count(dm, QStringLiteral("Match")), 4);
        }
        TJLeagueImport::TFileInfo info;
        QVERIFY(!TJLeagueImport::ParseFileName(QStringLiteral("notes.csv"), info));
        QVERIFY(TJLeagueImport::ParseFileName(QStringLiteral("26-27_allmatch_result-J3.csv"), info));
        QCOMPARE(info.division, 3);
    }
};

QTEST_GUILESS_MAIN(TstDatabase)
#include "tst_database.moc"
