// The INI engine on any bytes: what it writes, it reads back equal, value by value, and writing
// a value then reading it gives that value.
#include "FuzzSupport.h"
#include "platform/Cp932Codec.h"
#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = FuzzBytes(data, size);
    // Bytes that are no CP932 are read as U+FFFD and written as "?": the engine is lossless for
    // text, so only clean input must come back equal.
    if (Cp932::decode(bytes).contains(QChar(0xFFFD))) {
        TIniFile ini(TIniFile::TMode::Profile);
        ini.loadFromBytes(bytes);
        (void)ini.toBytes();
        return 0;
    }
    for (TIniFile::TMode mode : {TIniFile::TMode::Profile, TIniFile::TMode::Memory}) {
        TIniFile ini(mode);
        ini.loadFromBytes(bytes);
        TIniFile again(mode);
        again.loadFromBytes(ini.toBytes());
        FUZZ_CHECK(again.sections() == ini.sections());
        for (const QString &section : ini.sections()) {
            FUZZ_CHECK(again.keys(section) == ini.keys(section));
            for (const QString &key : ini.keys(section))
                FUZZ_CHECK(again.readString(section, key) == ini.readString(section, key));
        }
        // A write of clean text reads back.
        QString value = Cp932::decode(bytes.left(40));
        value.removeIf([](QChar c) { return c.unicode() < 0x20; }); // control characters end or split a line
        value = value.trimmed();
        if (!value.contains(QChar(0xFFFD)) && !value.startsWith(u'"') && !value.startsWith(u'\'') && Cp932::canEncode(value)) {
            ini.writeString(QStringLiteral("Fuzz"), QStringLiteral("Key"), value);
            TIniFile back(mode);
            back.loadFromBytes(ini.toBytes());
            FUZZ_CHECK(back.readString(QStringLiteral("Fuzz"), QStringLiteral("Key")) == value);
        }
    }
    return 0;
}
