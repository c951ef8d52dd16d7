#include "lottery/UnitToTo.h"

#include "lottery/PrizeEstimate.h"
#include "platform/AtomicFile.h"
#include "platform/CommaText.h"
#include "platform/Cp932Codec.h"
#include "platform/EventPump.h"
#include "platform/Format.h"
#include "platform/MessageService.h"
#include "platform/PelvaneError.h"
#include "platform/Progress.h"
#include "reduction/ExpansionEngines.h"
#include "settings/UnitOption.h"

#include <QFile>

#include <algorithm>
#include <climits>
#include <vector>

TTipSheet::TTipSheet()
{
    for (int i = 0; i < kMaxMatches; ++i) {
        m_matches[size_t(i)] = std::make_unique<TExceptMatch>(this);
        TExceptMatch &m = *m_matches[size_t(i)];
        m.SetIndex(i);
        m.OnChanged = [this](TExceptMatch *match) { MatchChanged(*match); };
    }
}

TTipSheet::~TTipSheet() = default;

// --- identity --------------------------------------------------------------------------------------

void TTipSheet::SetTotoType(TTotoType type)
{
    if (type == m_totoType)
        return;
    m_totoType = type;
    m_maxMatch = MaxMatchOf(type);
    DoTotoTypeChange();
}

void TTipSheet::SetNumber(int number)
{
    if (number == m_number)
        return;
    m_number = number;
    DoNumberChange();
}

QString TTipSheet::FileName() const
{
    return m_fileName.isEmpty() ? DefaultFileName() : m_fileName;
}

void TTipSheet::SetFileName(const QString &name)
{
    if (name == m_fileName)
        return;
    m_fileName = name;
    DoFileNameChange();
}

QString TTipSheet::DefaultFileName() const
{
    return Format(QStringLiteral("toto%s%3.3d.tot"), {TotoTypeSuffix(m_totoType), m_number});
}

void TTipSheet::DoTotoTypeChange()
{
    if (OnTotoTypeChange)
        OnTotoTypeChange(this);
}

void TTipSheet::DoNumberChange()
{
    if (OnNumberChange)
        OnNumberChange(this);
}

void TTipSheet::DoFileNameChange()
{
    if (OnFileNameChange)
        OnFileNameChange(this);
}

// --- matches ---------------------------------------------------------------------------------------

TExceptMatch &TTipSheet::Match(int index)
{
    return *m_matches.at(size_t(index));
}

const TExceptMatch &TTipSheet::Match(int index) const
{
    return *m_matches.at(size_t(index));
}

int TTipSheet::SingleMarkCount() const
{
    int n = 0;
    for (int i = 0; i < m_maxMatch; ++i)
        n += Match(i).TipCount() == 1;
    return n;
}

int TTipSheet::DoubleCount() const
{
    int n = 0;
    for (int i = 0; i < m_maxMatch; ++i)
        n += Match(i).TipCount() == 2;
    return n;
}

int TTipSheet::TripleCount() const
{
    int n = 0;
    for (int i = 0; i < m_maxMatch; ++i)
        n += Match(i).TipCount() == 3;
    return n;
}

qint64 TTipSheet::MultiPrice() const
{
    qint64 price = kSinglePrice;
    for (int i = 0; i < m_maxMatch; ++i)
        price *= std::max(1, Match(i).TipCount());
    return price;
}

void TTipSheet::CheckMarks() const
{
    for (int i = 0; i < m_maxMatch; ++i)
        if (Match(i).TipCount() == 0)
            throw EPelvaneError(QStringLiteral("全ての試合にマークを付けて下さい"));
}

int TTipSheet::DivisionCount(int division) const
{
    int n = 0;
    for (int i = 0; i < m_maxMatch; ++i)
        n += Match(i).Division() == division;
    return n;
}

void TTipSheet::recountMulti()
{
    m_multiHitCount = 0;
    m_multiMissCount = 0;
    bool allMarked = true;
    for (int i = 0; i < m_maxMatch; ++i) {
        const TExceptMatch &m = Match(i);
        if (m.TipCount() == 0)
            allMarked = false;
        if (m.Result().isEmpty())
            continue;
        if (m.Result().intersects(m.Tips()))
            ++m_multiHitCount;
        else
            ++m_multiMissCount;
    }
    m_multiPrize = -1;
    if (!allMarked)
        return;
    const bool allIn = m_multiHitCount + m_multiMissCount == m_maxMatch;
    if (m_multiMissCount >= 3)
        m_multiPrize = 0;
    else if (allIn && m_multiMissCount == 0)
        m_multiPrize = 1;
    else if (allIn && m_multiMissCount == 1)
        m_multiPrize = m_totoType == ttToto ? 2 : 0;
    else if (allIn && m_multiMissCount == 2)
        m_multiPrize = m_totoType == ttToto && !IsNoThirdPrizeRound(m_number) ? 3 : 0;
}

