// The official-site readers and the database import on any page or CSV text: no crash, and a
// reader that refuses a page leaves the sheet as it was; a refused import leaves no row.
#include "FuzzSupport.h"
#include "database/SqliteConnection.h"
#include "database/unitSQLite.h"
#include "lottery/UnitToTo.h"
#include "platform/MessageService.h"
#include "web/UnitParseHTML.h"

namespace {

class TSilent : public TMessageService
{
public:
    TModalResult show(const TMessage &) override { return TModalResult::mrOk; }
};

TDM &database()
{
    static TDM *dm = [] {
        const QString file = FuzzScratch() + QStringLiteral("/fuzz.db");
        CreateDatabaseFromSchema(file, QStringLiteral(PELVANE_SOURCE_DIR "/data/database/schema.sql"));
        {
            TSqliteConnection db;
            db.Open(file);
            db.Execute(QStringLiteral("Insert Into Team (TeamNo, TeamName, ShortName) Values (1, '鹿島アントラーズ', '鹿島'), (13, '柏レイソル', '柏')"));
            db.Execute(QStringLiteral("Insert Into Teams Values (2014, 1, 1, 1), (2014, 13, 1, 2)"));
        }
        return new TDM(file);
    }();
    return *dm;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TSilent silent;
    SetMessageService(&silent);
    TDM &dm = database();
    const QString text = QString::fromUtf8(FuzzBytes(data, size));
    const QStringList page = text.split(u'\n');
    (void)ParseHTML::PageToCsv(text);

    TTipSheet sheet;
    sheet.SetNumber(1200);
    sheet.Match(0).SetScore(7, 7);
    if (!ParseHTML::ReadResultPage(sheet, page))
        FUZZ_CHECK(sheet.Match(0).HomeScore() == 7);
    sheet.Match(0).HomeTeamRef().SetName(QStringLiteral("keep"));
    if (!ParseHTML::ReadLotInfoPage(sheet, page, false, &dm))
        FUZZ_CHECK(sheet.Match(0).HomeTeam().Name() == u"keep");
    sheet.OfficialOdds().SetVotes(0, tpHome, 9);
    if (!ParseHTML::ReadVoteStatusPage(sheet, page))
        FUZZ_CHECK(sheet.OfficialOdds().VotesOf(0, tpHome) == 9);
    ParseHTML::ReadGoal3ResultPage(100, page, dm);
    ParseHTML::ReadGoal3VotePage(100, page, dm);
    ParseHTML::ReadLeagueSectionPage(page, 2014, 1, 0, 1, dm);
    ParseHTML::ReadLeagueSchedulePage(page, 2014, 1, 0, 0, 0, 0, dm);

    // The same text as the lines of a data file.
    const qint64 before = dm.QueryValue(QStringLiteral("Select Count(*) From Holding")).toLongLong();
    int rows = 0;
    QString error;
    if (!dm.ImportRows(QStringLiteral("Holding"), 3, {}, {}, page, &rows, &error))
        FUZZ_CHECK(dm.QueryValue(QStringLiteral("Select Count(*) From Holding")).toLongLong() == before);
    else
        FUZZ_CHECK(rows <= page.size());
    dm.ExecSQL(QStringLiteral("Delete From Holding"));
    return 0;
}
