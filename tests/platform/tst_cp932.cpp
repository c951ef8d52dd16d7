#include "platform/Cp932Codec.h"

#include <QtTest>

class TestCp932 : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ascii") << QStringLiteral("toto 1154") << QByteArray("toto 1154");
        QTest::newRow("backslash and tilde stay ASCII") << QStringLiteral("\\~") << QByteArray("\\~");
        QTest::newRow("fullwidth tilde") << QStringLiteral("～") << QByteArray("\x81\x60");
        QTest::newRow("fullwidth minus") << QStringLiteral("－") << QByteArray("\x81\x7C");
        QTest::newRow("circled one (NEC row 13)") << QStringLiteral("①") << QByteArray("\x87\x40");
        QTest::newRow("black and white squares") << QStringLiteral("■□") << QByteArray("\x81\xA1\x81\xA0");
        QTest::newRow("kanji and kana") << QStringLiteral("横浜Ｆ・マリノス") << QByteArray("\x89\xA1\x95\x6C\x82\x65\x81\x45\x83\x7D\x83\x8A\x83\x6D\x83\x58");
        QTest::newRow("halfwidth kana") << QStringLiteral("ｶﾞ") << QByteArray("\xB6\xDE");
        QTest::newRow("IBM extension") << QStringLiteral("髙") << QByteArray("\xFB\xFC");
        QTest::newRow("empty") << QString() << QByteArray();
    }
    void roundTrip()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Cp932::encode(text), bytes);
        QCOMPARE(Cp932::decode(bytes), text);
        QVERIFY(Cp932::canEncode(text));
        QCOMPARE(Cp932::byteLength(text), bytes.size());
    }

    void lookAlikes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("U+301C wave dash") << QString(QChar(0x301C)) << QByteArray("\x81\x60");
        QTest::newRow("U+2212 minus sign") << QString(QChar(0x2212)) << QByteArray("\x81\x7C");
        QTest::newRow("U+2016 double vertical line") << QString(QChar(0x2016)) << QByteArray("\x81\x61");
        QTest::newRow("U+00A5 yen sign") << QString(QChar(0x00A5)) << QByteArray("\x5C");
        QTest::newRow("U+2014 em dash") << QString(QChar(0x2014)) << QByteArray("\x81\x5C");
        QTest::newRow("no form: euro") << QStringLiteral("a€b") << QByteArray("a?b");
        QTest::newRow("no form: hangul") << QStringLiteral("한") << QByteArray("?");
        QTest::newRow("outside the BMP is one ?") << QStringLiteral("x😀y") << QByteArray("x?y");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("?");
    }
    void lookAlikes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Cp932::encode(text), bytes);
    }

    void badBytes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("lead byte at the end") << QByteArray("a\x82") << QStringLiteral("a\uFFFD");
        QTest::newRow("lead byte before a space") << QByteArray("\x82 ") << QStringLiteral("\uFFFD ");
        QTest::newRow("unassigned pair") << QByteArray("\x85\x40") << QStringLiteral("\uFFFD");
        QTest::newRow("undefined single byte") << QByteArray("\xA0\xFD") << QStringLiteral("\uFFFD\uFFFD");
        QTest::newRow("NUL kept") << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\0b", 3);
        QTest::newRow("control codes are themselves") << QByteArray("\x1A\x1C\x7F") << QString::fromUtf16(u"\x1A\x1C\x7F", 3);
    }
    void badBytes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(Cp932::decode(bytes), text);
    }

    void asciiRoundTrips()
    {
        QByteArray all;
        for (int b = 0; b < 0x80; ++b)
            all.append(char(b));
        QCOMPARE(Cp932::encode(Cp932::decode(all)), all);
    }

    // Every valid two-byte code decodes to one character that encodes back to a CP932 code.
    void everyPairDecodesToOneCharacter()
    {
        int mapped = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (lead > 0x9F && lead < 0xE0)
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F)
                    continue;
                const char b[2] = {char(lead), char(trail)};
                const QString s = Cp932::decode(b, 2);
                QCOMPARE(s.size(), 1);
                if (s.at(0) != QChar(0xFFFD)) {
                    ++mapped;
                    QCOMPARE(Cp932::encode(s).size(), 2);
                }
            }
        }
        QVERIFY2(mapped > 7900, qPrintable(QString::number(mapped)));
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
