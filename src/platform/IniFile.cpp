#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "platform/Cp932Codec.h"
#include "platform/Format.h"
#include "platform/PelvaneError.h"

#include <QFile>

#include <climits>

namespace {

enum class LineKind : quint8 { Blank, Comment, Header, Key, Other };
enum class Eol : quint8 { None, CrLf, Lf, Cr };

bool isBlank(QChar c)
{
    return c.unicode() <= 0x20;
}

QStringView trimmed(QStringView s)
{
    qsizetype b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.mid(b, e - b);
}

} // namespace

struct TIniFile::Line
{
    qsizetype start = 0;
    int len = 0;
    int keyOff = 0, keyLen = 0;
    int valOff = 0, valLen = 0;
    LineKind kind = LineKind::Blank;
    Eol eol = Eol::CrLf;
};

struct TIniFile::Section
{
    Line header;
    QString name;
    std::vector<Line> body;
    mutable QHash<QString, int> keyIndex; // lower-case key -> first body line
    mutable bool indexed = false;
};

TIniFile::TIniFile(TMode mode)
    : m_mode(mode)
{
}

TIniFile::TIniFile(const QString &fileName, TMode mode)
    : m_mode(mode)
{
    load(fileName);
}

TIniFile::~TIniFile() = default;
TIniFile::TIniFile(TIniFile &&) noexcept = default;
TIniFile &TIniFile::operator=(TIniFile &&) noexcept = default;

void TIniFile::clear()
{
    m_pool.clear();
    m_prefix.clear();
    m_sections.clear();
    m_firstSection.clear();
}

