#include "lottery/UnitToTo.h"
#include "mainwindow/frmMain.h"
#include "platform/DataFolders.h"
#include "platform/EventPump.h"
#include "platform/PelvaneError.h"
#include "platform/FileAssociation.h"
#include "platform/IniFile.h"
#include "platform/UserRegistry.h"
#include "settings/UnitOption.h"
#include "settings/frmAbout.h"
#include "support/ScriptedMessages.h"
#include "support/TempFolders.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QProgressBar>
#include <QToolBar>
#include <QtTest>

namespace {

const QString kDbWarning = QStringLiteral("データベースが見つかりません。\r\n正しくインストールされていない可能性があります。\r\n");

bool hasMenu(QMainWindow &w, const QString &objectName)
{
    for (QAction *a : w.menuBar()->actions())
        if (a->menu() && a->menu()->objectName() == objectName)
            return true;
    return false;
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void startWithoutDatabaseWarns()
    {
        TTempFolders temp;
        TScriptedMessages messages;
        TFormMain::TStartup startup;
        TFormMain w(startup);
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(messages.asked[0].text, kDbWarning);
        QCOMPARE(messages.asked[0].caption, QStringLiteral("警告 - Pelvane"));
        QCOMPARE(messages.asked[0].type, TMsgDlgType::mtWarning);
        QVERIFY(QFileInfo(temp.path() + QStringLiteral("/documents/Pelvane3/Sheet")).isDir());
    }

    void adminMenuOnlyInMaintenanceMode_data()
    {
        QTest::addColumn<bool>("maintenance");
        QTest::newRow("normal") << false;
        QTest::newRow("maintenance") << true;
    }
    void adminMenuOnlyInMaintenanceMode()
    {
        QFETCH(bool, maintenance);
        TTempFolders temp;
        TScriptedMessages messages;
        TFormMain::TStartup startup;
        startup.databaseConnected = true;
        startup.commandLine.maintenance = maintenance;
        startup.commandLine.debug = true;
        TFormMain w(startup);
        QCOMPARE(hasMenu(w, QStringLiteral("MenuAdmin")), maintenance);
        QVERIFY(hasMenu(w, QStringLiteral("MenuFile")));
        QCOMPARE(w.Option().MaintenanceMode, maintenance);
        QVERIFY(w.Option().DebugMode);
        QVERIFY(messages.asked.isEmpty());
        for (const char *bar : {"ToolCommand", "ToolExpand", "ToolOptimize", "ToolPage", "ToolInfomation", "ToolResult"})
            QVERIFY2(w.findChild<QToolBar *>(QString::fromLatin1(bar)), bar);
    }

    void firstActivationAsksOnceAndClosesTheSplash_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("associated");
        QTest::newRow("yes") << int(mbYes) << true;
        QTest::newRow("no") << int(mbNo) << false;
    }
    void firstActivationAsksOnceAndClosesTheSplash()
    {
        QFETCH(int, answer);
        QFETCH(bool, associated);
        TTempFolders temp;
        TScriptedMessages messages;
        messages.answer(TMsgDlgBtn(answer));
        auto *splash = new TFormAbout(TFormAbout::TMode::Splash);
        splash->show();
        QPointer<TFormAbout> watch(splash);
        TFormMain::TStartup startup;
        startup.databaseConnected = true;
        startup.splash = splash;
        {
            TFormMain w(startup);
            w.show();
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            QTRY_VERIFY(w.FirstActivationDone());
            QTRY_VERIFY(watch.isNull());
            QCOMPARE(messages.texts(), QStringList{QStringLiteral("予想ファイルを関連付けしますか？")});
            QCOMPARE(messages.asked[0].focused, mbYes);
            QCOMPARE(FileAssociation::isAssociated(DataFolders::executablePath()), associated);
            QVERIFY(TUserRegistry(kRegistryKey).readBool(QStringLiteral("Setup"), QStringLiteral("Initialized"), false));
        }
        // The next start does not ask again, whatever was answered.
        messages.asked.clear();
        TFormMain again(startup = TFormMain::TStartup{{}, true, nullptr});
        again.show();
        again.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&again));
        QTRY_VERIFY(again.FirstActivationDone());
        QVERIFY(messages.asked.isEmpty());
    }

    void closeRefusedWhileExpanding()
    {
        TTempFolders temp;
        TUserRegistry(kRegistryKey).writeBool(QStringLiteral("Setup"), QStringLiteral("Initialized"), true);
        TScriptedMessages messages;
        TFormMain::TStartup startup;
        startup.databaseConnected = true;
        TFormMain w(startup);
        w.show();
        TTipSheet &sheet = w.Sheet();
        sheet.Option->ExpandOption.Guarantee = false;
        for (int i = 0; i < 13; ++i)
            sheet.Match(i).SetTips(TTips::all());
        bool triedClose = false, closed = true;
        QProgressBar *gauge = w.findChild<QProgressBar *>(QStringLiteral("ProgressGauge"));
        bool gaugeShown = false;
        // While the expansion runs, try to close the window, then stop with Escape.
        SetEventPump([&] {
            QCoreApplication::processEvents();
            gaugeShown = gaugeShown || gauge->isVisible();
            if (!triedClose) {
                triedClose = true;
                closed = w.close();
                messages.answer(mbYes);
                w.Action(QStringLiteral("CmdAbort"))->trigger();
            }
        });
        QVERIFY_THROWS_EXCEPTION(EPelvaneError, sheet.Expand(false));
        SetEventPump({});
        QVERIFY(!closed);
        QVERIFY(gaugeShown);
        QVERIFY(!gauge->isVisible());
        QCOMPARE(messages.texts(), (QStringList{QStringLiteral("展開中です。 終了するには展開を中止してください"),
                                                QStringLiteral("展開を中止しますか？")}));
        QVERIFY(w.close()); // idle again: closes
    }

    void settingsAtStartAndClose_data()
    {
        QTest::addColumn<int>("storedType");
        QTest::addColumn<int>("type");
        QTest::newRow("mini B") << 2 << int(ttMiniB);
        QTest::newRow("type 7 starts on toto") << 7 << int(ttToto);
    }
    void settingsAtStartAndClose()
    {
        QFETCH(int, storedType);
        QFETCH(int, type);
        TTempFolders temp;
        TScriptedMessages messages;
        QDir().mkpath(temp.path() + QStringLiteral("/config/Pelvane3"));
        QFile ini(GetIniFileName());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Setup]\r\nNumber=321\r\ntotoType=%1\r\nSheetWidth=420\r\n[Option]\r\nUseOfficialOdds=0\r\n"
                                 "ExpandWarningCount=999\r\n[Addin]\r\nCount=0\r\n").arg(storedType).toLatin1());
        ini.close();
        TFormMain::TStartup startup;
        startup.databaseConnected = true;
        {
            TFormMain w(startup);
            QCOMPARE(w.Sheet().Number(), 321);
            QCOMPARE(int(w.Sheet().TotoType()), type);
            QVERIFY(!w.Sheet().UseOfficialOdds());
            QCOMPARE(w.Option().ExpandWarningCount, 999);
            w.Sheet().SetNumber(400);
            w.Option().Tipster = QStringLiteral("予想家");
            QVERIFY(w.close());
        }
        const TIniFile saved(GetIniFileName(), TIniFile::TMode::Profile);
        QCOMPARE(saved.readInteger(QStringLiteral("Setup"), QStringLiteral("Number"), 0), 400);
        QCOMPARE(saved.readInteger(QStringLiteral("Setup"), QStringLiteral("TotoType"), -1), type);
        QCOMPARE(saved.readInteger(QStringLiteral("Setup"), QStringLiteral("SheetWidth"), 0), 420);
        QCOMPARE(saved.readString(QStringLiteral("Option"), QStringLiteral("Tipster")), QStringLiteral("予想家"));
        QCOMPARE(saved.readString(QStringLiteral("Addin"), QStringLiteral("Count")), QStringLiteral("0"));
        QVERIFY(saved.valueExists(QStringLiteral("FormMain"), QStringLiteral("Width")));
        QVERIFY(messages.asked.isEmpty());
    }

    void commandLineOpensThePrediction()
    {
        TTempFolders temp;
        TScriptedMessages messages;
        TFormMain::TStartup startup;
        startup.databaseConnected = true;
        startup.commandLine.fileToOpen = QStringLiteral(PELVANE_TEST_DATA "/files/toto1154.tot");
        TFormMain w(startup);
        QVERIFY(messages.asked.isEmpty());
        QCOMPARE(w.Sheet().Singles().Count(), 5);
        QCOMPARE(w.Sheet().FileName(), startup.commandLine.fileToOpen);
        QVERIFY(w.windowTitle().contains(QStringLiteral("1154")));
    }

    void missingCommandLineFileIsReported()
    {
        TTempFolders temp;
        TScriptedMessages messages;
        TFormMain::TStartup startup;
        startup.databaseConnected = true;
        startup.commandLine.fileToOpen = temp.file(QStringLiteral("toto1154.tot"));
        TFormMain w(startup);
        QCOMPARE(messages.asked.size(), 1);
        QCOMPARE(messages.asked[0].type, TMsgDlgType::mtError);
        QVERIFY(messages.asked[0].text.contains(QStringLiteral("toto1154.tot")));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
