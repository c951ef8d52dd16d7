#pragma once

#include <QByteArray>
#include <QString>

// Protected settings values (passwords, IDs): RC4 over the value's CP932 bytes, stored as
// upper-case hexadecimal, readable by and for the Windows program's settings files.
namespace CredentialProtection {

// The RC4 keys the Windows crypto providers derive from the SHA-1 of the pass phrase:
// 40-bit: the first 5 hash bytes followed by 11 zero bytes of salt; 128-bit: the first 16 bytes.
QByteArray DeriveKey40();
QByteArray DeriveKey128();
QByteArray Rc4(const QByteArray &key, const QByteArray &data);

// Empty stays empty. Written with the 40-bit key.
QString Protect(const QString &value);
// Hex pairs from the left (an odd last digit is ignored, a bad pair becomes a space), decrypted
// with the 40-bit key; when that gives any byte outside 32..126, the 128-bit key is used instead,
// unless that gives no printable text either while the 40-bit reading is clean CP932 text (a
// Japanese value this program wrote). Never fails.
QString Unprotect(const QString &stored);

QByteArray HexToBytes(const QString &hex);
QString BytesToHex(const QByteArray &bytes);

} // namespace CredentialProtection
