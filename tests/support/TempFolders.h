#pragma once

#include "shell/UnitTypes.h"

#include <QTemporaryDir>
#include <QtGlobal>

// Points every data folder of the program at a fresh temporary folder for the lifetime of the
// object, so tests never touch the real home.
class TTempFolders
{
public:
    TTempFolders()
    {
        const QString root = m_dir.path();
        qputenv("PELVANE_CONFIG_DIR", (root + QStringLiteral("/config")).toLocal8Bit());
        qputenv("PELVANE_DATA_DIR", (root + QStringLiteral("/data")).toLocal8Bit());
        qputenv("PELVANE_DOCUMENTS_DIR", (root + QStringLiteral("/documents")).toLocal8Bit());
        qputenv("PELVANE_COMMON_DIR", (root + QStringLiteral("/common")).toLocal8Bit());
        ResetFolderCache();
    }
    ~TTempFolders()
    {
        for (const char *name : {"PELVANE_CONFIG_DIR", "PELVANE_DATA_DIR", "PELVANE_DOCUMENTS_DIR", "PELVANE_COMMON_DIR"})
            qunsetenv(name);
        ResetFolderCache();
    }

    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};
