// Saves a prediction or a settings file over and over, alternating two complete versions, until
// it is killed. With --limit BYTES the process may not write files larger than that (a full disk):
// it then saves once and reports the error.
#include "lottery/UnitToTo.h"
#include "platform/IniFile.h"
#include "platform/PelvaneError.h"
#include "settings/UnitOption.h"

#include <QCoreApplication>
#include <QDateTime>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

void fill(TTipSheet &sheet, int version)
{
    // Version 1 and 2 differ in round, count and content of the singles.
    sheet.SetNumber(1000 + version);
    sheet.Singles().Clear();
    const int count = version == 1 ? 40000 : 52000;
    TTip tips[kMaxMatches];
    for (int n = 0; n < count; ++n) {
        int x = n * 7 + version;
        for (int i = 0; i < kMaxMatches; ++i, x /= 3)
            tips[i] = TTip(x % 3);
        TSingleSheet &s = sheet.Singles().Add(TSingleSheet(&sheet, n + 1));
        s.SetTips(tips, kMaxMatches);
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString kind = args[1], file = args[2];
    const bool limited = args.size() == 5 && args[3] == u"--limit";
    if (limited) {
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails with EFBIG instead
        const rlim_t bytes = rlim_t(args[4].toLongLong());
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    // A limited run saves the other version, so that it must really write.
    for (int round = limited ? 1 : 0;; ++round) {
        const int version = 1 + round % 2;
        try {
            if (kind == u"prediction") {
                TTipSheet sheet;
                fill(sheet, version);
                sheet.SaveToFile(file);
            } else {
                TIniFile ini(file, TIniFile::TMode::Profile);
                TOption option;
                option.LoadFromIni(ini);
                option.ExpandOption.Prizelevel = version + 1;
                for (int i = 0; i < 400; ++i) // bulk, so that a kill often lands in the middle
                    ini.writeString(QStringLiteral("Bulk"), QStringLiteral("Key%1").arg(i), QStringLiteral("v%1-%2").arg(version).arg(i));
                ini.writeString(QStringLiteral("Bulk"), QStringLiteral("Stamp"), QString::number(QDateTime::currentMSecsSinceEpoch()));
                option.SaveToIni(ini);
                ini.save();
            }
        } catch (const EPelvaneError &e) {
            std::printf("error: %s\n", e.what());
            std::fflush(stdout);
            return 1;
        }
        std::printf("saved %d\n", version);
        std::fflush(stdout);
        if (limited)
            return 0;
    }
}
