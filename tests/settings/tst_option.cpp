#include "platform/IniFile.h"
#include "platform/PelvaneError.h"
#include "settings/CredentialProtection.h"
#include "settings/FormPlacement.h"
#include "settings/UnitOption.h"

#include "support/Files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kFixture = QStringLiteral(PELVANE_TEST_DATA "/settings/windows.ini");

} // namespace

class TestOption : public QObject
{
    Q_OBJECT

private slots:
    void windowsFileRoundTripsByteForByte()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pelvane.ini"));
        const QByteArray original = readAll(kFixture);
        QVERIFY(!original.isEmpty());
        writeAll(path, original);
        TOption option;
        option.LoadFromFile(path);
        option.SaveToFile(path);
        QCOMPARE(readAll(path), original);
    }

    void windowsFileValues()
    {
        TOption o;
        o.LoadFromFile(kFixture);
        QVERIFY(!o.PlaySound);
        QVERIFY(!o.UseDefaultSound(1));
        QCOMPARE(o.SoundFile(1), QStringLiteral("C:\\Sounds\\win.wav"));
        QCOMPARE(o.PrintOffsetTop, -1.25);
        QVERIFY(o.PrintMatch);
        QCOMPARE(o.CommentVersus, QStringLiteral(" vs "));
        QCOMPARE(o.Tipster, QStringLiteral("山田 "));
        QCOMPARE(o.ExpandWarningCount, 512);
        QCOMPARE(o.WheelScrollMode(), 2);
        QCOMPARE(o.TotoDreamID, QStringLiteral("user01"));
        QCOMPARE(o.TotoDreamPassword, QStringLiteral("secret"));
        QCOMPARE(o.TotoDreamPCMailAddress, QStringLiteral("user@example.jp"));
        QCOMPARE(o.HomeFilter.MatchFilter, mfLeague);
        QCOMPARE(o.AwayFilter.HomeAwayFilter, hafAway);
        QCOMPARE(o.AwayFilter.StadiumFilter, QStringLiteral("国立"));
        QCOMPARE(o.MatchDisplay.DisplayMode, mdTop);
        QCOMPARE(o.ExpandOption.Prizelevel, 3);
        QCOMPARE(o.ExpandOption.OptimizeLevel, 80);
        QVERIFY(!o.ExpandOption.Guarantee);
        QVERIFY(o.ExpandOption.HomeCut.MoreThanEnable);
        QCOMPARE(o.ExpandOption.HomeCut.MoreThan, 7);
        QVERIFY(o.ExpandOption.BackfireCut.MoreThanEnable); // written "BackFire", read "Backfire"
        QCOMPARE(o.ExpandOption.HDACutList(), (QStringList{QStringLiteral("634"), QStringLiteral("A12")}));
        QCOMPARE(o.ExpandOption.HDACutValues(), (std::vector<int>{0x634, 0xA12}));
        QCOMPARE(o.ExpandOption.IssueCut[0][tpHome], QChar(u'A'));
        QCOMPARE(o.ExpandOption.IssueCut[3][tpDraw], QChar(u'B'));
        QCOMPARE(o.ExpandOption.IssueCut[3][tpHome], QChar());
        QCOMPARE(o.ExpandOption.IssueCutType[1], quint8(2));
        QVERIFY(o.Internet.UseProxy);
        QCOMPARE(o.Internet.ProxyPort, 8080);
        QCOMPARE(o.Internet.Timeout, 30);
    }

    void freshStartWritesQuotedVersus()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("new.ini"));
        TOption().SaveToFile(path);
        const QByteArray bytes = readAll(path);
        QVERIFY(bytes.contains("\r\nCommentVersus=\" vs \"\r\n"));
        QVERIFY(!bytes.contains("URL="));
        QVERIFY(bytes.contains("[EBank]\r\nBranchCode=\r\n")); // empty stays empty
        TOption back;
        back.CommentVersus = QStringLiteral("x");
        back.LoadFromFile(path);
        QCOMPARE(back.CommentVersus, QStringLiteral(" vs "));
        QVERIFY(back.Equals(TOption()));
    }

    void saveKeepsOtherSections()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.ini"));
        writeAll(path, "[Addin]\r\nCount=1\r\nName0=\x8E\x52\r\n[Option]\r\nPlaySound=1\r\nUseOfficialOdds=0\r\n");
        TOption o;
        o.PlaySound = false;
        o.SaveToFile(path);
        TIniFile ini(path, TIniFile::TMode::Profile);
        QCOMPARE(ini.readString(QStringLiteral("Addin"), QStringLiteral("Name0")), QStringLiteral("山"));
        QCOMPARE(ini.readString(QStringLiteral("Option"), QStringLiteral("UseOfficialOdds")), QStringLiteral("0"));
        QCOMPARE(ini.readString(QStringLiteral("Option"), QStringLiteral("PlaySound")), QStringLiteral("0"));
        QVERIFY(readAll(path).startsWith("[Addin]\r\nCount=1\r\n"));
    }

    void formerHostUrlIsDropped()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.ini"));
        writeAll(path, "[Option]\r\nURL=http://www.korbelt.example/download/toto/\r\nPlaySound=1\r\n");
        TOption o;
        o.LoadFromFile(path);
        QCOMPARE(o.PelvaneURL, TOption::DefaultPelvaneURL());
        QCOMPARE(readAll(path), QByteArray("[Option]\r\nPlaySound=1\r\n"));
        writeAll(path, "[Option]\r\nURL=http://127.0.0.1:8080/dl/\r\n");
        o.LoadFromFile(path);
        QCOMPARE(o.PelvaneURL, QStringLiteral("http://127.0.0.1:8080/dl/"));
    }

    void pointsTable_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("useOriginal");
        QTest::addColumn<QList<int>>("table");
        QTest::addColumn<QList<int>>("effective");
        QTest::newRow("two numbers keep the rest") << "3, 1" << true << QList<int>{3, 1, 1, 0, 0} << QList<int>{3, 1, 1, 0, 0};
        QTest::newRow("table only used when switched on") << "3, 1" << false << QList<int>{3, 1, 1, 0, 0} << QList<int>{3, 2, 1, 0, 0};
        QTest::newRow("non-number reads 0") << "4, x, 2, 1, 1, 9" << true << QList<int>{4, 0, 2, 1, 1} << QList<int>{4, 0, 2, 1, 1};
    }
    void pointsTable()
    {
        QFETCH(QString, stored);
        QFETCH(bool, useOriginal);
        QFETCH(QList<int>, table);
        QFETCH(QList<int>, effective);
        TIniFile ini;
        ini.writeString(QStringLiteral("Option"), QStringLiteral("PointsTable"), stored);
        ini.writeBool(QStringLiteral("Option"), QStringLiteral("UseOriginalVictoryPoint"), useOriginal);
        TOption o;
        o.LoadFromIni(ini);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(o.PointsTable[size_t(i)], table[i]);
            QCOMPARE(o.Points(i), effective[i]);
        }
    }

    void badValuesLoadDefaults_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("garbage lines") << QByteArray("\x01\x02garbage\r\n===\r\n[Option\r\nPlaySound\r\n");
        QTest::newRow("duplicated section") << QByteArray("[Option]\r\nExpandWarningCount=abc\r\n[Option]\r\nPlaySound=0\r\n");
        QTest::newRow("keys without =") << QByteArray("[Option]\r\nPlaySound\r\nWheelScrollMode\r\n");
        QTest::newRow("out of range") << QByteArray("[Option]\r\nExpandWarningCount=99999999999999\r\nWheelScrollMode=5\r\n[Internet]\r\nTimeout=-x\r\n");
        QTest::newRow("UTF-8 text") << QByteArray("[Option]\r\nTipster=\"\xE5\xB1\xB1\xE7\x94\xB0\"\r\n");
        QTest::newRow("unreadable hex") << QByteArray("[totoDream]\r\nPassword=ZZ4\r\n");
    }
    void badValuesLoadDefaults()
    {
        QFETCH(QByteArray, file);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bad.ini"));
        writeAll(path, file);
        TOption o;
        o.LoadFromFile(path);
        const TOption defaults;
        QCOMPARE(o.ExpandWarningCount, defaults.ExpandWarningCount);
        QCOMPARE(o.WheelScrollMode(), 1);
        QCOMPARE(o.Internet.Timeout, 15);
        QVERIFY(o.PlaySound);
        QCOMPARE(readAll(path), file); // loading never rewrites it
        if (file.contains("ZZ4"))
            QCOMPARE(o.TotoDreamPassword.size(), 1); // one bad pair: one byte, decrypted anyway
    }

    void wheelScrollModeClamp()
    {
        TOption o;
        for (int v : {-1, 3, 5}) {
            o.SetWheelScrollMode(v);
            QCOMPARE(o.WheelScrollMode(), 1);
        }
        o.SetWheelScrollMode(0);
        QCOMPARE(o.WheelScrollMode(), 0);
    }

    void assignAndEquality()
    {
        TOption a, b;
        QVERIFY(a.Equals(b));
        a.MaintenanceMode = true;
        QVERIFY(a.Equals(b));
        TOption c;
        c.Assign(a);
        QVERIFY(!c.MaintenanceMode); // never copied
        a.DebugMode = true;
        QVERIFY(!a.Equals(b));
        b.Assign(a);
        QVERIFY(a.Equals(b));
        b.ExpandOption.HomeCut.MoreThan = 4;
        QVERIFY(!a.Equals(b));
        b.Assign(a);
        b.MarkHeight = 3.70000001;
        QVERIFY(!a.Equals(b));
    }

    void soundIndexOutOfRange()
    {
        TOption o;
        for (int bad : {-1, 4}) {
            try {
                o.SoundFile(bad);
                QFAIL("out of range");
            } catch (const EPelvaneError &e) {
                QCOMPARE(e.message(), QStringLiteral("Index out of range"));
            }
        }
    }

    void credentialVectors()
    {
        // tests/data/credentials/vectors.tsv is made by make_vectors.py beside it, independently.
        QFile f(QStringLiteral(PELVANE_TEST_DATA "/credentials/vectors.tsv"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        int rows = 0;
        for (const QByteArray &line : f.readAll().split('\n')) {
            const QList<QByteArray> cols = line.split('\t');
            if (cols.size() != 3)
                continue;
            const QString plain = QString::fromUtf8(cols[0]);
            const QString hex40 = QString::fromLatin1(cols[1]), hex128 = QString::fromLatin1(cols[2]);
            QCOMPARE(CredentialProtection::Protect(plain), hex40);
            QCOMPARE(CredentialProtection::Unprotect(hex40), plain); // Japanese values too
            // Older files: the 128-bit key through the fallback (their values were ASCII).
            bool ascii = true;
            for (QChar c : plain)
                ascii = ascii && c.unicode() < 127;
            if (ascii)
                QCOMPARE(CredentialProtection::Unprotect(hex128), plain);
            ++rows;
        }
        QCOMPARE(rows, 6);
    }

    void rc4KeyWithZeroSalt()
    {
        // The providers' published derivation sample: key bytes 73 40 e6 e2 74 with eleven zero
        // salt bytes encrypt 00..1f to the listed cipher text.
        const QByteArray key = QByteArray::fromHex("7340e6e274") + QByteArray(11, '\0');
        QByteArray plain;
        for (int i = 0; i < 32; ++i)
            plain.append(char(i));
        QCOMPARE(CredentialProtection::Rc4(key, plain).toHex(),
                 QByteArray("2659de2444fa369c110cbb9db6a2bd24042ee3ba7276f3278dd5b42f56cff8c9"));
    }

    void hexRules()
    {
        QCOMPARE(CredentialProtection::HexToBytes(QStringLiteral("41424")), QByteArray("AB")); // odd digit ignored
        QCOMPARE(CredentialProtection::HexToBytes(QStringLiteral("41ZZ43")), QByteArray("A C"));
        QCOMPARE(CredentialProtection::HexToBytes(QStringLiteral("4a")), QByteArray("J"));
        QCOMPARE(CredentialProtection::Protect(QString()), QString());
        QCOMPARE(CredentialProtection::Unprotect(QString()), QString());
        QCOMPARE(CredentialProtection::Protect(QStringLiteral("a")).size(), 2);
        QVERIFY(CredentialProtection::Protect(QStringLiteral("abc")) == CredentialProtection::Protect(QStringLiteral("abc")).toUpper());
    }

    void textLength()
    {
        CheckTextLength(QStringLiteral("山田"), 4, QStringLiteral("名前は"));
        try {
            CheckTextLength(QStringLiteral("山田太"), 4, QStringLiteral("名前は"));
            QFAIL("six bytes are more than four");
        } catch (const EPelvaneError &e) {
            QCOMPARE(e.message(), QStringLiteral("名前は4文字以内です"));
        }
        try {
            CheckTextLength(QStringLiteral("a"), 10, QStringLiteral("題名は"), 2);
            QFAIL("too short");
        } catch (const EPelvaneError &e) {
            QCOMPARE(e.message(), QStringLiteral("題名は2文字以上です"));
        }
    }

    void placement_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("state");
        QTest::newRow("inside") << QByteArray("Left=10\r\nTop=20\r\nWidth=800\r\nHeight=600\r\nWindowState=2\r\n") << 10 << 20 << 2;
        QTest::newRow("beyond the right edge") << QByteArray("Left=1500\r\nTop=0\r\nWidth=800\r\nHeight=600\r\n") << 1120 << 0 << 2;
        QTest::newRow("negative") << QByteArray("Left=-50\r\nTop=-5\r\nWidth=800\r\nHeight=600\r\nWindowState=0\r\n") << 0 << 0 << 0;
        QTest::newRow("minimised becomes normal") << QByteArray("WindowState=1\r\n") << 5 << 5 << 0;
        QTest::newRow("unknown state ignored") << QByteArray("WindowState=7\r\n") << 5 << 5 << 2;
    }
    void placement()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(int, state);
        TIniFile ini;
        ini.loadFromBytes("[FormMain]\r\n" + stored);
        const TFormPlacement current{5, 5, 640, 480, 2};
        const TFormPlacement p = LoadFormPlacement(ini, QStringLiteral("FormMain"), current, 1920, 1080);
        QCOMPARE(p.Left, left);
        QCOMPARE(p.Top, top);
        QCOMPARE(p.WindowState, state);
        TIniFile out;
        SaveFormPlacement(out, QStringLiteral("FormMain"), p);
        QCOMPARE(LoadFormPlacement(out, QStringLiteral("FormMain"), {}, 1920, 1080), p);
    }

    void gridColumns()
    {
        TIniFile ini;
        ini.loadFromBytes("[GridTeams]\r\nColWidths=40, x, -3, 60, 70, 80\r\n");
        std::vector<int> widths{10, 11, 12, 13, 14};
        LoadGridColumns(ini, QStringLiteral("GridTeams"), 1, widths);
        QCOMPARE(widths, (std::vector<int>{10, 40, 12, 13, 60}));
        SaveGridColumns(ini, QStringLiteral("GridTeams"), 1, widths);
        QCOMPARE(ini.readString(QStringLiteral("GridTeams"), QStringLiteral("ColWidths")), QStringLiteral("40, 12, 13, 60"));
    }
};

QTEST_GUILESS_MAIN(TestOption)
#include "tst_option.moc"
