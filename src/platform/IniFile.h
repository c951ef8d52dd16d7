#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// Windows-style INI text: the settings file, prediction files, rule files and vote-rate files.
//
// Reading follows the Windows profile functions: section and key names match without regard to
// case, lines are trimmed, ";" lines are comments, key and value are trimmed around the first "=",
// the first of duplicated sections or keys wins. In Profile mode one pair of enclosing quotes
// (" or ') is stripped from a value on reading, as GetPrivateProfileString does; Memory mode keeps
// values as they stand (comma text with quoted fields must survive).
//
// Writing changes only the lines it must: an unchanged value leaves its line alone, a new key goes
// after the last key of its section, a new section goes at the end. So a file that is loaded and
// written back unchanged keeps its bytes. In Memory mode every new section ends with one empty line,
// the layout the program's own files have. Files are CP932 with CRLF; saving is atomic.
class TIniFile
{
public:
    enum class TMode { Profile, Memory };

    explicit TIniFile(TMode mode = TMode::Profile);
    TIniFile(const QString &fileName, TMode mode);
    ~TIniFile();
    TIniFile(TIniFile &&) noexcept;
    TIniFile &operator=(TIniFile &&) noexcept;

    TMode mode() const { return m_mode; }
    const QString &fileName() const { return m_fileName; }
    void setFileName(const QString &fileName) { m_fileName = fileName; }

    // Replaces the content. A missing file reads as empty; an unreadable one raises.
    void load(const QString &fileName);
    void loadFromBytes(const QByteArray &cp932);
    void loadFromText(const QString &text);
    void clear();

    QByteArray toBytes() const;
    QString toText() const;
    // Writes atomically to fileName() (temporary file in the same folder, then rename).
    void save() const;
    void saveAs(const QString &fileName);

    bool sectionExists(const QString &section) const;
    bool valueExists(const QString &section, const QString &key) const;
    QStringList sections() const;
    QStringList keys(const QString &section) const;
    // Every key line of the first section of that name, in file order (raw key and value).
    void forEachValue(const QString &section,
                      const std::function<void(QStringView key, QStringView value)> &fn) const;
    qsizetype valueCount(const QString &section) const;

    QString readString(const QString &section, const QString &key, const QString &def = {}) const;
    int readInteger(const QString &section, const QString &key, int def) const;
    qint64 readInt64(const QString &section, const QString &key, qint64 def) const;
    bool readBool(const QString &section, const QString &key, bool def) const;
    double readFloat(const QString &section, const QString &key, double def) const;

    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, qint64 value);
    void writeBool(const QString &section, const QString &key, bool value);
    void writeFloat(const QString &section, const QString &key, double value);

    void deleteKey(const QString &section, const QString &key);
    void eraseSection(const QString &section);

private:
    struct Line;
    struct Section;

    Section *findSection(const QString &section) const;
    Section &sectionForWrite(const QString &section);
    const Line *findLine(const Section &sec, const QString &key) const;
    void parse(QString text);
    QString lineText(const Line &line) const;
    QStringView lineKey(const Line &line) const;
    QStringView lineValue(const Line &line) const;
    void appendLine(std::vector<Line> &lines, const QString &text);

    TMode m_mode;
    QString m_fileName;
    QString m_pool; // all line text; lines refer to spans of it
    std::vector<Line> m_prefix; // lines before the first section
    std::vector<std::unique_ptr<Section>> m_sections;
    QHash<QString, Section *> m_firstSection; // lower-case name -> first section of that name
};
