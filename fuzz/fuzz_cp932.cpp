// The CP932 codec on any bytes: decoding is total, and text it decoded without replacement
// encodes to bytes that decode to the same text.
#include "FuzzSupport.h"
#include "platform/Cp932Codec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    const QString text = Cp932::decode(bytes);
    FUZZ_CHECK(text.size() <= bytes.size());
    if (!text.contains(QChar(0xFFFD))) {
        const QByteArray again = Cp932::encode(text);
        FUZZ_CHECK(Cp932::decode(again) == text);
    }
    // Any text encodes; what cannot be written becomes "?".
    const QString wide = QString::fromUtf8(bytes);
    const QByteArray written = Cp932::encode(wide);
    FUZZ_CHECK(written.size() <= wide.size() * 2);
    return 0;
}
