#include "platform/Cp932Codec.h"
#include "platform/IniFile.h"
#include "platform/PelvaneError.h"

#include "support/Files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void reading_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const int profile = int(TIniFile::TMode::Profile), memory = int(TIniFile::TMode::Memory);
        QTest::newRow("case-insensitive names") << profile << QByteArray("[Option]\r\nPlaySound=1\r\n") << "OPTION" << "playsound" << "1";
        QTest::newRow("trimmed key and value") << profile << QByteArray("[S]\r\n  Key  =  v a l  \r\n") << "S" << "Key" << "v a l";
        QTest::newRow("profile strips one pair of quotes") << profile << QByteArray("[S]\r\nK=\" vs \"\r\n") << "S" << "K" << " vs ";
        QTest::newRow("profile strips single quotes") << profile << QByteArray("[S]\r\nK='x'\r\n") << "S" << "K" << "x";
        QTest::newRow("only one pair") << profile << QByteArray("[S]\r\nK=\"\"x\"\"\r\n") << "S" << "K" << "\"x\"";
        QTest::newRow("memory keeps quotes") << memory << QByteArray("[S]\r\nK=\"a b\", c\r\n") << "S" << "K" << "\"a b\", c";
        QTest::newRow("value with =") << profile << QByteArray("[S]\r\nURL=http://x/?a=b\r\n") << "S" << "URL" << "http://x/?a=b";
        QTest::newRow("comment line ignored") << profile << QByteArray("[S]\r\n;K=1\r\nK=2\r\n") << "S" << "K" << "2";
        QTest::newRow("first duplicate section wins") << profile << QByteArray("[S]\r\nK=1\r\n[S]\r\nK=2\r\nJ=3\r\n") << "S" << "K" << "1";
        QTest::newRow("key only in second duplicate is not seen") << profile << QByteArray("[S]\r\nK=1\r\n[s]\r\nJ=3\r\n") << "S" << "J" << "<none>";
        QTest::newRow("first duplicate key wins") << profile << QByteArray("[S]\r\nK=1\r\nk=2\r\n") << "S" << "K" << "1";
        QTest::newRow("line without = ignored") << profile << QByteArray("[S]\r\ngarbage\r\nK=1\r\n") << "S" << "garbage" << "<none>";
        QTest::newRow("LF only") << profile << QByteArray("[S]\nK=1\nJ=2") << "S" << "J" << "2";
        QTest::newRow("CR only") << profile << QByteArray("[S]\rK=1\rJ=2\r") << "S" << "J" << "2";
        QTest::newRow("key before any section") << profile << QByteArray("K=1\r\n[S]\r\n") << "S" << "K" << "<none>";
        QTest::newRow("CP932 text") << profile << QByteArray("[S]\r\nTeam=\x89\xA1\x95\x6C\r\n") << "S" << "Team" << QStringLiteral("横浜");
        QTest::newRow("CP932 section name") << profile << QByteArray("[\x89\xA1\x95\x6C]\r\nK=1\r\n") << QStringLiteral("横浜") << "K" << "1";
        QTest::newRow("empty value") << profile << QByteArray("[S]\r\nK=\r\n") << "S" << "K" << "";
    }
    void reading()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        TIniFile ini{TIniFile::TMode(mode)};
        ini.loadFromBytes(file);
        QCOMPARE(ini.readString(section, key, QStringLiteral("<none>")), expected);
        QCOMPARE(ini.valueExists(section, key), expected != u"<none>");
    }

    void numbers_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("integer");
        QTest::addColumn<bool>("boolean");
        QTest::newRow("decimal") << "42" << 42 << true;
        QTest::newRow("negative") << "-3" << -3 << true;
        QTest::newRow("zero is false") << "0" << 0 << false;
        QTest::newRow("hex dollar") << "$1F" << 31 << true;
        QTest::newRow("hex 0x") << "0x10" << 16 << true;
        QTest::newRow("garbage gives the default") << "12abc" << 7 << true;
        QTest::newRow("out of range gives the default") << "99999999999" << 7 << true;
        QTest::newRow("empty gives the default") << "" << 7 << true;
        QTest::newRow("True is no number") << "True" << 7 << true;
    }
    void numbers()
    {
        QFETCH(QString, value);
        QFETCH(int, integer);
        QFETCH(bool, boolean);
        TIniFile ini;
        ini.loadFromText(QStringLiteral("[S]\r\nK=") + value + QStringLiteral("\r\n"));
        QCOMPARE(ini.readInteger(QStringLiteral("S"), QStringLiteral("K"), 7), integer);
        QCOMPARE(ini.readBool(QStringLiteral("S"), QStringLiteral("K"), true), boolean);
    }

    void unchangedFileKeepsItsBytes()
    {
        // Comments, garbage, odd spacing, mixed line ends, duplicate sections, no final newline.
        const QByteArray original("; settings\r\n[Option]\r\nPlaySound = 1\r\n  garbage line\r\n"
                                  "CommentVersus=\" vs \"\r\n\r\n[Setup]\nNumber=1154\n[Option]\r\nX=1");
        TIniFile ini;
        ini.loadFromBytes(original);
        ini.writeString(QStringLiteral("Option"), QStringLiteral("PlaySound"), QStringLiteral("1"));
        ini.writeString(QStringLiteral("option"), QStringLiteral("commentversus"), QStringLiteral("\" vs \""));
        ini.writeInteger(QStringLiteral("SETUP"), QStringLiteral("Number"), 1154);
        QCOMPARE(ini.toBytes(), original);
    }

    void writingPlacesNewLines()
    {
        TIniFile ini;
        ini.loadFromBytes("[A]\r\nK=1\r\n\r\n[B]\r\nJ=2");
        ini.writeString(QStringLiteral("a"), QStringLiteral("New"), QStringLiteral("x"));
        ini.writeString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("5"));
        ini.writeString(QStringLiteral("B"), QStringLiteral("Last"), QStringLiteral("y"));
        ini.writeString(QStringLiteral("C"), QStringLiteral("Z"), QStringLiteral("z"));
        QCOMPARE(ini.toBytes(), QByteArray("[A]\r\nK=5\r\nNew=x\r\n\r\n[B]\r\nJ=2\r\nLast=y\r\n[C]\r\nZ=z\r\n"));
    }

    void memoryModeLayout()
    {
        TIniFile ini(TIniFile::TMode::Memory);
        ini.writeInteger(QStringLiteral("Sheet"), QStringLiteral("Type"), 0);
        ini.writeInteger(QStringLiteral("Sheet"), QStringLiteral("Number"), 1154);
        ini.writeString(QStringLiteral("Match"), QStringLiteral("01"), QStringLiteral("鹿島, 浦和"));
        ini.writeInteger(QStringLiteral("Sheet"), QStringLiteral("SingleSum"), 65535);
        QCOMPARE(Cp932::decode(ini.toBytes()),
                 QStringLiteral("[Sheet]\r\nType=0\r\nNumber=1154\r\nSingleSum=65535\r\n\r\n[Match]\r\n01=鹿島, 浦和\r\n\r\n"));
    }

    void eraseAndDelete()
    {
        TIniFile ini;
        ini.loadFromBytes("[A]\r\nK=1\r\nJ=2\r\n[B]\r\nX=1\r\n[b]\r\nY=2\r\n");
        ini.deleteKey(QStringLiteral("A"), QStringLiteral("k"));
        ini.eraseSection(QStringLiteral("B"));
        QCOMPARE(ini.toBytes(), QByteArray("[A]\r\nJ=2\r\n"));
        QVERIFY(!ini.sectionExists(QStringLiteral("b")));
        QCOMPARE(ini.readString(QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("gone")), QStringLiteral("gone"));
        // The lookup index follows deletions.
        ini.writeString(QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("3"));
        QCOMPARE(ini.readString(QStringLiteral("A"), QStringLiteral("J")), QStringLiteral("2"));
        QCOMPARE(ini.readString(QStringLiteral("A"), QStringLiteral("K")), QStringLiteral("3"));
    }

    void orderAndListing()
    {
        TIniFile ini;
        ini.loadFromBytes("[Single]\r\n01=1, 0\r\n02=2, 2, X\r\n;c\r\n03=0, 1\r\n[Other]\r\n");
        QCOMPARE(ini.sections(), (QStringList{QStringLiteral("Single"), QStringLiteral("Other")}));
        QCOMPARE(ini.keys(QStringLiteral("single")), (QStringList{QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03")}));
        QStringList values;
        ini.forEachValue(QStringLiteral("Single"), [&](QStringView, QStringView v) { values.append(v.toString()); });
        QCOMPARE(values, (QStringList{QStringLiteral("1, 0"), QStringLiteral("2, 2, X"), QStringLiteral("0, 1")}));
        QCOMPARE(ini.valueCount(QStringLiteral("Single")), 3);
    }

    void floats()
    {
        TIniFile ini;
        ini.writeFloat(QStringLiteral("O"), QStringLiteral("MarkHeight"), 3.7);
        ini.writeFloat(QStringLiteral("O"), QStringLiteral("Whole"), 5.0);
        QCOMPARE(ini.readString(QStringLiteral("O"), QStringLiteral("MarkHeight")), QStringLiteral("3.7"));
        QCOMPARE(ini.readString(QStringLiteral("O"), QStringLiteral("Whole")), QStringLiteral("5"));
        QCOMPARE(ini.readFloat(QStringLiteral("O"), QStringLiteral("MarkHeight"), 0), 3.7);
        QCOMPARE(ini.readFloat(QStringLiteral("O"), QStringLiteral("Missing"), 1.5), 1.5);
    }

    void fileRoundTripAndMissingFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("pelvane.ini"));
        TIniFile missing(path, TIniFile::TMode::Profile);
        QVERIFY(missing.sections().isEmpty());
        missing.writeString(QStringLiteral("Option"), QStringLiteral("Tipster"), QStringLiteral("\"山田\""));
        missing.save();
        QCOMPARE(readAll(path), QByteArray("[Option]\r\nTipster=\"\x8E\x52\x93\x63\"\r\n"));
        TIniFile again(path, TIniFile::TMode::Profile);
        QCOMPARE(again.readString(QStringLiteral("option"), QStringLiteral("tipster")), QStringLiteral("山田"));
    }

    void failedSaveKeepsTheOldFile()
    {
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.ini"));
        writeAll(path, "[A]\r\nK=old\r\n");
        chmod(QFile::encodeName(dir.path()).constData(), 0500);
        TIniFile ini(path, TIniFile::TMode::Profile);
        ini.writeString(QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("new"));
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, ini.save());
        chmod(QFile::encodeName(dir.path()).constData(), 0700);
        QCOMPARE(readAll(path), QByteArray("[A]\r\nK=old\r\n"));
    }

    void saveIntoMissingFolderFailsClearly()
    {
        QTemporaryDir dir;
        TIniFile ini(TIniFile::TMode::Profile);
        ini.setFileName(dir.filePath(QStringLiteral("no/such/folder/s.ini")));
        ini.writeString(QStringLiteral("A"), QStringLiteral("K"), QStringLiteral("v"));
        try {
            ini.save();
            QFAIL("saving into a missing folder must fail");
        } catch (const EPelvaneError &e) {
            QVERIFY(e.message().contains(QStringLiteral("s.ini")));
        }
    }

    void binaryGarbageLoads()
    {
        QByteArray junk;
        for (int i = 0; i < 4096; ++i)
            junk.append(char((i * 7919) & 0xFF));
        TIniFile ini;
        ini.loadFromBytes(junk);
        ini.writeString(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"));
        TIniFile back;
        back.loadFromBytes(ini.toBytes());
        QCOMPARE(back.readString(QStringLiteral("S"), QStringLiteral("K")), QStringLiteral("v"));
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
