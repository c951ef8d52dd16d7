#include "platform/CommaText.h"

namespace {

bool isSpace(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 0x20;
}

} // namespace

namespace CommaText {

QStringList split(QStringView text)
{
    QStringList out;
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text = text.left(nul);
    const qsizetype n = text.size();
    qsizetype p = 0;
    while (p < n && isSpace(text[p]))
        ++p;
    while (p < n) {
        QString field;
        if (text[p] == u'"') {
            ++p;
            while (p < n) {
                if (text[p] == u'"') {
                    if (p + 1 < n && text[p + 1] == u'"') {
                        field.append(u'"');
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                field.append(text[p++]);
            }
        } else {
            const qsizetype start = p;
            while (p < n && !isSpace(text[p]) && text[p] != u',')
                ++p;
            field = text.mid(start, p - start).toString();
        }
        out.append(field);
        while (p < n && isSpace(text[p]))
            ++p;
        if (p < n && text[p] == u',') {
            if (p + 1 == n)
                out.append(QString());
            do
                ++p;
            while (p < n && isSpace(text[p]));
        }
    }
    return out;
}

QString quoteIfNeeded(const QString &field)
{
    bool needs = field.startsWith(u'"');
    for (QChar c : field) {
        if (c.unicode() <= 0x20 || c == u',') {
            needs = true;
            break;
        }
    }
    if (!needs)
        return field;
    QString q = field;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

QString join(const QStringList &fields)
{
    QString out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            out.append(u", ");
        out.append(quoteIfNeeded(fields[i]));
    }
    return out;
}

} // namespace CommaText
