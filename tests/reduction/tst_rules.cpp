#include "lottery/UnitToTo.h"
#include "platform/IniFile.h"
#include "reduction/ExpandOption.h"
#include "reduction/PatternRules.h"

#include <QtTest>

namespace {

std::array<TTip, kMaxMatches> tipsOf(const QString &digits)
{
    std::array<TTip, kMaxMatches> t{};
    for (int i = 0; i < digits.size() && i < kMaxMatches; ++i)
        t[size_t(i)] = TTip(digits[i].digitValue());
    return t;
}

// Both evaluators on the same input.
TCutRule evaluate(const TExpandOption &rules, const TRuleContext &ctx, const QString &digits, bool perPattern)
{
    const auto tips = tipsOf(digits);
    return TPatternRuleEvaluator(rules, ctx, perPattern ? TRuleSwitches::PerPattern() : TRuleSwitches::PerSingle())
        .Evaluate(tips.data());
}

TRuleContext plainContext()
{
    TTipSheet sheet;
    return TRuleContext::FromSheet(sheet);
}

} // namespace

Q_DECLARE_METATYPE(TCutRule)

class TestRules : public QObject
{
    Q_OBJECT

private slots:
    // Each rule cuts at its bounds and not inside them, in both evaluators.
    void countRules_data()
    {
        QTest::addColumn<bool>("perPattern");
        QTest::newRow("per single") << false;
        QTest::newRow("per pattern") << true;
    }
    void countRules()
    {
        QFETCH(bool, perPattern);
        const TRuleContext ctx = plainContext();
        TExpandOption r;
        r.HomeCut = {true, false, 7, 0};
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1111111000000"), perPattern), TCutRule::HomeCut); // 7 home
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1111110000000"), perPattern), TCutRule::None);    // 6
        r.HomeCut = {false, true, 0, 2};
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1100000000000"), perPattern), TCutRule::HomeCut); // 2
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1110000000000"), perPattern), TCutRule::None);    // 3
        r.HomeCut = {};
        r.DrawCut = {true, false, 13, 0};
        QCOMPARE(evaluate(r, ctx, QStringLiteral("0000000000000"), perPattern), TCutRule::DrawCut);
        r.DrawCut = {};
        r.AwayCut = {false, true, 0, 0};
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1111111111111"), perPattern), TCutRule::AwayCut);
        r.AwayCut = {};
        r.SumCut = {true, true, 20, 3};
        QCOMPARE(evaluate(r, ctx, QStringLiteral("2222222222000"), perPattern), TCutRule::SumCut); // 20
        QCOMPARE(evaluate(r, ctx, QStringLiteral("2222222221000"), perPattern), TCutRule::None);   // 19
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1110000000000"), perPattern), TCutRule::SumCut); // 3
        QCOMPARE(evaluate(r, ctx, QStringLiteral("2200000000000"), perPattern), TCutRule::None);   // 4
    }

    void divisionDraws_data() { countRules_data(); }
    void divisionDraws()
    {
        QFETCH(bool, perPattern);
        TTipSheet sheet;
        for (int i = 0; i < 13; ++i)
            sheet.Match(i).SetDivision(i < 8 ? 1 : 2);
        const TRuleContext ctx = TRuleContext::FromSheet(sheet);
        TExpandOption r;
        r.DrawJ2Cut = {true, false, 3, 0};
        QCOMPARE(evaluate(r, ctx, QStringLiteral("0000000000011"), perPattern), TCutRule::DrawJ2Cut); // 3 J2 draws
        QCOMPARE(evaluate(r, ctx, QStringLiteral("0000000000111"), perPattern), TCutRule::None); // 2 J2 draws
        r.DrawJ1Cut = {false, true, 0, 1};
        QCOMPARE(evaluate(r, ctx, QStringLiteral("0111111111111"), perPattern), TCutRule::DrawJ1Cut);
    }

