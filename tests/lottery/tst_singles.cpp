#include "lottery/UnitToTo.h"
#include "platform/PelvaneError.h"
#include "shell/UnitTypes.h"
#include "support/ScriptedMessages.h"

#include "support/Files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace {

TSingleSheet makeSingle(TTipSheet &sheet, int number, const QString &digits, bool invalid = false)
{
    TSingleSheet s(&sheet, number);
    TTip tips[kMaxMatches];
    for (int i = 0; i < digits.size(); ++i)
        tips[i] = TTip(digits[i].digitValue());
    s.SetTips(tips, int(digits.size()));
    s.SetInvalid(invalid);
    return s;
}

QString digitsOf(const TSingleSheet &s, int n)
{
    QString d;
    for (int i = 0; i < n; ++i)
        d.append(TipDigit(s.Tips()[size_t(i)]));
    return d;
}

QStringList order(const TTipSheet &sheet)
{
    QStringList out;
    for (const TSingleSheet &s : sheet.Singles())
        out.append(QString::number(s.SingleNumber));
    return out;
}

} // namespace

class TestSingles : public QObject
{
    Q_OBJECT

private slots:
    void tipIndexOverflow()
    {
        TTipSheet sheet;
        sheet.SetTotoType(ttMiniA);
        TSingleSheet s(&sheet, 1);
        s.SetTip(4, tpAway);
        QCOMPARE(s.TipCounts(tpAway), 1);
        QCOMPARE(s.TipCounts(tpDraw), 4);
        for (int bad : {5, -1}) {
            try {
                s.SetTip(bad, tpHome);
                QFAIL("out of range");
            } catch (const EPelvaneError &e) {
                QCOMPARE(e.message(), QStringLiteral("GetTip : Index over flow"));
            }
        }
    }

    void prizeOfASingle_data()
    {
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("misses");
        QTest::addColumn<int>("results");
        QTest::addColumn<int>("prize");
        QTest::newRow("all hit") << 300 << 0 << 13 << 1;
        QTest::newRow("one miss") << 300 << 1 << 13 << 2;
        QTest::newRow("two misses round 300") << 300 << 2 << 13 << 3;
        QTest::newRow("two misses round 200") << 200 << 2 << 13 << 0;
        QTest::newRow("two misses, results open") << 300 << 2 << 12 << -1;
        QTest::newRow("three misses, results open") << 300 << 3 << 5 << 0;
        QTest::newRow("nothing in") << 300 << 0 << 0 << -1;
    }
    void prizeOfASingle()
    {
        QFETCH(int, round);
        QFETCH(int, misses);
        QFETCH(int, results);
        QFETCH(int, prize);
        TTipSheet sheet;
        sheet.SetNumber(round);
        for (int i = 0; i < results; ++i)
            sheet.Match(i).SetResult(i < misses ? TTips{tpAway} : TTips{tpHome});
        TSingleSheet s = makeSingle(sheet, 1, QStringLiteral("1111111111111"));
        QCOMPARE(s.Prize(), prize);
        QCOMPARE(s.MissCount(), misses);
    }

    void calledOffIsAHitForEverySingle()
    {
        TTipSheet sheet;
        sheet.SetTotoType(ttMiniA);
        for (int i = 0; i < 5; ++i)
            sheet.Match(i).SetResult({tpHome});
        sheet.Match(2).SetCalledOff(true);
        TSingleSheet s = makeSingle(sheet, 1, QStringLiteral("11211"));
        QCOMPARE(s.Prize(), 1);
        TSingleSheet miss = makeSingle(sheet, 2, QStringLiteral("21111"));
        QCOMPARE(miss.Prize(), 0);
        QCOMPARE(TSingleSheet().Prize(), -1);
    }

    void sortKindZero()
    {
        TTipSheet sheet;
        sheet.Singles().Add(makeSingle(sheet, 1, QStringLiteral("2222222222222")));
        sheet.Singles().Add(makeSingle(sheet, 2, QStringLiteral("1000000000000")));
        sheet.Singles().Add(makeSingle(sheet, 3, QStringLiteral("0222222222222")));
        sheet.Singles().SortBy(0, false, false);
        QCOMPARE(order(sheet), (QStringList{"3", "2", "1"}));
        sheet.Singles().SortBy(0, true, false);
        QCOMPARE(order(sheet), (QStringList{"1", "2", "3"}));
    }