void TTipSheet::MatchChanged(TExceptMatch &match)
{
    if (!Updating())
        RecalcEstimates();
    recountMulti();
    DoMatchChange(match.Index());
}

void TTipSheet::DoMatchChange(int index)
{
    if (OnMatchChange)
        OnMatchChange(this, index);
}

// --- update nesting --------------------------------------------------------------------------------

void TTipSheet::BeginUpdate()
{
    ++m_updateCount;
}

void TTipSheet::EndUpdate()
{
    if (m_updateCount <= 0)
        return;
    if (--m_updateCount > 0)
        return;
    RecalcEstimates();
    if (OnProbabilityChange)
        for (int i = 0; i < 4; ++i)
            OnProbabilityChange(this, i, m_probability[size_t(i)]);
}

// --- singles ---------------------------------------------------------------------------------------

int TTipSheet::ValidSingleCount() const
{
    int n = 0;
    for (const TSingleSheet &s : m_singles)
        n += !s.Invalid();
    return n;
}

int TTipSheet::TipCountAt(int matchIndex, TTip tip) const
{
    int n = 0;
    for (const TSingleSheet &s : m_singles)
        n += !s.Invalid() && s.Tips()[size_t(matchIndex)] == tip;
    return n;
}

bool TTipSheet::HasDeletedSingles() const
{
    if (m_singleDeleted)
        return true;
    return std::any_of(m_singles.begin(), m_singles.end(), [](const TSingleSheet &s) { return s.Invalid(); });
}

void TTipSheet::SetSingleDeleted(bool value)
{
    if (Updating())
        return;
    m_singleDeleted = value;
    if (OnSingleDeletedChange)
        OnSingleDeletedChange(this);
}

void TTipSheet::RefreshSingleDeleted()
{
    const bool anyInvalid = std::any_of(m_singles.begin(), m_singles.end(), [](const TSingleSheet &s) { return s.Invalid(); });
    SetSingleDeleted(anyInvalid ? m_singleDeleted : false);
}

void TTipSheet::SingleInvalidChanged(TSingleSheet &single)
{
    if (OnSingleInvalidChange)
        OnSingleInvalidChange(this, single);
    if (!Updating())
        RefreshSingleDeleted();
}

int TTipSheet::RemoveDuplicates(int fromIndex, int toIndex)
{
    const int count = m_singles.Count();
    if (fromIndex < 0)
        fromIndex = 0;
    if (toIndex < 0)
        toIndex = count - 1;

    // A single in the range goes when any earlier single has its tips: the same result as
    // comparing every pair, found with one table of the 3^13 tip codes.
    std::vector<bool> seen(size_t(1) << 21, false);
    std::vector<bool> remove(size_t(count), false);
    int found = 0;
    for (int i = 0; i < count; ++i) {
        const quint32 code = TipsCode(m_singles[i].Tips(), m_maxMatch);
        if (seen[code]) {
            if (i >= fromIndex && i <= toIndex) {
                remove[size_t(i)] = true;
                ++found;
            }
        } else {
            seen[code] = true;
        }
    }
    if (found == 0)
        return 0;
    if (MessageDlg(QStringLiteral("重複したシングルを削除しますか？"), TMsgDlgType::mtConfirmation, mbYes | mbNo, mbNo)
        != TModalResult::mrYes)
        return 0;
    m_singles.RemoveMarked(remove);
    return found;
}

void TTipSheet::Renumber()
{
    int n = 0;
    for (TSingleSheet &s : m_singles)
        s.SingleNumber = ++n;
}

namespace {

// Longer lines cannot be a list of singles; they are refused instead of read into memory whole.
constexpr qsizetype kMaxSinglesLine = 64 * 1024;

} // namespace

