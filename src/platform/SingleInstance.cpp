#include "platform/SingleInstance.h"

#include "platform/DataFolders.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>

#include <memory>
#include <unistd.h>

namespace {

QString safeName(const QString &name)
{
    QString out;
    for (QChar c : name)
        out.append(c.isLetterOrNumber() || c == u'.' || c == u'-' || c == u'_' ? c : u'_');
    return out;
}

} // namespace

TSingleInstance::TSingleInstance(const QString &instanceName, QObject *parent)
    : QObject(parent)
{
    m_socketName = DataFolders::runtimeDir() + QStringLiteral("/pelvane-%1-%2.sock")
                                                   .arg(QString::number(getuid()), safeName(instanceName));
}

TSingleInstance::~TSingleInstance()
{
    if (m_server)
        m_server->close();
}

void TSingleInstance::setActivationHandler(std::function<bool(const QStringList &)> handler)
{
    m_handler = std::move(handler);
}

TSingleInstance::TStartResult TSingleInstance::start(const QStringList &arguments, int timeoutMs)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        QLocalSocket socket;
        socket.connectToServer(m_socketName);
        if (socket.waitForConnected(timeoutMs)) {
            const QByteArray msg = QJsonDocument(QJsonArray::fromStringList(arguments)).toJson(QJsonDocument::Compact) + '\n';
            socket.write(msg);
            socket.flush();
            QByteArray reply;
            while (!reply.contains('\n') && socket.waitForReadyRead(timeoutMs))
                reply += socket.readAll();
            if (reply.startsWith('1'))
                return TStartResult::HandedOver;
            if (reply.startsWith('0'))
                return TStartResult::SwitchFailed;
            // Connected but no answer: the other copy hangs. Take over rather than never start.
        }

        // Nobody listens (or the socket is stale): become the primary copy.
        QLocalServer::removeServer(m_socketName);
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        if (m_server->listen(m_socketName)) {
            connect(m_server, &QLocalServer::newConnection, this, &TSingleInstance::onNewConnection);
            return TStartResult::Primary;
        }
        delete m_server;
        m_server = nullptr;
        // Another copy started listening at the same moment: ask it once more.
    }
    return TStartResult::Primary;
}

void TSingleInstance::onNewConnection()
{
    while (QLocalSocket *client = m_server->nextPendingConnection()) {
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(client, &QLocalSocket::readyRead, client, [this, client, buffer] {
            *buffer += client->readAll();
            const qsizetype end = buffer->indexOf('\n');
            if (end < 0)
                return;
            QStringList args;
            for (const QJsonValue &v : QJsonDocument::fromJson(buffer->left(end)).array())
                args.append(v.toString());
            buffer->clear();
            const bool ok = m_handler ? m_handler(args) : true;
            client->write(ok ? "1\n" : "0\n");
            client->flush();
            client->disconnectFromServer();
        });
    }
}
