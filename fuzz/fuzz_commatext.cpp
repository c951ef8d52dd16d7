// Comma text: joining the fields of any line and splitting again gives the same fields.
#include "FuzzSupport.h"
#include "platform/CommaText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString line = QString::fromUtf8(FuzzBytes(data, size));
    const QStringList fields = CommaText::split(line);
    if (line.contains(QChar(0)))
        return 0; // NUL ends the text
    QStringList clean;
    for (const QString &f : fields)
        clean << f;
    const QStringList again = CommaText::split(CommaText::join(clean));
    FUZZ_CHECK(again == clean);
    // The streaming reader agrees with the list.
    CommaText::TFieldReader reader(line);
    QStringView field;
    int n = 0;
    while (reader.next(field)) {
        FUZZ_CHECK(n < fields.size() && field == fields[n]);
        ++n;
    }
    FUZZ_CHECK(n == fields.size());
    return 0;
}
