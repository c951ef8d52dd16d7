#pragma once

#include "database/SqliteConnection.h"

#include <QFile>
#include <QString>
#include <QStringList>

// A fresh reference database made from the project's schema, with optional SQL run after it.
inline QString MakeTestDatabase(const QString &fileName, const QStringList &statements = {})
{
    QFile::remove(fileName);
    QFile schema(QStringLiteral(PELVANE_SOURCE_DIR "/data/database/schema.sql"));
    if (!schema.open(QIODevice::ReadOnly))
        qFatal("schema missing");
    TSqliteConnection db;
    db.Open(fileName, true);
    db.Execute(QString::fromUtf8(schema.readAll()));
    for (const QString &sql : statements)
        db.Execute(sql);
    return fileName;
}
