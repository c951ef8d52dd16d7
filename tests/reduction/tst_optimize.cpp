#include "lottery/UnitToTo.h"
#include "platform/PelvaneError.h"
#include "platform/Random.h"
#include "reduction/CoveringTables.h"
#include "reduction/UnitOptimize.h"
#include "settings/UnitOption.h"
#include "support/ScriptedMessages.h"

#include <QtTest>

#include <cmath>

namespace {

void mark(TTipSheet &sheet, int doubles, int triples)
{
    for (int i = 0; i < sheet.MaxMatch(); ++i) {
        TTips t{tpHome};
        if (i < triples)
            t = TTips::all();
        else if (i < triples + doubles)
            t = (i % 3 == 0) ? TTips{tpHome, tpDraw} : (i % 3 == 1) ? TTips{tpDraw, tpAway} : TTips{tpHome, tpAway};
        sheet.Match(i).SetTips(t);
    }
}

TCoveringTables tablesFrom(const char *text)
{
    return TCoveringTables::Parse(QByteArray(text), QStringLiteral("test"));
}

} // namespace

class TestOptimize : public QObject
{
    Q_OBJECT

private slots:
    void init() { Random::Seed(7); }

    // Every shipped table really covers its space at its radius.
    void shippedTablesVerify()
    {
        const TCoveringTables &tables = TCoveringTables::Shipped();
        int count = 0;
        for (const TCoveringTable &t : tables.All()) {
            QVERIFY2(t.rows.size() >= 1 && t.rows.size() <= 255, qPrintable(QString::number(t.rows.size())));
            QVERIFY2(TCoveringTables::Verify(t), qPrintable(QStringLiteral("level %1 W%2 T%3").arg(t.level).arg(t.doubles).arg(t.triples)));
            ++count;
        }
        for (int level = 2; level <= 4; ++level)
            QVERIFY(tables.Find(level, 0, 0));
        QVERIFY(count > 30);
    }

    void verifyFindsAHole()
    {
        // Level 2 over one triple needs one row; two rows over two triples leave words uncovered.
        const TCoveringTables t = tablesFrom("2 0 2 2\n00\n11\n");
        QVERIFY(!TCoveringTables::Verify(*t.Find(2, 0, 2)));
        QVERIFY(TCoveringTables::Verify(*tablesFrom("2 0 2 3\n00\n11\n22\n").Find(2, 0, 2)));
    }

