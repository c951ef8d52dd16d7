#include "cli/CliCommands.h"

#include "cli/CliOutput.h"
#include "cli/DatabaseCommands.h"
#include "database/unitSQLite.h"

#include "lottery/PrizeEstimate.h"
#include "lottery/UnitToTo.h"
#include "platform/ConsoleMessageService.h"
#include "platform/Format.h"
#include "platform/IniFile.h"
#include "platform/Random.h"
#include "reduction/CoveringTables.h"
#include "reduction/PatternRules.h"
#include "reduction/UnitOptimize.h"
#include "reduction/UnitSingleOptimizer.h"
#include "settings/UnitOption.h"
#include "web/JapaneseCode.h"
#include "web/UnitHTMLParser.h"
#include "web/UnitInternet.h"
#include "platform/PelvaneError.h"
#include "shell/UnitTypes.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <climits>
#include <cstdio>

namespace {

void print(const QString &text)
{
    CliPrint(text);
}

void printJson(const QJsonValue &value)
{
    CliPrintJson(value);
}

TTotoType parseType(const QString &text)
{
    const QString t = text.toLower();
    if (t == u"toto" || t == u"0")
        return ttToto;
    if (t == u"minia" || t == u"a" || t == u"1")
        return ttMiniA;
    if (t == u"minib" || t == u"b" || t == u"2")
        return ttMiniB;
    throw ECliUsage(QStringLiteral("unknown lottery type '%1' (toto, miniA or miniB)").arg(text));
}

qint64 parseInteger(const QString &text, const QString &what)
{
    qint64 v = 0;
    if (!TryStrToInt64(text, v))
        throw ECliUsage(QStringLiteral("%1 must be an integer, not '%2'").arg(what, text));
    return v;
}

int parseRound(const QString &text)
{
    const qint64 v = parseInteger(text, QStringLiteral("--round"));
    if (v < 1 || v > 99999)
        throw ECliUsage(QStringLiteral("--round must be between 1 and 99999"));
    return int(v);
}

TTips parseMarks(const QString &text, const QString &what)
{
    TTips tips;
    if (text.isEmpty())
        throw ECliUsage(QStringLiteral("%1: an empty mark").arg(what));
    for (QChar c : text) {
        if (c == u'0')
            tips.include(tpDraw);
        else if (c == u'1')
            tips.include(tpHome);
        else if (c == u'2')
            tips.include(tpAway);
        else
            throw ECliUsage(QStringLiteral("%1: '%2' is not made of the digits 0, 1 and 2").arg(what, text));
    }
    return tips;
}

QStringList words(const QString &text)
{
    return text.split(u' ', Qt::SkipEmptyParts);
}

QString suffixOf(const QString &file)
{
    return QFileInfo(file).suffix().toLower();
}

bool isSinglesList(const QString &file)
{
    const QString s = suffixOf(file);
    return s == u"csv" || s == u"txt";
}

bool isRoundFile(const QString &file)
{
    const QString s = suffixOf(file);
    return s == u"tot" || s == u"tts" || s == u"ttr";
}

// --- commands ------------------------------------------------------------------------------------

int cmdInfo(const TCliArgs &args, bool json)
{
    args.allowOnly({});
    const QString db = TDM::DefaultFileName();
    QString state = QStringLiteral("missing");
    if (QFileInfo::exists(db))
        state = TDM(db).Connected() ? QStringLiteral("connected") : QStringLiteral("unreadable");
    QJsonObject folders{
        {QStringLiteral("common"), GetCommonDataFolder()},
        {QStringLiteral("user"), GetUserDataFolder()},
        {QStringLiteral("documents"), GetDocumentsDataFolder()},
        {QStringLiteral("sheet"), GetSheetFolder()},
        {QStringLiteral("settings"), GetIniFileName()},
    };
    QJsonObject database{{QStringLiteral("path"), db},
                         {QStringLiteral("state"), state}};
    if (json) {
        printJson(QJsonObject{{QStringLiteral("version"), QStringLiteral(PELVANE_VERSION)},
                              {QStringLiteral("folders"), folders},
                              {QStringLiteral("database"), database}});
        return 0;
    }
    print(QStringLiteral("Pelvane %1").arg(QStringLiteral(PELVANE_VERSION)));
    for (const QString &key : {QStringLiteral("common"), QStringLiteral("user"), QStringLiteral("documents"),
                               QStringLiteral("sheet"), QStringLiteral("settings")})
        print(QStringLiteral("%1: %2").arg(key, -10).arg(folders.value(key).toString()));
    print(QStringLiteral("%1: %2 (%3)").arg(QStringLiteral("database"), -10).arg(db, database.value(QStringLiteral("state")).toString()));
    return 0;
}

int cmdSinglesChecksum(const TCliArgs &args, bool json)
{
    args.allowOnly({QStringLiteral("type")});
    if (args.positional().size() != 1)
        throw ECliUsage(QStringLiteral("singles-checksum takes one file"));
    TTipSheet sheet;
    sheet.SetTotoType(parseType(args.value(QStringLiteral("type"), QStringLiteral("toto"))));
    sheet.ImportCSV(args.positional().first(), false);
    const int singles = sheet.Singles().Count();
    const int valid = sheet.ValidSingleCount();
    const quint16 checksum = sheet.SinglesChecksum();
    if (json) {
        printJson(QJsonObject{{QStringLiteral("singles"), singles},
                              {QStringLiteral("valid"), valid},
                              {QStringLiteral("checksum"), int(checksum)}});
    } else {
        print(QStringLiteral("singles:  %1").arg(singles));
        print(QStringLiteral("valid:    %1").arg(valid));
        print(QStringLiteral("checksum: %1 (0x%2)").arg(checksum).arg(checksum, 4, 16, QChar(u'0')));
    }
    return 0;
}

int cmdPrizes(const TCliArgs &args, bool json)
{
    args.allowOnly({QStringLiteral("type"), QStringLiteral("round"), QStringLiteral("results"), QStringLiteral("votes")});
    TTipSheet sheet;
    sheet.SetTotoType(parseType(args.value(QStringLiteral("type"), QStringLiteral("toto"))));
    sheet.SetNumber(parseRound(args.required(QStringLiteral("round"))));
    const int n = sheet.MaxMatch();

    const QStringList results = words(args.required(QStringLiteral("results")));
    const QStringList votes = words(args.required(QStringLiteral("votes")));
    if (results.size() != n)
        throw ECliUsage(QStringLiteral("--results needs %1 results, got %2").arg(n).arg(results.size()));
    if (votes.size() != n)
        throw ECliUsage(QStringLiteral("--votes needs %1 matches of h,d,a, got %2").arg(n).arg(votes.size()));

    TUpdateGuard update(sheet);
    for (int i = 0; i < n; ++i) {
        sheet.Match(i).SetResult(parseMarks(results[i], QStringLiteral("--results")));
        const QStringList hda = votes[i].split(u',');
        if (hda.size() != 3)
            throw ECliUsage(QStringLiteral("--votes: '%1' is not h,d,a").arg(votes[i]));
        const TTip order[3] = {tpHome, tpDraw, tpAway};
        for (int k = 0; k < 3; ++k) {
            const qint64 v = parseInteger(hda[k], QStringLiteral("--votes"));
            if (v < 0 || v > INT_MAX)
                throw ECliUsage(QStringLiteral("--votes: '%1' is out of range").arg(hda[k]));
            sheet.ActiveOdds().SetVotes(i, order[k], int(v));
        }
    }
    sheet.RecalcEstimates();
    const qint64 p[3] = {sheet.EstimatedPrize(1), sheet.EstimatedPrize(2), sheet.EstimatedPrize(3)};
    if (json) {
        printJson(QJsonObject{{QStringLiteral("first"), p[0]}, {QStringLiteral("second"), p[1]}, {QStringLiteral("third"), p[2]}});
    } else {
        for (int level = 1; level <= 3; ++level)
            print(QStringLiteral("%1: %2 yen (%3)")
                      .arg(PrizeLevelName(level))
                      .arg(FormatFloat(QStringLiteral("#,##0"), double(p[level - 1])))
                      .arg(FormatAmount(p[level - 1])));
    }
    return 0;
}

int cmdAmount(const TCliArgs &args, bool json)
{
    args.allowOnly({});
    if (args.positional().size() != 1)
        throw ECliUsage(QStringLiteral("amount takes one integer"));
    const QString text = FormatAmount(parseInteger(args.positional().first(), QStringLiteral("the amount")));
    if (json)
        printJson(QJsonObject{{QStringLiteral("text"), text}});
    else
        print(text);
    return 0;
}

QJsonObject cutJson(const TPatternCut &c)
{
    return QJsonObject{{QStringLiteral("MoreThanEnable"), c.MoreThanEnable},
                       {QStringLiteral("LessThanEnable"), c.LessThanEnable},
                       {QStringLiteral("MoreThan"), c.MoreThan},
                       {QStringLiteral("LessThan"), c.LessThan}};
}

QJsonObject expandOptionJson(const TExpandOption &e)
{
    QJsonObject o;
    for (const TExpandOption::TRuleKey &k : TExpandOption::RuleKeys())
        o.insert(QString::fromLatin1(k.fieldName), cutJson(e.*k.rule));
    o.insert(QStringLiteral("HDACutList"), QJsonArray::fromStringList(e.HDACutList()));
    o.insert(QStringLiteral("HDACutEnable"), e.HDACutEnable);
    o.insert(QStringLiteral("Prizelevel"), e.Prizelevel);
    o.insert(QStringLiteral("OptimizeLevel"), e.OptimizeLevel);
    o.insert(QStringLiteral("IssueCutEnable"), e.IssueCutEnable);
    QJsonArray issue;
    for (const auto &m : e.IssueCut) {
        QString letters;
        for (TTip t : kDisplayTipOrder)
            letters += m[t].isNull() ? QChar(u'-') : m[t];
        issue.append(letters);
    }
    o.insert(QStringLiteral("IssueCut"), issue);
    o.insert(QStringLiteral("IssueCutType"), QJsonArray{e.IssueCutType[0], e.IssueCutType[1], e.IssueCutType[2], e.IssueCutType[3]});
    o.insert(QStringLiteral("UsePatternCut"), e.UsePatternCut);
    o.insert(QStringLiteral("Guarantee"), e.Guarantee);
    return o;
}

QJsonObject optionJson(const TOption &o, bool showCredentials)
{
    auto secret = [&](const QString &v) -> QJsonValue {
        if (showCredentials || v.isEmpty())
            return v;
        return QStringLiteral("********");
    };
    QJsonArray defaults, files, points;
    for (int i = 0; i < 4; ++i) {
        defaults.append(o.UseDefaultSound(i));
        files.append(o.SoundFile(i));
    }
    for (int p : o.PointsTable)
        points.append(p);
    auto filter = [](const TMatchFilter &f) {
        return QJsonObject{{QStringLiteral("MatchFilter"), int(f.MatchFilter)},
                           {QStringLiteral("HomeAwayFilter"), int(f.HomeAwayFilter)},
                           {QStringLiteral("StadiumFilter"), f.StadiumFilter}};
    };
    return QJsonObject{
        {QStringLiteral("PlaySound"), o.PlaySound},
        {QStringLiteral("UseDefaultSound"), defaults},
        {QStringLiteral("SoundFile"), files},
        {QStringLiteral("PrintToSheet"), o.PrintToSheet},
        {QStringLiteral("PrintOffsetLeft"), o.PrintOffsetLeft},
        {QStringLiteral("PrintOffsetTop"), o.PrintOffsetTop},
        {QStringLiteral("PrintOnA4"), o.PrintOnA4},
        {QStringLiteral("PrintNoAdjust"), o.PrintNoAdjust},
        {QStringLiteral("PrintMatch"), o.PrintMatch},
        {QStringLiteral("PrintPage"), o.PrintPage},
        {QStringLiteral("PrintPrize"), o.PrintPrize},
        {QStringLiteral("PrintSingleNo"), o.PrintSingleNo},
        {QStringLiteral("PrintFileName"), o.PrintFileName},
        {QStringLiteral("MarkHeight"), o.MarkHeight},
        {QStringLiteral("MarkWidth"), o.MarkWidth},
        {QStringLiteral("MarkSpaceX"), o.MarkSpaceX},
        {QStringLiteral("MarkSpaceY"), o.MarkSpaceY},
        {QStringLiteral("MarkNumber"), o.MarkNumber},
        {QStringLiteral("CommentHeader"), o.CommentHeader},
        {QStringLiteral("CommentMulti"), o.CommentMulti},
        {QStringLiteral("CommentPrice"), o.CommentPrice},
        {QStringLiteral("CommentTipster"), o.CommentTipster},
        {QStringLiteral("CommentVersus"), o.CommentVersus},
        {QStringLiteral("Tipster"), o.Tipster},
        {QStringLiteral("CommentPatternCut"), o.CommentPatternCut},
        {QStringLiteral("CommentPreTag"), o.CommentPreTag},
        {QStringLiteral("ExpandWarning"), o.ExpandWarning},
        {QStringLiteral("ExpandWarningCount"), o.ExpandWarningCount},
        {QStringLiteral("ResourceWarning"), o.ResourceWarning},
        {QStringLiteral("ResourceWarningLevel"), o.ResourceWarningLevel},
        {QStringLiteral("ExpandOption"), expandOptionJson(o.ExpandOption)},
        {QStringLiteral("PatternCutWarning"), o.PatternCutWarning},
        {QStringLiteral("Internet"), QJsonObject{{QStringLiteral("Timeout"), o.Internet.Timeout},
                                                 {QStringLiteral("UseProxy"), o.Internet.UseProxy},
                                                 {QStringLiteral("ProxyAddress"), o.Internet.ProxyAddress},
                                                 {QStringLiteral("ProxyPort"), o.Internet.ProxyPort}}},
        {QStringLiteral("CheckWin"), o.CheckWin},
        {QStringLiteral("ResultMark"), o.ResultMark},
        {QStringLiteral("HDACountPercent"), o.HDACountPercent},
        {QStringLiteral("WheelEnable"), o.WheelEnable},
        {QStringLiteral("WheelPanEnable"), o.WheelPanEnable},
        {QStringLiteral("WheelScrollMode"), o.WheelScrollMode()},
        {QStringLiteral("PointsTable"), points},
        {QStringLiteral("UseOriginalVictoryPoint"), o.UseOriginalVictoryPoint},
        {QStringLiteral("PelvaneURL"), o.PelvaneURL},
        {QStringLiteral("HomeFilter"), filter(o.HomeFilter)},
        {QStringLiteral("AwayFilter"), filter(o.AwayFilter)},
        {QStringLiteral("MatchDisplay"), QJsonObject{{QStringLiteral("DisplayMode"), int(o.MatchDisplay.DisplayMode)},
                                                     {QStringLiteral("MatchCount"), o.MatchDisplay.MatchCount},
                                                     {QStringLiteral("MatchDate"), FormatDateTime(QStringLiteral("yyyy/mm/dd"), o.MatchDisplay.MatchDate)}}},
        {QStringLiteral("TotoDreamMember"), o.TotoDreamMember},
        {QStringLiteral("TotoDreamPCMail"), o.TotoDreamPCMail},
        {QStringLiteral("TotoDreamMobileMail"), o.TotoDreamMobileMail},
        {QStringLiteral("TotoDreamID"), secret(o.TotoDreamID)},
        {QStringLiteral("TotoDreamPassword"), secret(o.TotoDreamPassword)},
        {QStringLiteral("TotoDreamPCMailAddress"), o.TotoDreamPCMailAddress},
        {QStringLiteral("TotoDreamMobileMailAddress"), o.TotoDreamMobileMailAddress},
        {QStringLiteral("EBankBranchCode"), secret(o.EBankBranchCode)},
        {QStringLiteral("EBankAccountNumber"), secret(o.EBankAccountNumber)},
        {QStringLiteral("EBankID"), secret(o.EBankID)},
        {QStringLiteral("EBankPassword"), secret(o.EBankPassword)},
    };
}

int cmdSettings(const TCliArgs &args, bool json)
{
    args.allowOnly({QStringLiteral("file")});
    if (args.positional() != QStringList{QStringLiteral("show")})
        throw ECliUsage(QStringLiteral("usage: settings show [--file F] [--show-credentials]"));
    const QString file = args.value(QStringLiteral("file"), GetIniFileName());
    if (args.has(QStringLiteral("file")) && !QFileInfo::exists(file))
        throw EPelvaneError(QStringLiteral("ファイル(%1)がありません").arg(file));
    TOption option;
    // Read without writing back: showing settings never changes the file.
    TIniFile ini(file, TIniFile::TMode::Profile);
    option.LoadFromIni(ini);
    const QJsonObject o = optionJson(option, args.flag(QStringLiteral("show-credentials")));
    if (json) {
        printJson(o);
        return 0;
    }
    print(QStringLiteral("settings file: %1").arg(file));
    for (auto it = o.begin(); it != o.end(); ++it) {
        const QJsonValue v = it.value();
        QString text;
        if (v.isObject() || v.isArray())
            text = QString::fromUtf8(QJsonDocument(v.isObject() ? QJsonDocument(v.toObject()) : QJsonDocument(v.toArray()))
                                         .toJson(QJsonDocument::Compact));
        else
            text = v.toVariant().toString();
        print(QStringLiteral("%1 = %2").arg(it.key(), text));
    }
    return 0;
}

QList<TTip> parseSingle(const QString &text, int count)
{
    QList<TTip> tips;
    for (const QString &w : words(text)) {
        if (w == u"0")
            tips.append(tpDraw);
        else if (w == u"1")
            tips.append(tpHome);
        else if (w == u"2")
            tips.append(tpAway);
        else
            throw ECliUsage(QStringLiteral("--single: '%1' is not 0, 1 or 2").arg(w));
    }
    if (tips.size() != count)
        throw ECliUsage(QStringLiteral("--single needs %1 tips, got %2").arg(count).arg(tips.size()));
    return tips;
}

int cmdRules(const TCliArgs &args, bool json)
{
    args.allowOnly({QStringLiteral("file"), QStringLiteral("single"), QStringLiteral("type"), QStringLiteral("round")});
    if (args.positional() != QStringList{QStringLiteral("check")})
        throw ECliUsage(QStringLiteral("usage: rules check --file F.ttp|F.tot --single \"1 0 2 ...\" [--type T --round R]"));
    const QString file = args.required(QStringLiteral("file"));
    if (!QFileInfo::exists(file))
        throw EPelvaneError(QStringLiteral("ファイル(%1)がありません").arg(file));
    const TIniFile ini(file, TIniFile::TMode::Memory);
    TExpandOption rules;
    rules.LoadFromIni(ini);

    // A prediction brings its card, results and vote rates, which some rules read.
    TTipSheet sheet;
    if (suffixOf(file) == u"tot")
        sheet.OpenPrediction(file, false);
    else
        sheet.SetTotoType(TotoTypeFromInt(ini.readInteger(QStringLiteral("Sheet"), QStringLiteral("Type"), 0)));
    if (args.has(QStringLiteral("type")))
        sheet.SetTotoType(parseType(args.value(QStringLiteral("type"))));
    if (args.has(QStringLiteral("round")))
        sheet.SetNumber(parseRound(args.value(QStringLiteral("round"))));
    const QList<TTip> tips = parseSingle(args.required(QStringLiteral("single")), sheet.MaxMatch());
    const TPatternRuleEvaluator evaluator(rules, TRuleContext::FromSheet(sheet), TRuleSwitches::PerSingle());
    const TCutRule rule = evaluator.Evaluate(tips.data());
    if (json) {
        printJson(QJsonObject{{QStringLiteral("cut"), rule != TCutRule::None},
                              {QStringLiteral("rule"), rule == TCutRule::None ? QJsonValue(QJsonValue::Null) : QJsonValue(CutRuleName(rule))}});
    } else {
        print(rule == TCutRule::None ? QStringLiteral("passes") : QStringLiteral("cut by %1").arg(CutRuleName(rule)));
    }
    return 0;
}

// Reads a round file as the program opens it, or a plain-text list of singles.
void readInto(TTipSheet &sheet, const QString &file, const TCliArgs &args)
{
    if (!QFileInfo(file).isFile())
        throw EPelvaneError(QStringLiteral("ファイル(%1)がありません").arg(file));
    if (isSinglesList(file)) {
        sheet.SetTotoType(parseType(args.value(QStringLiteral("type"), QStringLiteral("toto"))));
        if (args.has(QStringLiteral("round")))
            sheet.SetNumber(parseRound(args.value(QStringLiteral("round"))));
        sheet.ImportCSV(file, false);
    } else if (isRoundFile(file)) {
        sheet.OpenPrediction(file, false);
    } else {
        throw ECliUsage(QStringLiteral("'%1': a .tot, .tts, .ttr, .csv or .txt file is needed").arg(file));
    }
}

QJsonObject sheetJson(const TTipSheet &sheet)
{
    QJsonArray matches;
    for (int i = 0; i < sheet.MaxMatch(); ++i) {
        const TExceptMatch &m = sheet.Match(i);
        matches.append(QJsonObject{{QStringLiteral("home"), m.HomeTeam().Name()},
                                   {QStringLiteral("away"), m.AwayTeam().Name()},
                                   {QStringLiteral("tips"), TipsDigits(m.Tips())},
                                   {QStringLiteral("result"), TipsDigits(m.Result())},
                                   {QStringLiteral("homeScore"), m.HomeScore()},
                                   {QStringLiteral("awayScore"), m.AwayScore()},
                                   {QStringLiteral("calledOff"), m.CalledOff()},
                                   {QStringLiteral("vGoal"), m.VGoal()},
                                   {QStringLiteral("division"), m.Division()},
                                   {QStringLiteral("stadium"), m.Stadium()},
                                   {QStringLiteral("kickOff"), FormatDateTime(QStringLiteral("mm/dd hh:nn"), m.DateTime())}});
    }
    QJsonArray probabilities, dividends;
    for (int i = 0; i < 4; ++i)
        probabilities.append(sheet.Probability(i));
    for (int level = 1; level <= 3; ++level) {
        const TDividend &d = sheet.Dividend(level);
        dividends.append(QJsonObject{{QStringLiteral("money"), d.Money},
                                     {QStringLiteral("hits"), d.Hits},
                                     {QStringLiteral("carryOver"), d.CarryOver}});
    }
    const char *states[] = {"absent", "ok", "changed"};
    return QJsonObject{{QStringLiteral("type"), int(sheet.TotoType())},
                       {QStringLiteral("number"), sheet.Number()},
                       {QStringLiteral("matches"), matches},
                       {QStringLiteral("singles"), sheet.Singles().Count()},
                       {QStringLiteral("valid"), sheet.ValidSingleCount()},
                       {QStringLiteral("checksum"), QString::fromLatin1(states[int(sheet.SavedChecksumState())])},
                       {QStringLiteral("probabilities"), probabilities},
                       {QStringLiteral("dividends"), dividends},
                       {QStringLiteral("rules"), sheet.ExpandOption.Summary()}};
}

void printSheet(const TTipSheet &sheet)
{
    print(QStringLiteral("%1 第%2回").arg(TotoTypeName(sheet.TotoType())).arg(sheet.Number()));
    for (int i = 0; i < sheet.MaxMatch(); ++i) {
        const TExceptMatch &m = sheet.Match(i);
        print(Format(u"%2.2d. %s x %s  %s  %s %s", {i + 1, m.HomeTeam().FormatedName(), m.AwayTeam().FormatedName(),
                                                     MarksText(m.Tips()), m.ScoreText(),
                                                     m.CalledOff() ? QStringLiteral("中止") : TipsDigits(m.Result())}));
    }
    const char *states[] = {"absent", "ok", "changed"};
    print(QStringLiteral("singles: %1 (valid %2), checksum %3")
              .arg(sheet.Singles().Count())
              .arg(sheet.ValidSingleCount())
              .arg(QString::fromLatin1(states[int(sheet.SavedChecksumState())])));
    QStringList p;
    for (int i = 0; i < 4; ++i)
        p.append(FloatToStr(sheet.Probability(i)));
    print(QStringLiteral("probabilities: ") + p.join(QStringLiteral(", ")));
    for (int level = 1; level <= 3; ++level) {
        const TDividend &d = sheet.Dividend(level);
        print(QStringLiteral("%1: %2 yen x %3, carry-over %4")
                  .arg(PrizeLevelName(level), FormatFloat(QStringLiteral("#,##0"), double(d.Money)))
                  .arg(d.Hits)
                  .arg(FormatFloat(QStringLiteral("#,##0"), double(d.CarryOver))));
    }
    std::fputs(sheet.ExpandOption.Summary().replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8().constData(), stdout);
}

int cmdShow(const TCliArgs &args, bool json)
{
    args.allowOnly({QStringLiteral("type"), QStringLiteral("round")});
    if (args.positional().size() != 1)
        throw ECliUsage(QStringLiteral("show takes one file"));
    TTipSheet sheet;
    readInto(sheet, args.positional().first(), args);
    if (json)
        printJson(sheetJson(sheet));
    else
        printSheet(sheet);
    return 0;
}

int cmdSingles(const TCliArgs &args, bool)
{
    args.allowOnly({QStringLiteral("type"), QStringLiteral("round")});
    if (args.positional().size() != 1)
        throw ECliUsage(QStringLiteral("singles takes one file"));
    TTipSheet sheet;
    readInto(sheet, args.positional().first(), args);
    const QByteArray text = sheet.ExportText();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    return 0;
}

int cmdConvert(const TCliArgs &args, bool json)
{
    args.allowOnly({QStringLiteral("type"), QStringLiteral("round")});
    if (args.positional().size() != 2)
        throw ECliUsage(QStringLiteral("convert takes an input and an output file"));
    const QString in = args.positional()[0], out = args.positional()[1];
    if (!isSinglesList(out) && !isRoundFile(out))
        throw ECliUsage(QStringLiteral("'%1': the output must be .tot, .tts, .ttr, .csv or .txt").arg(out));
    TTipSheet sheet;
    readInto(sheet, in, args);
    const QString suffix = suffixOf(out);
    if (isSinglesList(out))
        sheet.ExportCSV(out);
    else
        sheet.SaveToFile(out, suffix == u"tts", suffix == u"ttr");
    if (json)
        printJson(QJsonObject{{QStringLiteral("written"), out}, {QStringLiteral("singles"), sheet.Singles().Count()}});
    else
        print(QStringLiteral("%1 -> %2 (%3 singles)").arg(in, out).arg(sheet.Singles().Count()));
    return 0;
}

int parseLevel(const QString &text)
{
    const qint64 v = parseInteger(text, QStringLiteral("--prize"));
    if (v < 1 || v > 4)
        throw ECliUsage(QStringLiteral("--prize must be 1, 2, 3 or 4"));
    return int(v);
}

int parseOptimize(const TCliArgs &args)
{
    const qint64 v = parseInteger(args.value(QStringLiteral("optimize"), QStringLiteral("100")), QStringLiteral("--optimize"));
    if (v < 0 || v > 100)
        throw ECliUsage(QStringLiteral("--optimize must be between 0 and 100"));
    return int(v);
}

// The marks of every match: "1 10 102 ..." as digits per match.
void readMarks(TTipSheet &sheet, const QString &marks)
{
    const QStringList per = words(marks);
    if (per.size() != sheet.MaxMatch())
        throw ECliUsage(QStringLiteral("--marks needs %1 matches, got %2").arg(sheet.MaxMatch()).arg(per.size()));
    for (int i = 0; i < sheet.MaxMatch(); ++i)
        sheet.Match(i).SetTips(parseMarks(per[i], QStringLiteral("--marks")));
}

int cmdExpand(const TCliArgs &args, bool json)
{
    args.allowOnly({QStringLiteral("type"), QStringLiteral("round"), QStringLiteral("marks"), QStringLiteral("prize"),
                    QStringLiteral("optimize"), QStringLiteral("seed"), QStringLiteral("out"), QStringLiteral("search-seconds")});
    TOption option;
    option.ExpandOption.Guarantee = args.flag(QStringLiteral("guarantee"));
    option.ExpandOption.UsePatternCut = args.flag(QStringLiteral("pattern-cut"));
    option.PatternCutWarning = false;
    TTipSheet sheet;
    sheet.Option = &option;
    if (args.positional().size() == 1) {
        readInto(sheet, args.positional().first(), args);
        const bool guarantee = option.ExpandOption.Guarantee, patternCut = option.ExpandOption.UsePatternCut;
        option.ExpandOption = sheet.ExpandOption; // the file's rule set, the mode from the command line
        option.ExpandOption.Guarantee = guarantee;
        option.ExpandOption.UsePatternCut = patternCut || sheet.ExpandOption.UsePatternCut;
    } else if (args.positional().isEmpty()) {
        sheet.SetTotoType(parseType(args.value(QStringLiteral("type"), QStringLiteral("toto"))));
        sheet.SetNumber(parseRound(args.value(QStringLiteral("round"), QString::number(kDefaultRoundNumber))));
        readMarks(sheet, args.required(QStringLiteral("marks")));
    } else {
        throw ECliUsage(QStringLiteral("expand takes at most one file"));
    }
    option.ExpandOption.Prizelevel = parseLevel(args.required(QStringLiteral("prize")));
    option.ExpandOption.OptimizeLevel = parseOptimize(args);
    if (args.has(QStringLiteral("seed")))
        Random::Seed(uint32_t(parseInteger(args.value(QStringLiteral("seed")), QStringLiteral("--seed"))));
    else
        Random::SeedFromClock();

    // In guarantee mode the open-ended search runs for the given seconds.
    bool search = false;
    if (args.has(QStringLiteral("search-seconds"))) {
        if (!option.ExpandOption.Guarantee)
            throw ECliUsage(QStringLiteral("--search-seconds needs --guarantee"));
        const double seconds = args.value(QStringLiteral("search-seconds")).toDouble(&search);
        if (!search || seconds < 0)
            throw ECliUsage(QStringLiteral("--search-seconds must be a number of seconds"));
        SetGuaranteeSearchSeconds(seconds);
    }
    QElapsedTimer timer;
    timer.start();
    sheet.Expand(search);
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (args.has(QStringLiteral("out"))) {
        const QString out = args.value(QStringLiteral("out"));
        if (isSinglesList(out))
            sheet.ExportCSV(out);
        else
            sheet.SaveToFile(out);
    }
    QJsonArray probabilities;
    for (int i = 0; i < 4; ++i)
        probabilities.append(sheet.Probability(i));
    if (json) {
        printJson(QJsonObject{{QStringLiteral("singles"), sheet.Singles().Count()},
                              {QStringLiteral("valid"), sheet.ValidSingleCount()},
                              {QStringLiteral("probabilities"), probabilities},
                              {QStringLiteral("seconds"), seconds}});
    } else {
        print(QStringLiteral("singles: %1 (valid %2), %3 s").arg(sheet.Singles().Count()).arg(sheet.ValidSingleCount()).arg(seconds, 0, 'f', 3));
        QStringList p;
        for (int i = 0; i < 4; ++i)
            p.append(FloatToStr(sheet.Probability(i)));
        print(QStringLiteral("probabilities: ") + p.join(QStringLiteral(", ")));
    }
    return 0;
}

int cmdEstimate(const TCliArgs &args, bool json)
{
    args.allowOnly({QStringLiteral("doubles"), QStringLiteral("triples"), QStringLiteral("prize"), QStringLiteral("optimize")});
    const qint64 w = parseInteger(args.required(QStringLiteral("doubles")), QStringLiteral("--doubles"));
    const qint64 t = parseInteger(args.required(QStringLiteral("triples")), QStringLiteral("--triples"));
    if (w < 0 || t < 0 || w + t > 13)
        throw ECliUsage(QStringLiteral("--doubles and --triples must be at least 0 and together at most 13"));
    TOption option;
    option.ExpandOption.Prizelevel = parseLevel(args.required(QStringLiteral("prize")));
    option.ExpandOption.OptimizeLevel = parseOptimize(args);
    TTipSheet sheet;
    sheet.Option = &option;
    for (int i = 0; i < 13; ++i)
        sheet.Match(i).SetTips(i < t ? TTips::all() : i < t + w ? TTips{tpHome, tpDraw} : TTips{tpHome});
    const qint64 singles = TSheetOptimizer().Estimate(sheet);
    if (json)
        printJson(QJsonObject{{QStringLiteral("singles"), singles}});
    else
        print(QString::number(singles));
    return 0;
}

int cmdCheck(const TCliArgs &args, bool json)
{
    args.allowOnly({QStringLiteral("prize"), QStringLiteral("type"), QStringLiteral("round")});
    if (args.positional().size() != 1)
        throw ECliUsage(QStringLiteral("check takes one prediction file"));
    TTipSheet sheet;
    readInto(sheet, args.positional().first(), args);
    const int level = parseLevel(args.required(QStringLiteral("prize")));
    sheet.CheckMarks();
    // With --pattern-cut only the patterns the file's rules let through must be won.
    const TPatternRuleEvaluator survivors(sheet.ExpandOption, TRuleContext::FromSheet(sheet), TRuleSwitches::PerPattern());
    const bool covered = TSheetOptimizer::CoversAllCombinations(sheet, level, args.flag(QStringLiteral("pattern-cut")) ? &survivors : nullptr);
    sheet.ExpandOption.Prizelevel = level;
    const double coverage = TSheetOptimizer().CheckCoverage(sheet);
    if (json)
        printJson(QJsonObject{{QStringLiteral("covered"), covered}, {QStringLiteral("coverage"), coverage}});
    else
        print(covered ? QStringLiteral("every combination is won at level %1 (coverage %2)").arg(level).arg(coverage)
                      : QStringLiteral("NOT covered at level %1").arg(level));
    return covered ? 0 : 3;
}

// The tables and cells the HTML scanner sees in a saved page.
int htmlTables(const TCliArgs &args, bool json)
{
    const QString file = args.positional().first();
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        throw EPelvaneError(QStringLiteral("ファイル(%1)が読めません").arg(file));
    THTMLParser parser;
    parser.SetHTML(DecodeJapanese(f.readAll()));
    const int only = args.has(QStringLiteral("table")) ? int(parseInteger(args.value(QStringLiteral("table")), QStringLiteral("--table"))) : 0;
    QJsonArray tables;
    for (int t = 1; t <= parser.TableCount(); ++t) {
        if (only && t != only)
            continue;
        QJsonArray rows;
        const QString table = parser.GetTable(t);
        for (int r = 1; r <= parser.RowCount(t); ++r) {
            const QString row = THTMLParser::GetElement(table, QStringLiteral("TR"), r);
            QJsonArray cells;
            QString withTh = row;
            withTh.replace(QStringLiteral("<TH"), QStringLiteral("<TD"));
            const int count = int(withTh.count(QStringLiteral("<TD")));
            for (int c = 1; c <= count; ++c)
                cells.append(THTMLParser::StripTags(THTMLParser::GetElement(row, QStringLiteral("TD"), c)).trimmed());
            rows.append(cells);
        }
        tables.append(QJsonObject{{QStringLiteral("table"), t}, {QStringLiteral("rows"), rows}});
        if (!json) {
            print(QStringLiteral("table %1 (%2 rows)").arg(t).arg(rows.size()));
            for (int r = 0; r < rows.size(); ++r) {
                QStringList cells;
                for (const QJsonValue &v : rows[r].toArray())
                    cells.append(v.toString());
                print(QStringLiteral("  %1: ").arg(r + 1) + cells.join(QStringLiteral(" | ")));
            }
        }
    }
    if (json)
        printJson(tables);
    return 0;
}

int cmdFetch(const TCliArgs &args, bool)
{
    args.allowOnly({QStringLiteral("official-site"), QStringLiteral("league-site"), QStringLiteral("server"), QStringLiteral("timeout")});
    if (args.positional().size() != 1)
        throw ECliUsage(QStringLiteral("fetch takes one URL"));
    TInternet client;
    TOption option;
    TIniFile ini(GetIniFileName(), TIniFile::TMode::Profile);
    option.LoadFromIni(ini);
    option.ApplyInternetSettings(client);
    if (args.has(QStringLiteral("timeout")))
        client.SetTimeout(int(parseInteger(args.value(QStringLiteral("timeout")), QStringLiteral("--timeout")) * 1000));
    const bool ok = client.Get(args.positional().first(), args.flag(QStringLiteral("utf8")));
    print(client.BodyText());
    if (!ok)
        throw EPelvaneError(QStringLiteral("%1 から読めませんでした").arg(args.positional().first()));
    return 0;
}

int cmdDownload(const TCliArgs &args, bool json)
{
    args.allowOnly({QStringLiteral("type"), QStringLiteral("round"), QStringLiteral("out"), QStringLiteral("file"),
                    QStringLiteral("official-site"), QStringLiteral("server"), QStringLiteral("db"), QStringLiteral("timeout")});
    const QStringList &words = args.positional();
    if (words.size() != 1 || !QStringList{"card", "results", "votes"}.contains(words.front()))
        throw ECliUsage(QStringLiteral("usage: download card|results|votes --type T --round R [--file F.tot] [--out F.tot]"));
    TOption option;
    TIniFile ini(GetIniFileName(), TIniFile::TMode::Profile);
    option.LoadFromIni(ini);
    if (args.has(QStringLiteral("official-site")))
        option.OfficialSiteURL = args.value(QStringLiteral("official-site"));
    if (args.has(QStringLiteral("server")))
        option.PelvaneURL = args.value(QStringLiteral("server"));
    if (args.has(QStringLiteral("timeout")))
        option.Internet.Timeout = int(parseInteger(args.value(QStringLiteral("timeout")), QStringLiteral("--timeout")));
    TTipSheet sheet;
    sheet.Option = &option;
    if (args.has(QStringLiteral("file")))
        readInto(sheet, args.value(QStringLiteral("file")), args);
    if (args.has(QStringLiteral("type")))
        sheet.SetTotoType(parseType(args.value(QStringLiteral("type"))));
    if (args.has(QStringLiteral("round")))
        sheet.SetNumber(parseRound(args.value(QStringLiteral("round"))));
    else if (!args.has(QStringLiteral("file")))
        throw ECliUsage(QStringLiteral("--round is required"));
    TDM dm(args.value(QStringLiteral("db"), TDM::DefaultFileName()));
    sheet.Database = dm.Connected() ? &dm : nullptr;
    bool ok = false;
    if (words.front() == u"card")
        ok = sheet.DownloadMatchSheet(false);
    else if (words.front() == u"results")
        ok = sheet.DownloadResults();
    else
        ok = sheet.DownloadVotes();
    if (!ok)
        return 1;
    if (args.has(QStringLiteral("out")))
        sheet.SaveToFile(args.value(QStringLiteral("out")));
    if (json)
        printJson(sheetJson(sheet));
    else
        printSheet(sheet);
    return 0;
}

int cmdTables(const TCliArgs &args, bool json)
{
    if (!args.positional().isEmpty()) {
        args.allowOnly({QStringLiteral("table")});
        return htmlTables(args, json);
    }
    args.allowOnly({QStringLiteral("prize")});
    const int only = args.has(QStringLiteral("prize")) ? parseLevel(args.value(QStringLiteral("prize"))) : 0;
    QJsonArray list;
    for (const TCoveringTable &t : TCoveringTables::Shipped().All()) {
        if (only && t.level != only)
            continue;
        const bool verified = TCoveringTables::Verify(t);
        list.append(QJsonObject{{QStringLiteral("level"), t.level},
                                {QStringLiteral("doubles"), t.doubles},
                                {QStringLiteral("triples"), t.triples},
                                {QStringLiteral("rows"), int(t.rows.size())},
                                {QStringLiteral("verified"), verified}});
        if (!json)
            print(QStringLiteral("level %1  W%2 T%3  %4 rows  %5")
                      .arg(t.level)
                      .arg(t.doubles, 2)
                      .arg(t.triples, 2)
                      .arg(t.rows.size(), 3)
                      .arg(verified ? QStringLiteral("verified") : QStringLiteral("NOT COVERING")));
    }
    if (json)
        printJson(list);
    return 0;
}

} // namespace

