#include "web/UnitHTMLParser.h"

namespace {

int countOf(const QString &text, QStringView needle)
{
    int n = 0;
    for (qsizetype p = text.indexOf(needle); p >= 0; p = text.indexOf(needle, p + needle.size()))
        ++n;
    return n;
}

} // namespace

void THTMLParser::SetHTML(const QString &html)
{
    QString out;
    out.reserve(html.size());
    const qsizetype n = html.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = html[i++];
        out.append(c);
        if (c != u'<')
            continue;
        // The tag name runs to CR, LF, space or ">" (the delimiter included); only it is upper-cased.
        qsizetype j = i;
        while (j < n && html[j] != u'\r' && html[j] != u'\n' && html[j] != u' ' && html[j] != u'>')
            ++j;
        if (j >= n)
            break; // a tag still open at the end is dropped
        out.append(QStringView(html).mid(i, j + 1 - i).toString().toUpper());
        i = j + 1;
    }
    m_document = out;
}

int THTMLParser::TableCount() const
{
    return countOf(m_document, u"<TABLE");
}

QString THTMLParser::GetTable(int n) const
{
    const QString &doc = m_document;
    const qsizetype size = doc.size();
    qsizetype pos = 0;
    for (int k = 0; k < n; ++k) {
        const qsizetype o = doc.indexOf(u"<TABLE", pos);
        if (o < 0)
            return {};
        const qsizetype gt = doc.indexOf(u'>', o);
        pos = gt < 0 ? std::max<qsizetype>(size - 1, 0) : gt + 1;
    }
    QString out;
    int depth = 0;
    auto afterGt = [&](qsizetype from) {
        const qsizetype gt = doc.indexOf(u'>', from);
        return gt < 0 ? size : gt + 1;
    };
    while (depth >= 0) {
        const qsizetype o = doc.indexOf(u"<TABLE", pos);
        const qsizetype c = doc.indexOf(u"</TABLE", pos);
        if (o < 0 && c < 0) {
            if (depth == 0)
                out += QStringView(doc).mid(pos);
            break;
        }
        if (c < 0) {
            if (depth == 0)
                out += QStringView(doc).mid(pos, o - pos);
            break;
        }
        // Only a closing tag left: inside a nested table it closes that one and the outer rows
        // after it still count (stopping here would lose them).
        if (o >= 0 && o < c) {
            if (depth == 0)
                out += QStringView(doc).mid(pos, o - pos);
            pos = afterGt(o);
            ++depth;
        } else {
            if (depth == 0)
                out += QStringView(doc).mid(pos, c - pos);
            --depth;
            pos = afterGt(c);
        }
    }
    return out;
}

int THTMLParser::RowCount(int table) const
{
    return countOf(GetTable(table), u"<TR");
}

QString THTMLParser::GetElement(const QString &html, const QString &name, int k)
{
    QString text = html;
    if (name == u"TD") {
        text.replace(QStringLiteral("<TH"), QStringLiteral("<TD"));
        text.replace(QStringLiteral("</TH"), QStringLiteral("</TD"));
    }
    const QString open = u'<' + name;
    const QString close = QStringLiteral("</") + name;
    qsizetype pos = 0;
    for (int i = 0; i < k; ++i) {
        const qsizetype p = text.indexOf(open, pos);
        if (p < 0)
            return {};
        pos = p + open.size();
    }
    if (k <= 0)
        return {};
    const qsizetype gt = text.indexOf(u'>', pos);
    if (gt < 0)
        return {};
    pos = gt + 1;
    qsizetype end = text.size();
    const qsizetype a = text.indexOf(open, pos), b = text.indexOf(close, pos);
    if (a >= 0)
        end = a;
    if (b >= 0 && b < end)
        end = b;
    return text.mid(pos, end - pos);
}

QString THTMLParser::GetCell(int table, int row, int column) const
{
    const QString t = GetTable(table);
    if (t.isEmpty())
        return {};
    const QString r = GetElement(t, QStringLiteral("TR"), row);
    if (r.isEmpty())
        return {};
    const QString c = GetElement(r, QStringLiteral("TD"), column);
    return c.isEmpty() ? StripTags(r) : c;
}

QString THTMLParser::StripTags(const QString &html)
{
    QString out;
    out.reserve(html.size());
    const qsizetype n = html.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = html[i];
        if (c == u'<') {
            const QString head = html.mid(i, 4).toUpper();
            if (head == u"<BR>" || head == u"</DI" || head == u"<HR>")
                out.append(u"\r\n");
            const qsizetype gt = html.indexOf(u'>', i);
            i = gt < 0 ? n : gt + 1;
            continue;
        }
        if (c != u'\t' && c != u'\n' && c != u'\r')
            out.append(c);
        ++i;
    }
    out.replace(QStringLiteral("&nbsp"), QStringLiteral(" "));
    return out;
}

QString THTMLParser::ToHalfWidth(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if ((u >= 0xFF20 && u <= 0xFF3A) || (u >= 0xFF41 && u <= 0xFF5A) || (u >= 0xFF10 && u <= 0xFF19))
            c = QChar(char16_t(u - 0xFEE0));
    }
    return out;
}

QString THTMLParser::ToFullWidth(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if ((u >= u'0' && u <= u'9') || (u >= u'@' && u <= u'Z') || (u >= u'a' && u <= u'z'))
            c = QChar(char16_t(u + 0xFEE0));
    }
    return out;
}
