#include "database/DatabaseUpdate.h"
#include "database/unitSQLite.h"
#include "lottery/UnitToTo.h"
#include "platform/Cp932Codec.h"
#include "platform/PelvaneError.h"
#include "settings/UnitOption.h"
#include "support/FixtureServer.h"
#include "support/ScriptedMessages.h"
#include "support/TempFolders.h"
#include "support/TestDatabase.h"
#include "web/UnitParseHTML.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace ParseHTML;

namespace {

// The official result page as described: a heading line, one row per match (number in cell 2,
// score in cell 4), the prize rows, then the next lottery's section.
QString resultPage(int round, int rows, bool prizes, bool nextSection)
{
    QString html = QStringLiteral("<HTML><BODY><TABLE><TR><TH>第%1回 toto　くじ結果</TH></TR>\n").arg(round);
    for (int i = 1; i <= rows; ++i) {
        const QString score = i == 4 ? QStringLiteral("中止") : QStringLiteral("%1-%2").arg(i % 3).arg(i % 2);
        html += QStringLiteral("<TR><TD>12/05</TD><TD>J1</TD><TD>%1</TD><TD>チーム%1</TD><TD>%2</TD><TD>相手%1</TD><TD>1</TD></TR>\n")
                    .arg(i)
                    .arg(score);
    }
    if (prizes)
        html += QStringLiteral("<TR><TD>当せん金</TD><TD>3,000,000円</TD><TD>45,600円</TD><TD>1,230円</TD></TR>\n"
                               "<TR><TD>当せん口数</TD><TD>12</TD><TD>3,456</TD><TD>78,901</TD></TR>\n"
                               "<TR><TD>繰越金</TD><TD>2,500,000,000円</TD><TD>0円</TD><TD>0円</TD></TR>\n");
    if (nextSection)
        html += QStringLiteral("<TR><TH>第%1回 mini toto-A組　くじ結果</TH></TR>\n").arg(round);
    return html + QStringLiteral("</TABLE></BODY></HTML>");
}

QString votePageText(int round, const QString &lead, bool calledOffFirst)
{
    QString html = QStringLiteral("<HTML><BODY>%1 2026年12月5日 13時05分時点<TABLE><TR><TD>第%2回 toto 投票状況</TD></TR></TABLE>\n<TABLE>"
                                  "<TR><TD>開催日</TD></TR><TR><TD>見出し</TD></TR>\n")
                       .arg(lead)
                       .arg(round);
    for (int i = 1; i <= 13; ++i) {
        const QString shift = i == 1 && calledOffFirst ? QStringLiteral("<TD>中止</TD>") : QString();
        html += QStringLiteral("<TR><TD>x</TD><TD>y</TD>%1<TD>%2</TD><TD>ホーム</TD><TD>%3,000</TD><TD>%4</TD><TD>%5</TD></TR>"
                               "<TR><TD>detail</TD></TR>\n")
                    .arg(shift)
                    .arg(i)
                    .arg(i)
                    .arg(100 + i)
                    .arg(200 + i);
    }
    return html + QStringLiteral("</TABLE></BODY></HTML>");
}

QStringList lines(const QString &page)
{
    return page.split(u'\n');
}

} // namespace

