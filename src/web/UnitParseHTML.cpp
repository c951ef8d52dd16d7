#include "web/UnitParseHTML.h"

#include "database/unitSQLite.h"
#include "lottery/UnitToTo.h"
#include "platform/Cp932Codec.h"
#include "platform/Format.h"
#include "platform/MessageService.h"
#include "platform/PelvaneError.h"
#include "web/UnitHTMLParser.h"

#include <QRegularExpression>

#include <array>
#include <cmath>

#include <vector>

namespace ParseHTML {

namespace {

QString joined(const QStringList &page)
{
    return page.join(QStringLiteral("\n"));
}

// PageToCsv steps 1 to 3: one row per line, cells ending with ",".
QStringList rowLines(const QString &html)
{
    QString text = html;
    text.remove(u',');
    for (const char *tag : {"</TD>", "</TH>", "<BR>"})
        text.replace(QString::fromLatin1(tag), QStringLiteral(","), Qt::CaseInsensitive);
    text.replace(QStringLiteral("</TR>"), QStringLiteral("<BR>"), Qt::CaseInsensitive);
    return THTMLParser::StripTags(text).split(QStringLiteral("\r\n"));
}

QStringList csvLines(const QStringList &page)
{
    return PageToCsv(joined(page)).split(QStringLiteral("\r\n"));
}

int findLine(const QStringList &lines, const QString &text, int from = 0)
{
    for (int i = std::max(0, from); i < lines.size(); ++i)
        if (lines[i].contains(text))
            return i;
    return -1;
}

bool isNumber(const QString &cell, int value)
{
    bool ok = false;
    return cell.trimmed().toInt(&ok) == value && ok;
}

bool nextSection(const QString &line)
{
    return line.contains(QStringLiteral("くじ結果")) && line.contains(QStringLiteral("toto"));
}

int seasonYear(const QString &csv)
{
    const qsizetype at = csv.indexOf(u'年');
    if (at < 4)
        return 0;
    bool ok = false;
    const int year = csv.mid(at - 4, 4).toInt(&ok);
    return ok && year > 1999 ? year : 0;
}

struct TSeasonTeam
{
    int number = 0;
    QString shortName;
    int division = 0;
};

TSeasonTeam seasonTeam(TDM *dm, int year, QString name)
{
    TSeasonTeam out;
    if (!dm || !dm->Connected())
        return out;
    name.remove(u' ');
    if (name == u"京都パープルサンガ")
        name = QStringLiteral("京都サンガF.C.");
    const TDataRows rows = dm->Select(
        QStringLiteral("Select * From Team, Teams  Where Team.TeamNo = Teams.TeamNo And Teams.\"Year\" = :Year And (TeamName = :TeamNameZen Or TeamName = :TeamNameHan)"),
        {{QStringLiteral("Year"), year},
         {QStringLiteral("TeamNameZen"), THTMLParser::ToFullWidth(name)},
         {QStringLiteral("TeamNameHan"), THTMLParser::ToHalfWidth(name)}});
    if (rows.empty())
        return out;
    out.number = FieldInt(rows.front(), u"TeamNo", 0);
    out.shortName = FieldText(rows.front(), u"ShortName");
    out.division = FieldInt(rows.front(), u"Division", 0);
    return out;
}

int teamNumberOrPattern(TDM &dm, const QString &name)
{
    const int no = dm.TeamNameToNumber(name);
    return no >= 0 ? no : dm.TeamNameToNumber(u'%' + name + u'%');
}

// The text after the first "-" (the away side of a score).
QString afterDash(const QString &score)
{
    const qsizetype dash = score.indexOf(u'-');
    return dash < 0 ? QString() : score.mid(dash + 1);
}

} // namespace

QString PageToCsv(const QString &page)
{
    QStringList out;
    for (const QString &line : rowLines(page)) {
        QString l = line;
        l.replace(QStringLiteral(","), QStringLiteral("\",\""));
        out << u'"' + l + u'"';
    }
    return out.join(QStringLiteral("\r\n"));
}

QStringList CsvCells(const QString &line)
{
    QString l = line;
    if (l.startsWith(u'"'))
        l.remove(0, 1);
    if (l.endsWith(u'"'))
        l.chop(1);
    return l.split(QStringLiteral("\",\""));
}

qint64 LeadingNumber(const QString &text, qint64 def)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    if (i >= text.size())
        return def;
    qint64 n = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u',')
            continue;
        if (c < u'0' || c > u'9')
            break;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