void TTipSheet::ImportCSV(const QString &fileName, bool append)
{
    TUpdateGuard update(*this);
    ResetProbabilities();

    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EPelvaneError(QStringLiteral("ファイル(%1)が読めません: %2").arg(fileName, file.errorString()));

    // Read everything first, so that a bad file leaves the singles as they were.
    TSingleSheetList imported;
    QByteArray pending;
    qint64 lineNo = 0;
    bool first = true;
    int k = 0;
    auto takeLine = [&](QByteArrayView bytes) {
        ++lineNo;
        if (first) {
            first = false;
            if (bytes.startsWith("\xEF\xBB\xBF"))
                bytes = bytes.sliced(3);
        }
        const QString line = Cp932::decode(bytes.data(), bytes.size());
        if (line.trimmed().isEmpty())
            return; // a blank line is no bet
        const QStringList fields = CommaText::split(line);
        TSingleSheet single(this, k + 1);
        TTip tips[kMaxMatches];
        const int n = std::min<int>(m_maxMatch, int(fields.size()));
        for (int i = 0; i < n; ++i)
            tips[i] = TipFromText(fields[i]);
        single.SetTips(tips, n);
        if (fields.size() > m_maxMatch && fields[m_maxMatch].compare(u"x", Qt::CaseInsensitive) == 0)
            single.SetInvalid(true);
        imported.Add(single);
        ++k;
    };

    constexpr qint64 kChunk = 1 << 20;
    QByteArray chunk;
    bool lastWasCr = false;
    while (!file.atEnd()) {
        chunk = file.read(kChunk);
        if (chunk.isEmpty() && file.error() != QFileDevice::NoError)
            throw EPelvaneError(QStringLiteral("ファイル(%1)が読めません: %2").arg(fileName, file.errorString()));
        qsizetype start = 0;
        for (qsizetype i = 0; i < chunk.size(); ++i) {
            const char c = chunk.at(i);
            if (c != '\r' && c != '\n')
                continue;
            if (c == '\n' && lastWasCr && i == start && pending.isEmpty()) {
                // the LF of a CRLF split across chunks, or right after the CR
                lastWasCr = false;
                start = i + 1;
                continue;
            }
            pending.append(chunk.constData() + start, i - start);
            takeLine(pending);
            pending.clear();
            lastWasCr = c == '\r';
            start = i + 1;
            if (lastWasCr && i + 1 < chunk.size() && chunk.at(i + 1) == '\n') {
                ++i;
                ++start;
                lastWasCr = false;
            }
        }
        if (start < chunk.size()) {
            lastWasCr = false;
            pending.append(chunk.constData() + start, chunk.size() - start);
        }
        if (pending.size() > kMaxSinglesLine)
            throw EPelvaneError(QStringLiteral("ファイル(%1)の%2行目が長すぎます").arg(fileName).arg(lineNo + 1));
    }
    if (!pending.isEmpty())
        takeLine(pending);

    if (!append)
        m_singles.Clear();
    const int oldCount = m_singles.Count();
    m_singles.Reserve(oldCount + imported.Count());
    for (const TSingleSheet &s : imported)
        m_singles.Add(s);

    if (append) {
        const int removed = RemoveDuplicates(oldCount, -1);
        Renumber();
        if (removed > 0)
            MessageDlg(Format(QStringLiteral("重複したシングル %d口を削減しました"), {removed}),
                       TMsgDlgType::mtInformation, mbOK, mbOK);
    }
}

QByteArray TTipSheet::ExportText() const
{
    QByteArray out;
    out.reserve(qsizetype(m_singles.Count()) * (m_maxMatch * 3 + 4));
    for (const TSingleSheet &s : m_singles) {
        for (int i = 0; i < m_maxMatch; ++i) {
            if (i)
                out.append(", ", 2);
            out.append(char('0' + s.Tips()[size_t(i)]));
        }
        if (s.Invalid())
            out.append(", X", 3);
        out.append("\r\n", 2);
    }
    return out;
}

void TTipSheet::ExportCSV(const QString &fileName) const
{
    WriteFileAtomic(fileName, ExportText());
}

quint16 TTipSheet::SinglesChecksum() const
{
    TCrc16 crc;
    for (const TSingleSheet &s : m_singles)
        for (int i = 0; i < m_maxMatch; ++i)
            crc.add(quint8(s.Tips()[size_t(i)]));
    return crc.value();
}

// --- probabilities ---------------------------------------------------------------------------------

double TTipSheet::Probability(int index) const
{
    if (index < 0 || index > 3)
        return -1;
    return std::min(m_probability[size_t(index)], 100.0);
}