class TestReaders : public QObject
{
    Q_OBJECT

private slots:
    void numbers_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("leading");
        QTest::addColumn<qint64>("money");
        QTest::newRow("plain") << "  123abc" << qint64(123) << qint64(123);
        QTest::newRow("commas and yen") << "3,000,000円" << qint64(3000000) << qint64(3000000);
        QTest::newRow("decimal point") << "12.5" << qint64(12) << qint64(125);
        QTest::newRow("empty") << "   " << qint64(-1) << qint64(0);
        QTest::newRow("no digit") << "-" << qint64(0) << qint64(0);
    }
    void numbers()
    {
        QFETCH(QString, text);
        QFETCH(qint64, leading);
        QFETCH(qint64, money);
        QCOMPARE(LeadingNumber(text, -1), leading);
        QCOMPARE(MoneyNumber(text), money);
        QCOMPARE(NumberBefore(QStringLiteral("第1,154回"), QStringLiteral("回")), qint64(1154));
        QCOMPARE(NumberBefore(QStringLiteral("abc"), QStringLiteral("回")), qint64(0));
        QCOMPARE(DateTime::toQDateTime(JapaneseDateTime(QStringLiteral("2026年12月5日 13時05分"))),
                 QDateTime(QDate(2026, 12, 5), QTime(13, 5)));
        QCOMPARE(JapaneseDateTime(QStringLiteral("12月5日 13時05分")), 0.0);
    }

    void pageToCsv()
    {
        QCOMPARE(PageToCsv(QStringLiteral("<TABLE><TR><TD>a,1</TD><TD>b<BR>c</TD></TR><TR><TH>d</TH></TR></TABLE>")),
                 QStringLiteral("\"a1\",\"b\",\"c\",\"\"\r\n\"d\",\"\"\r\n\"\""));
    }

    void resultPageReads()
    {
        TTipSheet sheet;
        sheet.SetNumber(1200);
        QVERIFY(ReadResultPage(sheet, lines(resultPage(1200, 13, true, true))));
        QCOMPARE(sheet.Match(0).HomeScore(), 1);
        QCOMPARE(sheet.Match(0).AwayScore(), 1);
        QCOMPARE(sheet.Match(1).HomeScore(), 2);
        QCOMPARE(sheet.Match(1).AwayScore(), 0);
        QVERIFY(sheet.Match(3).CalledOff());
        QCOMPARE(sheet.Match(3).HomeScore(), -1);
        QCOMPARE(sheet.Dividend(1).Money, qint64(3000000));
        QCOMPARE(sheet.Dividend(2).Hits, qint64(3456));
        QCOMPARE(sheet.Dividend(1).CarryOver, qint64(2500000000)); // beyond 32 bits
    }

    void resultPageEndsEarly()
    {
        // The next section's heading after five matches: the rest stay unknown, no prizes.
        TTipSheet sheet;
        sheet.SetNumber(1200);
        sheet.Dividend(1).Money = 77;
        QVERIFY(ReadResultPage(sheet, lines(resultPage(1200, 5, false, true))));
        QCOMPARE(sheet.Match(4).HomeScore(), 2);
        QCOMPARE(sheet.Match(5).HomeScore(), -1);
        QCOMPARE(sheet.Dividend(1).Money, qint64(77));
    }

    void resultPageRefused_data()
    {
        QTest::addColumn<QString>("page");
        QTest::newRow("another round") << resultPage(1199, 13, true, true);
        QTest::newRow("heading without rows") << resultPage(1200, 0, false, false);
        QTest::newRow("truncated") << resultPage(1200, 13, true, true).left(resultPage(1200, 13, true, true).indexOf(QStringLiteral("<TR><TD>12/05</TD><TD>J1</TD><TD>9<")));
        QTest::newRow("wrong encoding") << QString::fromLatin1(Cp932::encode(resultPage(1200, 13, true, true)));
    }
    void resultPageRefused()
    {
        QFETCH(QString, page);
        TTipSheet sheet;
        sheet.SetNumber(1200);
        sheet.Match(0).SetScore(5, 5);
        sheet.Dividend(1).Money = 99;
        QVERIFY(!ReadResultPage(sheet, lines(page)));
        QCOMPARE(sheet.Match(0).HomeScore(), 5);
        QCOMPARE(sheet.Dividend(1).Money, qint64(99));
    }

    void votePage_data()
    {
        QTest::addColumn<QString>("lead");
        QTest::addColumn<bool>("calledOff");
        QTest::addColumn<bool>("ok");
        QTest::newRow("plain") << QStringLiteral("投票状況のお知らせです。") << false << true;
        QTest::newRow("called off shifts its row") << QStringLiteral("投票状況のお知らせです。") << true << true;
        QTest::newRow("時点 too early") << QString() << false << false;
    }
    void votePage()
    {
        QFETCH(QString, lead);
        QFETCH(bool, calledOff);
        QFETCH(bool, ok);
        TTipSheet sheet;
        sheet.SetNumber(1200);
        sheet.OfficialOdds().SetVotes(0, tpHome, 5);
        QCOMPARE(ReadVoteStatusPage(sheet, lines(votePageText(1200, lead, calledOff))), ok);
        if (!ok) {
            QCOMPARE(sheet.OfficialOdds().VotesOf(0, tpHome), 5);
            return;
        }
        QCOMPARE(sheet.OfficialOdds().VotesOf(0, tpHome), 1000);
        QCOMPARE(sheet.OfficialOdds().VotesOf(0, tpDraw), 101);
        QCOMPARE(sheet.OfficialOdds().VotesOf(12, tpAway), 213);
        QCOMPARE(DateTime::toQDateTime(sheet.OfficialOdds().OddsDate), QDateTime(QDate(2026, 12, 5), QTime(13, 5)));
        // Another round's page changes nothing.
        TTipSheet other;
        other.SetNumber(1201);
        QVERIFY(!ReadVoteStatusPage(other, lines(votePageText(1200, lead, calledOff))));
    }

    void lotInfoPage()
    {
        TTempFolders temp;
        TScriptedMessages messages;
        QStringList sql{QStringLiteral("Insert Into Team (TeamNo, TeamName, ShortName) Values (15, '京都サンガF.C.', '京都'), (1, '鹿島アントラーズ', '鹿島')"),
                        QStringLiteral("Insert Into Teams Values (2026, 15, 1, 3), (2026, 1, 1, 1)"),
                        QStringLiteral("Insert Into Match (MatchDate, Time, Division, Stage, Section, HomeTeam, AwayTeam) Values ('2026-12-05', '14:00', 1, 0, 20, 15, 1)")};
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")), sql));
        QString html = QStringLiteral("<HTML><BODY>2026年度<TABLE><TR><TH>第1200回 toto くじ情報</TH></TR>\n");
        for (int i = 1; i <= 13; ++i) {
            const QString home = i == 1 ? QStringLiteral("京都パープルサンガ") : QStringLiteral("ホーム%1").arg(i);
            const QString away = i == 1 ? QStringLiteral("鹿島アントラーズ") : QStringLiteral("アウェイ%1").arg(i);
            html += QStringLiteral("<TR><TD>%1</TD><TD>2026/12/05</TD><TD>土</TD><TD>競技場%1</TD><TD>%2</TD><TD>VS</TD><TD>%3</TD></TR>\n"
                                   "<TR><TD><A onclick=\"disptotoVsTeamData(); window.open('?id=%1', 'w')\">比較</A></TD></TR>\n")
                        .arg(i)
                        .arg(home, away);
        }
        html += QStringLiteral("</TABLE></BODY></HTML>");
        TTipSheet sheet;
        sheet.SetNumber(1200);
        sheet.Singles().Add(TSingleSheet(&sheet, 1));
        QVERIFY(ReadLotInfoPage(sheet, lines(html), true, &dm, QStringLiteral("http://site")));
        QCOMPARE(sheet.Match(0).HomeTeam().Name(), QStringLiteral("京都"));
        QCOMPARE(sheet.Match(0).HomeTeamNo, 15);
        QCOMPARE(sheet.Match(0).MatchName, QStringLiteral("J1"));
        QCOMPARE(DateTime::toQDateTime(sheet.Match(0).DateTime()), QDateTime(QDate(2026, 12, 5), QTime(14, 0)));
        QCOMPARE(sheet.Match(0).DispTeamDataURL, QStringLiteral("http://site/dci/I/IPA/IPA01.do?id=1"));
        QCOMPARE(sheet.Match(5).HomeTeam().Name(), QStringLiteral("ホーム6"));
        QCOMPARE(sheet.Match(5).Stadium(), QStringLiteral("競技場6"));
        QCOMPARE(sheet.Singles().Count(), 0);
        QCOMPARE(dm.QueryValue(QStringLiteral("Select totoNumber From Match")).toInt(), 1200);

        // A card missing its last row changes nothing.
        TTipSheet again;
        again.SetNumber(1200);
        again.Match(12).HomeTeamRef().SetName(QStringLiteral("元"));
        QVERIFY(!ReadLotInfoPage(again, lines(html.left(html.indexOf(QStringLiteral("<TR><TD>13<")))), false, &dm));
        QCOMPARE(again.Match(12).HomeTeam().Name(), QStringLiteral("元"));
    }

    void downloadsThroughTheSheet()
    {
        TTempFolders temp;
        TScriptedMessages messages;
        TFixtureServer server;
        server.route(ResultPagePath(1200).toUtf8(), TFixtureServer::Route(resultPage(1200, 13, true, true).toUtf8()));
        server.route(VoteStatusPagePath(1200, QStringLiteral("01")).toUtf8(),
                     TFixtureServer::Route(votePageText(1200, QStringLiteral("投票状況のお知らせです。"), false).toUtf8()));
        TOption option;
        option.OfficialSiteURL = server.url(QString());
        option.PelvaneURL = server.url(QStringLiteral("/pelvane/"));
        TTipSheet sheet;
        sheet.Option = &option;
        sheet.SetNumber(1200);
        QVERIFY(sheet.DownloadResults());
        QCOMPARE(sheet.Match(1).HomeScore(), 2);
        QVERIFY(sheet.DownloadVotes());
        QCOMPARE(sheet.OfficialOdds().VotesOf(1, tpHome), 2000);
        // No match sheet on the server and no lot page: the warning, the card unchanged.
        sheet.Match(0).HomeTeamRef().SetName(QStringLiteral("元"));
        QVERIFY(!sheet.DownloadMatchSheet(false));
        QCOMPARE(messages.texts().last(), QStringLiteral("対戦シートがダウンロードできませんでした"));
        QCOMPARE(sheet.Match(0).HomeTeam().Name(), QStringLiteral("元"));
        sheet.SetNumber(1201);
        QVERIFY(!sheet.DownloadResults());
        QCOMPARE(messages.texts().last(), QStringLiteral("試合結果が見つかりませんでした"));
    }

    // A server tree written from one database, served on loopback, brought into an empty one.
    void updateRoundTrip()
    {
        TTempFolders temp;
        TScriptedMessages messages;
        TDM source(MakeTestDatabase(temp.file(QStringLiteral("a.db")),
                                    {QStringLiteral("Insert Into Team Values (1, '鹿島アントラーズ', '鹿島', 'カシマ, スタジアム', 'clRed'), (2, 'x \"y\"', 'y', '', 'clBlue')"),
                                     QStringLiteral("Insert Into Teams Values (2014, 1, 1, 3), (2014, 2, 1, 1)"),
                                     QStringLiteral("Insert Into Holding Values (2014, 1, 0, 1, 34, '2014-03-01', '2014-12-06'), (2014, 0, 0, 650, 700, '2014-03-01', '2014-12-06')"),
                                     QStringLiteral("Insert Into Match Values ('2014-03-01', '14:00', 1, 0, 1, 1, 2, 2, 1, 0, 'カシマ', 660, 3, 0, 0, 0),"
                                                    " ('2014-03-08', NULL, 1, 0, 2, 2, 1, NULL, NULL, 1, '国立', 0, 0, 0, 0, 0),"
                                                    " ('2015-03-08', NULL, 1, 0, 2, 2, 1, 1, 1, 0, '国立', 0, 0, 0, 0, 0)"),
                                     QStringLiteral("Insert Into Odds Values (660, 3, 100, 200, 300)"),
                                     QStringLiteral("Insert Into Prize Values (660, 1, 5000000000, 1, 0)")}));
        const QString tree = temp.file(QStringLiteral("server"));
        const QStringList written = WriteServerTree(source, tree, {2014});
        QVERIFY(written.contains(QStringLiteral("Data/match2014.csv")));
        QVERIFY(written.contains(QStringLiteral("Sheet/toto660.tts")));

        TFixtureServer server;
        for (const QString &name : written) {
            QFile f(tree + u'/' + name);
            QVERIFY(f.open(QIODevice::ReadOnly));
            TFixtureServer::Route r(f.readAll(), "text/csv");
            r.headers.append(qMakePair(QByteArray("Last-Modified"), QByteArray("Wed, 10 Dec 2026 10:00:00 GMT")));
            server.route(("/pelvane/" + name).toUtf8(), r);
        }
        TOption option;
        option.PelvaneURL = server.url(QStringLiteral("/pelvane/"));
        TDM target(MakeTestDatabase(temp.file(QStringLiteral("b.db")),
                                    {QStringLiteral("Insert Into Match (MatchDate, Division, Stage, Section, HomeTeam, AwayTeam) Values ('2014-05-05', 1, 0, 9, 5, 6), ('2013-05-05', 1, 0, 9, 5, 6)")}));
        TDatabaseUpdate update(target, &option);
        update.Year = 2014;
        QVERIFY(update.Check());
        QVERIFY(update.Files[1].Selected);
        QVERIFY(update.Download());
        QVERIFY(update.Updated);
        for (const char *table : {"Team", "Teams", "Holding", "Odds", "Prize"}) {
            const QString sql = QStringLiteral("Select * From %1 Order By 1, 2, 3").arg(QString::fromLatin1(table));
            const TDataRows a = source.Select(sql), b = target.Select(sql);
            QCOMPARE(b.size(), a.size());
            for (size_t r = 0; r < a.size(); ++r)
                for (int c = 0; c < a[r].Count(); ++c)
                    QCOMPARE(b[r].At(c).toString(), a[r].At(c).toString());
        }
        // The season's matches were replaced as a whole; other years untouched.
        const QString matches = QStringLiteral("Select * From Match Where SubStr(MatchDate, 1, 4) = '2014' Order By MatchDate");
        const TDataRows a = source.Select(matches), b = target.Select(matches);
        QCOMPARE(b.size(), size_t(2));
        for (size_t r = 0; r < a.size(); ++r)
            for (int c = 0; c < a[r].Count(); ++c)
                QCOMPARE(b[r].At(c), a[r].At(c));
        QCOMPARE(target.QueryValue(QStringLiteral("Select Count(*) From Match Where MatchDate Like '2013%'")).toInt(), 1);
        QCOMPARE(update.Files[10].Status, QStringLiteral("終了 (2件)"));
        QCOMPARE(update.Files[11].Status, QStringLiteral("終了 (4件)")); // the group's sum

        // The round's match sheet comes from the server.
        TTipSheet card;
        card.Option = &option;
        card.SetNumber(660);
        QVERIFY(card.DownloadMatchSheet(false));
        QCOMPARE(card.Match(2).HomeTeam().Name(), QStringLiteral("鹿島"));
        QCOMPARE(card.Match(2).AwayTeam().Name(), QStringLiteral("y"));
        QCOMPARE(card.Match(2).Stadium(), QStringLiteral("カシマ"));

        // Same dates again: nothing to do.
        TDatabaseUpdate again(target, &option);
        again.Year = 2014;
        QVERIFY(!again.Check());

        // A newer match file with a broken line in the middle, an error page for the odds: both
        // refused, the database and their dates as they were.
        QByteArray broken = "2014-03-01, 14:00, 1, 0, 1, 1, 2, 9, 9, 0, x\r\n2014-13-45, , 1\r\n";
        TFixtureServer::Route bad(broken, "text/csv");
        bad.headers.append(qMakePair(QByteArray("Last-Modified"), QByteArray("Thu, 11 Dec 2026 10:00:00 GMT")));
        server.route("/pelvane/Data/match2014.csv", bad);
        TFixtureServer::Route errorPage("<HTML><BODY>Internal error</BODY></HTML>", "text/html", 500);
        errorPage.headers.append(qMakePair(QByteArray("Last-Modified"), QByteArray("Thu, 11 Dec 2026 10:00:00 GMT")));
        server.route("/pelvane/Data/odds2014.csv", errorPage);
        TDatabaseUpdate third(target, &option);
        third.Year = 2014;
        QVERIFY(third.Check());
        QVERIFY(!third.Download());
        QCOMPARE(third.Files[1].Status, QStringLiteral("更新失敗"));
        QCOMPARE(third.Files[2].Status, QStringLiteral("ダウンロード失敗"));
        QCOMPARE(target.QueryValue(QStringLiteral("Select HomeScore From Match Where MatchDate='2014-03-01'")).toInt(), 2);
        QCOMPARE(target.QueryValue(QStringLiteral("Select Count(*) From Odds")).toInt(), 1);
        QVERIFY(target.QueryValue(QStringLiteral("Select LastModified From FileList Where TableName='match2014'")).toString().contains(QStringLiteral("10 dec")));
    }

    void goal3AndLeaguePages()
    {
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")),
                                {QStringLiteral("Insert Into Team (TeamNo, TeamName, ShortName) Values (1, '鹿島アントラーズ', '鹿島'), (13, '柏レイソル', '柏'), (7, 'ガンバ大阪', 'G大阪')"),
                                 QStringLiteral("Insert Into Holding Values (2014, 1, 1, 1, 17, '2014-03-01', '2014-07-19'), (2014, 1, 2, 18, 34, '2014-07-19', '2014-12-06')"),
                                 QStringLiteral("Insert Into Match (MatchDate, Time, Division, Stage, Section, HomeTeam, AwayTeam) Values ('2014-03-15', '14:00', 1, 1, 3, 1, 13)")}));
        // GOAL3 results: a dated first row (offset 2), rows under the same date, the prize rows.
        QString goal3 = QStringLiteral("<TABLE><TR><TD>2014年</TD></TR><TR><TH>第100回 totoGOAL3　くじ結果</TH></TR><TR><TD>a</TD></TR><TR><TD>b</TD></TR>\n");
        const QString teams[] = {QStringLiteral("鹿島"), QStringLiteral("柏"), QStringLiteral("Ｇ大阪"), QStringLiteral("鹿島"), QStringLiteral("柏"), QStringLiteral("Ｇ大阪")};
        for (int q = 1; q <= 6; ++q)
            goal3 += q == 1 ? QStringLiteral("<TR><TD>03/15</TD><TD>土</TD><TD>1</TD><TD>%1</TD><TD>%2</TD></TR>\n").arg(teams[0]).arg(5)
                            : QStringLiteral("<TR><TD>%1</TD><TD>%2</TD><TD>%3</TD><TD>-</TD></TR>\n").arg(q).arg(teams[q - 1]).arg(q - 1);
        goal3 += QStringLiteral("<TR><TD>当せん金</TD><TD>1,234,567円</TD><TD>8,900円</TD><TD>100円</TD></TR><TR><TD>口数</TD><TD>3</TD><TD>40</TD><TD>500</TD></TR>"
                                "<TR><TD>繰越</TD><TD>3,000,000,000円</TD><TD>0</TD><TD>0</TD></TR></TABLE>");
        QVERIFY(ReadGoal3ResultPage(100, lines(goal3), dm));
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Count(*) From ResultGOAL3 Where Number=100")).toInt(), 6);
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Score From ResultGOAL3 Where [Index]=1")).toInt(), 5);
        QCOMPARE(dm.QueryValue(QStringLiteral("Select TeamNo From ResultGOAL3 Where [Index]=3")).toInt(), 7); // full-width name
        QCOMPARE(dm.QueryValue(QStringLiteral("Select \"Date\" From ResultGOAL3 Where [Index]=6")).toString(), QStringLiteral("2014-03-15"));
        QCOMPARE(dm.QueryValue(QStringLiteral("Select CarryOver From PrizeGOAL3 Where Grade=1")).toLongLong(), qint64(3000000000));
        QVERIFY(ReadGoal3ResultPage(100, lines(goal3), dm)); // read again: the rows are edited
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Count(*) From ResultGOAL3 Where Number=100")).toInt(), 6);
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Count(*) From PrizeGOAL3 Where Number=100")).toInt(), 3);
        QVERIFY(!ReadGoal3ResultPage(101, lines(goal3), dm));

        // League fixtures: the second stage continues the sections, "未定" is 1 January, "vs" has no score.
        const QString schedule = QStringLiteral(
            "<P>日程・結果</P><P>J1</P><BR><TABLE>"
            "<TR><TD>2014</TD><TD>J1 1st</TD><TD>第3節第1日</TD><TD>03/15(土)</TD><TD>14:04</TD><TD>鹿島</TD><TD>2-1</TD><TD>柏</TD><TD>カシマ</TD></TR>\n"
            "<TR><TD>2014</TD><TD>J1 2nd</TD><TD>第1節第1日</TD><TD>未定</TD><TD>未定</TD><TD>柏</TD><TD>vs</TD><TD>鹿島</TD><TD>日立台</TD></TR>\n"
            "<TR><TD>2014</TD><TD>J1 2nd</TD><TD>第2節</TD><TD>07/26(土)</TD><TD>19:00</TD><TD>不明</TD><TD>1-0</TD><TD>鹿島</TD><TD>x</TD></TR></TABLE>");
        QVERIFY(!ReadLeagueSchedulePage(lines(schedule), 2014, 1, 0, 0, 0, 0, dm));
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Count(*) From Match")).toInt(), 2);
        QCOMPARE(dm.QueryValue(QStringLiteral("Select HomeScore From Match Where Section=3")).toInt(), 2);
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Time From Match Where Section=3")).toString(), QStringLiteral("14:04"));
        const TDataRows later = dm.Select(QStringLiteral("Select * From Match Where Section=18"));
        QCOMPARE(later.size(), size_t(1));
        QCOMPARE(FieldText(later.front(), u"MatchDate"), QStringLiteral("2014-01-01"));
        QVERIFY(later.front().Value(u"HomeScore").isNull());
        QCOMPARE(FieldInt(later.front(), u"Stage", 0), 2);
    }

    void goal3VotesAndSectionResults()
    {
        TTempFolders temp;
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")),
                                {QStringLiteral("Insert Into Team (TeamNo, TeamName, ShortName) Values (1, '鹿島アントラーズ', '鹿島'), (13, '柏レイソル', '柏')"),
                                 QStringLiteral("Insert Into Match (MatchDate, Time, Division, Stage, Section, HomeTeam, AwayTeam) Values ('2004-03-13', '14:00', 1, 1, 1, 1, 13)")}));
        // GOAL3 votes: the data table after the heading, a row per team every other line; a
        // called-off team shifts its row by one.
        QString votes = QStringLiteral("<TABLE><TR><TD>第100回 totoGOAL3 投票状況</TD></TR></TABLE><TABLE><TR><TD>h</TD></TR><TR><TD>h</TD></TR>");
        for (int i = 1; i <= 6; ++i)
            votes += QStringLiteral("<TR><TD>x</TD><TD>y</TD>%1<TD>%2</TD><TD>チーム</TD><TD>-</TD><TD>1,%3</TD><TD>%2</TD><TD>3</TD><TD>4</TD></TR><TR><TD>-</TD></TR>")
                         .arg(i == 2 ? QStringLiteral("<TD>中止</TD>") : QString())
                         .arg(i)
                         .arg(i * 100);
        votes += QStringLiteral("</TABLE>");
        QVERIFY(ReadGoal3VotePage(100, lines(votes), dm));
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Score0 From OddsGOAL3 Where [Index]=1")).toInt(), 1100);
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Score1 From OddsGOAL3 Where [Index]=2")).toInt(), 2);
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Count(*) From OddsGOAL3")).toInt(), 6);
        QVERIFY(!ReadGoal3VotePage(101, lines(votes), dm));

        // An older per-section result page: rows from the third, teams in cells 4 and 6.
        const QString section = QStringLiteral(
            "<TABLE><TR><TD>第1節</TD></TR><TR><TD>日</TD></TR>"
            "<TR><TD>3/13</TD><TD>14:00</TD><TD>カシマ</TD><TD>鹿島</TD><TD>３-１</TD><TD>柏</TD></TR>"
            "<TR><TD>3/13</TD><TD>14:00</TD><TD>x</TD><TD>どこか</TD><TD>1-0</TD><TD>柏</TD></TR></TABLE>");
        QVERIFY(!ReadLeagueSectionPage(lines(section), 2004, 1, 1, 1, dm));
        QCOMPARE(dm.QueryValue(QStringLiteral("Select HomeScore || '-' || AwayScore From Match")).toString(), QStringLiteral("3-1"));
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Count(*) From Match")).toInt(), 1); // never inserts
    }

    // A stop during the merge: the table and its date as before.
    void updateAbort()
    {
        TTempFolders temp;
        TScriptedMessages messages;
        TFixtureServer server;
        QByteArray body;
        for (int i = 1; i <= 50; ++i)
            body += "2014, " + QByteArray::number(i) + ", 1, 0\r\n";
        TFixtureServer::Route route(body, "text/csv");
        route.headers.append(qMakePair(QByteArray("Last-Modified"), QByteArray("Wed, 10 Dec 2026 10:00:00 GMT")));
        server.route("/p/Data/teams.csv", route);
        TOption option;
        option.PelvaneURL = server.url(QStringLiteral("/p/"));
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")), {QStringLiteral("Insert Into Teams Values (2013, 1, 1, 1)")}));
        TDatabaseUpdate update(dm, &option);
        update.Year = 2014;
        QVERIFY(update.Check());
        int rows = 0;
        QVERIFY(!update.Download([&] { return ++rows == 20; }));
        QCOMPARE(update.Files[11].Status, QStringLiteral("更新失敗"));
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Count(*) From Teams")).toInt(), 1);
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Count(*) From FileList")).toInt(), 0);
        QVERIFY(!update.Updated);
    }
};

QTEST_GUILESS_MAIN(TestReaders)
#include "tst_readers.moc"
