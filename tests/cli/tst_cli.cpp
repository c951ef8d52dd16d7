#include "support/FixtureServer.h"
#include "support/TempFolders.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int code = -1;
    QByteArray out, err;
    QJsonObject json() const { return QJsonDocument::fromJson(out).object(); }
};

Run cli(const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(PELVANE_CLI), args);
    Run r;
    // Poll, so that a loopback server of the test keeps answering meanwhile.
    QElapsedTimer timer;
    timer.start();
    while (p.state() != QProcess::NotRunning && !p.waitForFinished(5)) {
        QCoreApplication::processEvents();
        if (timer.elapsed() > 60000)
            return r;
    }
    r.code = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

const QString kVotes13 = QStringLiteral("1,1,0 1,1,0 1,1,0 1,1,0 1,1,0 1,1,0 1,1,0 1,1,0 1,1,0 1,1,0 1,1,0 1,1,0 1,1,0");

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void helpListsCommands()
    {
        const Run r = cli({QStringLiteral("--help")});
        QCOMPARE(r.code, 0);
        for (const char *c : {"info", "singles-checksum", "prizes", "amount"})
            QVERIFY2(r.out.contains(c), c);
    }

    void amount()
    {
        const Run r = cli({QStringLiteral("amount"), QStringLiteral("123456789"), QStringLiteral("--json")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.json().value(QStringLiteral("text")).toString(), QStringLiteral("1億2345万"));
        QCOMPARE(cli({QStringLiteral("amount"), QStringLiteral("5万")}).code, 2);
    }

    void prizes()
    {
        const Run r = cli({QStringLiteral("prizes"), QStringLiteral("--type"), QStringLiteral("toto"), QStringLiteral("--round"),
                           QStringLiteral("300"), QStringLiteral("--results"),
                           QStringLiteral("1 1 1 1 1 1 1 1 1 1 1 1 1"), QStringLiteral("--votes"), kVotes13,
                           QStringLiteral("--json")});
        QCOMPARE(r.code, 0);
        const QJsonObject o = r.json();
        QCOMPARE(o.value(QStringLiteral("first")).toInteger(), 35 * 8192);
        QVERIFY(o.contains(QStringLiteral("second")));
        QVERIFY(o.contains(QStringLiteral("third")));
    }

    void prizesCalledOffMatch()
    {
        // A called-off match ("102") counts every outcome as hit: the same estimate as 12 matches.
        const QString votes = QStringLiteral("1,1,0 1,1,0 1,1,0 1,1,0 1,1,0");
        const Run all = cli({QStringLiteral("prizes"), QStringLiteral("--type"), QStringLiteral("miniA"), QStringLiteral("--round"),
                             QStringLiteral("300"), QStringLiteral("--results"), QStringLiteral("1 1 1 1 102"),
                             QStringLiteral("--votes"), votes, QStringLiteral("--json")});
        QCOMPARE(all.code, 0);
        QCOMPARE(all.json().value(QStringLiteral("first")).toInteger(), 50 * 16);
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        const QString n = QStringLiteral("1 1 1 1 1 1 1 1 1 1 1 1 1");
        QTest::newRow("unknown command") << QStringList{"frobnicate"} << 2;
        QTest::newRow("no command") << QStringList{} << 2;
        QTest::newRow("missing round") << QStringList{"prizes", "--results", n, "--votes", kVotes13} << 2;
        QTest::newRow("round not a number") << QStringList{"prizes", "--round", "x", "--results", n, "--votes", kVotes13} << 2;
        QTest::newRow("too few results") << QStringList{"prizes", "--round", "300", "--results", "1 1", "--votes", kVotes13} << 2;
        QTest::newRow("bad mark digit") << QStringList{"prizes", "--round", "300", "--results", n.left(24) + "3", "--votes", kVotes13} << 2;
        QTest::newRow("bad votes") << QStringList{"prizes", "--round", "300", "--results", n, "--votes", "1,2 3"} << 2;
        QTest::newRow("unknown type") << QStringList{"prizes", "--type", "big", "--round", "1"} << 2;
        QTest::newRow("unknown option") << QStringList{"amount", "5", "--colour", "red"} << 2;
        QTest::newRow("option without value") << QStringList{"prizes", "--round"} << 2;
        QTest::newRow("missing file") << QStringList{"singles-checksum", "/nonexistent/file.csv"} << 1;
    }
    void badInput()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        const Run r = cli(args);
        QCOMPARE(r.code, code);
        QVERIFY(!r.err.isEmpty());
    }

    void singlesChecksum()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("s.txt"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("1, 0, 2, 0, 0\r\n2, 2, 2, 2, 2, X\r\n");
        f.close();
        const Run r = cli({QStringLiteral("singles-checksum"), path, QStringLiteral("--type"), QStringLiteral("miniA"),
                           QStringLiteral("--json")});
        QCOMPARE(r.code, 0);
        const QJsonObject o = r.json();
        QCOMPARE(o.value(QStringLiteral("singles")).toInt(), 2);
        QCOMPARE(o.value(QStringLiteral("valid")).toInt(), 1);
        // CRC-16/MODBUS over the ordinals 1 0 2 0 0 2 2 2 2 2, computed by hand from the table.
        quint16 crc = 0xFFFF;
        for (int b : {1, 0, 2, 0, 0, 2, 2, 2, 2, 2}) {
            crc ^= quint16(b);
            for (int k = 0; k < 8; ++k)
                crc = (crc & 1) ? quint16((crc >> 1) ^ 0xA001) : quint16(crc >> 1);
        }
        QCOMPARE(o.value(QStringLiteral("checksum")).toInt(), int(crc));
    }

    void settingsShow()
    {
        const QString fixture = QStringLiteral(PELVANE_TEST_DATA "/settings/windows.ini");
        const Run masked = cli({QStringLiteral("settings"), QStringLiteral("show"), QStringLiteral("--file"), fixture, QStringLiteral("--json")});
        QCOMPARE(masked.code, 0);
        const QJsonObject o = masked.json();
        QCOMPARE(o.value(QStringLiteral("TotoDreamPassword")).toString(), QStringLiteral("********"));
        QCOMPARE(o.value(QStringLiteral("EBankPassword")).toString(), QString()); // empty stays empty
        QCOMPARE(o.value(QStringLiteral("Internet")).toObject().value(QStringLiteral("Timeout")).toInt(), 30);
        QCOMPARE(o.value(QStringLiteral("ExpandOption")).toObject().value(QStringLiteral("Prizelevel")).toInt(), 3);
        QVERIFY(!masked.out.contains("secret"));
        const Run shown = cli({QStringLiteral("settings"), QStringLiteral("show"), QStringLiteral("--file"), fixture,
                               QStringLiteral("--show-credentials"), QStringLiteral("--json")});
        QCOMPARE(shown.json().value(QStringLiteral("TotoDreamPassword")).toString(), QStringLiteral("secret"));
        QCOMPARE(cli({QStringLiteral("settings"), QStringLiteral("show"), QStringLiteral("--file"), QStringLiteral("/no/such.ini")}).code, 1);
    }

    void rulesCheck_data()
    {
        QTest::addColumn<QString>("single");
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QString>("rule");
        // The fixture: home 3..6 allowed, group A on the home picks of matches 1 and 2 (cut when both
        // taken), group B on draw and away of match 4 (cut when neither is taken).
        QTest::newRow("seven homes") << "1 1 1 1 1 1 1 0 0 0 0 0 0" << true << "HomeCut";
        QTest::newRow("two homes") << "0 1 1 0 0 0 0 0 0 0 0 0 0" << true << "HomeCut";
        QTest::newRow("group A taken") << "1 1 1 0 0 0 0 0 0 0 0 0 2" << true << "IssueCut";
        QTest::newRow("passes") << "0 1 1 0 1 0 0 0 0 2 2 2 2" << false << "";
    }
    void rulesCheck()
    {
        QFETCH(QString, single);
        QFETCH(bool, cut);
        QFETCH(QString, rule);
        const Run r = cli({QStringLiteral("rules"), QStringLiteral("check"), QStringLiteral("--file"),
                           QStringLiteral(PELVANE_TEST_DATA "/settings/windows.ini"), QStringLiteral("--single"), single,
                           QStringLiteral("--json")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.json().value(QStringLiteral("cut")).toBool(), cut);
        if (cut)
            QCOMPARE(r.json().value(QStringLiteral("rule")).toString(), rule);
        else
            QVERIFY(r.json().value(QStringLiteral("rule")).isNull());
    }

    void rulesCheckOnAPrediction()
    {
        TTempFolders temp;
        // The golden prediction keeps home wins between 3 and 7.
        const Run cut = cli({QStringLiteral("rules"), QStringLiteral("check"), QStringLiteral("--file"),
                             QStringLiteral(PELVANE_TEST_DATA "/files/toto1154.tot"), QStringLiteral("--single"),
                             QStringLiteral("1 1 1 1 1 1 1 1 2 2 2 2 2"), QStringLiteral("--json")});
        QCOMPARE(cut.code, 0);
        QCOMPARE(cut.json().value(QStringLiteral("rule")).toString(), QStringLiteral("HomeCut"));
    }

    void rulesCheckBadSingle()
    {
        const QString fixture = QStringLiteral(PELVANE_TEST_DATA "/settings/windows.ini");
        QCOMPARE(cli({QStringLiteral("rules"), QStringLiteral("check"), QStringLiteral("--file"), fixture,
                      QStringLiteral("--single"), QStringLiteral("1 0 2")}).code, 2);
        QCOMPARE(cli({QStringLiteral("rules"), QStringLiteral("check"), QStringLiteral("--file"), fixture,
                      QStringLiteral("--single"), QStringLiteral("1 0 2 1 3"), QStringLiteral("--type"), QStringLiteral("miniA")}).code, 2);
    }

    void showRoundFile()
    {
        TTempFolders temp;
        const Run r = cli({QStringLiteral("show"), QStringLiteral(PELVANE_TEST_DATA "/files/toto1154.tot"), QStringLiteral("--json")});
        QCOMPARE(r.code, 0);
        const QJsonObject o = r.json();
        QCOMPARE(o.value(QStringLiteral("type")).toInt(), 0);
        QCOMPARE(o.value(QStringLiteral("number")).toInt(), 1154);
        QCOMPARE(o.value(QStringLiteral("singles")).toInt(), 5);
        QCOMPARE(o.value(QStringLiteral("valid")).toInt(), 4);
        QCOMPARE(o.value(QStringLiteral("checksum")).toString(), QStringLiteral("ok"));
        const QJsonArray matches = o.value(QStringLiteral("matches")).toArray();
        QCOMPARE(matches.size(), 13);
        const QJsonObject m1 = matches[0].toObject();
        QCOMPARE(m1.value(QStringLiteral("home")).toString(), QStringLiteral("鹿島"));
        QCOMPARE(m1.value(QStringLiteral("tips")).toString(), QStringLiteral("1"));
        QCOMPARE(m1.value(QStringLiteral("result")).toString(), QStringLiteral("1"));
        QCOMPARE(m1.value(QStringLiteral("homeScore")).toInt(), 2);
        QCOMPARE(matches[2].toObject().value(QStringLiteral("calledOff")).toBool(), true);
        QCOMPARE(matches[2].toObject().value(QStringLiteral("result")).toString(), QStringLiteral("102"));
        QCOMPARE(o.value(QStringLiteral("probabilities")).toArray()[0].toDouble(), 42.5);
        QCOMPARE(o.value(QStringLiteral("dividends")).toArray()[0].toObject().value(QStringLiteral("carryOver")).toInteger(),
                 qint64(6000000000));
    }

    void singlesAndConvert()
    {
        TTempFolders temp;
        const QString tot = QStringLiteral(PELVANE_TEST_DATA "/files/totoA500.tot");
        const Run list = cli({QStringLiteral("singles"), tot});
        QCOMPARE(list.code, 0);
        QCOMPARE(list.out, QByteArray("1, 0, 2, 0, 1\r\n1, 0, 2, 0, 2\r\n2, 0, 0, 0, 1, X\r\n"));

        const QString copy = temp.file(QStringLiteral("copy.tot"));
        QCOMPARE(cli({QStringLiteral("convert"), tot, copy}).code, 0);
        QFile a(tot), b(copy);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        QCOMPARE(b.readAll(), a.readAll());

        const QString csv = temp.file(QStringLiteral("s.csv"));
        QCOMPARE(cli({QStringLiteral("convert"), tot, csv}).code, 0);
        const Run back = cli({QStringLiteral("singles-checksum"), csv, QStringLiteral("--type"), QStringLiteral("miniA"), QStringLiteral("--json")});
        QCOMPARE(back.json().value(QStringLiteral("singles")).toInt(), 3);
        QCOMPARE(back.json().value(QStringLiteral("valid")).toInt(), 2);

        QCOMPARE(cli({QStringLiteral("convert"), tot, temp.file(QStringLiteral("x.doc"))}).code, 2);
        QCOMPARE(cli({QStringLiteral("show"), temp.file(QStringLiteral("none.tot"))}).code, 1);
    }

    void expandEstimateCheck()
    {
        TTempFolders temp;
        const QString marks = QStringLiteral("102 102 102 102 12 1 1 1 1 1 1 1 0");
        const Run est = cli({QStringLiteral("estimate"), QStringLiteral("--doubles"), QStringLiteral("1"), QStringLiteral("--triples"),
                             QStringLiteral("4"), QStringLiteral("--prize"), QStringLiteral("2"), QStringLiteral("--json")});
        QCOMPARE(est.code, 0);
        const int expected = est.json().value(QStringLiteral("singles")).toInt();
        QVERIFY(expected > 0 && expected < 162);
        const QString out = temp.file(QStringLiteral("e.tot"));
        const Run exp = cli({QStringLiteral("expand"), QStringLiteral("--marks"), marks, QStringLiteral("--prize"), QStringLiteral("2"),
                             QStringLiteral("--seed"), QStringLiteral("3"), QStringLiteral("--out"), out, QStringLiteral("--json")});
        QCOMPARE(exp.code, 0);
        QCOMPARE(exp.json().value(QStringLiteral("singles")).toInt(), expected);
        QCOMPARE(exp.json().value(QStringLiteral("probabilities")).toArray().size(), 4);
        const Run ok = cli({QStringLiteral("check"), out, QStringLiteral("--prize"), QStringLiteral("2"), QStringLiteral("--json")});
        QCOMPARE(ok.code, 0);
        QVERIFY(ok.json().value(QStringLiteral("covered")).toBool());
        // Level 1 needs every combination: the reduced set does not keep it.
        const Run strict = cli({QStringLiteral("check"), out, QStringLiteral("--prize"), QStringLiteral("1"), QStringLiteral("--json")});
        QCOMPARE(strict.code, 3);
        QVERIFY(!strict.json().value(QStringLiteral("covered")).toBool());
        // Bad input: a level outside 1..4, a match without marks.
        QCOMPARE(cli({QStringLiteral("expand"), QStringLiteral("--marks"), marks, QStringLiteral("--prize"), QStringLiteral("5")}).code, 2);
        QCOMPARE(cli({QStringLiteral("expand"), QStringLiteral("--marks"), QStringLiteral("1 1"), QStringLiteral("--prize"), QStringLiteral("2")}).code, 2);
    }

    void guaranteeExpansion()
    {
        TTempFolders temp;
        const QString marks = QStringLiteral("102 102 102 102 102 10 1 1 1 1 1 1 1");
        const QString out = temp.file(QStringLiteral("g.tot"));
        const Run greedy = cli({QStringLiteral("expand"), QStringLiteral("--marks"), marks, QStringLiteral("--prize"), QStringLiteral("2"),
                                QStringLiteral("--guarantee"), QStringLiteral("--seed"), QStringLiteral("5"), QStringLiteral("--json")});
        QCOMPARE(greedy.code, 0);
        const Run searched = cli({QStringLiteral("expand"), QStringLiteral("--marks"), marks, QStringLiteral("--prize"), QStringLiteral("2"),
                                  QStringLiteral("--guarantee"), QStringLiteral("--seed"), QStringLiteral("5"),
                                  QStringLiteral("--search-seconds"), QStringLiteral("1"), QStringLiteral("--out"), out,
                                  QStringLiteral("--json")});
        QCOMPARE(searched.code, 0);
        QVERIFY(searched.json().value(QStringLiteral("singles")).toInt() <= greedy.json().value(QStringLiteral("singles")).toInt());
        QVERIFY(searched.json().value(QStringLiteral("seconds")).toDouble() >= 1.0);
        const Run check = cli({QStringLiteral("check"), out, QStringLiteral("--prize"), QStringLiteral("2"), QStringLiteral("--json")});
        QCOMPARE(check.code, 0);
        QVERIFY(check.json().value(QStringLiteral("covered")).toBool());
        QCOMPARE(cli({QStringLiteral("expand"), QStringLiteral("--marks"), marks, QStringLiteral("--prize"), QStringLiteral("2"),
                      QStringLiteral("--search-seconds"), QStringLiteral("1")}).code, 2); // needs --guarantee
    }

    void damagedOrMissingTables()
    {
        QTemporaryDir dir;
        const QString damaged = dir.filePath(QStringLiteral("tables.txt"));
        QFile f(damaged);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("2 0 2 3\n00\n11\n");
        f.close();
        for (const QString &path : {damaged, dir.filePath(QStringLiteral("missing.txt"))}) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("PELVANE_TABLES"), path);
            const Run r = cli({QStringLiteral("expand"), QStringLiteral("--marks"), QStringLiteral("102 102 1 1 1 1 1 1 1 1 1 1 1"),
                               QStringLiteral("--prize"), QStringLiteral("2"), QStringLiteral("--out"), dir.filePath(QStringLiteral("x.tot"))},
                              env);
            QCOMPARE(r.code, 1);
            QVERIFY(QString::fromUtf8(r.err).contains(QStringLiteral("削減表")));
            QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("x.tot")))); // no single was made
        }
    }

    void tablesListing()
    {
        const Run r = cli({QStringLiteral("tables"), QStringLiteral("--prize"), QStringLiteral("2"), QStringLiteral("--json")});
        QCOMPARE(r.code, 0);
        const QJsonArray list = QJsonDocument::fromJson(r.out).array();
        QVERIFY(list.size() > 10);
        for (const QJsonValue &v : list) {
            QCOMPARE(v.toObject().value(QStringLiteral("level")).toInt(), 2);
            QVERIFY(v.toObject().value(QStringLiteral("verified")).toBool());
            QVERIFY(v.toObject().value(QStringLiteral("rows")).toInt() <= 255);
        }
    }

    void fetchAndHtmlTables()
    {
        TTempFolders temp;
        TFixtureServer server;
        const QString text = QStringLiteral("第4回　鹿島アントラーズ対浦和レッズ　ｶﾀｶﾅ");
        QStringEncoder euc("EUC-JP");
        server.route("/euc", TFixtureServer::Route(euc.encode(text)));
        const Run r = cli({QStringLiteral("fetch"), server.url(QStringLiteral("/euc"))});
        QCOMPARE(r.code, 0);
        QCOMPARE(QString::fromUtf8(r.out).trimmed(), text);
        QCOMPARE(cli({QStringLiteral("fetch"), QStringLiteral("http://127.0.0.1:1/")}).code, 1);

        const Run t = cli({QStringLiteral("tables"), QStringLiteral(PELVANE_TEST_DATA "/pages/toto_club_2001_yosou1.html"),
                           QStringLiteral("--table"), QStringLiteral("1"), QStringLiteral("--json")});
        QCOMPARE(t.code, 0);
        const QJsonArray tables = QJsonDocument::fromJson(t.out).array();
        QCOMPARE(tables.size(), 1);
        QCOMPARE(tables[0].toObject().value(QStringLiteral("rows")).toArray()[1].toArray()[0].toString(), QStringLiteral("toto第4回対象試合"));
    }

    void info()
    {
        TTempFolders temp;
        const Run r = cli({QStringLiteral("info"), QStringLiteral("--json")});
        QCOMPARE(r.code, 0);
        const QJsonObject o = r.json();
        QVERIFY(!o.value(QStringLiteral("version")).toString().isEmpty());
        const QJsonObject folders = o.value(QStringLiteral("folders")).toObject();
        QCOMPARE(folders.value(QStringLiteral("user")).toString(), temp.path() + QStringLiteral("/config/Pelvane3/"));
        QCOMPARE(folders.value(QStringLiteral("settings")).toString(), temp.path() + QStringLiteral("/config/Pelvane3/pelvane.ini"));
        QVERIFY(o.value(QStringLiteral("database")).toObject().contains(QStringLiteral("state")));
    }

    void databaseStandings()
    {
        // The bundled database: J1 2014 ended with Gamba Osaka one point ahead of Urawa.
        const Run r = cli({QStringLiteral("db"), QStringLiteral("standings"), QStringLiteral("--year"), QStringLiteral("2014"),
                           QStringLiteral("--division"), QStringLiteral("1"), QStringLiteral("--json")});
        QCOMPARE(r.code, 0);
        const QJsonArray table = QJsonDocument::fromJson(r.out).array();
        QCOMPARE(table.size(), 18);
        const QJsonObject first = table.at(0).toObject();
        QCOMPARE(first.keys(), (QStringList{"drawn", "goalsAgainst", "goalsFor", "lost", "place", "played", "points", "team", "won"}));
        QCOMPARE(first.value("team").toString(), QStringLiteral("Ｇ大阪"));
        QCOMPARE(first.value("points").toInt(), 63);
        QCOMPARE(first.value("played").toInt(), 34);
        QCOMPARE(table.at(1).toObject().value("points").toInt(), 62);
        QCOMPARE(table.at(17).toObject().value("place").toInt(), 18);
    }

    void databaseTeamAndInfo()
    {
        Run r = cli({QStringLiteral("db"), QStringLiteral("team"), QStringLiteral("横浜FM"), QStringLiteral("--json")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.json().value("shortName").toString(), QStringLiteral("横浜M"));
        QVERIFY(r.json().value("seasons").toArray().size() >= 30);
        r = cli({QStringLiteral("db"), QStringLiteral("team"), QStringLiteral("どこにもない")});
        QCOMPARE(r.code, 1);
        r = cli({QStringLiteral("db"), QStringLiteral("info"), QStringLiteral("--json")});
        QCOMPARE(r.code, 0);
        bool sawMatch = false;
        for (const QJsonValue &t : r.json().value("tables").toArray())
            if (t.toObject().value("table").toString() == u"Match")
                sawMatch = t.toObject().value("rows").toInt() > 25000;
        QVERIFY(sawMatch);
    }

    void databaseErrors_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::newRow("no subcommand") << QStringList{"db"} << 2;
        QTest::newRow("year not a number") << QStringList{"db", "standings", "--year", "x", "--division", "1"} << 2;
        QTest::newRow("division out of range") << QStringList{"db", "standings", "--year", "2014", "--division", "7"} << 2;
        QTest::newRow("a year without teams") << QStringList{"db", "standings", "--year", "1980", "--division", "1"} << 1;
        QTest::newRow("not a database") << QStringList{"db", "info", "--db", QStringLiteral(PELVANE_TEST_DATA "/files/toto1154.tot")} << 1;
        QTest::newRow("missing database") << QStringList{"db", "info", "--db", "/nonexistent/x.db"} << 1;
    }
    void databaseErrors()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        const Run r = cli(args);
        QCOMPARE(r.code, code);
        QVERIFY(!r.err.isEmpty());
    }

    // The bundled 2014 season written as a server tree, served, and brought into an empty
    // database by "db update": the league table comes out the same.
    void databaseExportAndUpdate()
    {
        TTempFolders temp;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PELVANE_CONFIG_DIR"), temp.file(QStringLiteral("config")));
        const QString tree = temp.file(QStringLiteral("tree"));
        Run r = cli({QStringLiteral("db"), QStringLiteral("export"), tree, QStringLiteral("--years"), QStringLiteral("2014"), QStringLiteral("--json")}, env);
        QCOMPARE(r.code, 0);
        const QJsonArray files = QJsonDocument::fromJson(r.out).array();
        QCOMPARE(files.size(), 12);
        TFixtureServer server;
        for (const QJsonValue &f : files) {
            QFile file(tree + u'/' + f.toString());
            QVERIFY(file.open(QIODevice::ReadOnly));
            TFixtureServer::Route route(file.readAll(), "text/csv");
            route.headers.append(qMakePair(QByteArray("Last-Modified"), QByteArray("Wed, 10 Dec 2026 10:00:00 GMT")));
            server.route(("/p/" + f.toString()).toUtf8(), route);
        }
        const QString target = MakeTestDatabase(temp.file(QStringLiteral("target.db")));
        r = cli({QStringLiteral("db"), QStringLiteral("update"), QStringLiteral("--server"), server.url(QStringLiteral("/p/")),
                 QStringLiteral("--year"), QStringLiteral("2014"), QStringLiteral("--db"), target, QStringLiteral("--json")}, env);
        QCOMPARE(r.code, 0);
        QVERIFY(r.json().value("updated").toBool());
        r = cli({QStringLiteral("db"), QStringLiteral("standings"), QStringLiteral("--year"), QStringLiteral("2014"), QStringLiteral("--division"),
                 QStringLiteral("1"), QStringLiteral("--db"), target, QStringLiteral("--json")}, env);
        QCOMPARE(r.code, 0);
        const QJsonObject first = QJsonDocument::fromJson(r.out).array().at(0).toObject();
        QCOMPARE(first.value("team").toString(), QStringLiteral("Ｇ大阪"));
        QCOMPARE(first.value("points").toInt(), 63);
        // Nothing newer the second time.
        r = cli({QStringLiteral("db"), QStringLiteral("update"), QStringLiteral("--server"), server.url(QStringLiteral("/p/")),
                 QStringLiteral("--year"), QStringLiteral("2014"), QStringLiteral("--db"), target, QStringLiteral("--json")}, env);
        QCOMPARE(r.code, 0);
        QVERIFY(!r.json().value("updated").toBool());
    }

    void downloadResults()
    {
        TTempFolders temp;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PELVANE_CONFIG_DIR"), temp.file(QStringLiteral("config")));
        env.insert(QStringLiteral("PELVANE_DOCUMENTS_DIR"), temp.file(QStringLiteral("docs")));
        QString page;
        // Match numbers 1..13 in cell 2.
        page = QStringLiteral("<TABLE><TR><TH>第1200回 toto　くじ結果</TH></TR>");
        for (int i = 1; i <= 13; ++i)
            page += QStringLiteral("<TR><TD>a</TD><TD>b</TD><TD>%1</TD><TD>h</TD><TD>%2-0</TD><TD>a</TD></TR>").arg(i).arg(i % 4);
        page += QStringLiteral("<TR><TD>当せん金</TD><TD>1,000円</TD><TD>2</TD><TD>3</TD></TR><TR><TD>繰越金</TD><TD>0</TD></TR></TABLE>");
        TFixtureServer server;
        server.route("/dcs/subos/screen/pi04/spin011/PGSPIN01101LnkHoldCntLotResultLsttoto.form?holdCntId=1200",
                     TFixtureServer::Route(page.toUtf8(), "text/html; charset=utf-8"));
        const QString out = temp.file(QStringLiteral("r.tot"));
        Run r = cli({QStringLiteral("download"), QStringLiteral("results"), QStringLiteral("--round"), QStringLiteral("1200"),
                     QStringLiteral("--official-site"), server.url(QString()), QStringLiteral("--out"), out, QStringLiteral("--json")}, env);
        QCOMPARE(r.code, 0);
        const QJsonArray matches = r.json().value("matches").toArray();
        QCOMPARE(matches.at(2).toObject().value("homeScore").toInt(), 3);
        QCOMPARE(r.json().value("dividends").toArray().at(0).toObject().value("money").toInteger(), 1000);
        QVERIFY(QFile::exists(out));
        r = cli({QStringLiteral("download"), QStringLiteral("results"), QStringLiteral("--round"), QStringLiteral("1201"),
                 QStringLiteral("--official-site"), server.url(QString())}, env);
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains("試合結果が見つかりませんでした") || r.out.contains("試合結果が見つかりませんでした"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
