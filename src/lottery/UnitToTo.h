#pragma once

#include "lottery/Dividend.h"
#include "lottery/ExceptMatch.h"
#include "lottery/Odds.h"
#include "lottery/SingleSheet.h"
#include "lottery/TotoTypes.h"
#include "reduction/ExpandOption.h"

#include <QList>
#include <QPair>
#include <QString>

#include <array>
#include <exception>
#include <functional>
#include <memory>

class TIniFile;
class TDM;
class TOption;
class TProgressSink;
class TExpansionEngines;

// What a prediction read takes from a file.
enum TLoadPart : quint8 {
    lpCard = 1,     // the match card [Match]
    lpTips = 2,     // marks, comments, data addresses
    lpSingles = 4,  // singles, counts, checksum, probabilities
    lpResults = 8,  // scores and prize table
    lpOdds = 16,    // the round's vote-rate file
    lpExpand = 32,  // the rule set [Expand] and [PatternCut]
    lpBoards = 64,  // the posting texts [TotoBoard]
};
using TLoadParts = quint8;
inline constexpr TLoadParts kOpenParts = lpCard | lpTips | lpSingles | lpOdds | lpExpand | lpBoards;

// The prediction of one round: type and number, the 13 matches, results and prizes, two vote-rate
// tables, the singles and the hit probabilities, with the notifications that keep the window
// current. The window holds one for the whole run and reuses it for every round.
class TTipSheet
{
public:
    // How the main window shows its abort button while an expansion runs.
    enum class TAbortState { Idle, Running, AbortRequested };

    TTipSheet();
    virtual ~TTipSheet();
    TTipSheet(const TTipSheet &) = delete;
    TTipSheet &operator=(const TTipSheet &) = delete;

    // --- identity ------------------------------------------------------------------------------
    TTotoType TotoType() const { return m_totoType; }
    void SetTotoType(TTotoType type);
    int MaxMatch() const { return m_maxMatch; }
    int Number() const { return m_number; }
    void SetNumber(int number);
    // The stored name, or DefaultFileName while none is stored.
    QString FileName() const;
    const QString &StoredFileName() const { return m_fileName; }
    void SetFileName(const QString &name);
    // "toto%3.3d.tot", "totoA%3.3d.tot", "totoB%3.3d.tot" with the round number.
    QString DefaultFileName() const;

    TOption *Option = nullptr; // not owned
    TDM *Database = nullptr;   // the reference database, not owned; may be absent
    TExpandOption ExpandOption;

    // --- matches -------------------------------------------------------------------------------
    TExceptMatch &Match(int index);
    const TExceptMatch &Match(int index) const;
    int SingleMarkCount() const;
    int DoubleCount() const;
    int TripleCount() const;
    // Raises "全ての試合にマークを付けて下さい" unless every match has a mark.
    void CheckMarks() const;
    int DivisionCount(int division) const;
    int MultiPrize() const { return m_multiPrize; }
    int MultiHitCount() const { return m_multiHitCount; }
    int MultiMissCount() const { return m_multiMissCount; }
    // 100 yen x 2^W x 3^T.
    qint64 MultiPrice() const;

