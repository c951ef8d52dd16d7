#include "platform/SingleInstance.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QtTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// The second copy must be another process in real life; here a thread-free stand-in: the primary
// lives in this process and answers through the event loop while the later copy connects from a
// child process (this same test binary started with --later-copy).
namespace {

int runLaterCopy(const QString &name, const QStringList &args)
{
    TSingleInstance later(name);
    switch (later.start(args, 5000)) {
    case TSingleInstance::TStartResult::HandedOver: return 10;
    case TSingleInstance::TStartResult::SwitchFailed: return 11;
    case TSingleInstance::TStartResult::Primary: return 12;
    }
    return 13;
}

QString uniqueName(const char *tag)
{
    return QStringLiteral("tst-%1-%2").arg(QString::fromLatin1(tag)).arg(QCoreApplication::applicationPid());
}

int startLaterCopy(const QString &name, const QStringList &args)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), QStringList{QStringLiteral("--later-copy"), name} + args);
    if (!p.waitForStarted())
        return -1;
    while (p.state() != QProcess::NotRunning)
        QTest::qWait(10); // the primary answers from this event loop
    return p.exitCode();
}

} // namespace

class TestSingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void laterCopyHandsItsCommandLineOver()
    {
        const QString name = uniqueName("hand");
        TSingleInstance primary(name);
        QStringList received;
        primary.setActivationHandler([&](const QStringList &args) { received = args; return true; });
        QCOMPARE(primary.start({}), TSingleInstance::TStartResult::Primary);
        QCOMPARE(startLaterCopy(name, {QStringLiteral("-DEBUG"), QStringLiteral("予想.tot")}), 10);
        QCOMPARE(received, (QStringList{QStringLiteral("-DEBUG"), QStringLiteral("予想.tot")}));
    }

    void switchFailureIsReported()
    {
        const QString name = uniqueName("fail");
        TSingleInstance primary(name);
        primary.setActivationHandler([](const QStringList &) { return false; });
        QCOMPARE(primary.start({}), TSingleInstance::TStartResult::Primary);
        QCOMPARE(startLaterCopy(name, {}), 11);
    }

    void anotherExecutableNameIsIndependent()
    {
        const QString name = uniqueName("one");
        TSingleInstance primary(name);
        QCOMPARE(primary.start({}), TSingleInstance::TStartResult::Primary);
        QCOMPARE(startLaterCopy(uniqueName("two"), {}), 12);
    }

    void staleSocketNeverBlocks()
    {
        const QString name = uniqueName("stale");
        TSingleInstance probe(name);
        // A socket file nobody listens on, as a killed copy leaves behind.
        const QByteArray path = QFile::encodeName(probe.socketName());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        qstrncpy(addr.sun_path, path.constData(), sizeof addr.sun_path);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr), 0);
        ::close(fd);
        QVERIFY(QFile::exists(probe.socketName()));

        TSingleInstance fresh(name);
        QCOMPARE(fresh.start({}, 1000), TSingleInstance::TStartResult::Primary);
        QCOMPARE(startLaterCopy(name, {}), 10);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc >= 3 && qstrcmp(argv[1], "--later-copy") == 0)
        return runLaterCopy(QString::fromLocal8Bit(argv[2]), app.arguments().mid(3));
    TestSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_singleinstance.moc"