void TTipSheet::SetProbability(int index, double value)
{
    if (index < 0 || index > 3 || value == m_probability[size_t(index)])
        return;
    m_probability[size_t(index)] = std::min(value, 100.0);
    if (!Updating() && OnProbabilityChange)
        OnProbabilityChange(this, index, value);
}

void TTipSheet::SetProbabilityDirect(int index, double value)
{
    if (index >= 0 && index <= 3)
        m_probability[size_t(index)] = std::min(value, 100.0);
}

void TTipSheet::ResetProbabilities()
{
    for (int i = 0; i < 4; ++i)
        SetProbability(i, -1);
}

// --- vote rates and estimates ----------------------------------------------------------------------

void TTipSheet::SetUseOfficialOdds(bool value)
{
    if (value == m_useOfficialOdds)
        return;
    m_useOfficialOdds = value;
    RecalcEstimates();
    RecalcAll();
}

void TTipSheet::SetVoteCount(int matchIndex, TTip tip, int count)
{
    ActiveOdds().SetVotes(matchIndex, tip, count);
    RecalcEstimates();
}

void TTipSheet::RecalcEstimates()
{
    std::vector<TTips> results;
    std::vector<TMatchRates> rates;
    for (int i = 0; i < m_maxMatch; ++i) {
        results.push_back(Match(i).Result());
        rates.push_back({VoteRate(i, tpDraw), VoteRate(i, tpHome), VoteRate(i, tpAway)});
    }
    const TEstimatedPrizes p = EstimateDividends(m_totoType, m_number, results, rates);
    SetEstimatedPrize(1, p.first);
    SetEstimatedPrize(2, p.second);
    SetEstimatedPrize(3, p.third);
    if (OnUpdateWinPrice)
        OnUpdateWinPrice(this);
}

void TTipSheet::RecalcAll()
{
    if (OnOddsChange)
        for (int i = 0; i < m_maxMatch; ++i)
            OnOddsChange(this, i);
    for (const TSingleSheet &s : m_singles)
        s.CountUpsets();
}

bool TTipSheet::CountUpset(int matchIndex, TTips pick, std::array<int, 3> &drawCounts,
                           std::array<int, 3> &winCounts) const
{
    if (pick.count() != 1)
        return false;
    TTip tip = tpDraw;
    for (TTip t : {tpDraw, tpHome, tpAway})
        if (pick.contains(t))
            tip = t;
    const int c = VotePercent(matchIndex, tip);
    int others[2];
    int n = 0;
    for (TTip t : {tpDraw, tpHome, tpAway})
        if (t != tip)
            others[n++] = VotePercent(matchIndex, t);
    if (c == 0 && others[0] == 0 && others[1] == 0)
        return false;
    if (!(c < others[0] || c < others[1]))
        return false;
    std::array<int, 3> &counts = tip == tpDraw ? drawCounts : winCounts;
    ++counts[0];
    const int division = Match(matchIndex).Division();
    if (division == 1 || division == 2)
        ++counts[size_t(division)];
    return true;
}

TDividend &TTipSheet::Dividend(int level)
{
    return m_dividends.at(size_t(level - 1));
}

const TDividend &TTipSheet::Dividend(int level) const
{
    return m_dividends.at(size_t(level - 1));
}

void TTipSheet::Clear()
{
    m_singles.Clear();
    m_userOdds.Clear();
    m_officialOdds.Clear();
    for (int i = 0; i < 4; ++i)
        SetProbability(i, -1);
    for (TDividend &d : m_dividends)
        d.Clear();
    RecalcAll();
}

void TTipSheet::AssignTo(TTipSheet &dest) const
{
    dest.SetTotoType(m_totoType);
    dest.SetNumber(m_number);
    dest.Option = Option;
    for (int i = 0; i < kMaxMatches; ++i)
        Match(i).AssignTo(dest.Match(i));
    dest.m_singles.Clear();
    dest.m_singles.Reserve(m_singles.Count());
    for (const TSingleSheet &s : m_singles) {
        TSingleSheet &copy = dest.m_singles.Add(TSingleSheet(&dest));
        s.AssignTo(copy);
    }
    for (int i = 0; i < 4; ++i)
        dest.SetProbability(i, m_probability[size_t(i)]);
}

// --- expansion -------------------------------------------------------------------------------------

void TTipSheet::setAbortState(TAbortState state)
{
    if (state == m_abortState)
        return;
    m_abortState = state;
    if (OnAbortStateChange)
        OnAbortStateChange(this, state);
}

