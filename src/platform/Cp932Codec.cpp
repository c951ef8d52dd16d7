#include "platform/Cp932Codec.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <vector>

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isLeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Tables are built once from ICU's Windows-31J converter and then used directly: a lookup per
// character keeps large files fast and makes the unmappable-character rule our own.
struct Tables
{
    std::array<char16_t, 256> single{};              // single-byte decode, 0xFFFF: lead/invalid
    std::array<char16_t, 0x7D * 0xC0> pair{};        // (lead - 0x80, trail - 0x40) decode
    std::array<quint16, 0x10000> encode{};            // BMP code point -> bytes, 0 = none

    Tables()
    {
        QStringDecoder decoder("CP932", QStringConverter::Flag::Stateless);
        QStringEncoder encoder("CP932", QStringConverter::Flag::Stateless);
        if (!decoder.isValid() || !encoder.isValid())
            qFatal("The CP932 converter is not available in this Qt build");

        single.fill(0xFFFF);
        for (int b = 0; b < 0x100; ++b) {
            if (isLeadByte(static_cast<unsigned char>(b)))
                continue;
            const char c = static_cast<char>(b);
            const QString s = decoder.decode(QByteArrayView(&c, 1));
            if (s.size() == 1 && s.at(0).unicode() != 0x1A)
                single[b] = s.at(0).unicode();
        }
        // Windows maps the ASCII range to itself; ICU's IBM table swaps a few control codes.
        for (int b = 0; b < 0x80; ++b)
            single[b] = char16_t(b);

        pair.fill(kReplacement);
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(static_cast<unsigned char>(lead)))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                if (trail == 0x7F)
                    continue;
                const char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                const QString s = decoder.decode(QByteArrayView(bytes, 2));
                if (s.size() == 1 && s.at(0).unicode() != 0x1A && !s.at(0).isSurrogate())
                    pair[(lead - 0x80) * 0xC0 + (trail - 0x40)] = s.at(0).unicode();
            }
        }

        // Encoding inverts the decode tables. A character with several codes (the NEC and IBM
        // duplicates) takes the code ICU's Windows-31J converter chooses, as Windows does.
        std::vector<char16_t> duplicates;
        for (int b = 0; b < 0x100; ++b) {
            const char16_t c = single[b];
            if (c != 0xFFFF && c != kReplacement)
                encode[c] = quint16(0x100 | b);
        }
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!isLeadByte(static_cast<unsigned char>(lead)))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char16_t c = pair[(lead - 0x80) * 0xC0 + (trail - 0x40)];
                if (c == kReplacement || trail == 0x7F)
                    continue;
                if (encode[c] == 0)
                    encode[c] = quint16(lead << 8 | trail);
                else
                    duplicates.push_back(c);
            }
        }
        for (char16_t c : duplicates) {
            const QByteArray b = encoder.encode(QStringView(&c, 1));
            if (b.size() == 2 && isLeadByte(static_cast<unsigned char>(b[0]))) {
                const quint16 code = quint16(static_cast<unsigned char>(b[0]) << 8 | static_cast<unsigned char>(b[1]));
                const int trail = code & 0xFF;
                if (trail >= 0x40 && trail <= 0xFC && pair[((code >> 8) - 0x80) * 0xC0 + (trail - 0x40)] == c)
                    encode[c] = code;
            }
        }
        encode[0] = 0x100;
        // The look-alikes Windows uses for characters CP932 has no code for.
        encode[0x301C] = 0x8160;
        encode[0x2212] = 0x817C;
        encode[0x2016] = 0x8161;
        encode[0x2014] = 0x815C;
        encode[0x00A5] = 0x100 | 0x5C;
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

} // namespace

namespace Cp932 {

QString decode(const char *data, qsizetype size)
{
    const Tables &t = tables();
    QString out;
    out.resize(size);
    char16_t *dst = reinterpret_cast<char16_t *>(out.data());
    qsizetype n = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        if (b < 0x80) {
            dst[n++] = b;
        } else if (isLeadByte(b)) {
            if (i + 1 < size) {
                const auto trail = static_cast<unsigned char>(data[i + 1]);
                if (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) {
                    dst[n++] = t.pair[(b - 0x80) * 0xC0 + (trail - 0x40)];
                    ++i;
                    continue;
                }
            }
            dst[n++] = kReplacement;
        } else {
            const char16_t c = t.single[b];
            dst[n++] = c == 0xFFFF ? kReplacement : c;
        }
    }
    out.truncate(n);
    return out;
}

QString decode(const QByteArray &bytes)
{
    return decode(bytes.constData(), bytes.size());
}

QByteArray encode(QStringView text)
{
    const Tables &t = tables();
    QByteArray out;
    out.reserve(text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (QChar::isHighSurrogate(c)) {
            out.append('?');
            if (i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()))
                ++i;
            continue;
        }
        const quint16 code = t.encode[c];
        if (code == 0) {
            out.append('?');
        } else if (code < 0x200) {
            out.append(char(code & 0xFF));
        } else {
            out.append(char(code >> 8));
            out.append(char(code & 0xFF));
        }
    }
    return out;
}

bool canEncode(QStringView text)
{
    const Tables &t = tables();
    for (QChar ch : text)
        if (ch.isSurrogate() || t.encode[ch.unicode()] == 0)
            return false;
    return true;
}

qsizetype byteLength(QStringView text)
{
    return encode(text).size();
}

} // namespace Cp932
