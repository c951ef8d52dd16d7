#pragma once

#include <QByteArray>
#include <QString>

// Which Japanese encoding a page arrived in, by the byte rules of the original converter, and
// the conversion of such bytes to the program's text.
enum class TJapaneseCode { Ascii, Binary, Iso2022Jp, EucJp, ShiftJis, Either };

TJapaneseCode DetectJapaneseCode(const QByteArray &bytes);

// ISO-2022-JP and EUC-JP through their converters; ASCII, Shift_JIS, "either" and binary text
// as CP932 bytes (left as they are).
QString DecodeJapanese(const QByteArray &bytes, TJapaneseCode code);
QString DecodeJapanese(const QByteArray &bytes);