void TTipSheet::SetKeyAbort(bool value)
{
    if (value) {
        if (m_keyAbort)
            return;
        if (MessageDlg(QStringLiteral("展開を中止しますか？"), TMsgDlgType::mtInformation, mbYes | mbNo, mbNo)
            != TModalResult::mrYes)
            return;
        m_keyAbort = true;
        setAbortState(TAbortState::AbortRequested);
    } else {
        m_keyAbort = false;
        setAbortState(TAbortState::Running);
    }
}

int TTipSheet::Expand(bool autoExpand, TProgressSink *gauge)
{
    SetKeyAbort(false);
    struct Finish
    {
        TTipSheet &sheet;
        TProgressSink *previous;
        bool swapped;
        ~Finish()
        {
            ProgressEnd();
            if (swapped)
                SetProgressSink(previous);
            sheet.setAbortState(TAbortState::Idle);
        }
    } finish{*this, nullptr, gauge != nullptr};
    if (gauge)
        finish.previous = SetProgressSink(gauge);

    CheckMarks();
    TExpansionEngines &engines = m_engines ? *m_engines : DefaultExpansionEngines();
    const TExpandOption &settings = Option ? Option->ExpandOption : ExpandOption;
    if (settings.Prizelevel < 1 || settings.Prizelevel > 4)
        throw EPelvaneError(QStringLiteral("当選保証の等級(%1)は1から4で指定して下さい").arg(settings.Prizelevel));
    const bool guarantee = settings.Guarantee || settings.Prizelevel == 1;

    if (!guarantee && settings.UsePatternCut && Option && Option->PatternCutWarning && OnConfirmPatternCut
        && !OnConfirmPatternCut(this))
        return m_singles.Count();

    settings.AssignTo(ExpandOption);
    TBusyCursor cursor;

    if (guarantee) {
        std::unique_ptr<TGuaranteeEngine> engine = engines.CreateGuaranteeEngine();
        if (!engine)
            throw EPelvaneError(QStringLiteral("この版には条件保証の展開がありません"));
        for (int i = 0; i < 4; ++i)
            SetProbabilityDirect(i, -1);
        SetSingleDeleted(false);
        m_singles.Clear();
        ProcessPendingEvents();
        engine->Run(*this, ExpandOption.UsePatternCut, autoExpand);
        return m_singles.Count();
    }

    std::unique_ptr<TLibraryEngine> engine = engines.CreateLibraryEngine();
    if (!engine)
        throw EPelvaneError(QStringLiteral("この版には削減表の展開がありません"));
    const qint64 estimate = engine->Estimate(*this);
    ProgressStart(int(std::min<qint64>(estimate, INT_MAX)), 0, 1);
    if (Option && Option->ExpandWarning && estimate >= Option->ExpandWarningCount) {
        const QString text = QStringLiteral("この予想を展開すると、展開数が") + QString::number(estimate)
                           + QStringLiteral("以上になり、\r\n展開に時間がかかるかも知れません。\r\n\r\n展開を続けていいですか？");
        if (MessageDlg(text, TMsgDlgType::mtWarning, mbYes | mbNo, mbYes) != TModalResult::mrYes)
            return m_singles.Count();
    }

    std::unique_ptr<TAutoExpandHost> host;
    std::unique_ptr<TBusyCursor> appStart;
    if (autoExpand) {
        for (int i = 0; i < m_maxMatch; ++i)
            if (Match(i).Result().isEmpty())
                throw EPelvaneError(QStringLiteral("自動展開するには、対戦結果を先に入力する  \r\n必要があります"));
        host = engines.CreateAutoExpandHost();
        if (!host)
            throw EPelvaneError(QStringLiteral("この版には自動展開がありません"));
        if (!host->Prepare(DefaultFileName()))
            return m_singles.Count();
        host->Show();
        appStart = std::make_unique<TBusyCursor>(TBusyCursor::TShape::AppStart);
    }

    for (int i = 0; i < 4; ++i)
        SetProbabilityDirect(i, -1);
    SetSingleDeleted(false);
    for (;;) {
        m_singles.Clear();
        engine->Expand(*this, ExpandOption.UsePatternCut);
        if (!autoExpand || host->Evaluate(*this))
            break;
    }
    SetProbabilityDirect(1, engine->Coverage());
    return m_singles.Count();
}
