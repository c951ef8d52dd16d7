#include "lottery/PrizeEstimate.h"
#include "lottery/UnitToTo.h"
#include "platform/PelvaneError.h"
#include "shell/UnitTypes.h"

#include <QtTest>

#include <cmath>

namespace {

void setVotes(TTipSheet &sheet, int match, int home, int draw, int away)
{
    sheet.SetVoteCount(match, tpHome, home);
    sheet.SetVoteCount(match, tpDraw, draw);
    sheet.SetVoteCount(match, tpAway, away);
}

} // namespace

class TestOdds : public QObject
{
    Q_OBJECT

private slots:
    void percentAndRate()
    {
        TTipSheet sheet;
        setVotes(sheet, 0, 50, 30, 20);
        QCOMPARE(sheet.VotePercent(0, tpHome), 50);
        QCOMPARE(sheet.VotePercent(0, tpDraw), 30);
        QCOMPARE(sheet.VotePercent(0, tpAway), 20);
        QCOMPARE(sheet.VoteRate(0, tpHome), 0.5);
        setVotes(sheet, 1, 1, 1, 1);
        QCOMPARE(sheet.VotePercent(1, tpHome), 33);
        setVotes(sheet, 2, 1, 0, 1); // 50 % each, halves away from zero
        QCOMPARE(sheet.VotePercent(2, tpHome), 50);
        setVotes(sheet, 3, 1, 1, 6); // 12.5 -> 13
        QCOMPARE(sheet.VotePercent(3, tpHome), 13);
        // An empty match.
        QCOMPARE(sheet.VotePercent(4, tpHome), 0);
        QCOMPARE(sheet.VoteRate(4, tpHome), 0.0);
    }

    void activeTableSwitch()
    {
        TTipSheet sheet;
        sheet.SetVoteCount(0, tpHome, 10);
        QCOMPARE(sheet.OfficialOdds().VotesOf(0, tpHome), 10);
        int oddsEvents = 0;
        sheet.OnOddsChange = [&](TTipSheet *, int) { ++oddsEvents; };
        sheet.SetUseOfficialOdds(false);
        QCOMPARE(oddsEvents, 13);
        QCOMPARE(sheet.VoteCount(0, tpHome), 0);
        sheet.SetVoteCount(0, tpHome, 3);
        QCOMPARE(sheet.UserOdds().VotesOf(0, tpHome), 3);
        QCOMPARE(sheet.OfficialOdds().VotesOf(0, tpHome), 10);
    }

    void upsets_data()
    {
        QTest::addColumn<int>("home");
        QTest::addColumn<int>("draw");
        QTest::addColumn<int>("away");
        QTest::addColumn<int>("pick");
        QTest::addColumn<bool>("upset");
        QTest::newRow("draw at 30 of 50/30/20") << 50 << 30 << 20 << int(tpDraw) << true;
        QTest::newRow("home at 50 of 50/30/20") << 50 << 30 << 20 << int(tpHome) << false;
        QTest::newRow("home at 40 of 40/40/20") << 40 << 40 << 20 << int(tpHome) << false;
        QTest::newRow("draw at 40 of 40/40/20") << 40 << 40 << 20 << int(tpDraw) << false;
        QTest::newRow("empty match") << 0 << 0 << 0 << int(tpAway) << false;
    }
    void upsets()
    {
        QFETCH(int, home);
        QFETCH(int, draw);
        QFETCH(int, away);
        QFETCH(int, pick);
        QFETCH(bool, upset);
        TTipSheet sheet;
        setVotes(sheet, 9, home, draw, away);
        sheet.Match(9).SetDivision(2);
        std::array<int, 3> d{}, w{};
        QCOMPARE(sheet.CountUpset(9, TTips{TTip(pick)}, d, w), upset);
        const std::array<int, 3> &counted = pick == tpDraw ? d : w;
        QCOMPARE(counted[0], upset ? 1 : 0);
        QCOMPARE(counted[2], upset ? 1 : 0); // division 2
        QCOMPARE(counted[1], 0);
        // A set of several outcomes (a called-off result) counts nothing.
        QVERIFY(!sheet.CountUpset(9, TTips::all(), d, w));
    }

