#include "platform/Format.h"

#include "platform/PelvaneError.h"

#include <climits>
#include <cmath>
#include <cstdio>

namespace {

[[noreturn]] void formatError(QStringView format)
{
    throw EPelvaneError(QStringLiteral("書式 '%1' が正しくありません").arg(format.toString()));
}

QString zeroPadded(qint64 v, int precision, int base = 10, bool upper = true)
{
    const bool neg = v < 0;
    const quint64 mag = neg ? quint64(0) - quint64(v) : quint64(v);
    QString digits = QString::number(mag, base);
    if (upper)
        digits = digits.toUpper();
    if (precision > digits.size())
        digits.prepend(QString(precision - digits.size(), u'0'));
    return neg ? u'-' + digits : digits;
}

} // namespace

QString Format(QStringView format, std::initializer_list<TFormatArg> args)
{
    QString out;
    out.reserve(format.size() + 16);
    const TFormatArg *next = args.begin();
    auto take = [&]() -> const TFormatArg & {
        if (next == args.end())
            formatError(format);
        return *next++;
    };
    auto takeInt = [&]() -> qint64 {
        const auto &v = take().value();
        if (!std::holds_alternative<qint64>(v))
            formatError(format);
        return std::get<qint64>(v);
    };

    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format[i];
        if (c != u'%') {
            out.append(c);
            continue;
        }
        if (++i >= n)
            formatError(format);
        if (format[i] == u'%') {
            out.append(u'%');
            continue;
        }
        bool left = false;
        if (format[i] == u'-') {
            left = true;
            ++i;
        }
        auto readNumber = [&](int &value) {
            if (i < n && format[i] == u'*') {
                value = int(takeInt());
                ++i;
                return true;
            }
            bool any = false;
            value = 0;
            while (i < n && format[i].isDigit()) {
                value = value * 10 + format[i].digitValue();
                ++i;
                any = true;
            }
            return any;
        };
        int width = 0, precision = -1;
        readNumber(width);
        if (i < n && format[i] == u'.') {
            ++i;
            int p = 0;
            readNumber(p);
            precision = p;
        }
        if (i >= n)
            formatError(format);
        const QChar conv = format[i].toLower();
        QString piece;
        const auto &arg = take().value();
        switch (conv.unicode()) {
        case u'd':
        case u'u':
            if (!std::holds_alternative<qint64>(arg))
                formatError(format);
            piece = zeroPadded(std::get<qint64>(arg), precision);
            break;
        case u'x':
            if (!std::holds_alternative<qint64>(arg))
                formatError(format);
            piece = zeroPadded(std::get<qint64>(arg), precision, 16);
            break;
        case u's':
            if (!std::holds_alternative<QString>(arg))
                formatError(format);
            piece = std::get<QString>(arg);
            if (precision >= 0 && piece.size() > precision)
                piece.truncate(precision);
            break;
        case u'f':
        case u'e':
        case u'g':
        case u'n': {
            double v = 0;
            if (std::holds_alternative<double>(arg))
                v = std::get<double>(arg);
            else if (std::holds_alternative<qint64>(arg))
                v = double(std::get<qint64>(arg));
            else
                formatError(format);
            if (conv == u'f') {
                piece = QString::number(v, 'f', precision < 0 ? 2 : precision);
            } else if (conv == u'n') {
                piece = FormatFloat(precision == 0 ? QStringLiteral("#,##0")
                                                   : QStringLiteral("#,##0.") + QString(precision < 0 ? 2 : precision, u'0'),
                                    v);
            } else if (conv == u'e') {
                piece = QString::number(v, 'E', precision < 0 ? 15 : precision);
            } else {
                piece = precision < 0 ? FloatToStr(v) : QString::number(v, 'G', precision);
            }
            break;
        }
        default:
            formatError(format);
        }
        if (piece.size() < width) {
            const QString pad(width - piece.size(), u' ');
            piece = left ? piece + pad : pad + piece;
        }
        out.append(piece);
    }
    return out;
}