qint64 MoneyNumber(const QString &text)
{
    qint64 n = 0;
    for (QChar c : text.trimmed()) {
        if (c == u',' || c == u'.')
            continue;
        if (c < u'0' || c > u'9')
            break;
        n = n * 10 + (c.unicode() - u'0');
    }
    return n;
}

qint64 NumberBefore(const QString &text, const QString &marker)
{
    qsizetype i = text.indexOf(marker);
    if (i < 0)
        return 0;
    while (i > 0 && text[i - 1] == u' ')
        --i;
    qint64 n = 0, scale = 1;
    for (; i > 0; --i) {
        const QChar c = text[i - 1];
        if (c == u',')
            continue;
        if (c < u'0' || c > u'9')
            break;
        n += (c.unicode() - u'0') * scale;
        scale *= 10;
    }
    return n;
}

TDateTime JapaneseDateTime(const QString &text)
{
    const int year = int(NumberBefore(text, QStringLiteral("年")));
    const int month = int(NumberBefore(text, QStringLiteral("月")));
    const int day = int(NumberBefore(text, QStringLiteral("日")));
    const int hour = int(NumberBefore(text, QStringLiteral("時")));
    const int minute = int(NumberBefore(text, QStringLiteral("分")));
    const QDate date(year, month, day);
    if (year == 0 || month == 0 || day == 0 || !date.isValid() || hour > 23 || minute > 59)
        return 0;
    return DateTime::fromDate(date) + DateTime::encodeTime(hour, minute);
}

QString ResultPagePath(int round)
{
    return Format(u"/dcs/subos/screen/pi04/spin011/PGSPIN01101LnkHoldCntLotResultLsttoto.form?holdCntId=%4.4d", {round});
}

QString LotInfoPagePath(int round)
{
    return Format(u"/dcs/subos/screen/pi01/spin000/PGSPIN00001DisptotoLotInfo.form?holdCntId=%4.4d", {round});
}

QString VoteStatusPagePath(int round, const QString &commodityId)
{
    return Format(u"/dcs/subos/screen/pi09/spin003/PGSPIN00301InitVoteRate.form?commodityId=%s&holdCntId=%4.4d",
                  {commodityId, round});
}

QString TeamDataLinkBase()
{
    return QStringLiteral("/dci/I/IPA/IPA01.do");
}

QString LeagueSchedulePagePath(int year, int frameId)
{
    return Format(u"/SFMS01/search?competition_years=%4.4d&competition_frame_ids=%d", {year, frameId});
}

