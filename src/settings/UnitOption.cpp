#include "settings/UnitOption.h"

#include "platform/CommaText.h"
#include "platform/Cp932Codec.h"
#include "platform/Format.h"
#include "platform/IniFile.h"
#include "platform/PelvaneError.h"
#include "settings/CredentialProtection.h"
#include "web/UnitInternet.h"

#include <type_traits>
#include <variant>
#include <vector>

namespace {

const QString kOption = QStringLiteral("Option");
const QString kTotoDream = QStringLiteral("totoDream");
const QString kEBank = QStringLiteral("EBank");
const QString kInternet = QStringLiteral("Internet");
constexpr std::array<int, 5> kBuiltInPoints{3, 2, 1, 0, 0};

[[noreturn]] void indexOutOfRange()
{
    throw EPelvaneError(QStringLiteral("Index out of range"));
}

QString quoted(const QString &s)
{
    return u'"' + s + u'"';
}

// A protected value: read as stored, unprotected only when not empty.
QString readProtected(const TIniFile &ini, const QString &section, const QString &key)
{
    const QString stored = ini.readString(section, key);
    return stored.isEmpty() ? QString() : CredentialProtection::Unprotect(stored);
}

// The plain "Option" keys, in the order the file lists them; load and save walk this one table.
struct TOptionKey
{
    const char *name;
    std::variant<bool TOption::*, int TOption::*, double TOption::*, QString TOption::*> field;
    bool quoted = false; // written in double quotes, so that blanks at the ends survive
};

const std::vector<TOptionKey> &optionKeys()
{
    static const std::vector<TOptionKey> keys = {
        {"PrintToSheet", &TOption::PrintToSheet},
        {"OffsetLeft", &TOption::PrintOffsetLeft},
        {"OffsetTop", &TOption::PrintOffsetTop},
        {"PrintOnA4", &TOption::PrintOnA4},
        {"PrintNoAdjust", &TOption::PrintNoAdjust},
        {"PrintMatch", &TOption::PrintMatch},
        {"PrintPage", &TOption::PrintPage},
        {"PrintPrize", &TOption::PrintPrize},
        {"PrintSingleNo", &TOption::PrintSingleNo},
        {"PrintFileName", &TOption::PrintFileName},
        {"MarkWidth", &TOption::MarkWidth},
        {"MarkHeight", &TOption::MarkHeight},
        {"MarkSpaceX", &TOption::MarkSpaceX},
        {"MarkSpaceY", &TOption::MarkSpaceY},
        {"MarkNumber", &TOption::MarkNumber},
        {"ResultMark", &TOption::ResultMark},
        {"HDACountPercent", &TOption::HDACountPercent},
        {"CommentHeader", &TOption::CommentHeader},
        {"CommentMulti", &TOption::CommentMulti},
        {"CommentPrice", &TOption::CommentPrice},
        {"CommentTipster", &TOption::CommentTipster},
        {"CommentVersus", &TOption::CommentVersus, true},
        {"CommentPatternCut", &TOption::CommentPatternCut},
        {"CommentPreTag", &TOption::CommentPreTag},
        {"Tipster", &TOption::Tipster, true},
        {"ExpandWarning", &TOption::ExpandWarning},
        {"ExpandWarningCount", &TOption::ExpandWarningCount},
        {"ResourceWarning", &TOption::ResourceWarning},
        {"ResourceWarningLevel", &TOption::ResourceWarningLevel},
        {"CheckWin", &TOption::CheckWin},
        {"WheelEnable", &TOption::WheelEnable},
        {"WheelPanEnable", &TOption::WheelPanEnable},
    };
    return keys;
}

} // namespace

TOption::TOption()
{
    ResetPrintSettings();
}

TOption::~TOption() = default;

TOption::TOption(const TOption &other)
{
    Assign(other);
}

QString TOption::DefaultPelvaneURL()
{
    return QStringLiteral("http://www.pelvane.example/download/toto/");
}

QString TOption::DefaultOfficialSiteURL()
{
    return QStringLiteral("https://www.toto-official.example");
}

QString TOption::DefaultLeagueSiteURL()
{
    return QStringLiteral("https://data.league.example");
}

void TOption::ApplyInternetSettings(TInternet &client) const
{
    client.SetProxy(Internet.UseProxy ? Internet.ProxyAddress : QString());
    client.SetProxyPort(Internet.UseProxy ? Internet.ProxyPort : 0);
    client.SetTimeout(Internet.Timeout * 1000);
}

