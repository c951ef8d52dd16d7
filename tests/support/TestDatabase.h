#pragma once

#include "database/SqliteConnection.h"

#include <QString>
#include <QStringList>

// A fresh reference database made from the project's schema, with optional SQL run after it.
inline QString MakeTestDatabase(const QString &fileName, const QStringList &statements = {})
{
    CreateDatabaseFromSchema(fileName, QStringLiteral(PELVANE_SOURCE_DIR "/data/database/schema.sql"));
    TSqliteConnection db;
    db.Open(fileName);
    for (const QString &sql : statements)
        db.Execute(sql);
    return fileName;
}
