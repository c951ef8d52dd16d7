#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

// A loopback HTTP server for the tests: serves given bytes at given paths, with given headers and
// status, slowly, cut off mid-body or with a huge header; records what was posted. It answers
// from the event loop of the test, which the client's own waiting loop runs.
class TFixtureServer : public QObject
{
public:
    struct Route
    {
        Route(QByteArray b = {}, QByteArray type = "text/html", int code = 200)
            : body(std::move(b)), contentType(std::move(type)), status(code)
        {
        }
        QByteArray body;
        QByteArray contentType = "text/html";
        int status = 200;
        QList<QPair<QByteArray, QByteArray>> headers;
        int delayMs = 0;              // wait before answering
        qint64 closeAfter = -1;       // close the connection after this many body bytes
        bool wrongLength = false;     // announce more bytes than are sent
        bool endless = false;         // after the head, body bytes until the client gives up
        bool reset = false;           // drop the connection as soon as the request is read
    };

    TFixtureServer()
    {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = m_server.nextPendingConnection())
                serve(s);
        });
    }

    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    void route(const QByteArray &path, const Route &r) { m_routes.insert(path, r); }

    struct Received
    {
        QByteArray method, path, headers, body;
    };
    QList<Received> received;

private:
    void serve(QTcpSocket *socket)
    {
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QByteArray head = buffer->left(end);
            qsizetype length = 0;
            for (const QByteArray &line : head.split('\n'))
                if (line.toLower().startsWith("content-length:"))
                    length = line.mid(15).trimmed().toLongLong();
            if (buffer->size() < end + 4 + length)
                return;
            const QList<QByteArray> request = head.split('\n').first().trimmed().split(' ');
            Received r{request.value(0), request.value(1), head, buffer->mid(end + 4, length)};
            received.append(r);
            buffer->clear();
            const Route route = m_routes.value(r.path, Route("not found", "text/plain", 404));
            QPointer<QTcpSocket> guard(socket);
            auto answer = [guard, route] {
                if (!guard)
                    return;
                if (route.reset) {
                    guard->abort();
                    return;
                }
                if (route.endless) {
                    guard->write("HTTP/1.1 200 OK\r\nContent-Type: " + route.contentType + "\r\nConnection: close\r\n\r\n");
                    auto *pump = new QTimer(guard);
                    QObject::connect(pump, &QTimer::timeout, guard, [guard] {
                        if (guard && guard->state() == QAbstractSocket::ConnectedState && guard->bytesToWrite() < (1 << 20))
                            guard->write(QByteArray(256 * 1024, 'x'));
                    });
                    pump->start(0);
                    return;
                }
                QByteArray out = "HTTP/1.1 " + QByteArray::number(route.status) + (route.status == 200 ? " OK" : route.status == 404 ? " Not Found" : " Error") + "\r\n";
                out += "Content-Type: " + route.contentType + "\r\n";
                out += "Content-Length: " + QByteArray::number(route.body.size() + (route.wrongLength ? 1000 : 0)) + "\r\n";
                for (const auto &[k, v] : route.headers)
                    out += k + ": " + v + "\r\n";
                out += "Connection: close\r\n\r\n";
                if (route.closeAfter >= 0) {
                    guard->write(out + route.body.left(route.closeAfter));
                    guard->flush();
                    guard->disconnectFromHost();
                    return;
                }
                guard->write(out + route.body);
                guard->flush();
                if (!route.wrongLength)
                    guard->disconnectFromHost();
                else
                    QTimer::singleShot(300, guard, [guard] { if (guard) guard->abort(); });
            };
            if (route.delayMs > 0)
                QTimer::singleShot(route.delayMs, socket, answer);
            else
                answer();
        });
    }

    QTcpServer m_server;
    QHash<QByteArray, Route> m_routes;
};