bool TOption::IsFormerHost(const QString &url)
{
    return url.contains(QStringLiteral("korbelt.example"), Qt::CaseInsensitive);
}

void TOption::ResetPrintSettings()
{
    PrintOffsetLeft = PrintOffsetTop = 0;
    PrintOnA4 = PrintNoAdjust = PrintMatch = false;
    PrintPage = true;
    PrintPrize = PrintSingleNo = PrintFileName = false;
    MarkHeight = 3.7;
    MarkWidth = 1.5;
    MarkSpaceX = 3.5;
    MarkSpaceY = 5.0;
    MarkNumber = false;
}

void TOption::Assign(const TOption &s)
{
    if (&s == this)
        return;
    const bool maintenance = MaintenanceMode;
    PlaySound = s.PlaySound;
    UseDefaultSoundArray = s.UseDefaultSoundArray;
    SoundFileArray = s.SoundFileArray;
    PrintToSheet = s.PrintToSheet;
    PrintOffsetLeft = s.PrintOffsetLeft;
    PrintOffsetTop = s.PrintOffsetTop;
    PrintOnA4 = s.PrintOnA4;
    PrintNoAdjust = s.PrintNoAdjust;
    PrintMatch = s.PrintMatch;
    PrintPage = s.PrintPage;
    PrintPrize = s.PrintPrize;
    PrintSingleNo = s.PrintSingleNo;
    PrintFileName = s.PrintFileName;
    MarkHeight = s.MarkHeight;
    MarkWidth = s.MarkWidth;
    MarkSpaceX = s.MarkSpaceX;
    MarkSpaceY = s.MarkSpaceY;
    MarkNumber = s.MarkNumber;
    DebugMode = s.DebugMode;
    CommentHeader = s.CommentHeader;
    CommentMulti = s.CommentMulti;
    CommentPrice = s.CommentPrice;
    CommentTipster = s.CommentTipster;
    CommentVersus = s.CommentVersus;
    Tipster = s.Tipster;
    CommentPatternCut = s.CommentPatternCut;
    CommentPreTag = s.CommentPreTag;
    ExpandWarning = s.ExpandWarning;
    ExpandWarningCount = s.ExpandWarningCount;
    ResourceWarning = s.ResourceWarning;
    ResourceWarningLevel = s.ResourceWarningLevel;
    s.ExpandOption.AssignTo(ExpandOption);
    PatternCutWarning = s.PatternCutWarning;
    Internet = s.Internet;
    CheckWin = s.CheckWin;
    ResultMark = s.ResultMark;
    HDACountPercent = s.HDACountPercent;
    ToToBoards = s.ToToBoards ? s.ToToBoards->Clone() : nullptr;
    WheelEnable = s.WheelEnable;
    WheelPanEnable = s.WheelPanEnable;
    SetWheelScrollMode(s.m_wheelScrollMode);
    PointsTable = s.PointsTable;
    UseOriginalVictoryPoint = s.UseOriginalVictoryPoint;
    PelvaneURL = s.PelvaneURL;
    OfficialSiteURL = s.OfficialSiteURL;
    LeagueSiteURL = s.LeagueSiteURL;
    HomeFilter = s.HomeFilter;
    AwayFilter = s.AwayFilter;
    MatchDisplay = s.MatchDisplay;
    TotoDreamMember = s.TotoDreamMember;
    TotoDreamPCMail = s.TotoDreamPCMail;
    TotoDreamMobileMail = s.TotoDreamMobileMail;
    TotoDreamID = s.TotoDreamID;
    TotoDreamPassword = s.TotoDreamPassword;
    TotoDreamPCMailAddress = s.TotoDreamPCMailAddress;
    TotoDreamMobileMailAddress = s.TotoDreamMobileMailAddress;
    EBankBranchCode = s.EBankBranchCode;
    EBankAccountNumber = s.EBankAccountNumber;
    EBankID = s.EBankID;
    EBankPassword = s.EBankPassword;
    MaintenanceMode = maintenance;
}

