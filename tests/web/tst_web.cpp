#include "lottery/UnitToTo.h"
#include "platform/Cp932Codec.h"
#include "support/FixtureServer.h"
#include "support/ScriptedMessages.h"
#include "web/JapaneseCode.h"
#include "web/UnitHTMLParser.h"
#include "web/UnitInternet.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QtTest>

namespace {

QByteArray encoded(const char *codec, const QString &text)
{
    QStringEncoder e(codec);
    return e.encode(text);
}

const QString kJapanese = QStringLiteral("第4回　鹿島アントラーズ対浦和レッズ　ｶﾀｶﾅ");

} // namespace

Q_DECLARE_METATYPE(TJapaneseCode)

class TestWeb : public QObject
{
    Q_OBJECT

private slots:
    // --- code detection ---------------------------------------------------------------------
    void detection_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<TJapaneseCode>("code");
        QTest::newRow("ascii") << QByteArray("<html>hello</html>") << TJapaneseCode::Ascii;
        QTest::newRow("binary NUL") << QByteArray("ab\0cd", 5) << TJapaneseCode::Binary;
        QTest::newRow("binary 0xFF") << QByteArray("ab\xFF" "cd") << TJapaneseCode::Binary;
        QTest::newRow("control in the last byte only") << QByteArray("abc\x01") << TJapaneseCode::Ascii;
        QTest::newRow("iso-2022-jp") << encoded("ISO-2022-JP", kJapanese) << TJapaneseCode::Iso2022Jp;
        QTest::newRow("euc-jp") << encoded("EUC-JP", kJapanese) << TJapaneseCode::EucJp;
        QTest::newRow("shift_jis") << Cp932::encode(kJapanese) << TJapaneseCode::ShiftJis;
        QTest::newRow("8E then katakana range: either") << QByteArray("a\x8E\xB1") << TJapaneseCode::Either;
        QTest::newRow("the scan goes on after either") << QByteArray("a\x8E\xB1 b") << TJapaneseCode::ShiftJis;
        QTest::newRow("8E then 0x40: sjis") << QByteArray("\x8E\x40") << TJapaneseCode::ShiftJis;
        QTest::newRow("A1-DF pair: either") << QByteArray("\xB1\xB2") << TJapaneseCode::Either;
        QTest::newRow("A1-DF then F0: euc") << QByteArray("\xB1\xF0") << TJapaneseCode::EucJp;
        QTest::newRow("A1-DF then E0 then 0x81: sjis") << QByteArray("\xB1\xE0\x41\x81\x40") << TJapaneseCode::ShiftJis;
        QTest::newRow("A1-DF then E0 then FD: euc") << QByteArray("\xB1\xE0\xC1\xFD\xA1") << TJapaneseCode::EucJp;
        QTest::newRow("E0 then 0x40: sjis") << QByteArray("\xE0\x40") << TJapaneseCode::ShiftJis;
        QTest::newRow("E0 then FD: euc") << QByteArray("\xE0\xFD") << TJapaneseCode::EucJp;
        QTest::newRow("E0 then C0: either") << QByteArray("\xE0\xC0") << TJapaneseCode::Either;
        QTest::newRow("F0: euc") << QByteArray("\xF0\xA1") << TJapaneseCode::EucJp;
        QTest::newRow("empty") << QByteArray() << TJapaneseCode::Ascii;
    }
    void detection()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(TJapaneseCode, code);
        QCOMPARE(DetectJapaneseCode(bytes), code);
    }

    void conversion()
    {
        QCOMPARE(DecodeJapanese(encoded("ISO-2022-JP", kJapanese)).left(12), kJapanese.left(12));
        QCOMPARE(DecodeJapanese(encoded("EUC-JP", kJapanese)), kJapanese);
        QCOMPARE(DecodeJapanese(Cp932::encode(kJapanese)), kJapanese);
        // Either: left as Shift_JIS bytes.
        QCOMPARE(DecodeJapanese(QByteArray("\xB1\xB2")), QStringLiteral("ｱｲ"));
        // Garbage never fails.
        QByteArray junk(4096, '\0');
        for (int i = 0; i < junk.size(); ++i)
            junk[i] = char((i * 131 + 7) & 0xFF);
        QVERIFY(!DecodeJapanese(junk).isEmpty());
    }

    // --- the HTML scanner -------------------------------------------------------------------
    void parserEdgeCases()
    {
        THTMLParser p;
        p.SetHTML(QStringLiteral("<p>no tables</p>"));
        QCOMPARE(p.TableCount(), 0);
        QVERIFY(p.GetTable(1).isEmpty());

        p.SetHTML(QStringLiteral("<table><tr><td>A</td><td><table><tr><td>N</td></tr></table></td></tr><tr><td>B</td></tr></table>after"));
        QCOMPARE(p.TableCount(), 2);
        QVERIFY(!p.GetTable(1).contains(u'N'));
        QVERIFY(p.GetTable(1).contains(u'B'));
        QCOMPARE(p.GetTable(2), QStringLiteral("<TR><TD>N</TD></TR>"));
        QCOMPARE(p.RowCount(1), 2);
        QCOMPARE(p.GetTable(0), QStringLiteral("after"));
        QCOMPARE(p.GetCell(1, 2, 1), QStringLiteral("B"));
        QVERIFY(THTMLParser::GetElement(p.GetTable(1), QStringLiteral("TR"), 9).isEmpty());

        p.SetHTML(QStringLiteral("<table><tr><th>H1</th><th>H2</th></tr><tr><td></td><td>x</td></tr></table>"));
        QCOMPARE(p.GetCell(1, 1, 2), QStringLiteral("H2"));
        QCOMPARE(p.GetCell(1, 2, 1), QStringLiteral("x")); // an empty cell: the row's visible text

        p.SetHTML(QStringLiteral("<td class=\"Team\">x</td>"));
        QCOMPARE(p.Document(), QStringLiteral("<TD class=\"Team\">x</TD>"));
    }

    void stripTags_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("text");
        QTest::newRow("nbsp keeps the semicolon") << "A&nbsp;B" << "A ;B";
        QTest::newRow("br") << "a<BR>b" << "a\r\nb";
        QTest::newRow("br lower case") << "a<br>b" << "a\r\nb";
        QTest::newRow("self-closing br is no break") << "a<br/>b" << "ab";
        QTest::newRow("closing div") << "a</div>b" << "a\r\nb";
        QTest::newRow("hr") << "a<HR>b" << "a\r\nb";
        QTest::newRow("tabs and line ends dropped") << "a\tb\r\nc" << "abc";
        QTest::newRow("unclosed tag") << "a<b" << "a";
    }
    void stripTags()
    {
        QFETCH(QString, html);
        QFETCH(QString, text);
        QCOMPARE(THTMLParser::StripTags(html), text);
    }

    void widthConverters()
    {
        QCOMPARE(THTMLParser::ToHalfWidth(QStringLiteral("ＦＣ東京＠１２ｚ")), QStringLiteral("FC東京@12z"));
        QCOMPARE(THTMLParser::ToFullWidth(QStringLiteral("FC東京@12z")), QStringLiteral("ＦＣ東京＠１２ｚ"));
    }

    void realPage()
    {
        QFile f(QStringLiteral(PELVANE_TEST_DATA "/pages/toto_club_2001_yosou1.html"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(DetectJapaneseCode(bytes), TJapaneseCode::ShiftJis);
        THTMLParser p;
        p.SetHTML(DecodeJapanese(bytes));
        QVERIFY(p.TableCount() >= 2);
        // Read by eye: the first table lists the two rounds, as links.
        QCOMPARE(p.RowCount(1), 2);
        QCOMPARE(THTMLParser::StripTags(p.GetCell(1, 2, 1)).trimmed(), QStringLiteral("toto第4回対象試合"));
        QCOMPARE(THTMLParser::StripTags(p.GetCell(2, 1, 2)).trimmed(), QStringLiteral("大差の票数"));
    }

    void hostileInput()
    {
        THTMLParser p;
        p.SetHTML(QString(30 * 1024 * 1024, u'<'));
        QCOMPARE(p.TableCount(), 0);
        QString nested;
        for (int i = 0; i < 200; ++i)
            nested += QStringLiteral("<table><tr><td>");
        nested += QStringLiteral("core");
        for (int i = 0; i < 200; ++i)
            nested += QStringLiteral("</td></tr></table>");
        p.SetHTML(nested);
        QCOMPARE(p.TableCount(), 200);
        QVERIFY(p.GetTable(200).contains(QStringLiteral("core")));
        QVERIFY(!p.GetTable(1).contains(QStringLiteral("core")));
        p.SetHTML(QStringLiteral("<td title=\"a>b\">c</td><table"));
        QCOMPARE(THTMLParser::GetElement(p.Document(), QStringLiteral("TD"), 1), QStringLiteral("b\">c"));
        QCOMPARE(p.TableCount(), 0); // an unclosed table tag at the end is dropped
    }

    // Inputs the fuzzer found, kept as regressions.
    void fuzzFindings()
    {
        const QDir dir(QStringLiteral(PELVANE_TEST_DATA "/fuzz"));
        const QStringList files = dir.entryList(QDir::Files);
        QVERIFY(!files.isEmpty());
        for (const QString &name : files) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const QByteArray bytes = f.readAll();
            const TJapaneseCode code = DetectJapaneseCode(bytes);
            const QString text = DecodeJapanese(bytes, code);
            if (!text.contains(QChar(0xFFFD)) && Cp932::canEncode(text))
                QCOMPARE(Cp932::decode(Cp932::encode(text)), text);
            THTMLParser p;
            p.SetHTML(text);
            QVERIFY(p.GetTable(1).size() <= p.Document().size());
        }
    }

    // --- the client against the loopback server ---------------------------------------------
    void bodiesOfEveryEncoding_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");
        QTest::newRow("shift_jis") << Cp932::encode(kJapanese) << kJapanese;
        QTest::newRow("euc-jp") << encoded("EUC-JP", kJapanese) << kJapanese;
        QTest::newRow("either") << QByteArray("\xB1\xB2") << QStringLiteral("ｱｲ");
    }
    void bodiesOfEveryEncoding()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);
        TFixtureServer server;
        server.route("/page", {body});
        TInternet client;
        QVERIFY(client.Get(server.url(QStringLiteral("/page")), false));
        QCOMPARE(client.BodyText(), expected);
    }

    void invalidUtf8IsReplaced()
    {
        TFixtureServer server;
        server.route("/bad", TFixtureServer::Route(QByteArray("ok\xC3\x28 \xFF\xFE end")));
        TInternet client;
        QVERIFY(client.Get(server.url(QStringLiteral("/bad")), true));
        QVERIFY(client.BodyText().startsWith(QStringLiteral("ok")));
        QVERIFY(client.BodyText().endsWith(QStringLiteral("end")));
        QVERIFY(client.BodyText().contains(QChar(0xFFFD)));
    }

    void isoBodyArrivesAsText()
    {
        TFixtureServer server;
        server.route("/jis", {encoded("ISO-2022-JP", QStringLiteral("鹿島\r\n浦和\r\n"))});
        TInternet client;
        QVERIFY(client.Get(server.url(QStringLiteral("/jis")), false));
        QCOMPARE(client.Body, (QStringList{QStringLiteral("鹿島"), QStringLiteral("浦和")}));
    }

    void exactMultipleOf1024AndUtf8()
    {
        TFixtureServer server;
        QByteArray body;
        for (int i = 0; i < 4 * 1024 / 8; ++i)
            body += "line 12\n";
        QCOMPARE(body.size(), 4096);
        server.route("/k", {body});
        server.route("/utf8", {QStringLiteral("鹿島\n浦和").toUtf8(), "text/html; charset=utf-8"});
        TInternet client;
        QVERIFY(client.Get(server.url(QStringLiteral("/k")), false));
        QCOMPARE(client.RawBody().size(), 4096);
        QCOMPARE(client.Body.size(), 512);
        QVERIFY(client.Get(server.url(QStringLiteral("/utf8")), true));
        QCOMPARE(client.Body, (QStringList{QStringLiteral("鹿島"), QStringLiteral("浦和")}));
        // The request headers of the original client.
        const QByteArray headers = server.received.first().headers;
        for (const char *h : {"Accept: */*", "Cache-Control: max-age=0", "Accept-Language: ja"})
            QVERIFY2(headers.contains(h), h);
    }

    void notFoundIsAPage()
    {
        TFixtureServer server;
        TInternet client;
        QVERIFY(client.Get(server.url(QStringLiteral("/missing")), false));
        QCOMPARE(client.StatusCode(), 404);
        QCOMPARE(client.BodyText(), QStringLiteral("not found"));
    }

    void unreachableAndBrokenTransfers()
    {
        TFixtureServer server;
        TFixtureServer::Route cut{QByteArray(5000, 'x')};
        cut.closeAfter = 100;
        server.route("/cut", cut);
        TInternet client;
        QVERIFY(!client.Get(server.url(QStringLiteral("/cut")), false));
        QVERIFY(!client.Get(QStringLiteral("http://127.0.0.1:1/"), false));
        QVERIFY(client.Body.isEmpty());
        QVERIFY(client.GetHeader(QStringLiteral("http://127.0.0.1:1/")).isEmpty());
    }

    void timeoutIsHonoured()
    {
        TFixtureServer server;
        TFixtureServer::Route slow{"late"};
        slow.delayMs = 5000;
        server.route("/slow", slow);
        TInternet client;
        client.SetTimeout(500);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!client.Get(server.url(QStringLiteral("/slow")), false));
        QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(timer.elapsed() >= 400);
    }

    void longHeaders()
    {
        TFixtureServer server;
        TFixtureServer::Route r{"x"};
        r.headers.append(qMakePair(QByteArray("X-Long"), QByteArray(4000, 'a')));
        r.headers.append(qMakePair(QByteArray("Last-Modified"), QByteArray("Sat, 06 Mar 2004 09:00:00 GMT")));
        server.route("/h", r);
        TInternet client;
        const QString header = client.GetHeader(server.url(QStringLiteral("/h")));
        QVERIFY(header.startsWith(QStringLiteral("HTTP/1.1 200")));
        QVERIFY(header.contains(QStringLiteral("Last-Modified: Sat, 06 Mar 2004 09:00:00 GMT")));
        QVERIFY(header.size() > 4000);
    }

    void postIsByteExact()
    {
        TFixtureServer server;
        server.route("/post", {Cp932::encode(QStringLiteral("投稿しました"))});
        TInternet client;
        QVERIFY(client.PostStrings(server.url(QStringLiteral("/post")),
                                   {QStringLiteral("name= Taro "), QStringLiteral("toto=1"), QStringLiteral("comment=鹿島 & 浦和")}));
        QCOMPARE(server.received.last().method, QByteArray("POST"));
        QCOMPARE(server.received.last().body, QByteArray("name=Taro&toto=1&comment=%8E%AD%93%87+%26+%89Y%98a"));
        QVERIFY(server.received.last().headers.contains("Content-Type: application/x-www-form-urlencoded"));
        QCOMPARE(client.BodyText(), QStringLiteral("投稿しました"));
        // Not sent: the previous body stays.
        QVERIFY(!client.Post(QStringLiteral("http://127.0.0.1:1/"), QStringLiteral("a=b")));
        QCOMPARE(client.BodyText(), QStringLiteral("投稿しました"));
    }

    void urlEncode()
    {
        QCOMPARE(TInternet::UrlEncode(QStringLiteral("a b-c.d@e_f*")), QStringLiteral("a+b-c.d@e_f*"));
        QCOMPARE(TInternet::UrlEncode(QStringLiteral("&=")), QStringLiteral("%26%3D"));
    }

    void loadFromUrl()
    {
        TFixtureServer server;
        QFile f(QStringLiteral(PELVANE_TEST_DATA "/files/toto1154.tts"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        server.route("/Sheet/toto1154.tts", {f.readAll(), "text/plain"});
        server.route("/broken.tts", {QByteArray("<html>Error 500</html>")});
        TScriptedMessages messages;
        TTipSheet sheet;
        sheet.Match(0).SetTips({tpHome});
        QVERIFY(sheet.LoadFromURL(server.url(QStringLiteral("/Sheet/toto1154.tts")), lpCard));
        QCOMPARE(sheet.Match(1).HomeTeam().Name(), QStringLiteral("横浜 Ｆ・マリノス"));
        QVERIFY(sheet.Match(0).Tips().isEmpty()); // the card alone clears the forecast
        QVERIFY(!sheet.LoadFromURL(server.url(QStringLiteral("/broken.tts")), lpCard, QStringLiteral("読めません")));
        QCOMPARE(messages.texts(), QStringList{QStringLiteral("読めません")});
        QCOMPARE(sheet.Match(1).HomeTeam().Name(), QStringLiteral("横浜 Ｆ・マリノス")); // kept
        QVERIFY(!sheet.LoadFromURL(server.url(QStringLiteral("/none")), lpCard)); // silent
        QCOMPARE(messages.asked.size(), 1);
        QVERIFY(!sheet.Updating());
    }
};

QTEST_GUILESS_MAIN(TestWeb)
#include "tst_web.moc"
