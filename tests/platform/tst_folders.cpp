#include "platform/FileAssociation.h"
#include "platform/PelvaneError.h"
#include "platform/UserRegistry.h"
#include "shell/UnitTypes.h"
#include "support/TempFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

class TestFolders : public QObject
{
    Q_OBJECT

private slots:
    void foldersAreCreatedAndCached()
    {
        TTempFolders temp;
        const QString user = GetUserDataFolder();
        QCOMPARE(user, temp.path() + QStringLiteral("/config/Pelvane3/"));
        QVERIFY(QFileInfo(user).isDir());
        QCOMPARE(GetDocumentsDataFolder(), temp.path() + QStringLiteral("/documents/Pelvane3/"));
        QCOMPARE(GetCommonDataFolder(), temp.path() + QStringLiteral("/common/Pelvane3/"));
        QCOMPARE(GetSheetFolder(), temp.path() + QStringLiteral("/documents/Pelvane3/Sheet/"));
        QCOMPARE(GetIniFileName(), user + GetProgramName() + QStringLiteral(".ini"));

        // Cached: a later redirection is not seen until the cache is reset.
        qputenv("PELVANE_CONFIG_DIR", (temp.path() + QStringLiteral("/elsewhere")).toLocal8Bit());
        QCOMPARE(GetUserDataFolder(), user);
        ResetFolderCache();
        QCOMPARE(GetUserDataFolder(), temp.path() + QStringLiteral("/elsewhere/Pelvane3/"));
    }

    void sheetFolderIsRecreated()
    {
        TTempFolders temp;
        const QString sheet = GetSheetFolder();
        QVERIFY(QDir(sheet).removeRecursively());
        QCOMPARE(GetSheetFolder(), sheet);
        QVERIFY(QFileInfo(sheet).isDir());
    }

    void programNameNamesTheSettingsFile()
    {
        TTempFolders temp;
        SetProgramNameOverride(QStringLiteral("other"));
        QCOMPARE(QFileInfo(GetIniFileName()).fileName(), QStringLiteral("other.ini"));
        SetProgramNameOverride(QString());
        QCOMPARE(QFileInfo(GetIniFileName()).fileName(), QStringLiteral("tst_folders.ini"));
    }

    void commonFolderFallsBackToTheUser()
    {
        if (geteuid() == 0)
            QSKIP("root can write everywhere");
        TTempFolders temp;
        QDir().mkpath(temp.file(QStringLiteral("common")));
        chmod(QFile::encodeName(temp.file(QStringLiteral("common"))).constData(), 0500);
        QCOMPARE(GetCommonDataFolder(), temp.path() + QStringLiteral("/data/Pelvane3/"));
        chmod(QFile::encodeName(temp.file(QStringLiteral("common"))).constData(), 0700);
    }

    void commonFolderOnAFileFallsBack()
    {
        // Works as root too: a file where the folder should be cannot become a folder.
        TTempFolders temp;
        QFile blocker(temp.file(QStringLiteral("common")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QCOMPARE(GetCommonDataFolder(), temp.path() + QStringLiteral("/data/Pelvane3/"));
    }

    void userFolderFailureMessage()
    {
        TTempFolders temp;
        QFile blocker(temp.file(QStringLiteral("config")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        try {
            GetUserDataFolder();
            QFAIL("a user folder that cannot be made must fail");
        } catch (const EPelvaneError &e) {
            QCOMPARE(e.message(), QStringLiteral("ユーザーフォルダが取得できません"));
        }
    }

    void registryValueOutsideTheSettings()
    {
        TTempFolders temp;
        TUserRegistry reg(kRegistryKey);
        QVERIFY(!reg.readBool(QStringLiteral("Setup"), QStringLiteral("Initialized"), false));
        reg.writeBool(QStringLiteral("Setup"), QStringLiteral("Initialized"), true);
        QVERIFY(TUserRegistry(kRegistryKey).readBool(QStringLiteral("setup"), QStringLiteral("initialized"), false));
        QVERIFY(reg.fileName().startsWith(temp.path() + QStringLiteral("/config/Korbelt/")));
        QVERIFY(!reg.fileName().startsWith(GetUserDataFolder()));
    }

    void fileAssociation()
    {
        TTempFolders temp;
        const QString exe = QStringLiteral("/opt/pel vane/bin/pelvane");
        QVERIFY(!FileAssociation::isAssociated(exe));
        // The user's own defaults survive.
        QDir().mkpath(temp.file(QStringLiteral("config")));
        QFile apps(FileAssociation::mimeAppsListPath());
        QVERIFY(apps.open(QIODevice::WriteOnly));
        apps.write("[Default Applications]\ntext/plain=editor.desktop\n");
        apps.close();

        FileAssociation::associate(exe);
        QVERIFY(FileAssociation::isAssociated(exe));
        QVERIFY(!FileAssociation::isAssociated(QStringLiteral("/usr/bin/other")));
        QFile list(FileAssociation::mimeAppsListPath());
        QVERIFY(list.open(QIODevice::ReadOnly));
        const QByteArray text = list.readAll();
        QVERIFY(text.contains("text/plain=editor.desktop"));
        QVERIFY(text.contains("application/x-pelvane-prediction=pelvane.desktop"));
        QFile desktop(FileAssociation::desktopEntryPath());
        QVERIFY(desktop.open(QIODevice::ReadOnly));
        QVERIFY(desktop.readAll().contains("Exec=\"/opt/pel vane/bin/pelvane\" %f"));
    }

    void roundHalfAway_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("2.5") << 2.5 << qint64(3);
        QTest::newRow("2.49") << 2.49 << qint64(2);
        QTest::newRow("-2.5") << -2.5 << qint64(-3);
        QTest::newRow("-2.49") << -2.49 << qint64(-2);
        QTest::newRow("0") << 0.0 << qint64(0);
        QTest::newRow("big") << 286720.0 << qint64(286720);
        QTest::newRow("beyond 32 bits") << 6000000000.5 << qint64(6000000001);
    }
    void roundHalfAway()
    {
        QFETCH(double, x);
        QFETCH(qint64, expected);
        QCOMPARE(RoundHalfAway(x), expected);
    }
};

QTEST_GUILESS_MAIN(TestFolders)
#include "tst_folders.moc"
