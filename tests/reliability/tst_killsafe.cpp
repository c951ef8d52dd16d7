// Saving survives a kill at any moment and a disk that fills up: the file on disk is always one
// complete version, old or new.
#include "lottery/UnitToTo.h"
#include "platform/IniFile.h"
#include "platform/PelvaneError.h"
#include "settings/UnitOption.h"
#include "support/ScriptedMessages.h"
#include "support/TempFolders.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>

#include <csignal>

namespace {

const QString kHelper = QStringLiteral(PELVANE_SAVE_LOOP);

QProcessEnvironment environment(const TTempFolders &temp)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"PELVANE_CONFIG_DIR", "PELVANE_DATA_DIR", "PELVANE_DOCUMENTS_DIR", "PELVANE_COMMON_DIR"})
        env.insert(QString::fromLatin1(name), qEnvironmentVariable(name));
    Q_UNUSED(temp);
    return env;
}

// Starts the helper and waits until it has saved at least once.
bool startSaving(QProcess &p, const QStringList &args, const QProcessEnvironment &env)
{
    p.setProcessEnvironment(env);
    p.start(kHelper, args);
    if (!p.waitForStarted(10000))
        return false;
    while (!p.canReadLine())
        if (!p.waitForReadyRead(20000))
            return false;
    return true;
}

// Empty when the prediction is one complete version.
QString checkPrediction(const QString &file)
{
    TScriptedMessages messages;
    TOption option;
    TTipSheet sheet;
    sheet.Option = &option;
    try {
        sheet.OpenPrediction(file, false);
    } catch (const EPelvaneError &e) {
        return e.message();
    }
    const int version = sheet.Number() - 1000;
    const int expected = version == 1 ? 40000 : version == 2 ? 52000 : -1;
    if (sheet.Singles().Count() != expected)
        return QStringLiteral("round %1 with %2 singles").arg(sheet.Number()).arg(sheet.Singles().Count());
    if (sheet.SavedChecksumState() != TTipSheet::TChecksumState::Ok)
        return QStringLiteral("checksum");
    if (!messages.asked.isEmpty())
        return messages.texts().join(u'|');
    return {};
}

QString checkSettings(const QString &file)
{
    if (QFileInfo(file).size() == 0)
        return QStringLiteral("empty");
    const TIniFile ini(file, TIniFile::TMode::Profile);
    const int version = ini.readInteger(QStringLiteral("Expand"), QStringLiteral("PrizeLevel"), 0) - 1;
    if (version != 1 && version != 2)
        return QStringLiteral("PrizeLevel of version %1").arg(version);
    for (int i = 0; i < 400; ++i)
        if (ini.readString(QStringLiteral("Bulk"), QStringLiteral("Key%1").arg(i), QString()) != QStringLiteral("v%1-%2").arg(version).arg(i))
            return QStringLiteral("mixed at key %1").arg(i);
    return {};
}

} // namespace

class TestKillSafe : public QObject
{
    Q_OBJECT

private slots:
    void killedWhileSaving_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("prediction") << "prediction";
        QTest::newRow("settings") << "settings";
    }
    void killedWhileSaving()
    {
        QFETCH(QString, kind);
        TTempFolders temp;
        const QString file = temp.file(kind == u"prediction" ? QStringLiteral("toto.tot") : QStringLiteral("pelvane.ini"));
        const QProcessEnvironment env = environment(temp);
        QRandomGenerator random(20261211);
        int kills = 0;
        for (int round = 0; round < 200; ++round) {
            QProcess p;
            QVERIFY2(startSaving(p, {kind, file}, env), qPrintable(p.errorString()));
            QTest::qWait(int(random.bounded(120)));
            ::kill(pid_t(p.processId()), SIGKILL);
            QVERIFY(p.waitForFinished(10000));
            QCOMPARE(p.exitStatus(), QProcess::CrashExit);
            ++kills;
            const QString fault = kind == u"prediction" ? checkPrediction(file) : checkSettings(file);
            QVERIFY2(fault.isEmpty(), qPrintable(QStringLiteral("after kill %1: %2").arg(kills).arg(fault)));
        }
        QCOMPARE(kills, 200);
    }

    void diskFullKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("prediction") << "prediction";
        QTest::newRow("settings") << "settings";
    }
    void diskFullKeepsTheOldFile()
    {
        QFETCH(QString, kind);
        TTempFolders temp;
        const QString file = temp.file(kind == u"prediction" ? QStringLiteral("toto.tot") : QStringLiteral("pelvane.ini"));
        const QProcessEnvironment env = environment(temp);
        {
            QProcess p;
            QVERIFY(startSaving(p, {kind, file}, env));
            p.kill();
            p.waitForFinished(10000);
        }
        // Settle on one complete version first.
        QVERIFY((kind == u"prediction" ? checkPrediction(file) : checkSettings(file)).isEmpty());
        QFile before(file);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray old = before.readAll();
        before.close();

        // No file may grow past a quarter of the old one: every save fails part way.
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(kHelper, {kind, file, QStringLiteral("--limit"), QString::number(old.size() / 4)});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY2(p.readAllStandardOutput().contains("error:"), "the failed save is reported");
        QFile after(file);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), old);
        // Nothing half-written is left beside it.
        const QStringList left = QDir(QFileInfo(file).absolutePath()).entryList(QDir::Files);
        for (const QString &name : left)
            QVERIFY2(!name.contains(QStringLiteral(".tmp")) && !name.startsWith(QFileInfo(file).fileName() + u'.'), qPrintable(name));
    }
};

QTEST_GUILESS_MAIN(TestKillSafe)
#include "tst_killsafe.moc"
