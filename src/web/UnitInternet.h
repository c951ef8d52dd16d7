#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <QStringList>

class QNetworkAccessManager;
class QNetworkReply;
class QNetworkRequest;

// The program's one HTTP client: synchronous requests on the calling thread (a local event loop
// keeps the window painted; user input waits), the wait cursor while they run, the response text
// in Body. It honours the time-out and proxy of the settings, reads headers of any length and
// stops a body that grows beyond MaxBodySize.
class TInternet
{
public:
    TInternet();
    ~TInternet();
    TInternet(const TInternet &) = delete;
    TInternet &operator=(const TInternet &) = delete;

    // The transfer ended normally (an HTTP error page counts: its text is in Body). UTF-8 pages
    // are decoded as such, others by the Japanese code detection.
    bool Get(const QString &url, bool utf8);
    // The status line and header lines, CR LF separated; empty when the URL cannot be opened.
    QString GetHeader(const QString &url);
    // A form post of an already encoded body; false (Body unchanged) when it cannot be sent.
    bool Post(const QString &url, const QString &body);
    // "name=value" lines (name and value trimmed, URL-encoded) joined by "&", posted.
    bool PostStrings(const QString &url, const QStringList &fields);
    // CP932 bytes: letters, digits and "*-.@_" stay, a space is "+", others "%XX".
    static QString UrlEncode(const QString &text);

    QStringList Body;
    QString BodyText() const { return Body.join(QStringLiteral("\r\n")); }
    // The last response: its HTTP status (0 when none) and its raw bytes.
    int StatusCode() const { return m_status; }
    const QByteArray &RawBody() const { return m_raw; }

    // An empty host means the system's own proxy configuration.
    void SetProxy(const QString &host) { m_proxyHost = host; }
    void SetProxyPort(int port) { m_proxyPort = port; }
    // Milliseconds without any data before a request gives up; 0 waits for ever.
    void SetTimeout(int milliseconds) { m_timeout = milliseconds; }
    int Timeout() const { return m_timeout; }

    // Bytes received so far and the announced total (-1 when unknown), while a body arrives.
    std::function<void(qint64, qint64)> OnReceive;

    static constexpr qint64 MaxBodySize = qint64(64) * 1024 * 1024;

private:
    enum class TOutcome { Done, HttpError, Failed };
    TOutcome run(QNetworkReply *reply, bool readBody);
    QNetworkRequest request(const QString &url) const;
    void applyProxy();
    static void setBody(QStringList &body, const QString &text);

    QNetworkAccessManager *m_manager;
    QString m_proxyHost;
    int m_proxyPort = 0;
    int m_timeout = 15000;
    int m_status = 0;
    QByteArray m_raw;
};
