#include "lottery/UnitToTo.h"

#include <QtTest>

namespace {

// Records the events of a match in order.
struct EventLog
{
    QStringList events;
    void attach(TExceptMatch &m)
    {
        m.OnTipsChanged = [this](TExceptMatch *) { events << QStringLiteral("tips"); };
        m.OnScoreChanged = [this](TExceptMatch *) { events << QStringLiteral("score"); };
        m.OnResultChanged = [this](TExceptMatch *) { events << QStringLiteral("result"); };
        m.OnStadiumChanged = [this](TExceptMatch *) { events << QStringLiteral("stadium"); };
        m.OnDateTimeChanged = [this](TExceptMatch *) { events << QStringLiteral("datetime"); };
        m.OnCommentChanged = [this](TExceptMatch *) { events << QStringLiteral("comment"); };
    }
};

} // namespace

class TestMatch : public QObject
{
    Q_OBJECT

private slots:
    void resultFromScore_data()
    {
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("home");
        QTest::addColumn<int>("away");
        QTest::addColumn<bool>("calledOff");
        QTest::addColumn<bool>("vGoal");
        QTest::addColumn<int>("bits");
        const int draw = TTips{tpDraw}.bits(), home = TTips{tpHome}.bits(), away = TTips{tpAway}.bits();
        QTest::newRow("home win") << 100 << 2 << 1 << false << false << home;
        QTest::newRow("away win") << 100 << 0 << 3 << false << false << away;
        QTest::newRow("draw") << 100 << 1 << 1 << false << false << draw;
        QTest::newRow("no score yet") << 100 << -1 << -1 << false << false << 0;
        QTest::newRow("one score missing") << 100 << 2 << -1 << false << false << 0;
        QTest::newRow("called off without score") << 100 << -1 << -1 << true << false << 7;
        QTest::newRow("called off beats a score") << 100 << 2 << 0 << true << false << 7;
        QTest::newRow("V-goal 1-1") << 100 << 1 << 1 << false << true << draw;
        QTest::newRow("V-goal 2-1 round 32") << 32 << 2 << 1 << false << true << draw;
        QTest::newRow("V-goal 2-1 round 31") << 31 << 2 << 1 << false << true << home;
    }
    void resultFromScore()
    {
        QFETCH(int, round);
        QFETCH(int, home);
        QFETCH(int, away);
        QFETCH(bool, calledOff);
        QFETCH(bool, vGoal);
        QFETCH(int, bits);
        QCOMPARE(int(ResultFromScore(round, home, away, calledOff, vGoal).bits()), bits);

        // The same through the match's setters on a sheet of that round.
        TTipSheet sheet;
        sheet.SetNumber(round);
        TExceptMatch &m = sheet.Match(0);
        m.SetCalledOff(calledOff);
        m.SetVGoal(vGoal);
        m.SetHomeScore(home);
        m.SetAwayScore(away);
        QCOMPARE(int(m.Result().bits()), bits);
    }

    void setterEventsOnlyOnChange()
    {
        TTipSheet sheet;
        TExceptMatch &m = sheet.Match(0);
        EventLog log;
        log.attach(m);
        int changed = 0;
        sheet.OnMatchChange = [&](TTipSheet *, int index) { QCOMPARE(index, 0); ++changed; };

        m.SetHomeScore(-1); // already -1
        m.SetTips({});
        m.SetStadium(QString());
        QCOMPARE(changed, 0);
        QVERIFY(log.events.isEmpty());

        m.SetTips({tpHome, tpAway});
        QCOMPARE(log.events, QStringList{QStringLiteral("tips")});
        QCOMPARE(changed, 1);

        log.events.clear();
        m.SetHomeScore(2);
        m.SetAwayScore(1);
        // The second score decides the result: change, result, then score.
        QCOMPARE(log.events, (QStringList{QStringLiteral("score"), QStringLiteral("result"), QStringLiteral("score")}));
        QCOMPARE(m.Result(), TTips{tpHome});

        log.events.clear();
        m.SetHomeScore(2);
        QVERIFY(log.events.isEmpty());
    }

    void setScore()
    {
        TTipSheet sheet;
        TExceptMatch &m = sheet.Match(3);
        m.SetCalledOff(true);
        EventLog log;
        log.attach(m);
        m.SetScore(-1, -1); // equal to the stored scores: nothing, even though called off
        QVERIFY(log.events.isEmpty());
        QVERIFY(m.CalledOff());
        m.SetScore(0, 2);
        QVERIFY(!m.CalledOff());
        QCOMPARE(m.Result(), TTips{tpAway});
        QCOMPARE(log.events.count(QStringLiteral("result")), 1);
    }

