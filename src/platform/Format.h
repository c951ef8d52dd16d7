#pragma once

#include "platform/DateTime.h"

#include <QString>
#include <initializer_list>
#include <variant>

// The formatting functions of the original program, one implementation for every caller.
class TFormatArg
{
public:
    TFormatArg(int v) : m_value(qint64(v)) {}
    TFormatArg(unsigned v) : m_value(qint64(v)) {}
    TFormatArg(long v) : m_value(qint64(v)) {}
    TFormatArg(long long v) : m_value(qint64(v)) {}
    TFormatArg(unsigned long v) : m_value(qint64(v)) {}
    TFormatArg(unsigned long long v) : m_value(qint64(v)) {}
    TFormatArg(double v) : m_value(v) {}
    TFormatArg(const QString &v) : m_value(v) {}
    TFormatArg(const char16_t *v) : m_value(QString::fromUtf16(v)) {}
    TFormatArg(QStringView v) : m_value(v.toString()) {}

    const std::variant<qint64, double, QString> &value() const { return m_value; }

private:
    std::variant<qint64, double, QString> m_value;
};

// printf-like formatting: "%d", "%u", "%x", "%s", "%f", "%e", "%g", "%n.md" (precision = minimum
// digits, zero-padded), "%*.*d" (width and precision from the arguments), "%-5s", "%%".
// "%f" without a precision has two decimals. A wrong argument type or a missing argument raises.
QString Format(QStringView format, std::initializer_list<TFormatArg> args);

// Number patterns such as "#,##0", "0.00", "#,##0;-#,##0;"""": sections for positive, negative and
// zero values, "0" a forced digit, "#" an optional one, "," thousands grouping, quoted literals.
QString FormatFloat(const QString &pattern, double value);

// Integer text as the original's conversions take it: optional sign, decimal or "$"/"0x" hex,
// surrounding blanks ignored. Overflow and anything else fail.
bool TryStrToInt64(QStringView text, qint64 &value);
qint64 StrToInt64Def(QStringView text, qint64 def);
int StrToIntDef(QStringView text, int def);

// The shortest general form with up to 15 significant digits and "." ("3.7", "5", "1E20").
QString FloatToStr(double value);

// A date written as "yyyy/m/d" (the separator "/"; a time after a space is taken too); def
// when the text is no date.
TDateTime StrToDateTimeDef(QStringView text, TDateTime def);

// Date and time patterns: "yyyy", "yy", "mm", "m", "dd", "d", "hh", "h", "nn", "n", "ss", "s",
// "zzz"; "mm"/"m" right after an hour means minutes; "/" and ":" are the separators; text in
// quotes is literal.
QString FormatDateTime(const QString &pattern, TDateTime value);
