#include "platform/DateTime.h"

#include "platform/PelvaneError.h"

#include <cmath>

namespace {

const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;

} // namespace

namespace DateTime {

TDateTime fromDate(const QDate &date)
{
    return date.isValid() ? double(kEpoch.daysTo(date)) : 0.0;
}

TDateTime fromTime(const QTime &time)
{
    return time.isValid() ? time.msecsSinceStartOfDay() / kMsPerDay : 0.0;
}

TDateTime fromQDateTime(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return 0.0;
    const double days = fromDate(dateTime.date());
    const double frac = fromTime(dateTime.time());
    // Before the epoch the fraction still counts forward from midnight of that day.
    return days >= 0 ? days + frac : days - frac;
}

QDate toDate(TDateTime value)
{
    if (!std::isfinite(value) || std::fabs(value) > 2958466.0)
        return {};
    // Round to the millisecond first so that 0.999999999 of a day does not fall back a day.
    const double ms = std::round(std::fabs(value - std::trunc(value)) * kMsPerDay);
    qint64 days = qint64(std::trunc(value));
    if (ms >= kMsPerDay)
        days += value >= 0 ? 1 : -1;
    return kEpoch.addDays(days);
}

QTime toTime(TDateTime value)
{
    if (!std::isfinite(value))
        return {};
    qint64 ms = qint64(std::round(std::fabs(value - std::trunc(value)) * kMsPerDay));
    if (ms >= qint64(kMsPerDay))
        ms = 0;
    return QTime::fromMSecsSinceStartOfDay(int(ms));
}

QDateTime toQDateTime(TDateTime value)
{
    const QDate d = toDate(value);
    if (!d.isValid())
        return {};
    return QDateTime(d, toTime(value));
}

TDateTime encodeDate(int year, int month, int day)
{
    const QDate d(year, month, day);
    if (!d.isValid() || year < 1 || year > 9999)
        throw EPelvaneError(QStringLiteral("日付が正しくありません: %1/%2/%3").arg(year).arg(month).arg(day));
    return fromDate(d);
}

TDateTime encodeTime(int hour, int minute, int second, int msec)
{
    const QTime t(hour, minute, second, msec);
    if (!t.isValid())
        throw EPelvaneError(QStringLiteral("時刻が正しくありません: %1:%2:%3").arg(hour).arg(minute).arg(second));
    return fromTime(t);
}

TDateTime now()
{
    return fromQDateTime(QDateTime::currentDateTime());
}

TDateTime today()
{
    return fromDate(QDate::currentDate());
}

} // namespace DateTime
