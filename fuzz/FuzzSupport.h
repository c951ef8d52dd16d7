#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <unistd.h>

// The input as bytes, and a check that stops the run with a message when an invariant breaks.
inline QByteArray FuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

#define FUZZ_CHECK(cond)                                                                            \
    do {                                                                                            \
        if (!(cond)) {                                                                              \
            fprintf(stderr, "invariant broken: %s (%s:%d)\n", #cond, __FILE__, __LINE__);         \
            abort();                                                                                \
        }                                                                                           \
    } while (0)

// A private scratch folder for the run.
inline QString FuzzScratch()
{
    static const QString dir = [] {
        const QString d = QDir::tempPath() + QStringLiteral("/pelvane-fuzz-%1").arg(getpid());
        QDir().mkpath(d);
        qputenv("PELVANE_DOCUMENTS_DIR", d.toLocal8Bit());
        qputenv("PELVANE_CONFIG_DIR", d.toLocal8Bit());
        qputenv("PELVANE_DATA_DIR", d.toLocal8Bit());
        qputenv("PELVANE_COMMON_DIR", d.toLocal8Bit());
        return d;
    }();
    return dir;
}

inline void FuzzWrite(const QString &file, const QByteArray &bytes)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        abort();
    f.write(bytes);
}
