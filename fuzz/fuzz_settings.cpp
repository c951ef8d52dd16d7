// The settings file on any bytes, protected values included: loading never fails, and what is
// saved loads back to equal settings.
#include "FuzzSupport.h"
#include "platform/IniFile.h"
#include "settings/UnitOption.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TIniFile ini(TIniFile::TMode::Profile);
    ini.loadFromBytes(FuzzBytes(data, size));
    TOption option;
    option.LoadFromIni(ini);
    TIniFile saved(TIniFile::TMode::Profile);
    option.SaveToIni(saved);
    TIniFile reread(TIniFile::TMode::Profile);
    reread.loadFromBytes(saved.toBytes());
    TOption back;
    back.LoadFromIni(reread);
    FUZZ_CHECK(back.Equals(option));
    return 0;
}