// --- argument parsing -----------------------------------------------------------------------------

TCliArgs::TCliArgs(const QStringList &list, const QStringList &flagNames)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QString &w = list[i];
        if (w.startsWith(QStringLiteral("--")) && w.size() > 2) {
            QString name = w.mid(2);
            const qsizetype eq = name.indexOf(u'=');
            if (eq >= 0) {
                m_options.insert(name.left(eq), name.mid(eq + 1));
            } else if (flagNames.contains(name)) {
                m_flags.append(name);
            } else {
                if (i + 1 >= list.size())
                    throw ECliUsage(QStringLiteral("--%1 needs a value").arg(name));
                m_options.insert(name, list[++i]);
            }
        } else {
            m_positional.append(w);
        }
    }
}

QString TCliArgs::required(const QString &name) const
{
    if (!m_options.contains(name))
        throw ECliUsage(QStringLiteral("--%1 is required").arg(name));
    return m_options.value(name);
}

void TCliArgs::allowOnly(const QStringList &names) const
{
    for (auto it = m_options.cbegin(); it != m_options.cend(); ++it)
        if (!names.contains(it.key()))
            throw ECliUsage(QStringLiteral("unknown option --%1").arg(it.key()));
}

const QList<TCliCommand> &CliCommands()
{
    static const QList<TCliCommand> commands = {
        {QStringLiteral("info"), QStringLiteral("info"),
         QStringLiteral("version, data folders and the database state"), {}, cmdInfo},
        {QStringLiteral("singles-checksum"), QStringLiteral("singles-checksum FILE [--type toto|miniA|miniB]"),
         QStringLiteral("imports a plain-text list of singles; prints singles, valid singles and the checksum"), {},
         cmdSinglesChecksum},
        {QStringLiteral("prizes"),
         QStringLiteral("prizes --type T --round R --results \"D D ...\" --votes \"h,d,a h,d,a ...\""),
         QStringLiteral("the estimated first, second and third prize of a round"), {}, cmdPrizes},
        {QStringLiteral("amount"), QStringLiteral("amount N"), QStringLiteral("an amount of yen in 万/億 units"), {},
         cmdAmount},
        {QStringLiteral("show"), QStringLiteral("show FILE [--type T --round R]"),
         QStringLiteral("a round file or list of singles: card, marks, results, singles, checksum, probabilities, prizes, rules"),
         {}, cmdShow},
        {QStringLiteral("singles"), QStringLiteral("singles FILE"), QStringLiteral("the plain-text list of the file's singles"), {},
         cmdSingles},
        {QStringLiteral("convert"), QStringLiteral("convert IN OUT [--type T --round R]"),
         QStringLiteral("between .tot/.tts/.ttr and plain-text lists (.csv/.txt); an unchanged round keeps its bytes"), {},
         cmdConvert},
        {QStringLiteral("expand"),
         QStringLiteral("expand [FILE.tot | --type T --round R --marks \"1 10 102 ...\"] --prize L [--optimize N] [--pattern-cut] [--guarantee [--search-seconds S]] [--seed N] [--out OUT.tot]"),
         QStringLiteral("expands the marks into singles (covering tables unless --guarantee)"),
         {QStringLiteral("pattern-cut"), QStringLiteral("guarantee")}, cmdExpand},
        {QStringLiteral("estimate"), QStringLiteral("estimate --doubles W --triples T --prize L [--optimize N]"),
         QStringLiteral("the number of singles a library expansion makes"), {}, cmdEstimate},
        {QStringLiteral("check"), QStringLiteral("check FILE.tot --prize L [--pattern-cut]"),
         QStringLiteral("checks that every combination of the marks (that the file's rules let through) is won at the level (exit 3 when not)"),
         {QStringLiteral("pattern-cut")}, cmdCheck},
        {QStringLiteral("tables"), QStringLiteral("tables [--prize L] | tables FILE.html [--table N]"),
         QStringLiteral("the shipped covering tables and their verification, or the tables and cells of a saved page"), {},
         cmdTables},
        {QStringLiteral("fetch"), QStringLiteral("fetch URL [--utf8] [--timeout S]"),
         QStringLiteral("prints the decoded body of a page (Japanese code detected unless --utf8)"), {QStringLiteral("utf8")},
         cmdFetch},
        {QStringLiteral("settings"), QStringLiteral("settings show [--file F] [--show-credentials]"),
         QStringLiteral("the effective settings (credentials masked unless asked for)"), {QStringLiteral("show-credentials")},
         cmdSettings},
        {QStringLiteral("download"),
         QStringLiteral("download card|results|votes --type T --round R [--file F.tot] [--out F.tot] [--official-site URL] [--server URL]"),
         QStringLiteral("a round's match card (download server, then the official page), results or vote counts"), {},
         cmdDownload},
        {QStringLiteral("db"),
         QStringLiteral("db info | db standings --year Y --division D [--stage S] | db team NAME | db update [--server URL] [--year Y] | db export DIR --years Y[,Y…]  [--db FILE]"),
         QStringLiteral("the reference database: tables and rows, a league table, a team's number and seasons"), {},
         CmdDatabase},
        {QStringLiteral("rules"), QStringLiteral("rules check --file F.ttp|F.tot --single \"1 0 2 ...\" [--type T --round R]"),
         QStringLiteral("which stored pattern-cut rule cuts a single, or that it passes"), {}, cmdRules},
    };
    return commands;
}