bool ReadResultPage(TTipSheet &sheet, const QStringList &page)
{
    const QStringList lines = csvLines(page);
    const QString heading = Format(u"第%d回 %s　くじ結果", {sheet.Number(), TotoTypeName(sheet.TotoType())});
    const int head = findLine(lines, heading);
    if (head < 0)
        return false;
    // Read everything first: a page without rows, or one cut off before its end, leaves the
    // sheet's results as they were.
    struct TScore
    {
        int home = -1, away = -1;
        bool calledOff = false;
    };
    std::vector<TScore> scores(size_t(sheet.MaxMatch()));
    std::array<TDividend, 3> dividends;
    for (int g = 1; g <= 3; ++g)
        dividends[size_t(g - 1)] = sheet.Dividend(g);
    int line = head + 1, read = 0;
    bool ended = false;
    for (int i = 0; i < sheet.MaxMatch() && !ended; ++i) {
        for (; line < lines.size(); ++line) {
            if (nextSection(lines[line])) {
                ended = true;
                break;
            }
            const QStringList cells = CsvCells(lines[line]);
            if (cells.size() < 6 || !isNumber(cells[2], i + 1))
                continue;
            const QString score = cells[4].trimmed();
            if (score == u"中止")
                scores[size_t(i)].calledOff = true;
            else
                scores[size_t(i)] = {int(LeadingNumber(score, -1)), int(LeadingNumber(afterDash(score), -1)), false};
            ++read;
            ++line;
            break;
        }
    }
    if (read == 0 || (!ended && read < sheet.MaxMatch()))
        return false;
    bool sawPrizes = ended;
    for (; !ended && line < lines.size(); ++line) {
        if (nextSection(lines[line])) {
            sawPrizes = true;
            break;
        }
        const QStringList cells = CsvCells(lines[line]);
        const QString &l = lines[line];
        for (int g = 1; g <= 3 && g < cells.size(); ++g) {
            TDividend &d = dividends[size_t(g - 1)];
            if (l.contains(QStringLiteral("当せん金")))
                d.Money = MoneyNumber(cells[g]);
            else if (l.contains(QStringLiteral("当せん口数")))
                d.Hits = MoneyNumber(cells[g]);
            else if (l.contains(QStringLiteral("繰越金")))
                d.CarryOver = MoneyNumber(cells[g]);
        }
        if (l.contains(QStringLiteral("繰越金")))
            sawPrizes = true;
    }
    if (!sawPrizes)
        return false; // cut off before its prize table
    TUpdateGuard guard(sheet);
    for (int i = 0; i < sheet.MaxMatch(); ++i) {
        TExceptMatch &m = sheet.Match(i);
        m.SetVGoal(false);
        m.SetCalledOff(scores[size_t(i)].calledOff);
        m.SetScore(scores[size_t(i)].home, scores[size_t(i)].away);
    }
    for (int g = 1; g <= 3; ++g)
        sheet.Dividend(g) = dividends[size_t(g - 1)];
    return true;
}

