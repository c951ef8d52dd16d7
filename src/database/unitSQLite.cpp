#include "database/unitSQLite.h"

#include "lottery/PrizeEstimate.h"
#include "lottery/UnitToTo.h"
#include "platform/AtomicFile.h"
#include "platform/Cp932Codec.h"
#include "platform/CommaText.h"
#include "platform/EventPump.h"
#include "platform/Format.h"
#include "platform/MessageService.h"
#include "platform/PelvaneError.h"
#include "shell/UnitTypes.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryFile>

#include <algorithm>

namespace {

QString lines(std::initializer_list<const char16_t *> parts)
{
    QStringList out;
    for (const char16_t *p : parts)
        out << QString::fromUtf16(p);
    return out.join(u'\n');
}

using P = TQueryParam;
constexpr TParamType I = TParamType::Integer;
constexpr TParamType T = TParamType::Text;
constexpr TParamType D = TParamType::Date;

std::vector<TQueryDef> makeCatalogue()
{
    return {
        {"QuerySQL", false, lines({u"Select * From Team", u"Where TeamNo=:TeamNo"}), {P{"TeamNo", I}}},
        {"QueryTeam", false, lines({u"Select * From Team", u"Where TeamNo=:TeamNo"}), {P{"TeamNo", I}}},
        {"QueryFileList", false, lines({u"Select * From FileList", u"Where  TableName=:TableName"}), {P{"TableName", T}}},
        {"QueryTemp", false, QString(), {}},
        {"QueryTeamNameToNumber", false,
         lines({u"Select * From Team ", u"Where (TeamName = :TeamName)", u"  or (ShortName = :TeamName)",
                u"  or (TeamName Like :TeamName)", u"  or (ShortName Like :TeamName)"}),
         {P{"TeamName", T}}},
        {"QueryHolding", false,
         lines({u"Select * From Holding", u"Where Holding.\"Year\"=:YEAR", u"And Division = :DIVISION",
                u"And Stage = :STAGE"}),
         {P{"YEAR", I}, P{"DIVISION", I}, P{"STAGE", I}}},
        {"QueryMaxSection", true,
         lines({u"Select Max(Section) As MaxSection From Match", u"Where Division=:DIVISION", u"And Stage=:STAGE",
                u"And SubStr(MatchDate, 1, 4) = :YEAR",
                u"/* And (not HomeScore is NULL And not AwayScore is NULL) */"}),
         {P{"DIVISION", I}, P{"STAGE", I}, P{"YEAR", T}}},
        // The holding whose dates contain the day (the stored test had both comparisons turned round).
        {"QueryMinMaxSection", true,
         lines({u"Select * From Holding", u"where Division=:Division", u"  And (StartDate <= :Date) and (EndDate >= :Date)"}),
         {P{"Division", I}, P{"Date", D}}},
        {"QuerySectionPoints", true,
         lines({u"Select * From Match", u"Where SubStr(MatchDate, 1, 4) =:YEAR", u"  And (Division = :DIVISION)",
                u"  And (Section = :SECTION)", u"  And (not HomeScore is NULL And not AwayScore is NULL)"}),
         {P{"YEAR", T}, P{"DIVISION", I}, P{"SECTION", I}}},
        // League matches only: the cup's group rounds reuse the section numbers of the same year.
        {"QueryPoints", true,
         lines({u"Select * From Match", u"Where SubStr(MatchDate, 1, 4) =:YEAR",
                u"  And (HomeTeam=:HOMETEAM Or AwayTeam=:AWAYTEAM)", u"  And (Section Between :SSection And :ESection)",
                u"  And (not HomeScore is NULL And not AwayScore is NULL)",
                u"  And (Division > 0)"}),
         {P{"YEAR", T}, P{"HOMETEAM", I}, P{"AWAYTEAM", I}, P{"SSection", I}, P{"ESection", I}}},
        {"QueryHDA", true, lines({u"select * from Match", u"Where  totoNumber=:Number or totoNumber2=:Number"}),
         {P{"Number", I}}},
        {"QueryPrize", true, lines({u"select * from Prize", u"Where  Number = :Number"}), {P{"Number", I}}},
        {"QueryGoal3Prize", true, QStringLiteral("Select * From PrizeGOAL3 Where Number = :NUMBER"), {P{"NUMBER", I}}},
        {"QueryGoal3Odds", true, QStringLiteral("Select * From OddsGOAL3 Where Number = :NUMBER"), {P{"NUMBER", I}}},
        {"QueryGoal3Result", true, QStringLiteral("Select * From ResultGOAL3 Where Number = :NUMBER"), {P{"NUMBER", I}}},
        {"QueryGoal3ResultOdds", true,
         lines({u"Select * From ResultGoal3 Inner Join OddsGOAL3 ",
                u"  On ResultGoal3.Number = OddsGoal3.Number And ResultGoal3.[Index]=OddsGoal3.[Index]",
                u"Where ResultGoal3.Number = :NUMBER and ResultGoal3.[Index] = :INDEX"}),
         {P{"NUMBER", I}, P{"INDEX", I}}},
        {"QueryBackfire", true,
         lines({u"Select * From Match, Odds", u"Where Odds.Number=:Number",
                u"   And ( (Match.totoNumber  = Odds.Number And Match.totoIndex  = Odds.[Index])",
                u"      Or (Match.totoNumber2 = Odds.Number And Match.totoIndex2 = Odds.[Index]) )"}),
         {P{"Number", I}}},
        {"QueryTotoMatch", true,
         lines({u"Select * From Match Left Join Odds",
                u"  On (Match.totoNumber = Odds.Number And Match.totoIndex = Odds.[Index])",
                u"    Or (Match.totoNumber2 = Odds.Number And Match.totoIndex2 = Odds.[Index])",
                u"Where (Match.totoNumber=:Number or Match.totoNumber2=:Number)", u"Order By Odds.[Index]"}),
         {P{"Number", I}}},
        {"QueryMatchList", true,
         lines({u"Select * From Match Left Join Odds",
                u"  On (Match.totoNumber = Odds.Number And Match.totoIndex = Odds.[Index])",
                u"Where SubStr(MatchDate, 1, 4) = :YEAR", u"  And (  HomeTeam = :TEAMNO or AwayTeam = :TEAMNO)",
                u"  And (Section Between :SSection And :ESection)", u"  And (Division > 0)", u"Order By Section"}),
         {P{"YEAR", T}, P{"TEAMNO", I}, P{"SSection", I}, P{"ESection", I}}},
        {"QueryPastMatch", true,
         lines({u"Select Match.*, Odds.*", u"From Match Left Join Odds",
                u"  On (Match.totoNumber = Odds.Number And Match.totoIndex = Odds.[Index])",
                u"Where  (  (HomeTeam = :TEAM1 And AwayTeam = :TEAM2)", u"       Or (HomeTeam = :TEAM2 And AwayTeam = :TEAM1) )",
                u"And MatchDate < :DATE", u"Order By MatchDate Desc, Section Desc"}),
         {P{"TEAM1", I}, P{"TEAM2", I}, P{"DATE", D}}},
        {"QueryBackMatch", true,
         lines({u"Select Match.*, Odds.*", u"From Match Left Join Odds",
                u"  On Match.totoNumber = Odds.Number And Match.totoIndex = Odds.[Index]",
                u"Where  ( (HomeTeam = :TEAM And AwayTeam <>:TEAM) ", u"  or (HomeTeam<>:TEAM and AwayTeam=:TEAM) )",
                u"And MatchDate < :DATE", u"Order By MatchDate Desc, Section Desc"}),
         {P{"TEAM", I}, P{"DATE", D}}},
        {"QueryOdds", false, lines({u"Select * From Odds", u"Where Number=:NUMBER ", u"And Odds.[Index] = :INDEX"}),
         {P{"NUMBER", I}, P{"INDEX", I}}},
        {"QueryMiniOdds", false,
         lines({u"Select * From OddsMini", u"Where OddsMini.[Type]=:TYPE", u"And Number=:NUMBER ",
                u"And OddsMini.[Index] = :INDEX"}),
         {P{"TYPE", T}, P{"NUMBER", I}, P{"INDEX", I}}},
    };
}

QVariant convertParam(const QVariant &value, TParamType type)
{
    if (!value.isValid() || value.isNull())
        return QVariant();
    switch (type) {
    case TParamType::Integer:
        return value.toLongLong();
    case TParamType::Text:
        return value.toString();
    case TParamType::Date:
        if (value.typeId() == QMetaType::Double)
            return DateToSQL(value.toDouble());
        return DateToSQL(value.toString());
    }
    return value;
}

bool validIdentifier(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(name).hasMatch();
}

// How a column's declared type takes a text field of an import line.
enum class TColumnKind { Text, Integer, Real, Boolean, Date, Time };

TColumnKind kindOf(const QString &declType)
{
    if (declType.contains(u"CHAR") || declType.contains(u"TEXT") || declType.contains(u"CLOB") || declType.isEmpty())
        return TColumnKind::Text;
    if (declType.contains(u"BOOL"))
        return TColumnKind::Boolean;
    if (declType.contains(u"DATE"))
        return TColumnKind::Date;
    if (declType.contains(u"TIME"))
        return TColumnKind::Time;
    if (declType.contains(u"INT"))
        return TColumnKind::Integer;
    return TColumnKind::Real;
}

QVariant convertField(const QString &field, TColumnKind kind, const QString &column)
{
    if (kind == TColumnKind::Text)
        return field;
    const QString text = field.trimmed();
    if (text.isEmpty())
        return QVariant();
    auto bad = [&](const QString &what) -> EPelvaneError {
        return EPelvaneError(QStringLiteral("%1の値「%2」は%3ではありません").arg(column, field, what));
    };
    switch (kind) {
    case TColumnKind::Integer: {
        bool ok = false;
        const qint64 n = text.toLongLong(&ok);
        if (!ok)
            throw bad(QStringLiteral("整数"));
        return n;
    }
    case TColumnKind::Real: {
        bool ok = false;
        const double d = text.toDouble(&ok);
        if (!ok)
            throw bad(QStringLiteral("数値"));
        return d;
    }
    case TColumnKind::Boolean: {
        const QString t = text.toLower();
        if (t == u"1" || t == u"true")
            return 1;
        if (t == u"0" || t == u"false")
            return 0;
        throw bad(QStringLiteral("真偽値"));
    }
    case TColumnKind::Date: {
        const QVariant date = DateToSQL(text);
        if (date.typeId() != QMetaType::QString)
            throw bad(QStringLiteral("日付"));
        return date;
    }
    case TColumnKind::Time: {
        if (TimeFromSQL(text) < 0)
            throw bad(QStringLiteral("時刻"));
        return text;
    }
    case TColumnKind::Text:
        break;
    }
    return field;
}

} // namespace

