#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// Dates as the program stores them: days since 1899-12-30, the time of day as the fraction.
// Local wall-clock time; no time zone is attached.
using TDateTime = double;

namespace DateTime {

TDateTime fromDate(const QDate &date);
TDateTime fromTime(const QTime &time);
TDateTime fromQDateTime(const QDateTime &dateTime);
// An invalid QDate/QDateTime for values outside the years 1..9999.
QDate toDate(TDateTime value);
QTime toTime(TDateTime value);
QDateTime toQDateTime(TDateTime value);

TDateTime encodeDate(int year, int month, int day); // raises on an invalid date
TDateTime encodeTime(int hour, int minute, int second = 0, int msec = 0);
TDateTime now();
TDateTime today();

} // namespace DateTime