bool TOption::Equals(const TOption &o) const
{
    const bool boardsEqual = (!ToToBoards && !o.ToToBoards)
                          || (ToToBoards && o.ToToBoards && ToToBoards->Equals(*o.ToToBoards));
    return PlaySound == o.PlaySound && UseDefaultSoundArray == o.UseDefaultSoundArray
        && SoundFileArray == o.SoundFileArray && PrintToSheet == o.PrintToSheet
        && PrintOffsetLeft == o.PrintOffsetLeft && PrintOffsetTop == o.PrintOffsetTop && PrintOnA4 == o.PrintOnA4
        && PrintNoAdjust == o.PrintNoAdjust && PrintMatch == o.PrintMatch && PrintPage == o.PrintPage
        && PrintPrize == o.PrintPrize && PrintSingleNo == o.PrintSingleNo && PrintFileName == o.PrintFileName
        && MarkHeight == o.MarkHeight && MarkWidth == o.MarkWidth && MarkSpaceX == o.MarkSpaceX
        && MarkSpaceY == o.MarkSpaceY && MarkNumber == o.MarkNumber && DebugMode == o.DebugMode
        && CommentHeader == o.CommentHeader && CommentMulti == o.CommentMulti && CommentPrice == o.CommentPrice
        && CommentTipster == o.CommentTipster && CommentVersus == o.CommentVersus && Tipster == o.Tipster
        && CommentPatternCut == o.CommentPatternCut && CommentPreTag == o.CommentPreTag
        && ExpandWarning == o.ExpandWarning && ExpandWarningCount == o.ExpandWarningCount
        && ResourceWarning == o.ResourceWarning && ResourceWarningLevel == o.ResourceWarningLevel
        && ExpandOption.SameAs(o.ExpandOption) && PatternCutWarning == o.PatternCutWarning
        && Internet == o.Internet && CheckWin == o.CheckWin && ResultMark == o.ResultMark
        && HDACountPercent == o.HDACountPercent && boardsEqual && WheelEnable == o.WheelEnable
        && WheelPanEnable == o.WheelPanEnable && m_wheelScrollMode == o.m_wheelScrollMode
        && PointsTable == o.PointsTable && UseOriginalVictoryPoint == o.UseOriginalVictoryPoint
        && PelvaneURL == o.PelvaneURL && OfficialSiteURL == o.OfficialSiteURL && LeagueSiteURL == o.LeagueSiteURL && HomeFilter == o.HomeFilter && AwayFilter == o.AwayFilter
        && MatchDisplay == o.MatchDisplay && TotoDreamMember == o.TotoDreamMember
        && TotoDreamPCMail == o.TotoDreamPCMail && TotoDreamMobileMail == o.TotoDreamMobileMail
        && TotoDreamID == o.TotoDreamID && TotoDreamPassword == o.TotoDreamPassword
        && TotoDreamPCMailAddress == o.TotoDreamPCMailAddress
        && TotoDreamMobileMailAddress == o.TotoDreamMobileMailAddress && EBankBranchCode == o.EBankBranchCode
        && EBankAccountNumber == o.EBankAccountNumber && EBankID == o.EBankID && EBankPassword == o.EBankPassword;
}

bool TOption::UseDefaultSound(int index) const
{
    if (index < 0 || index > 3)
        indexOutOfRange();
    return UseDefaultSoundArray[size_t(index)];
}

void TOption::SetUseDefaultSound(int index, bool value)
{
    if (index < 0 || index > 3)
        indexOutOfRange();
    UseDefaultSoundArray[size_t(index)] = value;
}

QString TOption::SoundFile(int index) const
{
    if (index < 0 || index > 3)
        indexOutOfRange();
    return SoundFileArray[size_t(index)];
}

void TOption::SetSoundFile(int index, const QString &value)
{
    if (index < 0 || index > 3)
        indexOutOfRange();
    SoundFileArray[size_t(index)] = value;
}

int TOption::Points(int index) const
{
    if (index < 0 || index > 4)
        indexOutOfRange();
    return UseOriginalVictoryPoint ? PointsTable[size_t(index)] : kBuiltInPoints[size_t(index)];
}

void TOption::SetPoints(int index, int value)
{
    if (index < 0 || index > 4)
        indexOutOfRange();
    PointsTable[size_t(index)] = value;
}

void TOption::SetWheelScrollMode(int value)
{
    m_wheelScrollMode = value >= 0 && value <= 2 ? value : 1;
}

void TOption::LoadFromFile(const QString &fileName)
{
    TIniFile ini(fileName, TIniFile::TMode::Profile);
    const QByteArray before = ini.toBytes();
    LoadFromIni(ini);
    // Loading changes the file only when it drops a "URL" of the former host.
    if (ini.toBytes() != before)
        ini.save();
}