    void hdaList_data() { countRules_data(); }
    void hdaList()
    {
        QFETCH(bool, perPattern);
        const TRuleContext ctx = plainContext();
        TExpandOption r;
        r.HDACutEnable = true;
        r.SetHDACutList({QStringLiteral("634"), QStringLiteral("A12"), QStringLiteral("xyz")});
        QCOMPARE(r.HDACutValues()[2], -1);
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1111110002222"), perPattern), TCutRule::None); // 6-3-4
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1111111111022"), perPattern), TCutRule::None); // A-1-2
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1111111111002"), perPattern), TCutRule::HDACutList);
        r.SetHDACutList({});
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1111110002222"), perPattern), TCutRule::HDACutList);
    }

    void priceRule_data() { countRules_data(); }
    void priceRule()
    {
        QFETCH(bool, perPattern);
        TTipSheet sheet;
        sheet.SetNumber(300);
        for (int i = 0; i < 13; ++i) {
            sheet.SetVoteCount(i, tpHome, 1);
            sheet.SetVoteCount(i, tpDraw, 1);
            sheet.SetVoteCount(i, tpAway, 0);
        }
        TExpandOption r;
        // Price of all-home: 35 / 0.5^13 = 286720.
        r.WinPriceCut = {false, true, 0, 286720};
        TRuleContext ctx = TRuleContext::FromSheet(sheet);
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1111111111111"), perPattern), TCutRule::None); // no date yet
        sheet.SetOddsDate(DateTime::encodeDate(2004, 3, 6));
        ctx = TRuleContext::FromSheet(sheet);
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1111111111111"), perPattern), TCutRule::None); // the bound itself stays
        r.WinPriceCut = {false, true, 0, 286721};
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1111111111111"), perPattern), TCutRule::WinPriceCut);
        r.WinPriceCut = {true, false, 286720, 0};
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1111111111111"), perPattern), TCutRule::None);
        // An away pick at rate 0 gives price 0.
        r.WinPriceCut = {false, true, 0, 1};
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1111111111112"), perPattern), TCutRule::WinPriceCut);
    }

    // The three documented differences between the evaluators.
    void priceDifference()
    {
        TTipSheet sheet;
        sheet.SetTotoType(ttMiniA);
        sheet.SetNumber(100); // before round 156: B = 47
        for (int i = 0; i < 5; ++i) {
            sheet.SetVoteCount(i, tpHome, 1);
            sheet.SetVoteCount(i, tpDraw, 1);
        }
        sheet.Match(4).SetCalledOff(true);
        const TRuleContext ctx = TRuleContext::FromSheet(sheet);
        const auto tips = tipsOf(QStringLiteral("11111"));
        TExpandOption r;
        // Per single: called-off match left out, numerator 50: 50 / 0.5^4 = 800.
        QCOMPARE(TPatternRuleEvaluator(r, ctx, TRuleSwitches::PerSingle()).Price(tips.data()), qint64(800));
        // Per pattern: every match in the product, numerator 47: 47 / 0.5^5 = 1504.
        QCOMPARE(TPatternRuleEvaluator(r, ctx, TRuleSwitches::PerPattern()).Price(tips.data()), qint64(1504));
        TRuleSwitches onlyPrice;
        onlyPrice.priceOverAllMatches = true;
        QCOMPARE(TPatternRuleEvaluator(r, ctx, onlyPrice).Price(tips.data()), qint64(1504));
    }

