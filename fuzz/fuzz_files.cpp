// Round files on any bytes: a plain-text list of singles, a prediction, a match sheet, a result
// or a vote-rate file. Reading fails only with a message; a prediction saved after a load loads
// to the same sheet.
#include "FuzzSupport.h"
#include "lottery/UnitToTo.h"
#include "platform/Cp932Codec.h"
#include "platform/MessageService.h"
#include "platform/PelvaneError.h"
#include "settings/UnitOption.h"

namespace {

class TSilent : public TMessageService
{
public:
    TModalResult show(const TMessage &) override { return TModalResult::mrOk; }
};

QString fingerprint(const TTipSheet &sheet)
{
    QString out = QStringLiteral("%1/%2/%3;").arg(int(sheet.TotoType())).arg(sheet.Number()).arg(sheet.Singles().Count());
    for (int i = 0; i < sheet.MaxMatch(); ++i) {
        const TExceptMatch &m = sheet.Match(i);
        out += m.HomeTeam().Name() + u'|' + m.AwayTeam().Name() + u'|' + QString::number(m.Tips().bits()) + u'|' +
               QString::number(m.HomeScore()) + u'|' + QString::number(m.AwayScore()) + u';';
    }
    for (const TSingleSheet &s : sheet.Singles())
        for (int i = 0; i < sheet.MaxMatch(); ++i)
            out += QChar(u'0' + int(s.Tips()[size_t(i)]));
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TSilent silent;
    SetMessageService(&silent);
    const QString dir = FuzzScratch();
    const QByteArray bytes = FuzzBytes(data, size);
    TOption option;

    // The plain-text import: all or nothing.
    {
        FuzzWrite(dir + QStringLiteral("/in.csv"), bytes);
        TTipSheet sheet;
        sheet.Option = &option;
        sheet.Singles().Add(TSingleSheet(&sheet, 1));
        try {
            sheet.ImportCSV(dir + QStringLiteral("/in.csv"), false);
            sheet.ExportCSV(dir + QStringLiteral("/out.csv"));
            TTipSheet back;
            back.ImportCSV(dir + QStringLiteral("/out.csv"), false);
            FUZZ_CHECK(back.Singles().Count() == sheet.Singles().Count());
        } catch (const EPelvaneError &) {
            FUZZ_CHECK(sheet.Singles().Count() == 1);
        }
    }
    // The same bytes as a vote-rate file, a match sheet and a result file: read or refused.
    {
        FuzzWrite(dir + QStringLiteral("/in.ods"), bytes);
        TTipSheet sheet;
        sheet.Option = &option;
        sheet.LoadOdds(dir + QStringLiteral("/in.ods"));
        for (int i = 0; i < sheet.MaxMatch(); ++i)
            for (TTip t : {tpDraw, tpHome, tpAway})
                FUZZ_CHECK(sheet.OfficialOdds().Percent(i, t) >= 0 && sheet.UserOdds().Percent(i, t) >= 0);
        for (const char *suffix : {"tts", "ttr"}) {
            const QString name = dir + QStringLiteral("/in.") + QString::fromLatin1(suffix);
            FuzzWrite(name, bytes);
            try {
                sheet.LoadFromFile(name, suffix[2] == 's' ? TLoadParts(lpCard) : TLoadParts(lpResults));
            } catch (const EPelvaneError &) {
            }
        }
    }
    // A prediction (the same bytes as a .tot).
    {
        FuzzWrite(dir + QStringLiteral("/in.tot"), bytes);
        TTipSheet sheet;
        sheet.Option = &option;
        try {
            sheet.OpenPrediction(dir + QStringLiteral("/in.tot"), false);
        } catch (const EPelvaneError &) {
            return 0;
        }
        // Bytes that are no CP932 read as U+FFFD and are written as "?": only clean text must
        // come back the same.
        if (Cp932::decode(bytes).contains(QChar(0xFFFD)))
            return 0;
        const QString first = fingerprint(sheet);
        try {
            sheet.SaveToFile(dir + QStringLiteral("/out.tot"));
        } catch (const EPelvaneError &) {
            return 0; // e.g. a round number that names no file
        }
        TTipSheet back;
        back.Option = &option;
        back.OpenPrediction(dir + QStringLiteral("/out.tot"), false);
        FUZZ_CHECK(fingerprint(back) == first);
    }
    return 0;
}