const std::vector<TQueryDef> &QueryCatalogue()
{
    static const std::vector<TQueryDef> catalogue = makeCatalogue();
    return catalogue;
}

const TQueryDef &QueryDefOf(const QString &name)
{
    for (const TQueryDef &def : QueryCatalogue())
        if (def.name == name)
            return def;
    throw EPelvaneError(QStringLiteral("クエリ %1 がありません").arg(name));
}

QString YearCondition(const QString &column, int year)
{
    return QStringLiteral(" SubStr(%1, 1, 4)='%2' ").arg(column).arg(year);
}

QVariant DateToSQL(TDateTime date)
{
    const QDate d = DateTime::toDate(date);
    if (date == 0 || !d.isValid())
        return 1;
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

TDateTime DateFromSQL(const QVariant &value)
{
    if (value.isNull())
        return 0;
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{4})[-/](\\d{1,2})[-/](\\d{1,2})(?:[ T].*)?$"));
    const QRegularExpressionMatch m = re.match(value.toString());
    if (!m.hasMatch())
        return 0;
    const QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    return d.isValid() ? DateTime::fromDate(d) : 0;
}

QVariant DateToSQL(const QString &text)
{
    const TDateTime date = DateFromSQL(text);
    return date == 0 ? QVariant(1) : DateToSQL(date);
}

