#include "shell/CommandLine.h"
#include "shell/Version.h"

#include <QtTest>

class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("debug");
        QTest::addColumn<bool>("maintenance");
        QTest::addColumn<QString>("file");
        QTest::newRow("nothing") << QStringList{} << false << false << "";
        QTest::newRow("debug in capitals and a bare file")
            << QStringList{"-DEBUG", "toto1154.tot"} << true << false << "/opt/pelvane/toto1154.tot";
        QTest::newRow("slash switch") << QStringList{"/Debug"} << true << false << "";
        QTest::newRow("maintenance") << QStringList{"-qorvi"} << false << true << "";
        QTest::newRow("unknown switch ignored") << QStringList{"-x", "/y"} << false << false << "";
        QTest::newRow("text file and two predictions: only the first")
            << QStringList{"notes.txt", "/data/a.TOT", "/data/b.tot"} << false << false << "/data/a.TOT";
        QTest::newRow("scanning stops after the file")
            << QStringList{"a.tot", "-debug"} << false << false << "/opt/pelvane/a.tot";
        QTest::newRow("relative path with a folder keeps it")
            << QStringList{"sub/c.tot"} << false << false << QDir::current().absoluteFilePath("sub/c.tot");
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, debug);
        QFETCH(bool, maintenance);
        QFETCH(QString, file);
        const TCommandLine cmd = ParseCommandLine(args, QStringLiteral("/opt/pelvane/"));
        QCOMPARE(cmd.debug, debug);
        QCOMPARE(cmd.maintenance, maintenance);
        QCOMPARE(cmd.fileToOpen, file);
    }

    void droppedFiles_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("opened");
        QTest::newRow("first of three in capitals") << QStringList{"/a/X.TOT", "/a/y.tot", "/a/z.csv"} << "/a/X.TOT";
        QTest::newRow("csv does nothing") << QStringList{"/a/s.csv"} << "";
        QTest::newRow("only the first counts") << QStringList{"/a/s.csv", "/a/y.tot"} << "";
        QTest::newRow("none") << QStringList{} << "";
    }
    void droppedFiles()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, opened);
        QCOMPARE(DroppedPredictionFile(files), opened);
    }

    void versionLabel_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("release");
        QTest::addColumn<bool>("pre");
        QTest::addColumn<QString>("label");
        QTest::newRow("pre-release 3.28 r1") << 3 << 28 << 1 << true << QStringLiteral("Pelvane Ver.3.29β1");
        QTest::newRow("pre-release r0") << 3 << 28 << 0 << true << QStringLiteral("Pelvane Ver.3.29β");
        QTest::newRow("release 3.05 r2") << 3 << 5 << 2 << false << QStringLiteral("Pelvane Ver.3.05.2");
        QTest::newRow("release r0") << 3 << 5 << 0 << false << QStringLiteral("Pelvane Ver.3.05");
    }
    void versionLabel()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, release);
        QFETCH(bool, pre);
        QFETCH(QString, label);
        QCOMPARE(VersionLabel(TProgramVersion{major, minor, release, pre}), label);
    }
};

QTEST_GUILESS_MAIN(TestShell)
#include "tst_shell.moc"
