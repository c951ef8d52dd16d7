#pragma once

#include <QString>
#include <QStringList>

// Several fields in one line or value, as every file of the program writes them.
//
// Reading: fields are separated by commas; spaces and control characters around a field are
// skipped; an unquoted field also ends at a space or control character (so "a b" is two fields);
// a field starting with a double quote runs to the closing quote, doubled quotes standing for one
// (an unclosed quote runs to the end). Two commas in a row give an empty field, a comma at the very
// end one more. A NUL character ends the text.
//
// Writing: fields joined by ", "; a field is quoted only when reading it back unquoted would change
// it (it is empty-safe, but holds a space, a control character or a comma, or starts with a quote).
namespace CommaText {

// The fields one by one without building a list (the reader of large files). A quoted field is
// unescaped into the reader's buffer, valid until the next call.
class TFieldReader
{
public:
    explicit TFieldReader(QStringView text);
    bool next(QStringView &field);

private:
    QStringView m_text;
    qsizetype m_pos = 0;
    bool m_pendingEmpty = false;
    QString m_buffer;
};

QStringList split(QStringView text);
QString join(const QStringList &fields);
QString quoteIfNeeded(const QString &field);

} // namespace CommaText