double TimeFromSQL(const QVariant &value)
{
    if (value.isNull())
        return -1;
    static const QRegularExpression re(QStringLiteral("^\\s*(\\d{1,2}):(\\d{2})(?::(\\d{2}))?\\s*$"));
    const QRegularExpressionMatch m = re.match(value.toString());
    if (!m.hasMatch())
        return -1;
    const int h = m.captured(1).toInt(), mi = m.captured(2).toInt(), s = m.captured(3).toInt();
    if (h > 23 || mi > 59 || s > 59)
        return -1;
    return DateTime::encodeTime(h, mi, s);
}

// --- the module ---------------------------------------------------------------------------

TDM::TDM(const QString &fileName)
{
    DatabaseStartTransaction = [this] { m_db.Execute(QStringLiteral("Begin Transaction")); };
    DatabaseCommit = [this] { m_db.Execute(QStringLiteral("Commit Transaction")); };
    DatabaseRollback = [this] { m_db.Execute(QStringLiteral("Rollback Transaction")); };
    Open(fileName);
}

TDM::~TDM()
{
    m_db.Close();
}

QString TDM::DefaultFileName()
{
    return GetProgramFolder() + GetProgramName() + QStringLiteral(".db");
}

const QStringList &TDM::CheckedTables()
{
    static const QStringList tables{QStringLiteral("FileList"), QStringLiteral("Holding"), QStringLiteral("Match"),
                                    QStringLiteral("Odds"),     QStringLiteral("Prize"),   QStringLiteral("Sheet"),
                                    QStringLiteral("Team"),     QStringLiteral("Teams")};
    return tables;
}

void TDM::Open(const QString &fileName)
{
    m_db.Close();
    m_connected = false;
    m_openError.clear();
    m_fileName = fileName;
    try {
        if (!QFileInfo(fileName).isFile())
            throw EPelvaneError(QStringLiteral("データベース(%1)がありません").arg(fileName));
        m_db.Open(fileName);
        for (const QString &table : CheckedTables()) {
            TSqliteStatement check(m_db, QStringLiteral("Select * From ") + table);
            check.Step();
        }
        m_connected = true;
    } catch (const EPelvaneError &e) {
        m_openError = e.message();
        m_db.Close();
    }
}

