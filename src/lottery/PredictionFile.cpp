// The round's files: prediction (.tot), match sheet (.tts), result file (.ttr) and the
// vote-rate file (.ods).
#include "lottery/UnitToTo.h"

#include "platform/AtomicFile.h"
#include "platform/CommaText.h"
#include "platform/Cp932Codec.h"
#include "platform/EventPump.h"
#include "platform/Format.h"
#include "platform/IniFile.h"
#include "platform/MessageService.h"
#include "platform/PelvaneError.h"
#include "platform/Progress.h"
#include "settings/UnitOption.h"
#include "shell/UnitTypes.h"
#include "web/UnitInternet.h"

#include <QDate>

#include <climits>
#include <QFileInfo>

namespace {

const QString kSheet = QStringLiteral("Sheet");
const QString kMatch = QStringLiteral("Match");
const QString kTip = QStringLiteral("Tip");
const QString kComment = QStringLiteral("Comment");
const QString kDataURL = QStringLiteral("DataURL");
const QString kResult = QStringLiteral("Result");
const QString kSingle = QStringLiteral("Single");
const QString kProbability = QStringLiteral("Probability");
const QString kTotoBoard = QStringLiteral("TotoBoard");
const QString kDividend = QStringLiteral("Dividend");
const char16_t *kProbabilityKeys[4] = {u"All", u"1st", u"2nd", u"3rd"};

// Progress is reported in steps of this many lines; the gauge cannot show finer ones anyway.
constexpr int kProgressBatch = 4096;

QString matchKey(int index)
{
    return Format(u"%2.2d", {index + 1});
}

QString officialSection(TTotoType type)
{
    return QStringLiteral("OfficialOdds") + (type == ttToto ? QString() : u'-' + TotoTypeSuffix(type));
}

QString userSection(TTotoType type)
{
    return QStringLiteral("Odds") + (type == ttToto ? QString() : u'-' + TotoTypeSuffix(type));
}

QString matchValue(const TExceptMatch &m)
{
    using CommaText::quoteIfNeeded;
    return Format(u"%s, %s", {quoteIfNeeded(m.HomeTeam().Name()), quoteIfNeeded(m.AwayTeam().Name())})
         + Format(u", %s, %s, %s, %d", {FormatDateTime(QStringLiteral("mm/dd"), m.DateTime()),
                                        FormatDateTime(QStringLiteral("hh:nn"), m.DateTime()), quoteIfNeeded(m.Stadium()),
                                        m.Division()})
         + Format(u", %d, %d", {m.HomeTeamNo, m.AwayTeamNo}) + QStringLiteral(", ") + quoteIfNeeded(m.MatchName);
}

QString resultValue(const TExceptMatch &m)
{
    QString v = (m.HomeScore() >= 0 ? QString::number(m.HomeScore()) : QString()) + QStringLiteral(", ")
              + (m.AwayScore() >= 0 ? QString::number(m.AwayScore()) : QString());
    if (m.VGoal())
        v += QStringLiteral(", V");
    if (m.CalledOff())
        v += m.VGoal() ? QStringLiteral(", X") : QStringLiteral(", , X");
    return v;
}

// "MM/DD" of the current year, as a date without year reads; 0 when it is no date.
TDateTime readMonthDay(QStringView text)
{
    const auto parts = text.split(u'/');
    if (parts.size() != 2)
        return 0;
    bool okM = false, okD = false;
    const int m = parts[0].toInt(&okM), d = parts[1].toInt(&okD);
    const QDate date(QDate::currentDate().year(), m, d);
    return okM && okD && date.isValid() ? DateTime::fromDate(date) : 0;
}

TDateTime readTime(QStringView text)
{
    const auto parts = text.split(u':');
    if (parts.size() < 2 || parts.size() > 3)
        return 0;
    bool okH = false, okN = false, okS = true;
    const int h = parts[0].toInt(&okH), n = parts[1].toInt(&okN);
    const int s = parts.size() == 3 ? parts[2].toInt(&okS) : 0;
    const QTime t(h, n, s);
    return okH && okN && okS && t.isValid() ? DateTime::fromTime(t) : 0;
}

qint64 dividendField(const QString &field)
{
    qint64 v = 0;
    if (!TryStrToInt64(field, v))
        throw EPelvaneError(QStringLiteral("'%1' は有効な整数値ではありません").arg(field));
    return v;
}

// The prize table of a file; the one read error of a prediction, checked before anything changes.
struct TDividendRows
{
    std::array<std::array<qint64, 3>, 3> values{};
    std::array<bool, 3> present{};
};

TDividendRows readDividends(const TIniFile &ini)
{
    TDividendRows rows;
    for (int level = 1; level <= 3; ++level) {
        const QStringList f = CommaText::split(ini.readString(kDividend, QString::number(level)));
        if (f.size() != 3)
            continue;
        for (int k = 0; k < 3; ++k)
            rows.values[size_t(level - 1)][size_t(k)] = dividendField(f[k]);
        rows.present[size_t(level - 1)] = true;
    }
    return rows;
}

TIniFile openPredictionIni(const QString &fileName)
{
    TIniFile ini(fileName, TIniFile::TMode::Memory);
    if (QFileInfo::exists(fileName) && !ini.sectionExists(kSheet))
        throw EPelvaneError(QStringLiteral("予想ファイル(%1)の形式ではありません").arg(fileName));
    return ini;
}

[[noreturn]] void cannotSave(const QString &fileName)
{
    throw EPelvaneError(QStringLiteral("指定されたファイル(") + fileName + QStringLiteral(")には保存できません"));
}

} // namespace

