#include "platform/CommaText.h"

namespace {

bool isSpace(QChar c)
{
    return c.unicode() >= 1 && c.unicode() <= 0x20;
}

} // namespace

namespace CommaText {

TFieldReader::TFieldReader(QStringView text)
    : m_text(text)
{
    const qsizetype nul = m_text.indexOf(QChar(0));
    if (nul >= 0)
        m_text = m_text.left(nul);
    while (m_pos < m_text.size() && isSpace(m_text[m_pos]))
        ++m_pos;
}

bool TFieldReader::next(QStringView &field)
{
    const QStringView text = m_text;
    const qsizetype n = text.size();
    qsizetype p = m_pos;
    if (p >= n) {
        if (!m_pendingEmpty)
            return false;
        m_pendingEmpty = false;
        field = QStringView();
        return true;
    }
    if (text[p] == u'"') {
        m_buffer.clear();
        ++p;
        while (p < n) {
            if (text[p] == u'"') {
                if (p + 1 < n && text[p + 1] == u'"') {
                    m_buffer.append(u'"');
                    p += 2;
                    continue;
                }
                ++p;
                break;
            }
            m_buffer.append(text[p++]);
        }
        field = m_buffer;
    } else {
        const qsizetype start = p;
        while (p < n && !isSpace(text[p]) && text[p] != u',')
            ++p;
        field = text.mid(start, p - start);
    }
    while (p < n && isSpace(text[p]))
        ++p;
    if (p < n && text[p] == u',') {
        if (p + 1 == n)
            m_pendingEmpty = true; // a comma at the very end gives one more, empty field
        do
            ++p;
        while (p < n && isSpace(text[p]));
    }
    m_pos = p;
    return true;
}

QStringList split(QStringView text)
{
    QStringList out;
    TFieldReader reader(text);
    QStringView field;
    while (reader.next(field))
        out.append(field.toString());
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
    // One empty field must still read back as a field.
    if (fields.size() == 1 && fields.front().isEmpty())
        return QStringLiteral("\"\"");
    QString out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        // An empty last field is the comma at the very end; a space after it would drop it.
        if (i)
            out.append(i + 1 == fields.size() && fields[i].isEmpty() ? QStringView(u",") : QStringView(u", "));
        out.append(quoteIfNeeded(fields[i]));
    }
    return out;
}

} // namespace CommaText