void TDM::requireConnected() const
{
    if (!m_connected)
        throw EPelvaneError(QStringLiteral("データベースに接続していません"));
}

void TDM::bindAll(TSqliteStatement &statement, const TParams &params, const TQueryDef *def)
{
    for (const auto &param : params) {
        const QString &name = param.first;
        QVariant v = param.second;
        if (def) {
            const auto it = std::find_if(def->params.begin(), def->params.end(), [&](const TQueryParam &p) {
                return p.name.compare(name, Qt::CaseInsensitive) == 0;
            });
            if (it == def->params.end())
                throw EPelvaneError(QStringLiteral("%1にパラメータ %2 がありません").arg(def->name, name));
            v = convertParam(param.second, it->type);
        }
        statement.Bind(name, v);
    }
}

TDataRows TDM::run(const QString &sql, const TParams &params, const TQueryDef *def)
{
    requireConnected();
    TSqliteStatement statement(m_db, sql);
    bindAll(statement, params, def);
    TDataRows rows;
    std::shared_ptr<QStringList> names;
    while (statement.Step()) {
        if (!names) {
            names = std::make_shared<QStringList>();
            for (int i = 0; i < statement.ColumnCount(); ++i)
                names->append(statement.ColumnName(i));
        }
        std::vector<QVariant> values;
        values.reserve(size_t(names->size()));
        for (int i = 0; i < names->size(); ++i)
            values.push_back(statement.Value(i));
        rows.emplace_back(names, std::move(values));
    }
    return rows;
}

TDataRows TDM::Query(const QString &queryName, const TParams &params)
{
    const TQueryDef &def = QueryDefOf(queryName);
    if (def.sql.isEmpty())
        throw EPelvaneError(QStringLiteral("%1にSQLがありません").arg(queryName));
    return run(def.sql, params, &def);
}

TDataRows TDM::Select(const QString &sql, const TParams &params)
{
    return run(sql, params, nullptr);
}

QString TDM::TeamName(int teamNo)
{
    const TDataRows rows = Query(QStringLiteral("QueryTeam"), {{QStringLiteral("TeamNo"), teamNo}});
    return rows.empty() ? QString() : FieldText(rows.front(), u"TeamName");
}

int TDM::TeamNameToNumber(const QString &name)
{
    // The three names the league writes with an extra letter; the full-width spelling of the
    // pages counts the same.
    QString folded;
    for (QChar c : name)
        folded += (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E) ? QChar(c.unicode() - 0xFEE0) : c;
    QString key = name;
    if (folded == u"川崎F")
        key = QStringLiteral("川崎");
    else if (folded == u"横浜FM")
        key = QStringLiteral("横浜M");
    else if (folded == u"横浜FC")
        key = QStringLiteral("横浜C");
    const TDataRows rows = Query(QStringLiteral("QueryTeamNameToNumber"), {{QStringLiteral("TeamName"), key}});
    return rows.empty() ? -1 : FieldInt(rows.front(), u"TeamNo", -1);
}

int TDM::MaxSectionOf(int year, int division, int stage)
{
    const TDataRows rows = Query(QStringLiteral("QueryMaxSection"), {{QStringLiteral("DIVISION"), division},
                                                                     {QStringLiteral("STAGE"), division == 1 ? stage : 0},
                                                                     {QStringLiteral("YEAR"), QString::number(year)}});
    return rows.empty() ? 0 : FieldInt(rows.front(), u"MaxSection", 0);
}

void TDM::SectionRange(int year, int division, int stage, int &minSection, int &maxSection)
{
    minSection = 999;
    maxSection = -999;
    std::vector<int> stages;
    if (division == 1 && stage == 0)
        stages = {1, 2};
    else if (division == 2)
        stages = {0};
    else
        stages = {stage};
    for (int s : stages) {
        const TDataRows rows = Query(QStringLiteral("QueryHolding"), {{QStringLiteral("YEAR"), year},
                                                                      {QStringLiteral("DIVISION"), division},
                                                                      {QStringLiteral("STAGE"), s}});
        if (rows.empty())
            continue;
        minSection = std::min(minSection, FieldInt(rows.front(), u"MinSection", 0));
        maxSection = std::max(maxSection, FieldInt(rows.front(), u"MaxSection", 0));
    }
    if (maxSection < minSection) {
        minSection = maxSection = 0;
        return;
    }
    if (division == 2 && stage != 0) {
        const int size = (maxSection - minSection + 1) / (year < 2008 ? 4 : 3);
        minSection = (stage - 1) * size + minSection;
        maxSection = minSection + size - 1;
    }
}

void TDM::TotoRoundRange(int year, int &first, int &last)
{
    const TDataRows rows = Select(QStringLiteral("Select * From Holding  Where Holding.\"Year\" = :YEAR And Division=0 And Stage = 0"),
                                  {{QStringLiteral("YEAR"), year}});
    first = rows.empty() ? 0 : FieldInt(rows.front(), u"MinSection", 0);
    last = rows.empty() ? 0 : FieldInt(rows.front(), u"MaxSection", 0);
}