    void upsetDifference()
    {
        TTipSheet sheet;
        sheet.SetOddsDate(1);
        // Match 0: 60/40/0, an away-free match; a draw pick there is below home.
        sheet.SetVoteCount(0, tpHome, 60);
        sheet.SetVoteCount(0, tpDraw, 40);
        for (int i = 1; i < 13; ++i) {
            sheet.SetVoteCount(i, tpHome, 50);
            sheet.SetVoteCount(i, tpDraw, 30);
            sheet.SetVoteCount(i, tpAway, 20);
        }
        const TRuleContext ctx = TRuleContext::FromSheet(sheet);
        const auto tips = tipsOf(QStringLiteral("0111111111111"));
        TExpandOption r;
        QCOMPARE(TPatternRuleEvaluator(r, ctx, TRuleSwitches::PerSingle()).Upsets(tips.data())[0], 0);
        QCOMPARE(TPatternRuleEvaluator(r, ctx, TRuleSwitches::PerPattern()).Upsets(tips.data())[0], 1);
        r.BackfireCut = {true, false, 1, 0};
        QCOMPARE(TPatternRuleEvaluator(r, ctx, TRuleSwitches::PerSingle()).Evaluate(tips.data()), TCutRule::None);
        QCOMPARE(TPatternRuleEvaluator(r, ctx, TRuleSwitches::PerPattern()).Evaluate(tips.data()), TCutRule::BackfireCut);
    }

    void missDifferenceAndFavourite()
    {
        TTipSheet sheet;
        for (int i = 0; i < 12; ++i)
            sheet.Match(i).SetResult({tpHome});
        TExpandOption r;
        r.FavoriteCut = {true, false, 3, 0};
        const auto tips = tipsOf(QStringLiteral("2221111111111"));
        {
            const TRuleContext ctx = TRuleContext::FromSheet(sheet);
            // No effect until every match has a result.
            QCOMPARE(TPatternRuleEvaluator(r, ctx, TRuleSwitches::PerSingle()).Evaluate(tips.data()), TCutRule::None);
        }
        sheet.Match(12).SetCalledOff(true);
        const TRuleContext ctx = TRuleContext::FromSheet(sheet);
        TPatternRuleEvaluator single(r, ctx, TRuleSwitches::PerSingle());
        TPatternRuleEvaluator pattern(r, ctx, TRuleSwitches::PerPattern());
        QCOMPARE(single.Misses(tips.data()), 3);  // the called-off match is a hit
        QCOMPARE(pattern.Misses(tips.data()), 4); // and a miss here
        QCOMPARE(single.Evaluate(tips.data()), TCutRule::FavoriteCut);
        const auto two = tipsOf(QStringLiteral("2211111111111"));
        QCOMPARE(single.Evaluate(two.data()), TCutRule::None);
        QCOMPARE(pattern.Evaluate(two.data()), TCutRule::FavoriteCut);
    }

    void groupedPicks_data() { countRules_data(); }
    void groupedPicks()
    {
        QFETCH(bool, perPattern);
        const TRuleContext ctx = plainContext();
        TExpandOption r;
        r.IssueCutEnable = true;
        r.IssueCut[0][tpHome] = u'A';
        r.IssueCut[1][tpHome] = u'A';
        r.IssueCut[5][tpAway] = u'B'; // a group of one never cuts
        r.IssueCutType = {1, 3, 1, 1};
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1100000000000"), perPattern), TCutRule::IssueCut);
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1000000000000"), perPattern), TCutRule::None);
        QCOMPARE(evaluate(r, ctx, QStringLiteral("0000020000000"), perPattern), TCutRule::None);
        r.IssueCutType[0] = 2;
        QCOMPARE(evaluate(r, ctx, QStringLiteral("0000000000000"), perPattern), TCutRule::IssueCut);
        QCOMPARE(evaluate(r, ctx, QStringLiteral("1000000000000"), perPattern), TCutRule::None);
        r.IssueCutType[0] = 0;
        QCOMPARE(evaluate(r, ctx, QStringLiteral("0000000000000"), perPattern), TCutRule::None);
    }

    void orderDiffersVerdictDoesNot()
    {
        TTipSheet sheet;
        sheet.SetOddsDate(1);
        for (int i = 0; i < 13; ++i)
            sheet.SetVoteCount(i, tpHome, 1);
        const TRuleContext ctx = TRuleContext::FromSheet(sheet);
        TExpandOption r;
        r.HomeCut = {true, false, 13, 0};
        r.WinPriceCut = {false, true, 0, 1000000};
        const auto tips = tipsOf(QStringLiteral("1111111111111"));
        TRuleSwitches library = TRuleSwitches::PerSingle();
        TRuleSwitches guarantee = library;
        guarantee.guaranteeOrder = true;
        QCOMPARE(TPatternRuleEvaluator(r, ctx, library).Evaluate(tips.data()), TCutRule::HomeCut);
        QCOMPARE(TPatternRuleEvaluator(r, ctx, guarantee).Evaluate(tips.data()), TCutRule::WinPriceCut);
    }

