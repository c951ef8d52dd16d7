// Round downloads: the match card, the results and the vote counts of a round, read from the
// download server or the official site into the sheet.
#include "lottery/UnitToTo.h"

#include "platform/EventPump.h"
#include "platform/MessageService.h"
#include "settings/UnitOption.h"
#include "web/UnitInternet.h"
#include "web/UnitParseHTML.h"

namespace {

QString officialSite(const TOption *option)
{
    return option ? option->OfficialSiteURL : TOption::DefaultOfficialSiteURL();
}

QString withoutSlash(QString url)
{
    while (url.endsWith(u'/'))
        url.chop(1);
    return url;
}

} // namespace

bool TTipSheet::DownloadMatchSheet(bool officialOnly)
{
    if (!officialOnly) {
        const QString base = Option ? Option->PelvaneURL : TOption::DefaultPelvaneURL();
        QString name = DefaultFileName();
        name = name.left(name.lastIndexOf(u'.')) + QStringLiteral(".tts");
        if (LoadFromURL(base + QStringLiteral("Sheet/") + name, lpCard))
            return true;
    }
    TBusyCursor cursor;
    TInternet client;
    if (Option)
        Option->ApplyInternetSettings(client);
    const QString site = withoutSlash(officialSite(Option));
    const bool ok = client.Get(site + ParseHTML::LotInfoPagePath(m_number), true) && client.StatusCode() < 400 &&
                    ParseHTML::ReadLotInfoPage(*this, client.Body, officialOnly, Database, site);
    if (!ok)
        MessageDlg(QStringLiteral("対戦シートがダウンロードできませんでした"), TMsgDlgType::mtWarning, mbOK, mbOK);
    return ok;
}

bool TTipSheet::DownloadResults(const std::function<void(qint64, qint64)> &onReceive)
{
    TUpdateGuard update(*this);
    TInternet client;
    if (Option)
        Option->ApplyInternetSettings(client);
    client.OnReceive = onReceive;
    const bool ok = client.Get(withoutSlash(officialSite(Option)) + ParseHTML::ResultPagePath(m_number), true) &&
                    client.StatusCode() < 400 && ParseHTML::ReadResultPage(*this, client.Body);
    if (!ok)
        MessageDlg(QStringLiteral("試合結果が見つかりませんでした"), TMsgDlgType::mtWarning, mbOK, mbOK);
    return ok;
}

bool TTipSheet::DownloadVotes()
{
    static const char *const commodity[] = {"01", "06", "07"};
    TInternet client;
    if (Option)
        Option->ApplyInternetSettings(client);
    const QString url = withoutSlash(officialSite(Option)) +
                        ParseHTML::VoteStatusPagePath(m_number, QString::fromLatin1(commodity[m_totoType]));
    const bool ok = client.Get(url, true) && client.StatusCode() < 400 && ParseHTML::ReadVoteStatusPage(*this, client.Body);
    if (!ok)
        MessageDlg(QStringLiteral("投票状況が見つかりませんでした"), TMsgDlgType::mtWarning, mbOK, mbOK);
    return ok;
}
