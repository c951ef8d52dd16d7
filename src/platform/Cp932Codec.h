#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Windows-31J (CP932) text, the encoding of every file, page and form body the program exchanges.
//
// Decoding: bytes that form no CP932 character become U+FFFD.
// Encoding: characters without a CP932 form are first mapped to the look-alikes Windows uses
// (U+301C -> U+FF5E "～", U+2212 -> U+FF0D "－", U+2016 -> U+2225 "∥", U+2014 -> U+2015 "―",
// U+00A5 -> "\"); anything still without a form becomes "?" (one per character, also for
// characters outside the BMP).
namespace Cp932 {

QString decode(const QByteArray &bytes);
QString decode(const char *data, qsizetype size);
QByteArray encode(QStringView text);

// True when every character of the text has a CP932 form (after the look-alike mapping).
bool canEncode(QStringView text);

// Number of CP932 bytes the text takes, for the limits that count bytes.
qsizetype byteLength(QStringView text);

} // namespace Cp932