QString TTipSheet::OddsFileName() const
{
    return GetSheetFolder() + Format(u"toto%3.3d.ods", {m_number});
}

void TTipSheet::SaveOdds()
{
    TIniFile ini(OddsFileName(), TIniFile::TMode::Profile);
    m_officialOdds.Save(ini, officialSection(m_totoType));
    m_userOdds.Save(ini, userSection(m_totoType));
    ini.save();
}

void TTipSheet::LoadOdds(const QString &fileName)
{
    const TIniFile ini(fileName.isEmpty() ? OddsFileName() : fileName, TIniFile::TMode::Profile);
    m_officialOdds.Load(ini, officialSection(m_totoType));
    m_userOdds.Load(ini, userSection(m_totoType));
    RecalcAll();
}

void TTipSheet::LoadOfficialOdds(const QString &fileName)
{
    const TIniFile ini(fileName, TIniFile::TMode::Profile);
    m_officialOdds.Load(ini, officialSection(m_totoType));
    RecalcAll();
}

void TTipSheet::SaveToFile(const QString &fileName, bool cardOnly, bool resultOnly)
{
    // The old file is replaced only once the new one is complete; refuse early what cannot be.
    const QFileInfo target(fileName);
    if (target.exists() && (target.isDir() || !target.isWritable()))
        cannotSave(fileName);
    if (!QFileInfo(target.absolutePath()).isWritable())
        cannotSave(fileName);

    const bool full = !cardOnly && !resultOnly;
    if (full)
        SaveOdds();
    ProcessPendingEvents();

    TIniFile head(TIniFile::TMode::Memory);
    head.writeInteger(kSheet, QStringLiteral("Type"), m_totoType);
    head.writeInteger(kSheet, QStringLiteral("Number"), m_number);
    if (full) {
        head.writeInteger(kSheet, QStringLiteral("SingleCount"), m_singles.Count());
        head.writeBool(kSheet, QStringLiteral("SingleDeleted"), HasDeletedSingles());
    }
    for (int i = 0; i < m_maxMatch; ++i) {
        const TExceptMatch &m = Match(i);
        const QString key = matchKey(i);
        head.writeString(kMatch, key, matchValue(m));
        if (full) {
            head.writeString(kTip, key, TipsDigits(m.Tips()));
            head.writeString(kComment, key, m.Comment());
            head.writeString(kDataURL, key, m.DispTeamDataURL);
        }
        if (!cardOnly)
            head.writeString(kResult, key, resultValue(m));
    }

    QByteArray singles;
    TIniFile tail(TIniFile::TMode::Memory);
    if (full) {
        (Option ? Option->ExpandOption : ExpandOption).SaveToIni(head);
        // The singles go straight to text: a 13-triple expansion has 1.6 million lines.
        TProgressGuard gauge(m_singles.Count());
        singles.reserve(qsizetype(m_singles.Count()) * (m_maxMatch * 3 + 8) + 16);
        singles.append("[Single]\r\n");
        TCrc16 crc;
        int k = 0;
        for (const TSingleSheet &s : m_singles) {
            singles.append(Format(u"%2.2d", {s.SingleNumber}).toLatin1());
            singles.append('=');
            for (int i = 0; i < m_maxMatch; ++i) {
                if (i)
                    singles.append(", ", 2);
                singles.append(char('0' + s.Tips()[size_t(i)]));
                crc.add(quint8(s.Tips()[size_t(i)]));
            }
            if (s.Invalid())
                singles.append(", X", 3);
            singles.append("\r\n", 2);
            if (++k % kProgressBatch == 0)
                ProgressSet(k);
        }
        singles.append("\r\n", 2);
        SetFileName(fileName);
        head.writeInteger(kSheet, QStringLiteral("SingleSum"), crc.value());
        for (int i = 0; i < 4; ++i)
            tail.writeFloat(kProbability, QString::fromUtf16(kProbabilityKeys[i]), Probability(i));
        // Until the posting window owns them, the texts read are written back as they were.
        if (PostingTexts.isEmpty())
            tail.writeString(kTotoBoard, QStringLiteral("Title"), QString());
        for (const auto &[key, value] : PostingTexts)
            tail.writeString(kTotoBoard, key, value);
    }
    if (!cardOnly)
        for (int level = 1; level <= 3; ++level) {
            const TDividend &d = Dividend(level);
            tail.writeString(kDividend, QString::number(level), Format(u"%d, %d, %d", {d.Money, d.Hits, d.CarryOver}));
        }

    try {
        WriteFileAtomic(fileName, head.toBytes() + singles + tail.toBytes());
    } catch (const EPelvaneError &) {
        cannotSave(fileName);
    }
}

