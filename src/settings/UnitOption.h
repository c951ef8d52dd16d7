#pragma once

#include "reduction/ExpandOption.h"
#include "settings/MatchDisplay.h"
#include "settings/MatchFilter.h"

#include <QString>

#include <array>
#include <memory>

class TIniFile;
class TInternet;

// Time-out and proxy of the HTTP client.
struct TInternetOption
{
    int Timeout = 15; // seconds
    bool UseProxy = false;
    QString ProxyAddress;
    int ProxyPort = 0;
    bool operator==(const TInternetOption &) const = default;
};

// A section group of the settings file that another part of the program owns (the posting
// boards). TOption loads, saves, copies and compares it at its place.
class TOptionPart
{
public:
    virtual ~TOptionPart() = default;
    virtual void Load(const TIniFile &ini) = 0;
    virtual void Save(TIniFile &ini) const = 0;
    virtual std::unique_ptr<TOptionPart> Clone() const = 0;
    virtual bool Equals(const TOptionPart &other) const = 0;
};

// The one settings object of the program, loaded at start and saved at exit.
class TOption
{
public:
    bool PlaySound = true;
    std::array<bool, 4> UseDefaultSoundArray{true, true, true, true};
    std::array<QString, 4> SoundFileArray;
    bool PrintToSheet = true;
    double PrintOffsetLeft = 0, PrintOffsetTop = 0;
    bool PrintOnA4 = false, PrintNoAdjust = false, PrintMatch = false;
    bool PrintPage = true;
    bool PrintPrize = false, PrintSingleNo = false, PrintFileName = false;
    double MarkHeight = 3.7, MarkWidth = 1.5, MarkSpaceX = 3.5, MarkSpaceY = 5.0;
    bool MarkNumber = false;
    bool DebugMode = false;       // from the command line only; never stored
    bool MaintenanceMode = false; // from the command line only; never stored, compared or copied
    bool CommentHeader = true, CommentMulti = true, CommentPrice = false, CommentTipster = true;
    QString CommentVersus = QStringLiteral(" vs ");
    QString Tipster;
    bool CommentPatternCut = false, CommentPreTag = false;
    bool ExpandWarning = false;
    int ExpandWarningCount = 256;
    bool ResourceWarning = true;
    int ResourceWarningLevel = 10;
    TExpandOption ExpandOption;
    bool PatternCutWarning = true;
    TInternetOption Internet;
    bool CheckWin = false;
    bool ResultMark = true;
    bool HDACountPercent = false;
    std::unique_ptr<TOptionPart> ToToBoards; // the posting boards, when that part is present
    bool WheelEnable = true, WheelPanEnable = true;
    std::array<int, 5> PointsTable{3, 2, 1, 0, 0};
    bool UseOriginalVictoryPoint = false;
    QString PelvaneURL = DefaultPelvaneURL();
    // The official lottery site and the league data site; stored only when changed.
    QString OfficialSiteURL = DefaultOfficialSiteURL();
    QString LeagueSiteURL = DefaultLeagueSiteURL();
    TMatchFilter HomeFilter, AwayFilter;
    TMatchDisplay MatchDisplay;
    bool TotoDreamMember = true, TotoDreamPCMail = false, TotoDreamMobileMail = false;
    QString TotoDreamID, TotoDreamPassword;
    QString TotoDreamPCMailAddress, TotoDreamMobileMailAddress;
    QString EBankBranchCode, EBankAccountNumber, EBankID, EBankPassword;

    TOption();
    virtual ~TOption();
    TOption(const TOption &other);
    TOption &operator=(const TOption &other) { Assign(other); return *this; }

    // Copies everything but MaintenanceMode.
    void Assign(const TOption &source);
    // Every field but MaintenanceMode; floating fields by value.
    bool Equals(const TOption &other) const;

    // A missing file or key keeps the current value; protected values default to empty.
    void LoadFromFile(const QString &fileName);
    void LoadFromIni(TIniFile &ini);
    // Writes into the existing file, keeping the sections and keys of other parts.
    void SaveToFile(const QString &fileName) const;
    void SaveToIni(TIniFile &ini) const;

    // Sound slots 0..3; other indexes raise "Index out of range".
    bool UseDefaultSound(int index) const;
    void SetUseDefaultSound(int index, bool value);
    QString SoundFile(int index) const;
    void SetSoundFile(int index, const QString &value);

    // The league points in effect: PointsTable when UseOriginalVictoryPoint, else 3, 2, 1, 0, 0.
    int Points(int index) const;
    void SetPoints(int index, int value);

    int WheelScrollMode() const { return m_wheelScrollMode; }
    void SetWheelScrollMode(int value); // outside 0..2 becomes 1

    // The print-setup reset: offsets 0, the printing switches off but PrintPage, mark sizes.
    void ResetPrintSettings();

    static QString DefaultPelvaneURL();
    static QString DefaultOfficialSiteURL();
    static QString DefaultLeagueSiteURL();

    // The proxy (when switched on) and the time-out for a new HTTP client.
    void ApplyInternetSettings(TInternet &client) const;
    // A stored "URL" naming the former download host is dropped from the file.
    static bool IsFormerHost(const QString &url);

private:
    int m_wheelScrollMode = 1;
};

// Raises "<label><max>文字以内です" when the text (in CP932 bytes) is longer than max, and
// "<label><min>文字以上です" when min > 0 and it is shorter.
void CheckTextLength(const QString &text, int maxLength, const QString &label, int minLength = 0);