TTips TDM::GetResultTips(const TDataRow &row, const QString &numberColumn, bool includeCalledOff)
{
    const int number = FieldInt(row, numberColumn, 0);
    if (number <= 0)
        return TTips();
    const int home = FieldInt(row, u"HomeScore", -1);
    const int away = FieldInt(row, u"AwayScore", -1);
    const bool extension = FieldBool(row, u"Extension");
    const bool calledOff = includeCalledOff && FieldBool(row, u"totoCalledOff");
    return ResultFromScore(number, home, away, calledOff, extension);
}

namespace {

// Votes of draw, home, away (TTip order).
std::array<qint64, 3> votesOf(const TDataRows &rows)
{
    if (rows.empty())
        return {0, 0, 0};
    const TDataRow &r = rows.front();
    return {FieldInt64(r, u"Draw", 0), FieldInt64(r, u"Home", 0), FieldInt64(r, u"Away", 0)};
}

void tallyPosition(TRoundSummary &s, int position, TTips result, const std::array<qint64, 3> &votes,
                   std::vector<TMatchRates> &rates)
{
    s.ResultTips[size_t(position)] = result;
    if (result.contains(tpHome))
        ++s.HomeCount;
    if (result.contains(tpDraw))
        ++s.DrawCount;
    if (result.contains(tpAway))
        ++s.AwayCount;
    if (result.isEmpty())
        return;
    const qint64 total = votes[0] + votes[1] + votes[2];
    if (total == 0)
        return;
    for (int t = 0; t < 3; ++t)
        rates[size_t(position)][size_t(t)] = double(votes[size_t(t)]) / double(total);
    if (s.Sales == 0)
        s.Sales = total * 100;
    // A single outcome decides which share won; a called-off match has no winner.
    if (result.count() != 1)
        return;
    const TTip won = result.contains(tpHome) ? tpHome : result.contains(tpAway) ? tpAway : tpDraw;
    const qint64 winning = votes[won];
    bool upset = false;
    for (int t = 0; t < 3; ++t)
        if (t != won && winning < votes[size_t(t)])
            upset = true;
    if (upset) {
        s.Upset[size_t(position)] = true;
        ++s.UpsetCount;
        if (won == tpDraw)
            ++s.DrawUpsetCount;
    }
}

void addPrizes(TRoundSummary &s, const TDataRows &rows)
{
    for (const TDataRow &r : rows) {
        const int grade = FieldInt(r, u"Grade", 0);
        if (grade >= 1 && grade <= 3) {
            s.Money[size_t(grade)] = FieldInt64(r, u"Money", 0);
            s.Hits[size_t(grade)] = FieldInt(r, u"Hits", 0);
        }
        s.CarryOver += FieldInt64(r, u"CarryOver", 0);
    }
}

void estimate(TRoundSummary &s, TTotoType type, int round, int matches, const std::vector<TMatchRates> &rates)
{
    std::vector<TTips> results(s.ResultTips.begin(), s.ResultTips.begin() + matches);
    std::vector<TMatchRates> r(rates.begin(), rates.begin() + matches);
    const TEstimatedPrizes e = EstimateDividends(type, round, results, r);
    s.EstimatedPrize[1] = double(e.first);
    s.EstimatedPrize[2] = double(e.second);
    s.EstimatedPrize[3] = double(e.third);
}

} // namespace

bool TDM::RoundSummary(int round, TRoundSummary &summary)
{
    summary = TRoundSummary{};
    std::vector<TMatchRates> rates(kMaxMatches, TMatchRates{0, 0, 0});
    bool any = false;
    for (const TDataRow &row : Query(QStringLiteral("QueryHDA"), {{QStringLiteral("Number"), round}})) {
        any = true;
        const int position = FieldInt(row, u"totoNumber", 0) != round ? FieldInt(row, u"totoIndex2", 0)
                                                                       : FieldInt(row, u"totoIndex", 0);
        if (position <= 0 || position > kMaxMatches)
            continue;
        // The round's own number decides the V-goal rule, whichever membership brought the match.
        const TTips result = GetResultTips(row, FieldInt(row, u"totoNumber", 0) == round ? QStringLiteral("totoNumber")
                                                                                         : QStringLiteral("totoNumber2"),
                                           true);
        std::array<qint64, 3> votes{0, 0, 0};
        if (!result.isEmpty())
            votes = votesOf(Query(QStringLiteral("QueryOdds"),
                                  {{QStringLiteral("NUMBER"), round}, {QStringLiteral("INDEX"), position}}));
        tallyPosition(summary, position - 1, result, votes, rates);
    }
    if (any && round > 0)
        estimate(summary, ttToto, round, kMaxMatches, rates);
    addPrizes(summary, Query(QStringLiteral("QueryPrize"), {{QStringLiteral("Number"), round}}));
    return any;
}

