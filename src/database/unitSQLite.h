#pragma once

#include "database/DataRow.h"
#include "database/SqliteConnection.h"
#include "lottery/TotoTypes.h"
#include "platform/DateTime.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <functional>
#include <utility>
#include <vector>

class TTipSheet;

// Parameters by name, without the colon.
using TParams = std::vector<std::pair<QString, QVariant>>;
// Asked between the rows of an import; true stops it.
using TAbortCheck = std::function<bool()>;

enum class TParamType { Integer, Text, Date };

struct TQueryParam
{
    QString name;
    TParamType type;
};

// One query of the data module's catalogue.
struct TQueryDef
{
    QString name;
    bool readOnly;
    QString sql;
    std::vector<TQueryParam> params;
};

// The catalogue, in its fixed order; an unknown name raises.
const std::vector<TQueryDef> &QueryCatalogue();
const TQueryDef &QueryDefOf(const QString &name);

// The filled record of a round's results, votes and prizes (arrays indexed 1..3 at [level]).
struct TRoundSummary
{
    std::array<TTips, kMaxMatches> ResultTips{};
    std::array<bool, kMaxMatches> Upset{};
    qint32 DrawCount = 0, HomeCount = 0, AwayCount = 0;
    qint32 UpsetCount = 0, DrawUpsetCount = 0;
    std::array<qint64, 4> Money{};
    std::array<double, 4> EstimatedPrize{};
    std::array<qint32, 4> Hits{};
    qint64 CarryOver = 0;
    qint64 Sales = 0;
};

// " SubStr(column, 1, 4)='year' ": a year condition for SQL text (the year is a number).
QString YearCondition(const QString &column, int year);
// "YYYY-MM-DD"; a zero date, or a text that is not a date, gives the integer 1.
QVariant DateToSQL(TDateTime date);
QVariant DateToSQL(const QString &text);
// A date text of the database or of the data files ("YYYY-MM-DD", "YYYY/MM/DD", "YYYY/M/D");
// 0 when it is not a date.
TDateTime DateFromSQL(const QVariant &value);
// "HH:MM" or "HH:MM:SS" as a fraction of a day; -1 when not a time.
double TimeFromSQL(const QVariant &value);

// The data module: the connection to the reference database and its named queries.
class TDM
{
public:
    // Opens the file and checks its tables; on any failure the module stays disconnected and
    // OpenError tells why.
    explicit TDM(const QString &fileName = DefaultFileName());
    ~TDM();
    TDM(const TDM &) = delete;
    TDM &operator=(const TDM &) = delete;

    // "<program name>.db" in the executable's folder.
    static QString DefaultFileName();
    static const QStringList &CheckedTables();

    void Open(const QString &fileName);
    bool Connected() const { return m_connected; }
    QString OpenError() const { return m_openError; }
    QString FileName() const { return m_fileName; }
    TSqliteConnection &Database() { return m_db; }

    // A catalogue query with its parameters (converted to the catalogue's types).
    TDataRows Query(const QString &queryName, const TParams &params = {});
    // Any SQL text with named parameters.
    TDataRows Select(const QString &sql, const TParams &params = {});

    QString TeamName(int teamNo);
    int TeamNameToNumber(const QString &name);
    int MaxSectionOf(int year, int division, int stage);
    void SectionRange(int year, int division, int stage, int &minSection, int &maxSection);
    void TotoRoundRange(int year, int &first, int &last);
    static TTips GetResultTips(const TDataRow &row, const QString &numberColumn, bool includeCalledOff);
    bool RoundSummary(int round, TRoundSummary &summary);
    bool MiniRoundSummary(int round, const QString &type, TRoundSummary &summary);
    int Goal3Popularity(int round, int index);
    QVariant QueryValue(const QString &sql, const TParams &params = {});
    // Edits the row found by the key columns, or appends one with keys and values; every value is
    // bound. Column names must be plain names.
    void SaveRow(const QString &table, const TParams &keys, const TParams &values);
    void ExecSQL(const QString &sql, const TParams &params = {});

    // Writes the comma-separated lines into the table, a whole file in one transaction: a row is
    // found by its first keyCount columns and edited, or appended. Any error or an abort rolls
    // everything back; false, with the reason in error.
    bool ImportRows(const QString &tableName, int keyCount, const TAbortCheck &aborted, const QString &firstStatement,
                    const QStringList &lines, int *rowCount = nullptr, QString *error = nullptr);

    bool SavePurchase(TTipSheet &sheet);
    bool LoadPurchase(TTipSheet &sheet, bool fullLoad);
    bool LoadOfficialOdds(TTipSheet &sheet);
    static QString MakeTempFileName();

    // Transaction statements, run through their events.
    void StartTransaction();
    void Commit();
    void Rollback();
    std::function<void()> DatabaseStartTransaction, DatabaseCommit, DatabaseRollback;

private:
    void bindAll(TSqliteStatement &statement, const TParams &params, const TQueryDef *def);
    TDataRows run(const QString &sql, const TParams &params, const TQueryDef *def);
    void requireConnected() const;

    TSqliteConnection m_db;
    QString m_fileName;
    QString m_openError;
    bool m_connected = false;
    bool m_inTransaction = false;
};