bool ReadLotInfoPage(TTipSheet &sheet, const QStringList &page, bool updateDatabase, TDM *dm, const QString &officialSite)
{
    struct TCard
    {
        TDateTime dateTime = 0;
        QString stadium, homeName, awayName, matchName, url;
        int division = 0, homeNo = 0, awayNo = 0;
    };
    std::vector<TCard> card(size_t(sheet.MaxMatch()));
    const QString csv = PageToCsv(joined(page));
    const int year = seasonYear(csv);
    if (year == 0)
        return false;
    const QStringList lines = csv.split(QStringLiteral("\r\n"));
    const int head = findLine(lines, Format(u"第%d回 %s くじ情報", {sheet.Number(), TotoTypeName(sheet.TotoType())}));
    if (head < 0)
        return false;
    int read = 0;
    for (int i = 0; i < sheet.MaxMatch(); ++i) {
        for (int l = head + 1; l < lines.size(); ++l) {
            if (lines[l].contains(QStringLiteral("くじ結果")))
                break;
            const QStringList cells = CsvCells(lines[l]);
            if (cells.size() <= 5 || !isNumber(cells[0], i + 1))
                continue;
            TCard &c = card[size_t(i)];
            const QString home = cells[4].trimmed(), away = cells.value(6).trimmed();
            const TSeasonTeam h = seasonTeam(dm, year, home), a = seasonTeam(dm, year, away);
            c.homeNo = h.number;
            c.awayNo = a.number;
            c.homeName = h.number < 1 ? home : h.shortName;
            c.awayName = a.number < 1 ? away : a.shortName;
            // The team comparison link of the raw page.
            const int atHome = findLine(page, home);
            const int atAway = atHome < 0 ? -1 : findLine(page, away, atHome);
            int atLink = -1;
            for (int r = std::max(atAway, 0); atAway >= 0 && r < page.size(); ++r)
                if (page[r].contains(QStringLiteral("disptotoVsTeamData")) && page[r].contains(QStringLiteral("window.open("))) {
                    atLink = r;
                    break;
                }
            if (atLink >= 0) {
                const QString rest = page[atLink].mid(page[atLink].indexOf(QStringLiteral("window.open(")));
                const qsizetype q1 = rest.indexOf(u'\''), q2 = q1 < 0 ? -1 : rest.indexOf(u'\'', q1 + 1);
                if (q2 > q1)
                    c.url = officialSite + TeamDataLinkBase() + rest.mid(q1 + 1, q2 - q1 - 1);
            }
            if (h.division == a.division) {
                c.division = h.division;
                c.matchName = h.division == 0 ? QString() : QStringLiteral("J%1").arg(h.division);
            }
            c.dateTime = DateFromSQL(cells[1].trimmed());
            c.stadium = cells[3].trimmed();
            ++read;
            if (h.number < 1 && a.number < 1)
                break;
            if (dm && dm->Connected() && c.dateTime != 0) {
                const TDataRows rows = dm->Select(QStringLiteral("Select * From Match Where MatchDate = :DATE And HomeTeam=:HomeTeam And AwayTeam=:AwayTeam"),
                                                  {{QStringLiteral("DATE"), DateToSQL(c.dateTime)},
                                                   {QStringLiteral("HomeTeam"), c.homeNo},
                                                   {QStringLiteral("AwayTeam"), c.awayNo}});
                if (!rows.empty()) {
                    const double time = TimeFromSQL(rows.front().Value(u"Time"));
                    if (time > 0)
                        c.dateTime = c.dateTime + time;
                }
            }
            break;
        }
    }
    if (read < sheet.MaxMatch())
        return false;
    TUpdateGuard guard(sheet);
    for (int i = 0; i < sheet.MaxMatch(); ++i) {
        TExceptMatch &m = sheet.Match(i);
        const TCard &c = card[size_t(i)];
        m.ClearCard();
        m.ClearForecast();
        m.SetDateTime(c.dateTime);
        m.SetStadium(c.stadium);
        m.SetDivision(c.division);
        m.HomeTeamNo = c.homeNo;
        m.HomeTeamRef().SetName(c.homeName);
        m.AwayTeamNo = c.awayNo;
        m.AwayTeamRef().SetName(c.awayName);
        m.MatchName = c.matchName;
        m.DispTeamDataURL = c.url;
        if (updateDatabase && dm && dm->Connected()) {
            try {
                dm->ExecSQL(QStringLiteral("Update Match  Set totoNumber=:Number, totoIndex=:Index Where MatchDate=:Date And HomeTeam=:HomeTeam And AwayTeam=:AwayTeam"),
                            {{QStringLiteral("Number"), sheet.Number()},
                             {QStringLiteral("Index"), i + 1},
                             {QStringLiteral("Date"), DateToSQL(std::floor(c.dateTime))},
                             {QStringLiteral("HomeTeam"), c.homeNo},
                             {QStringLiteral("AwayTeam"), c.awayNo}});
            } catch (const EPelvaneError &e) {
                MessageDlg(e.message(), TMsgDlgType::mtError, mbOK, mbOK);
            }
        }
    }
    sheet.Clear();
    return true;
}

bool ReadVoteStatusPage(TTipSheet &sheet, const QStringList &page)
{
    THTMLParser parser;
    parser.SetHTML(joined(page));
    const QString round = Format(u"第%d回", {sheet.Number()});
    const QString type = TotoTypeName(sheet.TotoType());
    int headTable = 0;
    for (int t = 1; t <= parser.TableCount(); ++t) {
        const QString text = parser.GetTable(t);
        if (text.contains(round) && (text.contains(type + QStringLiteral(" 投票状況")) || text.contains(type + QStringLiteral(" 投票結果")))) {
            headTable = t;
            break;
        }
    }
    if (headTable == 0)
        return false;
    // The vote date: the 32 characters (CP932 bytes of the page) before "時点".
    const QString outside = THTMLParser::StripTags(parser.GetTable(0));
    const qsizetype at = outside.indexOf(QStringLiteral("時点"));
    if (at < 0)
        return false;
    const QByteArray before = Cp932::encode(outside.left(at));
    if (before.size() < 32)
        return false;
    const TDateTime date = JapaneseDateTime(Cp932::decode(before.right(32)));
    if (date == 0)
        return false;
    const QStringList rows = rowLines(parser.GetTable(headTable + 1));
    std::vector<std::array<int, 3>> votes(size_t(sheet.MaxMatch()));
    for (int i = 0; i < sheet.MaxMatch(); ++i) {
        const int r = 2 + 2 * i;
        if (r >= rows.size())
            return false;
        const QStringList cells = rows[r].split(u',');
        int f = 2;
        if (cells.size() > 2 && cells[2].trimmed() == u"中止")
            f = 3;
        if (cells.size() <= f + 4 || !isNumber(cells[f], i + 1))
            return false;
        votes[size_t(i)] = {int(LeadingNumber(cells[f + 3], 0)), int(LeadingNumber(cells[f + 2], 0)), int(LeadingNumber(cells[f + 4], 0))};
    }
    TUpdateGuard guard(sheet);
    sheet.OfficialOdds().OddsDate = date;
    for (int i = 0; i < sheet.MaxMatch(); ++i)
        for (TTip t : {tpDraw, tpHome, tpAway})
            sheet.OfficialOdds().SetVotes(i, t, votes[size_t(i)][t]);
    sheet.RecalcAll();
    return true;
}