namespace {

QString helpText()
{
    QString text = QStringLiteral("usage: pelvane-cli COMMAND [OPTIONS] [--json] [--yes]\n\ncommands:\n");
    for (const TCliCommand &c : CliCommands())
        text += QStringLiteral("  %1\n      %2\n").arg(c.synopsis, c.help);
    text += QStringLiteral("\n--json prints machine-readable output; --yes answers Yes to every question.");
    return text;
}

} // namespace

int RunCli(const QStringList &arguments)
{
    SetProgramNameOverride(QStringLiteral("pelvane"));
    TConsoleMessageService messages;
    TMessageService *previous = SetMessageService(&messages);
    struct Restore { TMessageService *p; ~Restore() { SetMessageService(p); } } restore{previous};

    if (arguments.isEmpty() || arguments.first() == u"--help" || arguments.first() == u"-h"
        || arguments.first() == u"help") {
        if (arguments.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(helpText()));
            return 2;
        }
        print(helpText());
        return 0;
    }
    const QString name = arguments.first();
    const TCliCommand *command = nullptr;
    for (const TCliCommand &c : CliCommands())
        if (c.name == name)
            command = &c;
    if (!command) {
        std::fprintf(stderr, "pelvane-cli: unknown command '%s' (see --help)\n", qPrintable(name));
        return 2;
    }
    try {
        QStringList flags = command->flags;
        flags << QStringLiteral("json") << QStringLiteral("yes") << QStringLiteral("help");
        const TCliArgs args(arguments.mid(1), flags);
        if (args.flag(QStringLiteral("help"))) {
            print(QStringLiteral("usage: pelvane-cli %1\n%2").arg(command->synopsis, command->help));
            return 0;
        }
        if (args.flag(QStringLiteral("yes")))
            messages.setAnswer(mbYes);
        return command->run(args, args.flag(QStringLiteral("json")));
    } catch (const ECliUsage &e) {
        std::fprintf(stderr, "pelvane-cli %s: %s\n", qPrintable(name), qPrintable(e.message()));
        return 2;
    } catch (const EPelvaneError &e) {
        std::fprintf(stderr, "pelvane-cli %s: %s\n", qPrintable(name), qPrintable(e.message()));
        return 1;
    }
}
