#include "settings/CredentialProtection.h"

#include "platform/Cp932Codec.h"

#include <nettle/arcfour.h>
#include <nettle/sha1.h>

namespace {

const QByteArray kPassPhrase("QUENDRIL_ZAPH");

QByteArray passPhraseHash()
{
    sha1_ctx ctx;
    sha1_init(&ctx);
    sha1_update(&ctx, size_t(kPassPhrase.size()), reinterpret_cast<const uint8_t *>(kPassPhrase.constData()));
    QByteArray digest(SHA1_DIGEST_SIZE, '\0');
    sha1_digest(&ctx, SHA1_DIGEST_SIZE, reinterpret_cast<uint8_t *>(digest.data()));
    return digest;
}

bool printable(const QByteArray &bytes)
{
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 32 || b > 126)
            return false;
    }
    return true;
}

// CP932 text without control characters or invalid sequences.
bool cleanText(const QByteArray &bytes)
{
    const QString text = Cp932::decode(bytes);
    for (QChar c : text)
        if (c.unicode() < 32 || c.unicode() == 127 || c == QChar(0xFFFD))
            return false;
    return Cp932::encode(text) == bytes;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

} // namespace

namespace CredentialProtection {

QByteArray DeriveKey40()
{
    return passPhraseHash().left(5) + QByteArray(11, '\0');
}

QByteArray DeriveKey128()
{
    return passPhraseHash().left(16);
}

QByteArray Rc4(const QByteArray &key, const QByteArray &data)
{
    arcfour_ctx ctx;
    arcfour_set_key(&ctx, size_t(key.size()), reinterpret_cast<const uint8_t *>(key.constData()));
    QByteArray out(data.size(), '\0');
    arcfour_crypt(&ctx, size_t(data.size()), reinterpret_cast<uint8_t *>(out.data()),
                  reinterpret_cast<const uint8_t *>(data.constData()));
    return out;
}

QByteArray HexToBytes(const QString &hex)
{
    QByteArray out;
    for (qsizetype i = 0; i + 1 < hex.size(); i += 2) {
        const int hi = hexDigit(hex[i]), lo = hexDigit(hex[i + 1]);
        out.append(hi < 0 || lo < 0 ? ' ' : char(hi << 4 | lo));
    }
    return out;
}

QString BytesToHex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QString Protect(const QString &value)
{
    if (value.isEmpty())
        return {};
    return BytesToHex(Rc4(DeriveKey40(), Cp932::encode(value)));
}

QString Unprotect(const QString &stored)
{
    if (stored.isEmpty())
        return {};
    const QByteArray cipher = HexToBytes(stored);
    const QByteArray plain40 = Rc4(DeriveKey40(), cipher);
    if (plain40.isEmpty() || printable(plain40))
        return Cp932::decode(plain40);
    // Older files were written with the 128-bit key. A value with Japanese characters, written
    // with the 40-bit key, is not printable ASCII either: keep it when it is clean text and the
    // 128-bit reading is not.
    const QByteArray plain128 = Rc4(DeriveKey128(), cipher);
    if (!printable(plain128) && cleanText(plain40))
        return Cp932::decode(plain40);
    return Cp932::decode(plain128);
}

} // namespace CredentialProtection