bool TryStrToInt64(QStringView text, qint64 &value)
{
    QStringView t = text.trimmed();
    bool negative = false;
    if (!t.isEmpty() && (t.front() == u'-' || t.front() == u'+')) {
        negative = t.front() == u'-';
        t = t.mid(1);
    }
    int base = 10;
    if (t.startsWith(u'$')) {
        base = 16;
        t = t.mid(1);
    } else if (t.startsWith(u"0x", Qt::CaseInsensitive)) {
        base = 16;
        t = t.mid(2);
    }
    if (t.isEmpty() || t.front() == u'-' || t.front() == u'+' || t.front().isSpace())
        return false;
    bool ok = false;
    const quint64 v = t.toULongLong(&ok, base);
    if (!ok)
        return false;
    if (negative) {
        if (v > quint64(1) << 63)
            return false;
        value = qint64(quint64(0) - v);
    } else {
        if (v > quint64(INT64_MAX))
            return false;
        value = qint64(v);
    }
    return true;
}

qint64 StrToInt64Def(QStringView text, qint64 def)
{
    qint64 v = 0;
    return TryStrToInt64(text, v) ? v : def;
}

int StrToIntDef(QStringView text, int def)
{
    qint64 v = 0;
    return TryStrToInt64(text, v) && v >= INT_MIN && v <= INT_MAX ? int(v) : def;
}

QString FloatToStr(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    QString s = QString::fromLatin1(buf);
    // "1E+20" -> "1E20", "1E-05" -> "1E-5"
    const qsizetype e = s.indexOf(u'E');
    if (e >= 0) {
        QString mant = s.left(e);
        QString exp = s.mid(e + 1);
        bool neg = exp.startsWith(u'-');
        if (exp.startsWith(u'+') || neg)
            exp.remove(0, 1);
        while (exp.size() > 1 && exp.startsWith(u'0'))
            exp.remove(0, 1);
        s = mant + u'E' + (neg ? QStringLiteral("-") : QString()) + exp;
    }
    return s;
}

namespace {

QStringList splitSections(const QString &pattern)
{
    QStringList sections;
    QString cur;
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            cur.append(c);
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
            cur.append(c);
        } else if (c == u';') {
            sections.append(cur);
            cur.clear();
        } else {
            cur.append(c);
        }
    }
    sections.append(cur);
    return sections;
}

QString applySection(const QString &section, double magnitude)
{
    // Split into literal prefix, the digit placeholder run and literal suffix.
    int minInt = 0, minDec = 0, maxDec = 0;
    bool grouping = false, inDecimals = false, seenDigits = false, doneDigits = false;
    QString prefix, suffix;
    QChar quote;
    for (QChar c : section) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                (seenDigits ? suffix : prefix).append(c);
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            if (seenDigits)
                doneDigits = true;
            continue;
        }
        const bool placeholder = (c == u'0' || c == u'#' || c == u',' || c == u'.') && !doneDigits;
        if (placeholder) {
            seenDigits = true;
            if (c == u'.') {
                inDecimals = true;
            } else if (c == u',') {
                if (!inDecimals)
                    grouping = true;
            } else if (inDecimals) {
                ++maxDec;
                if (c == u'0')
                    minDec = maxDec;
            } else if (c == u'0') {
                ++minInt;
            }
        } else {
            if (seenDigits)
                doneDigits = true;
            (seenDigits ? suffix : prefix).append(c);
        }
    }
    if (!seenDigits)
        return prefix + suffix;

    QString num = QString::number(magnitude, 'f', maxDec);
    QString intPart = num, decPart;
    const qsizetype dot = num.indexOf(u'.');
    if (dot >= 0) {
        intPart = num.left(dot);
        decPart = num.mid(dot + 1);
    }
    while (decPart.size() > minDec && decPart.endsWith(u'0'))
        decPart.chop(1);
    if (intPart == u"0" && minInt == 0)
        intPart.clear();
    while (intPart.size() < minInt)
        intPart.prepend(u'0');
    if (grouping) {
        for (qsizetype p = intPart.size() - 3; p > 0; p -= 3)
            intPart.insert(p, u',');
    }
    QString body = intPart;
    if (!decPart.isEmpty())
        body += u'.' + decPart;
    return prefix + body + suffix;
}

} // namespace

