#include "database/SqliteConnection.h"

#include "platform/PelvaneError.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>

TSqliteConnection::~TSqliteConnection()
{
    Close();
}

void TSqliteConnection::Open(const QString &fileName, bool create)
{
    Close();
    int flags = SQLITE_OPEN_READWRITE;
    if (create)
        flags |= SQLITE_OPEN_CREATE;
    // SQLite would open a missing file as a new empty database with CREATE only; without it a
    // missing file fails here, as it must.
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(QFileInfo(fileName).absoluteFilePath().toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
        sqlite3_close(db);
        throw EPelvaneError(QStringLiteral("データベース(%1)を開けません: %2").arg(fileName, message));
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, 2000);
    m_db = db;
    m_fileName = fileName;
}

void TSqliteConnection::Close()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
}

bool TSqliteConnection::ReadOnly() const
{
    return m_db && sqlite3_db_readonly(m_db, "main") == 1;
}

void TSqliteConnection::Execute(const QString &sql)
{
    if (!m_db)
        throw EPelvaneError(QStringLiteral("データベースに接続していません"));
    char *error = nullptr;
    if (sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &error) != SQLITE_OK) {
        const QString message = error ? QString::fromUtf8(error) : ErrorMessage();
        sqlite3_free(error);
        throw EPelvaneError(message);
    }
}

qint64 TSqliteConnection::LastInsertRowId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : 0;
}

QString TSqliteConnection::ErrorMessage() const
{
    return m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString();
}

void CreateDatabaseFromSchema(const QString &fileName, const QString &schemaFile)
{
    QFile schema(schemaFile);
    if (!schema.open(QIODevice::ReadOnly))
        throw EPelvaneError(QStringLiteral("%1を読み込めません").arg(schemaFile));
    QFile::remove(fileName);
    TSqliteConnection db;
    db.Open(fileName, true);
    db.Execute(QString::fromUtf8(schema.readAll()));
}

TSqliteStatement::TSqliteStatement(TSqliteConnection &connection, const QString &sql)
    : m_connection(connection)
{
    if (!connection.Handle())
        throw EPelvaneError(QStringLiteral("データベースに接続していません"));
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(connection.Handle(), text.constData(), int(text.size()), &m_stmt, nullptr) != SQLITE_OK)
        fail();
    if (!m_stmt)
        throw EPelvaneError(QStringLiteral("SQL文がありません"));
}

TSqliteStatement::~TSqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

void TSqliteStatement::fail() const
{
    throw EPelvaneError(m_connection.ErrorMessage());
}

bool TSqliteStatement::HasParameter(const QString &name) const
{
    const QByteArray key = (u':' + name).toUtf8();
    return sqlite3_bind_parameter_index(m_stmt, key.constData()) > 0;
}

void TSqliteStatement::Bind(const QString &name, const QVariant &value)
{
    // SQLite gives the same index to every occurrence of a name, but its lookup is
    // case-sensitive while the queries' parameter names are not.
    bool found = false;
    const int count = sqlite3_bind_parameter_count(m_stmt);
    for (int i = 1; i <= count; ++i) {
        const char *p = sqlite3_bind_parameter_name(m_stmt, i);
        if (p && QString::fromUtf8(p + 1).compare(name, Qt::CaseInsensitive) == 0) {
            Bind(i, value);
            found = true;
        }
    }
    if (!found)
        throw EPelvaneError(QStringLiteral("パラメータ %1 がありません").arg(name));
}

void TSqliteStatement::Bind(int index, const QVariant &value)
{
    int rc = SQLITE_OK;
    if (!value.isValid() || value.isNull()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int(m_stmt, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob64(m_stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text64(m_stmt, index, text.constData(), sqlite3_uint64(text.size()), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        fail();
}

bool TSqliteStatement::Step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const QString message = m_connection.ErrorMessage();
    sqlite3_reset(m_stmt);
    throw EPelvaneError(message);
}

void TSqliteStatement::Reset()
{
    sqlite3_reset(m_stmt);
}

int TSqliteStatement::ColumnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString TSqliteStatement::ColumnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, column));
}

QString TSqliteStatement::ColumnDeclType(int column) const
{
    const char *type = sqlite3_column_decltype(m_stmt, column);
    return type ? QString::fromUtf8(type).toUpper() : QString();
}

QVariant TSqliteStatement::Value(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, column));
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(m_stmt, column)));
    }
    case SQLITE_BLOB: {
        const auto *data = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
        return QVariant(QByteArray(data, sqlite3_column_bytes(m_stmt, column)));
    }
    default:
        return QVariant(); // null
    }
}