bool ReadGoal3ResultPage(int round, const QStringList &page, TDM &dm)
{
    const QString csv = PageToCsv(joined(page));
    const int year = seasonYear(csv);
    if (year == 0)
        return false;
    const QStringList lines = csv.split(QStringLiteral("\r\n"));
    const int head = findLine(lines, Format(u"第%d回 %s　くじ結果", {round, QStringLiteral("totoGOAL3")}));
    if (head < 0)
        return false;
    int line = head + 3;
    QString date;
    bool ended = false;
    for (int q = 0; q < 6 && !ended; ++q) {
        for (; line < lines.size() - 1; ++line) {
            if (nextSection(lines[line])) {
                ended = true;
                break;
            }
            const QStringList cells = CsvCells(lines[line]);
            if (cells.size() < 4)
                continue;
            int offset = 0;
            if (!isNumber(cells[0], q + 1)) {
                offset = 2;
                if (cells.size() < 5 || !isNumber(cells[2], q + 1))
                    continue;
                date = DateToSQL(QStringLiteral("%1/%2").arg(year).arg(cells[0].trimmed())).toString();
            }
            const int team = dm.TeamNameToNumber(THTMLParser::ToHalfWidth(cells[offset + 1].trimmed()));
            bool ok = false;
            const int score = cells.value(offset + 2).trimmed().toInt(&ok);
            ++line;
            if (team < 0 || !ok || score < 0)
                break;
            dm.SaveRow(QStringLiteral("ResultGOAL3"), {{QStringLiteral("Number"), round}, {QStringLiteral("Index"), q + 1}},
                   {{QStringLiteral("Date"), date}, {QStringLiteral("TeamNo"), team}, {QStringLiteral("Score"), score}});
            break;
        }
    }
    for (; !ended && line < lines.size(); ++line) {
        if (nextSection(lines[line]))
            break;
        if (!lines[line].contains(QStringLiteral("当せん金")))
            continue;
        for (int g = 1; g <= 3; ++g) {
            auto cell = [&](int offset) {
                const int l = line + offset;
                return l < lines.size() ? MoneyNumber(CsvCells(lines[l]).value(g)) : 0;
            };
            dm.SaveRow(QStringLiteral("PrizeGOAL3"), {{QStringLiteral("Number"), round}, {QStringLiteral("Grade"), g}},
                   {{QStringLiteral("Money"), cell(0)}, {QStringLiteral("Hits"), cell(1)}, {QStringLiteral("CarryOver"), cell(2)}});
        }
        break;
    }
    return true;
}

