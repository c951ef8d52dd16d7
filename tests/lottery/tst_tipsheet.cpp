#include "lottery/UnitToTo.h"
#include "platform/EventPump.h"
#include "platform/PelvaneError.h"
#include "platform/Progress.h"
#include "reduction/ExpansionEngines.h"
#include "settings/UnitOption.h"
#include "support/ScriptedMessages.h"

#include <QtTest>

namespace {

void markAll(TTipSheet &sheet, TTips tips)
{
    for (int i = 0; i < sheet.MaxMatch(); ++i)
        sheet.Match(i).SetTips(tips);
}

struct RecordingGauge : TProgressSink
{
    int starts = 0, ends = 0, last = 0, max = 0;
    void start(int m, int, int) override { ++starts; max = m; }
    void stepIt() override { ++last; }
    void setPosition(int p) override { last = p; }
    void end() override { ++ends; }
};

// A guarantee engine that records how it was called.
struct FakeGuarantee : TGuaranteeEngine
{
    bool *ran;
    explicit FakeGuarantee(bool *r) : ran(r) {}
    void Run(TTipSheet &sheet, bool, bool) override
    {
        *ran = true;
        sheet.Singles().Add(TSingleSheet(&sheet, 1));
    }
};

struct Engines : TExpansionEngines
{
    bool guaranteeRan = false;
    std::unique_ptr<TGuaranteeEngine> CreateGuaranteeEngine() override { return std::make_unique<FakeGuarantee>(&guaranteeRan); }
    std::unique_ptr<TLibraryEngine> CreateLibraryEngine() override { return DefaultExpansionEngines().CreateLibraryEngine(); }
};

} // namespace

class TestTipSheet : public QObject
{
    Q_OBJECT

private slots:
    void defaults()
    {
        TTipSheet sheet;
        QCOMPARE(sheet.TotoType(), ttToto);
        QCOMPARE(sheet.MaxMatch(), 13);
        QCOMPARE(sheet.Number(), 1154);
        QCOMPARE(sheet.MultiPrize(), -1);
        QVERIFY(sheet.UseOfficialOdds());
        for (int i = 0; i < 4; ++i)
            QCOMPARE(sheet.Probability(i), -1.0);
        QCOMPARE(sheet.FileName(), QStringLiteral("toto1154.tot"));
        for (int i = 0; i < kMaxMatches; ++i)
            QCOMPARE(sheet.Match(i).Index(), i);
    }

