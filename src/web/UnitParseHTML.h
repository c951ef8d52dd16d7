#pragma once

#include "platform/DateTime.h"

#include <QString>
#include <QStringList>

class TDM;
class TTipSheet;

// Readers of the official lottery site's and the league sites' pages. Each finds its section by a
// heading and writes into a sheet or into the reference database; a page without the heading
// changes nothing. Pages come as the lines of a downloaded body.
namespace ParseHTML {

// One line per table row, each cell a double-quoted field, the last field empty.
QString PageToCsv(const QString &page);
// The cells of one line of that view.
QStringList CsvCells(const QString &line);

// Digits (commas skipped) after leading spaces; def for an empty rest, 0 without a digit.
qint64 LeadingNumber(const QString &text, qint64 def);
// Digits with "," and "." skipped; any other character ends the number.
qint64 MoneyNumber(const QString &text);
// The number written just before the first marker; 0 when the marker is absent.
qint64 NumberBefore(const QString &text, const QString &marker);
// "2004年3月6日 14時30分": the date and time; 0 when year, month or day is missing or invalid.
TDateTime JapaneseDateTime(const QString &text);

// The page paths of the sites (round number, or year and section / competition).
QString ResultPagePath(int round);
QString LotInfoPagePath(int round);
QString VoteStatusPagePath(int round, const QString &commodityId);
QString TeamDataLinkBase();
QString LeagueSchedulePagePath(int year, int frameId);

bool ReadResultPage(TTipSheet &sheet, const QStringList &page);
// dm may be null: then no team is found and the page's names are used.
bool ReadLotInfoPage(TTipSheet &sheet, const QStringList &page, bool updateDatabase, TDM *dm,
                     const QString &officialSite = {});
bool ReadVoteStatusPage(TTipSheet &sheet, const QStringList &page);
bool ReadGoal3ResultPage(int round, const QStringList &page, TDM &dm);
bool ReadGoal3VotePage(int round, const QStringList &page, TDM &dm);
bool ReadLeagueSectionPage(const QStringList &page, int year, int division, int stage, int section, TDM &dm);
bool ReadLeagueSchedulePage(const QStringList &page, int year, int division, TDateTime beginDate, TDateTime endDate,
                            int beginSection, int endSection, TDM &dm);

} // namespace ParseHTML