void TTipSheet::LoadFromFile(const QString &fileName, TLoadParts parts, bool showProgress, bool keep)
{
    const TIniFile ini = openPredictionIni(fileName);
    LoadFromIni(ini, TLoadParts(parts & ~lpOdds), showProgress, keep);
    if (parts & lpOdds)
        LoadOdds();
    if (parts & lpExpand)
        loadRules(ini);
}

void TTipSheet::loadRules(const TIniFile &ini)
{
    // Opening a prediction replaces the application's rule set with the file's.
    TExpandOption &rules = Option ? Option->ExpandOption : ExpandOption;
    rules.LoadFromIni(ini);
    rules.AssignTo(ExpandOption);
}

void TTipSheet::LoadFromIni(const TIniFile &ini, TLoadParts parts, bool showProgress, bool keep)
{
    if (parts == 0 || parts == lpOdds)
        return;

    const TDividendRows dividends = (parts & lpResults) ? readDividends(ini) : TDividendRows{};

    TUpdateGuard update(*this);
    if (!keep && (parts & (lpCard | lpTips | lpSingles)))
        Clear();
    SetTotoType(TotoTypeFromInt(ini.readInteger(kSheet, QStringLiteral("Type"), 0)));
    SetNumber(ini.readInteger(kSheet, QStringLiteral("Number"), 1));

    for (int i = 0; i < kMaxMatches; ++i) {
        TExceptMatch &m = Match(i);
        const QString key = matchKey(i);
        if (parts & lpCard) {
            const QStringList f = CommaText::split(ini.readString(kMatch, key));
            if (f.isEmpty()) {
                m.ClearCard();
            } else {
                TExceptTeam home, away;
                home.Index = away.Index = i;
                home.SetName(f.value(0));
                away.SetName(f.value(1));
                m.SetHomeTeam(home);
                m.SetAwayTeam(away);
                const TDateTime date = readMonthDay(f.value(2));
                const TDateTime time = readTime(f.value(3));
                m.SetStadium(f.value(4));
                m.SetDivision(f.size() < 6 ? -1 : StrToIntDef(f[5], 0));
                m.HomeTeamNo = StrToIntDef(f.value(6), 0);
                m.AwayTeamNo = StrToIntDef(f.value(7), 0);
                m.MatchName = f.value(8);
                if (m.MatchName.isEmpty() && m.Division() > 0)
                    m.MatchName = QStringLiteral("J") + QString::number(m.Division());
                m.SetDateTime(date + time);
            }
        }
        if (parts & lpTips) {
            const QString v = ini.readString(kTip, key);
            TTips tips;
            for (QChar c : QStringView(v).right(3))
                tips.include(TipFromText(QStringView(&c, 1)));
            m.SetTips(tips);
            m.SetComment(ini.readString(kComment, key));
            m.DispTeamDataURL = ini.readString(kDataURL, key);
        }
        if (parts & lpResults) {
            const QStringList f = CommaText::split(ini.readString(kResult, key));
            m.SetHomeScore(-1);
            m.SetAwayScore(-1);
            m.SetVGoal(false);
            m.SetCalledOff(false);
            m.SetHomeScore(StrToIntDef(f.value(0), -1));
            m.SetAwayScore(StrToIntDef(f.value(1), -1));
            m.SetVGoal(f.value(2).trimmed().startsWith(u'V', Qt::CaseInsensitive));
            m.SetCalledOff(f.value(3).trimmed().startsWith(u'X', Qt::CaseInsensitive));
        }
    }

    if (parts & lpSingles) {
        const qint64 savedCount = ini.readInt64(kSheet, QStringLiteral("SingleCount"), -1);
        const quint16 savedSum = quint16(ini.readInt64(kSheet, QStringLiteral("SingleSum"), 0));
        SetSingleDeleted(ini.readBool(kSheet, QStringLiteral("SingleDeleted"), false));

        const qsizetype lines = ini.valueCount(kSingle);
        std::unique_ptr<TProgressGuard> gauge;
        if (showProgress)
            gauge = std::make_unique<TProgressGuard>(int(std::min<qsizetype>(lines, INT_MAX)));
        m_singles.Reserve(int(m_singles.Count() + lines));
        TCrc16 crc;
        int k = 0;
        ini.forEachValue(kSingle, [&](QStringView key, QStringView value) {
            TSingleSheet s(this, StrToIntDef(key, k + 1));
            TTip tips[kMaxMatches] = {};
            CommaText::TFieldReader reader(value);
            QStringView field;
            int n = 0;
            bool invalid = false;
            while (reader.next(field)) {
                if (n < m_maxMatch) {
                    tips[n] = TipFromText(field);
                    crc.add(quint8(tips[n]));
                } else {
                    invalid = field.compare(u"x", Qt::CaseInsensitive) == 0;
                    break;
                }
                ++n;
            }
            s.SetTips(tips, n);
            TSingleSheet &added = m_singles.Add(s);
            if (invalid)
                added.SetInvalid(true);
            ++k;
            if (showProgress && k % kProgressBatch == 0)
                ProgressSet(k);
        });

        for (int i = 0; i < 4; ++i)
            SetProbability(i, ini.readFloat(kProbability, QString::fromUtf16(kProbabilityKeys[i]), -1));

        const qint64 expectedCount = savedCount >= 0 ? savedCount : m_singles.Count();
        const quint16 expectedSum = savedSum != 0 ? savedSum : crc.value();
        const bool changed = expectedCount != m_singles.Count() || expectedSum != crc.value();
        m_checksumState = changed ? TChecksumState::Changed
                        : savedCount < 0 && savedSum == 0 ? TChecksumState::Absent
                                                          : TChecksumState::Ok;
        if (parts != lpSingles) {
            if (changed)
                MessageDlg(QStringLiteral("この予想はファイル保存後に、人為的に変更されています。\r\n\r\n"
                                          "２等もしくは３等以上当選確実は保証できません。"),
                           TMsgDlgType::mtWarning, mbOK, mbOK);
        }
    }

    if (parts & lpBoards) {
        PostingTexts.clear();
        ini.forEachValue(kTotoBoard, [&](QStringView key, QStringView value) {
            PostingTexts.append({key.toString(), value.toString()});
        });
    }

    if (parts & lpResults)
        for (int level = 1; level <= 3; ++level)
            if (dividends.present[size_t(level - 1)]) {
                TDividend &d = Dividend(level);
                d.Money = dividends.values[size_t(level - 1)][0];
                d.Hits = dividends.values[size_t(level - 1)][1];
                d.CarryOver = dividends.values[size_t(level - 1)][2];
            }
}