    void iniRoundTrip()
    {
        TExpandOption r;
        r.Prizelevel = 4;
        r.OptimizeLevel = 55;
        r.Guarantee = false;
        r.UsePatternCut = true;
        r.HomeCut = {true, true, 9, 1};
        r.BackfireJ2Cut = {true, false, 4, 0};
        r.FavoriteCut = {true, false, 2, 0};
        r.SetHDACutList({QStringLiteral("634"), QStringLiteral("A12")});
        r.HDACutEnable = true;
        r.IssueCutEnable = true;
        r.IssueCut[0][tpHome] = u'A';
        r.IssueCut[12][tpAway] = u'D';
        r.IssueCutType = {1, 2, 3, 0};
        TIniFile ini(TIniFile::TMode::Memory);
        r.SaveToIni(ini);
        QCOMPARE(ini.readString(QStringLiteral("PatternCut"), QStringLiteral("HDACutList")), QStringLiteral("634,A12"));
        QCOMPARE(ini.readString(QStringLiteral("PatternCut"), QStringLiteral("IssueCutType")), QStringLiteral("1, 2, 3, 0"));
        QVERIFY(ini.toText().contains(QStringLiteral("\r\nIssueCut1=A,  ,  \r\n")));
        QVERIFY(ini.toText().contains(QStringLiteral("\r\nBackFireJ2MoreThan=4\r\n")));
        TExpandOption back;
        back.LoadFromIni(ini);
        QVERIFY(back.SameAs(r));
        back.IssueCut[0][tpHome] = QChar();
        QVERIFY(!back.SameAs(r));
    }

    void readingDefaults()
    {
        TExpandOption r;
        r.HDACutEnable = true;
        r.SetHDACutList({QStringLiteral("111")});
        r.HomeCut = {true, false, 5, 0};
        r.IssueCutType = {2, 2, 2, 2};
        TIniFile ini;
        ini.loadFromBytes("[PatternCut]\r\nHomeMoreThan=8\r\nIssueCutType=3, x\r\nIssueCut2=E, b, C\r\n");
        r.LoadFromIni(ini);
        QCOMPARE(r.HomeCut.MoreThan, 8);
        QVERIFY(r.HomeCut.MoreThanEnable); // missing keys keep the value
        QVERIFY(r.HDACutList().isEmpty()); // but the list and the switches default to empty/off
        QVERIFY(!r.HDACutEnable);
        QCOMPARE(r.IssueCutType, (std::array<quint8, 4>{3, 0, 2, 2}));
        QCOMPARE(r.IssueCut[1][tpAway], QChar(u'C'));
        QCOMPARE(r.IssueCut[1][tpHome], QChar()); // E is no group
        QCOMPARE(r.IssueCut[1][tpDraw], QChar()); // lower case is no group
    }

    void summary()
    {
        TExpandOption r;
        QCOMPARE(r.Summary(), QStringLiteral("【抽出条件：なし】\r\n"));
        r.UsePatternCut = true;
        r.HomeCut = {true, true, 7, 2};
        r.WinPriceCut = {false, true, 0, 1000000};
        r.HDACutEnable = true;
        r.SetHDACutList({QStringLiteral("634")});
        r.FavoriteCut = {true, false, 3, 0};
        QCOMPARE(r.Summary(), QStringLiteral("【抽出条件】\r\n"
                                             "ホーム勝ち　 :  3～ 6\r\n"
                                             "1等賞金　　  : 1,000,000～\r\n"
                                             "HDA指定　　  : H6D3A4   , \r\n"
                                             "本命予想　　 : ～2\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