QString FormatFloat(const QString &pattern, double value)
{
    const QStringList sections = splitSections(pattern);
    if (value == 0 && sections.size() >= 3)
        return applySection(sections[2], 0);
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return applySection(sections[1], -value);
    const QString text = applySection(sections[0], std::fabs(value));
    // A negative value shown with the first section gets its sign, unless it rounds to zero.
    if (value < 0) {
        bool nonzero = false;
        for (QChar c : text)
            if (c.isDigit() && c != u'0')
                nonzero = true;
        if (nonzero)
            return u'-' + text;
    }
    return text;
}

QString FormatDateTime(const QString &pattern, TDateTime value)
{
    const QDate date = DateTime::toDate(value);
    const QTime time = DateTime::toTime(value);
    QString out;
    const qsizetype n = pattern.size();
    bool afterHour = false;
    auto count = [&](qsizetype i, QChar c) {
        qsizetype k = i;
        while (k < n && pattern[k].toLower() == c)
            ++k;
        return int(k - i);
    };
    for (qsizetype i = 0; i < n;) {
        const QChar c = pattern[i];
        const QChar lc = c.toLower();
        if (c == u'"' || c == u'\'') {
            qsizetype close = pattern.indexOf(c, i + 1);
            if (close < 0)
                close = n;
            out += pattern.mid(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        const int k = count(i, lc);
        switch (lc.unicode()) {
        case u'y':
            out += k <= 2 ? QString::number(date.year() % 100).rightJustified(2, u'0')
                          : QString::number(date.year()).rightJustified(4, u'0');
            afterHour = false;
            break;
        case u'm':
            if (afterHour)
                out += k >= 2 ? QString::number(time.minute()).rightJustified(2, u'0') : QString::number(time.minute());
            else
                out += k >= 2 ? QString::number(date.month()).rightJustified(2, u'0') : QString::number(date.month());
            afterHour = false;
            break;
        case u'd':
            out += k >= 2 ? QString::number(date.day()).rightJustified(2, u'0') : QString::number(date.day());
            afterHour = false;
            break;
        case u'h':
            out += k >= 2 ? QString::number(time.hour()).rightJustified(2, u'0') : QString::number(time.hour());
            afterHour = true;
            break;
        case u'n':
            out += k >= 2 ? QString::number(time.minute()).rightJustified(2, u'0') : QString::number(time.minute());
            afterHour = false;
            break;
        case u's':
            out += k >= 2 ? QString::number(time.second()).rightJustified(2, u'0') : QString::number(time.second());
            afterHour = false;
            break;
        case u'z':
            out += QString::number(time.msec()).rightJustified(k >= 3 ? 3 : 1, u'0');
            afterHour = false;
            break;
        default:
            out += QString(k, c);
            break;
        }
        i += k;
    }
    return out;
}

TDateTime StrToDateTimeDef(QStringView text, TDateTime def)
{
    const QStringView t = text.trimmed();
    const qsizetype space = t.indexOf(u' ');
    const QStringView datePart = space < 0 ? t : t.left(space);
    const QStringView timePart = space < 0 ? QStringView() : t.mid(space + 1).trimmed();
    const auto parts = datePart.split(u'/');
    if (parts.size() != 3)
        return def;
    bool ok1 = false, ok2 = false, ok3 = false;
    const int y = parts[0].toInt(&ok1), m = parts[1].toInt(&ok2), d = parts[2].toInt(&ok3);
    const QDate date(y, m, d);
    // Dates hold years 1 to 9999; a later year would not survive being written back.
    if (!ok1 || !ok2 || !ok3 || !date.isValid() || y < 1 || y > 9999)
        return def;
    TDateTime value = DateTime::fromDate(date);
    if (!timePart.isEmpty()) {
        const auto hms = timePart.split(u':');
        if (hms.size() < 2 || hms.size() > 3)
            return def;
        bool okh = false, okn = false, oks = true;
        const int h = hms[0].toInt(&okh), n = hms[1].toInt(&okn);
        const int sec = hms.size() == 3 ? hms[2].toInt(&oks) : 0;
        const QTime time(h, n, sec);
        if (!okh || !okn || !oks || !time.isValid())
            return def;
        value += DateTime::fromTime(time);
    }
    return value;
}