bool ReadGoal3VotePage(int round, const QStringList &page, TDM &dm)
{
    THTMLParser parser;
    parser.SetHTML(joined(page));
    const QString number = Format(u"第%d回", {round});
    int headTable = 0;
    for (int t = 1; t <= parser.TableCount(); ++t) {
        const QString text = parser.GetTable(t);
        if (text.contains(number) && (text.contains(QStringLiteral("totoGOAL3 投票状況")) || text.contains(QStringLiteral("totoGOAL3 投票結果")))) {
            headTable = t;
            break;
        }
    }
    if (headTable == 0)
        return false;
    const QStringList rows = rowLines(parser.GetTable(headTable + 1));
    for (int i = 0; i < 6; ++i) {
        const int r = 2 + 2 * i;
        if (r >= rows.size())
            return false;
        const QStringList cells = rows[r].split(u',');
        int f = cells.value(2).trimmed() == u"中止" ? 3 : 2;
        if (!isNumber(cells.value(f), i + 1)) {
            f -= 2;
            if (cells.value(f).trimmed() == u"中止")
                ++f;
            if (!isNumber(cells.value(f), i + 1))
                return false;
        }
        dm.SaveRow(QStringLiteral("OddsGOAL3"), {{QStringLiteral("Number"), round}, {QStringLiteral("Index"), i + 1}},
               {{QStringLiteral("Score0"), LeadingNumber(cells.value(f + 3), 0)},
                {QStringLiteral("Score1"), LeadingNumber(cells.value(f + 4), 0)},
                {QStringLiteral("Score2"), LeadingNumber(cells.value(f + 5), 0)},
                {QStringLiteral("Score3"), LeadingNumber(cells.value(f + 6), 0)}});
    }
    return true;
}

bool ReadLeagueSectionPage(const QStringList &page, int year, int division, int stage, int section, TDM &dm)
{
    THTMLParser parser;
    parser.SetHTML(joined(page));
    const int rows = parser.RowCount(1);
    for (int r = 3; r <= rows; ++r) {
        const QString home = THTMLParser::ToHalfWidth(THTMLParser::StripTags(parser.GetCell(1, r, 4))).trimmed();
        const QString score = THTMLParser::ToHalfWidth(THTMLParser::StripTags(parser.GetCell(1, r, 5))).trimmed();
        const QString away = THTMLParser::ToHalfWidth(THTMLParser::StripTags(parser.GetCell(1, r, 6))).trimmed();
        const int h = teamNumberOrPattern(dm, home), a = teamNumberOrPattern(dm, away);
        if (h < 0 || a < 0)
            continue;
        const qint64 hs = LeadingNumber(score, -1), as = LeadingNumber(afterDash(score), -1);
        if (hs < 0 || as < 0)
            continue;
        dm.ExecSQL(QStringLiteral("Update Match Set HomeScore=:HS, AwayScore=:AS Where") + YearCondition(QStringLiteral("MatchDate"), year) +
                       QStringLiteral("And Division=:D And Stage=:ST And Section=:SEC And HomeTeam=:H And AwayTeam=:A"),
                   {{QStringLiteral("HS"), hs}, {QStringLiteral("AS"), as}, {QStringLiteral("D"), division},
                    {QStringLiteral("ST"), stage}, {QStringLiteral("SEC"), section}, {QStringLiteral("H"), h}, {QStringLiteral("A"), a}});
    }
    return false;
}