    // --- update nesting ------------------------------------------------------------------------
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return m_updateCount > 0; }

    // --- singles -------------------------------------------------------------------------------
    TSingleSheetList &Singles() { return m_singles; }
    const TSingleSheetList &Singles() const { return m_singles; }
    int ValidSingleCount() const;
    int TipCountAt(int matchIndex, TTip tip) const;
    bool SingleDeleted() const { return m_singleDeleted; }
    bool HasDeletedSingles() const;
    void SetSingleDeleted(bool value);
    void RefreshSingleDeleted();
    // Removes later copies of equal singles within [fromIndex, toIndex]; asks once first.
    int RemoveDuplicates(int fromIndex = -1, int toIndex = -1);
    void Renumber();
    void ImportCSV(const QString &fileName, bool append);
    void ExportCSV(const QString &fileName) const;
    QByteArray ExportText() const;
    quint16 SinglesChecksum() const;
    // Called by a single whose Invalid flag changed.
    void SingleInvalidChanged(TSingleSheet &single);

    // --- expansion -----------------------------------------------------------------------------
    int Expand(bool autoExpand, TProgressSink *gauge = nullptr);
    bool KeyAbort() const { return m_keyAbort; }
    void SetKeyAbort(bool value);
    TAbortState AbortState() const { return m_abortState; }

    // --- probabilities -------------------------------------------------------------------------
    double Probability(int index) const;
    void SetProbability(int index, double value);
    // Sets the value without any event (the engines before they run).
    void SetProbabilityDirect(int index, double value);
    void ResetProbabilities();

    // --- vote rates, estimates, prizes ---------------------------------------------------------
    TOdds &UserOdds() { return m_userOdds; }
    TOdds &OfficialOdds() { return m_officialOdds; }
    TOdds &ActiveOdds() { return m_useOfficialOdds ? m_officialOdds : m_userOdds; }
    const TOdds &ActiveOdds() const { return m_useOfficialOdds ? m_officialOdds : m_userOdds; }
    bool UseOfficialOdds() const { return m_useOfficialOdds; }
    void SetUseOfficialOdds(bool value);
    TDateTime OddsDate() const { return ActiveOdds().OddsDate; }
    void SetOddsDate(TDateTime value) { ActiveOdds().OddsDate = value; }
    int VotePercent(int matchIndex, TTip tip) const { return ActiveOdds().Percent(matchIndex, tip); }
    double VoteRate(int matchIndex, TTip tip) const { return ActiveOdds().Rate(matchIndex, tip); }
    int VoteCount(int matchIndex, TTip tip) const { return ActiveOdds().VotesOf(matchIndex, tip); }
    void SetVoteCount(int matchIndex, TTip tip, int count);
    qint64 EstimatedPrize(int level) const { return ActiveOdds().PrizeOf(level); }
    void SetEstimatedPrize(int level, qint64 value) { ActiveOdds().SetPrize(level, value); }
    void RecalcEstimates();
    void RecalcAll();
    // Upset test of one pick (a set of exactly one outcome); counts into the arrays.
    bool CountUpset(int matchIndex, TTips pick, std::array<int, 3> &drawCounts, std::array<int, 3> &winCounts) const;
    TDividend &Dividend(int level);
    const TDividend &Dividend(int level) const;

    // --- files ---------------------------------------------------------------------------------
    // Both false: the prediction file; cardOnly: the match sheet; resultOnly: the result file.
    // The file is replaced atomically; "指定されたファイル(...)には保存できません" when it cannot be.
    virtual void SaveToFile(const QString &fileName, bool cardOnly = false, bool resultOnly = false);
    virtual void LoadFromFile(const QString &fileName, TLoadParts parts, bool showProgress = false, bool keep = false);
    virtual void LoadFromIni(const TIniFile &ini, TLoadParts parts, bool showProgress = false, bool keep = false);
    // Downloads an INI-format sheet and reads it; on failure errorMessage (when given) is shown.
    virtual bool LoadFromURL(const QString &url, TLoadParts parts, const QString &errorMessage = {});
    // Opens a prediction as the main window does: the card, marks, singles, vote rates, rules and
    // posting texts, then the results in a second pass; or, with append, adds its singles and
    // removes the copies (asking first). Returns how many copies were removed.
    int OpenPrediction(const QString &fileName, bool append);
    // Both vote-rate tables; an empty name means OddsFileName.
    virtual void LoadOdds(const QString &fileName = {});
    // The match card of round Number: the download server's match sheet first (unless
    // officialOnly), else the official lot-information page. False (with the warning shown)
    // when neither could be read; the card is unchanged then.
    bool DownloadMatchSheet(bool officialOnly);
    // Scores and prize table of round Number from the official results page; false (warning
    // shown, sheet unchanged) when the page could not be read.
    bool DownloadResults(const std::function<void(qint64 received, qint64 total)> &onReceive = {});
    // The official vote counts of round Number; false when the page could not be read.
    bool DownloadVotes();
    // Only the official table of this lottery from a vote-rate file; the user's own table stays.
    void LoadOfficialOdds(const QString &fileName);
    virtual void SaveOdds();
    // <sheet folder>/toto%3.3d.ods
    QString OddsFileName() const;
    // Per-match tallies of the valid saved singles of a prediction file; returns how many.
    int CountSavedTips(const TIniFile &ini, std::array<int, kMaxMatches> &home, std::array<int, kMaxMatches> &away,
                       std::array<int, kMaxMatches> &draw) const;
    // What the last read of singles found of the saved count and checksum.
    enum class TChecksumState { Absent, Ok, Changed };
    TChecksumState SavedChecksumState() const { return m_checksumState; }
    // The [TotoBoard] lines of the last read, written back unchanged until the posting window
    // owns them.
    QList<QPair<QString, QString>> PostingTexts;

    // Empties singles, vote-rate tables, probabilities and dividends; not the match card.
    void Clear();
    void AssignTo(TTipSheet &dest) const;

    // --- notifications (single listener each) --------------------------------------------------
    std::function<void(TTipSheet *, int index)> OnMatchChange;
    TNotifyEvent<TTipSheet> OnTotoTypeChange;
    TNotifyEvent<TTipSheet> OnNumberChange;
    TNotifyEvent<TTipSheet> OnFileNameChange;
    TNotifyEvent<TTipSheet> OnSingleDeletedChange;
    std::function<void(TTipSheet *, int matchIndex)> OnOddsChange;
    TNotifyEvent<TTipSheet> OnUpdateWinPrice;
    std::function<void(TTipSheet *, int index, double value)> OnProbabilityChange;
    // The page showing a single redraws it.
    std::function<void(TTipSheet *, TSingleSheet &)> OnSingleInvalidChange;
    // The abort button: shown and enabled, shown and disabled, hidden.
    std::function<void(TTipSheet *, TAbortState)> OnAbortStateChange;
    // The pattern-cut warning before a library expansion; false ends the expansion silently.
    std::function<bool(TTipSheet *)> OnConfirmPatternCut;

    // Which engines expand (not owned); the defaults when none is set.
    void SetEngines(TExpansionEngines *engines) { m_engines = engines; }

