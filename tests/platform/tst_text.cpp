#include "platform/CommaText.h"
#include "platform/DateTime.h"
#include "platform/Format.h"
#include "platform/PelvaneError.h"

#include <QtTest>

class TestText : public QObject
{
    Q_OBJECT

private slots:
    void commaSplit_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("fields");
        QTest::newRow("written layout") << "1, 0, 2, X" << QStringList{"1", "0", "2", "X"};
        QTest::newRow("no spaces") << "1,0,2" << QStringList{"1", "0", "2"};
        QTest::newRow("empty fields") << ", , , X" << QStringList{"", "", "", "X"};
        QTest::newRow("two commas") << "a,,b" << QStringList{"a", "", "b"};
        QTest::newRow("comma at the very end") << "a," << QStringList{"a", ""};
        QTest::newRow("comma and space at the end") << "a, " << QStringList{"a"};
        QTest::newRow("space splits an unquoted field") << "横浜 Ｆ・マリノス, 鹿島" << QStringList{"横浜", "Ｆ・マリノス", "鹿島"};
        QTest::newRow("quoted field keeps spaces and commas") << "\"横浜 F, M\", 鹿島" << QStringList{"横浜 F, M", "鹿島"};
        QTest::newRow("doubled quotes") << "\"a\"\"b\", c" << QStringList{"a\"b", "c"};
        QTest::newRow("unclosed quote runs to the end") << "\"a, b" << QStringList{"a, b"};
        QTest::newRow("tabs and control characters around") << "\t1 ,\x01" "2\t" << QStringList{"1", "2"};
        QTest::newRow("quote inside an unquoted field") << "a\"b,c" << QStringList{"a\"b", "c"};
        QTest::newRow("text after a closing quote is a field") << "\"a\"b,c" << QStringList{"a", "b", "c"};
        QTest::newRow("empty text") << "" << QStringList{};
        QTest::newRow("only spaces") << "   " << QStringList{};
        QTest::newRow("fullwidth space is no separator") << "Ａ　Ｂ,C" << QStringList{"Ａ　Ｂ", "C"};
        QTest::newRow("NUL ends the text") << QString::fromUtf16(u"1,2\0,3", 6) << QStringList{"1", "2"};
    }
    void commaSplit()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, fields);
        QCOMPARE(CommaText::split(text), fields);
    }

    void commaJoinRoundTrips_data()
    {
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain fields unquoted") << QStringList{"鹿島", "浦和", "03/06", "14:00"} << "鹿島, 浦和, 03/06, 14:00";
        QTest::newRow("space quoted") << QStringList{"横浜 Ｆ・マリノス", "x"} << "\"横浜 Ｆ・マリノス\", x";
        QTest::newRow("comma quoted") << QStringList{"a,b"} << "\"a,b\"";
        QTest::newRow("leading quote quoted and doubled") << QStringList{"\"q"} << "\"\"\"q\"";
        QTest::newRow("empty middle field") << QStringList{"a", "", "b"} << "a, , b";
        QTest::newRow("empty last field") << QStringList{"a", ""} << "a,"; // found by fuzzing
        QTest::newRow("two empty fields") << QStringList{"", ""} << ",";
        QTest::newRow("one empty field") << QStringList{""} << "\"\"";
    }
    void commaJoinRoundTrips()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, text);
        QCOMPARE(CommaText::join(fields), text);
        QCOMPARE(CommaText::split(text), fields);
    }

    void dateFromText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("expected"); // invalid: the default comes back
        QTest::newRow("date") << "2014/3/6" << QDateTime(QDate(2014, 3, 6), QTime(0, 0));
        QTest::newRow("date and time") << "2014/03/06 14:30" << QDateTime(QDate(2014, 3, 6), QTime(14, 30));
        QTest::newRow("no such day") << "2014/2/30" << QDateTime();
        QTest::newRow("year after 9999") << "20801/1/1" << QDateTime(); // found by fuzzing the settings
        QTest::newRow("not a date") << "未定" << QDateTime();
    }
    void dateFromText()
    {
        QFETCH(QString, text);
        QFETCH(QDateTime, expected);
        const TDateTime def = -1;
        const TDateTime got = StrToDateTimeDef(text, def);
        if (!expected.isValid())
            QCOMPARE(got, def);
        else
            QCOMPARE(DateTime::toQDateTime(got), expected);
    }

    void format_data()
    {
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("expected");
        QTest::newRow("%d") << Format(u"%d", {-12}) << "-12";
        QTest::newRow("%2.2d") << Format(u"%2.2d", {5}) << "05";
        QTest::newRow("%2.2d three digits") << Format(u"%2.2d", {123}) << "123";
        QTest::newRow("%3.3d") << Format(u"toto%3.3d.tot", {12}) << "toto012.tot";
        QTest::newRow("%3.3d four digits") << Format(u"toto%3.3d.tot", {1154}) << "toto1154.tot";
        QTest::newRow("%3.3d negative") << Format(u"%3.3d", {-5}) << "-005";
        QTest::newRow("%*.*d") << Format(u"[%*.*d]", {4, 2, 7}) << "[  07]";
        QTest::newRow("%*d") << Format(u"%*d:%*d", {3, 5, 2, 10}) << "  5:10";
        QTest::newRow("%3d") << Format(u" %3d:%3d", {50, 100}) << "  50:100";
        QTest::newRow("%-4s") << Format(u"%-4s|", {QStringLiteral("ab")}) << "ab  |";
        QTest::newRow("%s") << Format(u"%s, %s", {QStringLiteral("鹿島"), QStringLiteral("浦和")}) << "鹿島, 浦和";
        QTest::newRow("%f two decimals") << Format(u"%f", {2.0 / 3.0}) << "0.67";
        QTest::newRow("%.1f") << Format(u"%.1f", {2.24}) << "2.2";
        QTest::newRow("%%") << Format(u"100%%", {}) << "100%";
        QTest::newRow("W%dT%d") << Format(u"W%dT%d ", {3, 2}) << "W3T2 ";
        QTest::newRow("%d 64-bit") << Format(u"%d", {qint64(12345678901234)}) << "12345678901234";
    }
    void format()
    {
        QFETCH(QString, result);
        QFETCH(QString, expected);
        QCOMPARE(result, expected);
    }

    void formatErrors()
    {
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, Format(u"%d %d", {1}));
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, Format(u"%d", {QStringLiteral("x")}));
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, Format(u"%s", {1}));
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, Format(u"%q", {1}));
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, Format(u"50%", {}));
    }

    void formatFloat_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("thousands") << "#,##0" << 1234567.0 << "1,234,567";
        QTest::newRow("small") << "#,##0" << 5.0 << "5";
        QTest::newRow("zero") << "#,##0" << 0.0 << "0";
        QTest::newRow("rounds") << "#,##0" << 999.5 << "1,000";
        QTest::newRow("negative") << "#,##0" << -1234.0 << "-1,234";
        QTest::newRow("decimals") << "0.00" << 3.14159 << "3.14";
        QTest::newRow("optional decimals") << "0.##" << 2.5 << "2.5";
        QTest::newRow("yen literal") << "\\#,##0" << 1500.0 << "\\1,500";
        QTest::newRow("empty zero section") << "#,##0;\"\";\"\"" << 0.0 << "";
        QTest::newRow("quoted suffix") << "#,##0\"円\"" << 100.0 << "100円";
        QTest::newRow("negative section") << "#,##0;(#,##0)" << -5.0 << "(5)";
    }
    void formatFloat()
    {
        QFETCH(QString, pattern);
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(FormatFloat(pattern, value), expected);
    }

    void floatToStr_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("3.7") << 3.7 << "3.7";
        QTest::newRow("5") << 5.0 << "5";
        QTest::newRow("-1") << -1.0 << "-1";
        QTest::newRow("0.1+0.2") << 0.1 + 0.2 << "0.3";
        QTest::newRow("percent") << 33.333333333333336 << "33.3333333333333";
        QTest::newRow("big") << 1e20 << "1E20";
        QTest::newRow("tiny") << 0.00001 << "1E-5";
        QTest::newRow("zero") << 0.0 << "0";
    }
    void floatToStr()
    {
        QFETCH(double, value);
        QFETCH(QString, expected);
        QCOMPARE(FloatToStr(value), expected);
        if (value != 0)
            QCOMPARE(expected.toDouble(), QString::number(value, 'g', 15).toDouble());
    }

    void strToInt_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<qint64>("value");
        QTest::newRow("plain") << "123" << true << qint64(123);
        QTest::newRow("blanks") << "  -7 " << true << qint64(-7);
        QTest::newRow("plus") << "+7" << true << qint64(7);
        QTest::newRow("hex") << "$ff" << true << qint64(255);
        QTest::newRow("min") << "-9223372036854775808" << true << std::numeric_limits<qint64>::min();
        QTest::newRow("overflow") << "9223372036854775808" << false << qint64(0);
        QTest::newRow("double sign") << "--1" << false << qint64(0);
        QTest::newRow("decimal point") << "1.5" << false << qint64(0);
        QTest::newRow("empty") << "" << false << qint64(0);
    }
    void strToInt()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(qint64, value);
        qint64 v = 0;
        QCOMPARE(TryStrToInt64(text, v), ok);
        if (ok)
            QCOMPARE(v, value);
        QCOMPARE(StrToIntDef(text, -99), ok && value >= INT_MIN && value <= INT_MAX ? int(value) : -99);
    }

    void formatDateTime_data()
    {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        QTest::newRow("yyyy/mm/dd") << "yyyy/mm/dd" << "2004/03/06";
        QTest::newRow("mm/dd") << "mm/dd" << "03/06";
        QTest::newRow("hh:nn") << "hh:nn" << "09:05";
        QTest::newRow("h:nn:ss") << "h:nn:ss" << "9:05:07";
        QTest::newRow("mm after hh is minutes") << "hh:mm" << "09:05";
        QTest::newRow("quoted literal") << "yyyy\"年\"m\"月\"d\"日\"" << "2004年3月6日";
        QTest::newRow("yy") << "yy-m-d" << "04-3-6";
    }
    void formatDateTime()
    {
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        const TDateTime t = DateTime::encodeDate(2004, 3, 6) + DateTime::encodeTime(9, 5, 7);
        QCOMPARE(FormatDateTime(pattern, t), expected);
    }

    void dateTime()
    {
        QCOMPARE(DateTime::encodeDate(1899, 12, 30), 0.0);
        QCOMPARE(DateTime::encodeDate(1900, 1, 1), 2.0);
        QCOMPARE(DateTime::encodeDate(2000, 1, 1), 36526.0);
        QCOMPARE(DateTime::encodeTime(12, 0), 0.5);
        const QDateTime dt(QDate(2014, 3, 1), QTime(13, 30, 15));
        const TDateTime t = DateTime::fromQDateTime(dt);
        QCOMPARE(DateTime::toQDateTime(t), dt);
        // Before the epoch the fraction counts from midnight of that day: -1.25 is 1899-12-29 06:00.
        QCOMPARE(DateTime::toQDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
        QCOMPARE(DateTime::fromQDateTime(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
        // A value a hair below midnight is the next day, not 23:59:59.999 of this one.
        QCOMPARE(DateTime::toQDateTime(36526.0 - 1e-12), QDateTime(QDate(2000, 1, 1), QTime(0, 0)));
        QVERIFY(!DateTime::toQDateTime(1e12).isValid());
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, DateTime::encodeDate(2001, 2, 29));
    }
};

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
