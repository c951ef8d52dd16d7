#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>
#include <utility>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// A thin layer over SQLite's C API: one connection, prepared statements with named or numbered
// parameters, rows as variants (null stays a null variant). Every failure raises EPelvaneError
// with SQLite's own message.
class TSqliteConnection
{
public:
    TSqliteConnection() = default;
    ~TSqliteConnection();
    TSqliteConnection(const TSqliteConnection &) = delete;
    TSqliteConnection &operator=(const TSqliteConnection &) = delete;

    // Opens an existing file (never creates one); a write-protected file opens read-only.
    void Open(const QString &fileName, bool create = false);
    void Close();
    bool IsOpen() const { return m_db != nullptr; }
    bool ReadOnly() const;
    QString FileName() const { return m_fileName; }

    // Runs statements without results (several may be separated by ";").
    void Execute(const QString &sql);
    qint64 LastInsertRowId() const;
    sqlite3 *Handle() const { return m_db; }
    QString ErrorMessage() const;

private:
    sqlite3 *m_db = nullptr;
    QString m_fileName;
};

// A new database file (an old one of that name is replaced) with the tables of a schema file.
// For the build tool, tests and benchmarks: the program itself never creates tables.
void CreateDatabaseFromSchema(const QString &fileName, const QString &schemaFile);

class TSqliteStatement
{
public:
    TSqliteStatement(TSqliteConnection &connection, const QString &sql);
    ~TSqliteStatement();
    TSqliteStatement(const TSqliteStatement &) = delete;
    TSqliteStatement &operator=(const TSqliteStatement &) = delete;

    // Binds by name without the colon ("TeamNo" for ":TeamNo"); every occurrence takes the value.
    // An unknown name raises.
    void Bind(const QString &name, const QVariant &value);
    void Bind(int index, const QVariant &value); // 1-based
    bool HasParameter(const QString &name) const;
    // Steps once; true while a row is there.
    bool Step();
    void Reset(); // back to the start; bindings stay

    int ColumnCount() const;
    QString ColumnName(int column) const;
    // The declared type of a table column ("INTEGER", "DATE" …), empty for expressions.
    QString ColumnDeclType(int column) const;
    QVariant Value(int column) const;

private:
    [[noreturn]] void fail() const;

    TSqliteConnection &m_connection;
    sqlite3_stmt *m_stmt = nullptr;
};