bool TDM::MiniRoundSummary(int round, const QString &type, TRoundSummary &summary)
{
    summary = TRoundSummary{};
    std::vector<TMatchRates> rates(kMaxMatches, TMatchRates{0, 0, 0});
    bool any = false;
    const TDataRows rows = Select(
        QStringLiteral("Select * From Match, ResultMini Where ResultMini.Type=:TOTOTYPE And ResultMini.Number=:NUMBER "
                       "And ResultMini.HomeTeamNo=Match.HomeTeam And ResultMini.AwayTeamNo=Match.AwayTeam "
                       "And ResultMini.\"Date\" = Match.MatchDate "),
        {{QStringLiteral("TOTOTYPE"), type}, {QStringLiteral("NUMBER"), round}});
    const int matches = MaxMatchOf(ttMiniA);
    for (const TDataRow &row : rows) {
        any = true;
        const int position = FieldInt(row, u"Index", 0);
        if (position <= 0 || position > matches)
            continue;
        const TTips result = GetResultTips(row, QStringLiteral("Number"), true);
        std::array<qint64, 3> votes{0, 0, 0};
        if (!result.isEmpty())
            votes = votesOf(Query(QStringLiteral("QueryMiniOdds"), {{QStringLiteral("TYPE"), type},
                                                                    {QStringLiteral("NUMBER"), round},
                                                                    {QStringLiteral("INDEX"), position}}));
        tallyPosition(summary, position - 1, result, votes, rates);
    }
    if (any && round > 0)
        estimate(summary, type == u"B" ? ttMiniB : ttMiniA, round, matches, rates);
    addPrizes(summary, Select(QStringLiteral("Select * From PrizeMini Where Type=:TYPE and Number=:NUMBER"),
                              {{QStringLiteral("TYPE"), type}, {QStringLiteral("NUMBER"), round}}));
    return any;
}

