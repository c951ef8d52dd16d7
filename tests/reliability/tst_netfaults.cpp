// Downloads from servers that misbehave: the client gives up within its time-out or size limit,
// the event loop keeps running, and neither the sheet nor the database changes.
#include "database/DatabaseUpdate.h"
#include "lottery/UnitToTo.h"
#include "settings/UnitOption.h"
#include "support/FixtureServer.h"
#include "support/ScriptedMessages.h"
#include "support/TempFolders.h"
#include "support/TestDatabase.h"
#include "web/UnitInternet.h"
#include "web/UnitParseHTML.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

class TestNetFaults : public QObject
{
    Q_OBJECT

private slots:
    void faults_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("stall") << "stall";
        QTest::newRow("reset") << "reset";
        QTest::newRow("wrong length") << "length";
        QTest::newRow("cut off") << "cut";
        QTest::newRow("endless body") << "endless";
    }
    void faults()
    {
        QFETCH(QString, fault);
        TTempFolders temp;
        TScriptedMessages messages;
        // A good result page, served badly.
        QString page = QStringLiteral("<TABLE><TR><TH>第1200回 toto　くじ結果</TH></TR>");
        for (int i = 1; i <= 13; ++i)
            page += QStringLiteral("<TR><TD>a</TD><TD>b</TD><TD>%1</TD><TD>h</TD><TD>1-0</TD><TD>a</TD></TR>").arg(i);
        page += QStringLiteral("<TR><TD>繰越金</TD><TD>0</TD></TR></TABLE>");
        TFixtureServer::Route route(page.toUtf8());
        if (fault == u"stall")
            route.delayMs = 4000;
        route.reset = fault == u"reset";
        route.wrongLength = fault == u"length";
        if (fault == u"cut")
            route.closeAfter = route.body.size() / 2;
        route.endless = fault == u"endless";
        TFixtureServer server;
        server.route(ParseHTML::ResultPagePath(1200).toUtf8(), route);
        server.route("/p/Data/teams.csv", route);

        TOption option;
        option.OfficialSiteURL = server.url(QString());
        option.PelvaneURL = server.url(QStringLiteral("/p/"));
        option.Internet.Timeout = 1;
        TTipSheet sheet;
        sheet.Option = &option;
        sheet.SetNumber(1200);
        sheet.Match(0).SetScore(4, 4);

        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start(20);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!sheet.DownloadResults());
        const qint64 took = timer.elapsed();
        QVERIFY2(took < 3500, qPrintable(QString::number(took))); // the time-out, not the server, ends it
        QVERIFY2(ticks > 0 || took < 100, "the event loop ran meanwhile");
        QCOMPARE(sheet.Match(0).HomeScore(), 4);
        QCOMPARE(messages.texts().last(), QStringLiteral("試合結果が見つかりませんでした"));

        // The same through the database update: the file is offered, fails, nothing changes.
        TDM dm(MakeTestDatabase(temp.file(QStringLiteral("ref.db")), {QStringLiteral("Insert Into Teams Values (2013, 1, 1, 1)")}));
        TDatabaseUpdate update(dm, &option);
        update.Year = 2014;
        update.Check();
        update.Files[11].Selected = true; // as a double click would
        QVERIFY(!update.Download());
        QVERIFY(update.Files[11].Status == u"ダウンロード失敗" || update.Files[11].Status == u"更新失敗");
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Count(*) From Teams")).toInt(), 1);
        QCOMPARE(dm.QueryValue(QStringLiteral("Select Count(*) From FileList")).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TestNetFaults)
#include "tst_netfaults.moc"