bool ReadLeagueSchedulePage(const QStringList &page, int year, int division, TDateTime beginDate, TDateTime endDate,
                            int beginSection, int endSection, TDM &dm)
{
    int firstStage = 0;
    if (division == 1) {
        int lo = 0;
        dm.SectionRange(year, 1, 1, lo, firstStage);
    }
    QString text = joined(page);
    text.replace(QStringLiteral("</TR>"), QStringLiteral("<BR>"), Qt::CaseInsensitive);
    text.replace(QStringLiteral("</TD>"), QStringLiteral(", "), Qt::CaseInsensitive);
    text = THTMLParser::ToHalfWidth(THTMLParser::StripTags(text));
    const qsizetype results = text.indexOf(QStringLiteral("日程・結果"));
    if (results < 0)
        return false;
    const QString marker = division == 0 ? QStringLiteral("YLC") : QStringLiteral("J%1").arg(division);
    if (text.indexOf(marker, results) < 0)
        return false;
    static const QRegularExpression sectionRe(QStringLiteral("第(\\d{1,2})"));
    for (const QString &raw : text.split(QStringLiteral("\r\n"))) {
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        QStringList f = line.split(u',');
        for (QString &x : f)
            x = x.trimmed();
        if (f.size() < 9 || !isNumber(f[0], year))
            continue;
        const QRegularExpressionMatch m = sectionRe.match(f[2]);
        if (!m.hasMatch())
            continue;
        int section = m.captured(1).toInt();
        int stage = 0;
        if (division == 1) {
            stage = f[1].contains(QStringLiteral("2nd")) ? 2 : 1;
            if (stage == 2)
                section += firstStage;
        }
        if (beginSection >= 1 && endSection >= 1 && (section < beginSection || section > endSection))
            continue;
        QString day = f[3] == u"未定" ? QStringLiteral("01/01") : f[3];
        if (const qsizetype p = day.indexOf(u'('); p >= 0)
            day = day.left(p);
        day = day.size() == 5 ? QStringLiteral("%1/%2").arg(year).arg(day) : QString::number(year).left(2) + day;
        const TDateTime date = DateFromSQL(day);
        if (date == 0 || (beginDate != 0 && endDate != 0 && (date < beginDate || date > endDate)))
            continue;
        const double time = TimeFromSQL(f[4]);
        QVariant hs, as;
        if (f[6] != u"vs") {
            bool ok1 = false, ok2 = false;
            const int h = f[6].section(u'-', 0, 0).trimmed().toInt(&ok1);
            const int a = f[6].section(u'-', 1).trimmed().toInt(&ok2);
            if (ok1 && ok2) {
                hs = h;
                as = a;
            }
        }
        const int home = teamNumberOrPattern(dm, f[5]), away = teamNumberOrPattern(dm, f[7]);
        if (home < 0 || away < 0)
            continue;
        if (division == 0)
            stage = section = 0;
        const TParams key{{QStringLiteral("D"), division}, {QStringLiteral("ST"), stage}, {QStringLiteral("SEC"), section},
                          {QStringLiteral("H"), home}, {QStringLiteral("A"), away}};
        const QVariant rowid = dm.QueryValue(QStringLiteral("Select rowid From Match Where") + YearCondition(QStringLiteral("MatchDate"), year) +
                                                 QStringLiteral("And Division=:D And Stage=:ST And Section=:SEC And HomeTeam=:H And AwayTeam=:A"),
                                             key);
        TParams values{{QStringLiteral("DATE"), DateToSQL(date)},
                       {QStringLiteral("TIME"), time > 0 ? QVariant(DateTime::toTime(time).toString(QStringLiteral("HH:mm"))) : QVariant()},
                       {QStringLiteral("STADIUM"), f[8]}};
        const bool scored = hs.isValid();
        if (scored) {
            values.emplace_back(QStringLiteral("HS"), hs);
            values.emplace_back(QStringLiteral("AS"), as);
        }
        if (rowid.isValid()) {
            values.emplace_back(QStringLiteral("ROWID_"), rowid);
            dm.ExecSQL(QStringLiteral("Update Match Set MatchDate=:DATE, Time=:TIME, Stadium=:STADIUM") +
                           (scored ? QStringLiteral(", HomeScore=:HS, AwayScore=:AS") : QString()) + QStringLiteral(" Where rowid=:ROWID_"),
                       values);
        } else {
            for (const auto &kv : key)
                values.push_back(kv);
            if (!scored) {
                values.emplace_back(QStringLiteral("HS"), QVariant());
                values.emplace_back(QStringLiteral("AS"), QVariant());
            }
            dm.ExecSQL(QStringLiteral("Insert Into Match (MatchDate, Time, Division, Stage, Section, HomeTeam, AwayTeam, HomeScore, AwayScore, Extension, Stadium,"
                                      " totoNumber, totoIndex, totoNumber2, totoIndex2, totoCalledOff)"
                                      " Values (:DATE, :TIME, :D, :ST, :SEC, :H, :A, :HS, :AS, 0, :STADIUM, 0, 0, 0, 0, 0)"),
                       values);
        }
    }
    return false;
}

} // namespace ParseHTML
