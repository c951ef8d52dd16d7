#include "web/UnitInternet.h"

#include "platform/Cp932Codec.h"
#include "platform/EventPump.h"
#include "web/JapaneseCode.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

TInternet::TInternet()
    : m_manager(new QNetworkAccessManager)
{
    m_manager->setCache(nullptr);
}

TInternet::~TInternet()
{
    delete m_manager;
}

void TInternet::applyProxy()
{
    if (m_proxyHost.isEmpty())
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::DefaultProxy));
    else
        m_manager->setProxy(QNetworkProxy(QNetworkProxy::HttpProxy, m_proxyHost, quint16(m_proxyPort)));
}

QNetworkRequest TInternet::request(const QString &url) const
{
    QNetworkRequest r{QUrl(url)};
    r.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    r.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    r.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    if (m_timeout > 0)
        r.setTransferTimeout(m_timeout);
    return r;
}

TInternet::TOutcome TInternet::run(QNetworkReply *reply, bool readBody)
{
    m_raw.clear();
    QEventLoop loop;
    bool tooLarge = false;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (readBody) {
        QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
            m_raw += reply->readAll();
            if (m_raw.size() > MaxBodySize) {
                tooLarge = true;
                reply->abort();
            }
        });
    } else {
        QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] { reply->abort(); });
    }
    if (readBody && OnReceive)
        QObject::connect(reply, &QNetworkReply::downloadProgress, &loop,
                         [this](qint64 received, qint64 total) { OnReceive(received, total); });
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (readBody && !tooLarge)
        m_raw += reply->readAll();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    m_status = status.isValid() ? status.toInt() : 0;
    const QNetworkReply::NetworkError error = reply->error();
    if (tooLarge)
        return TOutcome::Failed;
    // A server that closes early can leave a body shorter than it announced with no error from
    // the network layer; such a body is cut off, not a page.
    const QVariant announced = reply->header(QNetworkRequest::ContentLengthHeader);
    if (readBody && error == QNetworkReply::NoError && announced.isValid() && !reply->hasRawHeader("Content-Encoding") &&
        m_raw.size() < announced.toLongLong())
        return TOutcome::Failed;
    if (error == QNetworkReply::NoError)
        return TOutcome::Done;
    // An HTTP error status with its page is a finished transfer; broken connections are not.
    const bool httpLevel = m_status > 0 && error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownServerError
                        && error != QNetworkReply::ProxyTimeoutError;
    return httpLevel ? TOutcome::HttpError : TOutcome::Failed;
}

void TInternet::setBody(QStringList &body, const QString &text)
{
    body.clear();
    const qsizetype n = text.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        body.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        body.append(text.mid(start));
}

bool TInternet::Get(const QString &url, bool utf8)
{
    TBusyCursor cursor;
    Body.clear();
    applyProxy();
    QNetworkRequest r = request(url);
    r.setRawHeader("Accept", "*/*");
    r.setRawHeader("Connection", "keep-alive");
    r.setRawHeader("Cache-Control", "max-age=0");
    r.setRawHeader("Accept-Language", "ja");
    QNetworkReply *reply = m_manager->get(r);
    const TOutcome outcome = run(reply, true);
    reply->deleteLater();
    setBody(Body, utf8 ? QString::fromUtf8(m_raw) : DecodeJapanese(m_raw));
    return outcome != TOutcome::Failed;
}

QString TInternet::GetHeader(const QString &url)
{
    TBusyCursor cursor;
    applyProxy();
    QNetworkRequest r = request(url);
    r.setRawHeader("Accept", "*/*");
    QNetworkReply *reply = m_manager->get(r);
    run(reply, false);
    QByteArray header;
    if (m_status > 0) {
        const QByteArray reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
        header = "HTTP/1.1 " + QByteArray::number(m_status) + (reason.isEmpty() ? QByteArray() : " " + reason) + "\r\n";
        for (const auto &[name, value] : reply->rawHeaderPairs())
            header += name + ": " + value + "\r\n";
    }
    reply->deleteLater();
    return DecodeJapanese(header);
}

bool TInternet::Post(const QString &url, const QString &body)
{
    TBusyCursor cursor;
    applyProxy();
    QNetworkRequest r = request(url);
    r.setRawHeader("Accept", "*/*");
    r.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
    QNetworkReply *reply = m_manager->post(r, Cp932::encode(body));
    const TOutcome outcome = run(reply, true);
    reply->deleteLater();
    if (outcome == TOutcome::Failed && m_status == 0)
        return false; // not sent: the previous Body stays
    if (!m_raw.isEmpty())
        setBody(Body, DecodeJapanese(m_raw));
    return outcome != TOutcome::Failed || !m_raw.isEmpty();
}

bool TInternet::PostStrings(const QString &url, const QStringList &fields)
{
    QStringList parts;
    for (const QString &line : fields) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            parts.append(UrlEncode(line));
        else
            parts.append(UrlEncode(line.left(eq).trimmed()) + u'=' + UrlEncode(line.mid(eq + 1).trimmed()));
    }
    return Post(url, parts.join(u'&'));
}

QString TInternet::UrlEncode(const QString &text)
{
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    for (char ch : Cp932::encode(text)) {
        const auto b = static_cast<unsigned char>(ch);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '*' || b == '-'
            || b == '.' || b == '@' || b == '_') {
            out.append(QChar(b));
        } else if (b == ' ') {
            out.append(u'+');
        } else {
            out.append(u'%');
            out.append(QChar(hex[b >> 4]));
            out.append(QChar(hex[b & 15]));
        }
    }
    return out;
}
