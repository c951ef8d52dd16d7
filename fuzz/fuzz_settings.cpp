// The settings file on any bytes, protected values included: loading never fails, and what is
// saved loads back to equal settings.
#include "FuzzSupport.h"
#include "platform/Cp932Codec.h"
#include "platform/IniFile.h"
#include "settings/UnitOption.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TIniFile ini(TIniFile::TMode::Profile);
    ini.loadFromBytes(FuzzBytes(data, size));
    TOption option;
    option.LoadFromIni(ini);
    // Bytes that are no CP932 read as U+FFFD and are written as "?": only clean text must
    // come back equal.
    if (Cp932::decode(FuzzBytes(data, size)).contains(QChar(0xFFFD)))
        return 0;
    // A protected value that decrypts to control characters cannot be told from a value of the
    // other key length (the stored form has no marker); users type text.
    for (const QString *v : {&option.TotoDreamID, &option.TotoDreamPassword, &option.EBankBranchCode,
                             &option.EBankAccountNumber, &option.EBankID, &option.EBankPassword})
        for (QChar c : *v)
            if (c.unicode() < 0x20 || c == QChar(0x7F) || c == QChar(0xFFFD))
                return 0;
    TIniFile saved(TIniFile::TMode::Profile);
    option.SaveToIni(saved);
    TIniFile reread(TIniFile::TMode::Profile);
    reread.loadFromBytes(saved.toBytes());
    TOption back;
    back.LoadFromIni(reread);
    FUZZ_CHECK(back.Equals(option));
    return 0;
}
