#include "web/JapaneseCode.h"

#include "platform/Cp932Codec.h"

#include <QStringDecoder>

namespace {

bool binaryByte(unsigned char b)
{
    return b < 0x08 || b == 0xFF;
}

} // namespace

TJapaneseCode DetectJapaneseCode(const QByteArray &bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.constData());
    const qsizetype n = bytes.size();
    // Binary: a control byte or 0xFF among the first 512 bytes, the last byte of the text aside.
    for (qsizetype i = 0; i < std::min<qsizetype>(512, n - 1); ++i)
        if (binaryByte(p[i]))
            return TJapaneseCode::Binary;

    TJapaneseCode verdict = TJapaneseCode::Ascii;
    auto open = [&] { return verdict == TJapaneseCode::Ascii || verdict == TJapaneseCode::Either; };
    for (qsizetype i = 0; i + 1 < n && open(); ++i) {
        const unsigned char c = p[i];
        const unsigned char d = p[i + 1];
        if (c == 0x1B) {
            if (d == '$' && i + 2 < n && (p[i + 2] == 'B' || p[i + 2] == '@'))
                verdict = TJapaneseCode::Iso2022Jp;
        } else if (binaryByte(c)) {
            verdict = TJapaneseCode::Binary;
        } else if ((c >= 0x81 && c <= 0x8D) || (c >= 0x8F && c <= 0x9F)) {
            verdict = TJapaneseCode::ShiftJis;
        } else if (c == 0x8E) {
            if ((d >= 0x40 && d <= 0x7E) || (d >= 0x80 && d <= 0xA0) || (d >= 0xE0 && d <= 0xFC))
                verdict = TJapaneseCode::ShiftJis;
            else if (d >= 0xA1 && d <= 0xDF)
                verdict = TJapaneseCode::Either;
        } else if (c >= 0xA1 && c <= 0xDF) {
            if (d >= 0xF0 && d <= 0xFE) {
                verdict = TJapaneseCode::EucJp;
            } else if (d >= 0xA1 && d <= 0xDF) {
                verdict = TJapaneseCode::Either;
            } else if (d <= 0x9F) {
                verdict = TJapaneseCode::ShiftJis;
            } else if (d >= 0xE0 && d <= 0xEF) {
                verdict = TJapaneseCode::Either;
                ++i;
                while (i + 1 < n && verdict == TJapaneseCode::Either) {
                    const unsigned char e = p[i + 1];
                    if (e < 0x40)
                        break;
                    if ((e >= 0x81 && e <= 0x8D) || (e >= 0x8F && e <= 0x9C))
                        verdict = TJapaneseCode::ShiftJis;
                    else if (e >= 0xFD && e <= 0xFE)
                        verdict = TJapaneseCode::EucJp;
                    ++i;
                }
            }
        } else if (c >= 0xF0 && c <= 0xFE) {
            verdict = TJapaneseCode::EucJp;
        } else if (c >= 0xE0 && c <= 0xEF) {
            if ((d >= 0x40 && d <= 0x7E) || (d >= 0x80 && d <= 0xA0))
                verdict = TJapaneseCode::ShiftJis;
            else if (d >= 0xFD && d <= 0xFE)
                verdict = TJapaneseCode::EucJp;
            else if (d >= 0xA1 && d <= 0xFC)
                verdict = TJapaneseCode::Either;
        }
    }
    return verdict;
}

QString DecodeJapanese(const QByteArray &bytes, TJapaneseCode code)
{
    switch (code) {
    case TJapaneseCode::Iso2022Jp: {
        QStringDecoder decoder("ISO-2022-JP");
        return decoder.decode(bytes);
    }
    case TJapaneseCode::EucJp: {
        QStringDecoder decoder("EUC-JP");
        return decoder.decode(bytes);
    }
    default:
        return Cp932::decode(bytes);
    }
}

QString DecodeJapanese(const QByteArray &bytes)
{
    return DecodeJapanese(bytes, DetectJapaneseCode(bytes));
}