bool TTipSheet::LoadFromURL(const QString &url, TLoadParts parts, const QString &errorMessage)
{
    TBusyCursor cursor;
    TUpdateGuard update(*this);
    TInternet client;
    if (Option)
        Option->ApplyInternetSettings(client);
    bool ok = client.Get(url, false);
    if (ok) {
        TIniFile ini(TIniFile::TMode::Memory);
        ini.loadFromText(client.BodyText());
        ok = ini.sectionExists(kSheet) && (!(parts & lpCard) || ini.sectionExists(kMatch))
          && (!(parts & lpResults) || ini.sectionExists(kResult));
        if (ok) {
            readDividends(ini); // its errors before the sheet changes
            if (parts == lpCard)
                for (int i = 0; i < m_maxMatch; ++i)
                    Match(i).ClearForecast();
            LoadFromIni(ini, parts, false, false);
        }
    }
    if (!ok && !errorMessage.isEmpty())
        MessageDlg(errorMessage, TMsgDlgType::mtError, mbOK, mbOK);
    return ok;
}

int TTipSheet::OpenPrediction(const QString &fileName, bool append)
{
    if (!QFileInfo(fileName).isFile())
        throw EPelvaneError(QStringLiteral("ファイル(%1)がありません").arg(fileName));
    TUpdateGuard update(*this);
    TBusyCursor cursor;
    int removed = 0;
    if (append) {
        const int before = m_singles.Count();
        LoadFromFile(fileName, lpSingles, true, true);
        removed = RemoveDuplicates(before, -1);
        Renumber();
        ResetProbabilities();
    } else {
        // One read of the file for both passes, its errors found before the sheet changes.
        const TIniFile ini = openPredictionIni(fileName);
        readDividends(ini);
        LoadFromIni(ini, TLoadParts(kOpenParts & ~lpOdds), true, false);
        LoadOdds();
        loadRules(ini);
        ProcessPendingEvents();
        LoadFromIni(ini, lpResults, false, false);
        SetFileName(fileName);
    }
    return removed;
}

int TTipSheet::CountSavedTips(const TIniFile &ini, std::array<int, kMaxMatches> &home,
                              std::array<int, kMaxMatches> &away, std::array<int, kMaxMatches> &draw) const
{
    for (int i = 0; i < m_maxMatch; ++i)
        home[size_t(i)] = away[size_t(i)] = draw[size_t(i)] = 0;
    int counted = 0;
    ini.forEachValue(kSingle, [&](QStringView, QStringView value) {
        const QStringList f = CommaText::split(value);
        if (f.size() > m_maxMatch && f[m_maxMatch].compare(u"x", Qt::CaseInsensitive) == 0)
            return;
        for (int i = 0; i < m_maxMatch && i < f.size(); ++i) {
            const QChar c = f[i].isEmpty() ? QChar() : f[i].at(0);
            if (c == u'1')
                ++home[size_t(i)];
            else if (c == u'2')
                ++away[size_t(i)];
            else
                ++draw[size_t(i)];
        }
        ++counted;
    });
    return counted;
}