int TDM::Goal3Popularity(int round, int index)
{
    const TDataRows rows = Query(QStringLiteral("QueryGoal3ResultOdds"),
                                 {{QStringLiteral("NUMBER"), round}, {QStringLiteral("INDEX"), index}});
    if (rows.empty())
        return -1;
    const TDataRow &r = rows.front();
    const int score = FieldInt(r, u"Score", -1);
    if (score < 0)
        return -1;
    std::array<std::pair<qint64, int>, 4> choices;
    for (int i = 0; i < 4; ++i)
        choices[size_t(i)] = {FieldInt64(r, QStringLiteral("Score%1").arg(i), 0), i};
    std::stable_sort(choices.begin(), choices.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    const int choice = std::min(score, 3);
    for (int place = 0; place < 4; ++place)
        if (choices[size_t(place)].second == choice)
            return place + 1;
    return -1;
}

QVariant TDM::QueryValue(const QString &sql, const TParams &params)
{
    const TDataRows rows = Select(sql, params);
    return rows.empty() || rows.front().Count() == 0 ? QVariant() : rows.front().At(0);
}

void TDM::SaveRow(const QString &table, const TParams &keys, const TParams &values)
{
    if (!validIdentifier(table))
        throw EPelvaneError(QStringLiteral("テーブル名「%1」は使えません").arg(table));
    QStringList where, sets, cols, marks;
    TParams all;
    for (const TParams *group : {&keys, &values})
        for (const auto &param : *group) {
            if (!validIdentifier(param.first))
                throw EPelvaneError(QStringLiteral("列名「%1」は使えません").arg(param.first));
            (group == &keys ? where : sets) << QStringLiteral("[%1]=:%1").arg(param.first);
            cols << u'[' + param.first + u']';
            marks << u':' + param.first;
            all.push_back(param);
        }
    const QVariant rowid =
        QueryValue(QStringLiteral("Select rowid From [%1] Where %2").arg(table, where.join(QStringLiteral(" And "))), keys);
    if (rowid.isValid()) {
        TParams changed = values;
        changed.emplace_back(QStringLiteral("ROWID_"), rowid);
        ExecSQL(QStringLiteral("Update [%1] Set %2 Where rowid=:ROWID_").arg(table, sets.join(u',')), changed);
    } else {
        ExecSQL(QStringLiteral("Insert Into [%1] (%2) Values (%3)").arg(table, cols.join(u','), marks.join(u',')), all);
    }
}

void TDM::ExecSQL(const QString &sql, const TParams &params)
{
    requireConnected();
    TSqliteStatement statement(m_db, sql);
    bindAll(statement, params, nullptr);
    while (statement.Step()) {
    }
}

void TDM::StartTransaction()
{
    requireConnected();
    DatabaseStartTransaction();
    m_inTransaction = true;
}

void TDM::Commit()
{
    DatabaseCommit();
    m_inTransaction = false;
}

void TDM::Rollback()
{
    if (!m_inTransaction)
        return;
    m_inTransaction = false;
    DatabaseRollback();
}

bool TDM::ImportRows(const QString &tableName, int keyCount, const TAbortCheck &aborted, const QString &firstStatement,
                     const QStringList &lines, int *rowCount, QString *error)
{
    int count = 0;
    if (rowCount)
        *rowCount = 0;
    try {
        if (!validIdentifier(tableName))
            throw EPelvaneError(QStringLiteral("テーブル名「%1」は使えません").arg(tableName));
        StartTransaction();
        if (!firstStatement.isEmpty())
            m_db.Execute(firstStatement);

        QStringList names;
        std::vector<TColumnKind> kinds;
        {
            TSqliteStatement info(m_db, QStringLiteral("Select * From [%1] Limit 1").arg(tableName));
            for (int i = 0; i < info.ColumnCount(); ++i) {
                names << info.ColumnName(i);
                kinds.push_back(kindOf(info.ColumnDeclType(i)));
            }
        }
        const int columns = int(names.size());
        if (keyCount < 1 || keyCount > columns)
            throw EPelvaneError(QStringLiteral("%1のキー項目数 %2 が正しくありません").arg(tableName).arg(keyCount));

        QStringList keyTerms;
        for (int k = 0; k < keyCount; ++k)
            keyTerms << QStringLiteral("[%1] IS ?%2").arg(names[k]).arg(k + 1);
        TSqliteStatement find(m_db, QStringLiteral("Select rowid From [%1] Where %2 Limit 1").arg(tableName, keyTerms.join(QStringLiteral(" And "))));

        // Lines may give fewer fields than the table has; the statements follow the field count.
        std::vector<std::unique_ptr<TSqliteStatement>> inserts(size_t(columns) + 1), updates(size_t(columns) + 1);
        auto insertFor = [&](int n) -> TSqliteStatement & {
            auto &s = inserts[size_t(n)];
            if (!s) {
                QStringList cols, marks;
                for (int i = 0; i < n; ++i) {
                    cols << u'[' + names[i] + u']';
                    marks << QStringLiteral("?%1").arg(i + 1);
                }
                s = std::make_unique<TSqliteStatement>(
                    m_db, QStringLiteral("Insert Into [%1] (%2) Values (%3)").arg(tableName, cols.join(u','), marks.join(u',')));
            }
            return *s;
        };
        auto updateFor = [&](int n) -> TSqliteStatement & {
            auto &s = updates[size_t(n)];
            if (!s) {
                QStringList sets;
                for (int i = 0; i < n; ++i)
                    sets << QStringLiteral("[%1]=?%2").arg(names[i]).arg(i + 1);
                s = std::make_unique<TSqliteStatement>(
                    m_db, QStringLiteral("Update [%1] Set %2 Where rowid=?%3").arg(tableName, sets.join(u',')).arg(n + 1));
            }
            return *s;
        };

        int lineNo = 0;
        for (const QString &line : lines) {
            ++lineNo;
            if (line.trimmed().isEmpty())
                continue;
            const QStringList fields = CommaText::split(line);
            if (fields.size() < keyCount || fields.size() > columns)
                throw EPelvaneError(QStringLiteral("%1 %2行目: 項目の数が %3 です(%4～%5)")
                                        .arg(tableName)
                                        .arg(lineNo)
                                        .arg(fields.size())
                                        .arg(keyCount)
                                        .arg(columns));
            std::vector<QVariant> values;
            values.reserve(size_t(fields.size()));
            try {
                for (int i = 0; i < fields.size(); ++i)
                    values.push_back(convertField(fields[i], kinds[size_t(i)], names[i]));
            } catch (const EPelvaneError &e) {
                throw EPelvaneError(QStringLiteral("%1 %2行目: %3").arg(tableName).arg(lineNo).arg(e.message()));
            }

            find.Reset();
            for (int k = 0; k < keyCount; ++k)
                find.Bind(k + 1, values[size_t(k)]);
            const bool found = find.Step();
            const qint64 rowid = found ? find.Value(0).toLongLong() : 0;
            find.Reset();

            const int n = int(values.size());
            TSqliteStatement &write = found ? updateFor(n) : insertFor(n);
            write.Reset();
            for (int i = 0; i < n; ++i)
                write.Bind(i + 1, values[size_t(i)]);
            if (found)
                write.Bind(n + 1, rowid);
            write.Step();
            write.Reset();
            ++count;

            ProcessPendingEvents();
            if (aborted && aborted())
                throw EPelvaneError(QStringLiteral("中断しました"));
        }
        inserts.clear();
        updates.clear();
        Commit();
        if (rowCount)
            *rowCount = count;
        return true;
    } catch (const EPelvaneError &e) {
        try {
            Rollback();
        } catch (const EPelvaneError &) {
            // The connection ended the transaction itself (for example on a full disk).
            m_inTransaction = false;
        }
        if (error)
            *error = e.message();
        return false;
    }
}

QString TDM::MakeTempFileName()
{
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/~XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open())
        throw EPelvaneError(QStringLiteral("一時ファイルを作成できません"));
    return file.fileName();
}