    void defaultFileName_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        QTest::newRow("toto 12") << 0 << 12 << "toto012.tot";
        QTest::newRow("mini A 345") << 1 << 345 << "totoA345.tot";
        QTest::newRow("mini B 1154") << 2 << 1154 << "totoB1154.tot";
    }
    void defaultFileName()
    {
        QFETCH(int, type);
        QFETCH(int, number);
        QFETCH(QString, name);
        TTipSheet sheet;
        sheet.SetTotoType(TTotoType(type));
        sheet.SetNumber(number);
        QCOMPARE(sheet.DefaultFileName(), name);
        sheet.SetFileName(QStringLiteral("/x/mine.tot"));
        QCOMPARE(sheet.FileName(), QStringLiteral("/x/mine.tot"));
    }

    void notificationsOnlyOnChange()
    {
        TTipSheet sheet;
        int type = 0, number = 0, file = 0;
        sheet.OnTotoTypeChange = [&](TTipSheet *) { ++type; };
        sheet.OnNumberChange = [&](TTipSheet *) { ++number; };
        sheet.OnFileNameChange = [&](TTipSheet *) { ++file; };
        sheet.SetTotoType(ttToto);
        sheet.SetNumber(1154);
        sheet.SetFileName(QString());
        QCOMPARE(type + number + file, 0);
        sheet.SetTotoType(ttMiniA);
        QCOMPARE(sheet.MaxMatch(), 5);
        sheet.SetNumber(400);
        sheet.SetFileName(QStringLiteral("a.tot"));
        QCOMPARE(type, 1);
        QCOMPARE(number, 1);
        QCOMPARE(file, 1);
    }

    void updateNestingHoldsProbabilityEvents()
    {
        TTipSheet sheet;
        QList<QPair<int, double>> events;
        sheet.OnProbabilityChange = [&](TTipSheet *, int i, double v) { events.append({i, v}); };
        sheet.SetProbability(2, 150);
        QCOMPARE(sheet.Probability(2), 100.0); // stored capped
        QCOMPARE(events, (QList<QPair<int, double>>{{2, 150.0}})); // reported uncapped
        events.clear();

        sheet.BeginUpdate();
        sheet.BeginUpdate();
        sheet.SetProbability(1, 40);
        sheet.EndUpdate();
        QVERIFY(events.isEmpty());
        sheet.EndUpdate();
        QCOMPARE(events.size(), 4); // once per index at the outermost end
        QCOMPARE(events[1], (QPair<int, double>{1, 40.0}));
        sheet.EndUpdate(); // an extra end is harmless
        QVERIFY(!sheet.Updating());
    }

    void updateGuardBalancesOnErrors()
    {
        TTipSheet sheet;
        try {
            TUpdateGuard guard(sheet);
            QVERIFY(sheet.Updating());
            throw EPelvaneError(QStringLiteral("boom"));
        } catch (const EPelvaneError &) {
        }
        QVERIFY(!sheet.Updating());
    }

    void multiPrize_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("misses");
        QTest::addColumn<bool>("allResults");
        QTest::addColumn<int>("prize");
        QTest::newRow("toto all hit") << 0 << 300 << 0 << true << 1;
        QTest::newRow("toto one miss") << 0 << 300 << 1 << true << 2;
        QTest::newRow("toto two misses") << 0 << 300 << 2 << true << 3;
        QTest::newRow("toto two misses round 200") << 0 << 200 << 2 << true << 0;
        QTest::newRow("toto three misses, results open") << 0 << 300 << 3 << false << 0;
        QTest::newRow("toto results open") << 0 << 300 << 0 << false << -1;
        QTest::newRow("mini one miss") << 1 << 300 << 1 << true << 0;
        QTest::newRow("mini all hit") << 2 << 300 << 0 << true << 1;
    }
    void multiPrize()
    {
        QFETCH(int, type);
        QFETCH(int, round);
        QFETCH(int, misses);
        QFETCH(bool, allResults);
        QFETCH(int, prize);
        TTipSheet sheet;
        sheet.SetTotoType(TTotoType(type));
        sheet.SetNumber(round);
        markAll(sheet, {tpHome, tpDraw});
        const int withResult = allResults ? sheet.MaxMatch() : sheet.MaxMatch() - 1;
        for (int i = 0; i < withResult; ++i)
            sheet.Match(i).SetResult(i < misses ? TTips{tpAway} : TTips{tpHome});
        QCOMPARE(sheet.MultiPrize(), prize);
        QCOMPARE(sheet.MultiMissCount(), misses);
        QCOMPARE(sheet.MultiHitCount(), withResult - misses);
    }

    void multiPrizeNeedsEveryMark()
    {
        TTipSheet sheet;
        sheet.SetNumber(300);
        markAll(sheet, {tpHome});
        sheet.Match(12).SetTips({});
        for (int i = 0; i < 13; ++i)
            sheet.Match(i).SetResult({tpHome});
        QCOMPARE(sheet.MultiPrize(), -1);
    }

    void markCountsAndPrice()
    {
        TTipSheet sheet;
        markAll(sheet, {tpHome});
        sheet.Match(0).SetTips({tpHome, tpDraw});
        sheet.Match(1).SetTips({tpHome, tpDraw, tpAway});
        sheet.Match(2).SetTips({tpHome, tpDraw, tpAway});
        QCOMPARE(sheet.SingleMarkCount(), 10);
        QCOMPARE(sheet.DoubleCount(), 1);
        QCOMPARE(sheet.TripleCount(), 2);
        QCOMPARE(sheet.MultiPrice(), qint64(100 * 2 * 9));
    }

    void expandEveryMatchSingleMarked()
    {
        TScriptedMessages messages;
        TOption option;
        option.ExpandOption.Guarantee = false;
        TTipSheet sheet;
        sheet.Option = &option;
        markAll(sheet, {tpAway});
        QCOMPARE(sheet.Expand(false), 1);
        QCOMPARE(sheet.Singles()[0].TipCounts(tpAway), 13);
        QCOMPARE(sheet.Singles()[0].SingleNumber, 1);
        QCOMPARE(sheet.Probability(1), 100.0);
        QCOMPARE(sheet.AbortState(), TTipSheet::TAbortState::Idle);
    }

    void expandFullMarksDrivesTheGauge()
    {
        TScriptedMessages messages;
        TOption option;
        option.ExpandOption.Guarantee = false;
        option.ExpandOption.OptimizeLevel = 0; // no table: every combination
        TTipSheet sheet;
        sheet.Option = &option;
        markAll(sheet, {tpHome});
        sheet.Match(0).SetTips({tpHome, tpAway});
        for (int i = 1; i <= 5; ++i)
            sheet.Match(i).SetTips(TTips::all());
        RecordingGauge gauge;
        QCOMPARE(sheet.Expand(false, &gauge), 2 * 243);
        QCOMPARE(gauge.starts, 1);
        QCOMPARE(gauge.max, 486);
        QCOMPARE(gauge.ends, 1);
        // Every combination once, numbered by creation.
        QSet<quint32> codes;
        for (int i = 0; i < sheet.Singles().Count(); ++i) {
            QCOMPARE(sheet.Singles()[i].SingleNumber, i + 1);
            codes.insert(TipsCode(sheet.Singles()[i].Tips(), 13));
        }
        QCOMPARE(codes.size(), 486);
        QVERIFY(messages.asked.isEmpty());
    }

    void expandWithAnUnmarkedMatchFails()
    {
        TScriptedMessages messages;
        TOption option;
        TTipSheet sheet;
        sheet.Option = &option;
        markAll(sheet, {tpHome});
        sheet.Singles().Add(TSingleSheet(&sheet, 1));
        sheet.Match(6).SetTips({});
        try {
            sheet.Expand(false);
            QFAIL("an unmarked match must stop the expansion");
        } catch (const EPelvaneError &e) {
            QCOMPARE(e.message(), QStringLiteral("全ての試合にマークを付けて下さい"));
        }
        QCOMPARE(sheet.Singles().Count(), 1); // untouched
        QCOMPARE(sheet.AbortState(), TTipSheet::TAbortState::Idle);
    }

    void expansionSizeWarning_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("singles");
        QTest::newRow("yes expands") << int(mbYes) << 729;
        QTest::newRow("no keeps the old singles") << int(mbNo) << 1;
    }
    void expansionSizeWarning()
    {
        QFETCH(int, answer);
        QFETCH(int, singles);
        TScriptedMessages messages;
        messages.answer(TMsgDlgBtn(answer));
        TOption option;
        option.ExpandOption.Guarantee = false;
        option.ExpandOption.OptimizeLevel = 0;
        option.ExpandWarning = true;
        TTipSheet sheet;
        sheet.Option = &option;
        sheet.Singles().Add(TSingleSheet(&sheet, 1));
        markAll(sheet, {tpHome});
        for (int i = 0; i < 6; ++i)
            sheet.Match(i).SetTips(TTips::all());
        QCOMPARE(sheet.Expand(false), singles);
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(messages.asked[0].text,
                 QStringLiteral("この予想を展開すると、展開数が729以上になり、\r\n展開に時間がかかるかも知れません。\r\n\r\n展開を続けていいですか？"));
        QCOMPARE(messages.asked[0].type, TMsgDlgType::mtWarning);
    }

    void abortDuringExpansion()
    {
        TScriptedMessages messages;
        messages.answer(mbYes); // "展開を中止しますか？"
        TOption option;
        option.ExpandOption.Guarantee = false;
        TTipSheet sheet;
        sheet.Option = &option;
        markAll(sheet, TTips::all());
        QList<TTipSheet::TAbortState> states;
        sheet.OnAbortStateChange = [&](TTipSheet *, TTipSheet::TAbortState s) { states.append(s); };
        int pumps = 0;
        SetEventPump([&] {
            if (++pumps == 3)
                sheet.SetKeyAbort(true);
        });
        try {
            sheet.Expand(false);
            QFAIL("a stop request must end the expansion");
        } catch (const EPelvaneError &e) {
            QCOMPARE(e.message(), QStringLiteral("ユーザー操作により展開を中止しました"));
        }
        SetEventPump({});
        QCOMPARE(sheet.Singles().Count(), 0);
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(messages.asked[0].text, QStringLiteral("展開を中止しますか？"));
        QCOMPARE(messages.asked[0].focused, mbNo);
        QCOMPARE(states, (QList<TTipSheet::TAbortState>{TTipSheet::TAbortState::Running,
                                                         TTipSheet::TAbortState::AbortRequested,
                                                         TTipSheet::TAbortState::Idle}));
    }

    void abortQuestionAnsweredNo()
    {
        TScriptedMessages messages;
        messages.answer(mbNo);
        TTipSheet sheet;
        sheet.SetKeyAbort(true);
        QVERIFY(!sheet.KeyAbort());
    }

    void guaranteeModeUsesItsEngine_data()
    {
        QTest::addColumn<bool>("guarantee");
        QTest::addColumn<int>("prizeLevel");
        QTest::addColumn<bool>("usesGuarantee");
        QTest::newRow("guarantee on") << true << 2 << true;
        QTest::newRow("level 1 always guarantees") << false << 1 << true;
        QTest::newRow("library") << false << 2 << false;
    }
    void guaranteeModeUsesItsEngine()
    {
        QFETCH(bool, guarantee);
        QFETCH(int, prizeLevel);
        QFETCH(bool, usesGuarantee);
        TScriptedMessages messages;
        TOption option;
        option.ExpandOption.Guarantee = guarantee;
        option.ExpandOption.Prizelevel = prizeLevel;
        option.ExpandOption.OptimizeLevel = 0;
        Engines engines;
        TTipSheet sheet;
        sheet.Option = &option;
        sheet.SetEngines(&engines);
        markAll(sheet, {tpHome, tpDraw});
        sheet.Expand(false);
        QCOMPARE(engines.guaranteeRan, usesGuarantee);
        QCOMPARE(sheet.Singles().Count(), usesGuarantee ? 1 : 8192);
        QCOMPARE(sheet.ExpandOption.Prizelevel, prizeLevel); // the settings are copied in
    }

    void patternCutWarningRefused()
    {
        TScriptedMessages messages;
        TOption option;
        option.ExpandOption.Guarantee = false;
        option.ExpandOption.UsePatternCut = true;
        TTipSheet sheet;
        sheet.Option = &option;
        bool asked = false;
        sheet.OnConfirmPatternCut = [&](TTipSheet *) { asked = true; return false; };
        markAll(sheet, {tpHome});
        QCOMPARE(sheet.Expand(false), 0);
        QVERIFY(asked);
    }

    void autoExpandNeedsResults()
    {
        TScriptedMessages messages;
        TOption option;
        option.ExpandOption.Guarantee = false;
        TTipSheet sheet;
        sheet.Option = &option;
        markAll(sheet, {tpHome});
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, sheet.Expand(true));
        try {
            sheet.Expand(true);
        } catch (const EPelvaneError &e) {
            QCOMPARE(e.message(), QStringLiteral("自動展開するには、対戦結果を先に入力する  \r\n必要があります"));
        }
    }

    void clearKeepsTheCard()
    {
        TTipSheet sheet;
        sheet.Match(0).SetTips({tpHome});
        sheet.Singles().Add(TSingleSheet(&sheet, 1));
        sheet.OfficialOdds().SetVotes(0, tpHome, 10);
        sheet.Dividend(1).Money = 5000000000LL;
        sheet.SetProbability(1, 20);
        sheet.Clear();
        QCOMPARE(sheet.Singles().Count(), 0);
        QCOMPARE(sheet.VoteCount(0, tpHome), 0);
        QCOMPARE(sheet.Dividend(1).Money, qint64(0));
        QCOMPARE(sheet.Probability(1), -1.0);
        QCOMPARE(sheet.Match(0).Tips(), TTips{tpHome});
    }

    void assignCopiesCardSinglesAndProbabilities()
    {
        TTipSheet a;
        a.SetTotoType(ttMiniB);
        a.SetNumber(500);
        a.SetFileName(QStringLiteral("a.tot"));
        a.Match(2).SetTips({tpAway});
        TSingleSheet s(&a, 7);
        TTip tips[5] = {tpHome, tpAway, tpAway, tpDraw, tpHome};
        s.SetTips(tips, 5);
        a.Singles().Add(s).SetInvalid(true);
        a.SetProbability(3, 12.5);
        a.OfficialOdds().SetVotes(0, tpHome, 3);

        TTipSheet b;
        a.AssignTo(b);
        QCOMPARE(b.TotoType(), ttMiniB);
        QCOMPARE(b.Number(), 500);
        QCOMPARE(b.StoredFileName(), QString()); // not copied
        QCOMPARE(b.Match(2).Tips(), TTips{tpAway});
        QCOMPARE(b.Singles().Count(), 1);
        QCOMPARE(b.Singles()[0].TipSheet, &b);
        QVERIFY(b.Singles()[0].SameTips(a.Singles()[0]));
        QVERIFY(b.Singles()[0].Invalid());
        QCOMPARE(b.Singles()[0].SingleNumber, 7);
        QCOMPARE(b.Probability(3), 12.5);
        QCOMPARE(b.VoteCount(0, tpHome), 0); // vote tables are not copied
    }

    void singleDeletedFlag()
    {
        TTipSheet sheet;
        int events = 0;
        sheet.OnSingleDeletedChange = [&](TTipSheet *) { ++events; };
        int redraws = 0;
        sheet.OnSingleInvalidChange = [&](TTipSheet *, TSingleSheet &) { ++redraws; };
        sheet.Singles().Add(TSingleSheet(&sheet, 1));
        sheet.Singles()[0].SetInvalid(true);
        QCOMPARE(redraws, 1);
        QCOMPARE(events, 1);
        QVERIFY(sheet.HasDeletedSingles());
        sheet.BeginUpdate();
        sheet.SetSingleDeleted(true); // nothing at all while updating
        sheet.EndUpdate();
        QVERIFY(!sheet.SingleDeleted());
        sheet.Singles()[0].SetInvalid(false);
        QVERIFY(!sheet.HasDeletedSingles());
        QCOMPARE(sheet.ValidSingleCount(), 1);
    }
};

QTEST_GUILESS_MAIN(TestTipSheet)
#include "tst_tipsheet.moc"