    void emptyMatchMakesWinPriceZero()
    {
        TTipSheet sheet;
        sheet.SetTotoType(ttMiniA);
        for (int i = 0; i < 4; ++i)
            setVotes(sheet, i, 5, 3, 2);
        TSingleSheet s(&sheet, 1);
        QCOMPARE(s.WinPrice(), qint64(0)); // match 5 has no votes
        sheet.Match(4).SetCalledOff(true);
        QVERIFY(s.WinPrice() > 0); // a called-off match does not count
        sheet.SetNumber(0);
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, s.WinPrice());
    }

    void shares_data()
    {
        QTest::addColumn<int>("round");
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("second");
        QTest::addColumn<double>("third");
        QTest::addColumn<double>("base");
        QTest::newRow("155") << 155 << 0.5 << 0.2 << 0.3 << 47.0;
        QTest::newRow("197") << 197 << 0.5 << 0.2 << 0.3 << 50.0;
        QTest::newRow("198") << 198 << 0.8 << 0.2 << 0.3 << 50.0;
        QTest::newRow("260") << 260 << 0.8 << 0.15 << 0.15 << 50.0;
        QTest::newRow("261") << 261 << 0.7 << 0.15 << 0.15 << 50.0;
    }
    void shares()
    {
        QFETCH(int, round);
        QFETCH(double, first);
        QFETCH(double, second);
        QFETCH(double, third);
        QFETCH(double, base);
        QCOMPARE(Payout::FirstShare(ttToto, round), first);
        QCOMPARE(Payout::SecondShare(round), second);
        QCOMPARE(Payout::ThirdShare(round), third);
        QCOMPARE(Payout::Base(round), base);
        QCOMPARE(Payout::FirstShare(ttMiniA, round), 1.0);
        QCOMPARE(Payout::FirstNumerator(ttMiniB, round), 50.0);
        if (round == 155)
            QCOMPARE(Payout::FirstNumerator(ttToto, round), 23.5);
    }

    void firstPrizeEstimate()
    {
        TTipSheet sheet;
        sheet.SetNumber(300);
        for (int i = 0; i < 13; ++i) {
            setVotes(sheet, i, 1, 1, 0); // home and draw at 0.5
            sheet.Match(i).SetResult({tpHome});
        }
        QCOMPARE(sheet.EstimatedPrize(1), qint64(35 * 8192));
    }

    void lowerPrizeFloorAndCap()
    {
        // Second prize 60 yen becomes 100; one above the first becomes the first.
        std::vector<TTips> results(13, TTips{tpHome});
        std::vector<TMatchRates> sure(13, TMatchRates{0.0, 0.99, 0.01});
        const TEstimatedPrizes low = EstimateDividends(ttToto, 300, results, sure);
        QVERIFY(low.second == 100 || low.second == low.first);
        QCOMPARE(low.third, qint64(100));

        std::vector<TMatchRates> rare(13, TMatchRates{0.45, 0.1, 0.45});
        const TEstimatedPrizes high = EstimateDividends(ttToto, 300, results, rare);
        QVERIFY(high.second <= high.first);
        QVERIFY(high.third <= high.second);

        // One unknown result makes every product zero: no estimate at all.
        results[5] = TTips{};
        const TEstimatedPrizes none = EstimateDividends(ttToto, 300, results, rare);
        QCOMPARE(none.first, qint64(0));
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, EstimateDividends(ttToto, 0, results, rare));
    }

    void secondPrizeFloorExactly()
    {
        // n = 5 mini-like inputs through the toto formula: l = 0.9 everywhere.
        std::vector<TTips> results(13, TTips{tpHome});
        std::vector<TMatchRates> rates(13, TMatchRates{0.05, 0.9, 0.05});
        const TEstimatedPrizes p = EstimateDividends(ttToto, 300, results, rates);
        const double p1 = std::pow(0.9, 13);
        const double s2 = 13 * 0.1 * std::pow(0.9, 12);
        QCOMPARE(p.first, RoundHalfAway(0.7 * 50 / p1));
        const double second = 0.15 * 50 / s2;
        QCOMPARE(p.second, second < 100 ? qint64(100) : RoundHalfAway(second));
    }

    void formatAmount_data()
    {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << qint64(0) << "0";
        QTest::newRow("9999") << qint64(9999) << "9999";
        QTest::newRow("1万") << qint64(10000) << "1万0";
        QTest::newRow("5万6789") << qint64(56789) << "5万6789";
        QTest::newRow("1億") << qint64(100000000) << "1億";
        QTest::newRow("1億2345万") << qint64(123456789) << "1億2345万";
        QTest::newRow("12億") << qint64(1234567890) << "12億";
        QTest::newRow("beyond 32 bits") << qint64(600000000000) << "6000億";
    }
    void formatAmount()
    {
        QFETCH(qint64, value);
        QFETCH(QString, text);
        QCOMPARE(FormatAmount(value), text);
    }
};

QTEST_GUILESS_MAIN(TestOdds)
#include "tst_odds.moc"
