#include "platform/AtomicFile.h"

#include "platform/PelvaneError.h"

#include <QSaveFile>

#include <cerrno>
#include <cstring>

void WriteFileAtomic(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EPelvaneError(QStringLiteral("ファイル(%1)に書き込めません: %2").arg(fileName, file.errorString()));
    // Flushed here and checked: a write that fails only when the buffer goes out (a full disk, a
    // file size limit) would otherwise let commit() replace the old file with a cut-off one.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int code = errno;
        QString why = file.errorString();
        if (why.isEmpty() || why == u"Unknown error")
            why = QString::fromLocal8Bit(std::strerror(code));
        file.cancelWriting();
        throw EPelvaneError(QStringLiteral("ファイル(%1)に書き込めません: %2").arg(fileName, why));
    }
    if (!file.commit())
        throw EPelvaneError(QStringLiteral("ファイル(%1)に書き込めません: %2").arg(fileName, file.errorString()));
}