void TOption::LoadFromIni(TIniFile &ini)
{
    auto b = [&](const char *key, bool &field) { field = ini.readBool(kOption, QString::fromLatin1(key), field); };
    b("PlaySound", PlaySound);
    for (int k = 0; k < 4; ++k)
        UseDefaultSoundArray[size_t(k)] = ini.readBool(kOption, QStringLiteral("UseDefaultSound%1").arg(k), UseDefaultSoundArray[size_t(k)]);
    for (int k = 0; k < 4; ++k)
        SoundFileArray[size_t(k)] = ini.readString(kOption, QStringLiteral("SoundFile%1").arg(k), SoundFileArray[size_t(k)]);
    for (const TOptionKey &key : optionKeys()) {
        const QString name = QString::fromLatin1(key.name);
        std::visit([&](auto member) {
            auto &field = this->*member;
            using T = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<T, bool>)
                field = ini.readBool(kOption, name, field);
            else if constexpr (std::is_same_v<T, int>)
                field = ini.readInteger(kOption, name, field);
            else if constexpr (std::is_same_v<T, double>)
                field = ini.readFloat(kOption, name, field);
            else
                field = ini.readString(kOption, name, field);
        }, key.field);
    }
    SetWheelScrollMode(ini.readInteger(kOption, QStringLiteral("WheelScrollMode"), m_wheelScrollMode));
    b("PatternCutWarning", PatternCutWarning);

    if (ini.valueExists(kOption, QStringLiteral("URL"))) {
        const QString url = ini.readString(kOption, QStringLiteral("URL"));
        if (IsFormerHost(url))
            ini.deleteKey(kOption, QStringLiteral("URL"));
        else
            PelvaneURL = url;
    }

    TotoDreamMember = ini.readBool(kTotoDream, QStringLiteral("Member"), TotoDreamMember);
    TotoDreamPCMail = ini.readBool(kTotoDream, QStringLiteral("PCMail"), TotoDreamPCMail);
    TotoDreamMobileMail = ini.readBool(kTotoDream, QStringLiteral("MobileMail"), TotoDreamMobileMail);
    TotoDreamID = readProtected(ini, kTotoDream, QStringLiteral("ID"));
    TotoDreamPassword = readProtected(ini, kTotoDream, QStringLiteral("Password"));
    TotoDreamPCMailAddress = ini.readString(kTotoDream, QStringLiteral("PCMailAddress"), TotoDreamPCMailAddress);
    TotoDreamMobileMailAddress = ini.readString(kTotoDream, QStringLiteral("MobileMailAdress"), TotoDreamMobileMailAddress);
    EBankBranchCode = readProtected(ini, kEBank, QStringLiteral("BranchCode"));
    EBankAccountNumber = readProtected(ini, kEBank, QStringLiteral("AccountNumber"));
    EBankID = readProtected(ini, kEBank, QStringLiteral("ID"));
    EBankPassword = readProtected(ini, kEBank, QStringLiteral("Password"));

    HomeFilter.Load(ini, QStringLiteral("HomeFilter"));
    AwayFilter.Load(ini, QStringLiteral("AwayFilter"));
    MatchDisplay.Load(ini, QStringLiteral("MatchDisplay"));

    const QStringList points = CommaText::split(ini.readString(kOption, QStringLiteral("PointsTable")));
    for (int k = 0; k < 5 && k < points.size(); ++k)
        PointsTable[size_t(k)] = StrToIntDef(points[k], 0);
    b("UseOriginalVictoryPoint", UseOriginalVictoryPoint);

    if (ToToBoards)
        ToToBoards->Load(ini);
    ExpandOption.LoadFromIni(ini);

    Internet.UseProxy = ini.readBool(kInternet, QStringLiteral("UseProxy"), Internet.UseProxy);
    Internet.ProxyAddress = ini.readString(kInternet, QStringLiteral("ProxyAddress"), Internet.ProxyAddress);
    Internet.ProxyPort = ini.readInteger(kInternet, QStringLiteral("ProxyPort"), Internet.ProxyPort);
    Internet.Timeout = ini.readInteger(kInternet, QStringLiteral("Timeout"), Internet.Timeout);
    OfficialSiteURL = ini.readString(kInternet, QStringLiteral("OfficialSite"), OfficialSiteURL);
    LeagueSiteURL = ini.readString(kInternet, QStringLiteral("LeagueSite"), LeagueSiteURL);
}

void TOption::SaveToFile(const QString &fileName) const
{
    TIniFile ini(fileName, TIniFile::TMode::Profile);
    SaveToIni(ini);
    ini.save();
}

