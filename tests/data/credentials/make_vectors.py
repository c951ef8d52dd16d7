#!/usr/bin/env python3
"""Independent vectors for the protected settings values.

The Windows crypto providers key RC4 from the SHA-1 of the pass phrase: the base provider's
40-bit key is the first 5 hash bytes plus 11 zero salt bytes, the enhanced provider's 128-bit key
the first 16 bytes. Prints "plain<TAB>hex40<TAB>hex128" lines (plain text in UTF-8, encrypted as
CP932)."""
import hashlib
import sys


def rc4(key, data):
    s = list(range(256))
    j = 0
    for i in range(256):
        j = (j + s[i] + key[i % len(key)]) & 0xFF
        s[i], s[j] = s[j], s[i]
    i = j = 0
    out = bytearray()
    for b in data:
        i = (i + 1) & 0xFF
        j = (j + s[i]) & 0xFF
        s[i], s[j] = s[j], s[i]
        out.append(b ^ s[(s[i] + s[j]) & 0xFF])
    return bytes(out)


digest = hashlib.sha1(b"QUENDRIL_ZAPH").digest()
key40 = digest[:5] + bytes(11)
key128 = digest[:16]
for plain in ["secret", "user01", "p@ss word!", "ﾃｽﾄﾊﾟｽﾜｰﾄﾞ", "日本語パス", "x"]:
    data = plain.encode("cp932")
    sys.stdout.write("%s\t%s\t%s\n" % (plain, rc4(key40, data).hex().upper(), rc4(key128, data).hex().upper()))