    void divisionIndexRule_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("index 8, -1") << 8 << -1 << 2;
        QTest::newRow("index 7, -1") << 7 << -1 << 1;
        QTest::newRow("index 0, -5") << 0 << -5 << 1;
        QTest::newRow("explicit 2") << 0 << 2 << 2;
    }
    void divisionIndexRule()
    {
        QFETCH(int, index);
        QFETCH(int, value);
        QFETCH(int, expected);
        TTipSheet sheet;
        sheet.Match(index).SetDivision(value);
        QCOMPARE(sheet.Match(index).Division(), expected);
    }

    void formatedName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("FC") << "FC" << QStringLiteral("Ｆ　Ｃ");
        QTest::newRow("empty") << "" << QStringLiteral("　　　");
        QTest::newRow("one") << QStringLiteral("鹿") << QStringLiteral("　鹿　");
        QTest::newRow("digits and @") << "a1@" << QStringLiteral("ａ１＠");
        QTest::newRow("long unchanged") << QStringLiteral("Ｇ大阪") << QStringLiteral("Ｇ大阪");
        QTest::newRow("mixed") << QStringLiteral("川崎F") << QStringLiteral("川崎Ｆ");
    }
    void formatedName()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        TExceptTeam team;
        team.SetName(name);
        QCOMPARE(team.FormatedName(), expected);
    }

    void scoreText_data()
    {
        QTest::addColumn<int>("home");
        QTest::addColumn<int>("away");
        QTest::addColumn<bool>("vGoal");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << 2 << 1 << false << "2 - 1";
        QTest::newRow("home V-goal") << 2 << 1 << true << "2v - 1";
        QTest::newRow("away V-goal") << 0 << 1 << true << "0 - 1v";
        QTest::newRow("missing away") << 0 << -1 << false << "";
    }
    void scoreText()
    {
        QFETCH(int, home);
        QFETCH(int, away);
        QFETCH(bool, vGoal);
        QFETCH(QString, expected);
        TTipSheet sheet;
        TExceptMatch &m = sheet.Match(0);
        m.SetVGoal(vGoal);
        m.SetScore(home, away);
        QCOMPARE(m.ScoreText(), expected);
    }

    void tipsHelpers()
    {
        QCOMPARE(MarksText(TTips{tpHome, tpAway}), QStringLiteral("■□■"));
        QCOMPARE(TipsDigits(TTips{tpDraw, tpHome, tpAway}), QStringLiteral("102"));
        QCOMPARE(TipFromText(u"1"), tpHome);
        QCOMPARE(TipFromText(u"2"), tpAway);
        QCOMPARE(TipFromText(u"x"), tpDraw);
        QCOMPARE(TipFromText(u"3"), tpDraw);
        TTipSheet sheet;
        TExceptMatch &m = sheet.Match(0);
        QCOMPARE(m.FirstTip(), tpDraw);
        m.SetTips({tpHome, tpAway});
        QCOMPARE(m.FirstTip(), tpHome);
        QCOMPARE(m.SecondTip(), tpAway);
        m.SetTips({tpDraw, tpHome});
        QCOMPARE(m.FirstTip(), tpDraw);
        QCOMPARE(m.SecondTip(), tpHome);
    }

    void clearAndAssign()
    {
        TTipSheet a, b;
        TExceptMatch &m = a.Match(4);
        TExceptTeam home;
        home.SetName(QStringLiteral("鹿島"));
        home.Index = 4;
        m.SetHomeTeam(home);
        m.SetTips({tpHome});
        m.SetScore(1, 0);
        m.SetVGoal(true);
        m.SetStadium(QStringLiteral("カシマ"));
        m.HomeTeamNo = 7;
        m.MatchName = QStringLiteral("J1");
        m.SetComment(QStringLiteral("本命"));
        m.AssignTo(b.Match(4));
        const TExceptMatch &c = b.Match(4);
        QCOMPARE(c.HomeTeam().Name(), QStringLiteral("鹿島"));
        QCOMPARE(c.Tips(), TTips{tpHome});
        QCOMPARE(c.HomeScore(), 1);
        QVERIFY(!c.VGoal()); // not copied
        QCOMPARE(c.Stadium(), QStringLiteral("カシマ"));
        QCOMPARE(c.HomeTeamNo, 7);
        QCOMPARE(c.Comment(), QStringLiteral("本命"));

        m.ClearCard();
        QVERIFY(m.HomeTeam().Name().isEmpty());
        QCOMPARE(m.HomeTeamNo, 0);
        QVERIFY(m.Stadium().isEmpty());
        QCOMPARE(m.Tips(), TTips{tpHome}); // the forecast stays
        m.ClearForecast();
        QCOMPARE(m.HomeScore(), -1);
        QVERIFY(m.Tips().isEmpty());
        QVERIFY(m.Result().isEmpty());
        QVERIFY(m.Comment().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMatch)
#include "tst_match.moc"