void TOption::SaveToIni(TIniFile &ini) const
{
    auto b = [&](const char *key, bool v) { ini.writeBool(kOption, QString::fromLatin1(key), v); };
    b("PlaySound", PlaySound);
    for (int k = 0; k < 4; ++k)
        ini.writeBool(kOption, QStringLiteral("UseDefaultSound%1").arg(k), UseDefaultSoundArray[size_t(k)]);
    for (int k = 0; k < 4; ++k)
        ini.writeString(kOption, QStringLiteral("SoundFile%1").arg(k), SoundFileArray[size_t(k)]);
    for (const TOptionKey &key : optionKeys()) {
        const QString name = QString::fromLatin1(key.name);
        std::visit([&](auto member) {
            const auto &field = this->*member;
            using T = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<T, bool>)
                ini.writeBool(kOption, name, field);
            else if constexpr (std::is_same_v<T, int>)
                ini.writeInteger(kOption, name, field);
            else if constexpr (std::is_same_v<T, double>)
                ini.writeFloat(kOption, name, field);
            else
                ini.writeString(kOption, name, key.quoted ? quoted(field) : field);
        }, key.field);
    }
    ini.writeInteger(kOption, QStringLiteral("WheelScrollMode"), m_wheelScrollMode);
    b("PatternCutWarning", PatternCutWarning);

    ini.writeBool(kTotoDream, QStringLiteral("Member"), TotoDreamMember);
    ini.writeBool(kTotoDream, QStringLiteral("PCMail"), TotoDreamPCMail);
    ini.writeBool(kTotoDream, QStringLiteral("MobileMail"), TotoDreamMobileMail);
    ini.writeString(kTotoDream, QStringLiteral("ID"), CredentialProtection::Protect(TotoDreamID));
    ini.writeString(kTotoDream, QStringLiteral("Password"), CredentialProtection::Protect(TotoDreamPassword));
    ini.writeString(kTotoDream, QStringLiteral("PCMailAddress"), TotoDreamPCMailAddress);
    ini.writeString(kTotoDream, QStringLiteral("MobileMailAdress"), TotoDreamMobileMailAddress);
    ini.writeString(kEBank, QStringLiteral("BranchCode"), CredentialProtection::Protect(EBankBranchCode));
    ini.writeString(kEBank, QStringLiteral("AccountNumber"), CredentialProtection::Protect(EBankAccountNumber));
    ini.writeString(kEBank, QStringLiteral("ID"), CredentialProtection::Protect(EBankID));
    ini.writeString(kEBank, QStringLiteral("Password"), CredentialProtection::Protect(EBankPassword));

    HomeFilter.Save(ini, QStringLiteral("HomeFilter"));
    AwayFilter.Save(ini, QStringLiteral("AwayFilter"));
    MatchDisplay.Save(ini, QStringLiteral("MatchDisplay"));

    ini.writeString(kOption, QStringLiteral("PointsTable"),
                    Format(u"%d, %d, %d, %d, %d", {PointsTable[0], PointsTable[1], PointsTable[2], PointsTable[3], PointsTable[4]}));
    b("UseOriginalVictoryPoint", UseOriginalVictoryPoint);

    if (ToToBoards)
        ToToBoards->Save(ini);
    ExpandOption.SaveToIni(ini);

    ini.writeBool(kInternet, QStringLiteral("UseProxy"), Internet.UseProxy);
    ini.writeString(kInternet, QStringLiteral("ProxyAddress"), Internet.ProxyAddress);
    ini.writeInteger(kInternet, QStringLiteral("ProxyPort"), Internet.ProxyPort);
    ini.writeInteger(kInternet, QStringLiteral("Timeout"), Internet.Timeout);
    // Sites the Windows program never had: written only when the user changed them.
    auto site = [&](const QString &key, const QString &value, const QString &def) {
        if (value == def)
            ini.deleteKey(kInternet, key);
        else
            ini.writeString(kInternet, key, value);
    };
    site(QStringLiteral("OfficialSite"), OfficialSiteURL, DefaultOfficialSiteURL());
    site(QStringLiteral("LeagueSite"), LeagueSiteURL, DefaultLeagueSiteURL());
}

void CheckTextLength(const QString &text, int maxLength, const QString &label, int minLength)
{
    const qsizetype n = Cp932::byteLength(text);
    if (n > maxLength)
        throw EPelvaneError(label + QString::number(maxLength) + QStringLiteral("文字以内です"));
    if (minLength > 0 && n < minLength)
        throw EPelvaneError(label + QString::number(minLength) + QStringLiteral("文字以上です"));
}