protected:
    virtual void MatchChanged(TExceptMatch &match);
    virtual void DoMatchChange(int index);
    virtual void DoTotoTypeChange();
    virtual void DoNumberChange();
    virtual void DoFileNameChange();

private:
    void setAbortState(TAbortState state);
    void loadRules(const TIniFile &ini);
    void recountMulti();

    QString m_fileName;
    TTotoType m_totoType = ttToto;
    int m_maxMatch = 13;
    int m_number = kDefaultRoundNumber;
    std::array<std::unique_ptr<TExceptMatch>, kMaxMatches> m_matches;
    int m_multiPrize = -1;
    int m_multiHitCount = 0;
    int m_multiMissCount = 0;
    std::array<TDividend, 3> m_dividends;
    TOdds m_userOdds;
    TOdds m_officialOdds;
    bool m_useOfficialOdds = true;
    TSingleSheetList m_singles;
    bool m_singleDeleted = false;
    int m_updateCount = 0;
    std::array<double, 4> m_probability{-1, -1, -1, -1};
    bool m_keyAbort = false;
    TAbortState m_abortState = TAbortState::Idle;
    TExpansionEngines *m_engines = nullptr;
    TChecksumState m_checksumState = TChecksumState::Absent;
};

// Holds the sheet in update mode for a scope, so that BeginUpdate/EndUpdate balance on errors.
class TUpdateGuard
{
public:
    explicit TUpdateGuard(TTipSheet &sheet)
        : m_sheet(sheet), m_exceptions(std::uncaught_exceptions())
    {
        m_sheet.BeginUpdate();
    }
    // While an error unwinds, an error of the closing recalculation must not replace it.
    ~TUpdateGuard() noexcept(false)
    {
        if (std::uncaught_exceptions() > m_exceptions) {
            try {
                m_sheet.EndUpdate();
            } catch (...) {
            }
        } else {
            m_sheet.EndUpdate();
        }
    }
    TUpdateGuard(const TUpdateGuard &) = delete;
    TUpdateGuard &operator=(const TUpdateGuard &) = delete;

private:
    TTipSheet &m_sheet;
    int m_exceptions;
};