void TIniFile::load(const QString &fileName)
{
    m_fileName = fileName;
    QFile file(fileName);
    if (!file.exists()) {
        clear();
        return;
    }
    if (!file.open(QIODevice::ReadOnly))
        throw EPelvaneError(QStringLiteral("ファイル(%1)が読めません: %2").arg(fileName, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EPelvaneError(QStringLiteral("ファイル(%1)が読めません: %2").arg(fileName, file.errorString()));
    loadFromBytes(bytes);
}

void TIniFile::loadFromBytes(const QByteArray &cp932)
{
    parse(Cp932::decode(cp932));
}

void TIniFile::loadFromText(const QString &text)
{
    parse(text);
}

void TIniFile::parse(QString text)
{
    clear();
    m_pool = std::move(text);
    const QStringView all(m_pool);
    std::vector<Line> *target = &m_prefix;
    qsizetype pos = 0;
    const qsizetype n = all.size();
    while (pos < n) {
        qsizetype end = pos;
        while (end < n && all[end] != u'\r' && all[end] != u'\n')
            ++end;
        Line line;
        line.start = pos;
        line.len = int(end - pos);
        if (end >= n) {
            line.eol = Eol::None;
            pos = end;
        } else if (all[end] == u'\r' && end + 1 < n && all[end + 1] == u'\n') {
            line.eol = Eol::CrLf;
            pos = end + 2;
        } else {
            line.eol = all[end] == u'\r' ? Eol::Cr : Eol::Lf;
            pos = end + 1;
        }

        const QStringView raw = all.mid(line.start, line.len);
        const QStringView t = trimmed(raw);
        if (t.isEmpty()) {
            line.kind = LineKind::Blank;
        } else if (t.front() == u';') {
            line.kind = LineKind::Comment;
        } else if (t.front() == u'[') {
            qsizetype close = t.indexOf(u']');
            const QStringView name = trimmed(close < 0 ? t.mid(1) : t.mid(1, close - 1));
            line.kind = LineKind::Header;
            auto sec = std::make_unique<Section>();
            sec->header = line;
            sec->name = name.toString();
            const QString lower = sec->name.toLower();
            if (!m_firstSection.contains(lower))
                m_firstSection.insert(lower, sec.get());
            target = &sec->body;
            m_sections.push_back(std::move(sec));
            continue;
        } else {
            const qsizetype eq = raw.indexOf(u'=');
            if (eq < 0) {
                line.kind = LineKind::Other;
            } else {
                const QStringView key = trimmed(raw.left(eq));
                const QStringView value = trimmed(raw.mid(eq + 1));
                line.kind = LineKind::Key;
                line.keyOff = int(key.data() - raw.data());
                line.keyLen = int(key.size());
                line.valOff = value.isEmpty() ? int(eq + 1) : int(value.data() - raw.data());
                line.valLen = int(value.size());
            }
        }
        target->push_back(line);
    }
}

QString TIniFile::lineText(const Line &line) const
{
    return m_pool.mid(line.start, line.len);
}

QStringView TIniFile::lineKey(const Line &line) const
{
    return QStringView(m_pool).mid(line.start + line.keyOff, line.keyLen);
}

QStringView TIniFile::lineValue(const Line &line) const
{
    return QStringView(m_pool).mid(line.start + line.valOff, line.valLen);
}

QString TIniFile::toText() const
{
    QString out;
    out.reserve(m_pool.size() + 64);
    auto put = [&](const Line &line) {
        out.append(QStringView(m_pool).mid(line.start, line.len));
        switch (line.eol) {
        case Eol::None: break;
        case Eol::CrLf: out.append(u"\r\n"); break;
        case Eol::Lf: out.append(u'\n'); break;
        case Eol::Cr: out.append(u'\r'); break;
        }
    };
    for (const Line &l : m_prefix)
        put(l);
    for (const auto &sec : m_sections) {
        put(sec->header);
        for (const Line &l : sec->body)
            put(l);
    }
    return out;
}

QByteArray TIniFile::toBytes() const
{
    return Cp932::encode(toText());
}

void TIniFile::save() const
{
    if (m_fileName.isEmpty())
        throw EPelvaneError(QStringLiteral("保存先のファイル名がありません"));
    WriteFileAtomic(m_fileName, toBytes());
}

void TIniFile::saveAs(const QString &fileName)
{
    m_fileName = fileName;
    save();
}

TIniFile::Section *TIniFile::findSection(const QString &section) const
{
    return m_firstSection.value(section.trimmed().toLower(), nullptr);
}

bool TIniFile::sectionExists(const QString &section) const
{
    return findSection(section) != nullptr;
}

const TIniFile::Line *TIniFile::findLine(const Section &sec, const QString &key) const
{
    if (!sec.indexed) {
        sec.keyIndex.clear();
        for (int i = int(sec.body.size()) - 1; i >= 0; --i)
            if (sec.body[i].kind == LineKind::Key)
                sec.keyIndex.insert(lineKey(sec.body[i]).toString().toLower(), i);
        sec.indexed = true;
    }
    const auto it = sec.keyIndex.constFind(key.trimmed().toLower());
    return it == sec.keyIndex.cend() ? nullptr : &sec.body[*it];
}

bool TIniFile::valueExists(const QString &section, const QString &key) const
{
    const Section *sec = findSection(section);
    return sec && findLine(*sec, key);
}

QStringList TIniFile::sections() const
{
    QStringList out;
    for (const auto &sec : m_sections)
        out.append(sec->name);
    return out;
}

QStringList TIniFile::keys(const QString &section) const
{
    QStringList out;
    if (const Section *sec = findSection(section))
        for (const Line &l : sec->body)
            if (l.kind == LineKind::Key)
                out.append(lineKey(l).toString());
    return out;
}

void TIniFile::forEachValue(const QString &section,
                            const std::function<void(QStringView, QStringView)> &fn) const
{
    if (const Section *sec = findSection(section))
        for (const Line &l : sec->body)
            if (l.kind == LineKind::Key)
                fn(lineKey(l), lineValue(l));
}

qsizetype TIniFile::valueCount(const QString &section) const
{
    qsizetype n = 0;
    if (const Section *sec = findSection(section))
        for (const Line &l : sec->body)
            n += l.kind == LineKind::Key;
    return n;
}

QString TIniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    const Section *sec = findSection(section);
    const Line *line = sec ? findLine(*sec, key) : nullptr;
    if (!line)
        return def;
    QStringView v = lineValue(*line);
    if (m_mode == TMode::Profile && v.size() >= 2 && v.front() == v.back()
        && (v.front() == u'"' || v.front() == u'\''))
        v = v.mid(1, v.size() - 2);
    return v.toString();
}

int TIniFile::readInteger(const QString &section, const QString &key, int def) const
{
    const qint64 v = readInt64(section, key, def);
    return (v < INT_MIN || v > INT_MAX) ? def : int(v);
}

qint64 TIniFile::readInt64(const QString &section, const QString &key, qint64 def) const
{
    const QString s = readString(section, key);
    return StrToInt64Def(s, def);
}

bool TIniFile::readBool(const QString &section, const QString &key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

double TIniFile::readFloat(const QString &section, const QString &key, double def) const
{
    const QString s = readString(section, key).trimmed();
    bool ok = false;
    const double v = s.toDouble(&ok);
    return ok ? v : def;
}

TIniFile::Section &TIniFile::sectionForWrite(const QString &section)
{
    if (Section *sec = findSection(section))
        return *sec;
    // The file's last line must end before a new section starts.
    Line *last = nullptr;
    if (!m_sections.empty())
        last = m_sections.back()->body.empty() ? &m_sections.back()->header : &m_sections.back()->body.back();
    else if (!m_prefix.empty())
        last = &m_prefix.back();
    if (last && last->eol == Eol::None)
        last->eol = Eol::CrLf;

    auto sec = std::make_unique<Section>();
    sec->name = section.trimmed();
    const QString headerText = u'[' + sec->name + u']';
    sec->header.start = m_pool.size();
    sec->header.len = int(headerText.size());
    sec->header.kind = LineKind::Header;
    m_pool.append(headerText);
    if (m_mode == TMode::Memory) {
        Line blank;
        blank.start = m_pool.size();
        sec->body.push_back(blank);
    }
    Section *raw = sec.get();
    m_firstSection.insert(raw->name.toLower(), raw);
    m_sections.push_back(std::move(sec));
    return *raw;
}

namespace {

// The value span of a written line covers the value without its surrounding blanks.
template <typename LineT>
void setValueSpan(LineT &line, const QString &value)
{
    const QStringView t = trimmed(value);
    line.valOff = line.keyLen + 1 + int(t.isEmpty() ? 0 : t.data() - value.data());
    line.valLen = int(t.size());
}

} // namespace

void TIniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    Section &sec = sectionForWrite(section);
    const QString k = key.trimmed();
    // The value is written as given (trailing blanks included, as the profile functions do);
    // a line whose value already reads the same is left alone.
    const QString &v = value;
    if (const Line *found = findLine(sec, k)) {
        if (lineValue(*found) == QStringView(v).trimmed())
            return;
        Line &line = const_cast<Line &>(*found);
        const QString text = lineKey(line).toString() + u'=' + v;
        line.start = m_pool.size();
        line.len = int(text.size());
        line.keyLen = int(k.size());
        line.keyOff = 0;
        setValueSpan(line, v);
        m_pool.append(text);
        return;
    }
    Line line;
    const QString text = k + u'=' + v;
    line.start = m_pool.size();
    line.len = int(text.size());
    line.kind = LineKind::Key;
    line.keyLen = int(k.size());
    setValueSpan(line, v);
    m_pool.append(text);

    // After the last non-blank line of the section, so that trailing empty lines stay last.
    qsizetype at = qsizetype(sec.body.size());
    while (at > 0 && sec.body[at - 1].kind == LineKind::Blank)
        --at;
    Line &before = at > 0 ? sec.body[at - 1] : sec.header;
    if (before.eol == Eol::None)
        before.eol = Eol::CrLf;
    const bool atEnd = at == qsizetype(sec.body.size());
    sec.body.insert(sec.body.begin() + at, line);
    if (atEnd && sec.indexed)
        sec.keyIndex.insert(k.toLower(), int(at));
    else
        sec.indexed = false;
}

void TIniFile::writeInteger(const QString &section, const QString &key, qint64 value)
{
    writeString(section, key, QString::number(value));
}

void TIniFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::writeFloat(const QString &section, const QString &key, double value)
{
    writeString(section, key, FloatToStr(value));
}

void TIniFile::deleteKey(const QString &section, const QString &key)
{
    Section *sec = findSection(section);
    if (!sec)
        return;
    const QString lower = key.trimmed().toLower();
    for (auto it = sec->body.begin(); it != sec->body.end(); ++it) {
        if (it->kind == LineKind::Key && lineKey(*it).toString().toLower() == lower) {
            sec->body.erase(it);
            sec->indexed = false;
            return;
        }
    }
}

void TIniFile::eraseSection(const QString &section)
{
    const QString lower = section.trimmed().toLower();
    std::erase_if(m_sections, [&](const std::unique_ptr<Section> &s) { return s->name.toLower() == lower; });
    m_firstSection.remove(lower);
}