namespace {

struct TTempFile
{
    QString name = TDM::MakeTempFileName();
    ~TTempFile() { QFile::remove(name); }
};

QByteArray readAll(const QString &fileName)
{
    QFile f(fileName);
    if (!f.open(QIODevice::ReadOnly))
        throw EPelvaneError(QStringLiteral("%1を読み込めません").arg(fileName));
    return f.readAll();
}

} // namespace

bool TDM::SavePurchase(TTipSheet &sheet)
{
    const QString storedName = sheet.StoredFileName();
    try {
        requireConnected();
        QString text;
        {
            TTempFile temp;
            sheet.SaveToFile(temp.name);
            sheet.SetFileName(storedName);
            text = Cp932::decode(readAll(temp.name));
        }
        SaveRow(QStringLiteral("Sheet"),
                {{QStringLiteral("Number"), sheet.Number()},
                 {QStringLiteral("Type"), TotoTypeSuffix(sheet.TotoType())},
                 {QStringLiteral("User"), GetLoginUserName()}},
                {{QStringLiteral("Sheet"), text}});
        return true;
    } catch (const EPelvaneError &e) {
        sheet.SetFileName(storedName);
        MessageDlg(e.message(), TMsgDlgType::mtError, mbOK, mbOK);
        return false;
    }
}

bool TDM::LoadPurchase(TTipSheet &sheet, bool fullLoad)
{
    sheet.Clear();
    for (int i = 0; i < kMaxMatches; ++i) {
        sheet.Match(i).ClearCard();
        sheet.Match(i).ClearForecast();
    }
    const TDataRows rows = Select(QStringLiteral("Select * From Sheet Where Number=:NUMBER And Type= :TYPE And User= :USER"),
                                  {{QStringLiteral("NUMBER"), sheet.Number()},
                                   {QStringLiteral("TYPE"), TotoTypeSuffix(sheet.TotoType())},
                                   {QStringLiteral("USER"), GetLoginUserName()}});
    if (rows.empty())
        return false;
    TTempFile temp;
    WriteFileAtomic(temp.name, Cp932::encode(FieldText(rows.front(), u"Sheet")));
    const QString storedName = sheet.StoredFileName();
    sheet.LoadFromFile(temp.name, fullLoad ? TLoadParts(111) : TLoadParts(15));
    sheet.SetFileName(storedName);
    LoadOfficialOdds(sheet);
    return true;
}

bool TDM::LoadOfficialOdds(TTipSheet &sheet)
{
    // Each lottery has its own tables; a round without matches has no date.
    const bool mini = sheet.TotoType() != ttToto;
    const QString type = TotoTypeSuffix(sheet.TotoType());
    const QVariant first = mini ? QueryValue(QStringLiteral("Select Min(\"Date\") as aDate From ResultMini Where Type=:TYPE And Number=:NUMBER"),
                                             {{QStringLiteral("TYPE"), type}, {QStringLiteral("NUMBER"), sheet.Number()}})
                                : QueryValue(QStringLiteral("Select Min(MatchDate) as aDate From Match  Where totoNumber = :NUMBER"),
                                             {{QStringLiteral("NUMBER"), sheet.Number()}});
    const TDateTime day = DateFromSQL(first);
    const TDateTime dayBefore = day == 0 ? 0 : day - 1;

    QStringList text;
    text << QStringLiteral("[OfficialOdds") + (mini ? u'-' + type : QString()) + u']';
    text << QStringLiteral("Date=") + (dayBefore == 0 ? QString() : DateTime::toDate(dayBefore).toString(QStringLiteral("yyyy/MM/dd")));
    const TDataRows rows = mini ? Select(QStringLiteral("Select * From OddsMini Where Type=:TYPE And Number=:NUMBER Order By [Index]"),
                                         {{QStringLiteral("TYPE"), type}, {QStringLiteral("NUMBER"), sheet.Number()}})
                                : Select(QStringLiteral("Select * From Odds Where Number=:NUMBER Order By [Index]"),
                                         {{QStringLiteral("NUMBER"), sheet.Number()}});
    for (const TDataRow &r : rows)
        text << Format(u"%2.2d=%d, %d, %d", {FieldInt(r, u"Index", 0), FieldInt(r, u"Home", 0), FieldInt(r, u"Draw", 0),
                                             FieldInt(r, u"Away", 0)});
    TTempFile temp;
    WriteFileAtomic(temp.name, Cp932::encode(QString(text.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"))));
    sheet.LoadOfficialOdds(temp.name);
    sheet.SetUseOfficialOdds(true);
    return true;
}