    void sortKinds_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("reverse");
        QTest::addColumn<bool>("invalidLast");
        QTest::addColumn<QStringList>("expected");
        // 1: 11111 (invalid)  2: 00000  3: 22211  4: 10200  5: 11111
        QTest::newRow("hits, larger first") << 1 << false << false << QStringList{"1", "5", "3", "4", "2"};
        QTest::newRow("home count, then draw, then away") << 2 << false << false << QStringList{"1", "5", "3", "4", "2"};
        QTest::newRow("draw count") << 3 << false << false << QStringList{"2", "4", "1", "5", "3"};
        QTest::newRow("away count") << 4 << false << false << QStringList{"3", "4", "1", "5", "2"};
        QTest::newRow("number only") << 5 << false << false << QStringList{"1", "2", "3", "4", "5"};
        QTest::newRow("number only reversed") << 5 << true << false << QStringList{"5", "4", "3", "2", "1"};
        QTest::newRow("invalid after valid") << 7 << false << false << QStringList{"2", "3", "4", "5", "1"};
        QTest::newRow("invalid last beats reverse") << 5 << true << true << QStringList{"5", "4", "3", "2", "1"};
        QTest::newRow("invalid last with hits reversed") << 1 << true << true << QStringList{"2", "4", "3", "5", "1"};
    }
    void sortKinds()
    {
        QFETCH(int, kind);
        QFETCH(bool, reverse);
        QFETCH(bool, invalidLast);
        QFETCH(QStringList, expected);
        TTipSheet sheet;
        sheet.SetTotoType(ttMiniA);
        for (int i = 0; i < 5; ++i)
            sheet.Match(i).SetResult({tpHome});
        sheet.Singles().Add(makeSingle(sheet, 1, QStringLiteral("11111"), true));
        sheet.Singles().Add(makeSingle(sheet, 2, QStringLiteral("00000")));
        sheet.Singles().Add(makeSingle(sheet, 3, QStringLiteral("22211")));
        sheet.Singles().Add(makeSingle(sheet, 4, QStringLiteral("10200")));
        sheet.Singles().Add(makeSingle(sheet, 5, QStringLiteral("11111")));
        sheet.Singles().SortBy(kind, reverse, invalidLast);
        QCOMPARE(order(sheet), expected);
    }

    void sortByWinPriceAndUpsets()
    {
        TTipSheet sheet;
        sheet.SetTotoType(ttMiniA);
        sheet.SetNumber(300);
        for (int i = 0; i < 5; ++i) {
            sheet.OfficialOdds().SetVotes(i, tpHome, 50);
            sheet.OfficialOdds().SetVotes(i, tpDraw, 30);
            sheet.OfficialOdds().SetVotes(i, tpAway, 20);
        }
        sheet.Singles().Add(makeSingle(sheet, 1, QStringLiteral("11111"))); // favourite everywhere
        sheet.Singles().Add(makeSingle(sheet, 2, QStringLiteral("22222"))); // five away upsets
        sheet.Singles().Add(makeSingle(sheet, 3, QStringLiteral("00011"))); // three draw upsets
        sheet.Singles().SortBy(6, false, false);
        QCOMPARE(order(sheet), (QStringList{"2", "3", "1"}));
        QCOMPARE(sheet.Singles()[0].WinPrice(), qint64(RoundHalfAway(50.0 / std::pow(0.2, 5))));
        sheet.Singles().SortBy(8, false, false); // away/home upsets first
        QCOMPARE(order(sheet), (QStringList{"2", "3", "1"}));
        QCOMPARE(sheet.Singles()[1].DrawUpsets(0), 3);
        QCOMPARE(sheet.Singles()[1].WinUpsets(0), 0);
        sheet.Singles().SortBy(9, false, false);
        QCOMPARE(order(sheet), (QStringList{"2", "3", "1"}));
    }

    void removeDuplicates_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("removed");
        QTest::addColumn<QStringList>("left");
        QTest::newRow("yes") << int(mbYes) << 2 << QStringList{"1", "2"};
        QTest::newRow("no") << int(mbNo) << 0 << QStringList{"1", "2", "3", "4"};
    }
    void removeDuplicates()
    {
        QFETCH(int, answer);
        QFETCH(int, removed);
        QFETCH(QStringList, left);
        TScriptedMessages messages;
        messages.answer(TMsgDlgBtn(answer));
        TTipSheet sheet;
        sheet.Singles().Add(makeSingle(sheet, 1, QStringLiteral("1111111111111")));
        sheet.Singles().Add(makeSingle(sheet, 2, QStringLiteral("2111111111111")));
        sheet.Singles().Add(makeSingle(sheet, 3, QStringLiteral("1111111111111")));
        sheet.Singles().Add(makeSingle(sheet, 4, QStringLiteral("1111111111111")));
        QCOMPARE(sheet.RemoveDuplicates(), removed);
        QCOMPARE(messages.asked.size(), 1); // asked once
        QCOMPARE(messages.asked[0].text, QStringLiteral("重複したシングルを削除しますか？"));
        QCOMPARE(messages.asked[0].focused, mbNo);
        QCOMPARE(order(sheet), left);
    }

    void removeDuplicatesInARange()
    {
        TScriptedMessages messages;
        messages.answer(mbYes);
        TTipSheet sheet;
        sheet.SetTotoType(ttMiniA);
        sheet.Singles().Add(makeSingle(sheet, 1, QStringLiteral("11111")));
        sheet.Singles().Add(makeSingle(sheet, 2, QStringLiteral("11111"))); // before the range: stays
        sheet.Singles().Add(makeSingle(sheet, 3, QStringLiteral("22222")));
        sheet.Singles().Add(makeSingle(sheet, 4, QStringLiteral("11111"))); // in the range: goes
        sheet.Singles().Add(makeSingle(sheet, 5, QStringLiteral("22222"))); // in the range: goes
        sheet.Singles().Add(makeSingle(sheet, 6, QStringLiteral("00000")));
        QCOMPARE(sheet.RemoveDuplicates(3, -1), 2);
        QCOMPARE(order(sheet), (QStringList{"1", "2", "3", "6"}));
        // Only the first MaxMatch tips count.
        TTipSheet none;
        QCOMPARE(none.RemoveDuplicates(), 0);
    }

    void checksum()
    {
        TTipSheet sheet;
        QCOMPARE(sheet.SinglesChecksum(), quint16(0xFFFF));
        // CRC-16/MODBUS of the bytes 1..9 (the check value of "123456789" is 0x4B37 for ASCII;
        // here the tip ordinals are the bytes).
        TCrc16 crc;
        for (char c : QByteArray("123456789"))
            crc.add(quint8(c));
        QCOMPARE(crc.value(), quint16(0x4B37));
        sheet.SetTotoType(ttMiniA);
        sheet.Singles().Add(makeSingle(sheet, 1, QStringLiteral("10200")));
        TCrc16 expected;
        for (quint8 b : {1, 0, 2, 0, 0})
            expected.add(b);
        QCOMPARE(sheet.SinglesChecksum(), expected.value());
    }

    void exportAndImportRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("mini.csv"));
        TTipSheet sheet;
        sheet.SetTotoType(ttMiniA);
        sheet.Singles().Add(makeSingle(sheet, 1, QStringLiteral("10200")));
        sheet.Singles().Add(makeSingle(sheet, 2, QStringLiteral("22222"), true));
        sheet.ExportCSV(path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("1, 0, 2, 0, 0\r\n2, 2, 2, 2, 2, X\r\n"));

        TTipSheet back;
        back.SetTotoType(ttMiniA);
        back.ImportCSV(path, false);
        QCOMPARE(back.Singles().Count(), 2);
        QVERIFY(back.Singles()[1].Invalid()); // the marker after the fifth tip
        QCOMPARE(digitsOf(back.Singles()[0], 5), QStringLiteral("10200"));
        QCOMPARE(back.SinglesChecksum(), sheet.SinglesChecksum());
    }

    void importAppendRemovesDuplicates()
    {
        TScriptedMessages messages;
        messages.answer(mbYes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.txt"));
        TTipSheet sheet;
        sheet.SetTotoType(ttMiniB);
        sheet.Singles().Add(makeSingle(sheet, 1, QStringLiteral("10200")));
        sheet.Singles().Add(makeSingle(sheet, 2, QStringLiteral("22222")));
        sheet.ExportCSV(path);
        sheet.ImportCSV(path, true);
        QCOMPARE(sheet.Singles().Count(), 2);
        QCOMPARE(messages.texts(), (QStringList{QStringLiteral("重複したシングルを削除しますか？"),
                                                QStringLiteral("重複したシングル 2口を削減しました")}));
        QCOMPARE(order(sheet), (QStringList{"1", "2"}));
    }

    // Each class of bad input gives its documented result or a clear error, never a crash.
    void importBadInput_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QStringList>("singles"); // digits of the five tips, "X" appended when invalid
        QTest::newRow("short line keeps draws") << QByteArray("1, 2\r\n") << QStringList{"12000"};
        QTest::newRow("extra fields ignored") << QByteArray("1,1,1,1,1,2,2,2\r\n") << QStringList{"11111"};
        QTest::newRow("x after the tips") << QByteArray("2,2,2,2,2,x\r\n") << QStringList{"22222X"};
        QTest::newRow("x elsewhere is a draw") << QByteArray("x,2,2,2,2,1\r\n") << QStringList{"02222"};
        QTest::newRow("non-digits are draws") << QByteArray("a,b,1,?,3\r\n") << QStringList{"00100"};
        QTest::newRow("CR only") << QByteArray("1,1,1,1,1\r2,2,2,2,2\r") << QStringList{"11111", "22222"};
        QTest::newRow("LF only") << QByteArray("1,1,1,1,1\n2,2,2,2,2") << QStringList{"11111", "22222"};
        QTest::newRow("UTF-8 BOM") << QByteArray("\xEF\xBB\xBF" "2,1,1,1,1\r\n") << QStringList{"21111"};
        QTest::newRow("blank lines are no bets") << QByteArray("\r\n1,1,1,1,1\r\n   \r\n\r\n") << QStringList{"11111"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("binary") << QByteArray("\x00\xFF\x82\n\x01\x02", 6) << QStringList{"00000", "00000"};
        QTest::newRow("quoted fields") << QByteArray("\"1\",\"2\", 1,1,1\r\n") << QStringList{"12111"};
    }
    void importBadInput()
    {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, singles);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.csv"));
        writeAll(path, file);
        TTipSheet sheet;
        sheet.SetTotoType(ttMiniA);
        sheet.ImportCSV(path, false);
        QStringList got;
        for (const TSingleSheet &s : sheet.Singles())
            got.append(digitsOf(s, 5) + (s.Invalid() ? QStringLiteral("X") : QString()));
        QCOMPARE(got, singles);
        for (int i = 0; i < sheet.Singles().Count(); ++i)
            QCOMPARE(sheet.Singles()[i].SingleNumber, i + 1);
    }

    void importFailureLeavesTheSingles()
    {
        QTemporaryDir dir;
        TTipSheet sheet;
        sheet.Singles().Add(makeSingle(sheet, 1, QStringLiteral("1111111111111")));
        // Several hundred MB without a line end: refused at once, not read into memory.
        const QString huge = dir.filePath(QStringLiteral("huge.csv"));
        QFile f(huge);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(qint64(300) * 1024 * 1024));
        f.close();
        try {
            sheet.ImportCSV(huge, false);
            QFAIL("a line of 300 MB must be refused");
        } catch (const EPelvaneError &e) {
            QVERIFY2(e.message().contains(QStringLiteral("長すぎます")), qPrintable(e.message()));
        }
        QCOMPARE(sheet.Singles().Count(), 1);
        QVERIFY(!sheet.Updating());
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, sheet.ImportCSV(dir.filePath(QStringLiteral("missing.csv")), false));
        QCOMPARE(sheet.Singles().Count(), 1);
    }

    void importLargeFile()
    {
        // Many lines with every kind of line end, split across read chunks.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("large.csv"));
        QByteArray bytes;
        const char *ends[] = {"\r\n", "\n", "\r"};
        const int lines = 200000;
        for (int i = 0; i < lines; ++i) {
            bytes.append(QByteArray::number(i % 3) + ", 1, 2, 0, 1");
            bytes.append(ends[i % 3]);
        }
        writeAll(path, bytes);
        TTipSheet sheet;
        sheet.SetTotoType(ttMiniA);
        sheet.ImportCSV(path, false);
        QCOMPARE(sheet.Singles().Count(), lines);
        QCOMPARE(digitsOf(sheet.Singles()[lines - 1], 5), QString::number((lines - 1) % 3) + QStringLiteral("1201"));
    }
};

QTEST_GUILESS_MAIN(TestSingles)
#include "tst_singles.moc"