    void damagedTableFiles_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("bad head") << QByteArray("2 0 x 1\n0\n");
        QTest::newRow("too many rows") << QByteArray("2 0 1 256\n0\n");
        QTest::newRow("missing rows") << QByteArray("2 0 2 3\n00\n11\n");
        QTest::newRow("wrong width") << QByteArray("2 0 2 1\n000\n");
        QTest::newRow("double symbol 0") << QByteArray("2 1 0 1\n0\n");
        QTest::newRow("triple symbol 3") << QByteArray("2 0 1 1\n3\n");
        QTest::newRow("twice") << QByteArray("2 0 1 1\n0\n2 0 1 1\n1\n");
        QTest::newRow("level 5") << QByteArray("5 0 1 1\n0\n");
    }
    void damagedTableFiles()
    {
        QFETCH(QByteArray, text);
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, TCoveringTables::Parse(text, QStringLiteral("t")));
    }

    void tableThatDoesNotCoverIsRefused()
    {
        const TCoveringTables t = tablesFrom("2 0 2 2\n00\n11\n");
        TOptimizerLibrary library(t);
        library.SetPrizeLevel(2);
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, library.SearchPatternInfo(0, 2));
    }

    void recordLayout()
    {
        const TCoveringTables t = tablesFrom("2 1 1 2\n10\n21\n");
        TOptimizerLibrary library(t);
        library.SetPrizeLevel(2);
        const TPatternInfo *r = library.GetPatternInfo(1, 1);
        QVERIFY(r);
        QCOMPARE(r->Doubles, 1);
        QCOMPARE(r->Triples, 1);
        const uint8_t expected[] = {2, 0, 2, 3, 1, 0, 2, 1};
        QVERIFY(std::equal(expected, expected + 8, r->Table));
        // (0, 0): one row and no columns.
        const TPatternInfo *empty = library.GetPatternInfo(0, 0);
        QVERIFY(empty);
        QCOMPARE(int(empty->Table[0]), 1);
        QCOMPARE(empty->Doubles + empty->Triples, 0);
        QVERIFY(!library.GetPatternInfo(2, 0));
    }

    void searchPicksTheSmallestExpansion()
    {
        // 4 triples at level 2: the perfect code of 9 rows beats 5 rows x 3.
        const TCoveringTables t = tablesFrom("2 0 3 5\n101\n020\n112\n211\n202\n2 0 4 9\n0000\n0111\n0222\n1012\n1120\n1201\n2021\n2102\n2210\n");
        QVERIFY(TCoveringTables::Verify(*t.Find(2, 0, 4)));
        TOptimizerLibrary library(t);
        library.SetPrizeLevel(2);
        const TPatternInfo *r = library.SearchPatternInfo(0, 4);
        QCOMPARE(r->Triples, 4);
        QCOMPARE(library.SearchPatternInfo(0, 5)->Triples, 4); // 9 x 3 = 27 < 5 x 9
        // Lower optimisation levels give fewer columns to a table.
        library.SetOptimizeLevel(50);
        QCOMPARE(library.SearchPatternInfo(0, 4)->Triples, 0);
        std::vector<int> levels;
        library.SetOptimizeLevel(100);
        library.MakeOptimizeTable(0, 4, levels);
        QCOMPARE(levels, (std::vector<int>{100, 9, 80, 15, 60, 81}));
    }

    void oneRowNoColumns()
    {
        TScriptedMessages messages;
        TTipSheet sheet;
        TOption option;
        option.ExpandOption.Guarantee = false;
        sheet.Option = &option;
        mark(sheet, 0, 0);
        sheet.Match(4).SetTips({tpAway});
        TSheetOptimizer optimizer;
        QCOMPARE(optimizer.Estimate(sheet), qint64(1));
        QCOMPARE(sheet.Expand(false), 1);
        QCOMPARE(sheet.Singles()[0].Tips()[4], tpAway);
        QCOMPARE(sheet.Singles()[0].TipCounts(tpHome), 12);
        QCOMPARE(sheet.Probability(1), 100.0);
    }

    void twoDoublesInFull()
    {
        const TCoveringTables none = tablesFrom("");
        TOptimizerLibrary library(none);
        TSheetOptimizer optimizer(library);
        TTipSheet sheet;
        mark(sheet, 0, 0);
        sheet.Match(2).SetTips({tpHome, tpAway});
        sheet.Match(7).SetTips({tpDraw, tpAway});
        QVERIFY(optimizer.Expand(sheet, false));
        QCOMPARE(sheet.Singles().Count(), 4);
        const int first = optimizer.Doubles().empty() ? -1 : 0;
        Q_UNUSED(first);
        // Which match is listed first depends on the shuffle: find the one that alternates.
        const auto &s = sheet.Singles();
        auto tipsAt = [&](int m) { return QList<TTip>{s[0].Tips()[size_t(m)], s[1].Tips()[size_t(m)], s[2].Tips()[size_t(m)], s[3].Tips()[size_t(m)]}; };
        const QList<TTip> a = tipsAt(2), b = tipsAt(7);
        const bool twoFirst = a[0] != a[1];
        const QList<TTip> fast = twoFirst ? a : b, slow = twoFirst ? b : a;
        const TExceptMatch &fastMatch = sheet.Match(twoFirst ? 2 : 7), &slowMatch = sheet.Match(twoFirst ? 7 : 2);
        QCOMPARE(fast, (QList<TTip>{fastMatch.FirstTip(), fastMatch.SecondTip(), fastMatch.FirstTip(), fastMatch.SecondTip()}));
        QCOMPARE(slow, (QList<TTip>{slowMatch.FirstTip(), slowMatch.FirstTip(), slowMatch.SecondTip(), slowMatch.SecondTip()}));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(s[i].SingleNumber, i + 1);
    }

    void tripleAfterAFiveRowTable()
    {
        const TCoveringTables t = tablesFrom("2 0 3 5\n101\n020\n112\n211\n202\n");
        TOptimizerLibrary library(t);
        TSheetOptimizer optimizer(library);
        TTipSheet sheet;
        mark(sheet, 0, 4);
        QVERIFY(optimizer.Expand(sheet, false));
        QCOMPARE(sheet.Singles().Count(), 15);
        const int rest = optimizer.Triples().size() == 1 ? optimizer.Triples()[0].MatchIndex : -1;
        QVERIFY(rest >= 0);
        const TTip order[3] = {tpHome, tpDraw, tpAway};
        for (int j = 0; j < 15; ++j) {
            QCOMPARE(sheet.Singles()[j].Tips()[size_t(rest)], order[j / 5]);
            QVERIFY(sheet.Singles()[j].SameTips(sheet.Singles()[j % 5]) || j / 5 > 0);
            for (int m = 0; m < 13; ++m)
                if (m != rest)
                    QCOMPARE(sheet.Singles()[j].Tips()[size_t(m)], sheet.Singles()[j % 5].Tips()[size_t(m)]);
        }
        QVERIFY(TSheetOptimizer::CoversAllCombinations(sheet, 2));
    }

    // The program's expansions keep their guarantee for a grid of mark patterns at each level.
    void expansionsKeepTheGuarantee_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("doubles");
        QTest::addColumn<int>("triples");
        for (int level = 2; level <= 4; ++level)
            for (auto [w, t] : std::initializer_list<std::pair<int, int>>{{0, 0}, {1, 0}, {0, 1}, {3, 0}, {0, 3}, {2, 2}, {4, 3}, {6, 0}, {0, 6}, {5, 5}, {8, 2}, {3, 8}, {0, 10}})
                QTest::addRow("level %d W%d T%d", level, w, t) << level << w << t;
    }
    void expansionsKeepTheGuarantee()
    {
        QFETCH(int, level);
        QFETCH(int, doubles);
        QFETCH(int, triples);
        TScriptedMessages messages;
        TOption option;
        option.ExpandOption.Guarantee = false;
        option.ExpandOption.Prizelevel = level;
        option.CheckWin = true;
        TTipSheet sheet;
        sheet.Option = &option;
        mark(sheet, doubles, triples);
        TSheetOptimizer optimizer;
        const qint64 estimate = optimizer.Estimate(sheet);
        QCOMPARE(qint64(sheet.Expand(false)), estimate);
        QVERIFY(TSheetOptimizer::CoversAllCombinations(sheet, level));
        QVERIFY(sheet.Probability(1) > 0);
        if (doubles + triples > 2) // a reduction, not the full set
            QVERIFY(estimate < (qint64(1) << doubles) * qint64(std::pow(3, triples)));
    }

    void checkWinFindsTheMissingCombination()
    {
        TScriptedMessages messages;
        TOption option;
        option.ExpandOption.Guarantee = false;
        option.ExpandOption.Prizelevel = 2;
        option.ExpandOption.OptimizeLevel = 0;
        option.CheckWin = true;
        TTipSheet sheet;
        sheet.Option = &option;
        mark(sheet, 1, 2);
        sheet.Match(9).SetResult({tpAway});
        int events = 0;
        sheet.Match(9).OnResultChanged = [&](TExceptMatch *) { ++events; };
        sheet.Expand(false);
        QCOMPARE(sheet.Singles().Count(), 18);
        TSheetOptimizer optimizer;
        sheet.ExpandOption.Prizelevel = 1;
        QCOMPARE(optimizer.CheckCoverage(sheet), 100.0);
        sheet.Singles().Delete(5);
        QCOMPARE(optimizer.CheckCoverage(sheet), 0.0);
        sheet.ExpandOption.Prizelevel = 2; // one miss allowed: the neighbours still win
        QVERIFY(optimizer.CheckCoverage(sheet) > 0);
        QCOMPARE(sheet.Match(9).Result(), TTips{tpAway});
        QCOMPARE(events, 0);
        QVERIFY(sheet.Match(9).OnResultChanged);
        option.CheckWin = false;
        sheet.ExpandOption.Prizelevel = 1;
        QCOMPARE(optimizer.CheckCoverage(sheet), 17.0 / 18.0 * 100.0);
    }

    void patternCutMarksInvalid()
    {
        TScriptedMessages messages;
        TOption option;
        option.ExpandOption.Guarantee = false;
        option.ExpandOption.UsePatternCut = true;
        option.ExpandOption.HomeCut = {true, false, 12, 0};
        option.ExpandOption.OptimizeLevel = 0; // every combination, to count the cut ones
        option.PatternCutWarning = false;
        TTipSheet sheet;
        sheet.Option = &option;
        mark(sheet, 0, 2);
        QCOMPARE(sheet.Expand(false), 9);
        // 11 single-marked home matches; the singles with home in both triples have 13, with one 12.
        QCOMPARE(sheet.ValidSingleCount(), 4);
        for (const TSingleSheet &s : sheet.Singles())
            QCOMPARE(s.Invalid(), s.TipCounts(tpHome) >= 12);
    }

    void badInput()
    {
        TScriptedMessages messages;
        TOption option;
        option.ExpandOption.Guarantee = false;
        TTipSheet sheet;
        sheet.Option = &option;
        mark(sheet, 2, 2);
        for (int level : {0, 5}) {
            option.ExpandOption.Prizelevel = level;
            QVERIFY_THROWS_EXCEPTION(EPelvaneError, sheet.Expand(false));
            QCOMPARE(sheet.Singles().Count(), 0);
        }
        option.ExpandOption.Prizelevel = 2;
        sheet.Match(3).SetTips({});
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, sheet.Expand(false));
        QCOMPARE(sheet.Singles().Count(), 0);
    }

    void sameSizeDifferentSingles()
    {
        // The random mapping: two expansions of one prediction, the same number of singles.
        TScriptedMessages messages;
        TOption option;
        option.ExpandOption.Guarantee = false;
        TTipSheet sheet;
        sheet.Option = &option;
        mark(sheet, 3, 5);
        const int n = sheet.Expand(false);
        const quint16 first = sheet.SinglesChecksum();
        bool differs = false;
        for (int k = 0; k < 5 && !differs; ++k) {
            QCOMPARE(sheet.Expand(false), n);
            differs = sheet.SinglesChecksum() != first;
        }
        QVERIFY(differs);
    }
};

QTEST_GUILESS_MAIN(TestOptimize)
#include "tst_optimize.moc"
